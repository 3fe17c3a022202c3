#include "base/format.h"

#include <limits>

#include "base/exception.h"
#include "base/messages.h"
#include "base/unsigned_digits.h"

namespace {

[[noreturn]] void InvalidFormat(StringView pattern) {
  // The pattern goes in as an argument, never as a format.
  String text = base_text::kInvalidFormat;
  const size_t at = text.find(u"%s");
  text.replace(at, 2, pattern);
  throw EConvertError(text);
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
