// The addresses the build chose, the running program's path and the browser hand-over.
#include <windows.h>

#include <shellapi.h>

#include "base/win_string.h"
#include "scan/main_menu_commands.h"
#include "product.h"
#include "scan/menu_texts.h"

#ifndef QZ_UPDATE_HOST
#error "QZ_UPDATE_HOST: the update server's host, set by the build"
#endif

String ProductWebSite() { return product::kWebSite; }

String VersionFileUrl() {
  return String(u"http://") + u"" QZ_UPDATE_HOST + menu_texts::kVersionFilePath;
}

String RunningProgramFile() {
  // Long paths need more than MAX_PATH; a full buffer means the name was cut.
  String buffer(MAX_PATH, u'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, W(buffer.data()), DWORD(buffer.size()));
    if (n == 0) return String();
    if (n < buffer.size()) {
      buffer.resize(n);
      return buffer;
    }
    if (buffer.size() >= 32768) return String();
    buffer.resize(buffer.size() * 2);
  }
}

void OpenWebAddress(HWND Owner, const String& Address) {
  ShellExecuteW(Owner, L"open", W(Address), nullptr, nullptr, SW_SHOWNORMAL);
}
