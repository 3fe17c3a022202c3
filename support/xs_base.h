// The ANSI code page's default character.
#pragma once

#include <cstdint>

extern uint8_t AnsiDefaultChar;

// Raises EXsInternalError when the code page cannot be queried.
void LoadAnsiDefaultChar();
