// When a running scan repaints: the status bar at every 100th counted file and the
// whole window at every 1000th, each kept to a pace a person can follow. A repaint
// costs milliseconds on some hosts while a file costs microseconds.
#pragma once

#include <cstdint>

class TRepaintCadence {
public:
  static constexpr int32_t kStatusBarFiles = 100;
  static constexpr int32_t kWindowFiles = 1000;
  static constexpr uint32_t kStatusBarMs = 100;
  static constexpr uint32_t kWindowMs = 500;

  struct TDue {
    bool StatusBar = false;
    bool Window = false;
  };

  // A new scan: the first due repaint of each kind shows whatever the time.
  void Start();
  // FileCount files are counted now (milliseconds of a wrapping tick count). Each
  // kind is judged on its own: a window repaint never waits for a status-bar one.
  TDue FileCounted(int32_t FileCount, uint32_t Now);

private:
  struct TPace {
    bool shown = false;
    uint32_t last = 0;
    bool Due(uint32_t now, uint32_t intervalMs);
  };
  TPace statusBar_;
  TPace window_;
};
