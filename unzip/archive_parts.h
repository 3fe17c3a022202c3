// The files of the archive set being read (its parts or disks, its side file), so that
// extraction never writes an entry over one of them.
#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <vector>

#include "base/string.h"
#include "unzip/zip_file_routines.h"

class TArchiveParts {
public:
  void Clear();
  // A file of the set, whether it exists now or not.
  void Add(const String& name);
  // The parts of a split set: Base followed by ".z01" and up with ".zip", or by ".001"
  // and up, whichever naming the set uses, up to Count parts. Names are matched, not
  // listed, so that a set claiming very many parts costs nothing more.
  void SetSplitSet(const String& base, int32_t count);
  // Names the parts 1 to Count of a set whose names a host gives. Asked only once a
  // file that is there has to be told apart from the parts, and then for every part.
  void SetPartNamer(std::function<String(int32_t)> namer, int32_t count);
  // Name reaches one of the files: the same full name, compared as the file system
  // compares names, another spelling of it (a short name, a link), or a file that is
  // one of them by its identity (a bind mount, a mount that ignores case, a prefixed
  // path, a junction). Look is what is at the name itself; a link there is replaced by
  // a rename, never written through.
  bool Contains(const String& name, const TNameLook& look);

private:
  // Every file of the set that is there, by identity. A part not there cannot be written
  // over, and one that an entry makes would hold the entry's own data.
  void CollectIdentities();
  void AddIdentity(const String& name);
  bool Matches(const String& folded) const;
  bool IsSplitPartName(const String& folded) const;
  // Whether the name can reach a file of the set under another spelling, which only a
  // look-up tells: its last part is a file's, a split part's or may be a short name;
  // the folders before it may be links or short names.
  bool MayBeAnotherSpelling(const String& folded) const;

  // Full and real forms of the files added, folded where the file system ignores case.
  std::set<String> names_;
  std::set<String> fileNames_;
  std::vector<String> splitBases_;
  String splitFileBase_;
  int32_t splitCount_ = 0;
  std::set<TFileIdentity> identities_;
  // Sources of further identities, taken on the first need.
  std::vector<String> splitFolders_;
  std::function<String(int32_t)> namer_;
  int32_t namedCount_ = 0;
  bool collected_ = true;
};
