#include <windows.h>

#include "base/win_string.h"
#include "update/update_folder.h"

String CreateUpdateFolder(StringView tempDir) {
  return CreateUpdateFolder(tempDir, [](const String& path) -> uint32_t {
    return CreateDirectoryW(W(path), nullptr) ? 0 : GetLastError();
  });
}
