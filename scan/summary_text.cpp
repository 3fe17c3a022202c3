#include "scan/summary_text.h"

#include "base/format.h"
#include "base/text.h"

const Char* const kSummaryTitles[kSummaryColumnCount] = {
    u"Extension", u"File Type", u"Count", u"Total Size (KB)", u"Max Size (KB)",
    u"Min Size (KB)", u"% of Total"};

namespace {
constexpr int kDefaultWidths[kSummaryColumnCount] = {70, 110, 50, 85, 85, 85, 70};
constexpr int kOtherColumnWidth = 85;
constexpr int kKB = 1024;
}  // namespace

int DefaultColumnWidth(int Col) {
  return Col >= 0 && Col < kSummaryColumnCount ? kDefaultWidths[Col] : kOtherColumnWidth;
}

String SizeToKBText(int64_t Size) {
  if (Size > kKB - 1) {
    const int64_t k = Size / kKB;
    return k < 10000 ? IntToStr(k) : FormatFloat(u"###,###,###,###,##0", double(k));
  }
  if (Size == 0) return u"0.0";
  if (Size <= 51) return u"< 0.1";  // negative sizes too
  return FormatFloat(u"0.0", double(Size) / kKB);
}

String ShareText(int64_t TotalSize, int64_t ScanTotal) {
  if (ScanTotal <= 0) return String();
  if (TotalSize == 0) return u"0.0%";
  // Held in single precision, then formatted: 7 of 2000 bytes is 0.34999999 ("0.3"),
  // where a double would round to "0.4". The threshold is compared in double, so 1 of
  // 2000 (a float just above 0.05) shows "0.1".
  const float share = float(double(TotalSize) / double(ScanTotal) * 100.0);
  if (double(share) <= 0.05) return u"< 0.1%";
  return FormatFloat(u"##0.0", double(share)) + u"%";
}

std::vector<String> SummaryRowTexts(const String& Key, const TExtenSumm& Summ, bool IncludeSize,
                                    int64_t ScanTotal) {
  std::vector<String> cells{Key, Summ.FileType, CountText(Summ.Count)};
  if (IncludeSize) {
    cells.push_back(SizeToKBText(Summ.TotalSize) + u" KB");
    cells.push_back(SizeToKBText(Summ.MaxSize) + u" KB");
    cells.push_back(SizeToKBText(Summ.MinSize) + u" KB");
    cells.push_back(ShareText(Summ.TotalSize, ScanTotal));
  }
  return cells;
}

String CountText(int64_t Count) { return FormatFloat(u"###,###,###,###", double(Count)); }

String TitleWithoutIndicator(StringView Title) {
  if (!Title.empty() && (Title.back() == u'<' || Title.back() == u'>')) {
    Title.remove_suffix(Title.size() >= 2 ? 2 : 1);
  }
  return String(Title);
}

String FallbackTypeName(StringView Ext) { return UpperCase(Ext) + u" File"; }
