// The main window's help, web-site, about and update commands. The help viewer and the
// browser are reached through the window's hooks where a real one cannot be checked;
// the update check runs against a local HTTP server with a stub setup program.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "base/files.h"
#include "base/string_list.h"
#include "base/text.h"
#include "base/win_string.h"
#include "scan/about_form.h"
#include "scan/html_help.h"
#include "scan/main.h"
#include "tests/testlib/dialog_driver_win.h"
#include "tests/testlib/test_paths.h"
#include "tests/ui/gui_test.h"
#include "tests/ui/import_hook.h"

#ifndef QZ_HELP_FILE
#error "QZ_HELP_FILE names the compiled help file"
#endif
#ifndef QZ_MENUS_SERVER_STATE
#error "QZ_MENUS_SERVER_STATE names the local update server's folder"
#endif

namespace {

void WriteBytes(const String& path, const std::string& bytes) {
  HANDLE h = CreateFileW(W(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE) << ToUtf8(path);
  DWORD written = 0;
  WriteFile(h, bytes.data(), DWORD(bytes.size()), &written, nullptr);
  CloseHandle(h);
}

std::string ReadBytes(const String& path) {
  std::string bytes;
  HANDLE h =
      CreateFileW(W(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return bytes;
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(h);
  return bytes;
}

String TestName() {
  return FromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name());
}

struct Opened {
  HWND owner;
  String address;
};

struct HelpCall {
  HWND owner;
  String file;
  String topic;
};

// Runs work on the GUI thread from inside whatever message loop is running then (a
// modal box's, say), once, about ms from now.
class LoopTask {
public:
  LoopTask(int ms, std::function<void()> work) {
    Pending() = std::move(work);
    timer_ = SetTimer(nullptr, 0, UINT(ms), Fire);
  }
  ~LoopTask() {
    if (timer_) KillTimer(nullptr, timer_);
    Pending() = nullptr;
  }
  LoopTask(const LoopTask&) = delete;
  LoopTask& operator=(const LoopTask&) = delete;

private:
  static std::function<void()>& Pending() {
    static std::function<void()> work;
    return work;
  }
  static void CALLBACK Fire(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    std::function<void()> work = std::move(Pending());
    Pending() = nullptr;
    if (work) work();
  }
  UINT_PTR timer_ = 0;
};

struct WindowSearch {
  DWORD pid;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectVisible(HWND hwnd, LPARAM lp) {
  auto* s = reinterpret_cast<WindowSearch*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == s->pid && IsWindowVisible(hwnd)) s->found.push_back(hwnd);
  return TRUE;
}

// This process's visible top-level windows other than those in known.
std::vector<HWND> NewWindows(const std::vector<HWND>& known) {
  WindowSearch s{GetCurrentProcessId(), {}};
  EnumWindows(CollectVisible, reinterpret_cast<LPARAM>(&s));
  std::vector<HWND> out;
  for (HWND h : s.found) {
    bool old = false;
    for (HWND k : known) old = old || k == h;
    if (!old) out.push_back(h);
  }
  return out;
}

std::vector<HWND> WaitForNewWindows(const std::vector<HWND>& known, int ms = 10000) {
  std::vector<HWND> found;
  for (int waited = 0; waited < ms && (found = NewWindows(known)).empty(); waited += 50) {
    gui_test::Pump(50);
  }
  return found;
}

class MenuCommands : public ::testing::Test {
protected:
  MenuCommands() : dir_("menu-commands-" + ToUtf8(TestName())) {}

  void SetUp() override {
    form = MakeForm<TFmMain>();
    form->MenuHooks.ProgramFile = dir_ / u"Quorlix.exe";
    form->MenuHooks.OpenAddress = [this](HWND owner, const String& address) {
      opened.push_back({owner, address});
    };
    form->Show();
    gui_test::Pump(20);
  }

  ScratchDir dir_;
  FormPtr<TFmMain> form;
  std::vector<Opened> opened;
};

TEST_F(MenuCommands, HelpFileBesideTheProgramOrInItsHelpFolder) {
  struct Case {
    const char* what;
    bool beside;
    bool inHelpFolder;
    const char16_t* opened;  // relative to the program's folder; null: the warning shows
  } cases[] = {
      {"beside", true, false, u"Quorlix.chm"},
      {"help folder", false, true, u"help\\Quorlix.chm"},
      {"both: the one beside wins", true, true, u"Quorlix.chm"},
      {"neither", false, false, nullptr},
  };
  std::vector<HelpCall> calls;
  form->MenuHooks.ShowHelp = [&](HWND owner, const String& file, const String& topic) {
    calls.push_back({owner, file, topic});
  };
  const String helpDir = dir_ / u"help";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    calls.clear();
    DeleteFileAt(dir_ / u"Quorlix.chm");
    DeleteFileAt(helpDir + u"\\Quorlix.chm");
    RemoveDir(helpDir);
    if (c.beside) WriteBytes(dir_ / u"Quorlix.chm", "x");
    if (c.inHelpFolder) {
      CreateDir(helpDir);
      WriteBytes(helpDir + u"\\Quorlix.chm", "x");
    }
    if (c.opened) {
      form->MChHelp->Click();
      ASSERT_EQ(calls.size(), 1u);
      EXPECT_EQ(calls[0].owner, form->Handle());
      EXPECT_EQ(calls[0].file, dir_ / c.opened);
      EXPECT_EQ(calls[0].topic, u"main.htm");
    } else {
      HWND main = form->Handle();
      bool disabled = false;
      DialogAnswerer ok(IDOK, [&](HWND) { disabled = !IsWindowEnabled(main); });
      form->MChHelp->Click();
      const SeenDialog& seen = ok.Seen();
      ASSERT_TRUE(seen.found);
      EXPECT_EQ(seen.caption, u"Warning");
      EXPECT_EQ(seen.text, u"Help file does not exist.");
      EXPECT_TRUE(disabled);
      EXPECT_TRUE(calls.empty());
    }
    EXPECT_TRUE(IsWindowEnabled(form->Handle()));
  }
  // A folder of that name is no help file.
  CreateDir(dir_ / u"Quorlix.chm");
  DialogAnswerer ok(IDOK);
  form->MChHelp->Click();
  EXPECT_EQ(ok.Seen().text, u"Help file does not exist.");
  EXPECT_TRUE(calls.empty());
  RemoveDir(dir_ / u"Quorlix.chm");
}

// The real viewer: it opens for the built help file, and goes with the library.
// Every library name the program asks to load while the watch is on.
std::vector<String> librariesAsked;
using LoadLibraryExWFn = HMODULE(WINAPI*)(LPCWSTR, HANDLE, DWORD);
LoadLibraryExWFn realLoadLibraryExW = nullptr;
HMODULE WINAPI WatchedLoadLibraryExW(LPCWSTR name, HANDLE file, DWORD flags) {
  librariesAsked.push_back(name ? FromW(name) : String());
  return realLoadLibraryExW(name, file, flags);
}
using LoadLibraryWFn = HMODULE(WINAPI*)(LPCWSTR);
LoadLibraryWFn realLoadLibraryW = nullptr;
HMODULE WINAPI WatchedLoadLibraryW(LPCWSTR name) {
  librariesAsked.push_back(name ? FromW(name) : String());
  return realLoadLibraryW(name);
}

TEST_F(MenuCommands, HelpViewerOpensAndClosesWithTheLibrary) {
  const std::vector<HWND> before = NewWindows({});
  {
    THtmlHelpLibrary help;
    EXPECT_FALSE(help.Loaded());
    librariesAsked.clear();
    {
      // The library comes from the system folder by its full path, never by its bare
      // name (which would be looked for beside the program first).
      gui_test::ImportHook exHook("kernel32.dll", "LoadLibraryExW",
                                  reinterpret_cast<void*>(&WatchedLoadLibraryExW));
      gui_test::ImportHook plainHook("kernel32.dll", "LoadLibraryW",
                                     reinterpret_cast<void*>(&WatchedLoadLibraryW));
      realLoadLibraryExW = reinterpret_cast<LoadLibraryExWFn>(exHook.Original());
      realLoadLibraryW = reinterpret_cast<LoadLibraryWFn>(plainHook.Original());
      ASSERT_TRUE(exHook.Installed() || plainHook.Installed());
      ASSERT_TRUE(help.DisplayTopic(nullptr, HostPath(QZ_HELP_FILE), u"main.htm"));
    }
    wchar_t system[MAX_PATH] = {};
    const UINT n = GetSystemDirectoryW(system, MAX_PATH);
    ASSERT_GT(n, 0u);
    const String expected = FromW(system, n) + u"\\hhctrl.ocx";
    ASSERT_EQ(librariesAsked.size(), 1u);
    EXPECT_EQ(AnsiUpperCase(librariesAsked[0]), AnsiUpperCase(expected));
    EXPECT_TRUE(help.Loaded());
    const std::vector<HWND> viewer = WaitForNewWindows(before);
    ASSERT_FALSE(viewer.empty()) << "no help viewer window";
  }
  gui_test::Pump(100);
  EXPECT_TRUE(NewWindows(before).empty()) << "the viewer outlived its library";

  // Through the Help command, with the file beside the program.
  const std::string bytes = ReadBytes(HostPath(QZ_HELP_FILE));
  ASSERT_FALSE(bytes.empty());
  WriteBytes(dir_ / u"Quorlix.chm", bytes);
  const std::vector<HWND> known = NewWindows({});
  form->MChHelp->Click();
  EXPECT_FALSE(WaitForNewWindows(known).empty()) << "no help viewer window";
  EXPECT_TRUE(form->MenuHooks.HtmlHelp.Loaded());
  form.reset();
  gui_test::Pump(100);
  EXPECT_TRUE(NewWindows(before).empty());
}

TEST_F(MenuCommands, WebSiteGoesToTheBrowser) {
  form->MChWebSite->Click();
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0].owner, form->Handle());
  EXPECT_EQ(opened[0].address, ProductWebSite());
  EXPECT_EQ(ProductWebSite().rfind(u"http", 0), 0u);
}

TEST_F(MenuCommands, AboutBox) {
  HWND main = form->Handle();
  bool ran = false;
  LoopTask inspect(100, [&] {
    ran = true;
    ASSERT_NE(FmAbout, nullptr);
    TFmAbout& about = *FmAbout;
    EXPECT_FALSE(IsWindowEnabled(main));
    EXPECT_TRUE(about.Modal());
    EXPECT_EQ(about.Caption(), u"About Quorlix Zeva");
    EXPECT_EQ(about.ClientWidth(), 298);
    EXPECT_EQ(about.ClientHeight(), 317);
    EXPECT_EQ(about.Label1->Caption(), u"Quorlix Zeva");
    EXPECT_EQ(about.LbVersion->Caption(), u"Version 1.1");
    EXPECT_EQ(about.LbUrl->Caption(), ProductWebSite());
    EXPECT_EQ(about.LbUrl->Cursor(), crHandPoint);
    EXPECT_TRUE(about.LbUrl->Font().Style & fsUnderline);
    EXPECT_EQ(about.LbUrl->Font().Color, clNavy);
    EXPECT_FALSE(about.Label4->Caption().empty());

    // The pointer over the link and off it again.
    const TRect r = about.LbUrl->BoundsRect();
    const int x = (r.Left + r.Right) / 2, y = (r.Top + r.Bottom) / 2;
    SendMessageW(about.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    EXPECT_EQ(about.LbUrl->Font().Color, clMaroon);
    SendMessageW(about.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(about.LbUrl->Font().Color, clNavy);

    gui_test::Click(about.Handle(), x, y);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].owner, about.Handle());
    EXPECT_EQ(opened[0].address, ProductWebSite());
    about.BitBtn1->Click();
  });
  form->MChAbout->Click();
  EXPECT_TRUE(ran);
  EXPECT_EQ(FmAbout, nullptr);
  EXPECT_TRUE(IsWindowEnabled(main));
  EXPECT_TRUE(form->Visible());
}

// The update check against a local server; the temporary folder is the test's own.
class CheckForUpdates : public MenuCommands {
protected:
  void SetUp() override {
    MenuCommands::SetUp();
    SetEnvironmentVariableW(L"TMP", W(dir_.Path()));
    SetEnvironmentVariableW(L"TEMP", W(dir_.Path()));
  }

  static String ServerBase() {
    TStringList lines;
    lines.LoadFromFile(HostPath(std::string(QZ_MENUS_SERVER_STATE) + "/port"));
    return u"http://127.0.0.1:" + Trim(lines[0]) + u"/";
  }

  void ServeVersionFile(const std::string& body) {
    const std::string name = ToUtf8(TestName()) + ".dat";
    WriteBytes(HostPath(std::string(QZ_MENUS_SERVER_STATE) + "/www/" + name), body);
    form->MenuHooks.VersionUrl = ServerBase() + u"files/" + FromUtf8(name);
  }
};

TEST_F(CheckForUpdates, NotNewerKeepsTheWindowOpen) {
  ServeVersionFile("1.1\r\n");
  HWND main = form->Handle();
  bool disabled = false;
  DialogAnswerer ok(IDOK, [&](HWND) { disabled = !IsWindowEnabled(main); });
  form->MChCheckforUpdates->Click();
  const SeenDialog& seen = ok.Seen();
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(seen.caption, u"Quorlix Zeva, Version 1.1");
  EXPECT_EQ(seen.text, u"You have the latest version of Quorlix Zeva");
  EXPECT_TRUE(disabled);
  gui_test::Pump(50);
  EXPECT_TRUE(form->Visible());
  EXPECT_TRUE(IsWindowEnabled(main));
}

// An archive the zip component cannot read fails the command with the application's
// error box: the main window's own, the window taking no input under it, and active
// afterwards with the keyboard where it was.
TEST_F(CheckForUpdates, AnUnreadableArchiveFailsOverTheDisabledMainWindow) {
  const std::string archive = ToUtf8(TestName()) + ".zip";
  WriteBytes(HostPath(std::string(QZ_MENUS_SERVER_STATE) + "/www/" + archive),
             "this is no zip archive at all");
  ServeVersionFile("1.2\n0|5|" + ToUtf8(ServerBase()) + "files/" + archive + "|\n");
  const HWND main = form->Handle();
  SetForegroundWindow(main);
  form->EdIgnoreExt->SetFocus();
  gui_test::Pump(20);
  ASSERT_EQ(GetFocus(), form->EdIgnoreExt->Handle());
  bool disabled = false;
  DialogAnswerer ok(IDOK, [&](HWND) { disabled = !IsWindowEnabled(main); });
  // As the menu hands it over: the command's window procedure is the one left.
  SendMessageW(main, WM_COMMAND, MAKEWPARAM(form->MChCheckforUpdates->Command(), 0), 0);
  const SeenDialog& seen = ok.Seen();
  ASSERT_TRUE(seen.found);
  EXPECT_FALSE(seen.text.empty());
  EXPECT_EQ(seen.owner, main);
  EXPECT_TRUE(disabled);
  gui_test::Pump(50);
  EXPECT_TRUE(form->Visible());
  EXPECT_TRUE(IsWindowEnabled(main));
  EXPECT_EQ(GetActiveWindow(), main);
  EXPECT_EQ(GetFocus(), form->EdIgnoreExt->Handle());
}

TEST_F(CheckForUpdates, HandOverClosesTheWindow) {
  ServeVersionFile("1.2\n0|5|" + ToUtf8(ServerBase()) + "files/update.zip|\n");
  DialogAnswerer ok(IDOK);
  form->MChCheckforUpdates->Click();
  const SeenDialog& seen = ok.Seen();
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(seen.caption, u"Quorlix Zeva Update");
  gui_test::Pump(50);
  EXPECT_FALSE(form->Visible());

  // The stub setup program was started from the update folder, told this program.
  const String record = dir_ / u"vq101tmp\\command_line.txt";
  for (int i = 0; i < 500 && !FileExists(record); ++i) Sleep(20);
  // Its first line: the whole command line as the system handed it over.
  const std::string text = ReadBytes(record);
  const std::string folder = ToUtf8(dir_.Path());
  EXPECT_EQ(text.substr(0, text.find('\n')),
            "\"" + folder + "\\vq101tmp\\Update_Quorlix.exe\" tq5082tq67 \"" + folder +
                "\\vq101tmp\\Files\\\" \"" + folder + "\\\" \"Quorlix.exe\"");
}

}  // namespace
