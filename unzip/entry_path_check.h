// Which stored entry names may be written below the destination folder. Names are
// judged as the archive gives them (backslash-separated), one component at a time.
#pragma once

#include "base/string.h"

// One file or folder name: not empty, not "." or "..", not made of dots and blanks
// only, no trailing dot or blank, no control character, none of < > : " | ? * / \,
// no device name (CON, PRN, AUX, NUL, COM1-9, LPT1-9, CONIN$, CONOUT$, with or
// without an extension).
bool IsSafeNameComponent(StringView name);

// A relative path of such components separated by single backslashes. One leading
// backslash is allowed (the name is then taken from the destination folder, as the
// archive's own root), and one trailing backslash (a folder). No drive, no UNC
// prefix, no empty component. An empty path names nothing and is refused.
bool IsSafeEntryPath(StringView path);
