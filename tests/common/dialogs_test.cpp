#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include "base/win_string.h"
#include "common/xr_misc_dialogs.h"
#include "common/ask_yes_no.h"
#include "tests/testlib/dialog_driver_win.h"
#include "ui/application.h"

namespace {
String Lower(String s) {
  CharLowerBuffW(W(s.data()), DWORD(s.size()));
  return s;
}

BOOL CALLBACK FindIconStatic(HWND child, LPARAM lp) {
  wchar_t cls[16] = {};
  GetClassNameW(child, cls, 16);
  if (_wcsicmp(cls, L"Static") == 0 && (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
    *reinterpret_cast<HICON*>(lp) = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
    return FALSE;
  }
  return TRUE;
}

// The icon a message box shows.
HICON DialogIcon(HWND dialog) {
  HICON icon = nullptr;
  EnumChildWindows(dialog, FindIconStatic, reinterpret_cast<LPARAM>(&icon));
  return icon;
}

struct PidlOwner {
  LPITEMIDLIST pidl = nullptr;
  ~PidlOwner() {
    if (pidl) CoTaskMemFree(pidl);
  }
};
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
    const wchar_t* icon;
  } cases[] = {{ShowInfoMsg, u"Information", IDI_INFORMATION},
               {ShowWarningMsg, u"Warning", IDI_WARNING},
               {ShowErrorMsg, u"Error", IDI_ERROR}};
  for (const auto& c : cases) {
    HICON shown = nullptr;
    DialogAnswerer answer(IDOK, [&](HWND dialog) { shown = DialogIcon(dialog); });
    c.show(u"Help file does not exist.");
    const SeenDialog& seen = answer.Seen();
    ASSERT_TRUE(seen.found) << ToUtf8(c.caption);
    EXPECT_EQ(seen.caption, c.caption);
    EXPECT_EQ(shown, LoadIconW(nullptr, c.icon)) << ToUtf8(c.caption);
    EXPECT_NE(seen.text.find(u"Help file does not exist."), String::npos);
  }
}

TEST(AskYesNo, ReturnsSixForYesAndSevenForNo) {
  for (int button : {IDYES, IDNO}) {
    HICON shown = nullptr;
    DialogAnswerer answer(button, [&](HWND dialog) { shown = DialogIcon(dialog); });
    EXPECT_EQ(AskYesNo(u"Download the update now?", u"Quorlix Zeva"), button);
    EXPECT_EQ(answer.Seen().caption, u"Quorlix Zeva");
    EXPECT_EQ(shown, LoadIconW(nullptr, IDI_QUESTION));
  }
  {
    // A question line without a caption field shows none.
    Application().SetTitle(u"Quorlix Zeva");
    DialogAnswerer answer(IDYES);
    EXPECT_EQ(AskYesNo(u"Question?", u""), IDYES);
    ASSERT_TRUE(answer.Seen().found);
    EXPECT_EQ(answer.Seen().caption, u"");
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

TEST(BrowseForFolder, ItemWithoutFileSystemPathGivesNoFolder) {
  PidlOwner computer, windows;
  ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer.pidl), S_OK);
  String folder = u"stale";
  EXPECT_FALSE(FolderOfItem(computer.pidl, folder));
  EXPECT_EQ(folder, u"");
  ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_WINDOWS, &windows.pidl), S_OK);
  wchar_t windir[MAX_PATH] = {};
  GetWindowsDirectoryW(windir, MAX_PATH);
  EXPECT_TRUE(FolderOfItem(windows.pidl, folder));
  EXPECT_EQ(Lower(folder), Lower(FromW(windir) + u"\\"));
}

TEST(GetMyDocumentsDir, GivesAnExistingFolderWithoutTrailingBackslash) {
  const String dir = GetMyDocumentsDir();
  ASSERT_FALSE(dir.empty());
  EXPECT_NE(dir.back(), u'\\');
  const DWORD attr = GetFileAttributesW(W(dir));
  EXPECT_NE(attr, INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(attr & FILE_ATTRIBUTE_DIRECTORY);
}
