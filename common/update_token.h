// The fixed first word of the command line with which the update client starts the setup
// program and the setup program starts the installed main program; the main program
// knows it back. Compared exactly.
#pragma once

#include "base/string.h"
#include "product.h"

inline constexpr Char kUpdateToken[] = u"tq5082tq67";

// The payload folder beside the setup program, and the name the setup program is started
// under on old Windows: the update client, the setup program and the main program's
// clean-up all meet them.
inline constexpr const Char* kPayloadFolderName = product::kPayloadFolder;
inline constexpr Char kLegacyUpdaterName[] = u"_vqupdate.exe";
