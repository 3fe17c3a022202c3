#include "base/format.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "base/exception.h"
#include "base/messages.h"

namespace {

// --- Format

[[noreturn]] void InvalidFormat(StringView pattern) {
  // The pattern goes in as an argument, never as a format.
  String text = base_text::kInvalidFormat;
  const size_t at = text.find(u"%s");
  text.replace(at, 2, pattern);
  throw EConvertError(text);
}

String UnsignedDigits(uint64_t v, unsigned base) {
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

// The unsigned reading of a signed argument: 32-bit two's complement when the
// value fits 32 bits (as an Integer argument would), else 64-bit.
uint64_t AsUnsigned(int64_t v) {
  if (v >= 0) return uint64_t(v);
  if (v >= std::numeric_limits<int32_t>::min()) return uint64_t(uint32_t(int32_t(v)));
  return uint64_t(v);
}

void Pad(String& out, const String& text, bool left, size_t width) {
  if (text.size() >= width) {
    out += text;
  } else if (left) {
    out += text;
    out.append(width - text.size(), u' ');
  } else {
    out.append(width - text.size(), u' ');
    out += text;
  }
}

}  // namespace

String Format(StringView pattern, std::initializer_list<FormatArg> args) {
  String out;
  out.reserve(pattern.size() + 16);
  auto arg = args.begin();
  size_t i = 0;
  const size_t n = pattern.size();
  while (i < n) {
    const Char c = pattern[i++];
    if (c != u'%') {
      out.push_back(c);
      continue;
    }
    if (i >= n) InvalidFormat(pattern);
    if (pattern[i] == u'%') {
      out.push_back(u'%');
      ++i;
      continue;
    }
    bool left = false;
    if (pattern[i] == u'-') {
      left = true;
      ++i;
    }
    // Widths and precisions are bounded so that a pattern cannot ask for gigabytes.
    constexpr size_t kMaxWidth = 4096;
    auto number = [&](size_t& value) {
      bool any = false;
      while (i < n && pattern[i] >= u'0' && pattern[i] <= u'9') {
        value = value * 10 + size_t(pattern[i] - u'0');
        if (value > kMaxWidth) InvalidFormat(pattern);
        ++i;
        any = true;
      }
      return any;
    };
    size_t width = 0, precision = 0;
    number(width);
    bool hasPrecision = false;
    if (i < n && pattern[i] == u'.') {
      ++i;
      hasPrecision = true;
      number(precision);
    }
    if (i >= n) InvalidFormat(pattern);
    const Char type = pattern[i++];
    if (arg == args.end()) InvalidFormat(pattern);
    const auto& value = arg->Value();
    ++arg;
    String text;
    switch (type) {
      case u's':
      case u'S': {
        const String* s = std::get_if<String>(&value);
        if (!s) InvalidFormat(pattern);
        text = hasPrecision && precision < s->size() ? s->substr(0, precision) : *s;
        break;
      }
      case u'd':
      case u'D':
      case u'u':
      case u'U':
      case u'x':
      case u'X': {
        if (std::holds_alternative<String>(value)) InvalidFormat(pattern);
        bool negative = false;
        uint64_t magnitude;
        const bool isDecimal = type == u'd' || type == u'D';
        if (const int64_t* s = std::get_if<int64_t>(&value)) {
          if (isDecimal && *s < 0) {
            negative = true;
            magnitude = uint64_t(0) - uint64_t(*s);
          } else {
            magnitude = AsUnsigned(*s);
          }
        } else {
          magnitude = std::get<uint64_t>(value);
        }
        const bool isHex = type == u'x' || type == u'X';
        text = UnsignedDigits(magnitude, isHex ? 16 : 10);
        // The precision of a number is its least count of digits.
        if (hasPrecision && text.size() < precision) text.insert(0, precision - text.size(), u'0');
        if (negative) text.insert(0, 1, u'-');
        break;
      }
      default: InvalidFormat(pattern);
    }
    Pad(out, text, left, width);
  }
  return out;
}

// --- Decimal digits of a double

namespace {

// Digits of |value| rounded half away from zero to at most 15 significant digits,
// the precision every conversion of a double here keeps: value = 0.digits x 10^exponent.
// Trailing zeros are dropped; zero has no digits.
struct Decimal {
  std::string digits;
  int exponent = 0;
};

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

// round(|value| * 10^decimals) half away from zero, as decimal digits (at least "0").
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

// --- FormatFloat

std::vector<StringView> SplitSections(StringView pattern) {
  std::vector<StringView> sections;
  size_t start = 0;
  Char quote = 0;
  for (size_t i = 0; i < pattern.size(); ++i) {
    const Char c = pattern[i];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == u'"' || c == u'\'') {
      quote = c;
    } else if (c == u';' && sections.size() < 2) {
      sections.push_back(pattern.substr(start, i - start));
      start = i + 1;
    }
  }
  sections.push_back(pattern.substr(start));
  return sections;
}

struct SectionShape {
  int intPlaceholders = 0;
  int minIntDigits = 0;  // placeholders from the first '0' to the point
  int fracPlaceholders = 0;
  int minFracDigits = 0;  // up to the last '0' after the point
  bool grouping = false;
};

SectionShape Shape(StringView section) {
  SectionShape s;
  Char quote = 0;
  bool afterPoint = false;
  bool seenZero = false;
  for (const Char c : section) {
    if (quote) {
      if (c == quote) quote = 0;
      continue;
    }
    if (c == u'"' || c == u'\'') {
      quote = c;
    } else if (c == u'.') {
      afterPoint = true;
    } else if (c == u',') {
      if (!afterPoint) s.grouping = true;
    } else if (c == u'0' || c == u'#') {
      if (afterPoint) {
        ++s.fracPlaceholders;
        if (c == u'0') s.minFracDigits = s.fracPlaceholders;
      } else {
        ++s.intPlaceholders;
        if (c == u'0') seenZero = true;
        if (seenZero) ++s.minIntDigits;
      }
    }
  }
  return s;
}

String GeneralFloat(const Decimal& d, bool negative, const TFormatSettings& settings) {
  if (d.digits.empty()) return u"0";
  std::string text;
  if (d.exponent <= 0) {
    text = "0";
    text.push_back('.');
    text.append(size_t(-d.exponent), '0');
    text += d.digits;
  } else if (d.digits.size() <= size_t(d.exponent)) {
    text = d.digits;
    text.append(size_t(d.exponent) - d.digits.size(), '0');
  } else {
    text = d.digits.substr(0, size_t(d.exponent)) + "." + d.digits.substr(size_t(d.exponent));
  }
  String out = negative ? u"-" : u"";
  for (const char c : text) out.push_back(c == '.' ? settings.DecimalSeparator : Char(c));
  return out;
}

String FormatSection(StringView section, const Decimal& d, bool withMinus,
                     const TFormatSettings& settings) {
  const SectionShape shape = Shape(section);
  const std::string scaled = ScaledDigits(d, shape.fracPlaceholders);
  const size_t fracCount = size_t(shape.fracPlaceholders);
  std::string whole = scaled.size() > fracCount ? scaled.substr(0, scaled.size() - fracCount) : "";
  std::string frac = scaled.size() > fracCount
                         ? scaled.substr(scaled.size() - fracCount)
                         : std::string(fracCount - scaled.size(), '0') + scaled;
  size_t lead = 0;
  while (lead < whole.size() && whole[lead] == '0') ++lead;
  whole.erase(0, lead);
  const bool isZero = whole.empty() && frac.find_first_not_of('0') == std::string::npos;
  if (whole.size() < size_t(shape.minIntDigits))
    whole.insert(0, size_t(shape.minIntDigits) - whole.size(), '0');
  size_t fracShown = size_t(shape.minFracDigits);
  const size_t lastNonZero = frac.find_last_not_of('0');
  if (lastNonZero != std::string::npos) fracShown = std::max(fracShown, lastNonZero + 1);

  String out;
  if (withMinus && !isZero) out.push_back(u'-');
  const long length = long(whole.size());
  const long placeholders = shape.intPlaceholders;
  auto emitWhole = [&](long from, long to) {
    for (long k = std::max(from, 0L); k < to && k < length; ++k) {
      out.push_back(Char(whole[size_t(k)]));
      if (shape.grouping && settings.ThousandSeparator && k < length - 1 &&
          (length - 1 - k) % 3 == 0)
        out.push_back(settings.ThousandSeparator);
    }
  };
  Char quote = 0;
  bool afterPoint = false;
  long intIndex = 0, fracIndex = 0;
  bool wholeDone = placeholders == 0 ? false : true;
  for (const Char c : section) {
    if (quote) {
      if (c == quote)
        quote = 0;
      else
        out.push_back(c);
      continue;
    }
    if (c == u'"' || c == u'\'') {
      quote = c;
    } else if (c == u'.' && !afterPoint) {
      afterPoint = true;
      if (!wholeDone) {  // a pattern without integer places still shows the integer
        emitWhole(0, length);
        wholeDone = true;
      }
      if (fracShown > 0) out.push_back(settings.DecimalSeparator);
    } else if (c == u',') {
      // only marks grouping
    } else if (c == u'0' || c == u'#') {
      if (afterPoint) {
        if (size_t(fracIndex) < fracShown) out.push_back(Char(frac[size_t(fracIndex)]));
        ++fracIndex;
      } else {
        const long own = length - placeholders + intIndex;  // this place's digit
        emitWhole(intIndex == 0 ? 0 : own, own + 1);
        ++intIndex;
      }
    } else {
      out.push_back(c);
    }
  }
  if (!wholeDone) emitWhole(0, length);
  return out;
}

}  // namespace

String FormatFloat(StringView pattern, double value, const TFormatSettings& settings) {
  if (std::isnan(value)) return u"NAN";
  if (std::isinf(value)) return value < 0 ? u"-INF" : u"INF";
  const Decimal d = ToDecimal(value);
  const bool negative = std::signbit(value) && !d.digits.empty();
  const std::vector<StringView> sections = SplitSections(pattern);
  if (value == 0 && sections.size() > 2 && !sections[2].empty())
    return FormatSection(sections[2], d, false, settings);
  if (negative && sections.size() > 1 && !sections[1].empty())
    return FormatSection(sections[1], d, false, settings);
  if (sections[0].empty()) return GeneralFloat(d, negative, settings);
  return FormatSection(sections[0], d, negative, settings);
}

// --- Integers

String IntToStr(int64_t value) {
  if (value >= 0) return UnsignedDigits(uint64_t(value), 10);
  String text = UnsignedDigits(uint64_t(0) - uint64_t(value), 10);
  text.insert(text.begin(), u'-');
  return text;
}

String IntToHex(uint64_t value, int digits) {
  String text = UnsignedDigits(value, 16);
  if (digits > 16) digits = 16;
  if (digits > 0 && text.size() < size_t(digits))
    text.insert(0, size_t(digits) - text.size(), u'0');
  return text;
}

namespace {
// Parses a sign and a decimal or hex magnitude. Hex gives the bit pattern of
// 'bits' bits ("$FFFFFFFF" is -1 for 32 bits); decimal must fit.
bool ParseInteger(StringView text, int bits, int64_t& value) {
  size_t i = 0;
  // Leading blanks are skipped; trailing ones are not.
  while (i < text.size() && text[i] == u' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
    negative = text[i] == u'-';
    ++i;
  }
  unsigned base = 10;
  if (i < text.size() && text[i] == u'$') {
    base = 16;
    ++i;
  } else if (i + 1 < text.size() && text[i] == u'0' &&
             (text[i + 1] == u'x' || text[i + 1] == u'X')) {
    base = 16;
    i += 2;
  }
  if (i >= text.size()) return false;
  const uint64_t limit = base == 16 ? (bits == 64 ? ~uint64_t(0) : (uint64_t(1) << bits) - 1)
                                    : (uint64_t(1) << (bits - 1)) - (negative ? 0 : 1);
  uint64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    const Char c = text[i];
    unsigned digit;
    if (c >= u'0' && c <= u'9')
      digit = unsigned(c - u'0');
    else if (base == 16 && c >= u'a' && c <= u'f')
      digit = unsigned(c - u'a' + 10);
    else if (base == 16 && c >= u'A' && c <= u'F')
      digit = unsigned(c - u'A' + 10);
    else
      return false;
    if (magnitude > (limit - digit) / base) return false;
    magnitude = magnitude * base + digit;
  }
  if (base == 16) {
    // The bit pattern, sign-extended from 'bits' bits.
    int64_t pattern;
    if (bits == 64) {
      pattern = int64_t(magnitude);
    } else {
      pattern = int64_t(int32_t(uint32_t(magnitude)));
    }
    value = negative ? int64_t(uint64_t(0) - uint64_t(pattern)) : pattern;
    if (bits == 32) value = int64_t(int32_t(uint32_t(uint64_t(value))));
    return true;
  }
  value = negative ? int64_t(uint64_t(0) - magnitude) : int64_t(magnitude);
  return true;
}
}  // namespace

bool TryStrToInt(StringView text, int32_t& value) {
  int64_t v;
  if (!ParseInteger(text, 32, v)) return false;
  value = int32_t(v);
  return true;
}

bool TryStrToInt64(StringView text, int64_t& value) { return ParseInteger(text, 64, value); }

int32_t StrToInt(StringView text) {
  int32_t v;
  if (!TryStrToInt(text, v)) {
    String message = base_text::kInvalidInteger;
    message.replace(message.find(u"%s"), 2, text);
    throw EConvertError(message);
  }
  return v;
}

int32_t StrToIntDef(StringView text, int32_t fallback) {
  int32_t v;
  return TryStrToInt(text, v) ? v : fallback;
}

int64_t StrToInt64Def(StringView text, int64_t fallback) {
  int64_t v;
  return TryStrToInt64(text, v) ? v : fallback;
}
