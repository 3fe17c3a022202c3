// Registry value names and save-dialog texts of the main window's settings and saved
// summary, and the payload folder of the setup hand-back, in one place.
#pragma once

#include "base/string.h"
#include "common/update_token.h"

namespace settings_texts {

// Values under the General key (main_texts::kGeneralKey).
inline constexpr Char kFormWidth[] = u"FormWidth";
inline constexpr Char kFormHeight[] = u"FormHeight";
inline constexpr Char kScanDir[] = u"ScanDir";
inline constexpr Char kIncludeSubDir[] = u"IncludeSubDir";
inline constexpr Char kIgnoreCase[] = u"IgnoreCase";
inline constexpr Char kIncludeSize[] = u"IncludeSize";
inline constexpr Char kIncludeReadOnly[] = u"IncludeReadOnly";
inline constexpr Char kIncludeHidden[] = u"IncludeHidden";
inline constexpr Char kIncludeSystem[] = u"IncludeSystem";
inline constexpr Char kSaveToDir[] = u"SaveToDir";

inline constexpr Char kSaveDialogTitle[] = u" Save to File";
inline constexpr Char kSaveDialogFilter[] =
    u"Text File (*.txt)|*.txt|Comma Separated Values File (*.csv)|*.csv";
inline constexpr Char kSaveDialogDefaultExt[] = u"txt";

// The update payload folder inside an update folder.
inline constexpr const Char* kPayloadFolder = kPayloadFolderName;

}  // namespace settings_texts
