// File and folder tests.
#pragma once

#include "base/string.h"

bool FileExists(const String& path);       // an existing file, not a folder
bool DirectoryExists(const String& path);  // an existing folder
bool DeleteFileAt(const String& path);
