// The files of the archive set being read (its parts or disks, its side file), so that
// extraction never writes an entry over one of them.
#pragma once

#include <vector>

#include "base/string.h"
#include "unzip/zip_file_routines.h"

class TArchiveParts {
public:
  void Clear() { parts_.clear(); }
  // A file of the set, whether it exists now or not.
  void Add(const String& name);
  // Name reaches one of the files: the same full name, compared as the file system
  // compares names, or another spelling (a short name, a link) of an existing one.
  bool Contains(const String& name) const;

private:
  struct TPart {
    String fullName;  // folded where the file system ignores letter case
    size_t fileNameLength = 0;
    bool exists = false;
    TFileId id;
  };
  std::vector<TPart> parts_;
};
