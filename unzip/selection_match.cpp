#include "unzip/selection_match.h"

bool SelectionPatternMatches(StringView pattern, StringView name) {
  size_t p = 0, t = 0;
  size_t starP = StringView::npos, starT = 0;
  while (t < name.size()) {
    if (p < pattern.size() && (pattern[p] == u'?' || pattern[p] == name[t])) {
      ++p;
      ++t;
    } else if (p < pattern.size() && pattern[p] == u'*') {
      starP = p++;
      starT = t;
    } else if (starP != StringView::npos) {
      p = starP + 1;
      t = ++starT;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == u'*') ++p;
  return p == pattern.size();
}
