#include "unzip/wildcard_match.h"

#include <algorithm>
#include <utility>

#include "unzip/zip_file_routines.h"

namespace {

// Reads the set whose '<' stands at Pos; returns the position after its '>', or
// String::npos when the set is malformed.
size_t ReadSet(const String& p, size_t pos, TCharSet& set) {
  const size_t n = p.size();
  size_t j = pos + 1;
  if (j < n && (p[j] == u'!' || p[j] == u'^')) {
    set.Negated = true;
    ++j;
  }
  if (j >= n || p[j] == u'>') return String::npos;  // no member
  while (j < n && p[j] != u'>') {
    TCharRange r{p[j], p[j]};
    ++j;
    if (j < n && p[j] == u'-') {
      ++j;
      if (j >= n || p[j] == u'>') return String::npos;  // range without its end
      r.Last = p[j];
      ++j;
    }
    set.Ranges.push_back(r);
  }
  if (j >= n) return String::npos;  // no closing '>'
  return j + 1;
}

}  // namespace

bool IsInCharSet(Char c, const TCharSet& set) {
  for (const TCharRange& r : set.Ranges)
    if (r.First <= c && c <= r.Last) return true;
  return false;
}

bool CharSetAdmits(Char c, const TCharSet& set) { return IsInCharSet(c, set) != set.Negated; }

TWildcardPattern::TWildcardPattern(StringView pattern) : text_(LowerCaseOf(pattern)) {
  const String& p = text_;
  size_t i = 0;
  while (i < p.size()) {
    const Char c = p[i];
    if (c == u'*' || c == u'<') {
      const bool star = c == u'*';
      const size_t open = star ? i + 1 : i;
      if (star && (open >= p.size() || p[open] != u'<')) {
        elements_.push_back({Kind::Star, 0, -1});
        ++i;
        continue;
      }
      TCharSet set;
      const size_t next = ReadSet(p, open, set);
      if (next == String::npos) {
        badSetAt_ = open + 1;
        elements_.clear();
        sets_.clear();
        return;
      }
      sets_.push_back(std::move(set));
      elements_.push_back({star ? Kind::Star : Kind::Set, 0, int32_t(sets_.size() - 1)});
      i = next;
    } else {
      elements_.push_back({c == u'?' ? Kind::AnyChar : Kind::Literal, c, -1});
      ++i;
    }
  }
}

bool TWildcardPattern::Admits(const Element& e, Char c) const {
  switch (e.kind) {
    case Kind::Literal:
      return e.literal == c;
    case Kind::AnyChar:
      return true;
    case Kind::Set:
    case Kind::Star:
      return e.set < 0 || CharSetAdmits(c, sets_[size_t(e.set)]);
  }
  return false;
}

TMatchCode TWildcardPattern::MatchCode(StringView text) const {
  if (!IsValid()) return TMatchCode::mcBadPattern;
  const String t = LowerCaseOf(text);

  // Up to the first star, pattern and text go in step and a failure has a clear reason.
  size_t k = 0, ti = 0;
  for (; k < elements_.size() && elements_[k].kind != Kind::Star; ++k, ++ti) {
    const Element& e = elements_[k];
    if (ti >= t.size()) return TMatchCode::mcTextEnd;
    if (!Admits(e, t[ti]))
      return e.kind == Kind::Set ? TMatchCode::mcSetMismatch : TMatchCode::mcCharMismatch;
  }
  if (k == elements_.size())
    return ti < t.size() ? TMatchCode::mcPatternEnd : TMatchCode::mcValid;

  // From the first star on: live[j] says the elements k .. k+j-1 can have consumed the
  // text so far. A star may also consume nothing, so a live star makes its successor live.
  const size_t m = elements_.size() - k;
  std::vector<uint8_t> live(m + 1, 0), next(m + 1, 0);
  auto closeOverStars = [&](std::vector<uint8_t>& s) {
    for (size_t j = 0; j < m; ++j)
      if (s[j] && elements_[k + j].kind == Kind::Star) s[j + 1] = 1;
  };
  live[0] = 1;
  closeOverStars(live);
  for (; ti < t.size(); ++ti) {
    const Char c = t[ti];
    std::fill(next.begin(), next.end(), uint8_t(0));
    bool any = false;
    for (size_t j = 0; j < m; ++j) {
      if (!live[j]) continue;
      const Element& e = elements_[k + j];
      if (!Admits(e, c)) continue;
      next[e.kind == Kind::Star ? j : j + 1] = 1;
      any = true;
    }
    if (!any) return TMatchCode::mcTextEnd;
    closeOverStars(next);
    live.swap(next);
  }
  return live[m] ? TMatchCode::mcValid : TMatchCode::mcTextEnd;
}

TMatchCode WildcardMatchCode(StringView pattern, StringView text) {
  return TWildcardPattern(pattern).MatchCode(text);
}

bool WildcardMatch(StringView pattern, StringView text) {
  return WildcardMatchCode(pattern, text) == TMatchCode::mcValid;
}

TMatchCode MatchStarRun(StringView patternTail, StringView textTail, const TCharSet& starSet) {
  TWildcardPattern run(patternTail);
  if (!run.IsValid()) return TMatchCode::mcBadPattern;
  TWildcardPattern::Element star{TWildcardPattern::Kind::Star, 0, -1};
  if (!starSet.Ranges.empty()) {
    run.sets_.push_back(starSet);
    star.set = int32_t(run.sets_.size() - 1);
  }
  run.elements_.insert(run.elements_.begin(), star);
  return run.MatchCode(textTail);
}
