#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include "base/win_string.h"
#include "common/xr_misc_dialogs.h"
#include "scan/ask_yes_no.h"
#include "tests/testlib/dialog_driver_win.h"
#include "ui/application.h"

namespace {
String Lower(String s) {
  CharLowerBuffW(W(s.data()), DWORD(s.size()));
  return s;
}
}  // namespace

TEST(CentredDialogOrigin, UsesHalfSizesWithoutTheWorkAreaOrigin) {
  struct Case {
    RECT work, dialog;
    POINT expected;
  } cases[] = {
      {{0, 0, 1920, 1040}, {5, 5, 406, 505}, {760, 270}},
      {{100, 50, 1124, 818}, {0, 0, 300, 200}, {362, 284}},
      {{0, 0, 200, 100}, {0, 0, 401, 301}, {-100, -100}},  // truncates towards zero
  };
  for (const auto& c : cases) {
    const POINT p = CentredDialogOrigin(c.work, c.dialog);
    EXPECT_EQ(p.x, c.expected.x);
    EXPECT_EQ(p.y, c.expected.y);
  }
}

TEST(MessageRoutines, ShowKindCaptionAndText) {
  struct Case {
    void (*show)(const String&);
    String caption;
  } cases[] = {{ShowInfoMsg, u"Information"}, {ShowWarningMsg, u"Warning"}, {ShowErrorMsg, u"Error"}};
  for (const auto& c : cases) {
    DialogAnswerer answer(IDOK);
    c.show(u"Help file does not exist.");
    const SeenDialog& seen = answer.Seen();
    ASSERT_TRUE(seen.found) << ToUtf8(c.caption);
    EXPECT_EQ(seen.caption, c.caption);
    EXPECT_NE(seen.text.find(u"Help file does not exist."), String::npos);
  }
}

TEST(AskYesNo, ReturnsSixForYesAndSevenForNo) {
  for (int button : {IDYES, IDNO}) {
    DialogAnswerer answer(button);
    EXPECT_EQ(AskYesNo(u"Download the update now?", u"Quorlix Zeva"), button);
    EXPECT_EQ(answer.Seen().caption, u"Quorlix Zeva");
  }
  // Closing the box another way counts as No.
  DialogAnswerer answer(IDCANCEL);
  EXPECT_EQ(AskYesNo(u"Question", u"Quorlix Zeva"), IDNO);
}

TEST(BrowseForFolder, ChoosingThePreselectedFolderGivesItWithOneBackslash) {
  wchar_t windir[MAX_PATH] = {};
  GetWindowsDirectoryW(windir, MAX_PATH);
  const String start = FromW(windir);  // "C:\windows"
  struct Case {
    String initial, expected;
  } cases[] = {
      {start, start + u"\\"},
      {start + u"\\", start + u"\\"},
      {u"C:\\", u"C:\\"},  // a drive root gets no second backslash
  };
  for (const auto& c : cases) {
    DialogAnswerer answer(IDOK);
    String folder = u"stale";
    EXPECT_TRUE(BrowseForFolder(u"Select a folder", BIF_RETURNONLYFSDIRS, c.initial, folder));
    EXPECT_EQ(Lower(folder), Lower(c.expected));
    EXPECT_EQ(BrowseInitialDir, c.initial);
    EXPECT_TRUE(answer.Seen().found);
  }
}

TEST(BrowseForFolder, CancelGivesFalseAndNoFolder) {
  DialogAnswerer answer(IDCANCEL);
  String folder = u"stale";
  EXPECT_FALSE(BrowseForFolder(u"Destination Folder", BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN,
                               u"C:\\", folder));
  EXPECT_EQ(folder, u"");
  EXPECT_TRUE(answer.Seen().found);
}

TEST(BrowseForFolder, DialogIsOwnedByTheApplicationAndCentred) {
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  DialogAnswerer answer(IDCANCEL);
  String folder;
  BrowseForFolder(u"Select a folder", BIF_RETURNONLYFSDIRS, u"", folder);
  const SeenDialog& seen = answer.Seen();
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(seen.owner, Application().Handle());
  const POINT expected = CentredDialogOrigin(work, seen.rect);
  EXPECT_EQ(seen.rect.left, expected.x);
  EXPECT_EQ(seen.rect.top, expected.y);
  EXPECT_EQ(BrowseInitialDir, u"");
}

TEST(GetMyDocumentsDir, GivesAnExistingFolderWithoutTrailingBackslash) {
  const String dir = GetMyDocumentsDir();
  ASSERT_FALSE(dir.empty());
  EXPECT_NE(dir.back(), u'\\');
  const DWORD attr = GetFileAttributesW(W(dir));
  EXPECT_NE(attr, INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(attr & FILE_ATTRIBUTE_DIRECTORY);
}
