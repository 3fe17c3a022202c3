// Matching of FilesList patterns against entry names: '*' any run of characters,
// '?' one character, everything else itself. Both texts arrive lower-cased. A
// stand-in for the component's wildcard matcher module until that is built; linear
// in the text for each star, no recursion.
#pragma once

#include "base/string.h"

bool SelectionPatternMatches(StringView pattern, StringView name);
