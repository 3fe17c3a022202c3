// Answers the modal dialogs a test's code opens, from a second thread, the way a
// user would: it waits for the dialog window, notes what it shows, presses a button.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

#include "base/string.h"

struct SeenDialog {
  bool found = false;
  HWND window = nullptr;
  HWND owner = nullptr;
  String caption;
  String text;  // the static texts of the dialog, joined by "\n"
  RECT rect{};
};

// Keys that the shell's dialogs make for the user at their first use (the folders a
// program last saved to, view settings). Removes, when it goes, those of them that were
// not there when it was made: no run starts from what an earlier run chose.
class ShellDialogKeys {
public:
  ShellDialogKeys();
  ~ShellDialogKeys();
  ShellDialogKeys(const ShellDialogKeys&) = delete;
  ShellDialogKeys& operator=(const ShellDialogKeys&) = delete;

private:
  std::vector<bool> existed_;
};

class DialogAnswerer {
public:
  // Presses buttonId in the first dialog (window class "#32770") of this process
  // that appears within timeoutMs, once the dialog has finished its start-up. inspect
  // runs on the driver thread before the press, with the dialog still up. When no
  // dialog appears in time, the running test fails then and there, and the box the
  // creating thread is stuck in, if any, is closed.
  explicit DialogAnswerer(int buttonId, std::function<void(HWND)> inspect = {},
                          int timeoutMs = 15000);
  ~DialogAnswerer();
  DialogAnswerer(const DialogAnswerer&) = delete;
  DialogAnswerer& operator=(const DialogAnswerer&) = delete;
  // Waits for the driver thread; what it saw.
  const SeenDialog& Seen();

private:
  void Run(int buttonId, std::function<void(HWND)> inspect, int timeoutMs);
  void GiveUp(int timeoutMs);
  ShellDialogKeys shellKeys_;  // made first, removed last: after the dialog has closed
  DWORD testThread_;
  SeenDialog seen_;
  std::thread thread_;
};

// Finds a visible dialog window of this process, or nullptr.
HWND FindOwnDialog();
// The same for the process pid.
HWND FindDialogOf(DWORD pid);
// The first visible top-level window of the process pid for which match is true, or
// nullptr. match must not throw.
HWND FindTopWindow(DWORD pid, const std::function<bool(HWND)>& match);
String WindowText(HWND window);
