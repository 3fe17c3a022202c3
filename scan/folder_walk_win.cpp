#include "scan/folder_walk.h"

#include <windows.h>

#include "base/win_directory.h"

static_assert(kAttrReadOnly == FILE_ATTRIBUTE_READONLY && kAttrHidden == FILE_ATTRIBUTE_HIDDEN &&
              kAttrSystem == FILE_ATTRIBUTE_SYSTEM && kAttrDirectory == FILE_ATTRIBUTE_DIRECTORY);

namespace {

// The bits a search returns only when they are in its mask.
constexpr DWORD kMaskedAttrs = kAttrHidden | kAttrSystem | kAttrDirectory;

}  // namespace

void WalkFolder(const String& Dir, const TFolderWalkOptions& Options,
                const TFolderFileVisit& Visit) {
  const DWORD hiddenBits = kMaskedAttrs & ~DWORD(Options.AttrMask);
  // A folder that cannot be read, or holds nothing, is passed over.
  ForEachEntry(Dir + u"\\*.*", [&](const TFoundEntry& found) {
    const DWORD attrs = found.Attributes;
    if (attrs & hiddenBits) return;
    if ((Options.ExcludeReadOnly && (attrs & kAttrReadOnly)) ||
        (Options.ExcludeHidden && (attrs & kAttrHidden)) ||
        (Options.ExcludeSystem && (attrs & kAttrSystem))) {
      return;
    }
    if (attrs & kAttrDirectory) {
      // A link to a folder may lead back up the tree: never follow one.
      if (Options.IncludeSubDirs && !(attrs & FILE_ATTRIBUTE_REPARSE_POINT)) {
        WalkFolder(Dir + u"\\" + found.Name, Options, Visit);
      }
      return;
    }
    Visit(found.Name, found.Size);
  });
}
