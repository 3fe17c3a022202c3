// Extracting one entry: its output name and the checks on it, the overwrite decision,
// the decompressor run into a temporary file beside the target (or the host's stream
// or memory), the rename that puts the file under its name once its size and CRC are
// right, and the password asked again when they are not.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/exception.h"
#include "base/format.h"
#include "unzip/entry_path_check.h"
#include "unzip/extract_io.h"
#include "unzip/host_hooks.h"
#include "unzip/lfn_file_stream.h"
#include "unzip/zip_file_routines.h"
#include "unzip/zip_lib_routines.h"
#include "unzip/zip_signatures.h"

namespace {

// Stored attributes that may reach extracted files and folders.
constexpr int32_t kFileAttributeMask = faReadOnly | faHidden | faSystem | faArchive;
constexpr int32_t kFolderAttributeMask = faReadOnly | faHidden | faSystem;
// Temporary names: prefix, a number, suffix.
constexpr const Char* kTempPrefix = u"~qzx";
constexpr const Char* kTempSuffix = u".tmp";
// Temporary names whose creation may fail before the entry is given up.
constexpr int32_t kTempNamesRefused = 4;

}  // namespace

// A file written under a temporary name in the folder of its final name, which is made
// when missing. Removed on destruction unless Commit put it under the final name.
class TXrUnZip::TPendingFile {
public:
  // Raises the stream's create error when no temporary file can be made there.
  TPendingFile(const String& finalName, bool flushOnClose) : finalName_(finalName) {
    const String folder = FileDirOf(finalName);
    bool folderMade = false;
    int32_t refused = 0;
    for (int32_t n = 0;;) {
      tempName_ = FilePathOf(finalName) + kTempPrefix + IntToStr(n) + kTempSuffix;
      try {
        // Always a new file: a name that exists, a link included, is never opened.
        stream_ = std::make_unique<TOutputStream>(tempName_, fmCreate | fmExclusive,
                                                  flushOnClose, kZipBufferSize);
        return;
      } catch (const EFCreateError&) {
        if (GetAttributes(tempName_) != -1) {
          ++n;  // the name is taken
          continue;
        }
        // Asking first would cost every file a look-up; a missing folder is rare.
        if (!folderMade && !folder.empty() && !FolderExists(folder)) {
          if (!MakeDirs(folder)) throw;
          folderMade = true;
          continue;
        }
        // A link to nothing takes a name without showing it; a folder that refuses
        // new files refuses every name.
        if (++refused > kTempNamesRefused) throw;
        ++n;
      }
    }
  }
  ~TPendingFile() {
    stream_.reset();
    if (committed_) return;
    // A file made read-only cannot be deleted on Windows.
    if (!RemoveFile(tempName_) && SetAttributes(tempName_, 0) == 0) RemoveFile(tempName_);
  }
  TPendingFile(const TPendingFile&) = delete;
  TPendingFile& operator=(const TPendingFile&) = delete;

  // How the file takes its final name (which it may change): True once it has, else
  // False with the reason to give for the skip.
  using TPlacer =
      std::function<bool(const String& tempName, String& finalName, TSkipReason& refusal)>;
  void SetPlacer(TPlacer placer) { placer_ = std::move(placer); }
  // Why the last Commit failed.
  TSkipReason Refusal() const { return refusal_; }
  // The name the file was put under, once committed.
  const String& FinalName() const { return finalName_; }

  TStream& Stream() { return *stream_; }
  // Writes what is pending; a write that fell short raises.
  void Flush() { stream_->Flush(); }
  // Dates the file and gives it Attributes (unless absent) through its own handle,
  // closes it (a failed write raises) and puts it under its final name through the
  // placer. False when that failed; the temporary file is then removed.
  bool Commit(uint32_t dosDateTime, std::optional<int32_t> attributes) {
    stream_->Flush();
    TZipFileHandle borrowed(stream_->Handle());
    borrowed.SetDosDateTime(dosDateTime);
    if (attributes) borrowed.SetAttributes(*attributes);
    borrowed.Release();
    stream_->Close();
    stream_.reset();
    refusal_ = TSkipReason::srCreateError;
    committed_ = placer_ ? placer_(tempName_, finalName_, refusal_)
                         : MoveFileOver(tempName_, finalName_);
    return committed_;
  }

private:
  // The output file, flushed on request so that its date can be set last.
  class TOutputStream : public TLFNFileStream {
  public:
    using TLFNFileStream::TLFNFileStream;
    void Flush() { SyncSource(); }
  };

  String finalName_;
  String tempName_;
  std::unique_ptr<TOutputStream> stream_;
  TPlacer placer_;
  TSkipReason refusal_ = TSkipReason::srCreateError;
  bool committed_ = false;
};

TXrUnZip::TDecompressor TXrUnZip::DecompressorFor(uint16_t method) {
  switch (method) {
    case 0: return &TXrUnZip::UnStore;
    case 1: return &TXrUnZip::UnShrink;
    case 2: case 3: case 4: case 5: return &TXrUnZip::UnReduce;
    case 6: return &TXrUnZip::Explode;
    case 8: return &TXrUnZip::Inflate;
    default: return nullptr;
  }
}

void TXrUnZip::DiscountEntry(TExtractState& state) {
  FTotalBytes = std::max<int64_t>(0, FTotalBytes - FHeaderTemplate->UncompressedSize());
  --state.FilesToDo;
}

void TXrUnZip::SkipEntry(TSkipReason reason, const String& name, int32_t index,
                         TExtractState& state) {
  if (OnSkippingFile) OnSkippingFile(*this, reason, name, index, state.SkipRetry);
  DiscountEntry(state);
}

String TXrUnZip::BuildDestPath() {
  // An empty DestDir is the current folder, not the root of the drive.
  const String base = FDestDir.empty() ? String() : FDestDir + u"\\";
  const TZipHeaderInfo& h = *FHeaderTemplate;
  if (!RecreateDirs || h.Directory.empty()) return base;
  String folder = h.Directory, stripped;
  if (FRelativePathList->Count() > 0) StripRelativePath(folder, stripped);
  const bool rooted = !folder.empty() && folder[0] == u'\\';
  const bool drive = folder.size() > 1 && folder[1] == u':';
  if (!rooted && !drive) return base + folder;
  if (FDestDir.empty()) return folder;
  return FDestDir + (rooted ? folder : folder.substr(2));
}

// The stored name, its Unicode-path form and the folder left after the relative
// paths are cut must all name something below DestDir.
bool TXrUnZip::EntryPathIsSafe() const {
  const TZipHeaderInfo& h = *FHeaderTemplate;
  if (!h.StoredPath.empty() && !IsSafeEntryPath(h.StoredPath)) return false;
  if (!IsSafeEntryPath(h.Directory + h.FileName)) return false;
  if (!RecreateDirs || h.Directory.empty()) return true;
  String folder = h.Directory, stripped;
  if (FRelativePathList->Count() > 0) StripRelativePath(folder, stripped);
  const String rest = folder + h.FileName;
  return rest.empty() || IsSafeEntryPath(rest);
}

void TXrUnZip::FindDataLimits(TExtractState& state) {
  state.DataLimit.clear();
  state.ArchiveEnd = -1;
  // Parts of a multi-part set are read as they come; the check needs one file.
  if (FEndRecord->ThisDisk() != 0 || !FEntries) return;
  state.ArchiveEnd = state.ArchiveStream->Size();
  const int32_t count = FEntries->Count();
  state.DataLimit.reserve(size_t(count));
  // The list is in offset order: each entry's data must end before the next header.
  for (int32_t i = 0; i < count; ++i) {
    const TZipHeaderInfo& h = FEntries->Header(i);
    int64_t limit = INT64_MAX;
    if (i + 1 < count) limit = FEntries->Header(i + 1).RelativeOffset();
    if (i > 0 && FEntries->Header(i - 1).RelativeOffset() == h.RelativeOffset())
      limit = h.RelativeOffset();  // two entries share one header: neither is trusted
    state.DataLimit[&h] = limit;
  }
}

void TXrUnZip::LocateEntryData(TExtractState& state, const TZipHeaderInfo& listed) {
  const TZipHeaderInfo& h = *FHeaderTemplate;
  const bool multiPart = FEndRecord->ThisDisk() != 0;
  if (multiPart && int64_t(h.DiskNumberStart()) != FCurrentDisk)
    state.ArchiveStream = &OpenDisk(int32_t(h.DiskNumberStart()) + 1);
  state.ArchiveStream->SetPosition(h.RelativeOffset());
  // A header cut at the end of a part goes on at the start of the next.
  ReadEntryBytes(state, FLocalHeader.data(), kLocalHeaderSize);
  const TLocalFileHeader local = TLocalFileHeader::FromBytes(FLocalHeader.data());
  if (local.Signature != LocalSig) throw EBadZipFile(ZipMessageText(TZipMessage::NotValidZip));
  // Read over the name and extra field rather than seek: the stream's buffer then
  // usually holds the data too.
  const int32_t skip = int32_t(local.FileNameLength) + local.ExtraLength;
  std::vector<uint8_t> scratch(static_cast<size_t>(skip));
  ReadEntryBytes(state, scratch.data(), skip);
  const int64_t dataStart = h.RelativeOffset() + kLocalHeaderSize + skip;
  // Sizes are checked against what the archive holds before anything is read.
  if (state.ArchiveEnd >= 0 && h.CompressedSize() > state.ArchiveEnd - dataStart)
    throw EFatalUnzipError(ZipMessageText(TZipMessage::PrematureEnd));
  const auto limit = state.DataLimit.find(&listed);
  if (limit != state.DataLimit.end() && h.CompressedSize() > limit->second - dataStart)
    throw EBadZipFile(ZipMessageText(TZipMessage::NotValidZip));
}

bool TXrUnZip::TargetRefused(const String& fullName, const TNameLook& look) {
  // A link already below DestDir would take the file elsewhere; the last part itself
  // is only ever replaced, never written through.
  if (IsPathWithin(fullName, FDestDir) &&
      LinkBelow(FDestDir, fullName, false, &FLinkFreeFolders))
    return true;
  return FArchiveParts.Contains(fullName, look);
}

bool TXrUnZip::MayOverwrite(int32_t index, String& fullName) {
  switch (OverwriteMode) {
    case TUZOverwriteMode::Always: return true;
    case TUZOverwriteMode::Prompt: {
      bool overWriteIt = false;
      if (OnPromptForOverwrite) {
        OnPromptForOverwrite(*this, overWriteIt, index, fullName);
        return overWriteIt;
      }
      const String text =
          ZipMessageText(TZipMessage::ReplaceFilePrefix) + GetEntryName(index) + u"?";
      FMessageText = ZipMessageText(TZipMessage::FileExistsAlert);
      return PromptUser(ZipMessageNumber(TZipMessage::FileExistsAlert), text, FMessageText,
                        mbYesNo) == idYes;
    }
    case TUZOverwriteMode::Never: return false;
    case TUZOverwriteMode::ifNewer:
    case TUZOverwriteMode::ifOlder: {
      // A file whose date has no DOS form counts as older than any entry.
      const int32_t age = FileDosAge(fullName);
      const uint32_t fileTime = age == -1 ? 0 : uint32_t(age);
      const uint32_t entryTime = FHeaderTemplate->FileDateTime;
      return OverwriteMode == TUZOverwriteMode::ifNewer ? entryTime > fileTime
                                                        : age != -1 && entryTime < fileTime;
    }
    default: return true;
  }
}

void TXrUnZip::ExtractEntry(int32_t index, TExtractState& state) {
  state.RetryEntry = false;
  const TZipHeaderInfo& listed = FSortedEntries->Header(index);
  FHeaderTemplate->Assign(listed);
  const TZipHeaderInfo& h = *FHeaderTemplate;
  // Names only matter where they become paths.
  const bool toFile = !FOutput.FToStream && !FOutput.FToBuffer;
  if (toFile && !EntryPathIsSafe()) {
    SkipEntry(TSkipReason::srCreateError, h.Directory + h.FileName, index, state);
    return;
  }
  const String dirPath = BuildDestPath();
  if (h.FileName.empty()) {
    if (toFile) {
      ExtractFolderEntry(index, state, dirPath);
      return;
    }
    // A folder's content is nothing: the host's stream holds exactly that.
    if (FOutput.FToStream) FOutput.FOutputStream->SetSize(0);
    ++state.FilesDone;
    return;
  }
  ExtractFileEntry(index, state, dirPath, listed);
}

void TXrUnZip::ExtractFolderEntry(int32_t index, TExtractState& state, const String& dirPath) {
  const TZipHeaderInfo& h = *FHeaderTemplate;
  const String folder = dirPath.empty() ? FullPathOf(String()) : dirPath;
  String bare = folder;  // the full form of "x\" keeps its backslash on Windows
  if (bare.size() > 1 && bare.back() == u'\\') bare.pop_back();
  // No folder is made or given attributes through a link below DestDir.
  const bool outside = !IsPathWithin(bare, FDestDir) || LinkBelow(FDestDir, bare, true);
  if (!SamePath(bare, FDestDir) && outside) {
    SkipEntry(TSkipReason::srCreateError, h.Directory, index, state);
    return;
  }
  if (RecreateDirs && !FolderExists(folder) && !MakeDirs(folder)) {
    SkipEntry(TSkipReason::srCreateError, h.Directory, index, state);
    return;
  }
  if (RetainAttributes) SetAttributes(folder, int32_t(h.ExternalAttributes) & kFolderAttributeMask);
  ++state.FilesDone;
}

void TXrUnZip::ExtractFileEntry(int32_t index, TExtractState& state, const String& dirPath,
                                const TZipHeaderInfo& listed) {
  const TZipHeaderInfo& h = *FHeaderTemplate;
  const bool toFile = !FOutput.FToStream && !FOutput.FToBuffer;
  // Stream and memory output have no file name.
  String fullName;
  if (toFile) {
    fullName = dirPath + h.FileName;
    SlashToBackslash(fullName);
    if (!IsPathWithin(fullName, FDestDir)) {
      SkipEntry(TSkipReason::srCreateError, fullName, index, state);
      return;
    }
  }
  bool skip = false;
  if (OnStartUnZip) OnStartUnZip(*this, index, fullName, skip);
  if (skip) return;

  // Entries this build cannot decode are turned away before anything is touched; the
  // check then finds the CRC of no output.
  const TDecompressor decompressor = DecompressorFor(h.ActualMethod());
  if (!decompressor) {
    if (!FOutput.FTesting) {
      FMessageText = ZipMessageText(TZipMessage::UnknownMethod);
      PromptUser(ZipMessageNumber(TZipMessage::UnknownMethod), FMessageText,
                 ZipMessageText(TZipMessage::ZipError), mbOK);
    }
    FCRC = 0;
    FailEntry(index, state, false);
    return;
  }
  FCipher = TEntryCipher::None;
  FCipherOverhead = 0;
  LocateEntryData(state, listed);
  // No file of the archive set being read is written over; the set is known once the
  // entry's own part is open, and the refusal comes before any question is asked. The
  // one look at the name serves every later question about what is there.
  TNameLook look;
  const auto isRefused = [&] {
    look = LookAtName(fullName);
    if (!TargetRefused(fullName, look)) return false;
    SkipEntry(TSkipReason::srCreateError, fullName, index, state);
    return true;
  };
  if (toFile && isRefused()) return;
  // A size no data of this entry can reach is refused before any password is asked
  // for or memory taken; it fails as the check of an entry with no output would.
  if (FOutput.FToBuffer && !BufferSizeIsPlausible()) {
    FCRC = 0;
    FailEntry(index, state, false);
    return;
  }
  const bool encrypted = h.IsEncrypted();
  if (encrypted && !StartDecryption(index, state, listed)) return;

  if (!toFile) {
    // Stream and memory output: no target to check.
    if (FOutput.FToStream) {
      FOutput.FOutputStream->SetPosition(0);
      state.OutStream = FOutput.FOutputStream;
    } else {
      StartBufferOutput();
    }
    std::unique_ptr<TPendingFile> none;
    DecompressAndCheck(index, state, decompressor, encrypted, fullName, none);
    return;
  }

  // One look at the name itself answers whether something is there: a link is, whether
  // or not it leads anywhere. A folder there is no file to keep; the rename fails on it.
  int32_t attributes = look.Attributes;
  const auto fileThere = [](int32_t a) { return a != -1 && (a & faDirectory) == 0; };
  const String proposed = fullName;
  if (fileThere(attributes) && !MayOverwrite(index, fullName)) {
    SkipEntry(TSkipReason::srNoOverwrite, fullName, index, state);
    return;
  }
  // The prompt's handler may have given another name.
  if (fullName != proposed) {
    if (isRefused()) return;
    attributes = look.Attributes;
  }
  if (IsReadOnlyFile(attributes) && !ReplaceReadOnly) {
    SkipEntry(TSkipReason::srCreateError, fullName, index, state);
    return;
  }

  std::unique_ptr<TPendingFile> pending;
  try {
    pending = std::make_unique<TPendingFile>(fullName, FlushFilesOnClose);
  } catch (const Exception&) {
    SkipEntry(TSkipReason::srCreateError, fullName, index, state);
    return;
  }
  // "Nothing there" holds only while nothing takes the name: the file is then put in
  // place by a rename that refuses an existing name.
  pending->SetPlacer([this, index, attributes](const String& tempName, String& name,
                                               TSkipReason& refusal) {
    return attributes == -1 ? PlaceNewFile(index, name, tempName, refusal)
                            : PlaceOver(name, tempName, attributes, refusal);
  });
  DecompressAndCheck(index, state, decompressor, encrypted, fullName, pending);
}

bool TXrUnZip::IsReadOnlyFile(int32_t attributes) {
  return attributes != -1 && (attributes & (faReadOnly | faDirectory)) == faReadOnly;
}

bool TXrUnZip::PlaceNewFile(int32_t index, String& name, const String& tempName,
                            TSkipReason& refusal) {
  for (;;) {
    switch (MoveFileNoReplace(tempName, name)) {
      case TMoveResult::Moved: return true;
      case TMoveResult::Failed: refusal = TSkipReason::srCreateError; return false;
      case TMoveResult::NameTaken: break;
    }
    // Something took the name meanwhile: the overwrite case, asked now.
    const String proposed = name;
    if (!MayOverwrite(index, name)) {
      refusal = TSkipReason::srNoOverwrite;
      return false;
    }
    if (name == proposed) return PlaceOver(name, tempName, GetAttributes(name), refusal);
    // Another name from the prompt's handler, itself put in place as a new file.
    if (TargetRefused(name, LookAtName(name))) {
      refusal = TSkipReason::srCreateError;
      return false;
    }
  }
}

bool TXrUnZip::PlaceOver(const String& name, const String& tempName, int32_t attributes,
                         TSkipReason& refusal) {
  refusal = TSkipReason::srCreateError;
  if (!IsReadOnlyFile(attributes)) return MoveFileOver(tempName, name);
  return ReplaceReadOnly && MoveFileOverReadOnly(tempName, name);
}

bool TXrUnZip::DecompressAndCheck(int32_t index, TExtractState& state, TDecompressor decompressor,
                                  bool encrypted, const String& fullName,
                                  std::unique_ptr<TPendingFile>& pending) {
  const TZipHeaderInfo& h = *FHeaderTemplate;
  state.ResetForEntry();
  if (pending) state.OutStream = &pending->Stream();
  state.CompRemaining = h.CompressedSize() - FCipherOverhead;
  state.ArchiveRemaining = h.CompressedSize() - FCipherOverhead;
  state.UncompSize = h.UncompressedSize();
  FCRC = 0xFFFFFFFF;
  bool finished = false;
  // The buffer consumer stopped the entry: it counts as extracted, unchecked.
  bool canceled = false;
  const auto abandon = [&] {
    state.OutStream = nullptr;
    ReleaseOwnedBuffer();
  };
  try {
    (this->*decompressor)(state);
    finished = true;
  } catch (const EBiggerThanUncompressed&) {
    // More data than the entry declares: the check below turns the entry down.
  } catch (const ECanceledUnzipToBuffer&) {
    canceled = true;
  } catch (const EZCompressionError&) {
    // Data decrypted with a wrong key is garbage to the decoder: for an encrypted entry
    // that is the password check failing, which the checks below report.
    if (!encrypted) {
      abandon();
      throw;
    }
  } catch (...) {
    abandon();
    throw;
  }
  state.OutStream = nullptr;
  if (pending) pending->Flush();
  // The host's stream holds the entry and nothing of what it held before.
  if (FOutput.FToStream && FOutput.FOutputStream->Size() > state.BytesWritten)
    FOutput.FOutputStream->SetSize(state.BytesWritten);

  FCRC = ~FCRC;
  bool good = finished && state.BytesWritten == state.UncompSize;
  if (FCipher == TEntryCipher::Aes) {
    // The code always has to match; an AE-2 entry stores no CRC beside it.
    const bool crcAbsent = h.HasAesInfo() && h.AesRecord()->VendorVersion == 2;
    good = good && AesCodeMatches(state) && (crcAbsent || FCRC == h.Crc32);
  } else {
    good = good && FCRC == h.Crc32;
  }
  FCipher = TEntryCipher::None;
  if (!finished) ReleaseOwnedBuffer();
  if (good || canceled) {
    // A new file already has the archive attribute alone.
    const int32_t stored = int32_t(h.ExternalAttributes) & kFileAttributeMask;
    const bool setAttributes = RetainAttributes && stored != faArchive;
    if (pending &&
        !pending->Commit(h.FileDateTime, setAttributes ? std::optional(stored) : std::nullopt)) {
      SkipEntry(pending->Refusal(), fullName, index, state);
      return false;
    }
    if (OnEndUnZip) OnEndUnZip(*this, index, pending ? pending->FinalName() : fullName);
    ++state.FilesDone;
    return true;
  }
  pending.reset();  // nothing is left under a temporary name or the entry's own
  ReleaseOwnedBuffer();
  FailEntry(index, state, encrypted);
  return false;
}

void TXrUnZip::FailEntry(int32_t index, TExtractState& state, bool encrypted) {
  const TZipHeaderInfo& h = *FHeaderTemplate;
  if (!encrypted) {
    if (OnBadCRC) OnBadCRC(*this, int32_t(FCRC), int32_t(h.Crc32), index);
    --state.FilesToDo;
    return;
  }
  // A wrong password can pass the check byte or verifier; the host may offer another.
  if (OnBadPassword) {
    std::string tryPassword = FPassword;
    OnBadPassword(*this, index, tryPassword);
    if (tryPassword != FPassword) {
      FPassword = tryPassword;
      state.RetryEntry = true;
      return;
    }
  }
  if (OnSkippingFile)
    OnSkippingFile(*this, TSkipReason::srBadPassword, h.Directory + h.FileName, index, state.SkipRetry);
  --state.FilesToDo;
}
