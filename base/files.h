// File and folder tests.
#pragma once

#include "base/string.h"

bool FileExists(const String& path);       // an existing file, not a folder
bool DirectoryExists(const String& path);  // an existing folder
bool DeleteFileAt(const String& path);

// One folder level each. CreateDir and RemoveDir report success; MkDir raises
// EInOutError with the system's error code instead, as every I/O routine here does.
// Removing needs an empty folder.
bool CreateDir(const String& path);
bool RemoveDir(const String& path);
void MkDir(const String& path);
