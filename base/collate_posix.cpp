#include <algorithm>

#include "base/collate.h"
#include "base/text.h"

int CollateStrings(StringView a, StringView b, bool caseSensitive) {
  if (caseSensitive) return CompareStr(a, b);
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const Char x = CharLower(a[i]), y = CharLower(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}
