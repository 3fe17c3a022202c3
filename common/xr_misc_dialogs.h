// XrMisc message boxes, folder browser and My Documents (Windows only).
#pragma once

#include <windows.h>

#include <shtypes.h>

#include "base/string.h"

// Modal boxes with one OK button, captioned "Information", "Warning", "Error".
void ShowInfoMsg(const String& Msg);
void ShowWarningMsg(const String& Msg);
void ShowErrorMsg(const String& Msg);

// The start folder BrowseForFolder hands to BrowseCallback; kept after the call.
extern String BrowseInitialDir;

// Runs the shell's folder browser with Flags (BIF_*). True with Folder = the chosen
// path ending in one backslash; false with Folder empty when cancelled or when the
// choice has no file-system path.
bool BrowseForFolder(const String& Title, int Flags, const String& InitialDir, String& Folder);
// The folder of a chosen shell item, ending in one backslash; false (Folder empty)
// when the item has no file-system path.
bool FolderOfItem(LPCITEMIDLIST Item, String& Folder);
// Preselects BrowseInitialDir and centres the dialog on the work area.
int CALLBACK BrowseCallback(HWND Wnd, UINT Msg, LPARAM Param, LPARAM Data);
// Where BrowseCallback moves a dialog of rectangle Dialog within WorkArea: half the
// work area's size less half the dialog's (the work area's own origin not added).
POINT CentredDialogOrigin(const RECT& WorkArea, const RECT& Dialog);

// The user's documents folder as the shell gives it, or empty.
String GetMyDocumentsDir();
