// XrMisc text routines shared by both programs. Positions are 1-based; every
// comparison is exact (16-bit codes, case counts). Procedures change their text
// argument; functions return a new text.
#pragma once

#include <bitset>

#include "base/string.h"

// A set of character codes 0 to 255.
using TCharSet = std::bitset<256>;

// Deletes up to Count occurrences of Sub, each pass searching again from the start.
void RemoveSubStr(String& S, StringView Sub, int Count);
void RemoveLeadingChar(String& S, Char C);   // at most one
void RemoveLastChar(String& S);
void RemoveTrailingChar(String& S, Char C);  // at most one
String RemoveChar(StringView S, Char C);
// Codes of 256 and above always stay.
String RemoveChars(StringView S, const TCharSet& Chars);
int LastCharPos(StringView S, Char C);  // 0 when absent
// Field N (from 1) of S split at every Delim; empty when there is no such field.
String GetToken(StringView S, int N, Char Delim);
// The number of fields GetToken finds: 0 for an empty S, else the count of Delim + 1.
int CountTokens(StringView S, Char Delim);
// The text after the last C; S itself when there is none.
String AfterLastChar(StringView S, Char C);
// The name after the last '\' or ':', cut at its last dot.
String ExtractFileNameNoExt(StringView Path);
