// Plays the user's part in an update from another process under the same Wine server:
// waits for windows, answers message boxes, clicks through the setup wizard and reads
// what a user could look up (a process's command line, the uninstall entry). One
// command per run; what it reads goes to stdout as UTF-8, one item a line.
//
//   update_driver window <caption>             waits for a visible window
//   update_driver gone <caption>               waits until no such window is visible
//   update_driver close <caption>              asks the window to close
//   update_driver end <caption>                ends the window's process, if any
//   update_driver cmdline <caption>            the command line of the window's process
//   update_driver box <button id> <caption>    waits for a message box of the process
//                                              of the window with that caption, prints
//                                              its caption and text, presses the button
//   update_driver nobox <ms> <caption>         fails when such a box shows within ms
//   update_driver wizard <folder> <menu name>  installs through the setup wizard into
//                                              folder and ends it with "Run program"
//   update_driver uninstall-entry              the uninstall entry's values, Name=Value
//   update_driver temp                         the Windows temporary folder
//   update_driver forget <menu name>           removes the uninstall entry, the
//                                              Start-menu folder, the desktop link and
//                                              the program's settings
#include <windows.h>

#include <shlobj.h>
#include <winternl.h>

#include <cstddef>
#include <cstdio>
#include <cwchar>
#include <optional>
#include <string>
#include <vector>

#include "base/win_handle.h"
#include "base/win_string.h"
#include "tests/setup/setup_test_support.h"
#include "tests/testlib/program_run_win.h"

namespace {

constexpr int kTimeoutMs = 30000;
constexpr wchar_t kSetupCaption[] = L"Setup - Quorlix Zeva";
constexpr Char kUninstallKey[] =
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorlix";
// What the installed program writes when it closes.
constexpr Char kVendorKey[] = u"Software\\Brevane";
constexpr Char kSettingsKey[] = u"Software\\Brevane\\Quorlix";

int Fail(const char* what) {
  std::fprintf(stderr, "update_driver: %s\n", what);
  return 1;
}

void PrintUtf8(const std::wstring& s) {
  std::string out(
      size_t(WideCharToMultiByte(CP_UTF8, 0, s.c_str(), -1, nullptr, 0, nullptr, nullptr)), 0);
  WideCharToMultiByte(CP_UTF8, 0, s.c_str(), -1, out.data(), int(out.size()), nullptr, nullptr);
  std::printf("%s\n", out.c_str());
  std::fflush(stdout);
}

std::wstring ClassOf(HWND w) {
  wchar_t name[64] = {};
  GetClassNameW(w, name, 64);
  return name;
}

std::wstring TextOf(HWND w) {
  const String text = ControlText(w);
  return std::wstring(text.begin(), text.end());
}

// A top-level window's caption, read without a message: the program may be busy.
std::wstring CaptionOf(HWND w) {
  wchar_t text[512] = {};
  GetWindowTextW(w, text, 512);
  return text;
}

bool Waited(DWORD start, int ms) { return GetTickCount() - start >= DWORD(ms); }

struct TopSearch {
  std::wstring caption;  // empty: a message box
  DWORD pid = 0;         // 0: any process
  HWND found = nullptr;
};

BOOL CALLBACK MatchTop(HWND w, LPARAM lp) {
  auto* s = reinterpret_cast<TopSearch*>(lp);
  if (!IsWindowVisible(w)) return TRUE;
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (s->pid && pid != s->pid) return TRUE;
  const bool match = s->caption.empty() ? ClassOf(w) == L"#32770" : CaptionOf(w) == s->caption;
  if (!match) return TRUE;
  s->found = w;
  return FALSE;
}

HWND FindTop(const std::wstring& caption, DWORD pid = 0) {
  TopSearch s{caption, pid};
  EnumWindows(MatchTop, LPARAM(&s));
  return s.found;
}

HWND WaitTop(const std::wstring& caption, int ms = kTimeoutMs, DWORD pid = 0) {
  for (DWORD start = GetTickCount(); !Waited(start, ms); Sleep(50)) {
    if (HWND w = FindTop(caption, pid)) return w;
  }
  return nullptr;
}

bool WaitGone(HWND w, int ms = kTimeoutMs) {
  for (DWORD start = GetTickCount(); !Waited(start, ms); Sleep(50)) {
    if (!IsWindow(w) || !IsWindowVisible(w)) return true;
  }
  return false;
}

BOOL CALLBACK CollectChild(HWND w, LPARAM lp) {
  reinterpret_cast<std::vector<HWND>*>(lp)->push_back(w);
  return TRUE;
}

std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> found;
  EnumChildWindows(parent, CollectChild, LPARAM(&found));
  return found;
}

// The process of a visible top-level window with this caption, once it shows; 0 if none.
DWORD ProcessOf(const std::wstring& caption) {
  HWND w = WaitTop(caption);
  DWORD pid = 0;
  if (w) GetWindowThreadProcessId(w, &pid);
  return pid;
}

// The command line another process was started with, read from its process block.
std::wstring CommandLineOf(DWORD pid) {
  using QueryFn = NTSTATUS(WINAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
  auto query = reinterpret_cast<QueryFn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
  UniqueHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
  if (!query || !process) return L"?";
  std::wstring line = L"?";
  PROCESS_BASIC_INFORMATION info{};
  PEB peb{};
  RTL_USER_PROCESS_PARAMETERS params{};
  if (query(process.get(), ProcessBasicInformation, &info, sizeof info, nullptr) == 0 &&
      ReadProcessMemory(process.get(), info.PebBaseAddress, &peb, sizeof peb, nullptr) &&
      ReadProcessMemory(process.get(), peb.ProcessParameters, &params, sizeof params, nullptr)) {
    std::vector<wchar_t> text(params.CommandLine.Length / sizeof(wchar_t) + 1, 0);
    if (ReadProcessMemory(process.get(), params.CommandLine.Buffer, text.data(),
                          params.CommandLine.Length, nullptr))
      line = text.data();
  }
  return line;
}

// Prints the box's caption and text, presses the button, waits until the box is gone.
int AnswerBox(int button, DWORD pid) {
  HWND box = WaitTop(L"", kTimeoutMs, pid);
  if (!box) return Fail("no message box");
  Sleep(200);  // let the box finish its start-up
  PrintUtf8(CaptionOf(box));
  std::wstring text;
  for (HWND w : Children(box)) {
    if (_wcsicmp(ClassOf(w).c_str(), L"Static") == 0 && !TextOf(w).empty()) text += TextOf(w);
  }
  PrintUtf8(text);
  if (!GetDlgItem(box, button)) return Fail("the box has no such button");
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), LPARAM(GetDlgItem(box, button)));
  return WaitGone(box) ? 0 : Fail("the box stayed");
}

void Click(HWND button) { SendMessageW(button, BM_CLICK, 0, 0); }

// The page a user reaches: Next until the destination, type the folders, Install,
// Finish with "Run program" left checked.
int Wizard(const std::wstring& folder, const std::wstring& menuName) {
  HWND setup = WaitTop(kSetupCaption);
  if (!setup) return Fail("no setup window");
  HWND next = FindChildControl(setup, u"Button", u"&Next >");
  if (!next) return Fail("no Next button");
  Click(next);  // licence
  Click(next);  // destination
  HWND dest = nullptr;
  for (HWND w : Children(setup)) {
    const std::wstring t = TextOf(w);
    if (_wcsicmp(ClassOf(w).c_str(), L"Edit") == 0 && IsWindowVisible(w) && !t.empty() &&
        t.back() == L'\\')
      dest = w;
  }
  if (!dest) return Fail("no destination box");
  SendMessageW(dest, WM_SETTEXT, 0, LPARAM(folder.c_str()));
  Click(next);  // Start-menu folder
  HWND menu = FindChildControl(setup, u"Edit", u"Quorlix");
  if (!menu) return Fail("no Start-menu box");
  SendMessageW(menu, WM_SETTEXT, 0, LPARAM(menuName.c_str()));
  Click(next);  // tasks
  Click(next);  // ready
  if (TextOf(next) != L"&Install") return Fail("not on the ready page");
  Click(next);  // installs, then the finish page
  if (TextOf(next) != L"&Finish") return Fail("not on the finish page");
  HWND run = FindChildControl(setup, u"Button", u"Run program");
  if (!run || SendMessageW(run, BM_GETCHECK, 0, 0) != BST_CHECKED)
    return Fail("Run program not checked");
  PostMessageW(next, BM_CLICK, 0, 0);
  return 0;
}

// The values of the uninstall entry that tell what was installed where.
int PrintUninstallEntry() {
  const String names[] = {u"DisplayName",     u"DisplayVersion", u"DisplayIcon",
                          u"InstallLocation", u"Publisher",      u"UninstallString"};
  for (const String& name : names) {
    const std::optional<String> value = setup_test::MachineString(kUninstallKey, name);
    if (!value) return Fail("uninstall entry incomplete");
    const String line = name + u"=" + *value;
    PrintUtf8(std::wstring(line.begin(), line.end()));
  }
  return 0;
}

int Forget(const String& menuName) {
  setup_test::DeleteMachineKey(kUninstallKey);
  setup_test::DeleteTree(setup_test::ShellFolder(CSIDL_PROGRAMS) + u"\\" + menuName);
  DeleteFileW(W(setup_test::ShellFolder(CSIDL_DESKTOPDIRECTORY) + u"\\Quorlix.lnk"));
  RegDeleteTreeW(HKEY_CURRENT_USER, W(kSettingsKey));
  RegDeleteKeyW(HKEY_CURRENT_USER, W(kVendorKey));  // when nothing else is in it
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return Fail("usage: update_driver <command> ...");
  const std::wstring command = argv[1];
  if (command == L"window" && argc == 3) return WaitTop(argv[2]) ? 0 : Fail("window not found");
  if (command == L"gone" && argc == 3) {
    for (DWORD start = GetTickCount(); !Waited(start, kTimeoutMs); Sleep(50)) {
      if (!FindTop(argv[2])) return 0;
    }
    return Fail("window still there");
  }
  if (command == L"close" && argc == 3) {
    HWND w = WaitTop(argv[2]);
    if (!w) return Fail("window not found");
    PostMessageW(w, WM_CLOSE, 0, 0);
    return 0;
  }
  if (command == L"end" && argc == 3) {
    if (HWND w = FindTop(argv[2])) {
      DWORD pid = 0;
      GetWindowThreadProcessId(w, &pid);
      UniqueHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, pid));
      if (process) TerminateProcess(process.get(), 1);
    }
    return 0;
  }
  if (command == L"cmdline" && argc == 3) {
    const DWORD pid = ProcessOf(argv[2]);
    if (!pid) return Fail("window not found");
    PrintUtf8(CommandLineOf(pid));
    return 0;
  }
  if (command == L"box" && argc == 4) {
    const DWORD pid = ProcessOf(argv[3]);
    return pid ? AnswerBox(_wtoi(argv[2]), pid) : Fail("window not found");
  }
  if (command == L"nobox" && argc == 4) {
    const DWORD pid = ProcessOf(argv[3]);
    if (!pid) return Fail("window not found");
    HWND box = WaitTop(L"", _wtoi(argv[2]), pid);
    if (!box) return 0;
    PrintUtf8(CaptionOf(box));
    return Fail("unexpected message box");
  }
  if (command == L"wizard" && argc == 4) return Wizard(argv[2], argv[3]);
  if (command == L"uninstall-entry") return PrintUninstallEntry();
  if (command == L"temp") {
    wchar_t path[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, path);
    PrintUtf8(path);
    return 0;
  }
  if (command == L"forget" && argc == 3) return Forget(FromW(argv[2]));
  return Fail("unknown command");
}
