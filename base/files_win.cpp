#include <windows.h>

#include "base/files.h"
#include "base/win_directory.h"
#include "base/win_string.h"

bool FileExists(const String& path) {
  const DWORD a = FileAttributesOf(path);
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const String& path) {
  const DWORD a = FileAttributesOf(path);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

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
