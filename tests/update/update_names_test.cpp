#include <windows.h>

#include <gtest/gtest.h>

#include <set>

#include "base/exception.h"
#include "base/file_stream.h"
#include "base/files.h"
#include "tests/testlib/test_paths.h"
#include "update/legacy_windows.h"
#include "update/update_file_name.h"
#include "update/update_folder.h"
#include "update/updater_command.h"

TEST(UpdateFileNameFromUrl, TakesASafeNameAfterTheLastSlash) {
  struct Case {
    String url;
    std::optional<String> name;
  } cases[] = {
      {u"http://h/dl/update.zip", u"update.zip"},
      {u"http://h/dl/update.zip?session=1/2", u"update.zip"},
      {u"http://h/dl/update.zip#part/3", u"update.zip"},
      {u"http://h/get?file=a/b.zip", u"get"},
      {u"http://h/dl/Setup.EXE", u"Setup.EXE"},
      {u"http://h/dl/caf\u00E9 %20.zip", u"caf\u00E9 %20.zip"},
      {u"http://h/dl/", std::nullopt},
      {u"http://h/dl/?x=1", std::nullopt},
      {u"http://h/.", std::nullopt},
      {u"http://h/..", std::nullopt},
      {u"http://h/..\\..\\Windows\\x.exe", std::nullopt},
      {u"http://h/a:b.zip", std::nullopt},
      {u"http://h/a*.zip", std::nullopt},
      {u"http://h/a\".zip", std::nullopt},
      {u"http://h/a<b>.zip", std::nullopt},
      {u"http://h/a|b.zip", std::nullopt},
      {u"http://h/a\tb.zip", std::nullopt},
      {u"http://h/a\x7F.zip", std::nullopt},
      {u"http://h/con", std::nullopt},
      {u"http://h/CON.zip", std::nullopt},
      {u"http://h/lpt1.txt", std::nullopt},
      {u"http://h/nul .zip", std::nullopt},
      // superscript digits name the same devices
      {u"http://h/COM\u00B9", std::nullopt},
      {u"http://h/com\u00B2.zip", std::nullopt},
      {u"http://h/LPT\u00B3.exe", std::nullopt},
      {u"http://h/lpt\u00B9 .zip", std::nullopt},
      {u"http://h/COM\u00B9\u00B9.zip", u"COM\u00B9\u00B9.zip"},
      {u"http://h/com10.zip", u"com10.zip"},
      {u"http://h/console.zip", u"console.zip"},
      {u"http://h/update.zip.", std::nullopt},
      {u"http://h/update.zip ", std::nullopt},
      {u"update.zip", std::nullopt},  // no address at all
      {u"http://h/" + String(255, u'a'), String(255, u'a')},
      {u"http://h/" + String(256, u'a'), std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(UpdateFileNameFromUrl(c.url), c.name) << ToUtf8(c.url);
  }
}

TEST(CreateUpdateFolder, TakesTheFirstNameItCouldCreate) {
  struct Case {
    const char* what;
    String temp;
    std::set<String> existing;
    String expected;
  } cases[] = {
      {"nothing there", u"C:\\Temp\\", {}, u"C:\\Temp\\vq101tmp"},
      {"no trailing backslash", u"C:\\Temp", {}, u"C:\\Temp\\vq101tmp"},
      {"two taken",
       u"C:\\Temp\\",
       {u"C:\\Temp\\vq101tmp", u"C:\\Temp\\vq102tmp"},
       u"C:\\Temp\\vq103tmp"},
      {"a gap is used", u"C:\\Temp", {u"C:\\Temp\\vq102tmp"}, u"C:\\Temp\\vq101tmp"},
      {"ten never cleaned up",
       u"C:\\T",
       {u"C:\\T\\vq101tmp", u"C:\\T\\vq102tmp", u"C:\\T\\vq103tmp", u"C:\\T\\vq104tmp",
        u"C:\\T\\vq105tmp", u"C:\\T\\vq106tmp", u"C:\\T\\vq107tmp", u"C:\\T\\vq108tmp",
        u"C:\\T\\vq109tmp", u"C:\\T\\vq1010tmp"},
       u"C:\\T\\vq1011tmp"},
  };
  for (const auto& c : cases) {
    std::vector<String> tried;
    const String folder = CreateUpdateFolder(c.temp, [&](const String& path) -> uint32_t {
      tried.push_back(path);
      return c.existing.count(path) ? ERROR_ALREADY_EXISTS : 0;
    });
    EXPECT_EQ(folder, c.expected) << c.what;
    EXPECT_EQ(tried.back(), c.expected) << c.what;
  }
}

TEST(CreateUpdateFolder, FailsWithTheSystemCode) {
  struct Case {
    const char* what;
    String temp;
    uint32_t error;  // what every creation answers
    uint32_t expectedCode;
  } cases[] = {
      {"no temporary folder", u"", 0, ERROR_PATH_NOT_FOUND},
      {"access denied", u"C:\\Temp", ERROR_ACCESS_DENIED, ERROR_ACCESS_DENIED},
      {"temp folder gone", u"C:\\Gone", ERROR_PATH_NOT_FOUND, ERROR_PATH_NOT_FOUND},
      {"every name taken", u"C:\\Temp", ERROR_ALREADY_EXISTS, ERROR_ALREADY_EXISTS},
  };
  for (const auto& c : cases) {
    int calls = 0;
    try {
      CreateUpdateFolder(c.temp, [&](const String&) -> uint32_t {
        ++calls;
        return c.error;
      });
      ADD_FAILURE() << c.what << ": created";
    } catch (const EInOutError& e) {
      EXPECT_EQ(e.ErrorCode(), c.expectedCode) << c.what;
    }
    EXPECT_LT(calls, 10000) << c.what;
  }
}

TEST(CreateUpdateFolder, SkipsFoldersAndFilesOfTheNameOnDisk) {
  ScratchDir temp("update-folder");
  ASSERT_TRUE(CreateDir(temp / u"vq101tmp"));
  { TFileStream file(temp / u"vq102tmp", fmCreate); }
  const String folder = CreateUpdateFolder(temp.Path() + u"\\");
  EXPECT_EQ(folder, temp / u"vq103tmp");
  EXPECT_TRUE(DirectoryExists(folder));
  EXPECT_EQ(CreateUpdateFolder(temp.Path()), temp / u"vq104tmp");
}

TEST(IsLegacyWindows, NineXAndNtUpToFive) {
  struct Case {
    const char* what;
    TOsVersionFacts facts;
    bool legacy;
  } cases[] = {
      {"Windows 98", {1, 4}, true},        {"Windows NT 3.51", {2, 3}, true},
      {"Windows NT 4", {2, 4}, true},      {"Windows XP", {2, 5}, true},
      {"Windows Vista", {2, 6}, false},    {"Windows 10", {2, 10}, false},
      {"Win32s", {0, 3}, false},           {"NT 2", {2, 2}, false},
      {"unknown platform", {3, 5}, false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsLegacyWindows(c.facts), c.legacy) << c.what;
}

TEST(UpdaterCommandLine, TokenThenThreeQuotedTexts) {
  EXPECT_EQ(UpdaterCommandLine(u"C:\\Temp\\vq101tmp", u"C:\\Program Files\\Quorlix\\Quorlix.exe",
                               u"Quorlix.exe"),
            u"tq5082tq67 \"C:\\Temp\\vq101tmp\\Files\\\" \"C:\\Program Files\\Quorlix\\\" "
            u"\"Quorlix.exe\"");
  // Texts with % stay as they are.
  EXPECT_EQ(UpdaterCommandLine(u"C:\\100%\\vq101tmp", u"C:\\%s\\Q.exe", u"Q.exe"),
            u"tq5082tq67 \"C:\\100%\\vq101tmp\\Files\\\" \"C:\\%s\\\" \"Q.exe\"");
}

TEST(SetupProgramPath, NameByWindowsVersion) {
  EXPECT_EQ(SetupProgramPath(u"C:\\Temp\\vq101tmp", true, u"Quorlix.exe"),
            u"C:\\Temp\\vq101tmp\\_vqupdate.exe");
  EXPECT_EQ(SetupProgramPath(u"C:\\Temp\\vq101tmp", false, u"Quorlix.exe"),
            u"C:\\Temp\\vq101tmp\\Update_Quorlix.exe");
}

TEST(IsExecutableUpdate, ExtensionFromTheLastDot) {
  struct Case {
    String file;
    bool exe;
  } cases[] = {
      {u"C:\\T\\vq101tmp\\setup.exe", true},  {u"C:\\T\\vq101tmp\\SETUP.EXE", true},
      {u"C:\\T\\vq101tmp\\a.exe.zip", false}, {u"C:\\T\\vq101tmp\\update.zip", false},
      {u"C:\\T\\v.exe\\update", false},       {u"C:\\T\\vq101tmp\\exe", false},
      {u"C:\\T\\vq101tmp\\a.exee", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsExecutableUpdate(c.file), c.exe) << ToUtf8(c.file);
}
