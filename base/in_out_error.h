// The I/O error: EInOutError with the system's error code.
#pragma once

#include <cstdint>

#include "base/string.h"

// "File not found", "Disk full", ... for the codes with a name of their own,
// "I/O error <code>" for the others.
String InOutErrorMessage(uint32_t code);
[[noreturn]] void RaiseInOutError(uint32_t code);
