#include "unzip/entry_path_check.h"

#include <array>

namespace {

Char UpperAscii(Char c) { return (c >= u'a' && c <= u'z') ? Char(c - 32) : c; }

bool EqualsUpper(StringView s, StringView upper) {
  if (s.size() != upper.size()) return false;
  for (size_t i = 0; i < s.size(); ++i)
    if (UpperAscii(s[i]) != upper[i]) return false;
  return true;
}

// The system opens these names (also with an extension, or followed by blanks) as
// devices instead of files.
bool IsDeviceName(StringView name) {
  StringView base = name.substr(0, name.find(u'.'));
  while (!base.empty() && base.back() == u' ') base.remove_suffix(1);
  static constexpr std::array<StringView, 6> kPlain = {u"CON", u"PRN", u"AUX", u"NUL",
                                                      u"CONIN$", u"CONOUT$"};
  for (StringView device : kPlain)
    if (EqualsUpper(base, device)) return true;
  if (base.size() == 4 && (EqualsUpper(base.substr(0, 3), u"COM") || EqualsUpper(base.substr(0, 3), u"LPT"))) {
    const Char d = base[3];
    // Windows also takes the superscript digits 1, 2 and 3.
    return (d >= u'1' && d <= u'9') || d == u'\u00B9' || d == u'\u00B2' || d == u'\u00B3';
  }
  return false;
}

bool IsForbiddenChar(Char c) {
  if (c < 0x20) return true;
  switch (c) {
    case u'<': case u'>': case u':': case u'"': case u'|': case u'?': case u'*':
    case u'/': case u'\\':
      return true;
    default:
      return false;
  }
}

}  // namespace

bool IsSafeNameComponent(StringView name) {
  if (name.empty()) return false;
  bool onlyDotsAndBlanks = true;
  for (Char c : name) {
    if (IsForbiddenChar(c)) return false;
    if (c != u'.' && c != u' ') onlyDotsAndBlanks = false;
  }
  if (onlyDotsAndBlanks) return false;  // ".", "..", "...", " " and the like
  if (name.back() == u'.' || name.back() == u' ') return false;
  return !IsDeviceName(name);
}

bool IsSafeEntryPath(StringView path) {
  if (!path.empty() && path.front() == u'\\') path.remove_prefix(1);
  if (!path.empty() && path.back() == u'\\') path.remove_suffix(1);
  if (path.empty()) return false;
  size_t start = 0;
  for (;;) {
    const size_t end = path.find(u'\\', start);
    if (!IsSafeNameComponent(path.substr(start, end == StringView::npos ? StringView::npos : end - start)))
      return false;
    if (end == StringView::npos) return true;
    start = end + 1;
  }
}
