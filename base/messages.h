// Message texts of the runtime layer, in one place.
#pragma once

#include "base/string.h"

namespace base_text {
inline constexpr const Char* kListIndexError = u"List index out of bounds (%d)";
inline constexpr const Char* kSortedListError = u"Operation not allowed on sorted list";
inline constexpr const Char* kDuplicateString = u"String list does not allow duplicates";
inline constexpr const Char* kReadError = u"Stream read error";
inline constexpr const Char* kWriteError = u"Stream write error";
inline constexpr const Char* kSeekError = u"Invalid stream position";
inline constexpr const Char* kSetSizeError = u"Stream size cannot be changed";
inline constexpr const Char* kFOpenError = u"Cannot open file \"%s\". %s";
inline constexpr const Char* kFCreateError = u"Cannot create file \"%s\". %s";
inline constexpr const Char* kOutOfMemory = u"Out of memory";
inline constexpr const Char* kUnknownError = u"Unknown error";
inline constexpr const Char* kInvalidFormat = u"Format '%s' invalid or incompatible with argument";
inline constexpr const Char* kInvalidInteger = u"'%s' is not a valid integer value";
inline constexpr const Char* kInOutError = u"I/O error %u";
inline constexpr const Char* kFileNotFound = u"File not found";
inline constexpr const Char* kPathNotFound = u"Invalid filename";
inline constexpr const Char* kTooManyOpenFiles = u"Too many open files";
inline constexpr const Char* kAccessDenied = u"File access denied";
inline constexpr const Char* kDiskFull = u"Disk full";
inline constexpr const Char* kUnknownOsError = u"System error %u";
inline constexpr const Char* kOsError = u"System Error.  Code: %u.\r\n%s";
}  // namespace base_text
