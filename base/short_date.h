// Reading a date typed in the order of a short date format.
#pragma once

#include "base/string.h"

struct TDateParts {
  int Year = 0;
  int Month = 0;
  int Day = 0;
};

// The characters accepted between the numbers of a date.
inline constexpr StringView kShortDateSeparators = u"/.- ";

// Reads three numbers of at most four digits each, in the order the first runs of
// 'd', 'M' and 'y' take in format (such as "dd/MM/yyyy"), separated by any of
// separators. A year of one or two digits is taken as 1950 to 2049. False when
// format lacks one of the three, when the text is not three such numbers, or when
// they are no date from 1601 to 9999; date is left as it was then.
bool ParseShortDate(StringView text, StringView format, TDateParts& date,
                    StringView separators = kShortDateSeparators);
