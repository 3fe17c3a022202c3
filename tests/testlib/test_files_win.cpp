#include "tests/testlib/test_files_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "base/win_handle.h"
#include "base/win_string.h"

std::string ReadBytes(const String& path) {
  UniqueFileHandle h(CreateFileW(W(path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, 0, nullptr));
  if (!h) return {};
  std::string out;
  char buffer[4096];
  DWORD n = 0;
  while (ReadFile(h.get(), buffer, sizeof buffer, &n, nullptr) && n > 0) out.append(buffer, n);
  return out;
}

void WriteBytes(const String& path, const std::string& bytes) {
  UniqueFileHandle h(CreateFileW(W(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  ASSERT_TRUE(h) << ToUtf8(path);
  DWORD n = 0;
  EXPECT_TRUE(WriteFile(h.get(), bytes.data(), DWORD(bytes.size()), &n, nullptr) &&
              n == bytes.size())
      << ToUtf8(path);
}

bool IsFile(const String& path) {
  const DWORD a = GetFileAttributesW(W(path));
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsFolder(const String& path) {
  const DWORD a = GetFileAttributesW(W(path));
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}
