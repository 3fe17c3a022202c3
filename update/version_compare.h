// Whether a version file announces a newer version.
#pragma once

#include "base/string.h"

// Plain character order of UTF-16 codes, a proper prefix first: no part is read as a
// number ("1.10" is newer than "1.1", "10.0" is not newer than "9.0") and blanks count.
bool IsNewerVersion(StringView fileVersion, StringView runningVersion);
