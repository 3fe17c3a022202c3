// The fixed first word of the command line with which the update client starts the setup
// program and the setup program starts the installed main program; the main program
// knows it back. Compared exactly.
#pragma once

#include "base/string.h"

inline constexpr Char kUpdateToken[] = u"tq5082tq67";
