#include "unzip/selection_match.h"

#include "base/format.h"
#include "base/string_list.h"
#include "unzip/unzip_errors.h"
#include "unzip/unzip_messages.h"

TSelectionPatterns::TSelectionPatterns(const TStringList& lines) {
  patterns_.reserve(size_t(lines.Count()));
  for (int i = 0; i < lines.Count(); ++i) {
    patterns_.emplace_back(lines.Strings(i));
    if (!patterns_.back().IsValid())
      throw EXrZipException(Format(ZipMessageText(TZipMessage::BadPattern), {lines.Strings(i)}));
  }
}

bool TSelectionPatterns::Matches(StringView name) const {
  for (const TWildcardPattern& p : patterns_)
    if (p.Matches(name)) return true;
  return false;
}
