// Zip records built byte by byte for tests, with every field open to change.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/string.h"

std::string Le16(uint16_t v);
std::string Le32(uint32_t v);
std::string Le64(uint64_t v);
std::string ExtraBlock(uint16_t tag, const std::string& data);
uint32_t Crc32Of(const std::string& bytes);

struct CentralFields {
  uint16_t madeBy = 20;
  uint16_t version = 20;
  uint16_t flags = 0;
  uint16_t method = 0;
  uint32_t dosTime = 0x52CF6000;
  uint32_t crc = 0;
  uint32_t compressedSize = 0;
  uint32_t uncompressedSize = 0;
  std::string name = "a.txt";
  std::string extra;
  std::string comment;
  uint16_t disk = 0;
  uint16_t internalAttributes = 0;
  uint32_t externalAttributes = 0x20;
  uint32_t offset = 0;
  // When set, replaces the extra-field length written into the fixed part.
  int extraLengthOverride = -1;
};
std::string CentralHeader(const CentralFields& f);
// The same fields as a local header (made-by, comment, disk, attributes, offset unused).
std::string LocalHeader(const CentralFields& f);

struct EndFields {
  uint16_t thisDisk = 0;
  uint16_t startDisk = 0;
  uint16_t entriesThisDisk = 0;
  uint16_t entries = 0;
  uint32_t dirSize = 0;
  uint32_t dirOffset = 0;
  std::string comment;
  int commentLengthOverride = -1;
};
std::string EndRecord(const EndFields& f);
std::string Zip64EndRecord(uint64_t entries, uint64_t dirSize, uint64_t dirOffset,
                           uint32_t signature = 0x06064B50);
std::string Zip64Locator(uint64_t recordOffset);

// A sound archive of stored entries: local headers and data, the central directory,
// the end record. Each entry's payload is its name repeated unless given.
struct StoredEntry {
  std::string name;
  std::string data;
  std::string comment;
};
std::string StoredArchive(const std::vector<StoredEntry>& entries, const std::string& comment = "");

// Writes bytes to a file given as the program names it.
void WriteFileBytes(const String& path, const std::string& bytes);
// Directory + file name with '/' for '\', as python's zipfile lists names.
std::string ListingName(const String& directory, const String& fileName);
