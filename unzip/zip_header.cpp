#include "unzip/zip_header.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/codepage.h"
#include "unzip/le_bytes.h"
#include "unzip/zip_signatures.h"
#include "unzip/zip_file_routines.h"
#include "unzip/zip_lib_routines.h"

namespace {

constexpr uint64_t kLargestValue = uint64_t(INT64_MAX);

uint32_t NameCrc(const std::string& raw) {
  return uint32_t(crc32(0L, reinterpret_cast<const Bytef*>(raw.data()), uInt(raw.size())));
}

// Reads up to count bytes in steps, so that a length the stream cannot back costs no
// more memory than the bytes that are there.
std::vector<uint8_t> ReadAvailable(TStream& stream, int32_t count) {
  constexpr int32_t kStep = 4096;
  std::vector<uint8_t> bytes;
  while (int32_t(bytes.size()) < count) {
    const size_t have = bytes.size();
    const int32_t want = std::min(kStep, count - int32_t(have));
    bytes.resize(have + size_t(want));
    const int32_t n = ReadFully(stream, bytes.data() + have, want);
    bytes.resize(have + size_t(n));
    if (n < want) break;
  }
  return bytes;
}

// The strict decoder gives back exactly these bytes only when they hold no malformed
// sequence.
bool IsWellFormedUtf8(const std::string& bytes) { return ToUtf8(DecodeUtf8Name(bytes)) == bytes; }

}  // namespace

TLocalFileHeader TLocalFileHeader::FromBytes(const uint8_t* p) {
  return {GetLe32(p),      GetLe16(p + 4),  GetLe16(p + 6),  GetLe16(p + 8),
          GetLe32(p + 10), GetLe32(p + 14), GetLe32(p + 18), GetLe32(p + 22),
          GetLe16(p + 26), GetLe16(p + 28)};
}

TCentralFileHeader TCentralFileHeader::FromBytes(const uint8_t* p) {
  return {GetLe32(p),      GetLe16(p + 4),  GetLe16(p + 6),  GetLe16(p + 8),  GetLe16(p + 10),
          GetLe32(p + 12), GetLe32(p + 16), GetLe32(p + 20), GetLe32(p + 24), GetLe16(p + 28),
          GetLe16(p + 30), GetLe16(p + 32), GetLe16(p + 34), GetLe16(p + 36), GetLe32(p + 38),
          GetLe32(p + 42)};
}

void TZipHeaderInfo::Clear() {
  VersionMadeBy = 45;
  VersionNeeded = 20;
  Flags = 0;
  FileDateTime = 0;
  Crc32 = 0xFFFFFFFF;
  FCompressedSize = 0;
  FUncompressedSize = 0;
  FileNameLength = 0;
  CentralExtraLength = 0;
  LocalExtraLength = 0;
  CommentLength = 0;
  FDiskNumberStart = 0;
  InternalAttributes = 1;
  ExternalAttributes = 32;
  FRelativeOffset = 0;
  CentralOffset = 0;
  FileName.clear();
  Directory.clear();
  StoredPath.clear();
  kind_ = HeaderKind::Central;
  storedName_.clear();
  zip64_.reset();
  FileComment.clear();
  Included = false;
  EntryOk = false;
  UserSelected = false;
  OEMConvert = TOEMConvert::oemNever;
  CompressionMethod = 8;
}

void TZipHeaderInfo::SetFileComment(const std::string& s) {
  FileComment = s;
  CommentLength = uint16_t(s.size() > 0xFFFF ? 0xFFFF : s.size());
}

uint16_t TZipHeaderInfo::ActualMethod() const {
  if (CompressionMethod == kMethodAes && aes_) return aes_->ActualMethod;
  return CompressionMethod;
}

int64_t TZipHeaderInfo::CompressedSize() const {
  if (FCompressedSize == kEscape32 && zip64_) return int64_t(zip64_->CompressedSize);
  return FCompressedSize;
}
int64_t TZipHeaderInfo::UncompressedSize() const {
  if (FUncompressedSize == kEscape32 && zip64_) return int64_t(zip64_->UncompressedSize);
  return FUncompressedSize;
}
int64_t TZipHeaderInfo::RelativeOffset() const {
  if (FRelativeOffset == kEscape32 && zip64_) return int64_t(zip64_->RelativeOffset);
  return FRelativeOffset;
}
uint32_t TZipHeaderInfo::DiskNumberStart() const {
  if (FDiskNumberStart == kEscape16 && zip64_) return zip64_->DiskNumberStart;
  return FDiskNumberStart;
}

void TZipHeaderInfo::SetCompressedSize(int64_t v) {
  if (uint64_t(v) >= kEscape32) {
    Zip64Info().CompressedSize = uint64_t(v);
    FCompressedSize = kEscape32;
  } else {
    FCompressedSize = uint32_t(v);
  }
}
void TZipHeaderInfo::SetUncompressedSize(int64_t v) {
  if (uint64_t(v) >= kEscape32) {
    Zip64Info().UncompressedSize = uint64_t(v);
    FUncompressedSize = kEscape32;
  } else {
    FUncompressedSize = uint32_t(v);
  }
}
void TZipHeaderInfo::SetRelativeOffset(int64_t v) {
  if (uint64_t(v) >= kEscape32) {
    Zip64Info().RelativeOffset = uint64_t(v);
    FRelativeOffset = kEscape32;
  } else {
    FRelativeOffset = uint32_t(v);
  }
}
void TZipHeaderInfo::SetDiskNumberStart(uint32_t v) {
  if (v > 0xFFFE) {
    Zip64Info().DiskNumberStart = v;
    FDiskNumberStart = kEscape16;
  } else {
    FDiskNumberStart = uint16_t(v);
  }
}

TZip64InfoField& TZipHeaderInfo::Zip64Info() {
  if (!zip64_) zip64_.emplace();
  return *zip64_;
}
TAesInfoField& TZipHeaderInfo::AesInfo() {
  if (!aes_) aes_.emplace();
  return *aes_;
}
TUnicodePathField& TZipHeaderInfo::UnicodePath() {
  if (!unicode_) unicode_.emplace();
  return *unicode_;
}

void TZipHeaderInfo::SetPath(const String& path) {
  SetFileName(FileNameOf(path));
  SetDirectory(FilePathOf(path));
}

bool TZipHeaderInfo::ConvertOEMName(std::string& name, uint16_t flags, uint16_t madeBy) const {
  if ((flags & kFlagUtf8) != 0 || OEMConvert != TOEMConvert::oemFlexible ||
      (madeBy & 0x0B00) == 0x0B00)
    return false;
  const std::string ansi = ToAnsi(FromOem(name));
  const std::string back = ToOem(FromAnsi(ansi));
  if (CompareNoCase(FromAnsi(back), FromAnsi(name)) != 0) return false;
  name = ansi;
  return true;
}

String TZipHeaderInfo::DecodeName(const std::string& raw, uint16_t flags, uint16_t madeBy) const {
  std::string name = raw;
  for (char& c : name)
    if (c == '/') c = '\\';
  if (ConvertOEMName(name, flags, madeBy)) return FromAnsi(name);
  // Without the UTF-8 flag, bytes that are not UTF-8 come from some other code page.
  // Replacement characters would make different names one; code page 437, which the
  // format gives such names, maps every byte to a character of its own.
  if ((flags & kFlagUtf8) == 0 && !IsWellFormedUtf8(name)) return DecodeCp437(name);
  return DecodeUtf8Name(name);
}

bool TZipHeaderInfo::TakeZip64(const uint8_t* data, uint16_t size, HeaderKind kind) {
  // A value is taken only while it fits in the block; an escaped field whose value is
  // missing, or a value beyond the signed 64-bit range, makes the entry unusable.
  auto take64 = [&](size_t at, uint64_t& into) {
    if (at + 8 > size) return false;
    into = GetLe64(data + at);
    return into <= kLargestValue;
  };
  if (kind == HeaderKind::Local) {
    // The local block holds both sizes at fixed places and never an offset.
    if (FUncompressedSize == kEscape32 && !take64(0, Zip64Info().UncompressedSize)) return false;
    if (FCompressedSize == kEscape32 && !take64(8, Zip64Info().CompressedSize)) return false;
    return true;
  }
  size_t at = 0;
  if (FUncompressedSize == kEscape32) {
    if (!take64(at, Zip64Info().UncompressedSize)) return false;
    at += 8;
  }
  if (FCompressedSize == kEscape32) {
    if (!take64(at, Zip64Info().CompressedSize)) return false;
    at += 8;
  }
  if (FRelativeOffset == kEscape32) {
    if (!take64(at, Zip64Info().RelativeOffset)) return false;
    at += 8;
  }
  if (FDiskNumberStart == kEscape16) {
    if (at + 4 > size) return false;
    Zip64Info().DiskNumberStart = GetLe32(data + at);
  }
  return true;
}

bool TZipHeaderInfo::ParseExtraField(const uint8_t* data, size_t length, HeaderKind kind,
                                     const std::string& rawName) {
  bool zip64Seen = false;
  size_t q = 0;
  while (q + 4 <= length) {
    const uint16_t tag = GetLe16(data + q);
    const uint16_t size = GetLe16(data + q + 2);
    if (q + 4 + size > length) break;  // a block cut off by the field's end is ignored
    const uint8_t* d = data + q + 4;
    if (tag == kTagZip64 && !zip64Seen) {
      zip64Seen = true;
      if (!TakeZip64(d, size, kind)) return false;
    } else if (tag == kTagAes && size >= 7 && d[2] == 'A' && d[3] == 'E') {
      const uint16_t vendorVersion = GetLe16(d);
      const uint8_t strength = d[4];
      if (vendorVersion >= 1 && vendorVersion <= 2 && strength >= 1 && strength <= 3) {
        TAesInfoField& aes = AesInfo();
        aes.Size = size;
        aes.VendorVersion = vendorVersion;
        aes.Strength = strength;
        aes.ActualMethod = GetLe16(d + 5);
      }
    } else if (tag == kTagUnicodePath && size >= 5 && d[0] == 1 &&
               GetLe32(d + 1) == NameCrc(rawName)) {
      std::string utf8(reinterpret_cast<const char*>(d + 5), size - 5);
      if (utf8.find('\0') == std::string::npos) {
        for (char& c : utf8)
          if (c == '/') c = '\\';
        TUnicodePathField& field = UnicodePath();
        field.Size = size;
        field.Version = 1;
        field.NameCrc = GetLe32(d + 1);
        SetPath(DecodeUtf8Name(utf8));
      }
    }
    q += 4 + size_t(size);
  }
  const bool escaped = FUncompressedSize == kEscape32 || FCompressedSize == kEscape32 ||
                       (kind == HeaderKind::Central &&
                        (FRelativeOffset == kEscape32 || FDiskNumberStart == kEscape16));
  return zip64Seen || !escaped;
}

void TZipHeaderInfo::MapAesMethod() {
  if (CompressionMethod != kMethodAes) return;
  if (aes_) {
    EncryptionStrength = aes_->Strength;
    CompressionMethod = aes_->ActualMethod;
  } else {
    // Without a sound AES block the method stays 99, which no decoder knows.
    EncryptionStrength = 0;
  }
}

bool TZipHeaderInfo::ReadCentralHeader(TStream*& stream, const TNextPartProc& nextPart) {
  const int64_t start = stream->Position();
  uint8_t rec[kCentralHeaderSize] = {};
  int32_t n = ReadFully(*stream, rec, kCentralHeaderSize);
  const bool startsWithSig = n >= 4 && GetLe32(rec) == CentralSig;
  if (nextPart && (n == 0 || (n < kCentralHeaderSize && startsWithSig))) {
    nextPart(*this, stream);
    n += ReadFully(*stream, rec + n, kCentralHeaderSize - n);
  }
  auto fail = [&] {
    stream->SetPosition(start);
    return false;
  };
  if (n != kCentralHeaderSize || GetLe32(rec) != CentralSig) return fail();

  const TCentralFileHeader image = TCentralFileHeader::FromBytes(rec);
  std::string raw(image.FileNameLength, '\0');
  if (!raw.empty() && ReadFully(*stream, raw.data(), image.FileNameLength) != image.FileNameLength)
    return fail();
  if (raw.find('\0') != std::string::npos) return fail();

  TZipHeaderInfo staged = Staged();
  staged.SetFromCentral(image, staged.DecodeName(raw, image.Flags, image.VersionMadeBy));
  staged.storedName_ = std::move(raw);
  // The stream stays at the start of the extra field for the caller.
  const int64_t extraStart = stream->Position();
  const bool sound = staged.ReadExtraField(*stream, staged.CentralExtraLength);
  stream->SetPosition(extraStart);
  if (!sound) return fail();
  staged.MapAesMethod();
  staged.CentralOffset = start;
  *this = std::move(staged);
  return true;
}

bool TZipHeaderInfo::ReadLocalHeader(TStream& stream) {
  const int64_t start = stream.Position();
  uint8_t rec[kLocalHeaderSize] = {};
  auto fail = [&] {
    stream.SetPosition(start);
    return false;
  };
  if (ReadFully(stream, rec, kLocalHeaderSize) != kLocalHeaderSize || GetLe32(rec) != LocalSig)
    return fail();
  const TLocalFileHeader image = TLocalFileHeader::FromBytes(rec);
  std::string raw(image.FileNameLength, '\0');
  if (!raw.empty() && ReadFully(stream, raw.data(), image.FileNameLength) != image.FileNameLength)
    return fail();
  if (raw.find('\0') != std::string::npos) return fail();

  TZipHeaderInfo staged = Staged();
  staged.SetFromLocal(image, staged.DecodeName(raw, image.Flags, 0));
  staged.storedName_ = std::move(raw);
  staged.SetRelativeOffset(start);
  const int64_t extraStart = stream.Position();
  const bool sound = staged.ReadExtraField(stream, staged.LocalExtraLength);
  stream.SetPosition(extraStart);
  if (!sound) return fail();
  staged.MapAesMethod();
  *this = std::move(staged);
  return true;
}

TZipHeaderInfo TZipHeaderInfo::Staged() const {
  TZipHeaderInfo staged(*this);
  staged.zip64_.reset();
  staged.aes_.reset();
  staged.unicode_.reset();
  staged.EncryptionStrength = 0;
  return staged;
}

template <typename Image>
void TZipHeaderInfo::SetFromImage(const Image& rec, const String& path, HeaderKind kind) {
  VersionNeeded = rec.VersionNeeded;
  Flags = rec.Flags;
  CompressionMethod = rec.CompressionMethod;
  FileDateTime = FixDosDateTime(rec.DateTime);
  Crc32 = rec.Crc32;
  FCompressedSize = rec.CompressedSize;
  FUncompressedSize = rec.UncompressedSize;
  FileNameLength = rec.FileNameLength;
  CentralOffset = 0;
  StoredPath = path;
  SetPath(path);
  FileComment.clear();
  Included = false;
  UserSelected = false;
  kind_ = kind;
  storedName_.clear();
}

void TZipHeaderInfo::SetFromCentral(const TCentralFileHeader& rec, const String& path) {
  SetFromImage(rec, path, HeaderKind::Central);
  VersionMadeBy = rec.VersionMadeBy;
  CentralExtraLength = rec.ExtraLength;
  CommentLength = rec.CommentLength;
  FDiskNumberStart = rec.DiskNumberStart;
  InternalAttributes = rec.InternalAttributes;
  ExternalAttributes = rec.ExternalAttributes;
  FRelativeOffset = rec.RelativeOffset;
}

void TZipHeaderInfo::SetFromLocal(const TLocalFileHeader& rec, const String& path) {
  SetFromImage(rec, path, HeaderKind::Local);
  VersionMadeBy = 0;
  LocalExtraLength = rec.ExtraLength;
  CommentLength = 0;
  FDiskNumberStart = 0;
  InternalAttributes = 0;
  ExternalAttributes = 0;
  FRelativeOffset = 0;
}

bool TZipHeaderInfo::ReadExtraField(TStream& stream, uint16_t length) {
  // Only the bytes that are there: a block cut off by the end of the data is no block.
  const std::vector<uint8_t> extra = ReadAvailable(stream, length);
  return ParseExtraField(extra.data(), extra.size(), kind_, storedName_);
}

void TZipHeaderInfo::Assign(const TPersistent& source) {
  const auto* src = dynamic_cast<const TZipHeaderInfo*>(&source);
  if (!src) {
    TPersistent::Assign(source);
    return;
  }
  src->AssignTo(*this);
}

void TZipHeaderInfo::AssignTo(TPersistent& dest) const {
  auto* d = dynamic_cast<TZipHeaderInfo*>(&dest);
  if (!d) {
    TPersistent::AssignTo(dest);
    return;
  }
  if (d == this) return;
  // Every field and the presence of every record are copied, so a reused working
  // header keeps nothing of the entry it held before; only OEMConvert stays.
  d->VersionMadeBy = VersionMadeBy;
  d->VersionNeeded = VersionNeeded;
  d->Flags = Flags;
  d->CompressionMethod = CompressionMethod;
  d->FileDateTime = FileDateTime;
  d->StoredPath = StoredPath;
  d->Crc32 = Crc32;
  d->FCompressedSize = FCompressedSize;
  d->FUncompressedSize = FUncompressedSize;
  d->FileNameLength = FileNameLength;
  d->CentralExtraLength = CentralExtraLength;
  d->LocalExtraLength = LocalExtraLength;
  d->CommentLength = CommentLength;
  d->FDiskNumberStart = FDiskNumberStart;
  d->InternalAttributes = InternalAttributes;
  d->ExternalAttributes = ExternalAttributes;
  d->FRelativeOffset = FRelativeOffset;
  d->CentralOffset = CentralOffset;
  d->SetFileName(FileName);
  d->SetDirectory(Directory);
  d->EncryptionStrength = EncryptionStrength;
  d->zip64_ = zip64_;
  d->aes_ = aes_;
  d->unicode_ = unicode_;
  d->FileComment = FileComment;
  d->Included = Included;
  d->EntryOk = EntryOk;
  d->UserSelected = UserSelected;
  d->kind_ = kind_;
  d->storedName_ = storedName_;
}
