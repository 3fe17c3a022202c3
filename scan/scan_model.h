// One scan's counting, apart from the window: the options it started with, the
// summary list, the file count and total size, and the rows the grid shows and the
// saved summary writes.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "base/string.h"
#include "scan/folder_walk.h"
#include "scan/summary_file.h"
#include "scan/summary_list.h"

// The check boxes and the ignore box as a scan starts.
struct TScanOptions {
  bool IgnoreCase = true;
  bool IncludeSubDirs = true;
  bool IncludeSize = true;
  bool IncludeReadOnly = true;
  bool IncludeHidden = false;
  bool IncludeSystem = false;
  String IgnoreExt;  // as typed; trimmed when the scan starts
};

// The type name of a newly met extension (no dot).
using TTypeNameSource = std::function<String(const String& Ext)>;

class TScanModel {
public:
  explicit TScanModel(TTypeNameSource TypeNameOf);

  // A new scan: the options taken, the list emptied and set to their case rule, the
  // count and total back to 0.
  void Start(const TScanOptions& Options);
  // What the walk of this scan lets through.
  TFolderWalkOptions WalkOptions() const;
  // Counts one file; Ext carries its leading dot (or is empty for a name without one).
  // True when the file count went up; false for a file left out (no extension, the
  // ignored one) and once the count stands at its limit.
  bool AddFile(StringView Ext, int64_t Size);

  // 7 columns with size data, 3 without: those of the scan, not of the box now.
  int ColumnCount() const;
  // The cells of entry Index of the list, in the list's present order.
  std::vector<String> Row(int Index) const;
  // Every entry's row under Titles (one title a column); one empty row when the
  // summary has no entry, as the grid shows it.
  TSummaryTable Table(std::vector<String> Titles) const;

  TSummaryList& Summaries() { return *FSummaries; }
  const TSummaryList& Summaries() const { return *FSummaries; }
  int32_t FileCount() const { return FFileCount; }
  int64_t TotalSize() const { return FTotalSize; }
  bool IncludeSize() const { return FIncludeSize; }
  int32_t AttrMask() const { return FAttrMask; }

private:
  TTypeNameSource FTypeNameOf;
  std::unique_ptr<TSummaryList> FSummaries;
  int32_t FFileCount = 0;
  String FIgnoreExt;
  int64_t FTotalSize = 0;
  bool FIncludeSize = false;
  int32_t FAttrMask = 0;
  bool FExcludeReadOnly = false;
  bool FExcludeSystem = false;
  bool FExcludeHidden = false;
  bool FIncludeSubDirs = false;
};
