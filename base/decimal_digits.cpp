#include "base/decimal_digits.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

// A little unsigned big number for the exact expansion of a double.
class BigNumber {
public:
  explicit BigNumber(uint64_t v) {
    while (v) {
      limbs_.push_back(uint32_t(v));
      v >>= 32;
    }
  }
  bool IsZero() const { return limbs_.empty(); }
  void ShiftLeft(int bits) {
    const int words = bits / 32, rest = bits % 32;
    if (IsZero()) return;
    if (rest) {
      uint32_t carry = 0;
      for (auto& l : limbs_) {
        const uint32_t next = l >> (32 - rest);
        l = (l << rest) | carry;
        carry = next;
      }
      if (carry) limbs_.push_back(carry);
    }
    limbs_.insert(limbs_.begin(), size_t(words), 0u);
  }
  void MultiplySmall(uint32_t f) {
    uint64_t carry = 0;
    for (auto& l : limbs_) {
      const uint64_t p = uint64_t(l) * f + carry;
      l = uint32_t(p);
      carry = p >> 32;
    }
    if (carry) limbs_.push_back(uint32_t(carry));
  }
  uint32_t DivideSmall(uint32_t d) {  // returns the remainder
    uint64_t rem = 0;
    for (size_t i = limbs_.size(); i-- > 0;) {
      const uint64_t cur = (rem << 32) | limbs_[i];
      limbs_[i] = uint32_t(cur / d);
      rem = cur % d;
    }
    Trim();
    return uint32_t(rem);
  }
  // Removes and returns the bits at and above bit position 'bits' (a small value).
  uint32_t TakeHighBits(int bits) {
    const size_t word = size_t(bits / 32);
    const int rest = bits % 32;
    uint64_t high = 0;
    for (size_t i = limbs_.size(); i-- > word;) {
      high = (high << 32) | limbs_[i];
      if (i > word) limbs_[i] = 0;
    }
    uint32_t result = 0;
    if (word < limbs_.size()) {
      result = uint32_t(high >> rest);
      limbs_[word] &= rest ? ((1u << rest) - 1) : 0u;
    }
    Trim();
    return result;
  }
  std::string ToDecimal() const {
    BigNumber t = *this;
    std::string out;
    while (!t.IsZero()) {
      uint32_t chunk = t.DivideSmall(1000000000u);
      for (int k = 0; k < 9; ++k) {
        out.push_back(char('0' + chunk % 10));
        chunk /= 10;
      }
    }
    while (!out.empty() && out.back() == '0') out.pop_back();
    return std::string(out.rbegin(), out.rend());
  }

private:
  void Trim() {
    while (!limbs_.empty() && limbs_.back() == 0) limbs_.pop_back();
  }
  std::vector<uint32_t> limbs_;
};

constexpr size_t kSignificantDigits = 15;

}  // namespace

Decimal ToDecimal(double value) {
  Decimal d;
  value = std::fabs(value);
  if (value == 0) return d;
  int binaryExponent;
  const double fraction = std::frexp(value, &binaryExponent);  // value = fraction * 2^e
  // 53-bit integer mantissa: value = mantissa * 2^shift.
  const uint64_t mantissa = uint64_t(std::ldexp(fraction, 53));
  const int shift = binaryExponent - 53;

  std::string all;  // significant digits, exact, as far as needed
  int exponent;
  if (shift >= 0) {
    BigNumber n(mantissa);
    n.ShiftLeft(shift);
    all = n.ToDecimal();
    exponent = int(all.size());
  } else {
    const int bits = -shift;
    const uint64_t whole = bits >= 64 ? 0 : mantissa >> bits;
    BigNumber rest(bits >= 64 ? mantissa : mantissa & ((uint64_t(1) << bits) - 1));
    if (whole) {
      all = std::to_string(whole);
      exponent = int(all.size());
    } else {
      exponent = 0;
    }
    // One digit past the kept ones decides the rounding (half away from zero).
    while (!rest.IsZero() && all.size() <= kSignificantDigits) {
      rest.MultiplySmall(10);
      const uint32_t digit = rest.TakeHighBits(bits);
      if (all.empty() && digit == 0) {
        --exponent;
        continue;
      }
      all.push_back(char('0' + digit));
    }
  }
  if (all.size() > kSignificantDigits) {
    const bool up = all[kSignificantDigits] >= '5';
    all.resize(kSignificantDigits);
    if (up) {
      size_t k = all.size();
      while (k > 0 && all[k - 1] == '9') all[--k] = '0';
      if (k == 0) {
        all.insert(all.begin(), '1');
        all.pop_back();
        ++exponent;
      } else {
        ++all[k - 1];
      }
    }
  }
  while (!all.empty() && all.back() == '0') all.pop_back();
  d.digits = all;
  d.exponent = all.empty() ? 0 : exponent;
  return d;
}

std::string ScaledDigits(const Decimal& d, int decimals) {
  if (d.digits.empty()) return "0";
  const long kept = long(d.exponent) + decimals;  // digits at or above 10^-decimals
  if (kept < 0) return "0";
  if (kept == 0) return d.digits[0] >= '5' ? "1" : "0";
  std::string out = d.digits.substr(0, size_t(std::min<long>(kept, long(d.digits.size()))));
  bool up = size_t(kept) < d.digits.size() && d.digits[size_t(kept)] >= '5';
  if (long(out.size()) < kept) out.append(size_t(kept) - out.size(), '0');
  if (up) {
    size_t k = out.size();
    while (k > 0 && out[k - 1] == '9') out[--k] = '0';
    if (k == 0)
      out.insert(out.begin(), '1');
    else
      ++out[k - 1];
  }
  return out;
}
