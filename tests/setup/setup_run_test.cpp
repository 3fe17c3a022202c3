// The built setup program as a user meets it: started from a distribution folder,
// clicked through every page from outside, installing into a scratch folder; once
// with "Run program" (the stub program records the hand-back line) and once without
// (the setup program is queued for deletion at the next restart).
#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "base/win_string.h"
#include "tests/setup/setup_test_support.h"
#include "tests/testlib/command_line_stub.h"
#include "tests/testlib/dialog_driver_win.h"
#include "tests/testlib/program_run_win.h"
#include "tests/testlib/test_paths.h"

namespace {
using namespace setup_test;

struct Child {
  HWND window;
  String cls, text;
  LONG style;
};

BOOL CALLBACK CollectChild(HWND hwnd, LPARAM lp) {
  wchar_t cls[64] = {};
  GetClassNameW(hwnd, cls, 64);
  reinterpret_cast<std::vector<Child>*>(lp)->push_back(
      {hwnd, FromW(cls, 64), ControlText(hwnd), GetWindowLongW(hwnd, GWL_STYLE)});
  return TRUE;
}

// One run of the setup program and the controls a user clicks.
class SetupRun {
public:
  explicit SetupRun(const String& exe) : run_(exe) {}
  bool WaitForWindow() {
    window_ = run_.WaitForWindow(u"Setup - Quorlix Zeva", 20000);
    return window_ != nullptr;
  }
  std::vector<Child> Children() const {
    std::vector<Child> children;
    EnumChildWindows(window_, CollectChild, reinterpret_cast<LPARAM>(&children));
    return children;
  }
  HWND Button(const String& caption) const {
    return FindChildControl(window_, u"Button", caption);
  }
  // The single-line edit whose text satisfies pick.
  HWND Edit(const std::function<bool(const String&)>& pick) const {
    for (const Child& c : Children())
      if (_wcsicmp(W(c.cls), L"Edit") == 0 && !(c.style & ES_MULTILINE) && pick(c.text))
        return c.window;
    return nullptr;
  }
  bool Ended(int ms) { return run_.Ended(ms); }

private:
  ProgramRun run_;
  HWND window_ = nullptr;
};

void Click(HWND button) {
  ASSERT_NE(button, nullptr);
  SendMessageW(button, BM_CLICK, 0, 0);
}

void SetText(HWND edit, const String& text) {
  ASSERT_NE(edit, nullptr);
  SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(W(text)));
}

class SetupRunTest : public ::testing::TestWithParam<bool> {
protected:
  void TearDown() override {
    DeleteMachineKey(u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorlix");
    DeleteTree(ShellFolder(CSIDL_PROGRAMS) + u"\\" + menuName_);
    DeleteFileW(W(ShellFolder(CSIDL_DESKTOPDIRECTORY) + u"\\Quorlix.lnk"));
    if (scratch_) ForgetPendingBelow(scratch_->Path());
  }
  ComScope com_;
  std::unique_ptr<ScratchDir> scratch_;
  String menuName_;
};

TEST_P(SetupRunTest, ClickThroughEveryPageAndFinish) {
  const bool runProgram = GetParam();
  scratch_ = std::make_unique<ScratchDir>(runProgram ? "setup-run-start" : "setup-run-restart");
  menuName_ = runProgram ? u"Quorlix Run Test A" : u"Quorlix Run Test B";
  const String dist = scratch_->Path() + u"\\dist";
  const String dest = scratch_->Path() + u"\\Program Files\\Quorlix\\";
  const String setupExe = dist + u"\\_setup.exe";
  CreateDirectoryW(W(dist), nullptr);
  CreateDirectoryW(W(dist + u"\\Files"), nullptr);
  ASSERT_TRUE(CopyFileW(W(HostPath(QZ_SETUP_EXE)), W(setupExe), FALSE));
  ASSERT_TRUE(CopyFileW(W(HostPath(QZ_STUB_PROGRAM)), W(dist + u"\\Files\\Quorlix.exe"), FALSE));
  WriteBytes(dist + u"\\Files\\Quorlix.chm", "help");

  SetupRun run(setupExe);
  ASSERT_TRUE(run.WaitForWindow());
  HWND next = run.Button(u"&Next >");
  Click(next);  // licence
  ASSERT_EQ(ControlText(next), u"I &Accept");
  Click(next);  // destination
  HWND destEdit = run.Edit([](const String& t) { return !t.empty() && t.back() == u'\\'; });
  ASSERT_NE(destEdit, nullptr);
  EXPECT_NE(Lower(ControlText(destEdit)).find(u"\\quorlix\\"), String::npos);
  SetText(destEdit, dest);
  Click(next);  // Start-menu folder
  SetText(run.Edit([](const String& t) { return t == u"Quorlix"; }), menuName_);
  Click(next);  // tasks
  Click(next);  // ready
  ASSERT_EQ(ControlText(next), u"&Install");
  Click(next);  // installs, then the finish page
  ASSERT_EQ(ControlText(next), u"&Finish");
  HWND runBox = run.Button(u"Run program");
  ASSERT_NE(runBox, nullptr);
  EXPECT_EQ(SendMessageW(runBox, BM_GETCHECK, 0, 0), BST_CHECKED);
  if (!runProgram) SendMessageW(runBox, BM_SETCHECK, BST_UNCHECKED, 0);
  Click(next);
  ASSERT_TRUE(run.Ended(10000));

  EXPECT_EQ(ReadBytes(dest + u"Quorlix.chm"), "help");
  EXPECT_EQ(ReadBytes(dest + u"uninstall.dat").size(), 8u * 260u);
  EXPECT_EQ(MachineString(u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorlix",
                          u"InstallLocation"),
            dest);
  EXPECT_TRUE(ReadLink(ShellFolder(CSIDL_PROGRAMS) + u"\\" + menuName_ + u"\\Quorlix.lnk").loaded);
  EXPECT_FALSE(IsFolder(dist + u"\\Files"));
  EXPECT_TRUE(IsFile(setupExe));
  const std::vector<String> pending = PendingDeletions();
  const bool scheduled = std::any_of(pending.begin(), pending.end(),
                                     [&](const String& p) { return Lower(p) == Lower(setupExe); });
  if (runProgram) {
    ASSERT_TRUE(WaitForFile(dest + kCommandLineRecord, 10000));
    EXPECT_EQ(RecordedArguments(ReadBytes(dest + kCommandLineRecord)),
              "tq5082tq67\n" + ToUtf8(setupExe) + "\n");
    EXPECT_FALSE(scheduled);
  } else {
    EXPECT_TRUE(scheduled);
    Sleep(500);
    EXPECT_FALSE(IsFile(dest + kCommandLineRecord));
  }
}

INSTANTIATE_TEST_SUITE_P(Endings, SetupRunTest, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "RunProgram" : "RestartDeletion"; });

}  // namespace
