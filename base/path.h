// A path's folder, name and extension parts, and its trailing separator. Pure text:
// nothing here asks the system.
#pragma once

#include "base/string.h"

inline constexpr Char kBackslash = u'\\';

// What ends a folder part in a Windows name: a backslash or a drive's colon.
inline constexpr StringView kPathSeparators = u"\\:";
// Names given by hand or read from an archive may use forward slashes as well.
inline constexpr StringView kPathSeparatorsWithSlash = u"\\:/";
// Between the names of a path whose drive is already known.
inline constexpr StringView kBackslashOnly = u"\\";

// Where the last name starts: just after the last separator, 0 when there is none.
size_t FileNameStart(StringView path, StringView separators = kPathSeparators);

// Up to and including the last separator; empty when there is none.
StringView FolderPart(StringView path, StringView separators = kPathSeparators);

// After the last separator; the whole path when there is none.
StringView FileNamePart(StringView path, StringView separators = kPathSeparators);

// The position of the last name's last dot; npos when that name has none. A dot in a
// folder name is no extension.
size_t ExtensionStart(StringView path, StringView separators = kPathSeparators);

// From the last name's last dot on, the dot included; empty when there is none.
StringView ExtensionPart(StringView path, StringView separators = kPathSeparators);

// The path without the last name's extension; the whole path when there is none.
StringView WithoutExtension(StringView path, StringView separators = kPathSeparators);

// Separator is normally the backslash. Adding one to an empty path leaves it empty:
// that would make a root out of nothing.
void AddTrailingSeparator(String& path, Char separator = kBackslash);
String WithTrailingSeparator(StringView path, Char separator = kBackslash);
// At most one separator goes.
StringView WithoutTrailingSeparator(StringView path, Char separator = kBackslash);
// Every trailing separator goes, a root's too.
StringView WithoutTrailingSeparators(StringView path, Char separator = kBackslash);
