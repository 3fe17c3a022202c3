// The main window: folder choice and scan options on the left, the summary grid on
// the right, file count, total size and folder in the status bar.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

#include "base/string.h"
#include "base/string_list.h"
#include "scan/exten_summ.h"
#include "scan/main_menu_commands.h"
#include "scan/repaint_cadence.h"
#include "scan/scan_model.h"
#include "scan/summary_list.h"
#include "scan/xr_gradient.h"
#include "scan/xr_grid.h"
#include "ui/com_controls.h"
#include "ui/forms.h"
#include "ui/menus.h"
#include "ui/std_controls.h"

// Asks the shell for the type name of an extension (no dot); false when it has none.
using TShellTypeNameQuery = std::function<bool(const String& Ext, String& TypeName)>;
// The shell's answer from its file-type registrations (SHGetFileInfoW, no disk access).
bool ShellTypeName(const String& Ext, String& TypeName);
// Sets Count bytes of Buffer to zero; nothing when Count is 0 or negative.
void ZeroBuffer(void* Buffer, int Count);
// Milliseconds of a wrapping tick count, for the pace of the scan's repaints.
using TTickSource = std::function<uint32_t()>;

class TFmMain : public TForm {
public:
  explicit TFmMain(TForm* owner = nullptr);
  ~TFmMain() override;
  String ClassName() const override { return u"TFmMain"; }

  // Controls, in the order of the layout.
  TPanel* PnLeft;
  TXrGradient* Gradient1;
  TPanel* PnTop;
  TLabel* Label4;
  TLabel* Label3;
  TEdit* EdDirName;
  TButton* BtnBrowseDir;
  TPanel* PnBottom;
  TGroupBox* GroupBox1;
  TCheckBox* CkBxIgnoreCase;
  TCheckBox* CkBxIncludeSubDirs;
  TCheckBox* CkBxIncludeSize;
  TLabel* Label2;
  TEdit* EdIgnoreExt;
  TGroupBox* GroupBox2;
  TCheckBox* CkBxIncludeReadOnlyFiles;
  TCheckBox* CkBxIncludeHiddenFiles;
  TCheckBox* CkBxIncludeSystemFiles;
  TButton* BtnStartSearch;
  TButton* BtnClose;
  TPanel* Panel1;
  TLabel* LbIntro1;
  TLabel* LbIntro2;
  TXrGrid* Grid1;
  TStatusBar* StatusBar1;
  TMainMenu* MainMenu1;
  TMenuItem* File1;
  TMenuItem* MChStartScan;
  TMenuItem* MChSavetoFile;
  TMenuItem* MChPreferences;
  TMenuItem* MChExit;
  TMenuItem* Help1;
  TMenuItem* MChHelp;
  TMenuItem* MChCheckforUpdates;
  TMenuItem* MChWebSite;
  TMenuItem* MChAbout;

  // Window events.
  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void FormDestroy(TObject* Sender);

  // Scan.
  void MChStartScanClick(TObject* Sender);
  void ScanFolder(const String& Dir);
  // Ext carries its leading dot (or is empty for a name without one).
  void AddFileToSummary(StringView Ext, int64_t Size);
  String GetFileTypeName(const String& Ext);

  // Summary grid.
  void FillGrid(int SortCol, Char Indicator);
  void SortSummaries(const String& Title);
  void Grid1FixedCellClick(TObject* Sender, int ACol, int ARow);
  void Grid1DrawCell(TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState State);

  // Settings and saved summary.
  void LoadSettings();
  void SaveSettings();
  void MChSavetoFileClick(TObject* Sender);

  // Setup hand-back: the check FormCreate runs first, and the clean-up it starts.
  void CheckSetupHandBack();
  void CleanUpAfterUpdate(const String& SetupPath);
  void DeleteFolderFiles(const String& Dir);

  // Menu commands.
  void MChExitClick(TObject* Sender);
  void BtnBrowseDirClick(TObject* Sender);
  void MChHelpClick(TObject* Sender);
  void MChWebSiteClick(TObject* Sender);
  void MChAboutClick(TObject* Sender);
  void MChCheckforUpdatesClick(TObject* Sender);
  void ApplicationActivate(TObject* Sender);
  void MChNewSearchClick(TObject* Sender);
  void MChViewPriorResultsClick(TObject* Sender);
  void MChPreferencesClick(TObject* Sender);

  // Where type names come from (the shell by default).
  TShellTypeNameQuery ShellTypeNameQuery = ShellTypeName;
  // Where the scan's repaints take the time from (the system's tick count by default).
  TTickSource TickSource;
  // Where the help, web-site and update commands reach out (the system by default).
  TMenuCommandHooks MenuHooks;

  // Read-only views of the scan state.
  const TSummaryList& Summaries() const { return FScan->Summaries(); }
  bool SortDescending() const { return FSortDescending; }
  const String& SortColumn() const { return FSortColumn; }
  int32_t FileCount() const { return FScan->FileCount(); }
  int64_t TotalSize() const { return FScan->TotalSize(); }
  bool IncludeSize() const { return FScan->IncludeSize(); }
  int32_t AttrMask() const { return FScan->AttrMask(); }

private:
  // Status panels 0 and 1 with the running or final totals, sized to their texts.
  void SetScanTotals();
  void ShowScanTotals();
  // The check boxes and the ignore box as they stand.
  TScanOptions ScanOptions() const;
  // Runs a modal box or dialog with this window disabled: the boxes belong to the
  // application's window, and this one must not take clicks meanwhile.
  void WhileDisabled(const std::function<void()>& modal);

  // The summary list, counts, totals and options of the running or last scan.
  std::unique_ptr<TScanModel> FScan;
  bool FSortDescending = false;
  String FSortColumn;
  TRepaintCadence repaints_;  // of the running scan
};
