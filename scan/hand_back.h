// Recognising the setup program's hand-back: the command line that carries the
// update token and the setup program's path, and the update folder it ran from.
#pragma once

#include <vector>

#include "base/string.h"

// The command line split as the programs split their own arguments:
// characters up to a blank separate arguments, a double quote switches quoting on
// and off and is dropped, a backslash is an ordinary character (so '"C:\dir\"'
// gives 'C:\dir\'); an argument made only of quotes is an empty one, so the arguments
// after it keep their places. Entry 0 is the program.
std::vector<String> SplitCommandLine(StringView CommandLine);

// True with SetupPath = argument 2 when the program has at least two arguments and
// argument 1 is the update token exactly. Args holds the program first.
bool HandBackSetupPath(const std::vector<String>& Args, String& SetupPath);

// Whether Name is an update folder's name: "vq10", one or more digits, "tmp",
// letters in any case.
bool IsUpdateFolderName(StringView Name);
// Whether Folder is an update folder directly inside TempDir. Both are full, long
// paths (see NormalisedPath); a trailing backslash on either is ignored and letters
// compare without case.
bool IsUpdateFolder(StringView Folder, StringView TempDir);
// The setup program is always a program file: a name that is not a full path ending
// in ".exe" is never deleted.
bool IsDeletableSetupPath(StringView Path);
