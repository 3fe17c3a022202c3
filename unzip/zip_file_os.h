// System primitives under the zip file routines, one implementation per system
// (zip_file_routines_win.cpp, zip_file_routines_posix.cpp). Internal to the module.
#pragma once

#include "base/file_stream.h"
#include "base/string.h"

namespace zip_os {
// Creates one folder whose parent exists; True on success.
bool CreateOneFolder(const String& path);
// Whether the file system compares names without regard to letter case.
bool NamesIgnoreCase();
bool IsSeparator(Char c);
// What Name itself is (a link is not followed): nothing, a link or another reparse
// point, or anything else.
enum class TNameKind { Missing, Link, Other };
TNameKind KindOfName(const String& name);
void CloseHandle(NativeHandle handle);
}  // namespace zip_os
