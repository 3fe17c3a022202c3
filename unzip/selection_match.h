// The FilesList lines that select entries, compiled once per selection.
#pragma once

#include <vector>

#include "base/string.h"
#include "unzip/wildcard_match.h"

class TStringList;

class TSelectionPatterns {
public:
  // Raises EXrZipException naming the first line with a malformed set, before any entry
  // is looked at.
  explicit TSelectionPatterns(const TStringList& lines);
  // Name matches at least one line; no line selects nothing.
  bool Matches(StringView name) const;

private:
  std::vector<TWildcardPattern> patterns_;
};
