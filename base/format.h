// Number and text formatting by pattern and by format string: Format in
// format_string.cpp, FormatFloat in format_float.cpp (over decimal_digits.h), the
// integer texts in integer_text.cpp.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <variant>

#include "base/string.h"

// One argument of Format: an integer or a text.
class FormatArg {
public:
  FormatArg(int v) : value_(int64_t(v)) {}
  FormatArg(long v) : value_(int64_t(v)) {}
  FormatArg(long long v) : value_(int64_t(v)) {}
  FormatArg(unsigned v) : value_(uint64_t(v)) {}
  FormatArg(unsigned long v) : value_(uint64_t(v)) {}
  FormatArg(unsigned long long v) : value_(uint64_t(v)) {}
  FormatArg(StringView v) : value_(String(v)) {}
  FormatArg(const String& v) : value_(v) {}
  FormatArg(const Char* v) : value_(v ? String(v) : String()) {}  // null: empty
  const std::variant<int64_t, uint64_t, String>& Value() const { return value_; }

private:
  std::variant<int64_t, uint64_t, String> value_;
};

// Supports %s, %d, %u, %x and %% with optional '-' (left align), width and
// precision: for %s ".N" keeps at most N characters, for numbers it is the least
// count of digits ("%3.3d" of 7 gives "007"). %x is upper-case hex; %u and %x read
// a negative argument as its 32-bit pattern when it fits 32 bits (as an Integer
// would be read), else as its 64-bit one. A directive whose argument is missing
// or of the wrong kind, or a malformed directive, raises EConvertError "Format
// '<pattern>' invalid or incompatible with argument". Arguments are never
// reinterpreted as formats, so untrusted texts are safe as arguments (never as
// the pattern).
String Format(StringView pattern, std::initializer_list<FormatArg> args);

// Separators of the user's locale, read once per process on Windows; ',' and '.'
// in the native build.
struct TFormatSettings {
  Char ThousandSeparator = u',';
  Char DecimalSeparator = u'.';
};
const TFormatSettings& DefaultFormatSettings();

// Pattern formatting of a number: '0' always prints a digit, '#' prints one only
// where the number has it (so "#" prints nothing for 0), ',' anywhere before the
// decimal point turns on grouping by three, '.' places the decimal separator, and
// the value is rounded half away from zero to the pattern's decimals. Rounding is
// decimal and our own, not the C library's: the value is first taken to 15
// significant digits, as every conversion of a double here does, so 0.15 and 0.95
// round up to "0.2" and "1.0" with "0.0". Integer digits beyond the pattern's
// places all print; a number that rounds to zero prints no minus sign. Texts in
// quotes ('..' or "..") and other characters are copied; up to three sections
// separated by ';' format positive, negative (without its sign) and zero values.
// An empty pattern gives the plain 15-digit form. NaN and infinities give "NAN",
// "INF" and "-INF".
String FormatFloat(StringView pattern, double value,
                   const TFormatSettings& settings = DefaultFormatSettings());

String IntToStr(int64_t value);
// Upper-case, zero-padded to at least digits (at most 16).
String IntToHex(uint64_t value, int digits);
// Decimal with an optional sign, or hex with '$' or "0x", after optional leading blanks;
// trailing blanks fail. Out-of-range decimals fail; hex is read as a bit pattern of the result's
// width ("$FFFFFFFF" is -1), longer hex fails. StrToInt raises EConvertError
// "'%s' is not a valid integer value".
bool TryStrToInt(StringView text, int32_t& value);
bool TryStrToInt64(StringView text, int64_t& value);
int32_t StrToInt(StringView text);
int32_t StrToIntDef(StringView text, int32_t fallback);
