// Raising the operating system's errors as EOSError.
#pragma once

#include <cstdint>

// With the calling thread's last error code (GetLastError, errno), taken first.
[[noreturn]] void RaiseLastOSError();
[[noreturn]] void RaiseOSError(uint32_t code);
