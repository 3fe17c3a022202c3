#include "base/format.h"

#include "base/exception.h"
#include "base/messages.h"
#include "base/unsigned_digits.h"

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

