// The order of a sorted string list: the user locale's collation on Windows,
// an ordinal order natively (case folded through the shared case table).
#pragma once

#include "base/string.h"

// Negative, 0 or positive.
int CollateStrings(StringView a, StringView b, bool caseSensitive);
