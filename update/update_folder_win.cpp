#include <windows.h>

#include "base/win_directory.h"
#include "base/win_string.h"
#include "update/update_folder.h"

String CreateUpdateFolder(StringView tempDir) {
  return CreateUpdateFolder(tempDir, [](const String& path) -> uint32_t {
    return CreateDirectoryW(W(path), nullptr) ? 0 : GetLastError();
  });
}

void RemoveUpdateFolder(const String& folder) {
  ForEachEntry(folder + u"\\*", [&](const TFoundEntry& entry) {
    const String path = folder + u"\\" + entry.Name;
    const DWORD attributes = entry.Attributes;
    if (attributes & FILE_ATTRIBUTE_READONLY)
      SetFileAttributesW(W(path), attributes & ~DWORD(FILE_ATTRIBUTE_READONLY));
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      DeleteFileW(W(path));
    } else if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
      RemoveDirectoryW(W(path));  // the link, not what it leads to
    } else {
      RemoveUpdateFolder(path);
    }
  });
  RemoveDirectoryW(W(folder));
}
