// Text helpers and the character tables of all 65536 UTF-16 code units.
#pragma once

#include <cstdint>

#include "base/string.h"

// Cuts S before its first NUL.
void CutAtNul(String& s);

// Character-type-1 bits (C1_UPPER 0x1, C1_LOWER 0x2, ...) of each code unit in the
// user's default locale, and its lower, upper and case-swapped form.
extern uint16_t WideTypeTable[65536];
extern Char WideLowerTable[65536];
extern Char WideUpperTable[65536];
extern Char WideSwapTable[65536];
extern bool WideCaseTablesReady;

void FillWideTypeTable();
// Fills the three case tables once; later calls do nothing. Needs the type table.
void FillWideCaseTables();
inline bool WideTypeIsUpper(Char c) { return (WideTypeTable[c] & 0x1) != 0; }
inline bool WideTypeIsLower(Char c) { return (WideTypeTable[c] & 0x2) != 0; }
