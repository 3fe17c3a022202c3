#include <windows.h>

#include "base/win_handle.h"
#include "base/win_string.h"
#include "update/update_folder.h"

String CreateUpdateFolder(StringView tempDir) {
  return CreateUpdateFolder(tempDir, [](const String& path) -> uint32_t {
    return CreateDirectoryW(W(path), nullptr) ? 0 : GetLastError();
  });
}

void RemoveUpdateFolder(const String& folder) {
  WIN32_FIND_DATAW found{};
  UniqueFindHandle search(FindFirstFileW(W(folder + u"\\*"), &found));
  if (search) {
    do {
      const String name = FromW(found.cFileName);
      if (name == u"." || name == u"..") continue;
      const String path = folder + u"\\" + name;
      const DWORD attributes = found.dwFileAttributes;
      if (attributes & FILE_ATTRIBUTE_READONLY)
        SetFileAttributesW(W(path), attributes & ~DWORD(FILE_ATTRIBUTE_READONLY));
      if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        DeleteFileW(W(path));
      } else if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        RemoveDirectoryW(W(path));  // the link, not what it leads to
      } else {
        RemoveUpdateFolder(path);
      }
    } while (FindNextFileW(search.get(), &found));
  }
  RemoveDirectoryW(W(folder));
}
