#include "update/xr_update.h"

#include <windows.h>

#include <shellapi.h>

#include "base/exception.h"
#include "base/file_stream.h"
#include "base/in_out_error.h"
#include "base/win_string.h"
#include "common/ask_yes_no.h"
#include "common/xr_misc_dialogs.h"
#include "common/xr_misc_text.h"
#include "support/xs_file_utils.h"
#include "support/xs_sys_info.h"
#include "ui/application.h"
#include "unzip/xr_unzip.h"
#include "update/download_progress.h"
#include "update/progress_form.h"
#include "update/update_file_name.h"
#include "update/update_folder.h"
#include "update/update_texts.h"
#include "update/updater_command.h"
#include "update/version_file.h"

namespace {

// Ends a download or an unpacking that must not go on; the update then fails.
QZ_DECLARE_EXCEPTION(EUpdateRefused, Exception);

const wchar_t* OrNull(const String& s) { return s.empty() ? nullptr : W(s); }

// The progress window for the length of one download. The application owns it and
// its release is queued: messages already on their way to it are handled first.
class TProgressWindow {
public:
  TProgressWindow() : form_(Application().CreateOwnedForm<TFmProgress>()) { FmProgress = form_; }
  ~TProgressWindow() {
    FmProgress = nullptr;
    form_->Close();
    form_->Release();
  }
  TProgressWindow(const TProgressWindow&) = delete;
  TProgressWindow& operator=(const TProgressWindow&) = delete;

  void Show() {
    form_->ShowForm();
    // The download pumps no messages: paint now.
    form_->Update();
  }

private:
  TFmProgress* form_;
};

// The update folder of one install action: removed with what it holds when the
// action fails after the download, as nothing later would remove it.
class TUpdateFolderCleanUp {
public:
  explicit TUpdateFolderCleanUp(const String& folder) : folder_(folder) {}
  ~TUpdateFolderCleanUp() {
    if (!kept_) RemoveUpdateFolder(folder_);
  }
  TUpdateFolderCleanUp(const TUpdateFolderCleanUp&) = delete;
  TUpdateFolderCleanUp& operator=(const TUpdateFolderCleanUp&) = delete;
  void Keep() { kept_ = true; }

private:
  String folder_;
  bool kept_ = false;
};

}  // namespace

intptr_t ShellExecuteRequest(const TShellRequest& request) {
  return reinterpret_cast<intptr_t>(ShellExecuteW(nullptr, OrNull(request.Verb),
                                                  W(request.File), OrNull(request.Parameters),
                                                  OrNull(request.Directory), SW_SHOWNORMAL));
}

std::unique_ptr<TFileStream> CreateDownloadFile(const String& fileName) {
  return std::make_unique<TFileStream>(fileName, fmCreate);
}

uint32_t SystemTicks() { return uint32_t(GetTickCount()); }

TXrUpdate::TXrUpdate() : OsVersion(CurrentOsVersionFacts()) {}

TXrUpdate::~TXrUpdate() = default;

void TXrUpdate::CheckForUpdate() {
  const bool fetched = FVersionFile.empty() ? DownloadVersionFile() : LoadVersionFile();
  if (fetched) ProcessVersionFile();
}

bool TXrUpdate::DownloadVersionFile() {
  FVersionLines.Clear();
  THttpClient http;
  http.UserAgent = FUserAgent;
  http.MaxTextSize = update_limit::kMaxVersionFileSize;
  TCursorGuard hourglass;
  bool fetched = false;
  try {
    FVersionLines.SetText(http.Get(FVersionUrl));
    fetched = IsUsableVersionFile(FVersionLines);
  } catch (const std::exception&) {
    // Whatever went wrong, the user is told the same below.
  }
  if (!fetched) {
    FVersionLines.Clear();
    ShowUpdateError(update_text::kServerNotFound);
  }
  return fetched;
}

bool TXrUpdate::LoadVersionFile() {
  FVersionLines.Clear();
  try {
    FVersionLines.LoadFromFile(FVersionFile);
  } catch (const std::exception&) {
    // An unreadable local file ends the check without a word.
    return false;
  }
  return IsUsableVersionFile(FVersionLines);
}

void TXrUpdate::ProcessVersionFile() {
  TVersionFileRun run(FVersionLines, FVersion);
  while (const std::optional<TActionLine> line = run.Next()) {
    switch (line->Kind()) {
      case TUpdateActionKind::Message:
        ShowInfoMsg(line->Argument);
        break;
      case TUpdateActionKind::Question:
        if (AskYesNo(line->Argument, line->Caption) != IDYES) {
          run.AnsweredNo();
          return;
        }
        break;
      case TUpdateActionKind::Open:
        OpenTarget(line->Argument);
        break;
      case TUpdateActionKind::Install:
        if (InstallUpdate(line->Argument)) FRestartNeeded = true;
        break;
      case TUpdateActionKind::None:
        break;
    }
  }
  if (run.ShowLatestVersionBox()) {
    MessageBoxW(nullptr, W(update_text::kLatestVersion + FProductName),
                W(FProductName + update_text::kVersionCaption + FVersion),
                MB_OK | MB_ICONINFORMATION);
  }
}

void TXrUpdate::OpenTarget(const String& Target) {
  // Web addresses only: a version file fetched over plain HTTP must not start programs.
  if (!IsOpenableTarget(Target)) return;
  ShellRun(TShellRequest{.Verb = u"open", .File = Target});
}

void TXrUpdate::ShowUpdateError(const String& Detail) {
  MessageBoxW(nullptr, W(update_text::kUpdateError + Detail),
              W(FProductName + update_text::kUpdateCaption), MB_OK | MB_ICONWARNING);
}

bool TXrUpdate::InstallUpdate(const String& Location) {
  const String folder = CreateUpdateFolder(GetWindowsTempDir());
  const std::optional<String> name = FVersionFile.empty()
                                         ? UpdateFileNameFromUrl(Location)
                                         : std::optional<String>(AfterLastChar(Location, u'\\'));
  if (!name || !IsSafeFileName(*name)) return FailInstall(folder, update_text::kDownloadFailed);
  const String localFile = folder + u"\\" + *name;
  if (FVersionFile.empty()) {
    if (!DownloadUpdate(Location, localFile)) {
      return FailInstall(folder, update_text::kDownloadFailed);
    }
  } else {
    // A failed copy shows when the copy is unpacked or started.
    CopyFileW(W(Location), W(localFile), FALSE);
  }

  TUpdateFolderCleanUp cleanUp(folder);
  const bool executable = IsExecutableUpdate(localFile);
  if (executable) {
    // The program started may still be at work in the folder: it stays.
    cleanUp.Keep();
    ShellRun(TShellRequest{.File = localFile,
                           .Parameters = update_name::kExecutableParameter,
                           .Directory = folder});
  } else {
    try {
      UnzipUpdate(folder, localFile);
    } catch (const EUpdateRefused&) {
      ShowUpdateError(update_text::kUnpackFailed);
      return false;
    }
    // No restart is promised for an archive that brought no setup program.
    if (!IsExistingFile(SetupProgramPath(folder, IsLegacyWindows(), FExeName))) {
      ShowUpdateError(update_text::kSetupNotStarted);
      return false;
    }
  }

  MessageBoxW(nullptr,
              W(update_text::kDownloadedBefore + FProductName + update_text::kDownloadedAfter),
              W(FProductName + update_text::kUpdateCaption), MB_OK | MB_ICONINFORMATION);
  if (IsExistingFile(localFile)) DeleteFileW(W(localFile));
  if (!StartSetupProgram(folder)) return false;
  cleanUp.Keep();  // the setup program works from it; the next start removes it
  return true;
}

bool TXrUpdate::FailInstall(const String& Folder, const String& Detail) {
  ShowUpdateError(Detail);
  if (!RemoveDirectoryW(W(Folder))) RaiseInOutError(GetLastError());
  return false;
}

bool TXrUpdate::StartSetupProgram(const String& Folder) {
  const String setup = SetupProgramPath(Folder, IsLegacyWindows(), FExeName);
  const bool started =
      IsExistingFile(setup) &&
      ShellRun(TShellRequest{.File = setup,
                             .Parameters = UpdaterCommandLine(Folder, FExePath, FExeName)}) > 32;
  if (!started) ShowUpdateError(update_text::kSetupNotStarted);
  return started;
}

bool TXrUpdate::DownloadUpdate(const String& Url, const String& FileName) {
  bool stored = false;
  TProgressWindow progress;
  {
    TCursorGuard hourglass;
    progress.Show();
    FDownloadSize = 0;
    FHttp = std::make_unique<THttpClient>();
    FHttp->UserAgent = FUserAgent;
    // The read time-out alone lets a server that sends a byte now and then, or without
    // end, hold the program for ever.
    TDownloadWatch watch(DownloadLimits);
    FHttp->OnWorkBegin = [this, &watch](TObject* sender, TWorkMode mode, int64_t countMax) {
      if (mode == TWorkMode::wmRead && !watch.Begin(countMax, Ticks()))
        throw EUpdateRefused(update_text::kDownloadRefused);
      HttpWorkBegin(sender, mode, countMax);
    };
    FHttp->OnWork = [this, &watch](TObject* sender, TWorkMode mode, int64_t count) {
      if (!watch.Progress(count, Ticks())) throw EUpdateRefused(update_text::kDownloadRefused);
      HttpWork(sender, mode, count);
    };
    FHttp->OnWorkEnd = Method(this, &TXrUpdate::HttpWorkEnd);
    try {
      const std::unique_ptr<TFileStream> file = OpenDownloadFile(FileName);
      FHttp->Get(Url, *file);
      // The file is whole only once the system has closed it without complaint.
      file->Close();
      stored = true;
    } catch (const std::exception&) {
      // Nothing of a cut or refused download stays behind; the caller tells the user.
      DeleteFileW(W(FileName));
    }
    FHttp.reset();
  }
  return stored;
}

void TXrUpdate::UnzipUpdate(const String& Folder, const String& ZipFile) {
  TXrUnZip unzip;
  unzip.SetDestDir(Folder);
  unzip.SetZipName(ZipFile);
  unzip.DoAll = true;
  unzip.OverwriteMode = TUZOverwriteMode::Always;
  unzip.RecreateDirs = true;
  // The archive is the server's to make: one message from the component (a method it
  // cannot unpack, say) ends the unpacking instead of a box for every entry, and so does
  // an entry that fails its check, which would be missing from the update.
  unzip.OnHandleMessage = [](TXrUnZip&, int32_t, const String& text, const String&, uint32_t,
                             int32_t&) { throw EUpdateRefused(text); };
  unzip.OnBadCRC = [](TXrUnZip&, int32_t, int32_t, int32_t) {
    throw EUpdateRefused(update_text::kEntryDamaged);
  };
  unzip.UnZip();
}

bool TXrUpdate::IsLegacyWindows() const { return ::IsLegacyWindows(OsVersion); }

void TXrUpdate::HttpWorkBegin(TObject*, TWorkMode WorkMode, int64_t WorkCountMax) {
  if (WorkMode == TWorkMode::wmRead) FDownloadSize = WorkCountMax;
}

void TXrUpdate::HttpWork(TObject*, TWorkMode, int64_t WorkCount) {
  if (!FmProgress) return;
  const TDownloadProgress shown = DownloadProgress(WorkCount, FDownloadSize);
  FmProgress->LbPercentDone->SetCaption(shown.Caption);
  FmProgress->LbPercentDone->Repaint();
  FmProgress->ProgressBar1->SetPosition(shown.Position);
}

void TXrUpdate::HttpWorkEnd(TObject*, TWorkMode) {
  if (FmProgress) FmProgress->ProgressBar1->SetPosition(FmProgress->ProgressBar1->Max());
}
