// Drives a running Quorlix from another process, as a user would: finds its main
// window, types a folder, clicks Start Scan, reads the status bar, answers the save
// dialog and closes the window. One command per run; what it reads goes to stdout.
//
//   quorlix_driver wait
//   quorlix_driver scan <folder>          prints the three status panels, one a line
//   quorlix_driver save <file> <txt|csv>  answers the save dialog
//   quorlix_driver close
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "base/win_string.h"
#include "tests/testlib/dialog_driver_win.h"
#include "tests/testlib/program_run_win.h"

namespace {

constexpr wchar_t kMainCaption[] = L"Quorlix Zeva - Version 1.1";
constexpr int kTimeoutMs = 20000;
constexpr int kFolderEditWidth = 227;  // tells the folder box from the ignore box

HWND WaitMainWindow() {
  for (DWORD start = GetTickCount(); GetTickCount() - start < DWORD(kTimeoutMs); Sleep(50)) {
    HWND w = FindWindowW(nullptr, kMainCaption);
    if (w && IsWindowVisible(w)) return w;
  }
  return nullptr;
}

// A status panel's text, read through memory in the window's own process.
std::wstring PanelText(HWND bar, int index) {
  DWORD pid = 0;
  GetWindowThreadProcessId(bar, &pid);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (!process) return L"?";
  const size_t units = 1024;
  void* remote = VirtualAllocEx(process, nullptr, units * sizeof(wchar_t), MEM_COMMIT, PAGE_READWRITE);
  std::vector<wchar_t> text(units, 0);
  if (remote) {
    SendMessageW(bar, SB_GETTEXTW, WPARAM(index), LPARAM(remote));
    SIZE_T read = 0;
    ReadProcessMemory(process, remote, text.data(), (units - 1) * sizeof(wchar_t), &read);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  CloseHandle(process);
  return text.data();
}

void PrintUtf8(const std::wstring& s) {
  std::string out(size_t(WideCharToMultiByte(CP_UTF8, 0, s.c_str(), -1, nullptr, 0, nullptr, nullptr)), 0);
  WideCharToMultiByte(CP_UTF8, 0, s.c_str(), -1, out.data(), int(out.size()), nullptr, nullptr);
  std::printf("%s\n", out.c_str());
}

int Fail(const char* what) {
  std::fprintf(stderr, "quorlix_driver: %s\n", what);
  return 1;
}

int Scan(HWND main, const std::wstring& folder) {
  HWND edit = FindChildControl(main, u"Edit", u"", kFolderEditWidth);
  HWND start = FindChildControl(main, u"Button", u"Start Scan");
  HWND bar = FindChildControl(main, FromW(STATUSCLASSNAMEW), u"");
  if (!edit || !start || !bar) return Fail("controls not found");
  SendMessageW(edit, WM_SETTEXT, 0, LPARAM(folder.c_str()));
  SendMessageW(start, BM_CLICK, 0, 0);  // returns when the scan is done
  for (int i = 0; i < 3; ++i) PrintUtf8(PanelText(bar, i));
  return 0;
}

int Save(HWND main, const std::wstring& file, bool csv) {
  DWORD pid = 0;
  GetWindowThreadProcessId(main, &pid);
  HWND dlg = nullptr;
  for (DWORD start = GetTickCount(); !dlg && GetTickCount() - start < DWORD(kTimeoutMs); Sleep(50))
    dlg = FindDialogOf(pid);
  if (!dlg) return Fail("no save dialog");
  Sleep(300);  // let the dialog finish laying itself out
  PrintUtf8(W(ControlText(dlg)));
  HWND types = GetDlgItem(dlg, 0x470);  // cmb1, the file types
  if (types) {
    SendMessageW(types, CB_SETCURSEL, csv ? 1 : 0, 0);
    // What a choice from the drop-down list sends; the dialog acts on the end of it.
    SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(0x470, CBN_SELCHANGE), LPARAM(types));
    SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(0x470, CBN_SELENDOK), LPARAM(types));
  }
  HWND name = GetDlgItem(dlg, 0x480);  // edt1, or the edit of the ComboBoxEx cmb13
  if (!name) name = HWND(SendMessageW(GetDlgItem(dlg, 0x47c), CBEM_GETEDITCONTROL, 0, 0));
  if (!name) return Fail("no file name box");
  SendMessageW(name, WM_SETTEXT, 0, LPARAM(file.c_str()));
  PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), LPARAM(GetDlgItem(dlg, IDOK)));
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return Fail("usage: quorlix_driver wait|scan|save|close ...");
  const std::wstring command = argv[1];
  HWND main = WaitMainWindow();
  if (!main) return Fail("main window not found");
  if (command == L"wait") return 0;
  if (command == L"scan" && argc == 3) return Scan(main, argv[2]);
  if (command == L"save" && argc == 4) return Save(main, argv[2], std::wstring(argv[3]) == L"csv");
  if (command == L"close") {
    PostMessageW(main, WM_CLOSE, 0, 0);
    return 0;
  }
  return Fail("unknown command");
}
