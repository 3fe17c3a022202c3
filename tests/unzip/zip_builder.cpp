#include "tests/unzip/zip_builder.h"

#include <zlib.h>

#include "base/file_stream.h"
#include "base/stream.h"

std::string Le16(uint16_t v) { return std::string{char(v & 0xFF), char(v >> 8)}; }
std::string Le32(uint32_t v) { return Le16(uint16_t(v)) + Le16(uint16_t(v >> 16)); }
std::string Le64(uint64_t v) { return Le32(uint32_t(v)) + Le32(uint32_t(v >> 32)); }

std::string ExtraBlock(uint16_t tag, const std::string& data) {
  return Le16(tag) + Le16(uint16_t(data.size())) + data;
}

uint32_t Crc32Of(const std::string& bytes) {
  return uint32_t(crc32(0L, reinterpret_cast<const Bytef*>(bytes.data()), uInt(bytes.size())));
}

std::string CentralHeader(const CentralFields& f) {
  const uint16_t extraLength =
      f.extraLengthOverride >= 0 ? uint16_t(f.extraLengthOverride) : uint16_t(f.extra.size());
  return Le32(0x02014B50) + Le16(f.madeBy) + Le16(f.version) + Le16(f.flags) + Le16(f.method) +
         Le32(f.dosTime) + Le32(f.crc) + Le32(f.compressedSize) + Le32(f.uncompressedSize) +
         Le16(uint16_t(f.name.size())) + Le16(extraLength) + Le16(uint16_t(f.comment.size())) +
         Le16(f.disk) + Le16(f.internalAttributes) + Le32(f.externalAttributes) + Le32(f.offset) +
         f.name + f.extra + f.comment;
}

std::string LocalHeader(const CentralFields& f) {
  const uint16_t extraLength =
      f.extraLengthOverride >= 0 ? uint16_t(f.extraLengthOverride) : uint16_t(f.extra.size());
  return Le32(0x04034B50) + Le16(f.version) + Le16(f.flags) + Le16(f.method) + Le32(f.dosTime) +
         Le32(f.crc) + Le32(f.compressedSize) + Le32(f.uncompressedSize) +
         Le16(uint16_t(f.name.size())) + Le16(extraLength) + f.name + f.extra;
}

std::string EndRecord(const EndFields& f) {
  const uint16_t commentLength =
      f.commentLengthOverride >= 0 ? uint16_t(f.commentLengthOverride) : uint16_t(f.comment.size());
  return Le32(0x06054B50) + Le16(f.thisDisk) + Le16(f.startDisk) + Le16(f.entriesThisDisk) +
         Le16(f.entries) + Le32(f.dirSize) + Le32(f.dirOffset) + Le16(commentLength) + f.comment;
}

std::string Zip64EndRecord(uint64_t entries, uint64_t dirSize, uint64_t dirOffset, uint32_t signature) {
  return Le32(signature) + Le64(44) + Le16(45) + Le16(45) + Le32(0) + Le32(0) + Le64(entries) +
         Le64(entries) + Le64(dirSize) + Le64(dirOffset);
}

std::string Zip64Locator(uint64_t recordOffset) {
  return Le32(0x07064B50) + Le32(0) + Le64(recordOffset) + Le32(1);
}

std::string StoredArchive(const std::vector<StoredEntry>& entries, const std::string& comment) {
  std::string body, dir;
  for (const StoredEntry& e : entries) {
    CentralFields f;
    f.name = e.name;
    f.crc = Crc32Of(e.data);
    f.compressedSize = f.uncompressedSize = uint32_t(e.data.size());
    f.offset = uint32_t(body.size());
    f.comment = e.comment;
    body += LocalHeader(f) + e.data;
    dir += CentralHeader(f);
  }
  EndFields end;
  end.entries = end.entriesThisDisk = uint16_t(entries.size());
  end.dirSize = uint32_t(dir.size());
  end.dirOffset = uint32_t(body.size());
  end.comment = comment;
  return body + dir + EndRecord(end);
}

void WriteFileBytes(const String& path, const std::string& bytes) {
  TFileStream file(path, fmCreate);
  file.WriteBuffer(bytes.data(), int32_t(bytes.size()));
}

std::string ListingName(const String& directory, const String& fileName) {
  std::string name = ToUtf8(directory + fileName);
  for (char& c : name)
    if (c == '\\') c = '/';
  return name;
}
