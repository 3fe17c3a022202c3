#include "scan/main.h"

#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/files.h"
#include "base/format.h"
#include "base/path.h"
#include "base/text.h"
#include "base/win_string.h"
#include "common/xr_misc_dialogs.h"
#include "common/xr_misc_text.h"
#include "scan/folder_walk.h"
#include "scan/main_texts.h"
#include "scan/settings_values.h"
#include "scan/summary_sort.h"
#include "scan/summary_text.h"
#include "ui/application.h"

using namespace main_texts;

namespace {

constexpr int kPanelPadding = 10;
constexpr int kShellTypeNameChars = 80;

constexpr unsigned kGridOptions = goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine |
                                  goRangeSelect | goColSizing | goFixedColClick;

}  // namespace

void ZeroBuffer(void* Buffer, int Count) {
  if (Count > 0) std::memset(Buffer, 0, size_t(Count));
}

bool ShellTypeName(const String& Ext, String& TypeName) {
  SHFILEINFOW info;
  ZeroBuffer(&info, sizeof info);
  const String path = u"*." + Ext;
  if (SHGetFileInfoW(W(path), FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                     SHGFI_TYPENAME | SHGFI_USEFILEATTRIBUTES) == 0) {
    return false;
  }
  TypeName = FromW(info.szTypeName, kShellTypeNameChars);
  return true;
}

TFmMain::TFmMain(TForm* owner)
    : TForm(TFormArgs{.Name = u"FmMain", .Caption = kMainCaption, .ClientWidth = 746,
                      .ClientHeight = 580,
                      .BorderIcons = biSystemMenu | biMinimize | biMaximize | biHelp,
                      .Position = poScreenCenter, .MinWidth = 550, .MinHeight = 541},
            owner),
      TickSource([] { return uint32_t(GetTickCount()); }) {
  MainMenu1 = CreateMainMenu();
  File1 = MainMenu1->Add({.Name = u"File1", .Caption = u"File"});
  MChStartScan = File1->Add({.Name = u"MChStartScan", .Caption = u"Start Scan",
                             .OnClick = Method(this, &TFmMain::MChStartScanClick)});
  File1->AddSeparator();
  MChSavetoFile = File1->Add({.Name = u"MChSavetoFile", .Caption = u"Save to File",
                              .Enabled = false,
                              .OnClick = Method(this, &TFmMain::MChSavetoFileClick)});
  MChPreferences = File1->Add({.Name = u"MChPreferences", .Caption = u"Preferences",
                               .Visible = false,
                               .OnClick = Method(this, &TFmMain::MChPreferencesClick)});
  File1->AddSeparator();
  MChExit = File1->Add({.Name = u"MChExit", .Caption = u"Exit",
                        .OnClick = Method(this, &TFmMain::MChExitClick)});
  Help1 = MainMenu1->Add({.Name = u"Help1", .Caption = u"Help"});
  MChHelp = Help1->Add({.Name = u"MChHelp", .Caption = u"Quorlix Help",
                        .OnClick = Method(this, &TFmMain::MChHelpClick)});
  MChCheckforUpdates = Help1->Add({.Name = u"MChCheckforUpdates", .Caption = u"Check for Updates",
                                   .OnClick = Method(this, &TFmMain::MChCheckforUpdatesClick)});
  MChWebSite = Help1->Add({.Name = u"MChWebSite", .Caption = u"Quorlix Web Site",
                           .OnClick = Method(this, &TFmMain::MChWebSiteClick)});
  Help1->AddSeparator();
  MChAbout = Help1->Add({.Name = u"MChAbout", .Caption = u"About",
                         .OnClick = Method(this, &TFmMain::MChAboutClick)});

  StatusBar1 = Add<TStatusBar>(TStatusBarArgs{
      .Name = u"StatusBar1", .Panels = {{String(), 120}, {String(), 200}, {String(), 50}}});

  PnLeft = Add<TPanel>(TPanelArgs{.Name = u"PnLeft", .Bounds = {0, 0, 257, 0}, .Align = alLeft,
                                  .Color = clInactiveCaptionText, .BevelInner = bvRaised,
                                  .BevelOuter = bvNone});
  Gradient1 = PnLeft->Add<TXrGradient>();
  Gradient1->SetName(u"Gradient1");
  Gradient1->SetAlign(alClient);
  Gradient1->SetLeft(1);
  Gradient1->SetTop(1);
  Gradient1->SetWidth(255);
  Gradient1->SetHeight(559);
  Gradient1->SetStartColor(clGradientActiveCaption);
  Gradient1->SetEndColor(clGradientInactiveCaption);

  PnTop = PnLeft->Add<TPanel>(TPanelArgs{.Name = u"PnTop", .Bounds = {8, 22, 241, 119}});
  Label4 = PnTop->Add<TLabel>(TLabelArgs{.Name = u"Label4", .Bounds = {8, 10, 0, 0},
                                         .Font = TFont{.Style = fsBold},
                                         .Caption = u"Select a folder and click Start Scan"});
  Label3 = PnTop->Add<TLabel>(TLabelArgs{.Name = u"Label3", .Bounds = {8, 36, 0, 0},
                                         .Caption = u"Folder"});
  EdDirName = PnTop->Add<TEdit>(TEditArgs{.Name = u"EdDirName", .Bounds = {8, 52, 227, 21},
                                          .ShowHint = true, .Text = u"c:\\data"});
  BtnBrowseDir = PnTop->Add<TButton>(TButtonArgs{.Name = u"BtnBrowseDir",
                                                 .Bounds = {176, 84, 59, 25},
                                                 .Caption = u"Browse..."});

  PnBottom = PnLeft->Add<TPanel>(TPanelArgs{.Name = u"PnBottom", .Bounds = {8, 160, 241, 289}});
  GroupBox1 = PnBottom->Add<TGroupBox>(TGroupBoxArgs{.Name = u"GroupBox1",
                                                     .Bounds = {8, 8, 225, 122},
                                                     .Caption = u" Options "});
  CkBxIgnoreCase = GroupBox1->Add<TCheckBox>(TCheckBoxArgs{
      .Name = u"CkBxIgnoreCase", .Bounds = {12, 20, 205, 17},
      .Caption = u"Ignore case of file extensions", .Checked = true});
  CkBxIncludeSubDirs = GroupBox1->Add<TCheckBox>(TCheckBoxArgs{
      .Name = u"CkBxIncludeSubDirs", .Bounds = {12, 42, 205, 17},
      .Caption = u"Include subfolders", .Checked = true});
  CkBxIncludeSize = GroupBox1->Add<TCheckBox>(TCheckBoxArgs{
      .Name = u"CkBxIncludeSize", .Bounds = {12, 64, 205, 17},
      .Caption = u"Include size data", .Checked = true});
  Label2 = GroupBox1->Add<TLabel>(TLabelArgs{.Name = u"Label2", .Bounds = {10, 94, 0, 0},
                                             .Caption = u"Ignore extension"});
  EdIgnoreExt = GroupBox1->Add<TEdit>(TEditArgs{.Name = u"EdIgnoreExt",
                                                .Bounds = {110, 90, 107, 21}});
  GroupBox2 = PnBottom->Add<TGroupBox>(TGroupBoxArgs{.Name = u"GroupBox2",
                                                     .Bounds = {8, 140, 225, 92},
                                                     .Caption = u" Include "});
  CkBxIncludeReadOnlyFiles = GroupBox2->Add<TCheckBox>(TCheckBoxArgs{
      .Name = u"CkBxIncludeReadOnlyFiles", .Bounds = {12, 20, 205, 17},
      .Caption = u"Read-only files and folders", .Checked = true});
  CkBxIncludeHiddenFiles = GroupBox2->Add<TCheckBox>(TCheckBoxArgs{
      .Name = u"CkBxIncludeHiddenFiles", .Bounds = {12, 42, 205, 17},
      .Caption = u"Hidden files and folders"});
  CkBxIncludeSystemFiles = GroupBox2->Add<TCheckBox>(TCheckBoxArgs{
      .Name = u"CkBxIncludeSystemFiles", .Bounds = {12, 64, 205, 17},
      .Caption = u"System files and folders"});
  BtnStartSearch = PnBottom->Add<TButton>(TButtonArgs{.Name = u"BtnStartSearch",
                                                      .Bounds = {40, 250, 75, 25},
                                                      .Caption = u"Start Scan"});
  BtnClose = PnBottom->Add<TButton>(TButtonArgs{.Name = u"BtnClose", .Bounds = {125, 250, 75, 25},
                                                .Caption = u"Close"});

  Panel1 = Add<TPanel>(TPanelArgs{.Name = u"Panel1", .Align = alClient, .Color = clWindow,
                                  .BevelOuter = bvNone});
  LbIntro1 = Panel1->Add<TLabel>(TLabelArgs{
      .Name = u"LbIntro1", .Bounds = {24, 24, 0, 0}, .Visible = false,
      .Caption = kIntro1});
  LbIntro2 = Panel1->Add<TLabel>(TLabelArgs{
      .Name = u"LbIntro2", .Bounds = {24, 48, 0, 0},
      .Caption = u"Select a folder by clicking the Browse button, then click Start Scan"});
  Grid1 = Panel1->Add<TXrGrid>(TXrGridArgs{
      .Name = u"Grid1", .Align = alClient, .Visible = false, .Font = TFont{},
      .ColCount = kSummaryColumnCount, .FixedCols = 0, .FixedRows = 1,
      .Options = kGridOptions, .DrawingStyle = gdsGradient, .AutoInsert = false,
      .AutoDelete = false, .RowsDisplayed = 7});
  Grid1->SetDefaultRowHeight(17);
  Grid1->SetRowCount(8);
  for (int c = 0; c < kSummaryColumnCount; ++c) Grid1->SetColWidth(c, DefaultColumnWidth(c));

  BtnStartSearch->OnClick = Method(this, &TFmMain::MChStartScanClick);
  BtnClose->OnClick = Method(this, &TFmMain::MChExitClick);
  BtnBrowseDir->OnClick = Method(this, &TFmMain::BtnBrowseDirClick);
  Grid1->OnDrawCell = Method(this, &TFmMain::Grid1DrawCell);
  Grid1->OnFixedCellClick = Method(this, &TFmMain::Grid1FixedCellClick);
  OnCreate = Method(this, &TFmMain::FormCreate);
  OnShow = Method(this, &TFmMain::FormShow);
  OnClose = Method(this, &TFmMain::FormClose);
  OnDestroy = Method(this, &TFmMain::FormDestroy);
}

TFmMain::~TFmMain() = default;

void TFmMain::FormCreate(TObject*) {
  CheckSetupHandBack();
  SetCaption(kMainCaption);
  FScan = std::make_unique<TScanModel>([this](const String& Ext) { return GetFileTypeName(Ext); });
  FSortDescending = false;
  FSortColumn = kSummaryTitles[0];
}

void TFmMain::FormShow(TObject*) { LoadSettings(); }

void TFmMain::FormDestroy(TObject*) { FScan.reset(); }

void TFmMain::WhileDisabled(const std::function<void()>& modal) { ::WhileDisabled(*this, modal); }

TScanOptions TFmMain::ScanOptions() const {
  return TScanOptions{.IgnoreCase = CkBxIgnoreCase->Checked(),
                      .IncludeSubDirs = CkBxIncludeSubDirs->Checked(),
                      .IncludeSize = CkBxIncludeSize->Checked(),
                      .IncludeReadOnly = CkBxIncludeReadOnlyFiles->Checked(),
                      .IncludeHidden = CkBxIncludeHiddenFiles->Checked(),
                      .IncludeSystem = CkBxIncludeSystemFiles->Checked(),
                      .IgnoreExt = EdIgnoreExt->GetText()};
}

void TFmMain::MChStartScanClick(TObject*) {
  TCursorGuard hourglass;
  String folder = Trim(EdDirName->GetText());
  if (folder.empty() || !DirectoryExists(folder)) {
    WhileDisabled([&] {
      Application().MessageBox(folder.empty() ? kNoFolder : kFolderMissing, kAppTitle,
                               MB_OK | MB_ICONINFORMATION);
    });
    return;
  }
  StatusBar1->SetPanelText(2, kFolderPrefix + folder);
  RemoveTrailingChar(folder, u'\\');
  FScan->Start(ScanOptions());
  Grid1->SetRowCount(2);
  for (int c = 0; c < Grid1->ColCount(); ++c) Grid1->SetCell(c, 1, String());
  // The grid comes back in the list's own order, so the stored sort must say so too.
  FSortColumn = kSummaryTitles[0];
  FSortDescending = false;

  StatusBar1->SetPanelText(0, kFileCountPrefix);
  if (FScan->IncludeSize()) {
    StatusBar1->SetPanelText(1, kTotalSizePrefix);
  } else {
    StatusBar1->SetPanelText(1, String());
    StatusBar1->SetPanelWidth(1, 0);
  }
  repaints_.Start();
  ScanFolder(folder);

  ShowScanTotals();
  MChSavetoFile->SetEnabled(true);
  Grid1->Show();
  FillGrid(0, u'>');
}

void TFmMain::ShowScanTotals() {
  SetScanTotals();
  StatusBar1->Refresh();
}

void TFmMain::SetScanTotals() {
  const String count = kFileCountPrefix + (u" " + CountText(FScan->FileCount()));
  StatusBar1->SetPanelText(0, count);
  StatusBar1->SetPanelWidth(0, StatusBar1->TextWidth(count) + kPanelPadding);
  if (FScan->IncludeSize()) {
    const String total = kTotalSizePrefix +
                         (u" " + FormatFloat(kTotalKBPattern, double(FScan->TotalSize()) / 1024.0)) +
                         u" KB";
    StatusBar1->SetPanelText(1, total);
    StatusBar1->SetPanelWidth(1, StatusBar1->TextWidth(total) + kPanelPadding);
  }
}

void TFmMain::ScanFolder(const String& Dir) {
  WalkFolder(Dir, FScan->WalkOptions(),
             [this](StringView Name, int64_t Size) { AddFileToSummary(ExtensionPart(Name), Size); });
}

void TFmMain::AddFileToSummary(StringView Ext, int64_t Size) {
  if (!FScan->AddFile(Ext, Size)) return;
  const int32_t counted = FScan->FileCount();
  if (counted % TRepaintCadence::kStatusBarFiles != 0) return;
  const TRepaintCadence::TDue due = repaints_.FileCounted(counted, TickSource());
  if (due.Window) {
    // The status bar is one of the children repainted.
    SetScanTotals();
    RedrawWindow(Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  } else if (due.StatusBar) {
    ShowScanTotals();
  }
}

String TFmMain::GetFileTypeName(const String& Ext) {
  String name;
  if (ShellTypeNameQuery && ShellTypeNameQuery(Ext, name)) return name;
  return FallbackTypeName(Ext);
}

void TFmMain::FillGrid(int SortCol, Char Indicator) {
  const int cols = FScan->ColumnCount();
  Grid1->SetColCount(cols);
  for (int c = 0; c < cols; ++c) Grid1->SetCell(c, 0, kSummaryTitles[c]);
  if (SortCol >= 0 && SortCol < cols) {
    Grid1->SetCell(SortCol, 0, String(kSummaryTitles[SortCol]) + u" " + Indicator);
  }
  const TSettingsKeys keys = ProgramSettingsKeys();
  for (int c = 0; c < cols; ++c) Grid1->SetColWidth(c, ReadColumnWidth(keys, c));
  const int n = FScan->Summaries().Count();
  if (n == 0) {
    Grid1->SetRowCount(2);
    for (int c = 0; c < cols; ++c) Grid1->SetCell(c, 1, String());
  } else {
    // The grid stops at its row limit; the saved summary takes every entry from the list.
    Grid1->SetRowCount(int(std::min<int64_t>(int64_t(n) + 1, TXrGrid::kMaxRows)));
    const int shown = std::min(n, Grid1->RowCount() - 1);
    for (int i = 0; i < shown; ++i) {
      const std::vector<String> cells = FScan->Row(i);
      for (int c = 0; c < int(cells.size()); ++c) Grid1->SetCell(c, i + 1, cells[size_t(c)]);
    }
  }
  Grid1->FocusCell(0, 1);
  if (Grid1->CanFocus()) Grid1->SetFocus();
}

void TFmMain::Grid1FixedCellClick(TObject*, int ACol, int ARow) {
  if (ARow > 0) return;
  const String title = TitleWithoutIndicator(Grid1->Cells(ACol, 0));
  FSortDescending = title == FSortColumn ? !FSortDescending : false;
  const Char indicator = FSortDescending ? u'<' : u'>';
  FSortColumn = title;
  if (!FSortDescending && title == kSummaryTitles[0]) {
    FScan->Summaries().SetSorted(true);  // back to the list's own order
  } else {
    SortSummaries(title);
  }
  FillGrid(ACol, indicator);
}

void TFmMain::SortSummaries(const String& Title) {
  TSummaryList& summaries = FScan->Summaries();
  summaries.SetSorted(false);
  if (TStringListSortCompare compare = SummaryComparator(Title, FSortDescending)) {
    summaries.CustomSort(compare);
  }
}

void TFmMain::Grid1DrawCell(TObject*, int ACol, int ARow, TRect Rect, TGridDrawState) {
  if (ARow <= 0 || ACol < 2) return;
  TCanvas& canvas = Grid1->Canvas();
  const String& text = Grid1->Cells(ACol, ARow);
  const int x = Rect.Left + Grid1->ColWidths(ACol) - canvas.TextWidth(text);
  canvas.TextRect(Rect, x, Rect.Top, text);
}

void TFmMain::MChExitClick(TObject*) { Close(); }

void TFmMain::BtnBrowseDirClick(TObject*) {
  String folder;
  bool chosen = false;
  WhileDisabled([&] {
    chosen = BrowseForFolder(kBrowseTitle, BIF_RETURNONLYFSDIRS, EdDirName->GetText(), folder);
  });
  if (!chosen) return;
  EdDirName->SetEditText(folder);
  StatusBar1->SetPanelText(2, kFolderPrefix + folder);
}

// The help, web site, about and update commands are in main_menu_commands.cpp.

void TFmMain::ApplicationActivate(TObject*) { Repaint(); }
void TFmMain::MChNewSearchClick(TObject*) {}
void TFmMain::MChViewPriorResultsClick(TObject*) {}
void TFmMain::MChPreferencesClick(TObject*) {}
