// The main window's settings in the registry and the saved summary.
#include <windows.h>

#include <utility>
#include <vector>

#include "base/exception.h"
#include "base/files.h"
#include "base/format.h"
#include "base/path.h"
#include "common/xr_misc_dialogs.h"
#include "scan/main.h"
#include "scan/settings_texts.h"
#include "scan/settings_values.h"
#include "scan/summary_file.h"
#include "ui/application.h"
#include "ui/dialogs.h"

namespace {

RECT WorkArea() {
  RECT work{};
  if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0))
    work = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  return work;
}


}  // namespace

void TFmMain::LoadSettings() {
  const RECT work = WorkArea();
  const int workWidth = work.right - work.left;
  const int workHeight = work.bottom - work.top;
  const TMainSettings s = ReadMainSettings(ProgramSettingsKeys(), workWidth, workHeight);
  if (Position() == poScreenCenter) {
    SetBounds(work.left + (workWidth - s.FormWidth) / 2, work.top + (workHeight - s.FormHeight) / 2,
              s.FormWidth, s.FormHeight);
  } else {
    SetBounds(Left(), Top(), s.FormWidth, s.FormHeight);
  }
  EdDirName->SetEditText(s.ScanDir);
  CkBxIncludeSubDirs->SetChecked(s.IncludeSubDir);
  CkBxIgnoreCase->SetChecked(s.IgnoreCase);
  CkBxIncludeSize->SetChecked(s.IncludeSize);
  CkBxIncludeReadOnlyFiles->SetChecked(s.IncludeReadOnly);
  CkBxIncludeHiddenFiles->SetChecked(s.IncludeHidden);
  CkBxIncludeSystemFiles->SetChecked(s.IncludeSystem);
  for (int c = 0; c < kStoredColumnCount; ++c) Grid1->SetColWidth(c, s.ColWidths[size_t(c)]);
}

void TFmMain::SaveSettings() {
  TMainSettings s;
  s.FormWidth = Width();
  s.FormHeight = Height();
  // A maximised or minimised window keeps the size it will be restored to.
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  if (HandleAllocated() && GetWindowPlacement(Handle(), &placement)) {
    s.FormWidth = placement.rcNormalPosition.right - placement.rcNormalPosition.left;
    s.FormHeight = placement.rcNormalPosition.bottom - placement.rcNormalPosition.top;
  }
  s.ScanDir = EdDirName->GetText();
  s.IncludeSubDir = CkBxIncludeSubDirs->Checked();
  s.IgnoreCase = CkBxIgnoreCase->Checked();
  s.IncludeSize = CkBxIncludeSize->Checked();
  s.IncludeReadOnly = CkBxIncludeReadOnlyFiles->Checked();
  s.IncludeHidden = CkBxIncludeHiddenFiles->Checked();
  s.IncludeSystem = CkBxIncludeSystemFiles->Checked();
  // A column the grid lacks now reads as the grid's default width.
  for (int c = 0; c < kStoredColumnCount; ++c) s.ColWidths[size_t(c)] = Grid1->ColWidths(c);
  WriteMainSettings(ProgramSettingsKeys(), s);
}

void TFmMain::FormClose(TObject* Sender, TCloseAction& Action) {
  try {
    SaveSettings();
  } catch (...) {
    // Whatever failed (out of memory too) is shown; the window closes all the same.
    const String message = ExceptionMessage(std::current_exception());
    WhileDisabled([&] { ShowErrorMsg(message); });
  }
}

void TFmMain::MChSavetoFileClick(TObject* Sender) {
  const TSettingsKeys keys = ProgramSettingsKeys();
  String dir = ReadSaveToDir(keys);
  if (dir.empty() || !DirectoryExists(dir)) dir = GetMyDocumentsDir();

  TSaveDialog dialog(TSaveDialogArgs{.Title = settings_texts::kSaveDialogTitle,
                                     .FileName = String(),
                                     .Filter = settings_texts::kSaveDialogFilter,
                                     .FilterIndex = 1,
                                     .DefaultExt = settings_texts::kSaveDialogDefaultExt,
                                     .InitialDir = dir,
                                     .OverwritePrompt = true});
  bool chosen = false;
  WhileDisabled([&] { chosen = dialog.Execute(Handle()); });
  if (!chosen) return;
  const String name = dialog.FileName();
  WriteSaveToDir(keys, String(FolderPart(name)));

  // The columns are those of the scan shown, whatever the check box says now. The rows
  // come from the summary itself, in the order shown: the grid holds only as many as its
  // row limit lets it, and nothing of the scan may be lost in the file.
  std::vector<String> titles;
  for (int c = 0; c < FScan->ColumnCount(); ++c) titles.push_back(Grid1->Cells(c, 0));
  const TSummaryTable table = FScan->Table(std::move(titles));
  const std::vector<String> lines = SummaryFileLines(
      table, SummaryFormatOfFilter(dialog.FilterIndex()), DefaultFormatSettings().DecimalSeparator);

  TCursorGuard hourglass;
  WriteSummaryFile(name, lines);
}
