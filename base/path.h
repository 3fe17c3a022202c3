// A path's folder and name parts. Pure text: nothing here asks the system.
#pragma once

#include "base/string.h"

// What ends a folder part in a Windows name: a backslash or a drive's colon.
inline constexpr StringView kPathSeparators = u"\\:";

// Where the last name starts: just after the last separator, 0 when there is none.
size_t FileNameStart(StringView path, StringView separators = kPathSeparators);

// Up to and including the last separator; empty when there is none.
StringView FolderPart(StringView path, StringView separators = kPathSeparators);

// After the last separator; the whole path when there is none.
StringView FileNamePart(StringView path, StringView separators = kPathSeparators);
