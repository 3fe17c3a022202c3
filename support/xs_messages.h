// Message texts of the support modules, in one place.
#pragma once

#include "base/string.h"

namespace xs_text {
inline constexpr const Char* kWin32Error = u"Win32 error: %s (%u)%s%s";
inline constexpr const Char* kMutexCreate = u"Failed to create mutex";
inline constexpr const Char* kInvalidMmfName = u"Invalid MMF name \"%s\"";
inline constexpr const Char* kMmfCreateEmpty = u"The MMF named \"%s\" cannot be created empty";
inline constexpr const Char* kAnsiDefaultChar = u"Failed to get ANSI replacement character";
}  // namespace xs_text
