// Starting the setup program from the update folder.
#pragma once

#include "base/string.h"

// The token, then "<UpdateFolder>\Files\", the running program's folder (ending in a
// backslash) and ExeName, each of the three in double quotes:
// tq5082tq67 "C:\Temp\vq101tmp\Files\" "C:\Program Files\Quorlix\" "Quorlix.exe"
String UpdaterCommandLine(StringView updateFolder, StringView exePath, StringView exeName);

// UpdateFolder\_vqupdate.exe on legacy Windows, else UpdateFolder\Update_<ExeName>.
String SetupProgramPath(StringView updateFolder, bool legacyWindows, StringView exeName);

// Whether a stored update is a program to run rather than an archive: its extension
// (from the last dot of the name) is ".exe" in any case.
bool IsExecutableUpdate(StringView localFile);
