#include "support/xs_ansi_strings.h"

#include <windows.h>

uint16_t AnsiTypeTable[256] = {};
uint8_t AnsiLowerTable[256] = {};
uint8_t AnsiUpperTable[256] = {};
uint8_t AnsiSwapTable[256] = {};
bool AnsiCaseTablesReady = false;

void FillAnsiTypeTable() {
  for (unsigned c = 0; c < 256; ++c) {
    const char byte = char(c);
    WORD type = 0;
    if (!GetStringTypeExA(LOCALE_USER_DEFAULT, CT_CTYPE1, &byte, 1, &type)) type = 0;
    AnsiTypeTable[c] = type;
  }
}

void FillAnsiCaseTables() {
  if (AnsiCaseTablesReady) return;
  for (unsigned c = 0; c < 256; ++c) {
    char lo = char(c), up = char(c);
    CharLowerBuffA(&lo, 1);
    CharUpperBuffA(&up, 1);
    AnsiLowerTable[c] = uint8_t(lo);
    AnsiUpperTable[c] = uint8_t(up);
    AnsiSwapTable[c] = AnsiTypeIsUpper(uint8_t(c))   ? uint8_t(lo)
                       : AnsiTypeIsLower(uint8_t(c)) ? uint8_t(up)
                                                     : uint8_t(c);
  }
  AnsiCaseTablesReady = true;
}
