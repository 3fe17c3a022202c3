// Stands in for a program another program starts (the installed main program, the setup
// program of an update): records how it was started beside itself (the format is in
// command_line_stub.h), then ends.
#include <windows.h>

#include <shellapi.h>
#include <tlhelp32.h>

#include <string>

#include "base/string.h"
#include "base/win_string.h"
#include "tests/testlib/command_line_stub.h"

namespace {
DWORD ParentProcessId() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  DWORD parent = 0;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
    if (entry.th32ProcessID == GetCurrentProcessId()) parent = entry.th32ParentProcessID;
  CloseHandle(snapshot);
  return parent;
}

void RecordStarter(const String& file) {
  const std::string text = std::to_string(ParentProcessId());
  HANDLE h = CreateFileW(W(file), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(h, text.data(), DWORD(text.size()), &written, nullptr);
  CloseHandle(h);
}
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  String path = FromW(self, MAX_PATH);
  const String folder = path.substr(0, path.find_last_of(u'\\') + 1);
  path = folder + kCommandLineRecord;
  RecordStarter(folder + kStarterRecord);
  std::string text = ToUtf8(FromW(GetCommandLineW())) + "\n";
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
  for (int i = 1; args && i < count; ++i) text += ToUtf8(FromW(args[i])) + "\n";
  LocalFree(args);
  HANDLE h = CreateFileW(W(path + u".tmp"), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  WriteFile(h, text.data(), DWORD(text.size()), &written, nullptr);
  CloseHandle(h);
  // Appears whole or not at all for the test that waits for it.
  MoveFileExW(W(path + u".tmp"), W(path), MOVEFILE_REPLACE_EXISTING);
  return 0;
}
