// Small text routines of the class library that the programs rely on.
#pragma once

#include "base/string.h"

// Removes leading and trailing characters with codes <= 32 (blanks, controls).
String Trim(StringView s);
String TrimLeft(StringView s);
String TrimRight(StringView s);
// ASCII-only case mapping (a-z / A-Z), as the class library's plain routines.
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
// 1-based position of Sub in S, 0 when absent (the class library's Pos).
int Pos(StringView sub, StringView s);
String StringReplaceAll(StringView s, StringView from, StringView to);
