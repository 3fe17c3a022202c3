#include "scan/settings_values.h"

#include <algorithm>

#include "base/format.h"
#include "base/text.h"
#include "common/xr_misc_registry.h"
#include "scan/main_texts.h"
#include "scan/settings_texts.h"
#include "scan/summary_text.h"

using namespace settings_texts;

TSettingsKeys ProgramSettingsKeys() {
  return TSettingsKeys{main_texts::kGeneralKey, main_texts::kColWidthsKey};
}

int FormExtentFromSetting(int32_t Stored, int Fallback, int Minimum, int Available) {
  const int extent = Stored < Minimum ? Fallback : Stored;
  return std::min(extent, std::max(Available, Minimum));
}

int ColumnWidthFromSetting(int32_t Stored, int Col) {
  const int fallback = DefaultColumnWidth(Col);
  return std::clamp<int32_t>(Stored, fallback, std::max(fallback, kMaxColumnWidth));
}

String FolderFromSetting(String Stored) {
  if (Stored.size() > kMaxFolderTextLength) return String();
  return Stored;
}

TMainSettings ReadMainSettings(const TSettingsKeys& Keys, int AvailableWidth,
                               int AvailableHeight) {
  TMainSettings s;
  s.FormWidth =
      FormExtentFromSetting(RegReadInteger(Keys.General, kFormWidth, kDefaultFormWidth),
                            kDefaultFormWidth, kMinFormWidth, AvailableWidth);
  s.FormHeight =
      FormExtentFromSetting(RegReadInteger(Keys.General, kFormHeight, kDefaultFormHeight),
                            kDefaultFormHeight, kMinFormHeight, AvailableHeight);
  s.ScanDir = FolderFromSetting(RegReadString(Keys.General, kScanDir, String()));
  s.IncludeSubDir = RegReadBool(Keys.General, kIncludeSubDir, true);
  s.IgnoreCase = RegReadBool(Keys.General, kIgnoreCase, true);
  s.IncludeSize = RegReadBool(Keys.General, kIncludeSize, true);
  s.IncludeReadOnly = RegReadBool(Keys.General, kIncludeReadOnly, true);
  s.IncludeHidden = RegReadBool(Keys.General, kIncludeHidden, false);
  s.IncludeSystem = RegReadBool(Keys.General, kIncludeSystem, false);
  for (int c = 0; c < kStoredColumnCount; ++c) s.ColWidths[size_t(c)] = ReadColumnWidth(Keys, c);
  return s;
}

int ReadColumnWidth(const TSettingsKeys& Keys, int Col) {
  return ColumnWidthFromSetting(
      RegReadInteger(Keys.ColWidths, IntToStr(Col), DefaultColumnWidth(Col)), Col);
}

void WriteMainSettings(const TSettingsKeys& Keys, const TMainSettings& Settings) {
  RegWriteInteger(Keys.General, kFormWidth, Settings.FormWidth);
  RegWriteInteger(Keys.General, kFormHeight, Settings.FormHeight);
  RegWriteString(Keys.General, kScanDir, Settings.ScanDir);
  RegWriteBool(Keys.General, kIncludeSubDir, Settings.IncludeSubDir);
  RegWriteBool(Keys.General, kIgnoreCase, Settings.IgnoreCase);
  RegWriteBool(Keys.General, kIncludeSize, Settings.IncludeSize);
  RegWriteBool(Keys.General, kIncludeReadOnly, Settings.IncludeReadOnly);
  RegWriteBool(Keys.General, kIncludeHidden, Settings.IncludeHidden);
  RegWriteBool(Keys.General, kIncludeSystem, Settings.IncludeSystem);
  for (int c = 0; c < kStoredColumnCount; ++c)
    RegWriteInteger(Keys.ColWidths, IntToStr(c), Settings.ColWidths[size_t(c)]);
}

String ReadSaveToDir(const TSettingsKeys& Keys) {
  return FolderFromSetting(Trim(RegReadString(Keys.General, kSaveToDir, String())));
}

void WriteSaveToDir(const TSettingsKeys& Keys, const String& Dir) {
  RegWriteString(Keys.General, kSaveToDir, Dir);
}
