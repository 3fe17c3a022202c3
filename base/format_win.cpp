#include <windows.h>

#include "base/format.h"

namespace {
Char LocaleChar(LCTYPE type, Char fallback) {
  wchar_t buffer[8] = {};
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buffer, 8) <= 0) return fallback;
  // An empty thousands separator means none; the decimal one cannot be empty.
  if (buffer[0] == 0) return type == LOCALE_STHOUSAND ? Char(0) : fallback;
  return Char(buffer[0]);
}
}  // namespace

const TFormatSettings& DefaultFormatSettings() {
  static const TFormatSettings settings = [] {
    TFormatSettings s;
    s.ThousandSeparator = LocaleChar(LOCALE_STHOUSAND, u',');
    s.DecimalSeparator = LocaleChar(LOCALE_SDECIMAL, u'.');
    return s;
  }();
  return settings;
}
