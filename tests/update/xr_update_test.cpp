// The update client end to end: version files and update archives come from a local
// HTTP server, message boxes are answered from a second thread, and the stub that
// stands in for the setup program records the command line it was started with.
#include <windows.h>

#include <shellapi.h>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "base/file_stream.h"
#include "base/format.h"
#include "base/string_list.h"
#include "base/text.h"
#include "base/win_string.h"
#include "support/xs_file_utils.h"
#include "tests/testlib/command_line_stub.h"
#include "tests/testlib/dialog_driver_win.h"
#include "tests/testlib/test_files_win.h"
#include "tests/testlib/test_paths.h"
#include "ui/application.h"
#include "update/progress_form.h"
#include "update/xr_update.h"

namespace {

const String kProduct = u"Quorlix Zeva";
const String kUpdateCaption = u"Quorlix Zeva Update";
const String kUpdateError =
    u"There was a problem checking for or installing the update.  The program could not be "
    u"updated";
const String kServerNotFound =
    kUpdateError +
    u" because the update server was not found.  Please check your internet connection and try "
    u"again.";
const String kDownloadFailed =
    kUpdateError + u".  Please check your internet connection and try again.";
const String kSetupNotStarted =
    kUpdateError + u".  The setup program of the update could not be started.";
const String kUnpackFailed = kUpdateError + u".  The update could not be unpacked.";
const String kRestart =
    u"Updated version of Quorlix Zeva has been downloaded.  Please click OK to restart the "
    u"program and complete the update.";

String ServerBase() {
  static const String base = [] {
    TStringList lines;
    lines.LoadFromFile(HostPath(std::string(QZ_UPDATE_SERVER_STATE) + "/port"));
    return u"http://127.0.0.1:" + Trim(lines[0]) + u"/";
  }();
  return base;
}

// Puts a version file on the server under name; its address.
String ServeVersionFile(const std::string& name, const std::string& body) {
  WriteBytes(HostPath(std::string(QZ_UPDATE_SERVER_STATE) + "/www/" + name), body);
  return ServerBase() + u"files/" + FromUtf8(name);
}

String TestName() {
  return FromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name());
}

struct Box {
  String caption;
  String text;
  bool operator==(const Box&) const = default;
};

void PrintTo(const Box& box, std::ostream* os) {
  *os << "[" << ToUtf8(box.caption) << "] " << ToUtf8(box.text);
}

BOOL CALLBACK CollectStatic(HWND hwnd, LPARAM lp) {
  wchar_t cls[32] = {};
  GetClassNameW(hwnd, cls, 32);
  const String t = WindowText(hwnd);
  if (_wcsicmp(cls, L"Static") == 0 && !t.empty()) {
    auto* text = reinterpret_cast<String*>(lp);
    if (!text->empty()) text->push_back(u'\n');
    *text += t;
  }
  return TRUE;
}

// Answers every message box of this process in turn, with the given buttons and Cancel
// for any box beyond them, and notes what each showed.
class BoxAnswerer {
public:
  explicit BoxAnswerer(std::vector<int> buttons = {})
      : buttons_(std::move(buttons)), thread_([this] { Run(); }) {}
  ~BoxAnswerer() { Finish(); }
  const std::vector<Box>& Finish() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    return seen_;
  }

private:
  void Run() {
    HWND last = nullptr;
    while (!stop_) {
      HWND box = FindOwnDialog();
      if (box && box != last) {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(box, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
        Box seen{WindowText(box), {}};
        EnumChildWindows(box, CollectStatic, reinterpret_cast<LPARAM>(&seen.text));
        const int button = seen_.size() < buttons_.size() ? buttons_[seen_.size()] : IDCANCEL;
        seen_.push_back(seen);
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
        last = box;
      }
      Sleep(20);
    }
  }

  std::vector<int> buttons_;
  std::vector<Box> seen_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// Notes whether the progress window showed while it runs.
class ProgressWatcher {
public:
  ProgressWatcher() : thread_([this] { Run(); }) {}
  ~ProgressWatcher() { Finish(); }
  bool Finish() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    return seen_;
  }

private:
  void Run() {
    while (!stop_) {
      HWND w = FindWindowW(nullptr, L"Updating...");
      DWORD pid = 0;
      if (w) GetWindowThreadProcessId(w, &pid);
      if (w && pid == GetCurrentProcessId() && IsWindowVisible(w)) seen_ = true;
      Sleep(5);
    }
  }
  std::atomic<bool> stop_{false};
  std::atomic<bool> seen_{false};
  std::thread thread_;
};

// The temporary folder of the process is a scratch folder for each test.
class UpdateClient : public ::testing::Test {
protected:
  UpdateClient() : temp_("update-client-" + ToUtf8(TestName())) {
    SetEnvironmentVariableW(L"TMP", W(temp_.Path()));
    SetEnvironmentVariableW(L"TEMP", W(temp_.Path()));
    update_.FVersion = u"1.1";
    update_.FProductName = kProduct;
    update_.FExePath = u"C:\\Program Files\\Quorlix\\Quorlix.exe";
    update_.FExeName = u"Quorlix.exe";
    update_.OsVersion = TOsVersionFacts{.PlatformId = 2, .MajorVersion = 6};
  }

  // Checks against a version file of this body with the boxes answered as given.
  std::vector<Box> Check(const std::string& body, std::vector<int> buttons = {}) {
    update_.FVersionUrl = ServeVersionFile(ToUtf8(TestName()) + ".dat", body);
    BoxAnswerer answer(std::move(buttons));
    update_.CheckForUpdate();
    return answer.Finish();
  }

  String Url(const String& route) const { return ServerBase() + route; }
  String UpdateFolder(int n) const { return temp_.Path() + u"\\vq10" + IntToStr(n) + u"tmp"; }

  ScratchDir temp_;
  TXrUpdate update_;
};

// The command line the stub setup program recorded in Folder: the program, the rest.
std::pair<String, String> RecordedCommandLine(const String& folder) {
  const String file = folder + u"\\" + kCommandLineRecord;
  for (int i = 0; i < 500 && !IsExistingFile(file); ++i) Sleep(20);
  TStringList lines;
  lines.LoadFromFile(file, TTextEncoding::Utf8);
  const String line = lines.Count() > 0 ? lines[0] : String();
  if (line.empty()) return {};
  const bool quoted = line[0] == u'"';
  const size_t end = quoted ? line.find(u'"', 1) : line.find(u' ');
  if (end == String::npos) return {line, String()};
  const String program = quoted ? line.substr(1, end - 1) : line.substr(0, end);
  const size_t rest = quoted ? end + 2 : end + 1;
  return {program, rest < line.size() ? line.substr(rest) : String()};
}

TEST_F(UpdateClient, VersionFileDecidesWhatShows) {
  const Box latest{u"Quorlix Zeva, Version 1.1", u"You have the latest version of Quorlix Zeva"};
  const Box maintenance{u"Information", u"Maintenance tonight"};
  struct Case {
    const char* body;
    std::vector<int> buttons;
    std::vector<Box> boxes;
  } cases[] = {
      {"1.1", {}, {latest}},
      {"1.2", {}, {}},
      {"1.10", {}, {}},
      {"1.09\r\n", {}, {latest}},
      {"\xEF\xBB\xBF" "1.1\r\n", {}, {latest}},  // a byte-order mark is no part of line 1
      {"1.1\n1|1|Maintenance tonight|", {}, {maintenance}},
      {"1.1\r\n0|1|Maintenance tonight|", {}, {latest}},
      {"1.1\r2|1|Maintenance tonight|", {}, {latest}},
      {"1.2\n0|4|x|\n0|abc|x|\n0|-1|x|", {}, {}},
      // texts from the file are shown as they stand
      {"1.2\n0|1|100%s done %d %n|", {}, {{u"Information", u"100%s done %d %n"}}},
      // a question answered No ends everything, always-lines included
      {"1.2\n0|2|Install the new version?|Update available\n1|1|Maintenance tonight|",
       {IDNO},
       {{u"Update available", u"Install the new version?"}}},
      {"1.1\n1|2|Go on?|Question\n1|1|Maintenance tonight|",
       {IDYES},
       {{u"Question", u"Go on?"}, maintenance}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.body);
    EXPECT_EQ(Check(c.body, c.buttons), c.boxes);
    EXPECT_FALSE(update_.FRestartNeeded);
  }
}

TEST_F(UpdateClient, VersionFileNotFetchedShowsTheUpdateError) {
  const Box error{kUpdateCaption, kServerNotFound};
  struct Case {
    String url;
    const char* what;
  } cases[] = {
      {Url(u"files/no-such-file.dat"), "404"},
      {ServeVersionFile("empty.dat", ""), "empty file"},
      {ServeVersionFile("blank.dat", " \r\n\r\n"), "blank lines only"},
      {ServeVersionFile("huge.dat", "1.2\n" + std::string(70 * 1024, 'x')), "over the size cap"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    update_.FVersionUrl = c.url;
    BoxAnswerer answer;
    update_.CheckForUpdate();
    EXPECT_EQ(answer.Finish(), std::vector<Box>{error});
    EXPECT_EQ(update_.FVersionLines.Count(), 0);
  }
}

TEST_F(UpdateClient, OpenLineHandsOnlyWebAddressesToTheShell) {
  std::vector<TShellRequest> opened;
  update_.ShellRun = [&](const TShellRequest& r) {
    opened.push_back(r);
    return intptr_t(42);
  };
  EXPECT_EQ(Check("1.2\n0|3|https://example.org/news?id=1|\n0|3|C:\\Windows\\notepad.exe|\n"
                  "0|3|file:///C:/Windows/notepad.exe|\n0|3|http://|\n1|3|HTTP://example.org/|"),
            std::vector<Box>{});
  ASSERT_EQ(opened.size(), 2u);
  EXPECT_EQ(opened[0].Verb, u"open");
  EXPECT_EQ(opened[0].File, u"https://example.org/news?id=1");
  EXPECT_EQ(opened[0].Parameters, u"");
  EXPECT_EQ(opened[0].Directory, u"");
  EXPECT_EQ(opened[1].File, u"HTTP://example.org/");
  // A refused target is not carried out: an old version file then says so.
  opened.clear();
  EXPECT_EQ(Check("1.1\n1|3|C:\\Windows\\notepad.exe|"),
            (std::vector<Box>{{u"Quorlix Zeva, Version 1.1",
                               u"You have the latest version of Quorlix Zeva"}}));
  EXPECT_TRUE(opened.empty());
}

TEST_F(UpdateClient, InstallDownloadsUnpacksAndStartsTheSetupProgram) {
  struct Case {
    TOsVersionFacts os;
    const char16_t* setupName;
  } cases[] = {
      {{.PlatformId = 2, .MajorVersion = 6}, u"Update_Quorlix.exe"},
      {{.PlatformId = 2, .MajorVersion = 5}, u"_vqupdate.exe"},  // XP
      {{.PlatformId = 1, .MajorVersion = 4}, u"_vqupdate.exe"},  // 98
  };
  // A folder left by an earlier update is not reused.
  ASSERT_TRUE(CreateDirectoryW(W(UpdateFolder(1)), nullptr));
  int n = 2;
  for (const Case& c : cases) {
    SCOPED_TRACE(ToUtf8(c.setupName));
    update_.OsVersion = c.os;
    update_.FRestartNeeded = false;
    ProgressWatcher progress;
    const std::vector<Box> boxes =
        Check("1.2\n0|2|Install the new version?|Update available\n0|5|" +
                  ToUtf8(Url(u"trickle/update.zip")) + "|\n0|1|Done|",
              {IDYES, IDOK, IDOK});
    EXPECT_TRUE(progress.Finish());
    EXPECT_EQ(FindWindowW(nullptr, L"Updating..."), nullptr);
    EXPECT_EQ(boxes, (std::vector<Box>{{u"Update available", u"Install the new version?"},
                                       {kUpdateCaption, kRestart},
                                       {u"Information", u"Done"}}));
    EXPECT_TRUE(update_.FRestartNeeded);

    const String folder = UpdateFolder(n++);
    const auto [program, parameters] = RecordedCommandLine(folder);
    EXPECT_TRUE(SameText(program, folder + u"\\" + c.setupName)) << ToUtf8(program);
    EXPECT_EQ(parameters, u"tq5082tq67 \"" + folder +
                              u"\\Files\\\" \"C:\\Program Files\\Quorlix\\\" \"Quorlix.exe\"");
    EXPECT_TRUE(IsExistingFile(folder + u"\\Files\\Quorlix.exe"));
    EXPECT_FALSE(IsExistingFile(folder + u"\\update.zip"));
  }
}

TEST_F(UpdateClient, FailedDownloadLeavesNothingAndGoesOn) {
  struct Case {
    String location;
    const char* what;
  } cases[] = {
      {Url(u"files/missing.zip"), "404"},
      {Url(u"cut/update.zip"), "body cut short"},
      {Url(u"files/"), "no file name"},
      {Url(u"files/.."), "a name that is no file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::vector<Box> boxes =
        Check("1.2\n0|5|" + ToUtf8(c.location) + "|\n0|1|Still here|", {IDOK, IDOK});
    EXPECT_EQ(boxes, (std::vector<Box>{{kUpdateCaption, kDownloadFailed},
                                       {u"Information", u"Still here"}}));
    EXPECT_FALSE(update_.FRestartNeeded);
    EXPECT_FALSE(IsExistingDir(UpdateFolder(1)));
  }
}

// Every read of the download past the first comes a minute after the one before.
TEST_F(UpdateClient, StalledDownloadFails) {
  update_.Ticks = [now = uint32_t(0)]() mutable { return now += 61000; };
  update_.DownloadLimits.MinBytesPerWindow = int64_t(1) << 30;
  const std::vector<Box> boxes = Check(
      "1.2\n0|5|" + ToUtf8(Url(u"trickle/update.zip")) + "|\n0|1|Still here|", {IDOK, IDOK});
  EXPECT_EQ(boxes, (std::vector<Box>{{kUpdateCaption, kDownloadFailed},
                                     {u"Information", u"Still here"}}));
  EXPECT_FALSE(update_.FRestartNeeded);
  EXPECT_FALSE(IsExistingDir(UpdateFolder(1)));
}

// A byte now and then against the product's limits, a second going by at each reading of
// the clock: refused about one stall window after the answer began, while it still
// trickles (the server would send the rest at once later).
TEST_F(UpdateClient, TrickleIsRefusedAboutOneWindowIn) {
  const auto now = std::make_shared<uint32_t>(0);
  update_.Ticks = [now] { return *now += 1000; };
  const String file = temp_ / u"download.bin";
  EXPECT_FALSE(update_.DownloadUpdate(Url(u"drip/100000/10/10000"), file));
  EXPECT_FALSE(IsExistingFile(file));
  EXPECT_GE(*now, 60000u);
  EXPECT_LE(*now, 62000u);
}

// The answer comes late, then the body at a steady pace: the wait before the answer is
// not held against the body.
TEST_F(UpdateClient, LateAnswerWithASteadyBodyIsStored) {
  update_.DownloadLimits.StallWindowMs = 500;
  update_.DownloadLimits.MinBytesPerWindow = 500;
  const String file = temp_ / u"download.bin";
  EXPECT_TRUE(update_.DownloadUpdate(Url(u"late/800/10000"), file));
  EXPECT_EQ(ReadBytes(file).size(), 10000u);
}

TEST_F(UpdateClient, DownloadUpToTheSizeLimit) {
  struct Case {
    const char16_t* route;
    int64_t maxSize;
    bool stored;
  } cases[] = {
      {u"size/5000", 5000, true},
      {u"size/5000", 4999, false},     // announced too large
      {u"chunked/5000", 5000, true},
      {u"chunked/5000", 4999, false},  // grew too large
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(ToUtf8(c.route) + " " + std::to_string(c.maxSize));
    update_.DownloadLimits.MaxSize = c.maxSize;
    const String file = temp_ / u"download.bin";
    EXPECT_EQ(update_.DownloadUpdate(Url(c.route), file), c.stored);
    EXPECT_EQ(IsExistingFile(file), c.stored);
    if (c.stored) {
      EXPECT_EQ(ReadBytes(file).size(), 5000u);
    }
    DeleteFileW(W(file));
  }
}

TEST_F(UpdateClient, FailedCloseOfTheDownloadFails) {
  HANDLE handle = nullptr;
  update_.OpenDownloadFile = [&](const String& name) {
    std::unique_ptr<TFileStream> file = CreateDownloadFile(name);
    handle = file->Handle();
    // The system refuses to close a protected handle.
    SetHandleInformation(handle, HANDLE_FLAG_PROTECT_FROM_CLOSE, HANDLE_FLAG_PROTECT_FROM_CLOSE);
    return file;
  };
  EXPECT_FALSE(update_.DownloadUpdate(Url(u"files/update.zip"), temp_ / u"update.zip"));
  ASSERT_NE(handle, nullptr);
  SetHandleInformation(handle, HANDLE_FLAG_PROTECT_FROM_CLOSE, 0);
  EXPECT_TRUE(CloseHandle(handle));
}

// The server makes the archive: the first failure the zip component reports fails the
// update with one box, however many entries would raise it.
TEST_F(UpdateClient, ArchiveTheComponentRefusesFailsWithOneBox) {
  struct Case {
    const char16_t* archive;
    const char* what;
  } cases[] = {
      {u"unknown.zip", "fifty entries of a method it cannot unpack"},
      {u"damaged.zip", "an entry that fails its check"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::vector<Box> boxes = Check(
        "1.2\n0|5|" + ToUtf8(Url(u"files/" + String(c.archive))) + "|\n0|1|Still here|",
        {IDOK, IDOK});
    EXPECT_EQ(boxes, (std::vector<Box>{{kUpdateCaption, kUnpackFailed},
                                       {u"Information", u"Still here"}}));
    EXPECT_FALSE(update_.FRestartNeeded);
    EXPECT_FALSE(IsExistingDir(UpdateFolder(1)));
  }
}

TEST_F(UpdateClient, ArchiveWithoutSetupProgramKeepsTheProgramRunning) {
  const std::vector<Box> boxes =
      Check("1.2\n0|5|" + ToUtf8(Url(u"files/nosetup.zip")) + "|", {IDOK});
  EXPECT_EQ(boxes, (std::vector<Box>{{kUpdateCaption, kSetupNotStarted}}));
  EXPECT_FALSE(update_.FRestartNeeded);
  // Nothing else would ever remove what it unpacked.
  EXPECT_FALSE(IsExistingDir(UpdateFolder(1)));
}

TEST_F(UpdateClient, SetupProgramThatDoesNotStartIsAnError) {
  update_.ShellRun = [](const TShellRequest&) { return intptr_t(SE_ERR_ACCESSDENIED); };
  const std::vector<Box> boxes =
      Check("1.2\n0|5|" + ToUtf8(Url(u"files/update.zip")) + "|", {IDOK, IDOK});
  EXPECT_EQ(boxes, (std::vector<Box>{{kUpdateCaption, kRestart},
                                     {kUpdateCaption, kSetupNotStarted}}));
  EXPECT_FALSE(update_.FRestartNeeded);
  EXPECT_FALSE(IsExistingDir(UpdateFolder(1)));
}

TEST_F(UpdateClient, UnreadableArchiveRaisesAndLeavesNoUpdateFolder) {
  WriteBytes(HostPath(std::string(QZ_UPDATE_SERVER_STATE) + "/www/broken.zip"),
             std::string(4096, 'x'));
  update_.FVersionUrl = ServeVersionFile("broken.dat", "1.2\n0|5|" +
                                                           ToUtf8(Url(u"files/broken.zip")) + "|");
  BoxAnswerer answer;
  EXPECT_ANY_THROW(update_.CheckForUpdate());
  EXPECT_EQ(answer.Finish(), std::vector<Box>{});
  EXPECT_FALSE(update_.FRestartNeeded);
  EXPECT_FALSE(IsExistingDir(UpdateFolder(1)));
}

TEST_F(UpdateClient, ArchiveEntriesStayInsideTheUpdateFolder) {
  const std::vector<Box> boxes =
      Check("1.2\n0|5|" + ToUtf8(Url(u"files/traversal.zip")) + "|", {IDOK});
  EXPECT_EQ(boxes, (std::vector<Box>{{kUpdateCaption, kRestart}}));
  EXPECT_TRUE(update_.FRestartNeeded);
  RecordedCommandLine(UpdateFolder(1));
  for (const char16_t* name : {u"evil1.txt", u"evil2.txt", u"evil3.txt"}) {
    EXPECT_FALSE(IsExistingFile(temp_.Path() + u"\\" + name)) << ToUtf8(name);
    EXPECT_FALSE(IsExistingFile(UpdateFolder(1) + u"\\" + name)) << ToUtf8(name);
  }
  EXPECT_TRUE(IsExistingFile(UpdateFolder(1) + u"\\Files\\Quorlix.exe"));
}

TEST_F(UpdateClient, ProgramUpdateIsStartedInTheUpdateFolder) {
  // Started as the client asks, and waited for: what it leaves is there before the
  // client goes on.
  std::vector<TShellRequest> started;
  update_.ShellRun = [&](const TShellRequest& r) {
    started.push_back(r);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.lpFile = W(r.File);
    info.lpParameters = r.Parameters.empty() ? nullptr : W(r.Parameters);
    info.lpDirectory = r.Directory.empty() ? nullptr : W(r.Directory);
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&info) || !info.hProcess) return intptr_t(0);
    WaitForSingleObject(info.hProcess, INFINITE);
    CloseHandle(info.hProcess);
    return intptr_t(42);
  };
  const std::vector<Box> boxes =
      Check("1.2\n0|6|" + ToUtf8(Url(u"files/Update.EXE")) + "|", {IDOK, IDOK});
  const auto [program, parameters] = RecordedCommandLine(UpdateFolder(1));
  EXPECT_TRUE(SameText(program, UpdateFolder(1) + u"\\Update.EXE")) << ToUtf8(program);
  EXPECT_EQ(parameters, u"update");
  ASSERT_EQ(started.size(), 1u);
  EXPECT_EQ(started[0].Directory, UpdateFolder(1));
  // The program may still be at work in its folder: the folder stays for it.
  EXPECT_TRUE(IsExistingDir(UpdateFolder(1)));
  // It brought no setup program, so there is nothing to restart into.
  EXPECT_EQ(boxes, (std::vector<Box>{{kUpdateCaption, kRestart},
                                     {kUpdateCaption, kSetupNotStarted}}));
  EXPECT_FALSE(update_.FRestartNeeded);
}

TEST_F(UpdateClient, LocalVersionFileAndUpdate) {
  const String www = HostPath(std::string(QZ_UPDATE_SERVER_STATE) + "/www");
  update_.FVersionFile = temp_ / u"versions.dat";
  WriteBytes(update_.FVersionFile, "1.2\r\n0|5|" + ToUtf8(www) + "\\update.zip|\r\n");
  {
    BoxAnswerer answer({IDOK});
    update_.CheckForUpdate();
    EXPECT_EQ(answer.Finish(), (std::vector<Box>{{kUpdateCaption, kRestart}}));
  }
  EXPECT_TRUE(update_.FRestartNeeded);
  EXPECT_EQ(RecordedCommandLine(UpdateFolder(1)).second,
            u"tq5082tq67 \"" + UpdateFolder(1) +
                u"\\Files\\\" \"C:\\Program Files\\Quorlix\\\" \"Quorlix.exe\"");
  EXPECT_TRUE(IsExistingFile(www + u"\\update.zip"));  // the copy went, not the original
  EXPECT_FALSE(IsExistingFile(UpdateFolder(1) + u"\\update.zip"));

  // A local file that cannot be read ends the check without a word.
  update_.FRestartNeeded = false;
  update_.FVersionFile = temp_ / u"missing.dat";
  BoxAnswerer answer;
  update_.CheckForUpdate();
  EXPECT_EQ(answer.Finish(), std::vector<Box>{});
  EXPECT_FALSE(update_.FRestartNeeded);
}

// What the cursor was when the progress window was shown.
TCursor cursorAtShow = crDefault;
bool progressShown = false;
LRESULT CALLBACK NoteCursorAtShow(int code, WPARAM wp, LPARAM lp) {
  const auto* message = reinterpret_cast<const CWPSTRUCT*>(lp);
  if (code == HC_ACTION && message->message == WM_SHOWWINDOW && message->wParam &&
      WindowText(message->hwnd) == u"Updating...") {
    progressShown = true;
    cursorAtShow = Screen().Cursor();
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

TEST_F(UpdateClient, ProgressWindowShowsUnderTheHourglassAndIsReleasedLater) {
  HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, NoteCursorAtShow, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  const bool stored = update_.DownloadUpdate(Url(u"files/update.zip"), temp_ / u"update.zip");
  UnhookWindowsHookEx(hook);
  EXPECT_TRUE(stored);
  EXPECT_TRUE(progressShown);
  EXPECT_EQ(cursorAtShow, crHourGlass);
  EXPECT_EQ(Screen().Cursor(), crDefault);
  EXPECT_EQ(FmProgress, nullptr);
  // Closed at once; the application frees it once the queued messages are handled.
  const HWND window = FindWindowW(nullptr, L"Updating...");
  ASSERT_NE(window, nullptr);
  EXPECT_FALSE(IsWindowVisible(window));
  Application().ProcessMessages();
  EXPECT_FALSE(IsWindow(window));
}

TEST(ProgressWindow, WorkEventsMoveTheBarAndTheLabel) {
  FormPtr<TFmProgress> form = MakeForm<TFmProgress>();
  FmProgress = form.get();
  EXPECT_EQ(form->Caption(), u"Updating...");
  EXPECT_EQ(form->ClientWidth(), 357);
  EXPECT_EQ(form->ClientHeight(), 96);
  TXrUpdate update;
  update.HttpWorkBegin(nullptr, TWorkMode::wmRead, 2048);
  update.HttpWorkBegin(nullptr, TWorkMode::wmWrite, 99);  // only reading counts
  EXPECT_EQ(update.FDownloadSize, 2048);
  struct Case {
    int64_t count;
    const char16_t* label;
    int bar;
  } cases[] = {{512, u"25% done", 25}, {1024, u"50% done", 50}, {2048, u"100% done", 100},
               {1000, u"49% done", 49}};
  for (const Case& c : cases) {
    update.HttpWork(nullptr, TWorkMode::wmRead, c.count);
    EXPECT_EQ(form->LbPercentDone->Caption(), c.label);
    EXPECT_EQ(form->ProgressBar1->Position(), c.bar);
  }
  // The end fills the bar also when the count stopped short.
  update.HttpWorkEnd(nullptr, TWorkMode::wmRead);
  EXPECT_EQ(form->ProgressBar1->Position(), 100);
  FmProgress = nullptr;
}

}  // namespace
