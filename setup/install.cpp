// The install step: payload copy, uninstall entry, shortcuts and uninstall log.
#include <windows.h>

#include <shlobj.h>

#include "base/exception.h"
#include "base/files.h"
#include "base/in_out_error.h"
#include "base/win_directory.h"
#include "base/win_string.h"
#include "common/xr_misc_text.h"
#include "setup/install.h"
#include "setup/main_form.h"
#include "setup/setup_support.h"
#include "setup/setup_texts.h"
#include "setup/uninstall_log.h"
#include "ui/application.h"

namespace st = setup_texts;

namespace {

// Copies every file at the top level of payloadDir into destDir (ending in a
// backslash), skipping the setup program's own name and sub-folders; each copied
// file is logged. A missing payload or a failed copy raises EInOutError.
void CopyPayload(const String& payloadDir, const String& destDir, const String& setupExeName,
                 TUninstallLog& log, const std::function<void()>& stepProgress) {
  const DWORD error = ForEachEntry(payloadDir + u"*.*", [&](const TFoundEntry& entry) {
    const String& name = entry.Name;
    if (name == setupExeName || (entry.Attributes & FILE_ATTRIBUTE_DIRECTORY)) return;
    if (!CopyFileW(W(payloadDir + name), W(destDir + name), FALSE)) RaiseInOutError(GetLastError());
    log.AddUninstallEntry(ukFile, destDir + name);
    stepProgress();
  });
  if (error != ERROR_SUCCESS) RaiseInOutError(error);
}

void WriteUninstallEntry(const String& installDir) {
  const String key = st::kUninstallKey;
  RegWriteStringHKLM(key, u"DisplayIcon", installDir + st::kProgramFile);
  RegWriteStringHKLM(key, u"DisplayName", st::kProductName);
  RegWriteStringHKLM(key, u"DisplayVersion", st::kProductVersion);
  RegWriteStringHKLM(key, u"InstallLocation", installDir);
  RegWriteStringHKLM(key, u"Publisher", st::kPublisher);
  RegWriteStringHKLM(key, u"UninstallString", UninstallCommand(installDir));
  RegWriteStringHKLM(key, u"URLInfoAbout", st::kWebSite);
  RegWriteStringHKLM(key, u"URLUpdateInfo", st::kWebSite);
  RegWriteStringHKLM(key, u"HelpLink", st::kWebSite);
  RegWriteIntegerHKLM(key, u"EstimatedSize", st::kEstimatedSizeKB);
  RegWriteIntegerHKLM(key, u"NoModify", 1);
  RegWriteIntegerHKLM(key, u"NoRepair", 1);
}

}  // namespace

void InstallProgram(const TInstallChoices& choices, const TSetupProgram& setup,
                    const std::function<void()>& stepProgress) {
  TUninstallLog log;
  const String installDir = TrimmedFolderPath(choices.DestDir);
  String dest = installDir;
  RemoveTrailingChar(dest, u'\\');
  log.AddUninstallEntry(ukFolder, dest);
  if (!DirExists(dest)) MakeDirPath(dest);
  stepProgress();

  CopyPayload(setup.Dir + st::kPayloadFolder + u"\\", installDir, setup.ExeName, log,
              stepProgress);
  WriteUninstallEntry(installDir);

  const String programsDir = GetSpecialFolderPath(CSIDL_PROGRAMS);
  const String menuDir = StartMenuFolderPath(choices, programsDir);
  // Logged only when made here: the uninstaller must not remove a folder it found.
  if (!DirExists(menuDir) && CreateDir(menuDir)) log.AddUninstallEntry(ukFolder, menuDir);

  // A shell folder is asked for only when a shortcut goes there.
  const TShortcutFolders folders = {programsDir,
                                    choices.DesktopShortcut ? GetDesktopDir() : String(),
                                    choices.StartMenuShortcut ? GetStartMenuDir() : String()};
  for (const TShortcut& link : ShortcutList(choices, folders)) {
    CreateShortcut(link.File, link.Target, link.Description, u"", u"");
    log.AddUninstallEntry(ukFile, link.File);
  }
  stepProgress();

  const String logFile = installDir + st::kUninstallLog;
  log.AddUninstallEntry(ukFile, logFile);
  log.SaveToFile(logFile);
}

bool TFmMain::Install() {
  try {
    InstallProgram(FChoices, {FSetupDir, FSetupExeName}, [this] { ProgressBar1->StepIt(); });
  } catch (const EInOutError&) {
    TWindowDisabler disabled(*this);
    MessageBoxW(nullptr, W(String(st::kFailedText)), W(String(st::kFailedCaption)),
                MB_OK | MB_ICONERROR);
    return false;
  }
  return true;
}
