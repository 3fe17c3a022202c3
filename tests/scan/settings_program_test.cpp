// The real Quorlix.exe, started and closed as a user or the setup program would: its
// settings across two program starts, the clean-up after a setup hand-back, and the
// support modules' named objects living exactly as long as the program.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "base/win_handle.h"
#include "base/win_string.h"
#include "common/xr_misc_registry.h"
#include "scan/main_texts.h"
#include "scan/update_cleanup.h"
#include "tests/testlib/program_run_win.h"
#include "tests/testlib/test_paths.h"

#ifndef QZ_QUORLIX_EXE
#error "QZ_QUORLIX_EXE names the program under test"
#endif

namespace {

const String kCaption = u"Quorlix Zeva - Version 1.1";
constexpr int kFolderEditWidth = 227;  // tells the folder box from the ignore box
const String kProductKey = u"Software\\Brevane\\Quorlix";

// One run of the program; closes it (as the window's close box does) when it ends.
class Program {
public:
  explicit Program(const String& arguments) : run_(HostPath(QZ_QUORLIX_EXE), arguments) {
    window_ = run_.WaitForWindow(kCaption, 20000);
  }
  ~Program() { Close(); }
  HWND Window() const { return window_; }
  DWORD Pid() const { return run_.Pid(); }

  // Closes the window and waits for the program to end; true when it did.
  bool Close() {
    if (!run_.Started()) return true;
    if (window_) PostMessageW(window_, WM_CLOSE, 0, 0);
    const bool ended = run_.Ended(20000);
    run_.Terminate();
    window_ = nullptr;
    return ended;
  }

  // A child control by class and text (empty: any) or, for edits, width.
  HWND Child(const String& className, const String& text, int width = 0) const {
    return FindChildControl(window_, className, text, width);
  }

private:
  ProgramRun run_;
  HWND window_ = nullptr;
};

bool Exists(const String& path) { return GetFileAttributesW(W(path)) != INVALID_FILE_ATTRIBUTES; }

void MakeFile(const String& path) {
  UniqueFileHandle h(CreateFileW(W(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  ASSERT_TRUE(h) << ToUtf8(path);
}

class QuorlixProgram : public ::testing::Test {
protected:
  void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, W(kProductKey)); }
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, W(kProductKey)); }
};

}  // namespace

TEST_F(QuorlixProgram, SettingsSurviveARestart) {
  const String folder = u"C:\\restart test\\";
  {
    Program first(u"");
    ASSERT_TRUE(first.Window()) << "Quorlix did not show its window";
    HWND edit = first.Child(u"Edit", u"", kFolderEditWidth);
    HWND hidden = first.Child(u"Button", u"Hidden files and folders");
    HWND size = first.Child(u"Button", u"Include size data");
    ASSERT_TRUE(edit && hidden && size);
    EXPECT_EQ(ControlText(edit), u"");  // first run
    SendMessageW(edit, WM_SETTEXT, 0, LPARAM(W(folder)));
    SendMessageW(hidden, BM_CLICK, 0, 0);
    SendMessageW(size, BM_CLICK, 0, 0);
    ASSERT_TRUE(first.Close());
  }
  EXPECT_EQ(RegReadString(main_texts::kGeneralKey, u"ScanDir", u"<none>"), folder);
  {
    Program second(u"");
    ASSERT_TRUE(second.Window());
    EXPECT_EQ(ControlText(second.Child(u"Edit", u"", kFolderEditWidth)), folder);
    EXPECT_EQ(SendMessageW(second.Child(u"Button", u"Hidden files and folders"), BM_GETCHECK, 0, 0),
              BST_CHECKED);
    EXPECT_EQ(SendMessageW(second.Child(u"Button", u"Include size data"), BM_GETCHECK, 0, 0),
              BST_UNCHECKED);
    EXPECT_EQ(SendMessageW(second.Child(u"Button", u"System files and folders"), BM_GETCHECK, 0, 0),
              BST_UNCHECKED);
  }
}

TEST_F(QuorlixProgram, HandBackCleansTheUpdateFolderItCameFrom) {
  const String temp = WindowsTempFolder();
  ASSERT_FALSE(temp.empty());
  struct Case {
    const char* name;
    const char16_t* token;
    bool cleaned;
  } cases[] = {
      {"the token", u"tq5082tq67", true},
      {"the token in capitals", u"TQ5082TQ67", false},
      {"the token with an extra character", u"tq5082tq67x", false},
  };
  int n = 0;
  for (const Case& c : cases) {
    const String folder = temp + u"vq10" + FromAscii(std::to_string(GetCurrentProcessId())) +
                          FromAscii(std::to_string(++n)) + u"tmp";
    ASSERT_TRUE(CreateDirectoryW(W(folder), nullptr));
    ASSERT_TRUE(CreateDirectoryW(W(folder + u"\\Files"), nullptr));
    const String setup = folder + u"\\Update_Quorlix.exe";
    for (const String& f : {setup, folder + u"\\_vqupdate.exe", folder + u"\\Files\\Quorlix.exe"})
      MakeFile(f);
    {
      Program program(String(c.token) + u" \"" + setup + u"\"");
      EXPECT_TRUE(program.Window()) << c.name << ": the window did not open";
    }
    EXPECT_EQ(Exists(setup), !c.cleaned) << c.name;
    EXPECT_EQ(Exists(folder + u"\\Files"), !c.cleaned) << c.name;
    EXPECT_EQ(Exists(folder), !c.cleaned) << c.name;
    for (const String& f : {setup, folder + u"\\_vqupdate.exe", folder + u"\\Files\\Quorlix.exe"})
      DeleteFileW(W(f));
    RemoveDirectoryW(W(folder + u"\\Files"));
    RemoveDirectoryW(W(folder));
  }
}

TEST_F(QuorlixProgram, SupportModulesNamedObjectsLiveAsLongAsTheProgram) {
  Program program(u"");
  ASSERT_NE(program.Window(), nullptr);
  const std::wstring pid = std::to_wstring(program.Pid());
  const std::wstring mutexName = L"MutexNPA_UnitVersioning_" + pid;
  const std::wstring memoryName = L"ShmNPA_UnitVersioning_" + pid;
  {
    UniqueHandle mutex(OpenMutexW(SYNCHRONIZE, FALSE, mutexName.c_str()));
    UniqueHandle memory(OpenFileMappingW(FILE_MAP_READ, FALSE, memoryName.c_str()));
    EXPECT_TRUE(mutex) << "the registry's mutex exists while the program runs";
    EXPECT_TRUE(memory) << "the registry's shared block exists while the program runs";
  }
  ASSERT_TRUE(program.Close());
  EXPECT_FALSE(UniqueHandle(OpenMutexW(SYNCHRONIZE, FALSE, mutexName.c_str())));
  EXPECT_FALSE(UniqueHandle(OpenFileMappingW(FILE_MAP_READ, FALSE, memoryName.c_str())));
}
