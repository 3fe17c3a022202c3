// Digits of an unsigned number, for the integer texts of the format functions.
#pragma once

#include <cstdint>

#include "base/string.h"

inline String UnsignedDigits(uint64_t v, unsigned base) {
  static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  Char buffer[24];
  int n = 0;
  do {
    buffer[n++] = kDigits[v % base];
    v /= base;
  } while (v);
  String out;
  out.reserve(size_t(n));
  while (n) out.push_back(buffer[--n]);
  return out;
}
