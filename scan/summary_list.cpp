#include "scan/summary_list.h"

#include "base/text.h"

int TSummaryList::CompareStrings(StringView a, StringView b) const {
  const int r = TStringList::CompareStrings(a, b);
  if (r != 0 || !CaseSensitive()) return r;
  return CompareStr(a, b);
}
