#include "setup/setup_support.h"

#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include "base/exception.h"
#include "base/win_handle.h"
#include "base/win_string.h"
#include "tests/setup/setup_test_support.h"
#include "tests/testlib/test_paths.h"

namespace {
using namespace setup_test;

class SupportTest : public ::testing::Test {
protected:
  ComScope com;
};

TEST_F(SupportTest, SpecialFoldersComeWithoutTrailingBackslash) {
  for (int csidl : {CSIDL_DESKTOP, CSIDL_PROGRAMS, CSIDL_STARTMENU, CSIDL_PROGRAM_FILES}) {
    const String path = GetSpecialFolderPath(csidl);
    EXPECT_EQ(Lower(path), Lower(ShellFolder(csidl == CSIDL_DESKTOP ? CSIDL_DESKTOPDIRECTORY : csidl)))
        << csidl;
    ASSERT_FALSE(path.empty());
    EXPECT_NE(path.back(), u'\\');
  }
  EXPECT_EQ(GetDesktopDir(), GetSpecialFolderPath(CSIDL_DESKTOP));
  EXPECT_EQ(GetStartMenuDir(), GetSpecialFolderPath(CSIDL_STARTMENU));
}

TEST_F(SupportTest, FolderWithoutPathRaises) {
  // My Computer is virtual; an unknown number has no item list at all.
  for (int csidl : {CSIDL_DRIVES, 0x7F}) {
    try {
      GetSpecialFolderPath(csidl);
      ADD_FAILURE() << csidl;
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), u"SHGetPathFromIDList failed : invalid pidl");
    }
  }
}

TEST(AddTrailingChar, AppendsAtMostOne) {
  struct Case {
    String s, expected;
  } cases[] = {{u"C:\\x", u"C:\\x\\"}, {u"C:\\x\\", u"C:\\x\\"}, {u"", u""}, {u"\\", u"\\"}};
  for (const auto& c : cases) {
    String s = c.s;
    AddTrailingChar(s, u'\\');
    EXPECT_EQ(s, c.expected) << ToUtf8(c.s);
  }
}

TEST(MakeDirPath, CreatesEveryMissingLevel) {
  ScratchDir dir("setup-make-dir-path");
  const String deep = dir / u"a\\b\\c";
  EXPECT_TRUE(MakeDirPath(deep));
  EXPECT_TRUE(DirExists(deep));
  EXPECT_TRUE(MakeDirPath(deep));  // all there: nothing to do
  EXPECT_TRUE(MakeDirPath(dir / u"a\\d"));
  EXPECT_TRUE(DirExists(dir / u"a\\d"));
}

TEST(MakeDirPath, RaisesAtTheFirstLevelItCannotCreate) {
  ScratchDir dir("setup-make-dir-path-fail");
  WriteBytes(dir / u"file", "x");
  EXPECT_THROW(MakeDirPath(dir / u"file\\sub\\deeper"), EInOutError);
  EXPECT_FALSE(DirExists(dir / u"file\\sub"));
}

// The values are looked for in both views of the (64-bit) prefix, each named, and must be
// in the 32-bit one only: from a 64-bit test program that view is what KEY_WOW64_32KEY picks.
TEST(MachineRegistry, WritesIntoThe32BitView) {
  const String key = u"Software\\Quorlix Setup Tests\\Values";
  DeleteMachineKey(key);
  RegDeleteKeyExW(HKEY_LOCAL_MACHINE, W(key), KEY_WOW64_64KEY, 0);
  RegWriteStringHKLM(key, u"Text", u"C:\\Program Files\\Quorlix\\");
  RegWriteIntegerHKLM(key, u"Number", 2200);
  RegWriteStringHKLM(key, u"Text", u"replaced");
  EXPECT_EQ(MachineString(key, u"Text"), String(u"replaced"));
  EXPECT_EQ(MachineDword(key, u"Number"), 2200u);
  EXPECT_FALSE(MachineString(key, u"Text", KEY_WOW64_64KEY));
  EXPECT_FALSE(MachineDword(key, u"Number", KEY_WOW64_64KEY));
  // The two views are apart in this prefix, so the check above can tell them apart.
  {
    UniqueHKey k;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, W(key), 0, nullptr, 0,
                              KEY_WRITE | KEY_WOW64_64KEY, nullptr, k.put(), nullptr),
              ERROR_SUCCESS);
    const DWORD marker = 64;
    RegSetValueExW(k.get(), L"View", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&marker),
                   sizeof marker);
  }
  EXPECT_EQ(MachineDword(key, u"View", KEY_WOW64_64KEY), 64u);
  EXPECT_FALSE(MachineDword(key, u"View"));
  for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, W(key), view, 0);
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Quorlix Setup Tests", view, 0);
  }
}

TEST(MachineRegistry, KeyThatCannotBeOpenedIsSkippedSilently) {
  // A name longer than the registry allows can be neither opened nor created.
  const String key = u"Software\\" + String(300, u'k');
  EXPECT_NO_THROW(RegWriteStringHKLM(key, u"Text", u"x"));
  EXPECT_NO_THROW(RegWriteIntegerHKLM(key, u"Number", 1));
  EXPECT_FALSE(MachineString(key, u"Text"));
}

TEST_F(SupportTest, ShortcutReadsBackWithTargetsFolderAsWorkingFolder) {
  ScratchDir dir("setup-shortcut");
  const String target = dir / u"Quorlix.exe";
  WriteBytes(target, "MZ");
  struct Case {
    String workDir, arguments, expectedWorkDir;
  } cases[] = {
      {u"", u"", dir.Path() + u"\\"},
      {u"C:\\work", u"-a \"b c\"", u"C:\\work"},
  };
  for (const auto& c : cases) {
    const String link = dir / u"Quorlix.lnk";
    CreateShortcut(link, target, u"Quorlix Zeva", c.arguments, c.workDir);
    const LinkInfo info = ReadLink(link);
    ASSERT_TRUE(info.loaded);
    EXPECT_EQ(Lower(info.target), Lower(target));
    EXPECT_EQ(info.description, u"Quorlix Zeva");
    EXPECT_EQ(info.arguments, c.arguments);
    EXPECT_EQ(Lower(info.workDir), Lower(c.expectedWorkDir));
  }
}

TEST_F(SupportTest, ShortcutThatCannotBeSavedIsSilent) {
  ScratchDir dir("setup-shortcut-fail");
  EXPECT_NO_THROW(CreateShortcut(dir / u"missing\\Quorlix.lnk", dir / u"Quorlix.exe", u"", u"", u""));
  EXPECT_FALSE(IsFile(dir / u"missing\\Quorlix.lnk"));
}

}  // namespace
