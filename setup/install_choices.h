// What the user chose in the wizard, and what follows from it without windows: the
// install folder's path and the shortcuts to make.
#pragma once

#include <vector>

#include "base/string.h"

// The wizard's pages write their fields here as Next leaves them (after the field is
// accepted); the summary, the install and the finish read only this.
struct TInstallChoices {
  String DestDir;          // trimmed and accepted as a destination
  String StartMenuFolder;  // trimmed and accepted as one folder name
  bool DesktopShortcut = false;
  bool StartMenuShortcut = false;
  bool RunProgram = false;
};

// The text trimmed and ending in one backslash; a text of blanks gives the empty text.
String TrimmedFolderPath(StringView text);

// The chosen folder inside the Start menu's Programs folder (given without a trailing
// backslash), itself without one.
String StartMenuFolderPath(const TInstallChoices& choices, const String& programsDir);

// The shell's folders the shortcuts go to, each without a trailing backslash.
struct TShortcutFolders {
  String Programs, Desktop, StartMenu;
};

struct TShortcut {
  String File, Target, Description;
};

// The shortcuts in the order they are made: program and help in the chosen Start-menu
// folder, then the desktop's and the Start menu's program shortcut when chosen.
std::vector<TShortcut> ShortcutList(const TInstallChoices& choices,
                                    const TShortcutFolders& folders);
