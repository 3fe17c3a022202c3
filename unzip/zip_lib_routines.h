// Small routines of the zip library: 64-bit minimum and maximum, percentages, slash
// conversion, string ends, the DOS date/time clamp. The drive queries
// (IsRemovableDrive, GetVolumeLabel) are system calls: zip_file_routines.h.
#pragma once

#include <cstdint>

#include "base/string.h"

class TStream;

inline int64_t Min64(int64_t a, int64_t b) { return a < b ? a : b; }
inline int64_t Max64(int64_t a, int64_t b) { return a > b ? a : b; }

// Part * 100 / Whole to the nearest whole number (a half to the even neighbour),
// clamped to 0..100: a Part above Whole gives 100, a negative Part 0; 0 when
// Whole <= 0. Exact for every 64-bit input.
int32_t Percentage(int64_t whole, int64_t part);

// Replaces every '/' by '\' in place, up to the terminating NUL; returns P.
Char* SlashToBackslash(Char* p);
// The same over a whole string.
void SlashToBackslash(String& s);

// The last N characters of S (all of S when N >= its length, none when N <= 0).
String RightChars(StringView s, int32_t n);
// The first N characters of S.
String LeftChars(StringView s, int32_t n);

// Clamps the fields of a DOS date/time (time in the low word, date in the high word)
// into range; an in-range value comes back unchanged.
uint32_t FixDosDateTime(uint32_t dosDateTime);

// The characters of S, NUL-terminated (an empty text for an empty string).
inline Char* PCharOf(String& s) { return s.data(); }

// Reads up to count bytes, joining short reads; returns how many came (fewer only at
// the end of the stream).
int32_t ReadFully(TStream& stream, void* buffer, int32_t count);
