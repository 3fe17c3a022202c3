// The main window as a user meets it: options, folder scan over a generated tree,
// status bar, summary grid and its title clicks, the folder messages and browser.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <vector>

#include "base/format.h"
#include "base/text.h"
#include "base/win_string.h"
#include "scan/main.h"
#include "tests/testlib/dialog_driver_win.h"
#include "tests/testlib/test_paths.h"
#include "tests/ui/gui_test.h"
#include "tests/ui/png_writer.h"

#ifndef QZ_SCAN_TREE
#error "QZ_SCAN_TREE names the tree make_scan_tree.py generates"
#endif

namespace {

struct Options {
  bool ignoreCase = true;
  bool subDirs = true;
  bool size = true;
  bool readOnly = true;
  bool hidden = false;
  bool system = false;
  const char16_t* ignoreExt = u"";
};

using Counts = std::map<String, int>;

String TreePath() { return HostPath(QZ_SCAN_TREE); }

void WriteFile(const String& path, size_t size) {
  std::ofstream(std::filesystem::u8path(ToUtf8(path)), std::ios::binary) << std::string(size, 'x');
}

class MainWindow : public ::testing::Test {
protected:
  void SetUp() override {
    form = MakeForm<TFmMain>();
    form->Show();
    gui_test::Pump(20);
  }

  void SetOptions(const Options& o) {
    form->CkBxIgnoreCase->SetChecked(o.ignoreCase);
    form->CkBxIncludeSubDirs->SetChecked(o.subDirs);
    form->CkBxIncludeSize->SetChecked(o.size);
    form->CkBxIncludeReadOnlyFiles->SetChecked(o.readOnly);
    form->CkBxIncludeHiddenFiles->SetChecked(o.hidden);
    form->CkBxIncludeSystemFiles->SetChecked(o.system);
    form->EdIgnoreExt->SetEditText(o.ignoreExt);
  }

  void Scan(const String& folder, const Options& o = {}) {
    SetOptions(o);
    form->EdDirName->SetEditText(folder);
    form->BtnStartSearch->Click();
    gui_test::Pump();
  }

  // The summary by extension; with case ignored, non-ASCII keys are folded, since
  // the entry keeps the form the file system happened to deliver first.
  Counts Summary(bool foldKeys) const {
    Counts out;
    const TSummaryList& list = form->Summaries();
    for (int i = 0; i < list.Count(); ++i) {
      String key = list.Strings(i);
      EXPECT_EQ(list.Summ(i).Ext, key);
      out[foldKeys ? AnsiLowerCase(key) : key] = list.Summ(i).Count;
    }
    return out;
  }

  const TExtenSumm* Find(const String& ext) const {
    const TSummaryList& list = form->Summaries();
    for (int i = 0; i < list.Count(); ++i) {
      if (list.Strings(i) == ext) return &list.Summ(i);
    }
    return nullptr;
  }

  int GridRowOf(const String& ext) const {
    for (int r = 1; r < form->Grid1->RowCount(); ++r) {
      if (form->Grid1->Cells(0, r) == ext) return r;
    }
    return -1;
  }

  String Panel(int i) const { return form->StatusBar1->ShownText(i); }

  String GridColumn0() const {
    String s;
    for (int r = 1; r < form->Grid1->RowCount(); ++r) s += (r > 1 ? u"," : u"") + form->Grid1->Cells(0, r);
    return s;
  }

  void ClickTitle(int col) {
    TRect r = form->Grid1->CellRect(col, 0);
    ASSERT_FALSE(r.IsEmpty()) << col;
    gui_test::Click(form->Grid1->Handle(), (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    gui_test::Pump();
  }

  FormPtr<TFmMain> form;
};

TEST_F(MainWindow, StartsAsLaidOut) {
  EXPECT_EQ(form->Caption(), u"Quorlix Zeva - Version 1.1");
  EXPECT_FALSE(form->Grid1->Visible());
  EXPECT_TRUE(form->LbIntro2->Visible());
  EXPECT_FALSE(form->LbIntro1->Visible());
  EXPECT_FALSE(form->MChSavetoFile->Enabled());
  EXPECT_FALSE(form->MChPreferences->Visible());
  EXPECT_EQ(form->SortColumn(), u"Extension");
  EXPECT_FALSE(form->SortDescending());
  EXPECT_EQ(form->StatusBar1->PanelCount(), 3);
  const struct {
    TMenuItem* item;
    const char16_t* caption;
  } items[] = {{form->MChStartScan, u"Start Scan"},       {form->MChSavetoFile, u"Save to File"},
               {form->MChExit, u"Exit"},                  {form->MChHelp, u"Quorlix Help"},
               {form->MChCheckforUpdates, u"Check for Updates"},
               {form->MChWebSite, u"Quorlix Web Site"},   {form->MChAbout, u"About"}};
  for (const auto& i : items) EXPECT_EQ(i.item->Caption(), i.caption);
}

// The window's layout as the real windows report it: texts from the windows, places
// relative to the parent's client area, sizes where the design states one (-1: left to the
// control, e.g. a label sized to its text).
TEST(MainWindowLayout, LaidOutAsDesigned) {
  // Made and not shown: showing applies the stored settings over the design.
  FormPtr<TFmMain> form = MakeForm<TFmMain>();
  struct Item {
    TControl* control;
    const char16_t* text;  // nullptr: not checked
    int left, top, width, height;
  };
  const Item items[] = {
      {form->PnLeft, nullptr, 0, 0, 257, -1},
      {form->PnTop, nullptr, 8, 22, 241, 119},
      {form->Label4, u"Select a folder and click Start Scan", -1, -1, -1, -1},
      {form->Label3, u"Folder", -1, -1, -1, -1},
      {form->EdDirName, u"c:\\data", -1, -1, 227, -1},
      {form->BtnBrowseDir, u"Browse...", -1, -1, 59, 25},
      {form->PnBottom, nullptr, 8, 160, 241, 289},
      {form->GroupBox1, u" Options ", -1, -1, -1, -1},
      {form->CkBxIgnoreCase, u"Ignore case of file extensions", -1, -1, -1, -1},
      {form->CkBxIncludeSubDirs, u"Include subfolders", -1, -1, -1, -1},
      {form->CkBxIncludeSize, u"Include size data", -1, -1, -1, -1},
      {form->Label2, u"Ignore extension", -1, -1, -1, -1},
      {form->EdIgnoreExt, u"", -1, -1, 107, -1},
      {form->GroupBox2, u" Include ", -1, -1, -1, -1},
      {form->CkBxIncludeReadOnlyFiles, u"Read-only files and folders", -1, -1, -1, -1},
      {form->CkBxIncludeHiddenFiles, u"Hidden files and folders", -1, -1, -1, -1},
      {form->CkBxIncludeSystemFiles, u"System files and folders", -1, -1, -1, -1},
      {form->BtnStartSearch, u"Start Scan", -1, -1, 75, 25},
      {form->BtnClose, u"Close", -1, -1, 75, 25},
      {form->LbIntro1, u"Quorlix Zeva displays a summary of files by file type", -1, -1, -1, -1},
      {form->LbIntro2, u"Select a folder by clicking the Browse button, then click Start Scan", -1,
       -1, -1, -1},
  };
  for (const Item& i : items) {
    SCOPED_TRACE(ToUtf8(i.control->Name()));
    TRect place = i.control->BoundsRect();
    String text = i.control->Caption();
    if (i.control->IsWindowed()) {
      HWND h = static_cast<TWinControl*>(i.control)->Handle();
      ASSERT_NE(h, nullptr);
      RECT r;
      GetWindowRect(h, &r);
      MapWindowPoints(nullptr, GetParent(h), reinterpret_cast<POINT*>(&r), 2);
      place = TRect{r.left, r.top, r.right, r.bottom};
      wchar_t buffer[256] = {};
      GetWindowTextW(h, buffer, 256);
      text = FromW(buffer);
    }
    if (i.text) {
      EXPECT_EQ(text, String(i.text));
    }
    if (i.left >= 0) {
      EXPECT_EQ(place.Left, i.left);
    }
    if (i.top >= 0) {
      EXPECT_EQ(place.Top, i.top);
    }
    if (i.width >= 0) {
      EXPECT_EQ(place.Width(), i.width);
    }
    if (i.height >= 0) {
      EXPECT_EQ(place.Height(), i.height);
    }
  }
  EXPECT_EQ(form->PnLeft->Align(), alLeft);
  EXPECT_EQ(form->Panel1->Align(), alClient);
  EXPECT_EQ(form->Grid1->Align(), alClient);
  // The two buttons side by side at the bottom of their panel.
  EXPECT_EQ(form->BtnStartSearch->Top(), form->BtnClose->Top());
  EXPECT_GE(form->BtnClose->Left(), form->BtnStartSearch->Left() + 75);
  EXPECT_LE(form->BtnClose->Top() + 25, form->PnBottom->Height());
  EXPECT_GT(form->BtnClose->Top(), form->GroupBox2->Top() + form->GroupBox2->Height() - 1);
  EXPECT_TRUE(form->EdDirName->ShowHint());

  // Check boxes as they start.
  const std::pair<TCheckBox*, bool> checks[] = {
      {form->CkBxIgnoreCase, true},           {form->CkBxIncludeSubDirs, true},
      {form->CkBxIncludeSize, true},          {form->CkBxIncludeReadOnlyFiles, true},
      {form->CkBxIncludeHiddenFiles, false},  {form->CkBxIncludeSystemFiles, false}};
  for (const auto& [box, checked] : checks) {
    EXPECT_EQ(SendMessageW(box->Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED, checked)
        << ToUtf8(box->Name());
  }

  // The window: caption, client area, smallest size, font.
  wchar_t caption[128] = {};
  GetWindowTextW(form->Handle(), caption, 128);
  EXPECT_EQ(FromW(caption), u"Quorlix Zeva - Version 1.1");
  RECT client;
  GetClientRect(form->Handle(), &client);
  EXPECT_EQ(client.right - client.left, 746);
  EXPECT_EQ(client.bottom - client.top, 580);
  MINMAXINFO limits{};
  SendMessageW(form->Handle(), WM_GETMINMAXINFO, 0, LPARAM(&limits));
  EXPECT_EQ(limits.ptMinTrackSize.x, 550);
  EXPECT_EQ(limits.ptMinTrackSize.y, 541);
  LOGFONTW font{};
  HFONT shown = HFONT(SendMessageW(form->EdDirName->Handle(), WM_GETFONT, 0, 0));
  ASSERT_TRUE(shown && GetObjectW(shown, sizeof font, &font));
  EXPECT_EQ(font.lfHeight, -11);
  EXPECT_EQ(FromW(font.lfFaceName), u"Tahoma");

  // The status bar's panels: the first two edges as the window has them, the last one
  // running to the window's edge.
  int edges[3] = {};
  ASSERT_EQ(SendMessageW(form->StatusBar1->Handle(), SB_GETPARTS, 3, LPARAM(edges)), 3);
  EXPECT_EQ(edges[0], 120);
  EXPECT_EQ(edges[1], 320);
  EXPECT_EQ(form->StatusBar1->PanelWidth(2), 50);

  // The grid as it starts.
  EXPECT_FALSE(IsWindowVisible(form->Grid1->Handle()));
  EXPECT_EQ(form->Grid1->ColCount(), 7);
  EXPECT_EQ(form->Grid1->RowCount(), 8);
  EXPECT_EQ(form->Grid1->FixedCols(), 0);
  EXPECT_EQ(form->Grid1->FixedRows(), 1);
  EXPECT_EQ(form->Grid1->DefaultRowHeight(), 17);
  const unsigned lines = goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine;
  EXPECT_EQ(form->Grid1->Options() & lines, lines);
  EXPECT_TRUE(form->Grid1->Options() & goColSizing);
  EXPECT_FALSE(form->Grid1->Options() & goEditing);
  EXPECT_FALSE(form->Grid1->AutoInsert());
}

TEST_F(MainWindow, MenuAndButtonsReachTheirHandlers) {
  ScratchDir dir("main_window_bindings");
  WriteFile(dir / u"a.txt", 1);
  form->EdDirName->SetEditText(dir.Path());
  form->MChStartScan->Click();
  EXPECT_EQ(form->FileCount(), 1);
  EXPECT_TRUE(form->Grid1->Visible());

  for (const auto close : {+[](TFmMain& f) { f.BtnClose->Click(); },
                           +[](TFmMain& f) { f.MChExit->Click(); }}) {
    form->Show();
    close(*form);
    gui_test::Pump();
    EXPECT_FALSE(form->Visible());
  }
}

// Which files of the generated tree each combination of options counts.
TEST_F(MainWindow, ScanOptionMatrix) {
  const Counts common = {{u"gz", 1}, {u"q\"t", 1}, {u"c,d", 1}, {u"t\tx", 1}, {u"iso", 1}};
  const struct {
    const char* what;
    Options options;
    Counts extra;
    int32_t mask;
  } cases[] = {
      {"defaults", {},
       {{u"jpg", 2}, {u"txt", 5}, {u"tmp", 1}, {u"\u00e4\u00f6", 2}}, 16 | 1},
      {"everything", {.hidden = true, .system = true},
       {{u"jpg", 2}, {u"txt", 6}, {u"tmp", 1}, {u"\u00e4\u00f6", 2}, {u"profile", 1}, {u"dat", 3}},
       16 | 1 | 2 | 4},
      {"system without hidden", {.system = true},
       {{u"jpg", 2}, {u"txt", 5}, {u"tmp", 1}, {u"\u00e4\u00f6", 2}, {u"dat", 1}}, 16 | 1 | 4},
      {"case kept, top folder, hidden, no read-only",
       {.ignoreCase = false, .subDirs = false, .readOnly = false, .hidden = true},
       {{u"JPG", 1}, {u"jpg", 1}, {u"txt", 1}, {u"tmp", 1}, {u"\u00c4\u00d6", 1},
        {u"\u00e4\u00f6", 1}, {u"profile", 1}, {u"dat", 1}},
       2},
      {"subfolders without read-only", {.readOnly = false},
       {{u"jpg", 2}, {u"txt", 3}, {u"tmp", 1}, {u"\u00e4\u00f6", 2}}, 16},
      {"ignore tmp", {.ignoreExt = u" tmp "},
       {{u"jpg", 2}, {u"txt", 5}, {u"\u00e4\u00f6", 2}}, 16 | 1},
      {"ignore .tmp ignores nothing", {.ignoreExt = u".tmp"},
       {{u"jpg", 2}, {u"txt", 5}, {u"tmp", 1}, {u"\u00e4\u00f6", 2}}, 16 | 1},
      {"ignore jpg with case kept", {.ignoreCase = false, .ignoreExt = u"jpg"},
       {{u"JPG", 1}, {u"txt", 5}, {u"tmp", 1}, {u"\u00c4\u00d6", 1}, {u"\u00e4\u00f6", 1}}, 16 | 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Scan(TreePath(), c.options);
    Counts expected = common;
    expected.insert(c.extra.begin(), c.extra.end());
    EXPECT_EQ(Summary(c.options.ignoreCase), expected);
    int files = 0;
    for (const auto& [ext, n] : expected) files += n;
    EXPECT_EQ(form->FileCount(), files);
    EXPECT_EQ(form->AttrMask(), c.mask);
    EXPECT_EQ(Panel(0), u"File Count: " + IntToStr(files));
    EXPECT_EQ(form->Grid1->RowCount(), int(expected.size()) + 1);
    // The grid shows the list in its own order.
    for (int i = 0; i < form->Summaries().Count(); ++i) {
      EXPECT_EQ(form->Grid1->Cells(0, i + 1), form->Summaries().Strings(i));
    }
  }
}

TEST_F(MainWindow, SizesTotalsAndCells) {
  Scan(TreePath());
  EXPECT_EQ(form->TotalSize(), 5368709120 + 5060);
  EXPECT_EQ(Panel(1), u"Total Size: 5,242,885 KB");
  EXPECT_EQ(Panel(2), u"Folder: " + TreePath());
  EXPECT_EQ(form->StatusBar1->PanelWidth(0), form->StatusBar1->TextWidth(Panel(0)) + 10);
  EXPECT_EQ(form->StatusBar1->PanelWidth(1), form->StatusBar1->TextWidth(Panel(1)) + 10);
  EXPECT_TRUE(form->MChSavetoFile->Enabled());
  EXPECT_TRUE(form->Grid1->Visible());

  const TExtenSumm* jpg = Find(u"jpg");
  ASSERT_NE(jpg, nullptr);
  EXPECT_EQ(jpg->MaxSize, 2000);
  EXPECT_EQ(jpg->MinSize, 1000);
  EXPECT_EQ(jpg->TotalSize, 3000);

  ASSERT_EQ(form->Grid1->ColCount(), 7);
  const char16_t* titles[] = {u"Extension >", u"File Type", u"Count", u"Total Size (KB)",
                              u"Max Size (KB)", u"Min Size (KB)", u"% of Total"};
  for (int c = 0; c < 7; ++c) EXPECT_EQ(form->Grid1->Cells(c, 0), titles[c]);
  const int iso = GridRowOf(u"iso");
  ASSERT_GT(iso, 0);
  const char16_t* isoCells[] = {u"iso", nullptr, u"1", u"5,242,880 KB", u"5,242,880 KB",
                                u"5,242,880 KB", u"100.0%"};
  for (int c = 0; c < 7; ++c) {
    if (isoCells[c]) {
      EXPECT_EQ(form->Grid1->Cells(c, iso), isoCells[c]) << c;
    }
  }
  const int gz = GridRowOf(u"gz");
  EXPECT_EQ(form->Grid1->Cells(3, gz), u"0.1 KB");
  EXPECT_EQ(form->Grid1->Cells(6, gz), u"< 0.1%");
  EXPECT_EQ(form->Grid1->Col(), 0);
  EXPECT_EQ(form->Grid1->Row(), 1);
}

TEST_F(MainWindow, FolderTextTrimmedAndRootSlashDropped) {
  ScratchDir dir("main_window_folder_text");
  WriteFile(dir / u"one.bin", 1600);
  Scan(u"  " + dir.Path() + u"\\ \t");
  EXPECT_EQ(Panel(2), u"Folder: " + dir.Path() + u"\\");
  EXPECT_EQ(form->FileCount(), 1);
  // The status bar rounds, the grid truncates.
  EXPECT_EQ(Panel(1), u"Total Size: 2 KB");
  EXPECT_EQ(form->Grid1->Cells(3, 1), u"1 KB");
}

TEST_F(MainWindow, FolderMessagesChangeNothing) {
  ScratchDir dir("main_window_messages");
  WriteFile(dir / u"a.txt", 1);
  Scan(dir.Path());
  const String folderPanel = Panel(2);
  const struct {
    String folder;
    const char16_t* message;
  } cases[] = {
      {u"", u"Please click the Browse button to select a folder"},
      {u" \t ", u"Please click the Browse button to select a folder"},
      {dir / u"missing", u"That folder does not exist"},
      {dir / u"a.txt", u"That folder does not exist"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.folder));
    bool disabledWhileShown = false;
    HWND main = form->Handle();
    DialogAnswerer answer(IDOK, [&](HWND) { disabledWhileShown = !IsWindowEnabled(main); });
    form->EdDirName->SetEditText(c.folder);
    form->BtnStartSearch->Click();
    const SeenDialog& seen = answer.Seen();
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.caption, u"Quorlix Zeva");
    EXPECT_EQ(seen.text, c.message);
    EXPECT_TRUE(disabledWhileShown);
    EXPECT_TRUE(IsWindowEnabled(main));
    EXPECT_EQ(Panel(2), folderPanel);
    EXPECT_EQ(form->Summaries().Count(), 1);
    EXPECT_EQ(form->Grid1->Cells(0, 1), u"txt");
  }
}

TEST_F(MainWindow, StatusBarAtZeroHundredAndThousandFiles) {
  ScratchDir dir("main_window_counts");
  Scan(dir.Path());
  EXPECT_EQ(Panel(0), u"File Count: ");
  EXPECT_EQ(Panel(1), u"Total Size: 0 KB");
  EXPECT_EQ(form->Grid1->RowCount(), 2);
  EXPECT_EQ(form->Grid1->Cells(0, 0), u"Extension >");
  for (int c = 0; c < 7; ++c) EXPECT_EQ(form->Grid1->Cells(c, 1), u"");

  // The running count shows at 100 files, not before (later ones may be skipped
  // when they come too fast to be seen).
  for (int i = 1; i <= 100; ++i) {
    if (i == 100) {
      EXPECT_EQ(Panel(0), u"File Count: ");
    }
    form->AddFileToSummary(u".bin", 2048);
  }
  EXPECT_EQ(Panel(0), u"File Count: 100");
  EXPECT_EQ(Panel(1), u"Total Size: 200 KB");

  // Only the end of a thousand-file scan is checked here: its totals, the count with a
  // thousands separator, drawn after every scan. The repaints during a scan are
  // RepaintsDuringAScanKeepTheirPace's.
  for (int i = 0; i < 1000; ++i) WriteFile(dir / (IntToStr(i) + u".bin"), 0);
  Scan(dir.Path());
  EXPECT_EQ(Panel(0), u"File Count: 1,000");
  EXPECT_EQ(Panel(1), u"Total Size: 0 KB");
}

// The repaints of a running scan follow the clock: the status bar at most every 100 ms,
// the window at most every 500 ms, each judged on its own; the first of each shows.
TEST_F(MainWindow, RepaintsDuringAScanKeepTheirPace) {
  ScratchDir dir("main_window_pace");
  uint32_t now = 0xFFFFFF00u;  // the tick count wraps within the scan
  form->TickSource = [&now] { return now; };
  Scan(dir.Path());
  // A child of the window that nothing but a window repaint paints during the scan.
  const HWND grid = form->Grid1->Handle();
  int counted = 0;
  struct Step {
    int files;         // counted by the end of the step
    uint32_t advance;  // ms passed before the step
    const char16_t* count;
    bool windowRepainted;
  } steps[] = {
      {100, 0, u"File Count: 100", false},     // the first status-bar repaint
      {200, 99, u"File Count: 100", false},    // too soon
      {300, 1, u"File Count: 300", false},
      {1000, 50, u"File Count: 1,000", true},  // the first window repaint, status bar or not
      {1100, 100, u"File Count: 1,100", false},
      {2000, 399, u"File Count: 1,200", false},  // 499 ms after the last window repaint
      {3000, 1, u"File Count: 3,000", true},     // 500 ms; the status bar alone would wait
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.files);
    now += s.advance;
    RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
    for (; counted < s.files; ++counted) form->AddFileToSummary(u".bin", 1024);
    EXPECT_EQ(Panel(0), s.count);
    RECT pending;
    EXPECT_EQ(!GetUpdateRect(grid, &pending, FALSE), s.windowRepainted);
  }
}

TEST_F(MainWindow, WithoutSizeData) {
  ScratchDir dir("main_window_no_size");
  WriteFile(dir / u"a.txt", 3000);
  WriteFile(dir / u"b.txt", 10);
  Scan(dir.Path(), {.size = false});
  EXPECT_EQ(form->Grid1->ColCount(), 3);
  EXPECT_EQ(Panel(1), u"");
  EXPECT_EQ(form->StatusBar1->PanelWidth(1), 0);
  const TExtenSumm* txt = Find(u"txt");
  ASSERT_NE(txt, nullptr);
  EXPECT_EQ(txt->Count, 2);
  EXPECT_EQ(txt->MaxSize, 0);
  EXPECT_EQ(txt->TotalSize, 0);
  EXPECT_FALSE(form->IncludeSize());
  // Changing the box after the scan changes nothing shown.
  form->CkBxIncludeSize->SetChecked(true);
  ClickTitle(2);
  EXPECT_EQ(form->Grid1->ColCount(), 3);
  EXPECT_EQ(form->Grid1->Cells(2, 0), u"Count >");
}

TEST_F(MainWindow, EmptyFilesGiveZeroSizesAndNoShare) {
  ScratchDir dir("main_window_empty_files");
  WriteFile(dir / u"a.txt", 0);
  WriteFile(dir / u"b.log", 0);
  Scan(dir.Path());
  EXPECT_EQ(Panel(1), u"Total Size: 0 KB");
  for (int r = 1; r <= 2; ++r) {
    for (int c = 3; c <= 5; ++c) EXPECT_EQ(form->Grid1->Cells(c, r), u"0.0 KB");
    EXPECT_EQ(form->Grid1->Cells(6, r), u"");
  }
}

TEST_F(MainWindow, TypeNames) {
  ScratchDir dir("main_window_types");
  for (const char16_t* name : {u"a.qzt", u"b.QZT", u"c.qzt", u"d.xyz"}) WriteFile(dir / name, 1);
  // A registered type, as the shell reads it (Wine's shell reads the machine's classes).
  HKEY key;
  ASSERT_EQ(RegCreateKeyW(HKEY_CLASSES_ROOT, L".qzt", &key), ERROR_SUCCESS);
  RegSetValueW(key, nullptr, REG_SZ, L"QzTestFile", 0);
  RegCloseKey(key);
  ASSERT_EQ(RegCreateKeyW(HKEY_CLASSES_ROOT, L"QzTestFile", &key), ERROR_SUCCESS);
  RegSetValueW(key, nullptr, REG_SZ, L"Quorlix test file", 0);
  RegCloseKey(key);

  Scan(dir.Path());
  ASSERT_NE(Find(u"qzt"), nullptr);
  EXPECT_EQ(Find(u"qzt")->FileType, u"Quorlix test file");

  // The shell is asked once per extension and scan; without an answer the name is made up.
  std::vector<String> asked;
  form->ShellTypeNameQuery = [&](const String& ext, String& name) {
    asked.push_back(ext);
    if (ext == u"qzt") {
      name = u"Known";
      return true;
    }
    return false;
  };
  Scan(dir.Path());
  std::sort(asked.begin(), asked.end());
  EXPECT_EQ(asked, (std::vector<String>{u"qzt", u"xyz"}));
  EXPECT_EQ(Find(u"qzt")->FileType, u"Known");
  EXPECT_EQ(Find(u"xyz")->FileType, u"XYZ File");
  EXPECT_EQ(form->Grid1->Cells(1, GridRowOf(u"xyz")), u"XYZ File");
  Scan(dir.Path());
  EXPECT_EQ(asked.size(), 4u);
  RegDeleteTreeW(HKEY_CLASSES_ROOT, L".qzt");
  RegDeleteTreeW(HKEY_CLASSES_ROOT, L"QzTestFile");
}

class MainWindowSort : public MainWindow {
protected:
  void SetUp() override {
    MainWindow::SetUp();
    dir = std::make_unique<ScratchDir>("main_window_sort");
    // Counts 3, 1, 2; sizes 30, 2000, 200; type names from the shell's fallback.
    const struct {
      const char16_t* name;
      size_t size;
    } files[] = {{u"1.bbb", 10}, {u"2.bbb", 10}, {u"3.bbb", 10}, {u"1.aaa", 2000},
                 {u"1.ccc", 100}, {u"2.ccc", 100}};
    for (const auto& f : files) WriteFile(*dir / f.name, f.size);
    form->ShellTypeNameQuery = [](const String& ext, String& name) {
      name = ext == u"aaa" ? u"zeta" : ext == u"bbb" ? u"alpha" : u"Mid";
      return true;
    };
    Scan(dir->Path());
  }
  std::unique_ptr<ScratchDir> dir;
};

TEST_F(MainWindowSort, TitleClickSequences) {
  const struct {
    const char* what;
    std::vector<int> clicks;
    int titleCol;
    const char16_t* title;
    const char16_t* rows;
  } cases[] = {
      {"count once", {2}, 2, u"Count >", u"aaa,ccc,bbb"},
      {"count twice", {2, 2}, 2, u"Count <", u"bbb,ccc,aaa"},
      {"another column starts ascending", {2, 2, 1}, 1, u"File Type >", u"bbb,ccc,aaa"},
      {"extension after the scan", {0}, 0, u"Extension <", u"ccc,bbb,aaa"},
      {"extension twice", {0, 0}, 0, u"Extension >", u"aaa,bbb,ccc"},
      {"total descending", {3, 3}, 3, u"Total Size (KB) <", u"aaa,ccc,bbb"},
      {"share as total", {6}, 6, u"% of Total >", u"bbb,ccc,aaa"},
      {"max", {4}, 4, u"Max Size (KB) >", u"bbb,ccc,aaa"},
      {"min descending", {5, 5}, 5, u"Min Size (KB) <", u"aaa,ccc,bbb"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Scan(dir->Path());
    for (int col : c.clicks) ClickTitle(col);
    EXPECT_EQ(GridColumn0(), c.rows);
    for (int col = 0; col < form->Grid1->ColCount(); ++col) {
      const String cell = form->Grid1->Cells(col, 0);
      if (col == c.titleCol) {
        EXPECT_EQ(cell, c.title);
      } else {
        EXPECT_NE(cell.back(), u'>') << col;
        EXPECT_NE(cell.back(), u'<') << col;
      }
    }
  }
}

TEST_F(MainWindowSort, NewScanStartsFromExtensionAscending) {
  ClickTitle(2);
  EXPECT_EQ(form->SortColumn(), u"Count");
  Scan(dir->Path());
  EXPECT_EQ(form->Grid1->Cells(0, 0), u"Extension >");
  EXPECT_EQ(form->SortColumn(), u"Extension");
  EXPECT_FALSE(form->SortDescending());
  // So the first click on the title the grid marks reverses it.
  ClickTitle(0);
  EXPECT_EQ(form->Grid1->Cells(0, 0), u"Extension <");
  EXPECT_EQ(GridColumn0(), u"ccc,bbb,aaa");
}

TEST_F(MainWindowSort, DataRowsOnlyDoNotSort) {
  TRect r = form->Grid1->CellRect(2, 1);
  gui_test::Click(form->Grid1->Handle(), (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
  gui_test::Pump();
  EXPECT_EQ(form->Grid1->Cells(2, 0), u"Count");
  EXPECT_EQ(GridColumn0(), u"aaa,bbb,ccc");
}

TEST_F(MainWindow, EmptySummaryTitleClickFlipsIndicator) {
  ScratchDir dir("main_window_empty_sort");
  Scan(dir.Path());
  ClickTitle(0);
  EXPECT_EQ(form->Grid1->Cells(0, 0), u"Extension <");
  EXPECT_EQ(form->Grid1->RowCount(), 2);
  ClickTitle(0);
  EXPECT_EQ(form->Grid1->Cells(0, 0), u"Extension >");
}

// The x range of dark (text) pixels inside a rectangle of a capture, or {-1, -1}.
std::pair<int, int> InkRange(const TBitmap& shot, const TRect& r) {
  int left = -1, right = -1;
  for (int x = r.Left; x < r.Right; ++x) {
    for (int y = r.Top; y < r.Bottom; ++y) {
      const TColor c = shot.Pixel(x, y);
      if (GetRValue(c) < 100 && GetGValue(c) < 100 && GetBValue(c) < 100) {
        if (left < 0) left = x;
        right = x;
        break;
      }
    }
  }
  return {left, right};
}

TEST_F(MainWindowSort, NumbersEndAtTheRightEdge) {
  form->Grid1->FocusCell(0, 2);  // keep the checked cells unselected
  TBitmap shot;
  ASSERT_TRUE(gui_test::CaptureClient(form->Grid1->Handle(), shot));
  for (int col = 2; col <= 6; ++col) {
    SCOPED_TRACE(col);
    TRect cell = form->Grid1->CellRect(col, 1);
    auto [left, right] = InkRange(shot, TRect{cell.Left, cell.Top + 1, cell.Right - 1, cell.Bottom - 1});
    ASSERT_GE(right, 0);
    EXPECT_GE(right, cell.Right - 4);
    EXPECT_GT(left, cell.Left + 8);
    // The title stays at the left.
    TRect title = form->Grid1->CellRect(col, 0);
    auto [tl, tr] = InkRange(shot, TRect{title.Left, title.Top + 1, title.Right - 1, title.Bottom - 1});
    EXPECT_LE(tl, title.Left + 4);
  }
  // Text columns keep the default drawing.
  TRect ext = form->Grid1->CellRect(0, 1);
  EXPECT_LE(InkRange(shot, TRect{ext.Left, ext.Top + 1, ext.Right - 1, ext.Bottom - 1}).first,
            ext.Left + 4);
}

TEST_F(MainWindow, BrowseForFolder) {
  ScratchDir dir("main_window_browse");
  form->StatusBar1->SetPanelText(2, u"before");
  form->EdDirName->SetEditText(dir.Path());
  HWND main = form->Handle();
  bool disabledWhileShown = false;
  {
    DialogAnswerer cancel(IDCANCEL, [&](HWND) { disabledWhileShown = !IsWindowEnabled(main); });
    form->BtnBrowseDir->Click();
    ASSERT_TRUE(cancel.Seen().found);
  }
  EXPECT_TRUE(disabledWhileShown);
  EXPECT_TRUE(IsWindowEnabled(main));
  EXPECT_EQ(form->EdDirName->GetText(), dir.Path());
  EXPECT_EQ(Panel(2), u"before");
  {
    DialogAnswerer ok(IDOK);  // takes the preselected folder
    form->BtnBrowseDir->Click();
    ASSERT_TRUE(ok.Seen().found);
  }
  EXPECT_EQ(AnsiLowerCase(form->EdDirName->GetText()), AnsiLowerCase(dir.Path() + u"\\"));
  EXPECT_EQ(Panel(2), u"Folder: " + form->EdDirName->GetText());
}

// A picture of the window after a scan, for a person to look at; what it must show is
// checked too: the window drawn (not blank), the grid's titles and rows, the status bar's
// text. The caption is not in the picture (no window manager draws a title bar here).
TEST_F(MainWindow, Screenshot) {
  Scan(TreePath(), {.hidden = true, .system = true});
  gui_test::Pump(200);
  TBitmap shot;
  ASSERT_TRUE(gui_test::CaptureWindow(form->Handle(), shot, 100));
  const String path = gui_test::ArtifactPath(QZ_ARTIFACT_DIR, "main_window.png");
  ASSERT_TRUE(gui_test::WritePng(shot, path)) << ToUtf8(path);

  RECT window;
  GetWindowRect(form->Handle(), &window);
  const POINT origin{window.left, window.top};
  EXPECT_EQ(form->Caption(), u"Quorlix Zeva - Version 1.1");
  EXPECT_GT(gui_test::DistinctColours(shot, TRect{0, 0, shot.Width(), shot.Height()}), 8);
  const TRect grid = gui_test::RectInCapture(*form->Grid1, origin);
  for (int row : {0, 1, form->Grid1->RowCount() - 1}) {
    const TRect cell = form->Grid1->CellRect(0, row);
    ASSERT_FALSE(cell.IsEmpty()) << row;
    const TRect inShot{grid.Left + cell.Left + 1, grid.Top + cell.Top + 1, grid.Left + cell.Right - 1,
                       grid.Top + cell.Bottom - 1};
    EXPECT_NE(InkRange(shot, inShot).first, -1) << "no text in row " << row;
  }
  EXPECT_TRUE(gui_test::HasInk(shot, gui_test::RectInCapture(*form->StatusBar1, origin)));
}

}  // namespace
