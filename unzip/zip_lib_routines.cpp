#include "unzip/zip_lib_routines.h"

#include "base/stream.h"

namespace {

// Part * Multiplier = Quotient * Whole + Remainder, kept with Remainder < Whole so that
// nothing overflows for Whole < 2^63.
struct QuotientRemainder {
  uint64_t quotient;
  uint64_t remainder;
};

QuotientRemainder Add(QuotientRemainder a, QuotientRemainder b, uint64_t whole) {
  QuotientRemainder r{a.quotient + b.quotient, a.remainder + b.remainder};
  if (r.remainder >= whole) {
    r.remainder -= whole;
    ++r.quotient;
  }
  return r;
}

}  // namespace

int32_t Percentage(int64_t whole, int64_t part) {
  if (whole <= 0 || part <= 0) return 0;
  if (part >= whole) return 100;
  const uint64_t w = uint64_t(whole);
  // 100 * part by doubling: 100 = 64 + 32 + 4.
  QuotientRemainder x{0, uint64_t(part)};
  QuotientRemainder sum{0, 0};
  for (int bit = 0; bit <= 6; ++bit) {
    if (bit == 2 || bit == 5 || bit == 6) sum = Add(sum, x, w);
    x = Add(x, x, w);
  }
  uint64_t q = sum.quotient;
  const uint64_t twice = sum.remainder * 2;  // < 2^64 since remainder < 2^63
  if (twice > w || (twice == w && (q & 1) != 0)) ++q;
  return int32_t(q > 100 ? 100 : q);
}

Char* SlashToBackslash(Char* p) {
  for (Char* c = p; c && *c; ++c)
    if (*c == u'/') *c = u'\\';
  return p;
}

void SlashToBackslash(String& s) {
  for (Char& c : s)
    if (c == u'/') c = u'\\';
}

String RightChars(StringView s, int32_t n) {
  if (n <= 0) return String();
  if (size_t(n) >= s.size()) return String(s);
  return String(s.substr(s.size() - size_t(n)));
}

String LeftChars(StringView s, int32_t n) {
  if (n <= 0) return String();
  return String(s.substr(0, size_t(n)));
}

uint32_t FixDosDateTime(uint32_t dosDateTime) {
  uint32_t seconds = (dosDateTime & 0x1F) * 2;
  uint32_t minutes = (dosDateTime >> 5) & 0x3F;
  uint32_t hours = (dosDateTime >> 11) & 0x1F;
  uint32_t day = (dosDateTime >> 16) & 0x1F;
  uint32_t month = (dosDateTime >> 21) & 0x0F;
  uint32_t year = ((dosDateTime >> 25) & 0x7F) + 1980;
  bool clamped = false;
  auto clampAbove = [&clamped](uint32_t& v, uint32_t max) {
    if (v > max) {
      v = max;
      clamped = true;
    }
  };
  auto clampBelow = [&clamped](uint32_t& v, uint32_t min) {
    if (v < min) {
      v = min;
      clamped = true;
    }
  };
  clampAbove(hours, 23);
  clampAbove(minutes, 59);
  clampAbove(seconds, 59);
  clampAbove(year, 2099);
  clampAbove(month, 12);
  clampBelow(month, 1);
  clampBelow(day, 1);
  if (!clamped) return dosDateTime;
  const uint32_t time = (seconds / 2) | (minutes << 5) | (hours << 11);
  const uint32_t date = day | (month << 5) | ((year - 1980) << 9);
  return (date << 16) | time;
}

int32_t ReadFully(TStream& stream, void* buffer, int32_t count) {
  int32_t total = 0;
  auto* p = static_cast<uint8_t*>(buffer);
  while (total < count) {
    const int32_t n = stream.Read(p + total, count - total);
    if (n <= 0) break;
    total += n;
  }
  return total;
}
