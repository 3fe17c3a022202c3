// The wizard's rules without windows: the Next/Back step machine, the destination
// and Start-menu texts, the folder browse rules and the texts built from the choices.
#pragma once

#include <cstdint>
#include <vector>

#include "base/string.h"

// The wizard's steps, each naming the page on screen. There is no step 4: Next from the
// destination and Back from the Start-menu folder skip it.
namespace wizard_step {
inline constexpr int kWelcome = 1;
inline constexpr int kLicense = 2;
inline constexpr int kDestination = 3;
inline constexpr int kStartMenu = 5;
inline constexpr int kTasks = 6;
inline constexpr int kReady = 7;
inline constexpr int kInstalled = 8;  // only between the install's end and the finish page
inline constexpr int kFinish = 9;
inline constexpr int kDone = 10;      // after Finish
}  // namespace wizard_step

// The page a step move shows, or the end of the wizard.
enum class TPageAction {
  None, Welcome, License, Destination, StartMenu, Tasks, Ready, Installing, Finish, FinishSetup
};

// What one click does from a step: the page to show and the step that follows. A
// step without a page keeps its value, so that the step always names the page shown.
struct TStepMove {
  TPageAction Action;
  int Step;
  bool operator==(const TStepMove&) const = default;
};
// Next from the ready page runs the install and reaches kInstalled; the form then moves
// on at once to the finish page.
TStepMove NextStepMove(int step);
TStepMove BackStepMove(int step);

// The destination field's text trimmed; the default folder when that is empty.
String NormalizeDestDirText(StringView text, const String& programFilesDir);
String DefaultDestDir(const String& programFilesDir);
// The Start-menu field trimmed; "Quorlix" when that is empty.
String NormalizeStartMenuText(StringView text);

// A Start-menu folder is one name: no \\ / : * ? " < > | nor control characters,
// not "." or "..", so that shortcuts stay inside the Start menu's Programs folder.
bool IsValidStartMenuFolder(StringView name);
// A destination is a folder below a drive: "X:\" then at least one name, no
// * ? " < > | nor control characters, ':' only second, no empty names inside.
bool IsValidDestDir(StringView dir);
// The root of the destination's drive ("D:\"), or empty for an invalid destination.
String DestDriveRoot(StringView dir);

// Browse: the folder to start in (the parent when the field ends with "Quorlix\"),
// before the existence test, and the field text made from the chosen folder.
String BrowseStartDir(StringView destText);
String BrowseChosenDestDir(String chosen);

// The ready page's summary lines.
std::vector<String> SummaryLines(const String& destDir, const String& startMenuFolder,
                                 bool desktopShortcut, bool startMenuShortcut);
// "%20.0n MB" of the free space: whole megabytes with thousands separators,
// right-aligned in 20 characters.
String SpaceAvailableText(int64_t freeBytes);
String SpaceRequiredText();

// The uninstall command of folder D (ending in a backslash), program path quoted.
String UninstallCommand(const String& installDir);
// The parameters the installed program gets at the hand-back.
String HandBackParameters(const String& setupPath);
