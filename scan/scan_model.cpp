#include "scan/scan_model.h"

#include <utility>

#include "base/saturating_add.h"
#include "base/text.h"
#include "scan/summary_text.h"

TScanModel::TScanModel(TTypeNameSource TypeNameOf)
    : FTypeNameOf(std::move(TypeNameOf)), FSummaries(std::make_unique<TSummaryList>()) {}

void TScanModel::Start(const TScanOptions& Options) {
  FIncludeSize = Options.IncludeSize;
  FSummaries->Clear();
  FSummaries->SetCaseSensitive(!Options.IgnoreCase);
  FSummaries->SetSorted(true);
  FFileCount = 0;
  FIgnoreExt = Trim(Options.IgnoreExt);
  FTotalSize = 0;
  FIncludeSubDirs = Options.IncludeSubDirs;
  FExcludeReadOnly = !Options.IncludeReadOnly;
  FExcludeSystem = !Options.IncludeSystem;
  FExcludeHidden = !Options.IncludeHidden;
  FAttrMask = 0;
  if (FIncludeSubDirs) FAttrMask |= kAttrDirectory;
  if (!FExcludeReadOnly) FAttrMask |= kAttrReadOnly;
  if (!FExcludeHidden) FAttrMask |= kAttrHidden;
  if (!FExcludeSystem) FAttrMask |= kAttrSystem;
}

TFolderWalkOptions TScanModel::WalkOptions() const {
  return TFolderWalkOptions{.AttrMask = FAttrMask,
                            .IncludeSubDirs = FIncludeSubDirs,
                            .ExcludeReadOnly = FExcludeReadOnly,
                            .ExcludeHidden = FExcludeHidden,
                            .ExcludeSystem = FExcludeSystem};
}

bool TScanModel::AddFile(StringView Ext, int64_t Size) {
  if (!Ext.empty() && Ext.front() == u'.') Ext.remove_prefix(1);
  Ext = FSummaries->KeyOf(Ext);
  if (Ext.empty() || Ext == FIgnoreExt) return false;
  FTotalSize = SaturatingAdd(FTotalSize, Size);

  TExtenSumm& summ = FSummaries->FindOrAdd(Ext, [&](TExtenSumm& fresh) {
    fresh.FileType = FTypeNameOf(fresh.Ext);
    if (FIncludeSize) fresh.MaxSize = fresh.MinSize = Size;
  });
  if (summ.Count < INT32_MAX) ++summ.Count;
  if (FIncludeSize) {
    if (Size > summ.MaxSize) summ.MaxSize = Size;
    if (Size < summ.MinSize) summ.MinSize = Size;
    summ.TotalSize = SaturatingAdd(summ.TotalSize, Size);
  }

  if (FFileCount == INT32_MAX) return false;
  ++FFileCount;
  return true;
}

int TScanModel::ColumnCount() const {
  return FIncludeSize ? kSummaryColumnCount : kSummaryColumnsWithoutSize;
}

std::vector<String> TScanModel::Row(int Index) const {
  return SummaryRowTexts(FSummaries->Strings(Index), FSummaries->Summ(Index), FIncludeSize,
                         FTotalSize);
}

TSummaryTable TScanModel::Table(std::vector<String> Titles) const {
  TSummaryTable table;
  const size_t columns = Titles.size();
  table.Titles = std::move(Titles);
  const int entries = FSummaries->Count();
  if (entries == 0) table.Rows.emplace_back(columns);
  table.Rows.reserve(size_t(entries));
  for (int i = 0; i < entries; ++i) table.Rows.push_back(Row(i));
  return table;
}
