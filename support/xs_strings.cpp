#include "support/xs_strings.h"

#include <windows.h>

void CutAtNul(String& s) {
  const size_t nul = s.find(u'\0');
  if (nul != String::npos) s.resize(nul);
}

uint16_t WideTypeTable[65536] = {};
Char WideLowerTable[65536] = {};
Char WideUpperTable[65536] = {};
Char WideSwapTable[65536] = {};
bool WideCaseTablesReady = false;

void FillWideTypeTable() {
  for (unsigned c = 0; c < 65536; ++c) {
    const wchar_t unit = wchar_t(c);
    WORD type = 0;
    if (!GetStringTypeExW(LOCALE_USER_DEFAULT, CT_CTYPE1, &unit, 1, &type)) type = 0;
    WideTypeTable[c] = type;
  }
}

void FillWideCaseTables() {
  if (WideCaseTablesReady) return;
  for (unsigned c = 0; c < 65536; ++c) {
    wchar_t lo = wchar_t(c), up = wchar_t(c);
    CharLowerBuffW(&lo, 1);
    CharUpperBuffW(&up, 1);
    WideLowerTable[c] = Char(lo);
    WideUpperTable[c] = Char(up);
    WideSwapTable[c] = WideTypeIsUpper(Char(c))   ? Char(lo)
                       : WideTypeIsLower(Char(c)) ? Char(up)
                                                  : Char(c);
  }
  WideCaseTablesReady = true;
}
