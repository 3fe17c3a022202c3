// Texts of the summary grid: column titles, default widths, KB and share cells.
#pragma once

#include <cstdint>
#include <vector>

#include "base/string.h"
#include "scan/exten_summ.h"

// Column titles of the summary grid, column 0 to 6.
inline constexpr int kSummaryColumnCount = 7;
inline constexpr int kSummaryColumnsWithoutSize = 3;
extern const Char* const kSummaryTitles[kSummaryColumnCount];

// 70, 110, 50, 85, 85, 85, 70 for columns 0 to 6; 85 for any other number.
int DefaultColumnWidth(int Col);
// Size in whole KB ("9999", "10,000"), or "0.0", "< 0.1", "0.1" .. "1.0" below 1 KB.
String SizeToKBText(int64_t Size);
// The share cell of a record: empty when the scan's total is not above 0.
String ShareText(int64_t TotalSize, int64_t ScanTotal);
// Count with locale grouping ("###,###,###,###": nothing for 0).
String CountText(int64_t Count);
// A title without its sort indicator (" >" or " <").
String TitleWithoutIndicator(StringView Title);
// Fallback type name: ASCII letters upper-cased, then " File" ("xyz" -> "XYZ File").
String FallbackTypeName(StringView Ext);
// The cells of one data row for an entry of the summary list: 7 with size data, 3
// without. The grid shows these; the saved summary takes them from the list too, so
// that it holds every extension also past the grid's row limit.
std::vector<String> SummaryRowTexts(const String& Key, const TExtenSumm& Summ, bool IncludeSize,
                                    int64_t ScanTotal);
