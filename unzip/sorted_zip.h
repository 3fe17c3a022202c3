// The component's list of entry headers, kept in the order of one sort mode.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "unzip/object_list.h"
#include "unzip/zip_header.h"

enum class TZipSortMode : uint8_t {
  ByName = 0,
  ByFileName = 1,
  ByDirectoryName = 2,
  ByDate = 3,
  ByCompressedSize = 4,
  ByUnCompressedSize = 5,
  ByRate = 6,
  ByNone = 7,
};

class TSortedZip : public TSortedObjectList {
public:
  explicit TSortedZip(TListDuplicates duplicates, TZipSortMode mode = TZipSortMode::ByNone,
                      bool ownsItems = true);
  String ClassName() const override { return u"TSortedZip"; }

  // The inherited sorted Add; notes a header with a ZIP64 record.
  int32_t Add(TObject* obj) override;
  // Takes entry headers only (EInvalidCast for anything else).
  void Insert(int32_t index, TObject* obj) override;
  int Compare(TListKey key1, TListKey key2) const override;

  // Typed access for the component.
  TZipHeaderInfo& Header(int32_t index) const;
  // Hands a header to an owning list (a duplicate key raises, the header is freed).
  TZipHeaderInfo* AddHeader(std::unique_ptr<TZipHeaderInfo> header);
  // Hands headers in this list's order, each key above the one before, to this empty
  // owning list: no search per header. EListError "Duplicate Object index" for a key
  // that is not above the one before (the list is left empty).
  void AddSortedHeaders(std::vector<std::unique_ptr<TZipHeaderInfo>>& headers);
  // Adds a header another list owns, to a list that does not own its items.
  void AddShared(TZipHeaderInfo& header);
  // Adds every header of Source (in its order) to this empty list that does not own its
  // items: the order one AddShared after another gives, from one sort.
  void AddAllShared(const TSortedZip& source);
  // An item whose key (disk and offset in ByNone order) equals Key's.
  bool SearchHeader(const TZipHeaderInfo& key, int32_t& index) const { return Search(&key, index); }

  TZipSortMode SortMode = TZipSortMode::ByNone;
  bool HasZip64 = false;
};

// The ByNone order on its own: disk, then local header offset; three-way.
int CompareByPosition(const TZipHeaderInfo& a, const TZipHeaderInfo& b);
