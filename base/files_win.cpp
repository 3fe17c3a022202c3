#include <windows.h>

#include "base/files.h"
#include "base/win_directory.h"
#include "base/win_string.h"

bool FileExists(const String& path) { return IsFileAttributes(FileAttributesOf(path)); }

bool DirectoryExists(const String& path) { return IsFolderAttributes(FileAttributesOf(path)); }

bool DeleteFileAt(const String& path) {
  if (path.empty() || path.find(u'\0') != String::npos) return false;
  return DeleteFileW(W(path)) != 0;
}

namespace {
bool ValidName(const String& path) {
  if (path.empty() || path.find(u'\0') != String::npos) {
    SetLastError(ERROR_INVALID_NAME);
    return false;
  }
  return true;
}
}  // namespace

bool CreateDir(const String& path) {
  return ValidName(path) && CreateDirectoryW(W(path), nullptr) != 0;
}

bool RemoveDir(const String& path) { return ValidName(path) && RemoveDirectoryW(W(path)) != 0; }
