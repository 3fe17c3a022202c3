// Reading an archive's directory into the component's entry list: the end record,
// the side file, the central headers with their recovery steps, and the rebuild from
// local headers.
#include <algorithm>
#include <cstdint>
#include <new>
#include <vector>

#include "base/file_stream.h"
#include "base/format.h"
#include "base/messages.h"
#include "base/scope_exit.h"
#include "base/text.h"
#include "unzip/le_bytes.h"
#include "unzip/lfn_file_stream.h"
#include "unzip/unzip_errors.h"
#include "unzip/unzip_messages.h"
#include "unzip/xr_unzip.h"
#include "unzip/zip_lib_routines.h"
#include "unzip/zip_signatures.h"

namespace {

constexpr int64_t kSfxProgramSize = 14000;
constexpr int32_t kScanPumpInterval = 10240;
constexpr int32_t kScanChunk = 65536;
constexpr int32_t kDataDescriptorSize = 16;
// Disk numbers up to here keep the number of the disk after the current one (counted
// from 1, as the next part is asked for) within 32 bits.
constexpr uint32_t kLargestDisk = 0x7FFFFFFD;

[[noreturn]] void RaiseBadZip() { throw EBadZipFile(ZipMessageText(TZipMessage::NotValidZip)); }

// Fills an empty entry list from headers in any order with at most one sort; false,
// with the list left empty, when two headers name the same disk and offset.
bool FillEntryList(TSortedZip& list, std::vector<std::unique_ptr<TZipHeaderInfo>>& headers) {
  const auto before = [](const auto& a, const auto& b) { return CompareByPosition(*a, *b) < 0; };
  if (!std::is_sorted(headers.begin(), headers.end(), before))
    std::stable_sort(headers.begin(), headers.end(), before);
  for (size_t k = 1; k < headers.size(); ++k)
    if (CompareByPosition(*headers[k - 1], *headers[k]) == 0) return false;
  list.AddSortedHeaders(headers);
  return true;
}

}  // namespace

// Where one directory read takes its central headers from: the archive, as whichever
// part the component's stream shows (opening a part replaces that stream), or the
// side file, which this object owns. The kind and the stream change together, so a
// side file that has been let go cannot be read through.
class TXrUnZip::TDirectorySource {
public:
  explicit TDirectorySource(TXrUnZip& owner) : owner_(owner) {}
  TStream& Stream() const { return sideFile_ ? *sideFile_ : *owner_.FZipStream; }
  bool UsingSideFile() const { return sideFile_ != nullptr; }
  void UseSideFile(std::unique_ptr<TStream> sideFile) {
    sideFile_ = std::move(sideFile);
    Offset = 0;
    Bytes = sideFile_->Size();
  }
  void UseArchive() {
    sideFile_.reset();
    Offset = Bytes = 0;
  }

  // Where the directory starts in the source, and how many bytes it can take there.
  int64_t Offset = 0;
  int64_t Bytes = 0;

private:
  TXrUnZip& owner_;
  std::unique_ptr<TStream> sideFile_;
};

void TXrUnZip::LoadDirectory() {
  RefuseWhenBusy();
  FCancelRequested = false;
  TBusyScope busy(*this);
  ScopeExit close([this]() noexcept { CloseArchive(); });
  for (bool again = false;; again = true) {
    // A handler that changes neither the name nor the mode would be asked forever.
    const String name = FZipName;
    const TIncompleteZipMode mode = IncompleteZipMode;
    try {
      if (again && DoProcessMessages) PumpAndHonourRequests(false);
      OpenArchive();
      break;
    } catch (const EIncompleteZip&) {
      FZipStream.reset();
      if (!OnInCompleteZip) break;
      if (FZipName == name && IncompleteZipMode == mode) {
        ClearArchive();
        throw ENotAZipFile(ZipMessageText(TZipMessage::NotValidZip));
      }
    } catch (...) {
      ClearArchive();
      throw;
    }
  }
}

bool TXrUnZip::EntryIsPlausible(const TZipHeaderInfo& info, int64_t archiveSize) const {
  if (info.DiskNumberStart() >= uint32_t(FDiskCount)) return false;
  const int64_t offset = info.RelativeOffset();
  const int64_t packed = info.CompressedSize();
  if (offset < 0 || packed < 0 || info.UncompressedSize() < 0) return false;
  if (FDiskCount > 1) return true;  // parts of unknown size
  if (offset > archiveSize - kLocalHeaderSize) return false;
  return packed <= archiveSize - kLocalHeaderSize - offset;
}

TXrUnZip::TCentralResult TXrUnZip::ReadCentralHeaders(TDirectorySource& source, bool merge) {
  const int64_t archiveSize = FZipStream->Size();
  const int64_t count = FEndRecord->EntryCount();
  std::vector<std::unique_ptr<TZipHeaderInfo>> collected;
  uint16_t pending = 0;
  TZipHeaderInfo* previous = nullptr;
  const bool multiDisk = FEndRecord->ThisDisk() > 0;
  // In merge mode, the entries a central header has completed already.
  std::vector<bool> merged(merge ? size_t(LoadedEntryCount()) : 0, false);

  // Headers of the parts themselves are read whole, with their extra field and
  // comment, wherever a part ends in them.
  const bool acrossParts =
      !FRebuilt && GetMultiPartMode() != TMultiPartMode::mpNone && !source.UsingSideFile();
  auto readOne = [&](TZipHeaderInfo& info) {
    if (acrossParts) return ReadCentralAcrossParts(info, archiveSize);
    TStream* stream = &source.Stream();
    if (!info.ReadCentralHeader(stream)) return false;
    if (EntryIsPlausible(info, archiveSize)) return true;
    source.Stream().SetPosition(info.CentralOffset);
    return false;
  };
  auto skipTail = [&](const TZipHeaderInfo& info) {
    if (acrossParts) return;
    source.Stream().Seek(int64_t(info.CentralExtraLength) + info.CommentLength,
                         TSeekOrigin::soCurrent);
  };

  for (int64_t i = 0; i < count;) {
    if (DoProcessMessages) PumpAndHonourRequests(true);
    auto info = CreateHeader();
    bool ok = readOne(*info);
    if (!ok && pending > 0) {
      // The header before announced an extra field that is not there.
      if (previous) previous->CentralExtraLength = 0;
      if (acrossParts)
        SeekBackAcrossParts(pending);
      else
        source.Stream().Seek(-int64_t(pending), TSeekOrigin::soCurrent);
      previous = nullptr;
      info = CreateHeader();
      ok = readOne(*info);
    }
    pending = 0;
    if (!ok) {
      if (FRebuilt) break;
      return TCentralResult::Damaged;
    }
    if (merge) {
      int32_t index = 0;
      if (FEntries->SearchHeader(*info, index) && !merged[size_t(index)]) {
        // A second central header for the same place is not applied over the first.
        merged[size_t(index)] = true;
        TZipHeaderInfo& entry = FEntries->Header(index);
        const int64_t offset = entry.RelativeOffset();
        entry.Assign(*info);
        entry.SetRelativeOffset(offset);
        previous = &entry;
      } else {
        FEntriesDropped = true;
      }
      skipTail(*info);
      ++i;
      continue;
    }
    if (acrossParts) {
      // Read whole, comment included.
    } else if (multiDisk && info->HasComment()) {
      // Read while this part is at hand, so that no disk has to come back for it.
      TStream& stream = source.Stream();
      stream.Seek(info->CentralExtraLength, TSeekOrigin::soCurrent);
      std::string comment(info->CommentLength, '\0');
      comment.resize(size_t(ReadFully(stream, comment.data(), info->CommentLength)));
      info->FileComment = comment;
    } else {
      skipTail(*info);
    }
    if (info->CentralExtraLength > 0) pending = info->CentralExtraLength;
    collected.push_back(std::move(info));
    previous = pending > 0 ? collected.back().get() : nullptr;
    ++i;
  }
  if (merge) return TCentralResult::Done;

  return FillEntryList(*FEntries, collected) ? TCentralResult::Done : TCentralResult::Duplicate;
}

void TXrUnZip::SeekBackAcrossParts(int64_t count) {
  while (FZipStream->Position() < count && FCurrentDisk > 0) {
    count -= FZipStream->Position();
    OpenDisk(FCurrentDisk);
    FZipStream->SetPosition(FZipStream->Size());
  }
  FZipStream->Seek(-count, TSeekOrigin::soCurrent);
}

bool TXrUnZip::ReadCentralAcrossParts(TZipHeaderInfo& info, int64_t archiveSize) {
  const int32_t startDisk = FCurrentDisk;
  const int64_t start = FZipStream->Position();
  auto fail = [&] {
    if (FCurrentDisk != startDisk) OpenDisk(startDisk + 1);
    FZipStream->SetPosition(start);
    return false;
  };
  std::vector<uint8_t> record(kCentralHeaderSize);
  TStream* stream = FZipStream.get();
  int32_t n = ReadFully(*stream, record.data(), kCentralHeaderSize);
  // Only what begins like a header goes on in the next part.
  uint8_t signature[4];
  PutLe32(signature, CentralSig);
  if (n < kCentralHeaderSize && std::equal(record.begin(), record.begin() + std::min(n, 4), signature))
    n += ReadAcrossParts(stream, record.data() + n, kCentralHeaderSize - n);
  if (n != kCentralHeaderSize) return fail();
  const TCentralFileHeader fixed = TCentralFileHeader::FromBytes(record.data());
  if (fixed.Signature != CentralSig) return fail();
  const int32_t tail = int32_t(fixed.FileNameLength) + fixed.ExtraLength + fixed.CommentLength;
  record.resize(size_t(kCentralHeaderSize + tail));
  if (ReadAcrossParts(stream, record.data() + kCentralHeaderSize, tail) != tail) return fail();
  TReadOnlyMemoryStream whole(record.data(), record.size());
  TStream* wholeStream = &whole;
  if (!info.ReadCentralHeader(wholeStream) || !EntryIsPlausible(info, archiveSize)) return fail();
  info.CentralOffset = start;
  if (FEndRecord->ThisDisk() > 0 && info.HasComment())
    info.FileComment.assign(record.end() - info.CommentLength, record.end());
  return true;
}

void TXrUnZip::RecoverOrFail() {
  if (GetMultiPartMode() != TMultiPartMode::mpNone || !RebuildDirectory()) {
    ClearArchive();
    RaiseBadZip();
  }
}

void TXrUnZip::ReadDirectory(TStream& stream) {
  TBusyScope busy(*this);
  try {
    ReadDirectoryRecords(stream);
  } catch (...) {
    ForgetDirectory();
    throw;
  }
}

// Nothing of a failed read stays, so that the next operation reads the archive again
// instead of taking an empty or partial list (with the new file's stamp) for it.
void TXrUnZip::ForgetDirectory() {
  FreeEntryLists();
  FEndRecord->Clear();
  FArchiveDate = {};
  FRebuilt = false;
  FEntriesDropped = false;
  FDiskCount = 1;
}

void TXrUnZip::ReadDirectoryRecords(TStream& stream) {
  FRebuilt = false;
  FEntriesDropped = false;
  FArchiveParts.Clear();
  FArchiveParts.Add(FZipName);
  FSideFileName.clear();
  TDirectorySource source(*this);
  FArchiveDate = ArchiveStampOf(*FZipStream);
  FreeEntryLists();

  bool found = FEndRecord->ReadEndCentral(stream);
  if (found && FEndRecord->StartCentralDisk() > FEndRecord->ThisDisk()) found = false;
  if (!found) {
    const String name = ReplaceExt(FZipName, u".zfc");
    if (ArchiveFileExists(name)) {
      std::unique_ptr<TStream> sideFile =
          OpenArchiveStream(name, uint16_t(fmOpenRead | fmShareDenyWrite), false);
      found = FEndRecord->ReadEndCentral(*sideFile) &&
              FEndRecord->StartCentralDisk() <= FEndRecord->ThisDisk();
      if (found) {
        source.UseSideFile(std::move(sideFile));
        FArchiveParts.Add(name);
        FSideFileName = name;
      }
    }
  }

  bool merge = false;
  int64_t expected = 0;
  if (!found) {
    if (OnInCompleteZip) {
      // The handler may name another archive (the last disk put in, say): this read
      // then raises EIncompleteZip, and the open that called it takes the new name.
      FIncompleteNewName.reset();
      {
        FAskingIncomplete = true;
        ScopeExit asked([this]() noexcept { FAskingIncomplete = false; });
        OnInCompleteZip(*this, IncompleteZipMode);
      }
      if (FIncompleteNewName) {
        if (CompareNoCase(*FIncompleteNewName, FZipName) != 0)
          throw EIncompleteZip(ZipMessageText(TZipMessage::IncompleteZip));
        FIncompleteNewName.reset();
      }
    }
    switch (IncompleteZipMode) {
      case TIncompleteZipMode::izAssumeNotAZip:
        throw ENotAZipFile(ZipMessageText(TZipMessage::NotValidZip));
      case TIncompleteZipMode::izAssumeMulti:
        throw EIncompleteZip(ZipMessageText(TZipMessage::IncompleteZip));
      case TIncompleteZipMode::izAssumeBad:
        if (!RebuildDirectory()) {
          ClearArchive();
          RaiseBadZip();
        }
        merge = true;
        break;
    }
  } else {
    const uint32_t thisDisk = FEndRecord->ThisDisk();
    if (thisDisk > kLargestDisk) {
      ClearArchive();
      RaiseBadZip();
    }
    FCurrentDisk = source.UsingSideFile() ? 0 : int32_t(thisDisk);
    FDiskCount = int32_t(thisDisk) + 1;
    if (thisDisk > 0) {
      if (GetMultiPartMode() == TMultiPartMode::mpNone) {
        const String root = UpperCase(LeftChars(FZipName, 3));
        if (root.size() < 2 || root[1] != u':')
          SetMultiPartMode(TMultiPartMode::mpSplit);
        else
          SetMultiPartMode(DriveIsRemovable(root) ? TMultiPartMode::mpSpanned : TMultiPartMode::mpSplit);
      }
    } else {
      SetMultiPartMode(TMultiPartMode::mpNone);
    }
    expected = FEndRecord->EntryCount();
    if (expected > 0) {
      if (!source.UsingSideFile()) {
        if (GetMultiPartMode() != TMultiPartMode::mpNone &&
            int64_t(FEndRecord->StartCentralDisk()) != FCurrentDisk)
          OpenDisk(int32_t(FEndRecord->StartCentralDisk()) + 1);
        // Where the directory can lie, and so how many headers it can hold.
        source.Offset = FEndRecord->CentralDirOffset();
        if (thisDisk == 0) {
          source.Bytes = FEndRecord->EndRecordOffset() - source.Offset;
        } else {
          // The directory cannot be larger than all parts together, each as large as this.
          const int64_t partSize = source.Stream().Size();
          const int64_t allParts =
              partSize > INT64_MAX / FDiskCount ? INT64_MAX : partSize * int64_t(FDiskCount);
          source.Bytes = std::min(FEndRecord->CentralDirSize(), allParts);
        }
      }
      if (source.Offset < 0 || source.Bytes < 0 || expected > source.Bytes / kCentralHeaderSize) {
        RecoverOrFail();
        // The rebuilt list is completed from the archive, where the scan stopped.
        merge = true;
        source.UseArchive();
      } else {
        source.Stream().SetPosition(source.Offset);
      }
    }
  }

  if (LoadedEntryCount() == 0) {
    FEntries = std::make_unique<TSortedZip>(TListDuplicates::ldError);
    FSortedEntries = FEntries.get();
    FDiskCount = int32_t(FEndRecord->ThisDisk()) + 1;
  }

  TCentralResult result = ReadCentralHeaders(source, merge);
  if (result != TCentralResult::Done) {
    // A header that cannot be read, or two at one place: rebuild from the local
    // headers and complete them from the central headers after them.
    RecoverOrFail();
    if (LoadedEntryCount() == 0) {
      FEntries = std::make_unique<TSortedZip>(TListDuplicates::ldError);
      FSortedEntries = FEntries.get();
    }
    source.UseArchive();
    ReadCentralHeaders(source, true);
  }
  if (FRebuilt && LoadedEntryCount() < expected) FEntriesDropped = true;
  if (!source.UsingSideFile()) FSideFileName.clear();

  if (FEndRecord->ThisDisk() > 0 && FEndRecord->HasComment()) {
    if (!source.UsingSideFile()) {
      if (FCurrentDisk != int32_t(FEndRecord->ThisDisk()))
        OpenDisk(int32_t(FEndRecord->ThisDisk()) + 1);
      ReadArchiveComment();
    } else {
      TStream& side = source.Stream();
      side.SetPosition(FEndRecord->CommentOffset);
      std::string comment(FEndRecord->CommentLength(), '\0');
      comment.resize(size_t(ReadFully(side, comment.data(), int32_t(comment.size()))));
      const bool changed = FEndRecord->Changed;
      SetArchiveComment(comment);
      FEndRecord->Changed = changed;
    }
  }
  BuildSortedView(SortMode);
}

std::unique_ptr<TStream> TXrUnZip::OpenSideFile() {
  if (FSideFileName.empty()) return nullptr;
  return OpenArchiveStream(FSideFileName, uint16_t(fmOpenRead | fmShareDenyWrite), false);
}

bool TXrUnZip::RebuildDirectory() {
  if (FRebuilt) return false;
  FRebuilt = true;
  FreeEntryLists();
  TStream& stream = *FZipStream;
  const int64_t size = stream.Size();
  int64_t position = SameText(FileExtOf(FZipName), u".EXE") ? kSfxProgramSize : 0;

  // Look for the local header signature followed by a version whose high byte is
  // below 10, reading in chunks; a window of 6 bytes spans the chunk boundaries.
  std::vector<uint8_t> chunk(kScanChunk + 6);
  int64_t found = -1;
  int64_t sincePump = 0;
  size_t carried = 0;
  int64_t chunkStart = position;
  stream.SetPosition(position);
  while (found < 0) {
    const int32_t n = ReadFully(stream, chunk.data() + carried, kScanChunk);
    if (n <= 0) break;
    const size_t have = carried + size_t(n);
    size_t k = 0;
    for (; k + 6 <= have; ++k) {
      if (chunk[k] == LocalSigBytes[0] && chunk[k + 1] == LocalSigBytes[1] &&
          chunk[k + 2] == LocalSigBytes[2] && chunk[k + 3] == LocalSigBytes[3] && chunk[k + 5] < 10) {
        found = chunkStart + int64_t(k);
        break;
      }
      if (++sincePump >= kScanPumpInterval) {
        sincePump = 0;
        if (DoProcessMessages) PumpAndHonourRequests(true);
      }
    }
    if (found >= 0) break;
    carried = have - k;
    std::copy(chunk.begin() + ptrdiff_t(k), chunk.begin() + ptrdiff_t(have), chunk.begin());
    chunkStart += int64_t(k);
  }
  if (found < 0) return false;

  stream.SetPosition(found);
  // Collected first and put into the list in one go, as the central headers are: each
  // header takes at least its 30 bytes of the file, so what is held stays in
  // proportion to the file.
  std::vector<std::unique_ptr<TZipHeaderInfo>> collected;
  try {
    auto info = CreateHeader();
    while (info->ReadLocalHeader(stream)) {
      if (DoProcessMessages) PumpAndHonourRequests(false);
      const int64_t dataStart = stream.Position() + info->LocalExtraLength;
      // Data that runs past the end of the file belongs to no real entry. Tested
      // before any sum, so that a size near 2^63 cannot overflow it.
      if (info->CompressedSize() > size - dataStart) {
        stream.SetPosition(info->RelativeOffset());
        break;
      }
      const int64_t dataEnd = dataStart + info->CompressedSize();
      const int64_t descriptor = info->HasDataDescriptor() ? kDataDescriptorSize : 0;
      stream.SetPosition(dataEnd + std::min(descriptor, size - dataEnd));
      collected.push_back(std::move(info));
      info = CreateHeader();
    }
  } catch (const std::bad_alloc&) {
    throw EOutOfMemory(base_text::kOutOfMemory);
  }
  FEntries = std::make_unique<TSortedZip>(TListDuplicates::ldError);
  FSortedEntries = FEntries.get();
  // Local headers found one after the other lie at rising offsets: never two at one.
  FillEntryList(*FEntries, collected);
  // A scan that stops elsewhere than at the directory or the end of the file has
  // stepped off the entries and left the rest out.
  const int64_t stop = stream.Position();
  uint8_t next[4] = {};
  if (ReadFully(stream, next, 4) == 4 && GetLe32(next) != CentralSig && GetLe32(next) != EndCentralSig &&
      GetLe32(next) != kZip64EndRecordSig)
    FEntriesDropped = true;
  stream.SetPosition(stop);
  FEndRecord->SetThisDisk(0);
  FEndRecord->SetCentralDirOffset(stop);
  FEndRecord->SetEntryCount(LoadedEntryCount());
  FCurrentDisk = 0;
  FDiskCount = 1;
  return true;
}

std::string TXrUnZip::ReadArchiveComment() {
  if (!FEndRecord->HasComment()) return std::string();
  if (!FEndRecord->Comment.empty()) return FEndRecord->Comment;
  OpenArchive();
  const std::unique_ptr<TStream> sideFile = OpenSideFile();
  TStream& stream = sideFile ? *sideFile : *FZipStream;
  const int64_t position = stream.Position();
  CallThenFinish(
      [&] {
        stream.SetPosition(FEndRecord->CommentOffset);
        std::string comment(FEndRecord->CommentLength(), '\0');
        comment.resize(size_t(ReadFully(stream, comment.data(), int32_t(comment.size()))));
        const bool changed = FEndRecord->Changed;
        SetArchiveComment(comment);
        FEndRecord->Changed = changed;
      },
      [&] {
        stream.SetPosition(position);
        if (GetMultiPartMode() == TMultiPartMode::mpNone) CloseArchive();
      });
  return FEndRecord->Comment;
}

std::string TXrUnZip::ReadEntryComment(int32_t index) {
  {
    const TZipHeaderInfo& entry = Entry(index);
    if (!entry.HasComment()) return std::string();
    if (!entry.FileComment.empty()) return entry.FileComment;
  }
  OpenArchive();
  // Opening may have read the directory again.
  Entry(index);
  TZipHeaderInfo& entry = FSortedEntries->Header(index);
  const std::unique_ptr<TStream> sideFile = OpenSideFile();
  TStream& stream = sideFile ? *sideFile : *FZipStream;
  const int64_t position = stream.Position();
  CallThenFinish(
      [&] {
        uint8_t rec[kCentralHeaderSize] = {};
        stream.SetPosition(entry.CentralOffset);
        const bool whole = ReadFully(stream, rec, kCentralHeaderSize) == kCentralHeaderSize;
        const TCentralFileHeader fixed = TCentralFileHeader::FromBytes(rec);
        if (!whole || fixed.Signature != CentralSig) return;
        stream.Seek(int64_t(fixed.FileNameLength) + fixed.ExtraLength, TSeekOrigin::soCurrent);
        std::string comment(fixed.CommentLength, '\0');
        comment.resize(size_t(ReadFully(stream, comment.data(), int32_t(comment.size()))));
        const bool changed = FEndRecord->Changed;
        SetEntryComment(index, comment);
        FEndRecord->Changed = changed;
      },
      [&] {
        stream.SetPosition(position);
        if (GetMultiPartMode() == TMultiPartMode::mpNone) CloseArchive();
      });
  return entry.FileComment;
}

std::string TXrUnZip::GetEntryComment(int32_t index) {
  // A handler may read what is loaded; only a read of the archive is refused.
  const TZipHeaderInfo& entry = Entry(index);
  if (!entry.HasComment()) return std::string();
  if (!entry.FileComment.empty()) return entry.FileComment;
  RefuseWhenBusy();
  return ReadEntryComment(index);
}

void TXrUnZip::SetEntryComment(int32_t index, const std::string& value) {
  Entry(index);
  FSortedEntries->Header(index).SetFileComment(value);
  FEndRecord->Changed = true;
}

std::string TXrUnZip::GetArchiveComment() {
  if (!FEndRecord->HasComment()) return std::string();
  if (!FEndRecord->Comment.empty()) return FEndRecord->Comment;
  RefuseWhenBusy();
  return ReadArchiveComment();
}

void TXrUnZip::SetArchiveComment(const std::string& value) {
  FEndRecord->SetComment(value);
  FEndRecord->Changed = true;
}
