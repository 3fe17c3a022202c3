#include "tests/testlib/program_run_win.h"

#include <vector>

#include "base/win_string.h"
#include "tests/testlib/dialog_driver_win.h"

namespace {

struct ChildSearch {
  const String& className;
  const String& text;
  int width;
  HWND found;
};

BOOL CALLBACK MatchChild(HWND window, LPARAM lp) {
  auto* s = reinterpret_cast<ChildSearch*>(lp);
  wchar_t cls[64] = {};
  GetClassNameW(window, cls, 64);
  if (_wcsicmp(cls, W(s->className)) != 0) return TRUE;
  if (!s->text.empty() && ControlText(window) != s->text) return TRUE;
  RECT r{};
  GetWindowRect(window, &r);
  if (s->width && r.right - r.left != s->width) return TRUE;
  s->found = window;
  return FALSE;
}

}  // namespace

ProgramRun::ProgramRun(const String& exe, const String& arguments) {
  String line = u"\"" + exe + u"\"";
  if (!arguments.empty()) line += u" " + arguments;
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(W(exe), W(line.data()), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &pi))
    return;
  CloseHandle(pi.hThread);
  process_.reset(pi.hProcess);
  pid_ = pi.dwProcessId;
}

ProgramRun::~ProgramRun() { Terminate(); }

HWND ProgramRun::WaitForWindow(const String& caption, int ms) const {
  if (!process_) return nullptr;
  for (const DWORD start = GetTickCount();; Sleep(50)) {
    // The stored caption (WindowText): sends nothing to a program that may be busy.
    HWND found = FindTopWindow(pid_, [&](HWND window) { return WindowText(window) == caption; });
    if (found) return found;
    if (int(GetTickCount() - start) > ms) return nullptr;
  }
}

bool ProgramRun::Ended(int ms) const {
  return !process_ || WaitForSingleObject(process_.get(), DWORD(ms)) == WAIT_OBJECT_0;
}

void ProgramRun::Terminate() {
  if (process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT)
    TerminateProcess(process_.get(), 1);
  process_.reset();
}

HWND FindChildControl(HWND parent, const String& className, const String& text, int width) {
  ChildSearch s{className, text, width, nullptr};
  EnumChildWindows(parent, MatchChild, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

String ControlText(HWND control) {
  std::vector<wchar_t> buffer(size_t(SendMessageW(control, WM_GETTEXTLENGTH, 0, 0)) + 1);
  SendMessageW(control, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
  return FromW(buffer.data());
}
