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
  // In double and in this order, so that exactly 1 in 2000 is 0.05 and counts as below 0.1.
  const double share = double(TotalSize) * 100.0 / double(ScanTotal);
  if (share <= 0.05) return u"< 0.1%";
  return FormatFloat(u"##0.0", share) + u"%";
}

String CountText(int64_t Count) { return FormatFloat(u"###,###,###,###", double(Count)); }

String TitleWithoutIndicator(StringView Title) {
  if (!Title.empty() && (Title.back() == u'<' || Title.back() == u'>')) {
    Title.remove_suffix(Title.size() >= 2 ? 2 : 1);
  }
  return String(Title);
}

String FallbackTypeName(StringView Ext) { return UpperCase(Ext) + u" File"; }
