// The decimal digits of a double, for number formatting.
#pragma once

#include <string>

// Digits of |value| rounded half away from zero to at most 15 significant digits,
// the precision every conversion of a double here keeps: value = 0.digits x 10^exponent.
// Trailing zeros are dropped; zero has no digits.
struct Decimal {
  std::string digits;
  int exponent = 0;
};

Decimal ToDecimal(double value);

// round(|value| * 10^decimals) half away from zero, as decimal digits (at least "0").
std::string ScaledDigits(const Decimal& d, int decimals);
