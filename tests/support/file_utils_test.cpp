#include "support/xs_file_utils.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "base/win_handle.h"
#include "base/win_string.h"
#include "support/xs_strings.h"
#include "support/xs_sys_info.h"
#include "tests/testlib/test_paths.h"

namespace {
TEST(XsPathText, StripTrailingBackslashRemovesAtMostOne) {
  struct Case {
    const Char* in;
    const Char* out;
  } cases[] = {
      {u"", u""},
      {u"\\", u""},
      {u"C:\\", u"C:"},
      {u"C:\\data\\\\", u"C:\\data\\"},
      {u"C:\\data", u"C:\\data"},
  };
  for (const Case& c : cases) EXPECT_EQ(StripTrailingBackslash(c.in), c.out) << ToUtf8(c.in);
}

TEST(XsPathText, CutAtNulKeepsWhatComesBeforeTheFirstNul) {
  struct Case {
    String in;
    String out;
  } cases[] = {
      {String(u"ab\0cd", 5), u"ab"},
      {String(u"\0x", 2), u""},
      {u"abc", u"abc"},
      {u"", u""},
  };
  for (Case& c : cases) {
    CutAtNul(c.in);
    EXPECT_EQ(c.in, c.out);
  }
}

// GetTempPathW follows TMP; the folders need not exist.
class XsTempDirFromEnvironment : public ::testing::Test {
protected:
  void SetUp() override {
    wchar_t old[MAX_PATH + 1] = {};
    hadTmp_ = GetEnvironmentVariableW(L"TMP", old, MAX_PATH + 1) > 0;
    oldTmp_ = FromW(old);
  }
  void TearDown() override {
    SetEnvironmentVariableW(L"TMP", hadTmp_ ? W(oldTmp_) : nullptr);
  }
  bool hadTmp_ = false;
  String oldTmp_;
};

TEST_F(XsTempDirFromEnvironment, HandsOnTheFolderWithoutTrailingBackslash) {
  struct Case {
    const wchar_t* tmp;
    const Char* temp;
    const Char* windowsTemp;
  } cases[] = {
      {L"C:\\Temp\\", u"C:\\Temp\\", u"C:\\Temp"},
      {L"C:\\Temp", u"C:\\Temp\\", u"C:\\Temp"},
      {L"C:\\", u"C:\\", u"C:"},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(SetEnvironmentVariableW(L"TMP", c.tmp));
    String temp;
    QueryTempPath(temp);
    EXPECT_EQ(temp, c.temp) << ToUtf8(c.temp);
    EXPECT_EQ(GetWindowsTempDir(), c.windowsTemp);
  }
}

TEST(XsExistenceTests, AnswerByKindAndIgnoreOtherAttributes) {
  ScratchDir dir("support-existence");
  const String file = dir / u"plain.txt";
  const String folder = dir / u"sub";
  ASSERT_TRUE(CreateDirectoryW(W(folder), nullptr));
  struct Made {
    const Char* name;
    DWORD attributes;
  } made[] = {{u"plain.txt", FILE_ATTRIBUTE_NORMAL},
              {u"readonly.txt", FILE_ATTRIBUTE_READONLY},
              {u"hidden.txt", FILE_ATTRIBUTE_HIDDEN},
              {u"system.txt", FILE_ATTRIBUTE_SYSTEM}};
  for (const Made& m : made) {
    const String path = dir / m.name;
    UniqueFileHandle h(CreateFileW(W(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   m.attributes, nullptr));
    ASSERT_TRUE(h) << ToUtf8(path);
  }

  struct Case {
    String path;
    bool isDir;
    bool isFile;
  } cases[] = {
      {folder, true, false},
      {folder + u"\\", true, false},
      {dir.Path(), true, false},
      {file, false, true},
      {dir / u"readonly.txt", false, true},
      {dir / u"hidden.txt", false, true},
      {dir / u"system.txt", false, true},
      {dir / u"missing", false, false},
      {dir / u"missing\\deeper", false, false},
      {u"", false, false},
      // A NUL inside would make the system test the folder before it.
      {folder + String(u"\0x", 2), false, false},
      {file + String(u"\0", 1), false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsExistingDir(c.path), c.isDir) << ToUtf8(c.path);
    EXPECT_EQ(IsExistingFile(c.path), c.isFile) << ToUtf8(c.path);
  }
  for (const Made& m : made) SetFileAttributesW(W(dir / m.name), FILE_ATTRIBUTE_NORMAL);
}

TEST(XsModuleFileName, NamesLoadedModulesOnly) {
  String path;
  QueryModuleFileName(GetModuleHandleW(L"kernel32.dll"), path);
  ASSERT_GE(path.size(), 12u);
  EXPECT_EQ(_wcsicmp(W(path.substr(path.size() - 12)), L"kernel32.dll"), 0);

  path = u"stale";
  QueryModuleFileName(reinterpret_cast<HMODULE>(0x10), path);
  EXPECT_EQ(path, u"");
}

// A module whose file name does not fit the path limit: a cut name would name another
// file, so there is none.
TEST(XsModuleFileName, ANameBeyondThePathLimitIsNoName) {
  ScratchDir dir("support-long-module");
  // Too deep for the scratch folder's own clean-up: removed here, deepest first.
  std::vector<String> folders{u"\\\\?\\" + dir.Path()};
  while (folders.back().size() < 300) {
    folders.push_back(folders.back() + u"\\" + String(60, u'd'));
    CreateDirectoryW(W(folders.back()), nullptr);
  }
  const String copy = folders.back() + u"\\copy.dll";
  struct CleanUp {
    const std::vector<String>& folders;
    const String& copy;
    ~CleanUp() {
      DeleteFileW(W(copy));
      for (size_t i = folders.size(); i-- > 1;) RemoveDirectoryW(W(folders[i]));
    }
  } cleanUp{folders, copy};

  wchar_t self[MAX_PATH + 1] = {};
  ASSERT_GT(GetModuleFileNameW(nullptr, self, MAX_PATH + 1), 0u);
  ASSERT_TRUE(CopyFileW(self, W(copy), FALSE)) << GetLastError();
  HMODULE module = LoadLibraryExW(W(copy), nullptr, DONT_RESOLVE_DLL_REFERENCES);
  if (!module) GTEST_SKIP() << "the system loads no module from a long path here";
  wchar_t full[1024] = {};
  const DWORD n = GetModuleFileNameW(module, full, 1024);
  String path = u"stale";
  QueryModuleFileName(module, path);
  FreeLibrary(module);
  ASSERT_GT(n, DWORD(MAX_PATH + 1)) << "the system reports a short name";
  EXPECT_EQ(path, u"");
}

TEST(XsFixedFileInfo, FilledOnlyFromAVersionResource) {
  String kernel;
  QueryModuleFileName(GetModuleHandleW(L"kernel32.dll"), kernel);
  VS_FIXEDFILEINFO info{};
  ASSERT_TRUE(ReadFixedFileInfo(kernel, info));
  EXPECT_EQ(info.dwSignature, 0xFEEF04BDu);
  EXPECT_NE(info.dwProductVersionMS, 0u);

  ScratchDir dir("support-fixed-info");
  const String plain = dir / u"plain.bin";
  {
    UniqueFileHandle h(CreateFileW(W(plain), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(h);
  }
  VS_FIXEDFILEINFO untouched;
  std::memset(&untouched, 0xA5, sizeof untouched);
  for (const String& name : {plain, dir / u"missing.dll", String(u"")}) {
    VS_FIXEDFILEINFO out = untouched;
    EXPECT_FALSE(ReadFixedFileInfo(name, out)) << ToUtf8(name);
    EXPECT_EQ(std::memcmp(&out, &untouched, sizeof out), 0);
  }
}
}  // namespace
