// Hands String to Win32 and back (Windows only: wchar_t is 16 bits there).
#pragma once

#include <cwchar>

#include "base/string.h"

static_assert(sizeof(wchar_t) == sizeof(Char), "Win32 text conversion needs 16-bit wchar_t");

inline const wchar_t* W(const String& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }
inline wchar_t* W(Char* s) { return reinterpret_cast<wchar_t*>(s); }
inline const wchar_t* W(const Char* s) { return reinterpret_cast<const wchar_t*>(s); }
// Text up to the first zero.
inline String FromW(const wchar_t* s) {
  return s ? String(reinterpret_cast<const Char*>(s)) : String();
}
// At most length units, ending early at a zero.
inline String FromW(const wchar_t* s, size_t length) {
  size_t n = 0;
  while (n < length && s[n] != 0) ++n;
  return String(reinterpret_cast<const Char*>(s), n);
}
