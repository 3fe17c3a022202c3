#include "setup/wizard_logic.h"

#include <gtest/gtest.h>

#include "base/format.h"

namespace {
using A = TPageAction;

TEST(StepMachine, NextAndBackFromEveryStep) {
  struct Case {
    int step;
    TStepMove next, back;
  } cases[] = {
      {1, {A::License, 2}, {A::None, 1}},
      {2, {A::Destination, 3}, {A::Welcome, 1}},
      {3, {A::StartMenu, 5}, {A::License, 2}},  // step 4 is passed over both ways
      {4, {A::None, 4}, {A::None, 4}},
      {5, {A::Tasks, 6}, {A::Destination, 3}},
      {6, {A::Ready, 7}, {A::StartMenu, 5}},
      {7, {A::Installing, 8}, {A::Tasks, 6}},
      {8, {A::Finish, 9}, {A::None, 8}},
      {9, {A::FinishSetup, 10}, {A::None, 9}},
      // Without a page the step keeps naming the page on screen.
      {10, {A::None, 10}, {A::None, 10}},
      {0, {A::None, 0}, {A::None, 0}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NextStepMove(c.step), c.next) << "next from " << c.step;
    EXPECT_EQ(BackStepMove(c.step), c.back) << "back from " << c.step;
  }
}

TEST(FieldNormalising, TrimsAndFallsBackToDefaults) {
  const String pf = u"C:\\Program Files\\";
  struct Case {
    String dest, expectedDest, menu, expectedMenu;
  } cases[] = {
      {u" D:\\Apps\\ ", u"D:\\Apps\\", u" Tools ", u"Tools"},  // no "Quorlix" appended
      {u"", u"C:\\Program Files\\Quorlix\\", u"", u"Quorlix"},
      {u" \t ", u"C:\\Program Files\\Quorlix\\", u"   ", u"Quorlix"},
      {u"\tE:\\x\r\n", u"E:\\x", u"A B", u"A B"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NormalizeDestDirText(c.dest, pf), c.expectedDest) << ToUtf8(c.dest);
    EXPECT_EQ(NormalizeStartMenuText(c.menu), c.expectedMenu) << ToUtf8(c.menu);
  }
}

TEST(DestinationCheck, NeedsAFolderBelowADrive) {
  struct Case {
    String dir;
    bool valid;
    String root;
  } cases[] = {
      {u"C:\\Program Files\\Quorlix\\", true, u"C:\\"},
      {u"d:\\Apps", true, u"d:\\"},
      {u"Z:\\a b\\c.d\\", true, u"Z:\\"},
      {u"C:\\", false, u""},           // a drive root is no install folder
      {u"C:", false, u""},
      {u"C:Apps", false, u""},
      {u"Apps\\Quorlix", false, u""},
      {u"\\\\server\\share\\x", false, u""},
      {u"1:\\x", false, u""},
      {u"C:\\a:b", false, u""},        // ':' only second
      {u"C:\\a*", false, u""},
      {u"C:\\a?", false, u""},
      {u"C:\\\"a\"", false, u""},
      {u"C:\\<a>", false, u""},
      {u"C:\\a|b", false, u""},
      {u"C:\\a\tb", false, u""},
      {u"C:\\a\\\\b", false, u""},     // an empty name inside
      {u"", false, u""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsValidDestDir(c.dir), c.valid) << ToUtf8(c.dir);
    EXPECT_EQ(DestDriveRoot(c.dir), c.root) << ToUtf8(c.dir);
  }
}

TEST(StartMenuFolderCheck, OneNameInsideThePrograms) {
  struct Case {
    String name;
    bool valid;
  } cases[] = {
      {u"Quorlix", true}, {u"Quorlix Zeva 1.1", true}, {u"...x", true},
      {u"", false}, {u".", false}, {u"..", false}, {u"..\\..\\Windows", false},
      {u"a/b", false}, {u"a:b", false}, {u"a*", false}, {u"a?", false}, {u"\"a\"", false},
      {u"<a>", false}, {u"a|b", false}, {u"a\x01", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsValidStartMenuFolder(c.name), c.valid) << ToUtf8(c.name);
}

TEST(BrowseRules, StartInTheParentAndEndInAQuorlixFolder) {
  struct Start {
    String field, start;
  } starts[] = {
      {u"C:\\Program Files\\Quorlix\\", u"C:\\Program Files\\"},
      {u" C:\\Program Files\\quorlix ", u"C:\\Program Files\\"},  // case ignored
      {u"D:\\MyQuorlix\\", u"D:\\My"},  // a comparison of text ends, not of names
      {u"D:\\Tools", u"D:\\Tools\\"},
      {u"", u""},
  };
  for (const auto& c : starts) EXPECT_EQ(BrowseStartDir(c.field), c.start) << ToUtf8(c.field);
  struct Chosen {
    String chosen, field;
  } chosen[] = {
      {u"D:\\Tools", u"D:\\Tools\\Quorlix\\"},
      {u"D:\\Tools\\", u"D:\\Tools\\Quorlix\\"},
      {u"D:\\Tools\\QUORLIX", u"D:\\Tools\\QUORLIX\\"},
      {u"E:\\", u"E:\\Quorlix\\"},
  };
  for (const auto& c : chosen) EXPECT_EQ(BrowseChosenDestDir(c.chosen), c.field) << ToUtf8(c.chosen);
}

TEST(SummaryText, ListsTheChoicesAndOnlyTheChosenTasks) {
  const std::vector<String> base = {u"Destination Location", u"\tD:\\Apps\\", u"",
                                    u"Start Menu folder", u"\tTools", u""};
  struct Case {
    bool desktop, menu;
    std::vector<String> extra;
  } cases[] = {
      {false, false, {}},
      {true, false, {u"Additional tasks:", u"\tCreate a desktop shortcut"}},
      {false, true, {u"Additional tasks:", u"\tCreate a Start Menu shortcut"}},
      {true, true,
       {u"Additional tasks:", u"\tCreate a desktop shortcut", u"\tCreate a Start Menu shortcut"}},
  };
  for (const auto& c : cases) {
    std::vector<String> expected = base;
    expected.insert(expected.end(), c.extra.begin(), c.extra.end());
    EXPECT_EQ(SummaryLines(u"D:\\Apps\\", u"Tools", c.desktop, c.menu), expected)
        << c.desktop << c.menu;
  }
}

TEST(SpaceTexts, WholeMegabytesGroupedAndRightAligned) {
  EXPECT_EQ(SpaceRequiredText(), u"3 MB");
  const Char sep = DefaultFormatSettings().ThousandSeparator;
  struct Case {
    int64_t bytes;
    String number;
  } cases[] = {
      {1048576, u"1"},
      {1048576 / 2, u"1"},  // half a megabyte rounds up
      {1048576 / 2 - 1, u"0"},
      {int64_t(1234567) * 1048576, String(u"1") + sep + u"234" + sep + u"567"},
  };
  for (const auto& c : cases) {
    const String text = SpaceAvailableText(c.bytes);
    EXPECT_EQ(text, String(20 - c.number.size(), u' ') + c.number + u" MB") << c.bytes;
  }
}

TEST(CommandLines, UninstallAndHandBack) {
  EXPECT_EQ(UninstallCommand(u"C:\\Apps\\Quorlix\\"),
            u"\"C:\\Apps\\Quorlix\\uninstall.exe\" \"Quorlix\" \"C:\\Apps\\Quorlix\\\"");
  EXPECT_EQ(HandBackParameters(u"C:\\Temp\\vq101tmp\\Update_Quorlix.exe"),
            u"tq5082tq67 \"C:\\Temp\\vq101tmp\\Update_Quorlix.exe\"");
}

}  // namespace
