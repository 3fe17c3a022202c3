// Folder listings and attribute look-ups (Windows only).
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

#include "base/string.h"

// The attributes of a name as given; INVALID_FILE_ATTRIBUTES for an empty name or one
// holding a NUL, which the system would read as a shorter, different name.
DWORD FileAttributesOf(const String& path);

// What attributes read for a name say; the failure value is neither a file nor a folder.
inline bool IsFolderAttributes(DWORD a) {
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}
inline bool IsFileAttributes(DWORD a) {
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

struct TFoundEntry {
  String Name;
  DWORD Attributes = 0;
  int64_t Size = 0;  // of a file
};

// Calls Visit for each entry that Pattern (a folder and a wildcard) matches, "." and ".."
// left out. Returns ERROR_SUCCESS, or the system's error when the search could not
// start (ERROR_FILE_NOT_FOUND when nothing matches).
DWORD ForEachEntry(const String& Pattern, const std::function<void(const TFoundEntry&)>& Visit);
