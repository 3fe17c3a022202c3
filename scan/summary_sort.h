// Orders of the summary list for the grid's title clicks.
#pragma once

#include "base/string_list.h"

int CompareTypeAsc(TStringList& List, int Index1, int Index2);
int CompareTypeDesc(TStringList& List, int Index1, int Index2);
int CompareExtDesc(TStringList& List, int Index1, int Index2);
int CompareCountAsc(TStringList& List, int Index1, int Index2);
int CompareCountDesc(TStringList& List, int Index1, int Index2);
int CompareTotalAsc(TStringList& List, int Index1, int Index2);
int CompareTotalDesc(TStringList& List, int Index1, int Index2);
int CompareMaxAsc(TStringList& List, int Index1, int Index2);
int CompareMaxDesc(TStringList& List, int Index1, int Index2);
int CompareMinAsc(TStringList& List, int Index1, int Index2);
int CompareMinDesc(TStringList& List, int Index1, int Index2);

// The comparator for a column title and direction; null for the ascending
// extension order (the list's own) and for titles that sort nothing.
TStringListSortCompare SummaryComparator(StringView Title, bool Descending);
// Ordinal comparison after folding a-z to A-Z: the difference of the first
// differing units, else of the lengths.
int CompareFoldedText(StringView A, StringView B);
