#include "unzip/end_central.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "unzip/le_bytes.h"
#include "unzip/zip_signatures.h"
#include "unzip/zip_lib_routines.h"

namespace {

constexpr int kTotalOffset = 10;  // 16-bit total number of entries
constexpr int kThisDiskOffset = 4;
constexpr int kStartDiskOffset = 6;
constexpr int kDirSizeOffset = 12;
constexpr int kDirOffsetOffset = 16;
constexpr int kCommentLengthOffset = 20;
constexpr uint64_t kLargestValue = uint64_t(INT64_MAX);

}  // namespace

void TEndCentral::Clear() {
  std::memset(EndRec, 0, sizeof EndRec);
  PutLe32(EndRec, EndCentralSig);
  Comment.clear();
  CommentOffset = 0;
  Changed = false;
  zip64End_.reset();
  zip64Locator_.reset();
}

uint16_t TEndCentral::Field16(int offset) const { return GetLe16(EndRec + offset); }
uint32_t TEndCentral::Field32(int offset) const { return GetLe32(EndRec + offset); }

uint16_t TEndCentral::CommentLength() const { return Field16(kCommentLengthOffset); }

void TEndCentral::SetComment(const std::string& s) {
  Comment = s.substr(0, kLargestEndComment);
  PutLe16(EndRec + kCommentLengthOffset, uint16_t(Comment.size()));
}

uint32_t TEndCentral::ThisDisk() const {
  if (Field16(kThisDiskOffset) == 0xFFFF && zip64End_) return zip64End_->ThisDisk;
  return Field16(kThisDiskOffset);
}

void TEndCentral::SetThisDisk(uint32_t v) {
  if (v > 0xFFFE) {
    Zip64EndRec().ThisDisk = v;
    PutLe16(EndRec + kThisDiskOffset, 0xFFFF);
  } else {
    PutLe16(EndRec + kThisDiskOffset, uint16_t(v));
  }
}

uint32_t TEndCentral::StartCentralDisk() const {
  if (Field16(kStartDiskOffset) == 0xFFFF && zip64End_) return zip64End_->StartCentralDisk;
  return Field16(kStartDiskOffset);
}

int64_t TEndCentral::EntryCount() const {
  if (Field16(kTotalOffset) == 0xFFFF && zip64End_) return int64_t(zip64End_->TotalEntries);
  return Field16(kTotalOffset);
}

void TEndCentral::SetEntryCount(int64_t v) {
  if (v > 0xFFFE) {
    Zip64EndRec().TotalEntries = uint64_t(v);
    PutLe16(EndRec + kTotalOffset, 0xFFFF);
  } else {
    PutLe16(EndRec + kTotalOffset, uint16_t(v));
    if (zip64End_) zip64End_->TotalEntries = uint64_t(v);
  }
}

int64_t TEndCentral::CentralDirOffset() const {
  if (Field32(kDirOffsetOffset) == 0xFFFFFFFF && zip64End_)
    return int64_t(zip64End_->CentralDirOffset);
  return Field32(kDirOffsetOffset);
}

void TEndCentral::SetCentralDirOffset(int64_t v) {
  if (v > 0xFFFFFFFELL) {
    Zip64EndRec().CentralDirOffset = uint64_t(v);
    PutLe32(EndRec + kDirOffsetOffset, 0xFFFFFFFF);
  } else {
    PutLe32(EndRec + kDirOffsetOffset, uint32_t(v));
  }
}

int64_t TEndCentral::CentralDirSize() const {
  if (Field32(kDirSizeOffset) == 0xFFFFFFFF && zip64End_) return int64_t(zip64End_->CentralDirSize);
  return Field32(kDirSizeOffset);
}

TZip64EndRecord& TEndCentral::Zip64EndRec() {
  if (!zip64End_) zip64End_.emplace();
  return *zip64End_;
}

TZip64Locator& TEndCentral::Zip64LocatorRec() {
  if (!zip64Locator_) zip64Locator_.emplace();
  return *zip64Locator_;
}

bool TEndCentral::ReadEndCentral(TStream& stream) {
  // Nothing of an archive read before may pass for this one's, not even when this
  // one is empty or has no end record.
  std::memset(EndRec, 0, sizeof EndRec);
  PutLe32(EndRec, EndCentralSig);
  Comment.clear();
  CommentOffset = 0;
  zip64End_.reset();
  zip64Locator_.reset();
  const int64_t size = stream.Size();
  if (size < kEndCentralSize) return size == 0;
  const int32_t n = int32_t(std::min<int64_t>(size, kEndCentralSize + kLargestEndComment));
  std::vector<uint8_t> tail(static_cast<size_t>(n));
  stream.Seek(size - n, TSeekOrigin::soBeginning);
  if (ReadFully(stream, tail.data(), n) != n) return false;

  // Of the signatures in the tail, the one whose comment length reaches exactly to the
  // end of the file wins; without such a one, the one nearest the end.
  int found = -1;
  for (int i = n - kEndCentralSize; i >= 0; --i) {
    if (tail[size_t(i)] != uint8_t(EndCentralSig) || GetLe32(&tail[size_t(i)]) != EndCentralSig)
      continue;
    if (found < 0) found = i;
    if (i + kEndCentralSize + GetLe16(&tail[size_t(i) + kCommentLengthOffset]) == n) {
      found = i;
      break;
    }
  }
  if (found < 0) return false;

  std::memcpy(EndRec + 4, &tail[size_t(found) + 4], kEndCentralSize - 4);
  CommentOffset = size - n + found + kEndCentralSize;

  if (found >= kZip64LocatorSize &&
      GetLe32(&tail[size_t(found - kZip64LocatorSize)]) == Zip64LocatorSig) {
    const uint8_t* loc = &tail[size_t(found - kZip64LocatorSize)];
    TZip64Locator locator;
    locator.Signature = GetLe32(loc);
    locator.EndRecordDisk = GetLe32(loc + 4);
    locator.EndRecordOffset = GetLe64(loc + 8);
    locator.TotalDisks = GetLe32(loc + 16);
    const int64_t locatorPos = size - n + found - kZip64LocatorSize;
    // The ZIP64 end record must lie wholly before its locator.
    if (locator.EndRecordOffset <= uint64_t(locatorPos) &&
        locator.EndRecordOffset + kZip64EndRecordSize <= uint64_t(locatorPos)) {
      uint8_t rec[kZip64EndRecordSize];
      stream.Seek(int64_t(locator.EndRecordOffset), TSeekOrigin::soBeginning);
      if (ReadFully(stream, rec, kZip64EndRecordSize) == kZip64EndRecordSize &&
          GetLe32(rec) == kZip64EndRecordSig) {
        TZip64EndRecord r;
        r.Signature = GetLe32(rec);
        r.RecordSize = GetLe64(rec + 4);
        r.VersionMadeBy = GetLe16(rec + 12);
        r.VersionNeeded = GetLe16(rec + 14);
        r.ThisDisk = GetLe32(rec + 16);
        r.StartCentralDisk = GetLe32(rec + 20);
        r.EntriesThisDisk = GetLe64(rec + 24);
        r.TotalEntries = GetLe64(rec + 32);
        r.CentralDirSize = GetLe64(rec + 40);
        r.CentralDirOffset = GetLe64(rec + 48);
        if (r.TotalEntries <= kLargestValue && r.CentralDirSize <= kLargestValue &&
            r.CentralDirOffset <= kLargestValue) {
          zip64Locator_ = locator;
          zip64End_ = r;
        }
      }
    }
  }
  return true;
}

void TEndCentral::Assign(const TPersistent& source) {
  const auto* src = dynamic_cast<const TEndCentral*>(&source);
  if (!src) {
    TPersistent::Assign(source);
    return;
  }
  src->AssignTo(*this);
}

void TEndCentral::AssignTo(TPersistent& dest) const {
  auto* d = dynamic_cast<TEndCentral*>(&dest);
  if (!d) {
    TPersistent::AssignTo(dest);
    return;
  }
  if (d == this) return;
  std::memcpy(d->EndRec, EndRec, sizeof EndRec);
  if (CommentLength() > 0 && !Comment.empty()) d->SetComment(Comment);
  d->CommentOffset = CommentOffset;
  // The ZIP64 records go along: without them the escaped fields would read wrong.
  d->zip64End_ = zip64End_;
  d->zip64Locator_ = zip64Locator_;
}
