#include "scan/repaint_cadence.h"

bool TRepaintCadence::TPace::Due(uint32_t now, uint32_t intervalMs) {
  // Unsigned difference: right across the tick count's wrap.
  if (shown && now - last < intervalMs) return false;
  shown = true;
  last = now;
  return true;
}

void TRepaintCadence::Start() { *this = TRepaintCadence(); }

TRepaintCadence::TDue TRepaintCadence::FileCounted(int32_t FileCount, uint32_t Now) {
  TDue due;
  if (FileCount <= 0 || FileCount % kStatusBarFiles != 0) return due;
  due.StatusBar = statusBar_.Due(Now, kStatusBarMs);
  if (FileCount % kWindowFiles == 0) due.Window = window_.Due(Now, kWindowMs);
  return due;
}
