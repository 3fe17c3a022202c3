#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "base/files.h"

namespace {
bool StatPath(const String& path, struct stat& st) {
  const std::string native = ToUtf8(path);
  if (native.empty() || native.find('\0') != std::string::npos) return false;
  return ::stat(native.c_str(), &st) == 0;
}
}  // namespace

bool FileExists(const String& path) {
  struct stat st;
  return StatPath(path, st) && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const String& path) {
  struct stat st;
  return StatPath(path, st) && S_ISDIR(st.st_mode);
}

bool DeleteFileAt(const String& path) {
  const std::string native = ToUtf8(path);
  if (native.empty() || native.find('\0') != std::string::npos) return false;
  return ::unlink(native.c_str()) == 0;
}

namespace {
bool NativePath(const String& path, std::string& native) {
  native = ToUtf8(path);
  if (native.empty() || native.find('\0') != std::string::npos) {
    errno = ENOENT;
    return false;
  }
  return true;
}
}  // namespace

bool CreateDir(const String& path) {
  std::string native;
  return NativePath(path, native) && ::mkdir(native.c_str(), 0777) == 0;
}

bool RemoveDir(const String& path) {
  std::string native;
  return NativePath(path, native) && ::rmdir(native.c_str()) == 0;
}
