// A program the test starts in a process of its own and works from outside, as a user
// or another program would: its top-level window, the controls in it, its end.
#pragma once

#include <windows.h>

#include "base/string.h"
#include "base/win_handle.h"

class ProgramRun {
public:
  // Starts exe with arguments after its quoted path; Started() tells whether it did.
  explicit ProgramRun(const String& exe, const String& arguments = String());
  // Ends the program when it still runs.
  ~ProgramRun();
  ProgramRun(const ProgramRun&) = delete;
  ProgramRun& operator=(const ProgramRun&) = delete;

  bool Started() const { return bool(process_); }
  DWORD Pid() const { return pid_; }
  // Waits up to ms for a visible top-level window of the program with this caption;
  // nullptr when none showed.
  HWND WaitForWindow(const String& caption, int ms) const;
  // Waits up to ms for the program to end; true when it did (or never started).
  bool Ended(int ms) const;
  void Terminate();

private:
  UniqueHandle process_;
  DWORD pid_ = 0;
};

// The first child control of parent of window class className whose text is text
// (empty: any) and whose width is width (0: any); nullptr when there is none.
HWND FindChildControl(HWND parent, const String& className, const String& text, int width = 0);
// The text a control holds now, also in another process (GetWindowText of another
// process's edit gives only its first caption).
String ControlText(HWND control);
