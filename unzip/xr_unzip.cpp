#include "unzip/xr_unzip.h"

#include "base/exception.h"
#include "base/format.h"
#include "base/path.h"
#include "base/saturating_add.h"
#include "base/scope_exit.h"
#include "unzip/host_hooks.h"
#include "unzip/lfn_file_stream.h"
#include "unzip/selection_match.h"
#include "unzip/unzip_errors.h"
#include "unzip/unzip_messages.h"
#include "unzip/zip_lib_routines.h"

TXrUnZip::TXrUnZip(TComponent* owner)
    : TComponent(owner),
      FRelativePathList(std::make_unique<TStringList>()),
      FFilesList(std::make_unique<TStringList>()),
      FEndRecord(std::make_unique<TEndCentral>()) {
  FHeaderTemplate = CreateHeader();
}

TXrUnZip::~TXrUnZip() { ClearArchive(); }

void TXrUnZip::RefuseWhenBusy() const {
  if (FBusy) throw EZipBusy(ZipMessageText(TZipMessage::Busy));
}

bool TXrUnZip::SetBusy(bool value) {
  const bool previous = FBusy;
  FBusy = value;
  return previous;
}

void TXrUnZip::Assign(const TPersistent& source) {
  const auto* src = dynamic_cast<const TXrUnZip*>(&source);
  if (!src) {
    TComponent::Assign(source);
    return;
  }
  if (src == this) return;
  RefuseWhenBusy();
  if (CompareNoCase(FZipName, src->FZipName) != 0) {
    // Another archive: what was loaded for the old name must not pass for it.
    FreeEntryLists();
    FDiskCount = 1;
    FEndRecord->Clear();
    FZipStream.reset();
    FRebuilt = false;
    FArchiveDate = {};
    FZipName = src->FZipName;
    FSplitBaseName = src->FSplitBaseName;
  }
  FZipName = src->FZipName;
  FDestDir = src->FDestDir;
  FRootDir = src->FRootDir;
  SortMode = src->SortMode;
  RecreateDirs = src->RecreateDirs;
  OverwriteMode = src->OverwriteMode;
  FFilesList->Clear();
  FFilesList->AddStrings(*src->FFilesList);
  FRelativePathList->Clear();
  FRelativePathList->AddStrings(*src->FRelativePathList);
  DoAll = src->DoAll;
  IncompleteZipMode = src->IncompleteZipMode;
  KeepZipOpen = src->KeepZipOpen;
  DoProcessMessages = src->DoProcessMessages;
  RetainAttributes = src->RetainAttributes;
  ReplaceReadOnly = src->ReplaceReadOnly;
  OnStartUnZipInfo = src->OnStartUnZipInfo;
  OnFilePercentDone = src->OnFilePercentDone;
  OnTotalPercentDone = src->OnTotalPercentDone;
  OnStartUnZip = src->OnStartUnZip;
  OnEndUnZip = src->OnEndUnZip;
  OnPromptForOverwrite = src->OnPromptForOverwrite;
  OnSkippingFile = src->OnSkippingFile;
  OnBadPassword = src->OnBadPassword;
  OnBadCRC = src->OnBadCRC;
  OnInCompleteZip = src->OnInCompleteZip;
  OnGetNextDisk = src->OnGetNextDisk;
  OnUnZipComplete = src->OnUnZipComplete;
  OnGetNextBuffer = src->OnGetNextBuffer;
  OnFileNameForSplitPart = src->OnFileNameForSplitPart;
}

void TXrUnZip::Loaded() {
  TComponent::Loaded();
  FThisVersion = kThisVersion;
  FThisBuild = kThisBuild;
  FThisReleaseLevel = kThisReleaseLevel;
  FHeaderTemplate->OEMConvert = OEMConvert;
}

namespace {

// Sizes of up to 2^63 - 1 each: their sum stops at the largest value.
// ZipName up to the last dot of its file-name part, so that "a.b.zip" names its parts
// "a.b.z01" and so on.
String SplitBaseOf(const String& name) {
  return String(WithoutExtension(name, kPathSeparatorsWithSlash));
}

}  // namespace

void TXrUnZip::SetZipName(const String& value) {
  if (FAskingIncomplete) {
    // The archive being read is still in use: the name is taken once the read has
    // given it up.
    FIncompleteNewName = value;
    return;
  }
  RefuseWhenBusy();
  ChangeZipName(value);
}

void TXrUnZip::ChangeZipName(const String& value) {
  if (CompareNoCase(value, FZipName) == 0) return;
  FZipName = value;
  FSplitBaseName = SplitBaseOf(FZipName);
  FreeEntryLists();
  FDiskCount = 1;
  FArchiveDate = {};
  FEndRecord->Clear();
  FZipStream.reset();
  FRebuilt = false;
}

void TXrUnZip::SetDestDir(const String& value) {
  FDestDir = String(WithoutTrailingSeparator(value));
}

void TXrUnZip::SetRootDir(const String& value) {
  FRootDir = value;
  if (!FRootDir.empty() && FRootDir.back() != u'\\') FRootDir.push_back(u'\\');
  FRelativePathList->Clear();
  FRelativePathList->Add(FRootDir);
}

void TXrUnZip::SetFilesList(const TStringList& value) {
  if (&value == FFilesList.get()) return;
  FFilesList->Clear();
  FFilesList->AddStrings(value);
}

void TXrUnZip::StripRelativePath(String& path, String& stripped) const {
  for (int i = 0; i < FRelativePathList->Count(); ++i) {
    const String& line = FRelativePathList->Strings(i);
    if (path.size() >= line.size() &&
        CompareNoCase(StringView(path).substr(0, line.size()), line) == 0) {
      path.erase(0, line.size());
      break;
    }
  }
  stripped = path;
}

std::unique_ptr<TZipHeaderInfo> TXrUnZip::CreateHeader() const {
  auto header = std::make_unique<TZipHeaderInfo>();
  header->OEMConvert = OEMConvert;
  return header;
}

int32_t TXrUnZip::LoadedEntryCount() const { return FEntries ? FEntries->Count() : 0; }

const TZipHeaderInfo& TXrUnZip::Entry(int32_t index) const {
  if (index < 0 || index >= LoadedEntryCount())
    throw EListError(Format(ZipMessageText(TZipMessage::IndexOutOfRange), {index}));
  return FSortedEntries->Header(index);
}

String TXrUnZip::GetEntryName(int32_t index) const { return Entry(index).FileName; }

TStream* TXrUnZip::ZipStream() const { return FZipStream.get(); }

void TXrUnZip::FreeEntryLists() {
  FSortedView.reset();
  FEntries.reset();
  FSortedEntries = nullptr;
}

void TXrUnZip::BuildSortedView(TZipSortMode mode) {
  FSortedView.reset();
  if (mode == TZipSortMode::ByNone || !FEntries) {
    FSortedEntries = FEntries.get();
  } else {
    FSortedView = std::make_unique<TSortedZip>(TListDuplicates::ldAccept, mode, false);
    FSortedView->AddAllShared(*FEntries);
    FSortedEntries = FSortedView.get();
  }
  SortMode = mode;
}

std::unique_ptr<TStream> TXrUnZip::OpenArchiveStream(const String& name, uint16_t mode,
                                                     bool flushOnClose) {
  return std::make_unique<TLFNFileStream>(name, mode, flushOnClose, kZipBufferSize);
}

TFileStamp TXrUnZip::ArchiveStampOf(TStream& stream) {
  TFileStamp stamp;
  if (auto* file = dynamic_cast<TLFNFileStream*>(&stream)) FileStampOf(file->Handle(), stamp);
  return stamp;
}

bool TXrUnZip::ArchiveFileExists(const String& name) { return FileFound(name); }

bool TXrUnZip::ArchiveChanged() {
  return !(ArchiveStampOf(*FZipStream) == FArchiveDate);
}

void TXrUnZip::OpenArchive() {
  if (!FZipStream)
    FZipStream = OpenArchiveStream(FZipName, uint16_t(fmOpenRead | fmShareDenyWrite), FlushFilesOnClose);
  if (!FEntries || ArchiveChanged()) {
    try {
      ReadDirectory(*FZipStream);
    } catch (const EIncompleteZip&) {
      if (!FIncompleteNewName) throw;
      const String name = std::move(*FIncompleteNewName);
      FIncompleteNewName.reset();
      FZipStream.reset();
      ChangeZipName(name);
      throw;
    }
  }
}

void TXrUnZip::CloseArchive() {
  if (!KeepZipOpen) FZipStream.reset();
}

void TXrUnZip::ClearArchive() {
  FZipStream.reset();
  FreeEntryLists();
  FEndRecord->Clear();
  FRebuilt = false;
  FEntriesDropped = false;
  FArchiveDate = {};
  FDiskCount = 1;
  SetMultiPartMode(TMultiPartMode::mpNone);
  FZipName.clear();
}

int32_t TXrUnZip::PromptUser(int32_t messageID, const String& msg1, const String& msg2,
                             uint32_t flags) {
  if (OnHandleMessage) {
    // A handler that leaves the answer alone declines.
    int32_t answer = DecliningAnswer(flags);
    OnHandleMessage(*this, messageID, msg1, msg2, flags, answer);
    return answer;
  }
  return PromptHost(msg1, msg2, flags);
}

void TXrUnZip::PumpAndHonourRequests(bool withPause) {
  if (PumpMessages()) FCancelRequested = true;
  if (withPause && FPaused && !FCancelRequested) WaitWhilePaused();
  if (FCancelRequested) {
    FCancelRequested = false;
    throw EUserCanceled(ZipMessageText(TZipMessage::UserAborted));
  }
}

// A quit met by the pump, or a cancel a handler asks for, ends the wait: the caller
// then cancels.
void TXrUnZip::WaitWhilePaused() {
  do {
    SleepMilliseconds(1000);
    if (PumpMessages()) FCancelRequested = true;
  } while (FPaused && !FCancelRequested);
}

int32_t TXrUnZip::UnZip() {
  RefuseWhenBusy();
  FCancelRequested = false;
  if (FDestDir == u"?") return 0;
  return RunExtraction(-1);
}

int32_t TXrUnZip::RunExtraction(int32_t onlyIndex) {
  FCancelRequested = false;
  int32_t result = 0;
  {
    ScopeExit forget([this]() noexcept {
      FOnlyEntry = nullptr;
      FCancelRequested = false;
    });
    LoadDirectory();
    OpenArchive();
    // Taken after the open, which may have read the directory again.
    if (onlyIndex >= 0) FOnlyEntry = &Entry(onlyIndex);
    result = ExtractEntries(*FZipStream);
    CloseArchive();
  }
  return result;
}

void TXrUnZip::SelectEntries(TExtractState& state) {
  const TStringList noLines;
  const TSelectionPatterns patterns(DoAll ? noLines : *FFilesList);
  for (int i = 0; i < FSortedEntries->Count(); ++i) {
    if (DoProcessMessages) PumpAndHonourRequests(false);
    TZipHeaderInfo& entry = FSortedEntries->Header(i);
    entry.Included = FOnlyEntry ? &entry == FOnlyEntry : DoAll;
    if (entry.FileName.empty() && !RecreateDirs) {
      entry.Included = false;
      --state.FilesToDo;
      continue;
    }
    if (!DoAll && !FOnlyEntry) {
      const String name = LowerCaseOf(IgnorePath ? entry.FileName : entry.Directory + entry.FileName);
      entry.Included = patterns.Matches(name);
    }
    if (entry.Included)
      FTotalBytes = SaturatingAdd(FTotalBytes, entry.UncompressedSize());
    else
      --state.FilesToDo;
  }
}

int32_t TXrUnZip::ExtractEntries(TStream& stream) {
  TBusyScope busy(*this);
  FCancelRequested = false;
  // Put back only after OnUnZipComplete, also when that handler raises.
  const bool keptOpen = KeepZipOpen;
  KeepZipOpen = true;
  ScopeExit restoreKeepOpen([this, keptOpen]() noexcept { KeepZipOpen = keptOpen; });
  TExtractState state(&stream);
  FLinkFreeFolders.clear();
  bool sortChanged = false;
  const TZipSortMode previousSort = SortMode;
  CallThenFinish(
      [&] {
        // Stream, memory and test output make no folder.
        const bool toFile = !FOutput.FToStream && !FOutput.FToBuffer;
        if (toFile && !FDestDir.empty() && !FolderExists(FDestDir) && !MakeDirs(FDestDir))
          throw EInOutError(io_text::kCannotCreateDirectory, io_text::kCannotCreateDirectoryCode);
        if (FEndRecord->ThisDisk() != 0 && SortMode != TZipSortMode::ByNone) {
          sortChanged = true;
          BuildSortedView(TZipSortMode::ByNone);
        }
        FTotalBytes = 0;
        FBytesDone = 0;
        state.FilesToDo = LoadedEntryCount();
        SelectEntries(state);
        bool stopNow = false;
        if (OnStartUnZipInfo) OnStartUnZipInfo(*this, state.FilesToDo, FTotalBytes, stopNow);
        state.FilesDone = 0;
        if (state.FilesToDo > 0 && !stopNow) {
          FindDataLimits(state);
          AddPartNames();
          // Only the selected entries go to extraction, with DoAll as without.
          for (int i = 0; i < LoadedEntryCount(); ++i) {
            if (!FSortedEntries->Header(i).Included) continue;
            do {
              ExtractEntry(i, state);
            } while (state.RetryEntry);
          }
        }
      },
      [&] {
        // The one-entry operations leave the host's patterns alone.
        if (!FOnlyEntry) FFilesList->Clear();
        if (sortChanged) BuildSortedView(previousSort);
        if (OnUnZipComplete) OnUnZipComplete(*this, state.FilesDone);
        });
  return state.FilesDone;
}
