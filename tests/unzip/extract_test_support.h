// Archives with stored and deflated entries built for the extraction tests, and a
// view of what an extraction left on disk.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/string.h"
#include "tests/unzip/zip_builder.h"

// Raw deflate data of Bytes (no zlib header), as zip entries hold it.
std::string RawDeflate(const std::string& bytes);

struct ArchiveEntry {
  std::string name;
  std::string data;
  // 0 stored, 8 deflated; any other method stores Data as it is.
  uint16_t method = 8;
  uint16_t flags = 0;
  uint32_t dosTime = 0x52CF63C5;  // 2021-06-15 12:30:10
  uint32_t externalAttributes = 0x20;
  std::string centralExtra;
  // What the headers claim instead of the truth.
  std::optional<uint32_t> crc;
  std::optional<uint32_t> uncompressedSize;
  std::optional<uint32_t> compressedSize;
  // Local header offset written into the central header, instead of the real one.
  std::optional<uint32_t> offset;
  // Bytes stored as the entry's data instead of Data in its method's form.
  std::optional<std::string> payload;
};
// Local headers and data, central directory and end record.
std::string BuildArchive(const std::vector<ArchiveEntry>& entries);

// A traditionally encrypted entry of Data; its header ends in the byte the reader checks.
ArchiveEntry PkwareEntry(const std::string& name, const std::string& data, uint16_t method,
                         bool dataDescriptor, const std::string& password);
// A WinZip AES entry: salt, verifier, encrypted data, code; AE-2 stores no CRC.
ArchiveEntry AesEntry(const std::string& name, const std::string& data, uint16_t method,
                      int strength, const std::string& password, uint16_t vendorVersion = 2);

// Every file below a folder: path relative to it ('/'-separated) and contents;
// folders appear with a trailing '/' and no contents.
std::map<std::string, std::string> TreeOf(const String& folder);
std::string ReadFileBytes(const String& path);
