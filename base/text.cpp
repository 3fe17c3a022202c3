#include "base/text.h"

#include <algorithm>
#include <cstdint>

#include "base/collate.h"

namespace {
struct CaseRun {
  uint16_t first, last;
  uint8_t stride;
  uint16_t delta;  // added modulo 65536
};
#include "base/case_table.inc"

template <size_t N>
Char MapCase(const CaseRun (&runs)[N], Char c) {
  // The last run starting at or before c.
  const CaseRun* it = std::upper_bound(std::begin(runs), std::end(runs), c,
                                       [](Char v, const CaseRun& r) { return v < r.first; });
  if (it == std::begin(runs)) return c;
  const CaseRun& r = *(it - 1);
  if (c > r.last || (c - r.first) % r.stride != 0) return c;
  return Char(uint16_t(c + r.delta));
}

Char AsciiUpper(Char c) { return c >= u'a' && c <= u'z' ? Char(c - 32) : c; }
Char AsciiLower(Char c) { return c >= u'A' && c <= u'Z' ? Char(c + 32) : c; }
}  // namespace

String Trim(StringView s) {
  size_t b = 0, e = s.size();
  while (b < e && s[b] <= u' ') ++b;
  while (e > b && s[e - 1] <= u' ') --e;
  return String(s.substr(b, e - b));
}

String UpperCase(StringView s) {
  String out(s);
  for (auto& c : out) c = AsciiUpper(c);
  return out;
}

String LowerCase(StringView s) {
  String out(s);
  for (auto& c : out) c = AsciiLower(c);
  return out;
}

Char CharUpper(Char c) { return c < 0x80 ? AsciiUpper(c) : MapCase(kUpperRuns, c); }
Char CharLower(Char c) { return c < 0x80 ? AsciiLower(c) : MapCase(kLowerRuns, c); }

String AnsiUpperCase(StringView s) {
  String out(s);
  for (auto& c : out) c = CharUpper(c);
  return out;
}

String AnsiLowerCase(StringView s) {
  String out(s);
  for (auto& c : out) c = CharLower(c);
  return out;
}

int CompareStr(StringView a, StringView b) {
  const int r = a.compare(b);
  return r < 0 ? -1 : r > 0 ? 1 : 0;
}

int CompareText(StringView a, StringView b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const Char x = AsciiUpper(a[i]), y = AsciiUpper(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

bool SameText(StringView a, StringView b) { return a.size() == b.size() && CompareText(a, b) == 0; }

String StringReplaceAll(StringView s, StringView from, StringView to) {
  if (from.empty()) return String(s);
  String out;
  size_t start = 0;
  for (size_t at; (at = s.find(from, start)) != StringView::npos; start = at + from.size()) {
    out.append(s.substr(start, at - start));
    out.append(to);
  }
  out.append(s.substr(start));
  return out;
}

int AnsiCompareText(StringView a, StringView b) {
  const int r = CollateStrings(a, b, false);
  return r < 0 ? -1 : r > 0 ? 1 : 0;
}

bool AnsiSameText(StringView a, StringView b) { return AnsiCompareText(a, b) == 0; }

bool AnsiEndsText(StringView subText, StringView text) {
  if (subText.size() > text.size()) return false;
  return AnsiSameText(subText, text.substr(text.size() - subText.size()));
}
