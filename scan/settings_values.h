// The main window's stored settings: what is read from and written to the current
// user's registry, with every stored value checked as it is read.
#pragma once

#include <array>
#include <cstdint>

#include "base/string.h"

inline constexpr int kDefaultFormWidth = 831;
inline constexpr int kDefaultFormHeight = 582;
inline constexpr int kMinFormWidth = 550;
inline constexpr int kMinFormHeight = 541;
inline constexpr int kStoredColumnCount = 7;
// No summary column needs more; a larger stored width is taken as this.
inline constexpr int kMaxColumnWidth = 2000;
// Longest folder text taken from the registry (the longest path Windows allows).
inline constexpr size_t kMaxFolderTextLength = 32767;

struct TMainSettings {
  int FormWidth = kDefaultFormWidth;
  int FormHeight = kDefaultFormHeight;
  String ScanDir;
  bool IncludeSubDir = true;
  bool IgnoreCase = true;
  bool IncludeSize = true;
  bool IncludeReadOnly = true;
  bool IncludeHidden = false;
  bool IncludeSystem = false;
  std::array<int, kStoredColumnCount> ColWidths{};
};

// Where the settings live (the program's keys by default; tests use their own).
struct TSettingsKeys {
  String General;
  String ColWidths;
};
TSettingsKeys ProgramSettingsKeys();

// A stored window width or height: Fallback when below Minimum, and never more than
// Available (the work area) unless that is below Minimum.
int FormExtentFromSetting(int32_t Stored, int Fallback, int Minimum, int Available);
// A stored column width: at least the column's default, at most kMaxColumnWidth.
int ColumnWidthFromSetting(int32_t Stored, int Col);
// A stored folder text, or empty when it is longer than any path.
String FolderFromSetting(String Stored);

// Reads every value in the stored order (missing or wrong-typed ones are written
// back with their defaults), fitting the window size into the work area.
TMainSettings ReadMainSettings(const TSettingsKeys& Keys, int AvailableWidth,
                               int AvailableHeight);
// The stored width of grid column Col alone, read and checked as ReadMainSettings does.
int ReadColumnWidth(const TSettingsKeys& Keys, int Col);
// Writes every value in the stored order; a refused write raises ERegistryException.
void WriteMainSettings(const TSettingsKeys& Keys, const TMainSettings& Settings);
// The stored start folder of the save dialog: trimmed, empty when unusable.
String ReadSaveToDir(const TSettingsKeys& Keys);
void WriteSaveToDir(const TSettingsKeys& Keys, const String& Dir);
