// Small text routines the programs rely on.
#pragma once

#include "base/string.h"

#ifdef _WIN32
// The system headers define CharUpper and CharLower as macros for their own
// functions; include them first and drop the two macros, so that the names below
// mean ours in every file whatever it includes after this header.
#include <windows.h>
#undef CharUpper
#undef CharLower
#endif

// Removes leading and trailing characters with codes <= 32 (blanks, controls).
String Trim(StringView s);
// ASCII-only case mapping (a-z / A-Z); other characters stay as they are.
String UpperCase(StringView s);
String LowerCase(StringView s);
// Case mapping of the whole basic plane through one fixed table, alike in both
// builds (the table follows Windows' simple case mapping).
Char CharUpper(Char c);
Char CharLower(Char c);
String AnsiUpperCase(StringView s);
String AnsiLowerCase(StringView s);
// Ordinal comparisons: negative, 0 or positive.
int CompareStr(StringView a, StringView b);
int CompareText(StringView a, StringView b);  // ASCII case folded
bool SameText(StringView a, StringView b);
// Comparisons in the order of a sorted string list: the user locale's collation
// on Windows (CompareStringW, NORM_IGNORECASE for the Text forms), ordinal
// natively (case folded through the table above for the Text forms).
int AnsiCompareText(StringView a, StringView b);
bool AnsiSameText(StringView a, StringView b);
// Whether text ends with subText, compared as AnsiCompareText does.
bool AnsiEndsText(StringView subText, StringView text);
String StringReplaceAll(StringView s, StringView from, StringView to);
