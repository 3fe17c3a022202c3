// Stands in for the setup program of an update: writes its whole command line, as the
// system handed it over, in UTF-8 to "command_line.txt" beside itself, then ends.
#include <windows.h>

#include <string>

#include "base/string.h"
#include "base/win_string.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  String path = FromW(self, MAX_PATH);
  path = path.substr(0, path.find_last_of(u'\\') + 1) + u"command_line.txt";
  const std::string text = ToUtf8(FromW(GetCommandLineW()));
  HANDLE h = CreateFileW(W(path + u".tmp"), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  WriteFile(h, text.data(), DWORD(text.size()), &written, nullptr);
  CloseHandle(h);
  // Appears whole or not at all for the test that waits for it.
  MoveFileExW(W(path + u".tmp"), W(path), MOVEFILE_REPLACE_EXISTING);
  return 0;
}
