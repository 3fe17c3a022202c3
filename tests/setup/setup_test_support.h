// Helpers of the setup tests: files, the 32-bit registry view, shell links, the
// deletions Windows performs at its next restart, and COM for the test thread.
#pragma once

#include <windows.h>

#include <cstdint>
#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "base/string.h"
#include "tests/testlib/test_files_win.h"

namespace setup_test {

// Waits up to ms for a file to appear.
bool WaitForFile(const String& path, int ms);
// Deletes a folder with everything in it (no error when it is missing).
void DeleteTree(const String& path);

// Values under HKEY_LOCAL_MACHINE in one registry view: the 32-bit one by default, or
// the 64-bit one with KEY_WOW64_64KEY.
std::optional<String> MachineString(const String& key, const String& name,
                                    REGSAM view = KEY_WOW64_32KEY);
std::optional<uint32_t> MachineDword(const String& key, const String& name,
                                     REGSAM view = KEY_WOW64_32KEY);
void DeleteMachineKey(const String& key);

struct LinkInfo {
  bool loaded = false;
  String target, arguments, description, workDir;
};
LinkInfo ReadLink(const String& linkFile);

// Files queued for deletion at the next restart (PendingFileRenameOperations,
// without the "\??\" prefix), and removal of the entries a test queued below a folder.
std::vector<String> PendingDeletions();
void ForgetPendingBelow(const String& folder);

// The shell's folder for a CSIDL, without a trailing backslash.
String ShellFolder(int csidl);

// Lower-cased copy (paths from the shell may differ in case).
String Lower(String s);

// Answers every dialog box of this process while it lives: button(caption) picks the
// button to press. What each box showed is kept, in order.
class DialogRecorder {
public:
  struct Box {
    String caption, text;
  };
  explicit DialogRecorder(std::function<int(const String& caption)> button);
  ~DialogRecorder();
  DialogRecorder(const DialogRecorder&) = delete;
  DialogRecorder& operator=(const DialogRecorder&) = delete;
  std::vector<Box> Boxes();

private:
  void Run();
  std::function<int(const String&)> button_;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<Box> boxes_;
  std::thread thread_;
};

// COM on the test thread for the whole run.
class ComScope {
public:
  ComScope() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
  ~ComScope() { CoUninitialize(); }
};

}  // namespace setup_test
