// The install step: payload copy, uninstall entry, shortcuts and uninstall log.
#include <windows.h>

#include <shlobj.h>

#include "base/exception.h"
#include "base/files.h"
#include "base/in_out_error.h"
#include "base/text.h"
#include "base/win_directory.h"
#include "base/win_string.h"
#include "common/xr_misc_text.h"
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
                 TUninstallLog& log, TProgressBar& progress) {
  const DWORD error = ForEachEntry(payloadDir + u"*.*", [&](const TFoundEntry& entry) {
    const String& name = entry.Name;
    if (name == setupExeName || (entry.Attributes & FILE_ATTRIBUTE_DIRECTORY)) return;
    if (!CopyFileW(W(payloadDir + name), W(destDir + name), FALSE)) RaiseInOutError(GetLastError());
    log.AddUninstallEntry(ukFile, destDir + name);
    progress.StepIt();
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

bool TFmMain::Install() {
  bool result = true;
  TUninstallLog log;
  String dest = Trim(EdDestDir->GetText());
  RemoveTrailingChar(dest, u'\\');
  log.AddUninstallEntry(ukFolder, dest);
  try {
    if (!DirExists(dest)) MakeDirPath(dest);
    AddTrailingChar(dest, u'\\');
    ProgressBar1->StepIt();

    CopyPayload(FSetupDir + st::kPayloadFolder + u"\\", dest, FSetupExeName, log, *ProgressBar1);
    WriteUninstallEntry(dest);

    NormalizeStartMenuFolder();
    String menuDir = GetSpecialFolderPath(CSIDL_PROGRAMS);
    AddTrailingChar(menuDir, u'\\');
    menuDir += EdStartMenuFolder->GetText();
    // Logged only when made here: the uninstaller must not remove a folder it found.
    if (!DirExists(menuDir) && CreateDir(menuDir)) log.AddUninstallEntry(ukFolder, menuDir);

    String target = Trim(EdDestDir->GetText());
    AddTrailingChar(target, u'\\');
    struct Link {
      String file, target, description;
    };
    std::vector<Link> links = {
        {menuDir + u"\\" + st::kProgramLink, target + st::kProgramFile, st::kProductName},
        {menuDir + u"\\" + st::kHelpLink, target + st::kHelpFile, st::kHelpDescription},
    };
    if (CkBxDesktopShortcut->Checked())
      links.push_back({GetDesktopDir() + u"\\" + st::kProgramLink, target + st::kProgramFile,
                       st::kProductName});
    if (CkBxStartMenuShortcut->Checked())
      links.push_back({GetStartMenuDir() + u"\\" + st::kProgramLink, target + st::kProgramFile,
                       st::kProductName});
    for (const Link& link : links) {
      CreateShortcut(link.file, link.target, link.description, u"", u"");
      log.AddUninstallEntry(ukFile, link.file);
    }
    ProgressBar1->StepIt();

    const String logFile = dest + st::kUninstallLog;
    log.AddUninstallEntry(ukFile, logFile);
    log.SaveToFile(logFile);
  } catch (const EInOutError&) {
    result = false;
    TWindowDisabler disabled(*this);
    MessageBoxW(nullptr, W(String(st::kFailedText)), W(String(st::kFailedCaption)),
                MB_OK | MB_ICONERROR);
  }
  return result;
}
