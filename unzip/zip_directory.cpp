// Reading an archive's directory into the component's entry list: the end record,
// the side file, the central headers with their recovery steps, and the rebuild from
// local headers.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "base/file_stream.h"
#include "base/format.h"
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
// Disk numbers up to here keep the disk count within 32 bits.
constexpr uint32_t kLargestDisk = 0x7FFFFFFE;

[[noreturn]] void RaiseBadZip() { throw EBadZipFile(ZipMessageText(TZipMessage::NotValidZip)); }

}  // namespace

void TXrUnZip::LoadDirectory() {
  RefuseWhenBusy();
  FCancelRequested = false;
  TBusyScope busy(*this);
  try {
    for (;;) {
      try {
        OpenArchive();
        break;
      } catch (const EIncompleteZip&) {
        FZipStream.reset();
        if (!OnInCompleteZip) break;
      } catch (...) {
        ClearArchive();
        throw;
      }
    }
  } catch (...) {
    CloseArchive();
    throw;
  }
  CloseArchive();
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

TXrUnZip::TCentralResult TXrUnZip::ReadCentralHeaders(TStream*& dirStream, bool merge,
                                                      bool usingSideFile) {
  const int64_t archiveSize = FZipStream->Size();
  const int64_t count = FEndRecord->EntryCount();
  std::vector<std::unique_ptr<TZipHeaderInfo>> collected;
  uint16_t pending = 0;
  TZipHeaderInfo* previous = nullptr;
  const bool multiDisk = FEndRecord->ThisDisk() > 0;
  // In merge mode, the entries a central header has completed already.
  std::vector<bool> merged(merge ? size_t(LoadedEntryCount()) : 0, false);

  auto readOne = [&](TZipHeaderInfo& info) {
    TNextPartProc next;
    if (!FRebuilt && GetMultiPartMode() != TMultiPartMode::mpNone && !usingSideFile)
      next = [this](TZipHeaderInfo& h, TStream*& s) { OpenNextDisk(h, s); };
    if (!info.ReadCentralHeader(dirStream, next)) return false;
    if (EntryIsPlausible(info, archiveSize)) return true;
    dirStream->SetPosition(info.CentralOffset);
    return false;
  };
  auto skipTail = [&](const TZipHeaderInfo& info) {
    dirStream->Seek(int64_t(info.CentralExtraLength) + info.CommentLength, TSeekOrigin::soCurrent);
  };

  for (int64_t i = 0; i < count;) {
    if (DoProcessMessages) PumpAndHonourRequests(true);
    auto info = CreateHeader();
    bool ok = readOne(*info);
    if (!ok && pending > 0) {
      // The header before announced an extra field that is not there.
      if (previous) previous->CentralExtraLength = 0;
      dirStream->Seek(-int64_t(pending), TSeekOrigin::soCurrent);
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
    if (multiDisk && info->HasComment()) {
      // Read while this part is at hand, so that no disk has to come back for it.
      dirStream->Seek(info->CentralExtraLength, TSeekOrigin::soCurrent);
      std::string comment(info->CommentLength, '\0');
      comment.resize(size_t(ReadFully(*dirStream, comment.data(), info->CommentLength)));
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

  // One sort, duplicates found as neighbours, then the sorted list is filled in order.
  std::stable_sort(collected.begin(), collected.end(),
                   [](const auto& a, const auto& b) { return CompareByPosition(*a, *b) < 0; });
  for (size_t k = 1; k < collected.size(); ++k)
    if (CompareByPosition(*collected[k - 1], *collected[k]) == 0) return TCentralResult::Duplicate;
  FEntries->SetCapacity(int32_t(std::min<size_t>(collected.size(), TObjectList::kMaxCapacity)));
  for (auto& header : collected) FEntries->AddHeader(std::move(header));
  return TCentralResult::Done;
}

void TXrUnZip::RecoverOrFail() {
  if (GetMultiPartMode() != TMultiPartMode::mpNone || !RebuildDirectory()) {
    ClearArchive();
    RaiseBadZip();
  }
}

void TXrUnZip::ReadDirectory(TStream& stream) {
  TBusyScope busy(*this);
  FRebuilt = false;
  FEntriesDropped = false;
  bool usingSideFile = false;
  TStream* dirStream = &stream;
  std::unique_ptr<TFileStream> sideFile;
  FArchiveDate = ArchiveStampOf(*FZipStream);
  FreeEntryLists();

  bool found = FEndRecord->ReadEndCentral(*dirStream);
  if (found && FEndRecord->StartCentralDisk() > FEndRecord->ThisDisk()) found = false;
  if (!found) {
    const String name = ReplaceExt(FZipName, u".zfc");
    if (FileFound(name)) {
      sideFile = std::make_unique<TFileStream>(HostFileName(name), uint16_t(fmOpenRead | fmShareDenyWrite));
      if (FEndRecord->ReadEndCentral(*sideFile)) {
        usingSideFile = true;
        dirStream = sideFile.get();
        found = FEndRecord->StartCentralDisk() <= FEndRecord->ThisDisk();
      }
      if (!found) sideFile.reset();
    }
  }

  bool merge = false;
  int64_t expected = 0;
  if (!found) {
    if (OnInCompleteZip) OnInCompleteZip(*this, IncompleteZipMode);
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
    FCurrentDisk = usingSideFile ? 0 : int32_t(thisDisk);
    FDiskCount = int32_t(thisDisk) + 1;
    if (thisDisk > 0) {
      if (GetMultiPartMode() == TMultiPartMode::mpNone) {
        const String root = UpperCase(LeftChars(FZipName, 3));
        if (root.size() < 2 || root[1] != u':')
          SetMultiPartMode(TMultiPartMode::mpSplit);
        else
          SetMultiPartMode(IsRemovableDrive(root) ? TMultiPartMode::mpSpanned : TMultiPartMode::mpSplit);
      }
    } else {
      SetMultiPartMode(TMultiPartMode::mpNone);
    }
    expected = FEndRecord->EntryCount();
    if (expected > 0) {
      const bool singleFile = thisDisk == 0 && !usingSideFile;
      if (!usingSideFile && GetMultiPartMode() != TMultiPartMode::mpNone &&
          int64_t(FEndRecord->StartCentralDisk()) != FCurrentDisk)
        dirStream = &OpenDisk(int32_t(FEndRecord->StartCentralDisk()) + 1);
      // Where the directory can lie, and so how many headers it can hold.
      const int64_t dirOffset = usingSideFile ? 0 : FEndRecord->CentralDirOffset();
      int64_t dirBytes;
      if (usingSideFile)
        dirBytes = dirStream->Size();
      else if (singleFile)
        dirBytes = FEndRecord->EndRecordOffset() - dirOffset;
      else {
        // The directory cannot be larger than all parts together, each as large as this.
        const int64_t partSize = dirStream->Size();
        const int64_t allParts =
            partSize > INT64_MAX / FDiskCount ? INT64_MAX : partSize * int64_t(FDiskCount);
        dirBytes = std::min(FEndRecord->CentralDirSize(), allParts);
      }
      if (dirOffset < 0 || dirBytes < 0 || expected > dirBytes / kCentralHeaderSize) {
        RecoverOrFail();
        // The rebuilt list is completed from the archive, where the scan stopped.
        merge = true;
        dirStream = FZipStream.get();
        usingSideFile = false;
      } else {
        dirStream->SetPosition(dirOffset);
      }
    }
  }

  if (LoadedEntryCount() == 0) {
    FEntries = std::make_unique<TSortedZip>(TListDuplicates::ldError);
    FSortedEntries = FEntries.get();
    FDiskCount = int32_t(FEndRecord->ThisDisk()) + 1;
  }

  TCentralResult result = ReadCentralHeaders(dirStream, merge, usingSideFile);
  if (result != TCentralResult::Done) {
    // A header that cannot be read, or two at one place: rebuild from the local
    // headers and complete them from the central headers after them.
    RecoverOrFail();
    if (LoadedEntryCount() == 0) {
      FEntries = std::make_unique<TSortedZip>(TListDuplicates::ldError);
      FSortedEntries = FEntries.get();
    }
    dirStream = FZipStream.get();
    usingSideFile = false;
    ReadCentralHeaders(dirStream, true, false);
  }
  if (FRebuilt && LoadedEntryCount() < expected) FEntriesDropped = true;

  if (FEndRecord->ThisDisk() > 0 && FEndRecord->HasComment()) {
    if (!usingSideFile) {
      if (FCurrentDisk != int32_t(FEndRecord->ThisDisk()))
        OpenDisk(int32_t(FEndRecord->ThisDisk()) + 1);
      ReadArchiveComment();
    } else {
      dirStream->SetPosition(FEndRecord->CommentOffset);
      std::string comment(FEndRecord->CommentLength(), '\0');
      comment.resize(size_t(ReadFully(*dirStream, comment.data(), int32_t(comment.size()))));
      const bool changed = FEndRecord->Changed;
      SetArchiveComment(comment);
      FEndRecord->Changed = changed;
    }
  }
  BuildSortedView(SortMode);
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
  FEntries = std::make_unique<TSortedZip>(TListDuplicates::ldError);
  FSortedEntries = FEntries.get();
  auto info = CreateHeader();
  while (info->ReadLocalHeader(stream)) {
    if (DoProcessMessages) PumpAndHonourRequests(false);
    const int64_t dataStart = stream.Position() + info->LocalExtraLength;
    // Data that runs past the end of the file belongs to no real entry. Tested before
    // any sum, so that a size near 2^63 cannot overflow it.
    if (info->CompressedSize() > size - dataStart) {
      stream.SetPosition(info->RelativeOffset());
      break;
    }
    const int64_t dataEnd = dataStart + info->CompressedSize();
    const int64_t descriptor = info->HasDataDescriptor() ? kDataDescriptorSize : 0;
    stream.SetPosition(dataEnd + std::min(descriptor, size - dataEnd));
    FEntries->AddHeader(std::move(info));
    info = CreateHeader();
  }
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
  TStream& stream = *FZipStream;
  const int64_t position = stream.Position();
  std::string comment;
  try {
    stream.SetPosition(FEndRecord->CommentOffset);
    comment.assign(FEndRecord->CommentLength(), '\0');
    comment.resize(size_t(ReadFully(stream, comment.data(), int32_t(comment.size()))));
    const bool changed = FEndRecord->Changed;
    SetArchiveComment(comment);
    FEndRecord->Changed = changed;
  } catch (...) {
    stream.SetPosition(position);
    if (GetMultiPartMode() == TMultiPartMode::mpNone) CloseArchive();
    throw;
  }
  stream.SetPosition(position);
  if (GetMultiPartMode() == TMultiPartMode::mpNone) CloseArchive();
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
  TStream& stream = *FZipStream;
  const int64_t position = stream.Position();
  auto finish = [&] {
    stream.SetPosition(position);
    if (GetMultiPartMode() == TMultiPartMode::mpNone) CloseArchive();
  };
  try {
    uint8_t rec[kCentralHeaderSize];
    stream.SetPosition(entry.CentralOffset);
    if (ReadFully(stream, rec, kCentralHeaderSize) == kCentralHeaderSize && GetLe32(rec) == CentralSig) {
      stream.Seek(int64_t(GetLe16(rec + 28)) + GetLe16(rec + 30), TSeekOrigin::soCurrent);
      std::string comment(GetLe16(rec + 32), '\0');
      comment.resize(size_t(ReadFully(stream, comment.data(), int32_t(comment.size()))));
      const bool changed = FEndRecord->Changed;
      SetEntryComment(index, comment);
      FEndRecord->Changed = changed;
    }
  } catch (...) {
    finish();
    throw;
  }
  finish();
  return entry.FileComment;
}

std::string TXrUnZip::GetEntryComment(int32_t index) {
  RefuseWhenBusy();
  return ReadEntryComment(index);
}

void TXrUnZip::SetEntryComment(int32_t index, const std::string& value) {
  Entry(index);
  FSortedEntries->Header(index).SetFileComment(value);
  FEndRecord->Changed = true;
}

std::string TXrUnZip::GetArchiveComment() {
  RefuseWhenBusy();
  return ReadArchiveComment();
}

void TXrUnZip::SetArchiveComment(const std::string& value) {
  FEndRecord->SetComment(value);
  FEndRecord->Changed = true;
}
