#include "scan/update_cleanup.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "base/win_handle.h"
#include "base/win_string.h"
#include "tests/testlib/test_paths.h"

namespace {

const TCleanUpTiming kNoWait{0, 10, 20};

// Runs a host (Unix) program under Wine and waits for it.
void RunHost(const std::string& commandLine) {
  String line = FromUtf8(commandLine);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(CreateProcessW(nullptr, W(line.data()), nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, &si, &pi))
      << commandLine;
  WaitForSingleObject(pi.hProcess, 10000);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
}

// The host path of a Windows path, when running under Wine; empty elsewhere.
std::string HostPathOf(const String& path) {
  using Fn = char*(CDECL*)(const wchar_t*);
  const auto fn = reinterpret_cast<Fn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
  if (!fn) return std::string();
  char* unix = fn(W(path));
  if (!unix) return std::string();
  std::string result(unix);
  HeapFree(GetProcessHeap(), 0, unix);
  return result;
}

void MakeFile(const String& path, bool readOnly = false) {
  UniqueFileHandle h(CreateFileW(W(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  ASSERT_TRUE(h) << ToUtf8(path);
  DWORD done = 0;
  WriteFile(h.get(), "data", 4, &done, nullptr);
  h.reset();
  if (readOnly) SetFileAttributesW(W(path), FILE_ATTRIBUTE_READONLY);
}

// Every entry under root, relative, sorted; links are listed, not entered.
void ListTree(const String& root, const String& prefix, std::vector<std::string>& out) {
  WIN32_FIND_DATAW found{};
  UniqueFindHandle search(FindFirstFileW(W(root + u"\\*"), &found));
  if (!search) return;
  do {
    const String name = FromW(found.cFileName);
    if (name == u"." || name == u"..") continue;
    out.push_back(ToUtf8(prefix + name));
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
        !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
      ListTree(root + u"\\" + name, prefix + name + u"\\", out);
  } while (FindNextFileW(search.get(), &found));
}

std::string Tree(const String& root) {
  if (GetFileAttributesW(W(root)) == INVALID_FILE_ATTRIBUTES) return "<gone>";
  std::vector<std::string> entries;
  ListTree(root, u"", entries);
  std::sort(entries.begin(), entries.end());
  std::string out;
  for (const std::string& e : entries) out += e + ";";
  return out;
}

String ShortPath(const String& path) {
  wchar_t buffer[MAX_PATH] = {};
  const DWORD n = GetShortPathNameW(W(path), buffer, MAX_PATH);
  return n && n < MAX_PATH ? FromW(buffer, n) : path;
}

// A fresh update-folder name under the temporary folder, unique to this process.
String FreshUpdateFolder(const String& temp) {
  static int counter = 0;
  return temp + u"vq10" + FromAscii(std::to_string(GetCurrentProcessId())) +
         FromAscii(std::to_string(++counter)) + u"tmp";
}

// Removes what a case built, through the host so that no link is ever followed.
class HostRemover {
public:
  void Add(const String& path) { paths_.push_back(HostPathOf(path)); }
  ~HostRemover() {
    for (const std::string& p : paths_)
      if (!p.empty()) RunHost("/bin/rm -rf \"" + p + "\"");
  }

private:
  std::vector<std::string> paths_;
};

}  // namespace

TEST(UpdateCleanUp, CleansOnlyAnUpdateFolderUnderTheTemporaryFolder) {
  const String temp = WindowsTempFolder();
  ASSERT_FALSE(temp.empty());
  ASSERT_EQ(temp.back(), u'\\');
  ScratchDir scratch("update_cleanup_trees");
  if (HostPathOf(scratch.Path()).empty()) GTEST_SKIP() << "links need the host under Wine";

  enum Place { kTemp, kElsewhere };
  struct Case {
    const char* name;
    Place place;
    std::vector<String> files;     // relative to the folder; "Files\\x" creates Files
    std::vector<String> readOnly;  // files made read-only
    std::vector<String> folders;
    bool filesIsLink;   // "Files" links to a folder outside holding "precious.txt"
    bool folderIsLink;  // the folder itself links to one outside
    String setup;       // the setup program named on the command line
    std::string remains;
    bool shortNames = false;  // the setup path and the temporary folder in 8.3 form
  } cases[] = {
      {"update folder", kTemp,
       {u"Update_Quorlix.exe", u"_vqupdate.exe", u"Files\\Quorlix.exe", u"Files\\Quorlix.chm"},
       {}, {u"Files"}, false, false, u"Update_Quorlix.exe", "<gone>"},
      {"distribution folder", kElsewhere,
       {u"_setup.exe", u"readme.txt", u"Files\\Quorlix.exe"}, {}, {u"Files"}, false, false,
       u"_setup.exe", "Files;Files\\Quorlix.exe;readme.txt;"},
      {"other subfolder stays", kTemp, {u"Update_Quorlix.exe", u"y.txt", u"keep\\x.txt"}, {},
       {u"keep"}, false, false, u"Update_Quorlix.exe", "keep;keep\\x.txt;"},
      {"read-only file stays", kTemp,
       {u"Update_Quorlix.exe", u"Files\\a.txt", u"Files\\ro.dll", u"b.txt"}, {u"Files\\ro.dll"},
       {u"Files"}, false, false, u"Update_Quorlix.exe", "Files;Files\\ro.dll;"},
      {"payload folder is a link", kTemp, {u"Update_Quorlix.exe", u"b.txt"}, {}, {}, true, false,
       u"Update_Quorlix.exe", "Files;"},
      {"update folder is a link", kTemp, {u"Update_Quorlix.exe", u"b.txt"}, {}, {}, false, true,
       u"Update_Quorlix.exe", "b.txt;"},
      {"not a program file", kTemp, {u"notes.txt", u"b.txt"}, {}, {}, false, false, u"notes.txt",
       "b.txt;notes.txt;"},
      {"setup program already gone", kTemp, {u"b.txt", u"Files\\a.txt"}, {}, {u"Files"}, false,
       false, u"Update_Quorlix.exe", "<gone>"},
      {"short names", kTemp, {u"Update_Quorlix.exe", u"Files\\a.txt"}, {}, {u"Files"}, false,
       false, u"Update_Quorlix.exe", "<gone>", true},
  };
  int n = 0;
  for (const Case& c : cases) {
    HostRemover remover;
    const String outside = scratch / FromAscii("outside" + std::to_string(++n));
    ASSERT_TRUE(CreateDirectoryW(W(outside), nullptr));
    MakeFile(outside + u"\\precious.txt");
    const String folder = c.place == kTemp ? FreshUpdateFolder(temp)
                                           : scratch / FromAscii("vq10" + std::to_string(n) + "tmp");
    remover.Add(folder);
    String content = folder;  // where the files go
    if (c.folderIsLink) {
      content = scratch / FromAscii("linked" + std::to_string(n));
      ASSERT_TRUE(CreateDirectoryW(W(content), nullptr));
      RunHost("/bin/ln -s \"" + HostPathOf(content) + "\" \"" + HostPathOf(folder) + "\"");
    } else {
      ASSERT_TRUE(CreateDirectoryW(W(folder), nullptr));
    }
    for (const String& d : c.folders) ASSERT_TRUE(CreateDirectoryW(W(content + u"\\" + d), nullptr));
    if (c.filesIsLink)
      RunHost("/bin/ln -s \"" + HostPathOf(outside) + "\" \"" + HostPathOf(content) + "/Files\"");
    for (const String& f : c.files)
      MakeFile(content + u"\\" + f,
               std::find(c.readOnly.begin(), c.readOnly.end(), f) != c.readOnly.end());

    String setupPath = folder + u"\\" + c.setup;
    String tempPath = temp;
    if (c.shortNames) {
      setupPath = ShortPath(setupPath);
      tempPath = ShortPath(temp);
      ASSERT_NE(setupPath.find(u'~'), String::npos) << ToUtf8(setupPath);
    }
    CleanUpSetupFiles(setupPath, tempPath, kNoWait);

    EXPECT_EQ(Tree(content == folder ? folder : content), c.remains) << c.name;
    EXPECT_EQ(Tree(outside), "precious.txt;") << c.name;
    for (const String& f : c.readOnly) SetFileAttributesW(W(content + u"\\" + f), FILE_ATTRIBUTE_NORMAL);
  }
}

// The argument is judged as given: a relative name would be resolved against whatever
// folder the program happens to start in.
TEST(UpdateCleanUp, ARelativeSetupPathDeletesNothing) {
  const String temp = WindowsTempFolder();
  HostRemover remover;
  const String folder = FreshUpdateFolder(temp);
  remover.Add(folder);
  ASSERT_TRUE(CreateDirectoryW(W(folder), nullptr));
  MakeFile(folder + u"\\tool.exe");
  MakeFile(folder + u"\\other.txt");
  wchar_t previous[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, previous);
  ASSERT_TRUE(SetCurrentDirectoryW(W(folder)));
  const String drive = folder.substr(0, 2);  // "X:"
  for (const String& path : {String(u"tool.exe"), drive + u"tool.exe", String(u".\\tool.exe"),
                             String(u"..\\") + folder.substr(folder.rfind(u'\\') + 1) +
                                 u"\\tool.exe"}) {
    CleanUpSetupFiles(path, temp, kNoWait);
    EXPECT_EQ(Tree(folder), "other.txt;tool.exe;") << ToUtf8(path);
  }
  SetCurrentDirectoryW(previous);
}

TEST(UpdateCleanUp, WaitsForASetupProgramStillEnding) {
  const String temp = WindowsTempFolder();
  HostRemover remover;
  struct Case {
    const char* name;
    int attempts;
    std::string remains;
  } cases[] = {
      {"released during the retries", 20, "<gone>"},
      {"still held after the last try", 1, "Update_Quorlix.exe;"},
  };
  for (const Case& c : cases) {
    const String folder = FreshUpdateFolder(temp);
    remover.Add(folder);
    ASSERT_TRUE(CreateDirectoryW(W(folder), nullptr));
    const String setup = folder + u"\\Update_Quorlix.exe";
    MakeFile(setup);
    // Open without sharing deletion, as a program still running holds its file.
    UniqueFileHandle held(CreateFileW(W(setup), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    ASSERT_FALSE(DeleteFileW(W(setup)));
    std::atomic<bool> done{false};
    std::thread releaser([&] {
      for (int i = 0; i < 30 && !done; ++i) Sleep(10);
      held.reset();
    });
    CleanUpSetupFiles(setup, temp, TCleanUpTiming{0, c.attempts, 50});
    done = true;
    releaser.join();
    EXPECT_EQ(Tree(folder), c.remains) << c.name;
  }
}

TEST(UpdateCleanUp, DeleteTopLevelFilesKeepsFoldersAndRemovesOnlyAnEmptiedFolder) {
  ScratchDir scratch("update_cleanup_top_level");
  const String dir = scratch / u"d";
  ASSERT_TRUE(CreateDirectoryW(W(dir), nullptr));
  ASSERT_TRUE(CreateDirectoryW(W(dir + u"\\sub"), nullptr));
  MakeFile(dir + u"\\a.txt");
  MakeFile(dir + u"\\.hidden");
  SetFileAttributesW(W(dir + u"\\.hidden"), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  MakeFile(dir + u"\\sub\\deep.txt");
  DeleteTopLevelFiles(dir);  // no trailing backslash
  EXPECT_EQ(Tree(dir), "sub;sub\\deep.txt;");
  DeleteTopLevelFiles(dir + u"\\sub\\");
  DeleteTopLevelFiles(dir + u"\\");
  EXPECT_EQ(Tree(dir), "<gone>");
}
