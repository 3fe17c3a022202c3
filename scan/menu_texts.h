// Texts and fixed values of the main window's menu commands and the about box.
#pragma once

#include "base/string.h"
#include "scan/main_texts.h"

namespace menu_texts {

inline constexpr const Char* kHelpFileName = product::kHelpFile;
inline constexpr Char kHelpSubFolder[] = u"help\\";
inline constexpr Char kHelpTopic[] = u"main.htm";
inline constexpr Char kHelpMissing[] = u"Help file does not exist.";

inline constexpr const Char* kVersion = product::kVersion;
inline constexpr const Char* kProductName = product::kName;
inline constexpr const Char* kExeName = product::kProgramFile;
inline constexpr Char kVersionFilePath[] = u"/versions/quorlixlite.dat";

inline constexpr Char kAboutCaption[] = u"About " QZ_PRODUCT_NAME;
inline constexpr Char kAboutTitle[] = u"" QZ_PRODUCT_NAME;
inline constexpr Char kAboutVersion[] = u"Version " QZ_VERSION;
inline constexpr Char kCopyright[] = u"Copyright \u00A9 2026 Brevane. All rights reserved.";

}  // namespace menu_texts
