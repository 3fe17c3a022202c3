#include "scan/html_help.h"

#include <htmlhelp.h>

#include "base/win_string.h"

namespace {

constexpr wchar_t kLibraryName[] = L"\\hhctrl.ocx";

// The system folder, without a trailing backslash; empty when it cannot be had.
String SystemFolder() {
  wchar_t buffer[MAX_PATH + 1] = {};
  const UINT n = GetSystemDirectoryW(buffer, MAX_PATH + 1);
  if (n == 0 || n > MAX_PATH) return String();
  return FromW(buffer, n);
}

}  // namespace

THtmlHelpLibrary::~THtmlHelpLibrary() {
  if (htmlHelpW_) htmlHelpW_(nullptr, nullptr, HH_CLOSE_ALL, 0);
}

bool THtmlHelpLibrary::Load() {
  if (htmlHelpW_) return true;
  const String folder = SystemFolder();
  if (folder.empty()) return false;
  // A full path: a bare name would be searched for beside the program first.
  UniqueModule library(LoadLibraryExW(W(folder + FromW(kLibraryName)), nullptr,
                                      LOAD_WITH_ALTERED_SEARCH_PATH));
  if (!library) return false;
  FARPROC ansi = GetProcAddress(library.get(), "HtmlHelpA");
  FARPROC wide = GetProcAddress(library.get(), "HtmlHelpW");
  if (!ansi || !wide) return false;
  htmlHelpW_ = reinterpret_cast<HtmlHelpFn>(reinterpret_cast<void*>(wide));
  library_ = std::move(library);
  return true;
}

bool THtmlHelpLibrary::DisplayTopic(HWND Owner, const String& File, const String& Topic) {
  if (!Load()) return false;
  htmlHelpW_(Owner, W(File), HH_DISPLAY_TOPIC, reinterpret_cast<DWORD_PTR>(W(Topic)));
  return true;
}
