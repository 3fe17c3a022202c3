// The scan's walk over a folder: every file the options let through, depth-first.
#pragma once

#include <cstdint>
#include <functional>

#include "base/string.h"

// File attribute bits, as the system numbers them.
constexpr int32_t kAttrReadOnly = 0x1;
constexpr int32_t kAttrHidden = 0x2;
constexpr int32_t kAttrSystem = 0x4;
constexpr int32_t kAttrDirectory = 0x10;

struct TFolderWalkOptions {
  // Hidden, system and folder entries come only when their bit is in the mask.
  int32_t AttrMask = 0;
  bool IncludeSubDirs = false;
  bool ExcludeReadOnly = false;
  bool ExcludeHidden = false;
  bool ExcludeSystem = false;
};

// Gets the name of each file and its size.
using TFolderFileVisit = std::function<void(StringView Name, int64_t Size)>;

// Dir has no trailing backslash. A folder that cannot be read is passed over; a link to
// a folder is never followed.
void WalkFolder(const String& Dir, const TFolderWalkOptions& Options,
                const TFolderFileVisit& Visit);
