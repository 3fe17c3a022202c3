// The uninstall log: what an install created, for the separate uninstaller. The
// file uninstall.dat is the records in order, 260 bytes each, with no header and no
// count: a 32-bit little-endian kind, a length byte and 255 path bytes in the
// system ANSI code page, zero-filled after the path.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/string.h"

constexpr int32_t ukFile = 1;    // a file or shortcut the uninstaller deletes
constexpr int32_t ukFolder = 2;  // a folder it removes
constexpr size_t kUninstallRecordSize = 260;
constexpr size_t kUninstallPathMax = 255;

struct TUninstallEntry {
  int32_t Kind;
  std::string Path;  // ANSI bytes, at most 255
};

class TUninstallLog {
public:
  // Adds a record. A path the ANSI code page cannot hold exactly, or one longer
  // than 255 bytes, is left out (a cut path would name another file): false then.
  bool AddUninstallEntry(int32_t Kind, const String& Path);
  const std::vector<TUninstallEntry>& Entries() const { return entries_; }
  // The file's bytes.
  std::string Bytes() const;
  // Creates or replaces the file; raises EInOutError on failure.
  void SaveToFile(const String& fileName) const;

private:
  std::vector<TUninstallEntry> entries_;
};
