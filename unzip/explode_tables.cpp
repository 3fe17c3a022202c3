// Builds the decoding tables level by level, the codes in order of length and, within
// a length, of value; the current code is kept bit-reversed, as the input delivers it.
#include "unzip/explode_tables.h"

#include <algorithm>
#include <array>
#include <new>
#include <stdexcept>

namespace {

// Deepest nesting of tables: each level takes at least one bit of a 16-bit code.
constexpr int32_t kMaxLevels = int32_t(kMaxCodeBits);

// Base value or extra bits of a value at or above S; a value the caller's arrays do not
// reach is a fault in the call, not in the lengths.
uint16_t MappedOf(std::span<const uint16_t> a, uint32_t at) {
  if (at >= a.size()) throw std::out_of_range("value beyond the base and extra-bit arrays");
  return a[at];
}

uint16_t Build(const uint16_t* b, uint32_t n, uint32_t s, std::span<const uint16_t> d,
               std::span<const uint16_t> e, THuffTables& t, int32_t& m) {
  if (n > kMaxCodeLengths) return kHuffOversubscribed;
  std::array<uint32_t, kMaxCodeBits + 1> c{};
  for (uint32_t i = 0; i < n; ++i) {
    if (b[i] > kMaxCodeBits) return kHuffOversubscribed;
    ++c[b[i]];
  }
  if (c[0] == n) {
    m = 0;
    return kHuffComplete;
  }
  if (n - c[0] > kMaxCodedValues) return kHuffOversubscribed;

  int32_t k = 1;
  while (c[size_t(k)] == 0) ++k;
  int32_t g = int32_t(kMaxCodeBits);
  while (c[size_t(g)] == 0) --g;
  const int32_t l = std::clamp(m, k, g);
  m = l;

  int32_t y = 1 << k;
  for (int32_t j = k; j < g; ++j, y <<= 1)
    if ((y -= int32_t(c[size_t(j)])) < 0) return kHuffOversubscribed;
  if ((y -= int32_t(c[size_t(g)])) < 0) return kHuffOversubscribed;
  c[size_t(g)] += uint32_t(y);

  std::array<uint32_t, kMaxCodeBits + 1> x{};
  for (int32_t j = 1; j < g; ++j) x[size_t(j) + 1] = x[size_t(j)] + c[size_t(j)];
  std::array<uint32_t, kMaxCodedValues> v{};
  for (uint32_t i = 0; i < n; ++i)
    if (b[i] != 0) v[x[b[i]]++] = i;
  // Codes that fill out an incomplete code space lead nowhere.
  const uint32_t coded = n - c[0];

  x[0] = 0;
  std::array<uint32_t, kMaxLevels + 1> u{};
  uint32_t i = 0;  // current code, bit-reversed
  uint32_t p = 0;  // position in v
  int32_t h = -1;  // table level
  int32_t w = -l;  // bits decoded by the levels above the current one
  uint32_t z = 0;  // entries in the current table
  for (; k <= g; ++k) {
    for (uint32_t a = c[size_t(k)]; a-- > 0;) {
      while (k > w + l) {
        ++h;
        w += l;
        const uint32_t most = uint32_t(std::min(g - w, l));
        // A code more than a table's bits beyond the level above passes through tables
        // of l bits that hold only links.
        uint32_t j = std::min(uint32_t(k - w), most);
        uint32_t f = 1u << j;
        if (j == uint32_t(k - w) && f > a + 1) {
          // Too few codes of this length to fill a j-bit table: take longer ones in.
          f -= a + 1;
          int32_t q = k;
          while (j < most) {
            ++j;
            f <<= 1;
            if (f <= c[size_t(++q)]) break;
            f -= c[size_t(q)];
          }
        }
        z = 1u << j;
        u[size_t(h)] = uint32_t(t.Entries.size());
        t.Entries.resize(t.Entries.size() + z);
        if (h > 0) {
          x[size_t(h)] = i;
          THuffEntry link;
          link.Bits = uint8_t(l);
          link.Extra = uint8_t(16 + j);
          link.Value = u[size_t(h)];
          t.Entries[u[size_t(h) - 1] + (i >> (w - l))] = link;
        }
      }
      THuffEntry r;
      r.Bits = uint8_t(k - w);
      if (p < coded) {
        const uint32_t value = v[p++];
        if (value < s) {
          r.Extra = value < 256 ? kHuffLiteral : kHuffEndCode;
          r.Value = value;
        } else {
          r.Extra = uint8_t(MappedOf(e, value - s));
          r.Value = MappedOf(d, value - s);
        }
      }
      const uint32_t step = 1u << (k - w);
      for (uint32_t j = i >> w; j < z; j += step) t.Entries[u[size_t(h)] + j] = r;
      uint32_t bit = 1u << (k - 1);
      for (; (i & bit) != 0; bit >>= 1) i ^= bit;
      i ^= bit;
      while ((i & ((1u << w) - 1)) != x[size_t(h)]) {
        --h;
        w -= l;
      }
    }
  }
  return y != 0 && g != 1 ? kHuffIncomplete : kHuffComplete;
}

}  // namespace

uint16_t BuildHuffTables(const uint16_t* b, uint32_t n, uint32_t s, std::span<const uint16_t> d,
                         std::span<const uint16_t> e, THuffTables& t, int32_t& m) {
  FreeHuffTables(t);
  try {
    const uint16_t result = Build(b, n, s, d, e, t, m);
    if (result == kHuffOversubscribed) FreeHuffTables(t);
    return result;
  } catch (const std::bad_alloc&) {
    FreeHuffTables(t);
    return kHuffOutOfMemory;
  } catch (...) {
    // Whatever else went wrong, half-built tables are not handed out.
    FreeHuffTables(t);
    return kHuffIncomplete;
  }
}

uint16_t FreeHuffTables(THuffTables& t) {
  std::vector<THuffEntry>().swap(t.Entries);
  return 0;
}
