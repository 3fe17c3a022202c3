#include "scan/summary_sort.h"

#include "scan/exten_summ.h"

namespace {

const TExtenSumm& Rec(TStringList& list, int index) {
  return static_cast<const TExtenSumm&>(*list.Objects(index));
}

int CompareSizes(int64_t a, int64_t b) { return a == b ? 0 : a < b ? -1 : 1; }

Char FoldUnit(Char c) { return c >= u'a' && c <= u'z' ? Char(c - (u'a' - u'A')) : c; }

struct TitleOrder {
  const Char* title;
  TStringListSortCompare ascending;
  TStringListSortCompare descending;
};
constexpr TitleOrder kOrders[] = {
    {u"Extension", nullptr, CompareExtDesc},
    {u"File Type", CompareTypeAsc, CompareTypeDesc},
    {u"Count", CompareCountAsc, CompareCountDesc},
    {u"Total Size (KB)", CompareTotalAsc, CompareTotalDesc},
    {u"Max Size (KB)", CompareMaxAsc, CompareMaxDesc},
    {u"Min Size (KB)", CompareMinAsc, CompareMinDesc},
    {u"% of Total", CompareTotalAsc, CompareTotalDesc},
};

}  // namespace

int CompareFoldedText(StringView A, StringView B) {
  const size_t n = A.size() < B.size() ? A.size() : B.size();
  for (size_t i = 0; i < n; ++i) {
    const int d = int(FoldUnit(A[i])) - int(FoldUnit(B[i]));
    if (d != 0) return d;
  }
  return int(A.size()) - int(B.size());
}

int CompareTypeAsc(TStringList& List, int Index1, int Index2) {
  return CompareFoldedText(Rec(List, Index1).FileType, Rec(List, Index2).FileType);
}
int CompareTypeDesc(TStringList& List, int Index1, int Index2) {
  return CompareTypeAsc(List, Index2, Index1);
}
int CompareExtDesc(TStringList& List, int Index1, int Index2) {
  return CompareFoldedText(Rec(List, Index2).Ext, Rec(List, Index1).Ext);
}
int CompareCountAsc(TStringList& List, int Index1, int Index2) {
  // Counts are at least 1 and at most the 32-bit maximum: the difference fits.
  return Rec(List, Index1).Count - Rec(List, Index2).Count;
}
int CompareCountDesc(TStringList& List, int Index1, int Index2) {
  return CompareCountAsc(List, Index2, Index1);
}
int CompareTotalAsc(TStringList& List, int Index1, int Index2) {
  return CompareSizes(Rec(List, Index1).TotalSize, Rec(List, Index2).TotalSize);
}
int CompareTotalDesc(TStringList& List, int Index1, int Index2) {
  return CompareTotalAsc(List, Index2, Index1);
}
int CompareMaxAsc(TStringList& List, int Index1, int Index2) {
  return CompareSizes(Rec(List, Index1).MaxSize, Rec(List, Index2).MaxSize);
}
int CompareMaxDesc(TStringList& List, int Index1, int Index2) {
  return CompareMaxAsc(List, Index2, Index1);
}
int CompareMinAsc(TStringList& List, int Index1, int Index2) {
  return CompareSizes(Rec(List, Index1).MinSize, Rec(List, Index2).MinSize);
}
int CompareMinDesc(TStringList& List, int Index1, int Index2) {
  return CompareMinAsc(List, Index2, Index1);
}

TStringListSortCompare SummaryComparator(StringView Title, bool Descending) {
  for (const TitleOrder& o : kOrders) {
    if (Title == o.title) return Descending ? o.descending : o.ascending;
  }
  return nullptr;
}
