// The archive-level records: the end of central directory record with the archive
// comment, and the ZIP64 end of central directory locator and record.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "base/object.h"
#include "base/stream.h"

inline constexpr int kEndCentralSize = 22;
inline constexpr int kZip64LocatorSize = 20;
inline constexpr int kZip64EndRecordSize = 56;
inline constexpr int kLargestEndComment = 65535;

struct TZip64Locator {
  uint32_t Signature = 0x07064B50;
  uint32_t EndRecordDisk = 0;
  uint64_t EndRecordOffset = 0;
  uint32_t TotalDisks = 1;
};

struct TZip64EndRecord {
  uint32_t Signature = 0x06064B50;
  uint64_t RecordSize = 44;
  uint16_t VersionMadeBy = 45;
  uint16_t VersionNeeded = 45;
  uint32_t ThisDisk = 0;
  uint32_t StartCentralDisk = 0;
  uint64_t EntriesThisDisk = 0;
  uint64_t TotalEntries = 0;
  uint64_t CentralDirSize = 0;
  uint64_t CentralDirOffset = 0;
};

class TEndCentral : public TPersistent {
public:
  TEndCentral() { Clear(); }
  String ClassName() const override { return u"TEndCentral"; }

  // Resets the end record, the comment and the flag, and drops the ZIP64 records
  // so that nothing of an archive read before survives.
  void Clear();
  // Finds the end record in the stream's last 65557 bytes and the ZIP64 records
  // before it. An empty stream is an archive without entries (True).
  bool ReadEndCentral(TStream& stream);

  bool HasComment() const { return CommentLength() > 0; }
  uint16_t CommentLength() const;
  void SetComment(const std::string& s);

  uint32_t ThisDisk() const;
  void SetThisDisk(uint32_t v);
  uint32_t StartCentralDisk() const;
  int64_t EntryCount() const;
  void SetEntryCount(int64_t v);
  int64_t CentralDirOffset() const;
  void SetCentralDirOffset(int64_t v);
  // Size of the central directory in bytes, ZIP64-aware; bounds the entry count.
  int64_t CentralDirSize() const;
  // Archive position of the end record itself (CommentOffset - 22).
  int64_t EndRecordOffset() const { return CommentOffset - kEndCentralSize; }

  TZip64EndRecord& Zip64EndRec();
  TZip64Locator& Zip64LocatorRec();
  bool HasZip64() const { return zip64End_.has_value(); }

  void Assign(const TPersistent& source) override;

  uint8_t EndRec[kEndCentralSize];
  std::string Comment;
  int64_t CommentOffset = 0;
  bool Changed = false;

protected:
  void AssignTo(TPersistent& dest) const override;

private:
  uint16_t Field16(int offset) const;
  uint32_t Field32(int offset) const;

  std::optional<TZip64EndRecord> zip64End_;
  std::optional<TZip64Locator> zip64Locator_;
};
