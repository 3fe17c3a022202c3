#include "scan/hand_back.h"

#include <gtest/gtest.h>

#include "base/string.h"

namespace {

std::string Joined(const std::vector<String>& args) {
  std::string out;
  for (const String& a : args) {
    out += '[';
    out += ToUtf8(a);
    out += ']';
  }
  return out;
}

}  // namespace

TEST(HandBack, SplitsTheCommandLineAsTheClassLibrary) {
  struct Case {
    const char16_t* line;
    const char* expected;
  } cases[] = {
      {u"Quorlix.exe tq5082tq67 \"C:\\Temp\\vq101tmp\\Update_Quorlix.exe\"",
       "[Quorlix.exe][tq5082tq67][C:\\Temp\\vq101tmp\\Update_Quorlix.exe]"},
      // A backslash before the closing quote is part of the path, not an escape.
      {u"\"C:\\Program Files\\Q\\Quorlix.exe\" tq5082tq67 \"C:\\dir with blank\\\" x",
       "[C:\\Program Files\\Q\\Quorlix.exe][tq5082tq67][C:\\dir with blank\\][x]"},
      {u"a\\\"b c\"", "[a\\b c]"},
      {u"a \"b c\"d e", "[a][b cd][e]"},
      {u"  a\t\tb  ", "[a][b]"},
      // Quotes alone are an empty argument: the ones after it keep their places.
      {u"a \"\" b \"\"\"\"", "[a][][b][]"},
      {u"Quorlix.exe \"\" tq5082tq67 \"C:\\x.exe\"", "[Quorlix.exe][][tq5082tq67][C:\\x.exe]"},
      {u"a \"unterminated b", "[a][unterminated b]"},
      {u"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(Joined(SplitCommandLine(c.line)), c.expected) << ToUtf8(c.line);
}

TEST(HandBack, RecognisesOnlyTheExactToken) {
  const String path = u"C:\\Temp\\vq101tmp\\Update_Quorlix.exe";
  struct Case {
    std::vector<String> args;
    bool handBack;
  } cases[] = {
      {{u"Quorlix.exe", u"tq5082tq67", path}, true},
      {{u"Quorlix.exe", u"tq5082tq67", path, u"more"}, true},
      {{u"Quorlix.exe", u"TQ5082TQ67", path}, false},
      {{u"Quorlix.exe", u"tq5082tq67x", path}, false},
      {{u"Quorlix.exe", u"tq5082tq6", path}, false},
      {{u"Quorlix.exe", u"tq5082tq67"}, false},
      {{u"Quorlix.exe", path, u"tq5082tq67"}, false},
      {{u"Quorlix.exe"}, false},
  };
  for (const Case& c : cases) {
    String setup = u"untouched";
    EXPECT_EQ(HandBackSetupPath(c.args, setup), c.handBack) << Joined(c.args);
    EXPECT_EQ(setup, c.handBack ? path : u"untouched") << Joined(c.args);
  }
}

TEST(HandBack, UpdateFolderIsExactlyUnderTheTemporaryFolder) {
  const String temp = u"C:\\users\\root\\Temp\\";
  struct Case {
    const char16_t* folder;
    bool update;
  } cases[] = {
      {u"C:\\users\\root\\Temp\\vq101tmp\\", true},
      {u"C:\\users\\root\\Temp\\vq101tmp", true},
      {u"c:\\USERS\\root\\temp\\VQ1012TMP\\", true},
      {u"C:\\users\\root\\Temp\\vq10tmp\\", false},      // no number
      {u"C:\\users\\root\\Temp\\vq10a1tmp\\", false},
      {u"C:\\users\\root\\Temp\\vq101tmpx\\", false},
      {u"C:\\users\\root\\Temp\\xvq101tmp\\", false},
      {u"C:\\data\\vq101tmp\\", false},                   // a look-alike elsewhere
      {u"C:\\users\\root\\Temp\\sub\\vq101tmp\\", false}, // deeper down
      {u"C:\\users\\root\\Temp2\\vq101tmp\\", false},
      {u"C:\\users\\root\\Temp\\", false},
      {u"C:\\users\\root\\Temp\\vq101tmp\\..\\", false},
      {u"users\\root\\Temp\\vq101tmp\\", false},
      {u"", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(IsUpdateFolder(c.folder, temp), c.update) << ToUtf8(c.folder);
  EXPECT_FALSE(IsUpdateFolder(u"C:\\vq101tmp\\", u""));  // no temporary folder known
  EXPECT_TRUE(IsUpdateFolder(u"C:\\vq101tmp\\", u"C:\\"));
}

TEST(HandBack, OnlyAProgramFileCountsAsTheSetupProgram) {
  struct Case {
    const char16_t* path;
    bool deletable;
  } cases[] = {
      {u"C:\\Temp\\vq101tmp\\Update_Quorlix.exe", true},
      {u"C:\\dist\\_setup.EXE", true},
      {u"\\\\server\\share\\_setup.exe", true},
      {u"C:\\Users\\me\\Documents\\thesis.docx", false},
      {u"C:\\Temp\\vq101tmp\\", false},
      {u"C:\\Temp\\.exe\\", false},
      {u"C:\\Temp\\.exe", false},
      {u"_setup.exe", false},  // not a full path
      {u"C:_setup.exe", false},
      {u"..\\_setup.exe", false},
      {u"\\_setup.exe", false},
      {u"\\\\server\\_setup.exe", false},  // a server without a share
      {u"\\\\\\share\\_setup.exe", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(IsDeletableSetupPath(c.path), c.deletable) << ToUtf8(c.path);
}
