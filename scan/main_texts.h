// Captions, messages and registry keys of the main window, in one place.
#pragma once

#include "base/string.h"
#include "product.h"

namespace main_texts {

inline constexpr const Char* kAppTitle = product::kName;
inline constexpr Char kMainCaption[] = u"" QZ_PRODUCT_NAME " - Version " QZ_VERSION;
inline constexpr Char kIntro1[] = u"" QZ_PRODUCT_NAME " displays a summary of files by file type";

inline constexpr Char kGeneralKey[] = u"Software\\Brevane\\Quorlix\\General";
inline constexpr Char kColWidthsKey[] = u"Software\\Brevane\\Quorlix\\ColWidths";

inline constexpr Char kNoFolder[] = u"Please click the Browse button to select a folder";
inline constexpr Char kFolderMissing[] = u"That folder does not exist";
inline constexpr Char kBrowseTitle[] = u"Select a folder";

inline constexpr Char kFolderPrefix[] = u"Folder: ";
inline constexpr Char kFileCountPrefix[] = u"File Count:";
inline constexpr Char kTotalSizePrefix[] = u"Total Size:";
inline constexpr Char kCountPattern[] = u"###,###,###,###";
inline constexpr Char kTotalKBPattern[] = u"###,###,###,###,##0";

}  // namespace main_texts
