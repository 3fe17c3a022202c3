#include "support/xs_file_utils.h"

#include <cstring>
#include <vector>

#include "base/files.h"
#include "base/path.h"
#include "base/win_string.h"
#include "support/xs_strings.h"

void QueryTempPath(String& path) {
  path.clear();
  const DWORD needed = GetTempPathW(0, nullptr);
  if (needed == 0) return;
  String buffer(needed, u'\0');
  const DWORD written = GetTempPathW(needed, W(buffer.data()));
  // A path that grew between the two calls is not written at all.
  if (written == 0 || written >= needed) return;
  CutAtNul(buffer);
  path = std::move(buffer);
}

String StripTrailingBackslash(const String& s) { return String(WithoutTrailingSeparator(s)); }

bool IsExistingDir(const String& path) { return DirectoryExists(path); }

bool IsExistingFile(const String& name) { return FileExists(name); }

void QueryModuleFileName(HMODULE module, String& path) {
  constexpr DWORD kCapacity = MAX_PATH + 1;
  String buffer(kCapacity, u'\0');
  const DWORD n = GetModuleFileNameW(module, W(buffer.data()), kCapacity);
  // A full buffer means the name was cut.
  if (n == 0 || n >= kCapacity) {
    path.clear();
    return;
  }
  buffer.resize(n);
  path = std::move(buffer);
}

bool ReadFixedFileInfo(const String& fileName, VS_FIXEDFILEINFO& info) {
  if (fileName.find(u'\0') != String::npos) return false;
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeW(W(fileName), &handle);
  if (size == 0) return false;
  std::vector<BYTE> buffer(size);
  if (!GetFileVersionInfoW(W(fileName), handle, size, buffer.data())) return false;
  void* root = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(buffer.data(), L"\\", &root, &length) || !root ||
      length != sizeof(VS_FIXEDFILEINFO))
    return false;
  std::memcpy(&info, root, sizeof info);
  return true;
}
