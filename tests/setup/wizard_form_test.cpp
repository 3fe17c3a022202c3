// The wizard window in this process: pages, buttons and texts, the install into a
// scratch folder (files, uninstall entry, shortcuts, uninstall log) and every way the
// wizard ends. The installed main program is a stub that records its arguments.
#include "setup/main_form.h"

#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <exdisp.h>
#include <optional>
#include <string>

#include "base/codepage.h"
#include "base/win_string.h"
#include "common/xr_misc_dialogs.h"
#include "setup/setup_support.h"
#include "setup/setup_texts.h"
#include "tests/setup/setup_test_support.h"
#include "tests/testlib/command_line_stub.h"
#include "tests/testlib/dialog_driver_win.h"
#include "tests/testlib/test_paths.h"
#include "tests/ui/gui_test.h"
#include "tests/ui/import_hook.h"
#include "tests/ui/png_writer.h"

namespace {
using namespace setup_test;
namespace st = setup_texts;

const String kUninstallKey = st::kUninstallKey;
const String kExitQuestion =
    u"Setup is not complete.  If you quit now, Quorlix Zeva will not be installed.\r\r"
    u"You may run the Setup program again at a later time to complete the installation.\r\r"
    u"Exit Setup?";
const String kFailedText =
    u"Quorlix Zeva could not be installed.  Try running this setup program again as "
    u"Administrator.\r\rTo do this, right click on the setup program and select \"Run As...\" "
    u"or \"Run as administrator\"";

std::string Record(int kind, const String& path) {
  const std::string bytes = ToAnsi(path);
  std::string r(260, '\0');
  r[0] = char(kind);
  r[4] = char(bytes.size());
  r.replace(5, bytes.size(), bytes);
  return r;
}

// Names in a folder in the order the system lists them.
std::vector<String> Listing(const String& folder) {
  std::vector<String> names;
  WIN32_FIND_DATAW found{};
  HANDLE h = FindFirstFileW(W(folder + u"\\*.*"), &found);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    const String name = FromW(found.cFileName, MAX_PATH);
    if (name != u"." && name != u"..") names.push_back(name);
  } while (FindNextFileW(h, &found));
  FindClose(h);
  return names;
}

String TempFolder() {
  wchar_t temp[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, temp);
  String t = FromW(temp, MAX_PATH + 1);
  if (!t.empty() && t.back() == u'\\') t.pop_back();
  return t;
}

class WizardTest : public ::testing::Test {
protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    scratch_ = std::make_unique<ScratchDir>(std::string("setup-wizard-") + info->name());
    base_ = scratch_->Path();
    menuName_ = u"Quorlix Test " + FromAscii(info->name());
    DeleteMachineKey(kUninstallKey);
  }
  void TearDown() override {
    form.reset();
    DeleteMachineKey(kUninstallKey);
    DeleteTree(ShellFolder(CSIDL_PROGRAMS) + u"\\" + menuName_);
    DeleteFileW(W(ShellFolder(CSIDL_DESKTOPDIRECTORY) + u"\\Quorlix.lnk"));
    DeleteFileW(W(ShellFolder(CSIDL_STARTMENU) + u"\\Quorlix.lnk"));
    ForgetPendingBelow(base_);
    if (!otherSetupDir_.empty()) {
      ForgetPendingBelow(otherSetupDir_);
      DeleteTree(otherSetupDir_);
    }
  }

  // A distribution folder: the setup program's file, Files with the stub as the
  // program, a help file and an uninstaller, and the two updater copies.
  void LayOut(const String& setupDir) {
    setupDir_ = setupDir;
    CreateDirectoryW(W(setupDir_), nullptr);
    CreateDirectoryW(W(setupDir_ + u"\\Files"), nullptr);
    ASSERT_TRUE(CopyFileW(W(HostPath(QZ_STUB_PROGRAM)), W(setupDir_ + u"\\Files\\Quorlix.exe"), FALSE));
    WriteBytes(setupDir_ + u"\\Files\\Quorlix.chm", "help");
    WriteBytes(setupDir_ + u"\\Files\\uninstall.exe", "MZ uninstaller");
    WriteBytes(SetupPath(), "MZ setup");
    WriteBytes(setupDir_ + u"\\_vqupdate.exe", "MZ");
    WriteBytes(setupDir_ + u"\\Update_Quorlix.exe", "MZ");
  }
  String SetupPath() const { return setupDir_ + u"\\_setup.exe"; }

  void Open() {
    form = MakeForm<TFmMain>(SetupPath());
    form->Show();
    gui_test::Pump(30);
  }
  void Next() {
    form->BtnNext->Click();
    gui_test::Pump();
  }
  void Back() {
    form->BtnBack->Click();
    gui_test::Pump();
  }
  // From the welcome page to the ready page with these choices.
  void ToReadyPage(const String& dest, bool desktop, bool startMenu) {
    Next();
    Next();
    form->EdDestDir->SetEditText(dest);
    Next();
    form->EdStartMenuFolder->SetEditText(menuName_);
    Next();
    form->CkBxDesktopShortcut->SetChecked(desktop);
    form->CkBxStartMenuShortcut->SetChecked(startMenu);
    Next();
    ASSERT_EQ(form->Step(), 7);
  }
  // For one case of a table: a payload and a destination of its own, the wizard open at
  // the ready page with no shortcuts chosen. Returns the destination.
  String OpenAtReadyPageForCase(int run) {
    LayOut(base_ + u"\\dist" + FromAscii(std::to_string(run)));
    const String dest = base_ + u"\\Apps" + FromAscii(std::to_string(run)) + u"\\Quorlix";
    Open();
    ToReadyPage(dest, false, false);
    return dest;
  }
  String MenuDir() const { return ShellFolder(CSIDL_PROGRAMS) + u"\\" + menuName_; }
  // Enter at the window that has the keyboard focus, as the message loop gets it.
  void PressEnter() {
    HWND focus = GetFocus();
    ASSERT_NE(focus, nullptr);
    PostMessageW(focus, WM_KEYDOWN, VK_RETURN, 1);
    PostMessageW(focus, WM_KEYUP, VK_RETURN, LPARAM(0xC0000001u));
    gui_test::Pump();
  }
  // The id of the process that started the installed program (the stub's record).
  DWORD StarterOf(const String& installDir) const {
    const std::string text = ReadBytes(installDir + u"\\" + kStarterRecord);
    return DWORD(std::strtoul(text.c_str(), nullptr, 10));
  }

  ComScope com_;
  std::unique_ptr<ScratchDir> scratch_;
  String base_, menuName_, setupDir_, otherSetupDir_;
  FormPtr<TFmMain> form;
};

TEST_F(WizardTest, EveryPageThenInstallAndHandBack) {
  LayOut(base_ + u"\\dist");
  const String dest = base_ + u"\\Apps\\Quorlix";
  Open();
  EXPECT_EQ(form->Caption(), u"Setup - Quorlix Zeva");
  EXPECT_EQ(form->ClientHeight(), 383 - 28);
  EXPECT_EQ(form->Step(), 1);
  EXPECT_EQ(form->EdDestDir->GetText(), GetSpecialFolderPath(CSIDL_PROGRAM_FILES) + u"\\Quorlix\\");
  EXPECT_EQ(form->EdStartMenuFolder->GetText(), u"Quorlix");
  EXPECT_NE(form->MmLicense->GetText().find(u"LICENSE AGREEMENT"), String::npos);
  EXPECT_GT(form->Image1->Picture().Width(), 0);  // the JPEG resource decoded

  struct PageView {
    TTabSheet* page;
    String title, next, cancel;
    bool top, back, cancelShown;
  };
  auto expectPage = [&](const PageView& v, int step) {
    EXPECT_EQ(form->Step(), step);
    EXPECT_EQ(form->PageControl1->ActivePage(), v.page) << step;
    if (v.top) {
      EXPECT_EQ(form->LbPageTitle->Caption(), v.title) << step;
    }
    EXPECT_EQ(form->PnTop->Visible(), v.top) << step;
    EXPECT_EQ(form->BtnBack->Visible(), v.back) << step;
    if (v.back) {
      EXPECT_EQ(form->BtnBack->Caption(), u"< &Back");
    }
    EXPECT_EQ(form->BtnNext->Caption(), v.next) << step;
    EXPECT_EQ(form->BtnCancel->Visible(), v.cancelShown) << step;
    if (v.cancelShown) {
      EXPECT_EQ(form->BtnCancel->Caption(), v.cancel) << step;
    }
  };
  expectPage({form->Page1_Welcome, u"", u"&Next >", u"Cancel", false, false, true}, 1);
  EXPECT_EQ(form->LbWelcome1->Caption(), u"Welcome to the Quorlix Zeva setup program");
  EXPECT_EQ(form->LbWelcome5->Top(), form->Panel1->Height() - 35);
  EXPECT_FALSE(form->CkBxRunProgram->Visible());

  Next();
  expectPage({form->Page2_License, u"License Agreement", u"I &Accept", u"&No", true, true, true}, 2);
  Next();
  expectPage({form->Page3_Destination, u"Select Destination Location", u"&Next >", u"Cancel", true,
              true, true}, 3);
  EXPECT_EQ(form->LbDestDir->Caption(), u"Setup will install Quorlix Zeva into the following folder.");
  EXPECT_EQ(form->LbSpaceRequired1->Caption(), u"3 MB");
  form->EdDestDir->SetEditText(u"  " + dest + u"\\ ");
  Next();
  expectPage({form->Page5_StartMenuFolder, u"Select Start Menu Folder", u"&Next >", u"Cancel", true,
              true, true}, 5);
  EXPECT_EQ(form->EdDestDir->GetText(), dest + u"\\");  // trimmed, nothing appended
  form->EdStartMenuFolder->SetEditText(u"   ");
  Back();  // recomputes the destination page
  expectPage({form->Page3_Destination, u"Select Destination Location", u"&Next >", u"Cancel", true,
              true, true}, 3);
  Next();
  EXPECT_EQ(form->EdStartMenuFolder->GetText(), u"Quorlix");  // blanks give the default
  form->EdStartMenuFolder->SetEditText(menuName_);
  Next();
  expectPage({form->Page6_AdditionalTasks, u"Additional Tasks", u"&Next >", u"Cancel", true, true,
              true}, 6);
  EXPECT_TRUE(form->CkBxDesktopShortcut->Checked());
  EXPECT_FALSE(form->CkBxStartMenuShortcut->Checked());
  Back();
  expectPage({form->Page5_StartMenuFolder, u"Select Start Menu Folder", u"&Next >", u"Cancel", true,
              true, true}, 5);
  Next();
  Next();
  expectPage({form->Page7_Ready, u"Ready to Install", u"&Install", u"Cancel", true, true, true}, 7);
  EXPECT_EQ(form->MmSummary->GetText(),
            u"Destination Location\r\n\t" + dest + u"\\\r\n\r\nStart Menu folder\r\n\t" + menuName_ +
                u"\r\n\r\nAdditional tasks:\r\n\tCreate a desktop shortcut\r\n");

  const std::vector<String> payload = Listing(setupDir_ + u"\\Files");
  Next();  // installs, then straight on to the finish page
  expectPage({form->Page1_Welcome, u"", u"&Finish", u"", false, false, false}, 9);
  EXPECT_EQ(form->LbWelcome1->Caption(), u"Installation Complete");
  EXPECT_EQ(form->LbWelcome3->Caption(), u"Click Finish to exit Setup.");
  EXPECT_FALSE(form->LbWelcome5->Visible());
  EXPECT_TRUE(form->CkBxRunProgram->Visible());
  EXPECT_TRUE(form->CkBxRunProgram->Checked());

  // The payload, copied.
  for (const String& name : payload)
    EXPECT_EQ(ReadBytes(dest + u"\\" + name), ReadBytes(setupDir_ + u"\\Files\\" + name)) << ToUtf8(name);

  // The uninstall entry, in the 32-bit view.
  const String d = dest + u"\\";
  struct Value {
    String name, data;
  } values[] = {
      {u"DisplayIcon", d + u"Quorlix.exe"},
      {u"DisplayName", u"Quorlix Zeva"},
      {u"DisplayVersion", u"1.1"},
      {u"InstallLocation", d},
      {u"Publisher", u"Brevane"},
      {u"UninstallString", u"\"" + d + u"uninstall.exe\" \"Quorlix\" \"" + d + u"\""},
      {u"URLInfoAbout", st::kWebSite},
      {u"URLUpdateInfo", st::kWebSite},
      {u"HelpLink", st::kWebSite},
  };
  for (const auto& v : values) EXPECT_EQ(MachineString(kUninstallKey, v.name), v.data) << ToUtf8(v.name);
  EXPECT_EQ(MachineDword(kUninstallKey, u"EstimatedSize"), 2200u);
  EXPECT_EQ(MachineDword(kUninstallKey, u"NoModify"), 1u);
  EXPECT_EQ(MachineDword(kUninstallKey, u"NoRepair"), 1u);

  // The shortcuts.
  const String menuLink = MenuDir() + u"\\Quorlix.lnk";
  const String helpLink = MenuDir() + u"\\Quorlix Help.lnk";
  const String desktopLink = GetDesktopDir() + u"\\Quorlix.lnk";
  struct Link {
    String file, target, description;
  } links[] = {
      {menuLink, d + u"Quorlix.exe", u"Quorlix Zeva"},
      {helpLink, d + u"Quorlix.chm", u"Quorlix Zeva Help"},
      {desktopLink, d + u"Quorlix.exe", u"Quorlix Zeva"},
  };
  for (const auto& l : links) {
    const LinkInfo info = ReadLink(l.file);
    ASSERT_TRUE(info.loaded) << ToUtf8(l.file);
    EXPECT_EQ(Lower(info.target), Lower(l.target));
    EXPECT_EQ(info.description, l.description);
    EXPECT_EQ(info.arguments, u"");
    EXPECT_EQ(Lower(info.workDir), Lower(d));
  }
  EXPECT_FALSE(IsFile(GetStartMenuDir() + u"\\Quorlix.lnk"));

  // The uninstall log, byte for byte: 9 records.
  std::string expected = Record(2, dest);
  for (const String& name : payload) expected += Record(1, d + name);
  expected += Record(2, MenuDir()) + Record(1, menuLink) + Record(1, helpLink) +
              Record(1, desktopLink) + Record(1, d + u"uninstall.dat");
  EXPECT_EQ(ReadBytes(d + u"uninstall.dat"), expected);
  EXPECT_EQ(expected.size(), 9u * 260u);

  // Finish: the payload goes, the program starts with the hand-back line.
  Next();
  EXPECT_EQ(form->Step(), 10);
  EXPECT_FALSE(form->Visible());
  ASSERT_TRUE(WaitForFile(d + kCommandLineRecord, 10000));
  EXPECT_EQ(RecordedArguments(ReadBytes(d + kCommandLineRecord)),
            "tq5082tq67\n" + ToUtf8(SetupPath()) + "\n");
  EXPECT_FALSE(IsFolder(setupDir_ + u"\\Files"));
  EXPECT_FALSE(IsFile(setupDir_ + u"\\_vqupdate.exe"));
  EXPECT_FALSE(IsFile(setupDir_ + u"\\Update_Quorlix.exe"));
  EXPECT_TRUE(IsFile(SetupPath()));  // the started program deletes it
  for (const String& p : PendingDeletions()) EXPECT_NE(Lower(p), Lower(SetupPath()));
}

TEST_F(WizardTest, InstallOverAnEarlierOneLogsNoStartMenuFolder) {
  LayOut(base_ + u"\\dist");
  const String dest = base_ + u"\\Apps\\Quorlix";
  for (int run = 0; run < 2; ++run) {
    Open();
    ToReadyPage(dest, false, true);
    Next();
    ASSERT_EQ(form->Step(), 9);
    form.reset();  // ends without Finish: the payload stays for the second run
  }
  const String d = dest + u"\\";
  const std::string log = ReadBytes(d + u"uninstall.dat");
  ASSERT_EQ(log.size(), 8u * 260u);
  EXPECT_EQ(log.substr(0, 260), Record(2, dest));  // logged although it existed
  EXPECT_EQ(log.substr(4 * 260, 260), Record(1, MenuDir() + u"\\Quorlix.lnk"));
  EXPECT_EQ(log.substr(6 * 260, 260), Record(1, GetStartMenuDir() + u"\\Quorlix.lnk"));
  EXPECT_TRUE(ReadLink(GetStartMenuDir() + u"\\Quorlix.lnk").loaded);
}

TEST_F(WizardTest, PayloadEntryNamedLikeTheSetupProgramStays) {
  LayOut(base_ + u"\\dist");
  WriteBytes(setupDir_ + u"\\Files\\_setup.exe", "other");
  CreateDirectoryW(W(setupDir_ + u"\\Files\\sub"), nullptr);  // not a file: not copied
  const String dest = base_ + u"\\Apps\\Quorlix";
  Open();
  ToReadyPage(dest, false, false);
  Next();
  ASSERT_EQ(form->Step(), 9);
  EXPECT_FALSE(IsFile(dest + u"\\_setup.exe"));
  EXPECT_FALSE(IsFolder(dest + u"\\sub"));
  EXPECT_EQ(ReadBytes(dest + u"\\uninstall.dat").size(), 8u * 260u);
  form->CkBxRunProgram->SetChecked(false);
  Next();
  EXPECT_TRUE(IsFile(setupDir_ + u"\\Files\\_setup.exe"));
}

TEST_F(WizardTest, FinishWithoutAStartedProgramSchedulesTheSetupProgramsDeletion) {
  // "Run program" unchecked, or checked but the program cannot be started.
  struct Case {
    bool run, programInPayload;
  } cases[] = {{false, true}, {true, false}};
  for (const auto& c : cases) {
    LayOut(base_ + (c.run ? u"\\dist-missing" : u"\\dist-unchecked"));
    if (!c.programInPayload) DeleteFileW(W(setupDir_ + u"\\Files\\Quorlix.exe"));
    const String dest = base_ + (c.run ? u"\\Apps1\\Quorlix" : u"\\Apps2\\Quorlix");
    Open();
    ToReadyPage(dest, false, false);
    Next();
    ASSERT_EQ(form->Step(), 9);
    form->CkBxRunProgram->SetChecked(c.run);
    Next();
    EXPECT_FALSE(form->Visible());
    EXPECT_FALSE(IsFolder(setupDir_ + u"\\Files"));
    const std::vector<String> pending = PendingDeletions();
    EXPECT_EQ(std::count_if(pending.begin(), pending.end(),
                            [&](const String& p) { return Lower(p) == Lower(SetupPath()); }),
              1)
        << c.run;
    Sleep(300);
    EXPECT_FALSE(IsFile(dest + u"\\" + kCommandLineRecord));  // nothing was started
    form.reset();
  }
}

TEST_F(WizardTest, CancelKeepsAUsersFolderButCleansAnUpdateFolder) {
  // From a folder of the user's nothing is deleted; from below the temporary folder
  // the payload, the updater copies and (at restart) the setup program go.
  otherSetupDir_ = TempFolder() + u"\\vq109tmp-setup-test";
  DeleteTree(otherSetupDir_);
  struct Case {
    String setupDir;
    bool cleaned;
  } cases[] = {{base_ + u"\\download", false}, {otherSetupDir_, true}};
  for (const auto& c : cases) {
    LayOut(c.setupDir);
    Open();
    {
      DialogRecorder answers([](const String&) { return IDYES; });
      form->BtnCancel->Click();
      gui_test::Pump();
      ASSERT_EQ(answers.Boxes().size(), 1u);
      EXPECT_EQ(answers.Boxes()[0].caption, u"Exit Setup?");
      EXPECT_EQ(answers.Boxes()[0].text, kExitQuestion);
    }
    EXPECT_FALSE(form->Visible());
    EXPECT_EQ(IsFolder(setupDir_ + u"\\Files"), !c.cleaned) << ToUtf8(c.setupDir);
    EXPECT_EQ(IsFile(setupDir_ + u"\\Files\\Quorlix.exe"), !c.cleaned);
    EXPECT_EQ(IsFile(setupDir_ + u"\\_vqupdate.exe"), !c.cleaned);
    EXPECT_TRUE(IsFile(SetupPath()));
    const std::vector<String> pending = PendingDeletions();
    const bool scheduled = std::any_of(pending.begin(), pending.end(), [&](const String& p) {
      return Lower(p) == Lower(SetupPath());
    });
    EXPECT_EQ(scheduled, c.cleaned) << ToUtf8(c.setupDir);
    form.reset();
  }
}

TEST_F(WizardTest, NoOnTheLicencePageAsksFirst) {
  LayOut(base_ + u"\\dist");
  Open();
  Next();
  for (int answer : {IDNO, IDYES}) {
    // The question has no owner: the wizard takes no clicks while it waits.
    HWND wizard = form->Handle();
    std::atomic<bool> enabledDuringQuestion{true};
    DialogRecorder answers([&, answer](const String&) {
      enabledDuringQuestion = IsWindowEnabled(wizard) != 0;
      return answer;
    });
    form->BtnCancel->Click();
    gui_test::Pump();
    EXPECT_EQ(answers.Boxes().size(), 1u);
    EXPECT_FALSE(enabledDuringQuestion);
    EXPECT_TRUE(IsWindowEnabled(wizard));
    EXPECT_EQ(form->Visible(), answer == IDNO);
    EXPECT_EQ(form->Step(), 2);
  }
}

TEST_F(WizardTest, FailedInstallReportsAndClosesWithoutTheQuestion) {
  struct Case {
    const char* what;
    std::function<void(const String& dest)> prepare;
  } cases[] = {
      {"destination below a file",
       [&](const String&) { WriteBytes(base_ + u"\\blocker", "x"); }},
      {"a payload file that cannot be copied",
       [&](const String& dest) {
         CreateDirectoryW(W(base_ + u"\\Apps2"), nullptr);
         CreateDirectoryW(W(dest), nullptr);
         CreateDirectoryW(W(dest + u"\\Quorlix.chm"), nullptr);  // a folder in its place
       }},
      {"no payload folder",
       [&](const String&) { DeleteTree(setupDir_ + u"\\Files"); }},
  };
  const String dests[] = {base_ + u"\\blocker\\Quorlix", base_ + u"\\Apps2\\Quorlix",
                          base_ + u"\\Apps3\\Quorlix"};
  for (size_t i = 0; i < std::size(cases); ++i) {
    LayOut(base_ + u"\\dist" + FromAscii(std::to_string(i)));
    cases[i].prepare(dests[i]);
    Open();
    ToReadyPage(dests[i], true, false);
    {
      DialogRecorder answers([](const String&) { return IDOK; });
      Next();
      gui_test::Pump(300);
      const auto boxes = answers.Boxes();
      ASSERT_EQ(boxes.size(), 1u) << cases[i].what;  // no close question after it
      EXPECT_EQ(boxes[0].caption, u"Setup not complete");
      EXPECT_EQ(boxes[0].text, kFailedText);
    }
    EXPECT_FALSE(form->Visible()) << cases[i].what;
    EXPECT_NE(form->Step(), 9) << cases[i].what;
    EXPECT_FALSE(form->CkBxRunProgram->Visible());
    form.reset();
  }
}

LONG WINAPI RefusedSet(HKEY, LPCWSTR, DWORD, DWORD, const BYTE*, DWORD) { return ERROR_ACCESS_DENIED; }

// An install step that fails with an error other than a file error (here the registry
// refuses the uninstall entry) leaves the wizard on the installing page with Next
// hidden. Enter must not run the install again.
TEST_F(WizardTest, AnInstallThatBrokeOffIsNotRunAgainByEnter) {
  LayOut(base_ + u"\\dist");
  const String dest = base_ + u"\\Apps\\Quorlix";
  Open();
  ToReadyPage(dest, true, false);
  gui_test::ErrorRecorder errors;
  gui_test::ImportHook refused("advapi32.dll", "RegSetValueExW", reinterpret_cast<void*>(&RefusedSet));
  ASSERT_TRUE(refused.Installed());
  SendMessageW(form->BtnNext->Handle(), BM_CLICK, 0, 0);
  gui_test::Pump();
  ASSERT_EQ(errors.Messages().size(), 1u);
  EXPECT_EQ(form->Step(), 7);
  EXPECT_EQ(form->PageControl1->ActivePage(), form->Page8_Installing);
  EXPECT_FALSE(form->BtnNext->Visible());
  EXPECT_TRUE(IsFile(dest + u"\\Quorlix.exe"));
  ASSERT_TRUE(DeleteFileW(W(dest + u"\\Quorlix.exe")));

  EXPECT_EQ(form->LbPageTitle->Caption(), u"Installing");
  EXPECT_EQ(form->LbPageDesc->Caption(),
            u"Please wait while Setup installs Quorlix Zeva on your computer.");
  EXPECT_FALSE(form->LbPageDesc->Visible());

  // Where the keyboard is, as a user's Enter arrives: the dialog manager asks the form
  // for its default button.
  ::SetFocus(form->Handle());
  PressEnter();
  gui_test::Pump(100);
  EXPECT_EQ(errors.Messages().size(), 1u);
  EXPECT_EQ(form->Step(), 7);
  EXPECT_FALSE(IsFile(dest + u"\\Quorlix.exe"));  // not copied a second time
  EXPECT_TRUE(form->Visible());
}

TEST_F(WizardTest, BadFieldsWarnAndStayOnTheirPage) {
  LayOut(base_ + u"\\dist");
  Open();
  Next();
  Next();
  for (const String& bad : {String(u"Apps\\Quorlix"), String(u"C:\\a:b"), String(u"C:\\a?")}) {
    form->EdDestDir->SetEditText(bad);
    DialogRecorder answers([](const String&) { return IDOK; });
    Next();
    ASSERT_EQ(answers.Boxes().size(), 1u) << ToUtf8(bad);
    EXPECT_EQ(answers.Boxes()[0].caption, u"Warning");
    EXPECT_EQ(answers.Boxes()[0].text, st::kBadDestination);
    EXPECT_EQ(form->Step(), 3);
    EXPECT_EQ(form->PageControl1->ActivePage(), form->Page3_Destination);
  }
  form->EdDestDir->SetEditText(u"");
  Next();  // an emptied field gets the default folder
  EXPECT_EQ(form->Step(), 5);
  EXPECT_EQ(form->EdDestDir->GetText(), form->ProgramFilesDir() + u"Quorlix\\");
  for (const String& bad : {String(u"..\\..\\Desktop"), String(u"a/b")}) {
    form->EdStartMenuFolder->SetEditText(bad);
    DialogRecorder answers([](const String&) { return IDOK; });
    Next();
    ASSERT_EQ(answers.Boxes().size(), 1u) << ToUtf8(bad);
    EXPECT_EQ(answers.Boxes()[0].text, st::kBadStartMenuFolder);
    EXPECT_EQ(form->Step(), 5);
    EXPECT_EQ(form->PageControl1->ActivePage(), form->Page5_StartMenuFolder);
  }
}

TEST_F(WizardTest, FreeSpaceIsTheDestinationDrives) {
  LayOut(base_ + u"\\dist");
  Open();
  Next();
  form->EdDestDir->SetEditText(u"Q:\\Apps\\Quorlix\\");  // no such drive
  Next();
  EXPECT_FALSE(form->Label12->Visible());
  EXPECT_FALSE(form->LbSpaceAvail1->Visible());
  Back();
  form->EdDestDir->SetEditText(base_ + u"\\Apps\\Quorlix\\");
  Next();
  EXPECT_TRUE(form->Label12->Visible());
  EXPECT_TRUE(form->LbSpaceAvail1->Visible());
  const String shown = form->LbSpaceAvail1->Caption();
  EXPECT_EQ(shown.size(), 23u);
  EXPECT_EQ(shown.substr(20), u" MB");
}

// The user confirms the folder the browser starts in. Wine's browser sometimes drops its
// preselection on a saturated machine (the tree then has no selection), so the pick is
// made again until the tree shows one; the start folder itself is checked separately.
void PickStartFolder(HWND dialog) {
  HWND tree = FindWindowExW(dialog, nullptr, L"SysTreeView32", nullptr);
  for (int attempt = 0; attempt < 50; ++attempt) {
    if (SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0)) return;
    SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(W(BrowseInitialDir)));
    Sleep(100);
  }
}

TEST_F(WizardTest, BrowseStartsInTheParentAndAppendsQuorlix) {
  LayOut(base_ + u"\\dist");
  CreateDirectoryW(W(base_ + u"\\Tools"), nullptr);
  CreateDirectoryW(W(base_ + u"\\Tools\\QUORLIX"), nullptr);
  Open();
  Next();
  Next();
  struct Case {
    String field, start, result;
  } cases[] = {
      {base_ + u"\\Tools\\Quorlix\\", base_ + u"\\Tools\\", base_ + u"\\Tools\\Quorlix\\"},
      {base_ + u"\\Tools\\QUORLIX\\Quorlix", base_ + u"\\Tools\\QUORLIX\\",
       base_ + u"\\Tools\\QUORLIX\\"},
      // A folder that does not exist: the browser starts in Program Files.
      {base_ + u"\\Missing\\Quorlix\\", form->ProgramFilesDir(),
       form->ProgramFilesDir() + u"Quorlix\\"},
  };
  for (const auto& c : cases) {
    form->EdDestDir->SetEditText(c.field);
    DialogAnswerer answer(IDOK, PickStartFolder);
    form->BtnBrowseDestDir->Click();
    EXPECT_TRUE(answer.Seen().found);
    EXPECT_EQ(Lower(BrowseInitialDir), Lower(c.start));
    EXPECT_EQ(Lower(form->EdDestDir->GetText()), Lower(c.result)) << ToUtf8(c.field);
  }
  form->EdDestDir->SetEditText(u"D:\\kept\\");
  DialogAnswerer cancel(IDCANCEL);
  form->BtnBrowseDestDir->Click();
  EXPECT_TRUE(cancel.Seen().found);
  EXPECT_EQ(form->EdDestDir->GetText(), u"D:\\kept\\");
}

// Pictures of the welcome and destination pages for a person to look at, checked for
// what they must show: the welcome picture and heading, the page title and the folder.
TEST_F(WizardTest, Screenshots) {
  LayOut(base_ + u"\\dist");
  Open();
  TBitmap shot;
  POINT origin{0, 0};
  auto shoot = [&](const char* name) {
    gui_test::Pump(200);
    ASSERT_TRUE(gui_test::CaptureClient(form->Handle(), shot));
    const String path = gui_test::ArtifactPath(QZ_ARTIFACT_DIR, name);
    ASSERT_TRUE(gui_test::WritePng(shot, path)) << ToUtf8(path);
    origin = POINT{0, 0};
    ClientToScreen(form->Handle(), &origin);
  };
  shoot("setup_welcome.png");
  EXPECT_GT(gui_test::DistinctColours(shot, gui_test::RectInCapture(*form->Image1, origin)), 16);
  EXPECT_TRUE(gui_test::HasInk(shot, gui_test::RectInCapture(*form->LbWelcome1, origin)));
  EXPECT_TRUE(gui_test::HasInk(shot, gui_test::RectInCapture(*form->BtnNext, origin)));
  Next();
  Next();
  shoot("setup_destination.png");
  EXPECT_TRUE(gui_test::HasInk(shot, gui_test::RectInCapture(*form->LbPageTitle, origin)));
  EXPECT_TRUE(gui_test::HasInk(shot, gui_test::RectInCapture(*form->EdDestDir, origin)));
  EXPECT_GT(gui_test::DistinctColours(shot, gui_test::RectInCapture(*form->Image3, origin)), 16);
}

// The page on screen after the install is the finish page, whatever was clicked or typed
// while the install ran (nothing is handled meanwhile; Finish sits where Install was).
TEST_F(WizardTest, ADoubleClickOnInstallStopsAtTheFinishPage) {
  struct Case {
    const char* how;
    std::function<void(HWND button)> clickTwice;
  } cases[] = {
      {"two clicks posted to the button",
       [](HWND b) {
         PostMessageW(b, BM_CLICK, 0, 0);
         PostMessageW(b, BM_CLICK, 0, 0);
       }},
      {"two presses of the mouse posted to the button",
       [](HWND b) {
         for (int i = 0; i < 2; ++i) {
           PostMessageW(b, i ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
           PostMessageW(b, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
         }
       }},
      {"a double click of the mouse",
       [](HWND b) {
         RECT r;
         GetWindowRect(b, &r);
         const int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
         const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
         INPUT in[5] = {};
         for (INPUT& i : in) i.type = INPUT_MOUSE;
         in[0].mi.dx = LONG((x * 65535 + w / 2) / (w - 1));
         in[0].mi.dy = LONG((y * 65535 + h / 2) / (h - 1));
         in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
         in[1].mi.dwFlags = in[3].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
         in[2].mi.dwFlags = in[4].mi.dwFlags = MOUSEEVENTF_LEFTUP;
         ASSERT_EQ(SendInput(5, in, sizeof(INPUT)), 5u);
       }},
  };
  int run = 0;
  for (const auto& c : cases) {
    const String dest = OpenAtReadyPageForCase(run++);
    SetForegroundWindow(form->Handle());
    gui_test::Pump(50);
    c.clickTwice(form->BtnNext->Handle());
    gui_test::Pump(300);
    EXPECT_EQ(form->Step(), 9) << c.how;
    EXPECT_TRUE(form->Visible()) << c.how;
    EXPECT_EQ(form->PageControl1->ActivePage(), form->Page1_Welcome) << c.how;
    EXPECT_TRUE(IsFolder(setupDir_ + u"\\Files")) << c.how;
    EXPECT_FALSE(IsFile(dest + u"\\" + kCommandLineRecord)) << c.how;
    // Still the user's to decide.
    form->CkBxRunProgram->SetChecked(false);
    Next();
    EXPECT_EQ(form->Step(), 10) << c.how;
    Sleep(300);
    EXPECT_FALSE(IsFile(dest + u"\\" + kCommandLineRecord)) << c.how;
    form.reset();
  }
}

// Enter activates Next (or what stands in its place) from wherever the keyboard is on a
// page, not only from the button itself.
TEST_F(WizardTest, EnterPressesTheDefaultButtonFromTheFocusedControlOfEveryPage) {
  LayOut(base_ + u"\\dist");
  const String dest = base_ + u"\\Apps\\Quorlix";
  Open();
  Next();
  struct Case {
    int step;
    std::function<TWinControl*()> prepare;  // the control that has the keyboard
    int stepAfter;
  } cases[] = {
      {2, [&] { return form->MmLicense; }, 3},
      {3, [&] { form->EdDestDir->SetEditText(dest); return form->EdDestDir; }, 5},
      {5, [&] { form->EdStartMenuFolder->SetEditText(menuName_); return form->EdStartMenuFolder; }, 6},
      {6, [&] { form->CkBxDesktopShortcut->SetChecked(false); return form->CkBxDesktopShortcut; }, 7},
      {7, [&] { return form->MmSummary; }, 9},  // installs, then the finish page
      {9, [&] { form->CkBxRunProgram->SetChecked(false); return form->CkBxRunProgram; }, 10},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(form->Step(), c.step);
    TWinControl* control = c.prepare();
    control->SetFocus();
    ASSERT_TRUE(control->Focused()) << c.step;
    PressEnter();
    gui_test::Pump(50);
    EXPECT_EQ(form->Step(), c.stepAfter) << "Enter in " << ToUtf8(control->Name());
  }
  EXPECT_FALSE(form->Visible());
  EXPECT_TRUE(IsFile(dest + u"\\Quorlix.exe"));
}

// Under the folder browser the wizard takes no input: a Next that got through would
// leave the page (or install) while the browser still goes to set the destination.
TEST_F(WizardTest, TheWizardTakesNoInputWhileTheFolderBrowserIsUp) {
  LayOut(base_ + u"\\dist");
  Open();
  Next();
  Next();
  ASSERT_EQ(form->Step(), 3);
  HWND wizard = form->Handle();
  HWND next = form->BtnNext->Handle();
  HWND edit = form->EdDestDir->Handle();
  std::atomic<bool> enabledUnderBrowser{true};
  {
    // Posted ahead of the answer: handled while the browser is up.
    DialogAnswerer cancel(IDCANCEL, [&](HWND) {
      enabledUnderBrowser = IsWindowEnabled(wizard) != 0;
      PostMessageW(next, BM_CLICK, 0, 0);
      PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 1);
    });
    form->BtnBrowseDestDir->Click();
    EXPECT_TRUE(cancel.Seen().found);
  }
  EXPECT_FALSE(enabledUnderBrowser);
  EXPECT_TRUE(IsWindowEnabled(wizard));
  EXPECT_EQ(form->Step(), 3);
  EXPECT_EQ(form->PageControl1->ActivePage(), form->Page3_Destination);
}

// Every item of the pages as the resource lays it out and words it, and the page texts
// (the descriptions set though never shown), read from the real windows.
TEST_F(WizardTest, ThePagesCarryTheirTextsAndPlaces) {
  LayOut(base_ + u"\\dist");
  Open();
  struct Item {
    TControl* control;
    String caption;  // empty: not checked here
    int left, top, width, height;  // -1: not checked
    bool bold = false;
  };
  const Item items[] = {
      {form->Image3, u"", 415, -1, 53, 53},
      {form->LbPageTitle, u"", 24, 16, -1, -1, true},
      {form->LbPageDesc, u"", 24, 34, -1, -1},
      {form->BtnBack, u"", 217, 10, 75, 25},
      {form->BtnNext, u"", 292, 10, 75, 25},
      {form->BtnCancel, u"", 378, 10, 75, 25},
      {form->Image1, u"", 0, 0, 164, 252},
      {form->LbWelcome1, u"", 174, 13, 301, -1, true},  // heights: fitted to the text
      {form->LbWelcome2, u"", 174, 74, 284, -1},
      {form->LbWelcome3,
       u"It is recommended that you close all other applications you have running before "
       u"continuing.  This will help prevent any conflicts during the installation process.",
       174, 137, 281, -1},
      {form->LbWelcome5, u"", 174, -1, 270, -1},
      {form->CkBxRunProgram, u"Run program", 174, 229, -1, -1},
      {form->Label1, u"Use the scroll bar or press the Page Down key to view the rest of the agreement.",
       34, 8, -1, -1},
      {form->MmLicense, u"", 33, 34, 418, 168},
      {form->Label2,
       u"Do you accept all the terms of the preceding License Agreement? If you choose No, Setup "
       u"will close.  To install the program, you must accept this agreement.",
       33, 213, 404, -1},
      {form->Image2, u"", 29, 12, 32, 32},
      {form->LbDestDir, u"", 69, 22, -1, -1},
      {form->Label13,
       u"To continue, click Next.  If you would like to select a different folder, click Browse.",
       25, 56, -1, -1},
      {form->EdDestDir, u"", 25, 84, 340, -1},
      {form->BtnBrowseDestDir, u"Browse...", 380, 82, -1, -1},
      {form->Label10,
       u"All files will be placed in the folder you select.   No files will be placed in the "
       u"Windows folder.",
       25, 125, 305, -1, true},
      {form->Label8, u"Space Required:", 32, 217, -1, -1},
      {form->LbSpaceRequired1, u"", 120, 217, 115, -1},
      {form->Label12, u"Space Available:", 32, 233, -1, -1},
      {form->LbSpaceAvail1, u"", 120, 233, 115, -1},
      {form->Image4, u"", 32, 15, 32, 32},
      {form->Label7, u"Setup will create the program's shortcuts in the following Start menu folder.",
       69, 22, -1, -1},
      {form->Label6, u"To continue, click Next.", 25, 56, -1, -1},
      {form->EdStartMenuFolder, u"", 25, 84, 340, -1},
      {form->Label3, u"Select the additonal tasks you would like Setup to perform when installing",
       25, 19, -1, -1},
      {form->Label4, u"the program, then click Next.", 25, 32, -1, -1},
      {form->CkBxDesktopShortcut, u"Create a Desktop Shortcut", 25, 69, -1, -1},
      {form->CkBxStartMenuShortcut, u"Create a Start Menu Shortcut", 25, 96, -1, -1},
      {form->Label20,
       u"Click Install to continue with the installation, or click Back if you want to review "
       u"or change any settings.",
       39, 13, -1, -1},
      {form->MmSummary, u"", 41, 50, 406, 187},
      {form->Label17, u"Extracting files...", 40, 16, -1, -1},
      {form->LbFileName, u"", 40, 32, -1, -1},
      {form->ProgressBar1, u"", 40, 56, 409, 21},
  };
  for (const Item& item : items) {
    const std::string name = ToUtf8(item.control->Name());
    TRect at = item.control->BoundsRect();
    String text = item.control->Caption();
    if (item.control->IsWindowed()) {  // what the window itself has
      HWND h = static_cast<TWinControl*>(item.control)->Handle();
      RECT r;
      GetWindowRect(h, &r);
      MapWindowPoints(nullptr, GetParent(h), reinterpret_cast<POINT*>(&r), 2);
      at = TRect::From(r);
      text = WindowText(h);
    }
    if (!item.caption.empty()) {
      EXPECT_EQ(text, item.caption) << name;
    }
    if (item.left >= 0) {
      EXPECT_EQ(at.Left, item.left) << name;
    }
    if (item.top >= 0) {
      EXPECT_EQ(at.Top, item.top) << name;
    }
    if (item.width >= 0) {
      EXPECT_EQ(at.Width(), item.width) << name;
    }
    if (item.height >= 0) {
      EXPECT_EQ(at.Height(), item.height) << name;
    }
    EXPECT_EQ((item.control->Font().Style & fsBold) != 0, item.bold) << name;
  }
  EXPECT_EQ(form->LbWelcome1->Font().Height, -16);
  EXPECT_EQ(form->Font().Name, u"Tahoma");
  EXPECT_EQ(form->Font().Height, -11);
  EXPECT_TRUE(IsWindowVisible(form->BtnNext->Handle()));
  EXPECT_TRUE(form->CkBxDesktopShortcut->Checked());
  EXPECT_FALSE(form->CkBxStartMenuShortcut->Checked());
  EXPECT_EQ(WindowText(form->BtnNext->Handle()), u"&Next >");
  EXPECT_EQ(WindowText(form->BtnCancel->Handle()), u"Cancel");
  EXPECT_EQ(form->LbWelcome2->Caption(), u"This will install Quorlix Zeva on your computer.");
  EXPECT_EQ(form->PnTop->Height(), 60);
  EXPECT_EQ(form->PnBottom->Height(), 43);

  struct Page {
    int step;
    String title, description;
  } pages[] = {
      {2, u"License Agreement", u"Please read the following License Agreement before continuing."},
      {3, u"Select Destination Location", u"Where should Quorlix Zeva be installed?"},
      {5, u"Select Start Menu Folder", u"Where should Setup place the program's shortcuts?"},
      {6, u"Additional Tasks", u"Which additional tasks should be performed?"},
      {7, u"Ready to Install",
       u"Setup is now ready to begin installing Quorlix Zeva on your computer."},
  };
  for (const Page& page : pages) {
    Next();
    ASSERT_EQ(form->Step(), page.step);
    EXPECT_EQ(form->LbPageTitle->Caption(), page.title);
    EXPECT_EQ(form->LbPageDesc->Caption(), page.description) << page.step;
    EXPECT_FALSE(form->LbPageDesc->Visible()) << page.step;
    if (page.step == 2) {
      EXPECT_EQ(WindowText(form->BtnNext->Handle()), u"I &Accept");
      EXPECT_EQ(WindowText(form->BtnCancel->Handle()), u"&No");
      EXPECT_EQ(WindowText(form->BtnBack->Handle()), u"< &Back");
    }
    if (page.step == 3) {
      EXPECT_EQ(form->LbDestDir->Caption(), u"Setup will install Quorlix Zeva into the following folder.");
    }
    if (page.step == 7) {
      EXPECT_EQ(WindowText(form->BtnNext->Handle()), u"&Install");
    }
  }
}

// The entry's form variable: the wizard it creates, the main form (with the taskbar
// button), cleared when the application frees it.
TEST_F(WizardTest, TheFormVariableNamesTheWizardUntilItIsFreed) {
  LayOut(base_ + u"\\dist");
  ASSERT_EQ(FmMain, nullptr);
  Application().CreateForm(FmMain, SetupPath());
  ASSERT_NE(FmMain, nullptr);
  EXPECT_EQ(Application().MainForm(), FmMain);
  FmMain->Show();
  gui_test::Pump(30);
  EXPECT_EQ(FmMain->Step(), 1);
  EXPECT_EQ(FmMain->SetupDir(), setupDir_ + u"\\");
  EXPECT_TRUE(GetWindowLongPtrW(FmMain->Handle(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
  EXPECT_EQ(GetWindow(FmMain->Handle(), GW_OWNER), nullptr);
  Application().DestroyForms();
  EXPECT_EQ(FmMain, nullptr);
  EXPECT_EQ(Application().MainForm(), nullptr);
}

// What the tests below make the system report.
HRESULT(WINAPI* realCoCreateInstance)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*) = nullptr;
HRESULT WINAPI NoShellWindows(REFCLSID cls, LPUNKNOWN outer, DWORD context, REFIID iid, LPVOID* out) {
  if (IsEqualCLSID(cls, CLSID_ShellWindows)) {
    *out = nullptr;
    return REGDB_E_CLASSNOTREG;
  }
  return realCoCreateInstance(cls, outer, context, iid, out);
}
TOKEN_ELEVATION_TYPE reportedElevation = TokenElevationTypeDefault;
BOOL(WINAPI* realGetTokenInformation)(HANDLE, TOKEN_INFORMATION_CLASS, LPVOID, DWORD, PDWORD) = nullptr;
BOOL WINAPI ReportedTokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS cls, LPVOID info,
                                     DWORD size, PDWORD needed) {
  if (cls != TokenElevationType) return realGetTokenInformation(token, cls, info, size, needed);
  *static_cast<TOKEN_ELEVATION_TYPE*>(info) = reportedElevation;
  *needed = sizeof reportedElevation;
  return TRUE;
}

// Finish starts the program as the desktop shell would, in the shell's process, so it
// does not inherit the setup program's administrator rights. Without a shell it starts
// the program itself only when that passes no raised rights on.
TEST_F(WizardTest, FinishStartsTheProgramWithTheDesktopUsersRights) {
  struct Case {
    const char* what;
    bool shell;
    TOKEN_ELEVATION_TYPE rights;
    bool started, byTheShell;
  } cases[] = {
      {"through the shell", true, TokenElevationTypeFull, true, true},
      {"no shell, raised rights", false, TokenElevationTypeFull, false, false},
      {"no shell, a plain user's rights", false, TokenElevationTypeLimited, true, false},
      {"no shell, no split token", false, TokenElevationTypeDefault, true, false},
  };
  int run = 0;
  for (const auto& c : cases) {
    const String dest = OpenAtReadyPageForCase(run++);
    Next();
    ASSERT_EQ(form->Step(), 9);
    {
      gui_test::ImportHook token("advapi32.dll", "GetTokenInformation",
                                 reinterpret_cast<void*>(&ReportedTokenInformation));
      ASSERT_TRUE(token.Installed());
      realGetTokenInformation = reinterpret_cast<decltype(realGetTokenInformation)>(token.Original());
      reportedElevation = c.rights;
      std::optional<gui_test::ImportHook> noShell;
      if (!c.shell) {
        noShell.emplace("ole32.dll", "CoCreateInstance", reinterpret_cast<void*>(&NoShellWindows));
        ASSERT_TRUE(noShell->Installed());
        realCoCreateInstance = reinterpret_cast<decltype(realCoCreateInstance)>(noShell->Original());
      }
      Next();
    }
    EXPECT_EQ(form->Step(), 10);
    EXPECT_FALSE(form->Visible());
    const String record = dest + u"\\" + kCommandLineRecord;
    if (c.started) {
      ASSERT_TRUE(WaitForFile(record, 10000)) << c.what;
      EXPECT_EQ(RecordedArguments(ReadBytes(record)), "tq5082tq67\n" + ToUtf8(SetupPath()) + "\n");
      EXPECT_EQ(StarterOf(dest) != GetCurrentProcessId(), c.byTheShell) << c.what;
    } else {
      Sleep(500);
      EXPECT_FALSE(IsFile(record)) << c.what;
    }
    // Nobody else deletes the setup program when nothing was started.
    const std::vector<String> pending = PendingDeletions();
    EXPECT_EQ(std::any_of(pending.begin(), pending.end(),
                          [&](const String& p) { return Lower(p) == Lower(SetupPath()); }),
              !c.started)
        << c.what;
    form.reset();
  }
}

}  // namespace
