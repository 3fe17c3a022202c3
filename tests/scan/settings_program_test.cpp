// The real Quorlix.exe, started and closed as a user or the setup program would: its
// settings across two program starts, the clean-up after a setup hand-back, and the
// support modules' named objects living exactly as long as the program.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/win_handle.h"
#include "base/win_string.h"
#include "common/xr_misc_registry.h"
#include "scan/main_texts.h"
#include "scan/update_cleanup.h"
#include "tests/testlib/test_paths.h"

#ifndef QZ_QUORLIX_EXE
#error "QZ_QUORLIX_EXE names the program under test"
#endif

namespace {

constexpr wchar_t kCaption[] = L"Quorlix Zeva - Version 1.1";
constexpr int kFolderEditWidth = 227;  // tells the folder box from the ignore box
const String kProductKey = u"Software\\Brevane\\Quorlix";

// One run of the program; closes it (as the window's close box does) when it ends.
class Program {
public:
  explicit Program(const String& arguments) {
    const String exe = HostPath(QZ_QUORLIX_EXE);
    String line = u"\"" + exe + u"\" " + arguments;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(W(exe), W(line.data()), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
      return;
    CloseHandle(pi.hThread);
    process_.reset(pi.hProcess);
    pid_ = pi.dwProcessId;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 20000; Sleep(50)) {
      window_ = FindWindowW(nullptr, kCaption);
      DWORD pid = 0;
      if (window_) GetWindowThreadProcessId(window_, &pid);
      if (window_ && pid == pid_ && IsWindowVisible(window_)) return;
      window_ = nullptr;
    }
  }
  ~Program() { Close(); }
  HWND Window() const { return window_; }
  DWORD Pid() const { return pid_; }

  // Closes the window and waits for the program to end; true when it did.
  bool Close() {
    if (!process_) return true;
    if (window_) PostMessageW(window_, WM_CLOSE, 0, 0);
    const bool ended = WaitForSingleObject(process_.get(), 20000) == WAIT_OBJECT_0;
    if (!ended) TerminateProcess(process_.get(), 1);
    process_.reset();
    window_ = nullptr;
    return ended;
  }

  // A child control by class and text (empty: any) or, for edits, width.
  HWND Child(const wchar_t* className, const String& text, int width = 0) const {
    Search s{className, text, width, nullptr};
    EnumChildWindows(window_, &Program::Match, LPARAM(&s));
    return s.found;
  }

private:
  struct Search {
    const wchar_t* className;
    String text;
    int width;
    HWND found;
  };
  static BOOL CALLBACK Match(HWND w, LPARAM lp) {
    auto* s = reinterpret_cast<Search*>(lp);
    wchar_t cls[64] = {};
    GetClassNameW(w, cls, 64);
    if (_wcsicmp(cls, s->className) != 0) return TRUE;
    if (!s->text.empty() && TextOf(w) != s->text) return TRUE;
    RECT r{};
    GetWindowRect(w, &r);
    if (s->width && r.right - r.left != s->width) return TRUE;
    s->found = w;
    return FALSE;
  }

public:
  static String TextOf(HWND w) {
    std::vector<wchar_t> buf(size_t(SendMessageW(w, WM_GETTEXTLENGTH, 0, 0)) + 1);
    SendMessageW(w, WM_GETTEXT, buf.size(), LPARAM(buf.data()));
    return FromW(buf.data());
  }

private:
  UniqueHandle process_;
  DWORD pid_ = 0;
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
    HWND edit = first.Child(L"Edit", u"", kFolderEditWidth);
    HWND hidden = first.Child(L"Button", u"Hidden files and folders");
    HWND size = first.Child(L"Button", u"Include size data");
    ASSERT_TRUE(edit && hidden && size);
    EXPECT_EQ(Program::TextOf(edit), u"");  // first run
    SendMessageW(edit, WM_SETTEXT, 0, LPARAM(W(folder)));
    SendMessageW(hidden, BM_CLICK, 0, 0);
    SendMessageW(size, BM_CLICK, 0, 0);
    ASSERT_TRUE(first.Close());
  }
  EXPECT_EQ(RegReadString(main_texts::kGeneralKey, u"ScanDir", u"<none>"), folder);
  {
    Program second(u"");
    ASSERT_TRUE(second.Window());
    EXPECT_EQ(Program::TextOf(second.Child(L"Edit", u"", kFolderEditWidth)), folder);
    EXPECT_EQ(SendMessageW(second.Child(L"Button", u"Hidden files and folders"), BM_GETCHECK, 0, 0),
              BST_CHECKED);
    EXPECT_EQ(SendMessageW(second.Child(L"Button", u"Include size data"), BM_GETCHECK, 0, 0),
              BST_UNCHECKED);
    EXPECT_EQ(SendMessageW(second.Child(L"Button", u"System files and folders"), BM_GETCHECK, 0, 0),
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
