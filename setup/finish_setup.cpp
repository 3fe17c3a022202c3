// The end of every wizard run: payload clean-up, then the hand-back to the installed
// program or the setup program's deletion at the next restart.
#include <windows.h>

#include <vector>

#include "base/files.h"
#include "base/text.h"
#include "base/win_directory.h"
#include "base/win_string.h"
#include "setup/main_form.h"
#include "setup/setup_support.h"
#include "setup/setup_texts.h"
#include "setup/user_start.h"
#include "ui/application.h"

namespace st = setup_texts;

namespace {

String LongPath(const String& path) {
  std::vector<wchar_t> buffer(MAX_PATH * 2);
  DWORD n = GetLongPathNameW(W(path), buffer.data(), DWORD(buffer.size()));
  if (n == 0 || n >= buffer.size()) return path;
  return FromW(buffer.data(), n);
}

// Whether dir lies inside the user's temporary folder (both as long paths).
bool IsBelowTempFolder(const String& dir) {
  wchar_t temp[MAX_PATH + 1] = {};
  const DWORD n = GetTempPathW(MAX_PATH + 1, temp);
  if (n == 0 || n > MAX_PATH) return false;
  String tempDir = LongPath(FromW(temp, n));
  String setupDir = LongPath(dir);
  AddTrailingChar(tempDir, u'\\');
  AddTrailingChar(setupDir, u'\\');
  return setupDir.size() > tempDir.size() &&
         AnsiSameText(StringView(setupDir).substr(0, tempDir.size()), tempDir);
}

}  // namespace

bool TFmMain::PayloadIsDisposable() const { return FInstalled || IsBelowTempFolder(FSetupDir); }

void TFmMain::FinishSetup(bool RunProgram) {
  // A cancelled run from a folder of the user's own keeps its files.
  const bool disposable = PayloadIsDisposable();
  if (disposable) {
    const String payloadDir = FSetupDir + st::kPayloadFolder + u"\\";
    ForEachEntry(payloadDir + u"*.*", [&](const TFoundEntry& entry) {
      if (entry.Name != FSetupExeName) DeleteFileW(W(payloadDir + entry.Name));
    });
    // A folder that still holds something stays, like any file that would not go.
    if (DirExists(payloadDir)) RemoveDir(payloadDir);
    for (const Char* updater : {st::kUpdaterName9x, st::kUpdaterNameNT}) {
      const String path = FSetupDir + updater;
      if (FileExists(path)) DeleteFileW(W(path));
    }
  }

  bool started = false;
  if (RunProgram && FChoices.RunProgram) {
    const String program = TrimmedFolderPath(FChoices.DestDir) + st::kProgramFile;
    // Not with the setup program's administrator rights: the program, and every update
    // it later fetches and starts, would have them too. The call to the shell's process
    // handles messages while it waits; no click may reach the wizard meanwhile.
    TWindowDisabler disabled(*this);
    started = StartAsDesktopUser(program, HandBackParameters(FSetupPath));
  }
  // Without a started program nobody else deletes the setup program.
  if (!started && disposable)
    MoveFileExW(W(FSetupDir + FSetupExeName), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);

  if (RunProgram) {
    OnClose = nullptr;
    OnCloseQuery = nullptr;
    Close();
  }
}
