// Small file-system routines: the temporary path, existence tests, module file names
// and fixed version information. None of them raises or keeps state.
#pragma once

#include <windows.h>

#include "base/string.h"

// The system's temporary path, trailing backslash kept; empty when the system fails.
void QueryTempPath(String& path);
// Without one trailing backslash ("C:\" gives "C:").
String StripTrailingBackslash(const String& s);
// An existing folder (trailing backslash or not). Empty names, names with a NUL and
// paths whose attributes cannot be read answer False.
bool IsExistingDir(const String& path);
// An existing file, whatever its other attributes; folders answer False.
bool IsExistingFile(const String& name);
// Full file name of a loaded module; empty when the handle names none or the name does
// not fit the path limit.
void QueryModuleFileName(HMODULE module, String& path);
// The root block of the file's version resource. Info is written only on success.
bool ReadFixedFileInfo(const String& fileName, VS_FIXEDFILEINFO& info);
