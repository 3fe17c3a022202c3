// The character tables of the 256 byte values of the ANSI code page.
#pragma once

#include <cstdint>

extern uint16_t AnsiTypeTable[256];
extern uint8_t AnsiLowerTable[256];
extern uint8_t AnsiUpperTable[256];
extern uint8_t AnsiSwapTable[256];
extern bool AnsiCaseTablesReady;

void FillAnsiTypeTable();
// Fills the three case tables once; later calls do nothing. Needs the type table.
void FillAnsiCaseTables();
inline bool AnsiTypeIsUpper(uint8_t c) { return (AnsiTypeTable[c] & 0x1) != 0; }
inline bool AnsiTypeIsLower(uint8_t c) { return (AnsiTypeTable[c] & 0x2) != 0; }
