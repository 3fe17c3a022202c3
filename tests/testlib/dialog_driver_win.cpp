#include "tests/testlib/dialog_driver_win.h"

#include <vector>

#include <gtest/gtest.h>

#include "base/win_handle.h"
#include "base/win_string.h"

namespace {
struct FindState {
  DWORD pid;
  const std::function<bool(HWND)>& match;
  HWND found;
};

BOOL CALLBACK FindTopWindowProc(HWND hwnd, LPARAM lp) {
  auto* state = reinterpret_cast<FindState*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == state->pid && IsWindowVisible(hwnd) && state->match(hwnd)) {
    state->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK CollectStaticText(HWND hwnd, LPARAM lp) {
  auto* texts = reinterpret_cast<String*>(lp);
  wchar_t cls[32] = {};
  GetClassNameW(hwnd, cls, 32);
  if (_wcsicmp(cls, L"Static") == 0) {
    const String t = WindowText(hwnd);
    if (!t.empty()) {
      if (!texts->empty()) texts->push_back(u'\n');
      *texts += t;
    }
  }
  return TRUE;
}
}  // namespace

String WindowText(HWND window) {
  const int n = GetWindowTextLengthW(window);
  std::vector<wchar_t> buf(size_t(n) + 1);
  GetWindowTextW(window, buf.data(), n + 1);
  return FromW(buf.data(), buf.size());
}

HWND FindOwnDialog() { return FindDialogOf(GetCurrentProcessId()); }

HWND FindDialogOf(DWORD pid) {
  return FindTopWindow(pid, [](HWND window) {
    wchar_t cls[32] = {};
    GetClassNameW(window, cls, 32);
    return wcscmp(cls, L"#32770") == 0;
  });
}

HWND FindTopWindow(DWORD pid, const std::function<bool(HWND)>& match) {
  FindState state{pid, match, nullptr};
  EnumWindows(FindTopWindowProc, reinterpret_cast<LPARAM>(&state));
  return state.found;
}

namespace {
const wchar_t* const kShellDialogKeys[] = {
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32",
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced",
};

bool UserKeyExists(const wchar_t* path) {
  UniqueHKey key;
  return RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}
}  // namespace

ShellDialogKeys::ShellDialogKeys() {
  for (const wchar_t* path : kShellDialogKeys) existed_.push_back(UserKeyExists(path));
}

ShellDialogKeys::~ShellDialogKeys() {
  for (size_t i = 0; i < existed_.size(); ++i)
    if (!existed_[i]) RegDeleteTreeW(HKEY_CURRENT_USER, kShellDialogKeys[i]);
}

DialogAnswerer::DialogAnswerer(int buttonId, std::function<void(HWND)> inspect, int timeoutMs)
    : testThread_(GetCurrentThreadId()),
      thread_([this, buttonId, inspect = std::move(inspect), timeoutMs] {
        Run(buttonId, inspect, timeoutMs);
      }) {}

DialogAnswerer::~DialogAnswerer() {
  if (thread_.joinable()) thread_.join();
}

const SeenDialog& DialogAnswerer::Seen() {
  if (thread_.joinable()) thread_.join();
  return seen_;
}

void DialogAnswerer::Run(int buttonId, std::function<void(HWND)> inspect, int timeoutMs) {
  const DWORD start = GetTickCount();
  HWND dialog = nullptr;
  while (!(dialog = FindOwnDialog())) {
    if (GetTickCount() - start > DWORD(timeoutMs)) {
      GiveUp(timeoutMs);
      return;
    }
    Sleep(20);
  }
  // Its start-up (WM_INITDIALOG, a browse dialog's move to the centre) is done once
  // its thread answers messages again.
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(dialog, WM_NULL, 0, 0, SMTO_NORMAL, DWORD(timeoutMs), &ignored);
  seen_.found = true;
  seen_.window = dialog;
  seen_.owner = GetWindow(dialog, GW_OWNER);
  seen_.caption = WindowText(dialog);
  EnumChildWindows(dialog, CollectStaticText, reinterpret_cast<LPARAM>(&seen_.text));
  GetWindowRect(dialog, &seen_.rect);
  if (inspect) inspect(dialog);
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, buttonId)));
}

void DialogAnswerer::GiveUp(int timeoutMs) {
  ADD_FAILURE() << "no dialog appeared within " << timeoutMs << " ms";
  // The box the test thread waits in: its active window, when that is a dialog or
  // a window that disabled its owner.
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  if (!GetGUIThreadInfo(testThread_, &info) || !info.hwndActive) return;
  HWND box = info.hwndActive;
  wchar_t cls[32] = {};
  GetClassNameW(box, cls, 32);
  HWND owner = GetWindow(box, GW_OWNER);
  if (wcscmp(cls, L"#32770") == 0)
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  else if (owner && !IsWindowEnabled(owner))
    PostMessageW(box, WM_CLOSE, 0, 0);
}
