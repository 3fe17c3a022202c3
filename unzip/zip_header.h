// One entry of a zip archive: its central (or local) header, decoded name and the
// ZIP64, AES and Unicode-path information of its extra field.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "base/object.h"
#include "base/stream.h"
#include "base/string.h"

enum class TOEMConvert : uint8_t { oemNever = 0, oemFlexible = 1 };

inline constexpr int kLocalHeaderSize = 30;
inline constexpr int kCentralHeaderSize = 46;
inline constexpr uint32_t kEscape32 = 0xFFFFFFFF;
inline constexpr uint16_t kEscape16 = 0xFFFF;
inline constexpr uint16_t kTagZip64 = 0x0001;
inline constexpr uint16_t kTagAes = 0x9901;
inline constexpr uint16_t kTagUnicodePath = 0x7075;
inline constexpr uint16_t kMethodAes = 99;
inline constexpr uint16_t kFlagEncrypted = 0x0001;
inline constexpr uint16_t kFlagDataDescriptor = 0x0008;
inline constexpr uint16_t kFlagUtf8 = 0x0800;

struct TZip64InfoField {
  uint16_t Tag = kTagZip64;
  uint16_t Size = 0;
  uint64_t UncompressedSize = 0;
  uint64_t CompressedSize = 0;
  uint64_t RelativeOffset = 0;
  uint32_t DiskNumberStart = 0;
  bool operator==(const TZip64InfoField&) const = default;
};

struct TAesInfoField {
  uint16_t Tag = kTagAes;
  uint16_t Size = 7;
  uint16_t VendorVersion = 1;
  char VendorId[2] = {'A', 'E'};
  uint8_t Strength = 0;
  uint16_t ActualMethod = 0;
  bool operator==(const TAesInfoField&) const = default;
};

struct TUnicodePathField {
  uint16_t Tag = kTagUnicodePath;
  uint16_t Size = 0;
  uint8_t Version = 1;
  uint32_t NameCrc = 0;
  bool operator==(const TUnicodePathField&) const = default;
};

// The fixed part of a local file header as stored (30 bytes, then the name and the
// extra field).
struct TLocalFileHeader {
  uint32_t Signature;
  uint16_t VersionNeeded;
  uint16_t Flags;
  uint16_t CompressionMethod;
  uint32_t DateTime;  // time in the low word, date in the high one
  uint32_t Crc32;
  uint32_t CompressedSize;
  uint32_t UncompressedSize;
  uint16_t FileNameLength;
  uint16_t ExtraLength;
  // From kLocalHeaderSize bytes, little-endian.
  static TLocalFileHeader FromBytes(const uint8_t* bytes);
};

// The fixed part of a central directory file header as stored (46 bytes, then the name,
// the extra field and the comment).
struct TCentralFileHeader {
  uint32_t Signature;
  uint16_t VersionMadeBy;
  uint16_t VersionNeeded;
  uint16_t Flags;
  uint16_t CompressionMethod;
  uint32_t DateTime;
  uint32_t Crc32;
  uint32_t CompressedSize;
  uint32_t UncompressedSize;
  uint16_t FileNameLength;
  uint16_t ExtraLength;
  uint16_t CommentLength;
  uint16_t DiskNumberStart;
  uint16_t InternalAttributes;
  uint32_t ExternalAttributes;
  uint32_t RelativeOffset;
  // From kCentralHeaderSize bytes, little-endian.
  static TCentralFileHeader FromBytes(const uint8_t* bytes);
};

class TZipHeaderInfo;
// Opens the next part of a multi-part archive and hands it back through the stream
// variable; used when a central header is split by the end of a part.
using TNextPartProc = std::function<void(TZipHeaderInfo& header, TStream*& stream)>;

class TZipHeaderInfo : public TPersistent {
public:
  TZipHeaderInfo() { Clear(); }
  String ClassName() const override { return u"TZipHeaderInfo"; }

  void Clear();

  // Read one header at the stream's position. True: the fixed part, the name and the
  // extra field were read and are sound; the stream stands at the start of the extra
  // field. False: short read, wrong signature or an entry that cannot be trusted (a
  // NUL in its name, a ZIP64 escape without its value, a size or offset of 2^63 or
  // more); the stream is back where it was and the fields are unchanged.
  bool ReadCentralHeader(TStream*& stream, const TNextPartProc& nextPart = nullptr);
  bool ReadLocalHeader(TStream& stream);

  // Fill the fields from a header image and the decoded path (the records, the
  // encryption strength, EntryOk and the other header's extra length stay), and fix
  // which kind of extra field ReadExtraField expects.
  void SetFromCentral(const TCentralFileHeader& rec, const String& path);
  void SetFromLocal(const TLocalFileHeader& rec, const String& path);
  // Reads Length bytes of extra field at the stream's position (fewer when the stream
  // ends first) and takes the ZIP64, AES and Unicode-path blocks from it. False when
  // they make the entry untrustworthy: a ZIP64 escape without its value, or a value of
  // 2^63 or more. A Unicode path is taken only when its CRC is that of the name the
  // last reader read.
  bool ReadExtraField(TStream& stream, uint16_t length);

  // The OEM step of the name decoding: Name becomes its ANSI form when it survives
  // the conversion there and back.
  bool ConvertOEMName(std::string& name, uint16_t flags, uint16_t madeBy) const;

  void SetFileName(const String& s) { FileName = s; }
  void SetDirectory(const String& s) { Directory = s; }
  bool HasComment() const { return CommentLength > 0; }
  void SetFileComment(const std::string& s);
  // An AES entry's method is already its inner one: its strength says it is one, whatever
  // the flag says.
  bool IsEncrypted() const {
    return (Flags & kFlagEncrypted) != 0 || EncryptionStrength != 0 ||
           CompressionMethod == kMethodAes;
  }
  uint16_t ActualMethod() const;
  bool HasDataDescriptor() const { return (Flags & kFlagDataDescriptor) != 0; }

  // The 64-bit values with the escapes resolved.
  int64_t CompressedSize() const;
  int64_t UncompressedSize() const;
  int64_t RelativeOffset() const;
  uint32_t DiskNumberStart() const;
  void SetCompressedSize(int64_t v);
  void SetUncompressedSize(int64_t v);
  void SetRelativeOffset(int64_t v);
  void SetDiskNumberStart(uint32_t v);

  // Records, created with their defaults on first use.
  TZip64InfoField& Zip64Info();
  TAesInfoField& AesInfo();
  TUnicodePathField& UnicodePath();
  bool HasZip64Info() const { return zip64_.has_value(); }
  bool HasAesInfo() const { return aes_.has_value(); }
  bool HasUnicodePath() const { return unicode_.has_value(); }
  const std::optional<TZip64InfoField>& Zip64Record() const { return zip64_; }
  const std::optional<TAesInfoField>& AesRecord() const { return aes_; }

  void Assign(const TPersistent& source) override;

  uint16_t VersionMadeBy;
  uint16_t VersionNeeded;
  uint16_t Flags;
  uint32_t FileDateTime;
  uint32_t Crc32;
  uint32_t FCompressedSize;
  uint32_t FUncompressedSize;
  uint16_t FileNameLength;
  uint16_t CentralExtraLength;
  uint16_t LocalExtraLength;
  uint16_t CommentLength;
  uint16_t FDiskNumberStart;
  uint16_t InternalAttributes;
  uint32_t ExternalAttributes;
  uint32_t FRelativeOffset;
  int64_t CentralOffset;
  String FileName;
  String Directory;
  // The stored name as decoded, before a Unicode-path field replaced it; for the
  // extraction's name checks.
  String StoredPath;
  uint8_t EncryptionStrength = 0;
  std::string FileComment;
  bool Included;
  bool EntryOk;
  bool UserSelected;
  TOEMConvert OEMConvert;
  uint16_t CompressionMethod;

protected:
  void AssignTo(TPersistent& dest) const override;

private:
  enum class HeaderKind { Central, Local };
  void SetPath(const String& path);
  String DecodeName(const std::string& raw, uint16_t flags, uint16_t madeBy) const;
  // Interprets an extra field; false when it makes the entry untrustworthy.
  bool ParseExtraField(const uint8_t* data, size_t length, HeaderKind kind,
                       const std::string& rawName);
  bool TakeZip64(const uint8_t* data, uint16_t size, HeaderKind kind);
  void MapAesMethod();
  // A reader's start: the records of an earlier read dropped.
  TZipHeaderInfo Staged() const;
  // What SetFromCentral and SetFromLocal take alike.
  template <typename Image>
  void SetFromImage(const Image& rec, const String& path, HeaderKind kind);

  // Set by SetFromCentral and SetFromLocal, and the stored name bytes by the readers:
  // what ReadExtraField interprets the field against.
  HeaderKind kind_ = HeaderKind::Central;
  std::string storedName_;

  std::optional<TZip64InfoField> zip64_;
  std::optional<TAesInfoField> aes_;
  std::optional<TUnicodePathField> unicode_;
};

