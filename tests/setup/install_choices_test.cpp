#include "setup/install_choices.h"

#include <gtest/gtest.h>

namespace {

TEST(TrimmedFolderPath, EndsInExactlyOneBackslash) {
  struct Case {
    String text, path;
  } cases[] = {
      {u"C:\\x", u"C:\\x\\"},
      {u"C:\\x\\", u"C:\\x\\"},  // no second one
      {u" C:\\x\\ ", u"C:\\x\\"},  // the blank after it does not hide it
      {u"\tC:\\x\r\n", u"C:\\x\\"},
      {u"C:\\x\\\\", u"C:\\x\\\\"},  // nothing is removed
      {u"\\", u"\\"},
      {u"", u""},
      {u"  \t", u""},  // blanks alone give no folder at all, not a lone backslash
  };
  for (const auto& c : cases) EXPECT_EQ(TrimmedFolderPath(c.text), c.path) << ToUtf8(c.text);
}

TEST(StartMenuFolderPath, OneBackslashBetweenProgramsAndTheFolder) {
  TInstallChoices choices;
  choices.StartMenuFolder = u"Tools";
  EXPECT_EQ(StartMenuFolderPath(choices, u"C:\\Menu\\Programs"), u"C:\\Menu\\Programs\\Tools");
  EXPECT_EQ(StartMenuFolderPath(choices, u"C:\\Menu\\Programs\\"), u"C:\\Menu\\Programs\\Tools");
}

TEST(ShortcutList, TwoInTheMenuFolderThenTheChosenOnes) {
  const TShortcutFolders folders = {u"P:\\Programs", u"D:\\Desktop", u"S:\\Start"};
  const String exe = u"C:\\Apps\\Quorlix\\Quorlix.exe";
  const TShortcut program = {u"P:\\Programs\\Tools\\Quorlix.lnk", exe, u"Quorlix Zeva"};
  const TShortcut help = {u"P:\\Programs\\Tools\\Quorlix Help.lnk",
                          u"C:\\Apps\\Quorlix\\Quorlix.chm", u"Quorlix Zeva Help"};
  const TShortcut desktop = {u"D:\\Desktop\\Quorlix.lnk", exe, u"Quorlix Zeva"};
  const TShortcut startMenu = {u"S:\\Start\\Quorlix.lnk", exe, u"Quorlix Zeva"};
  struct Case {
    bool desktop, startMenu;
    std::vector<TShortcut> links;
  } cases[] = {
      {false, false, {program, help}},
      {true, false, {program, help, desktop}},
      {false, true, {program, help, startMenu}},
      {true, true, {program, help, desktop, startMenu}},
  };
  // The destination as accepted may lack the backslash; the targets never do.
  for (const String& dest : {String(u"C:\\Apps\\Quorlix"), String(u"C:\\Apps\\Quorlix\\")})
    for (const auto& c : cases) {
      TInstallChoices choices;
      choices.DestDir = dest;
      choices.StartMenuFolder = u"Tools";
      choices.DesktopShortcut = c.desktop;
      choices.StartMenuShortcut = c.startMenu;
      choices.RunProgram = !c.desktop;  // plays no part
      const std::vector<TShortcut> links = ShortcutList(choices, folders);
      ASSERT_EQ(links.size(), c.links.size()) << ToUtf8(dest) << c.desktop << c.startMenu;
      for (size_t i = 0; i < links.size(); ++i) {
        EXPECT_EQ(links[i].File, c.links[i].File) << i;
        EXPECT_EQ(links[i].Target, c.links[i].Target) << i;
        EXPECT_EQ(links[i].Description, c.links[i].Description) << i;
      }
    }
}

}  // namespace
