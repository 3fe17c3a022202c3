// The name under which a downloaded update is stored in the update folder.
#pragma once

#include <optional>

#include "base/string.h"

// The text after the last '/' of the address, once its query ("?...") and fragment
// ("#...") are gone; none when that is no safe file name.
std::optional<String> UpdateFileNameFromUrl(StringView url);

// A plain file name that stays inside its folder and means a file: at most 255
// characters, no DEL, and a name the zip component would write (not empty, "." or "..",
// no \ / : * ? " < > | or control characters, no device name such as CON, LPT1 or COM¹
// with any extension, not ending in a dot or blank).
bool IsSafeFileName(StringView name);
