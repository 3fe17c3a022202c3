// The fresh folder under the Windows temporary folder that one update unpacks into.
#pragma once

#include <cstdint>
#include <functional>

#include "base/string.h"

// TempDir\vq10<n>tmp; one trailing backslash of TempDir is dropped first.
String UpdateFolderName(StringView tempDir, int n);

// Creates one folder level: 0, or the system's error code.
using TCreateDirectoryFn = std::function<uint32_t(const String& path)>;

// Tries n = 1, 2, ... and returns the first folder that CreateDirectory made; a name
// that already exists (as a folder or a file) moves on to the next n. Any other error,
// an empty TempDir or running out of names raises EInOutError with the system's code.
String CreateUpdateFolder(StringView tempDir, const TCreateDirectoryFn& createDirectory);
// With CreateDirectoryW.
String CreateUpdateFolder(StringView tempDir);
// Removes a folder this run made with all it holds, as far as it can: a link inside is
// removed, never followed; a file in use stays. Reports nothing.
void RemoveUpdateFolder(const String& folder);
