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

  // The OEM step of the name decoding: Name becomes its ANSI form when it survives
  // the conversion there and back.
  bool ConvertOEMName(std::string& name, uint16_t flags, uint16_t madeBy) const;

  void SetFileName(const String& s) { FileName = s; }
  void SetDirectory(const String& s) { Directory = s; }
  bool HasComment() const { return CommentLength > 0; }
  void SetFileComment(const std::string& s);
  bool IsEncrypted() const { return (Flags & kFlagEncrypted) != 0 || CompressionMethod == kMethodAes; }
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

  std::optional<TZip64InfoField> zip64_;
  std::optional<TAesInfoField> aes_;
  std::optional<TUnicodePathField> unicode_;
};

