// The main window's settings in the real registry of the test prefix, across window
// lifetimes, and the saved summary written through the real save dialog.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <new>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/format.h"
#include "base/win_handle.h"
#include "base/win_string.h"
#include "base/text.h"
#include "common/xr_misc_dialogs.h"
#include "common/xr_misc_registry.h"
#include "scan/main.h"
#include "scan/main_texts.h"
#include "tests/testlib/dialog_driver_win.h"
#include "tests/testlib/test_files_win.h"
#include "tests/testlib/test_paths.h"
#include "tests/ui/gui_test.h"
#include "tests/ui/import_hook.h"

namespace {

const String kProductKey = u"Software\\Brevane\\Quorlix";
const String kGeneral = main_texts::kGeneralKey;
const String kColWidths = main_texts::kColWidthsKey;

RECT WorkArea() {
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  return work;
}

std::vector<bool> Checks(const TFmMain& f) {
  return {f.CkBxIncludeSubDirs->Checked(),       f.CkBxIgnoreCase->Checked(),
          f.CkBxIncludeSize->Checked(),          f.CkBxIncludeReadOnlyFiles->Checked(),
          f.CkBxIncludeHiddenFiles->Checked(),   f.CkBxIncludeSystemFiles->Checked()};
}

std::vector<int> ColumnWidths(const TFmMain& f) {
  std::vector<int> widths;
  for (int c = 0; c < 7; ++c) widths.push_back(f.Grid1->ColWidths(c));
  return widths;
}

// A stored DWORD, or -1 when missing.
int64_t StoredDword(const String& key, const String& name) {
  UniqueHKey k;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, W(key), 0, KEY_READ, k.put()) != ERROR_SUCCESS) return -1;
  DWORD type = 0, value = 0, size = sizeof value;
  if (RegQueryValueExW(k.get(), W(name), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
          ERROR_SUCCESS ||
      type != REG_DWORD)
    return -1;
  return value;
}

void WriteFileOfSize(const String& path, size_t size) {
  UniqueFileHandle h(CreateFileW(W(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  ASSERT_TRUE(h) << ToUtf8(path);
  const std::string bytes(size, 'x');
  DWORD done = 0;
  WriteFile(h.get(), bytes.data(), DWORD(bytes.size()), &done, nullptr);
}

// Each test starts from an empty registry and leaves none behind for the next.
class SettingsWindow : public ::testing::Test {
protected:
  void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, W(kProductKey)); }
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, W(kProductKey)); }

  static FormPtr<TFmMain> Open() {
    FormPtr<TFmMain> form = MakeForm<TFmMain>();
    form->Show();
    gui_test::Pump(20);
    return form;
  }
  static void CloseAndFree(FormPtr<TFmMain>& form) {
    form->Close();
    gui_test::Pump();
    form.reset();
  }
};

}  // namespace

TEST_F(SettingsWindow, FirstRunShowsTheDefaultsAndStoresThem) {
  FormPtr<TFmMain> form = Open();
  EXPECT_EQ(form->Width(), 831);
  EXPECT_EQ(form->Height(), 582);
  EXPECT_EQ(form->EdDirName->GetText(), u"");
  EXPECT_EQ(Checks(*form), (std::vector<bool>{true, true, true, true, false, false}));
  EXPECT_EQ(ColumnWidths(*form), (std::vector<int>{70, 110, 50, 85, 85, 85, 70}));
  // The missing number and flag values were written back as they were read.
  EXPECT_EQ(StoredDword(kGeneral, u"FormWidth"), 831);
  EXPECT_EQ(StoredDword(kGeneral, u"IncludeHidden"), 0);
  EXPECT_EQ(StoredDword(kColWidths, u"6"), 70);
  // Shown centred on the work area at its new size.
  const RECT work = WorkArea();
  EXPECT_EQ(form->Left(), work.left + (work.right - work.left - 831) / 2);
}

TEST_F(SettingsWindow, SettingsComeBackInTheNextWindow) {
  FormPtr<TFmMain> first = Open();
  first->SetBounds(first->Left(), first->Top(), 700, 600);
  first->EdDirName->SetEditText(u"  C:\\data \u00e9\u0416\\ ");
  first->CkBxIncludeSubDirs->SetChecked(false);
  first->CkBxIgnoreCase->SetChecked(false);
  first->CkBxIncludeSize->SetChecked(false);
  first->CkBxIncludeReadOnlyFiles->SetChecked(false);
  first->CkBxIncludeHiddenFiles->SetChecked(true);
  first->CkBxIncludeSystemFiles->SetChecked(true);
  first->EdIgnoreExt->SetEditText(u"tmp");
  first->Grid1->SetColWidth(1, 150);
  first->Grid1->SetColWidth(3, 40);  // narrower than its default
  CloseAndFree(first);

  FormPtr<TFmMain> second = Open();
  EXPECT_EQ(second->Width(), 700);
  EXPECT_EQ(second->Height(), 600);
  EXPECT_EQ(second->EdDirName->GetText(), u"  C:\\data \u00e9\u0416\\ ");  // not trimmed
  EXPECT_EQ(Checks(*second), (std::vector<bool>{false, false, false, false, true, true}));
  EXPECT_EQ(second->EdIgnoreExt->GetText(), u"");  // never stored
  EXPECT_EQ(ColumnWidths(*second), (std::vector<int>{70, 150, 50, 85, 85, 85, 70}));
}

// Every registry write of the settings save fails: refused by the registry, or with no
// memory left. Either way the error is shown and the window closes.
LONG WINAPI RefusedSet(HKEY, LPCWSTR, DWORD, DWORD, const BYTE*, DWORD) { return ERROR_ACCESS_DENIED; }
LONG WINAPI OutOfMemorySet(HKEY, LPCWSTR, DWORD, DWORD, const BYTE*, DWORD) { throw std::bad_alloc(); }

TEST_F(SettingsWindow, AFailedSaveIsShownAndTheWindowClosesAllTheSame) {
  const struct {
    const char* what;
    void* set;
    String message;
  } cases[] = {
      {"refused", reinterpret_cast<void*>(&RefusedSet), u"Failed to set data for 'FormWidth'"},
      {"out of memory", reinterpret_cast<void*>(&OutOfMemorySet), u"Out of memory"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FormPtr<TFmMain> form = Open();
    SeenDialog seen;
    {
      gui_test::ImportHook hook("advapi32.dll", "RegSetValueExW", c.set);
      ASSERT_TRUE(hook.Installed());
      DialogAnswerer answer(IDOK);
      form->Close();
      seen = answer.Seen();
    }
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.text, c.message);
    gui_test::Pump();
    EXPECT_FALSE(form->Visible());
    form.reset();
  }
}

TEST_F(SettingsWindow, MaximisedWindowStoresItsRestoredSize) {
  FormPtr<TFmMain> form = Open();
  form->SetBounds(20, 20, 700, 600);
  ShowWindow(form->Handle(), SW_MAXIMIZE);
  gui_test::Pump(50);
  // A window that did not maximise would store its size whatever the code does.
  ASSERT_TRUE(IsZoomed(form->Handle()));
  ASSERT_NE(form->Width(), 700);
  CloseAndFree(form);
  EXPECT_EQ(StoredDword(kGeneral, u"FormWidth"), 700);
  EXPECT_EQ(StoredDword(kGeneral, u"FormHeight"), 600);
}

TEST_F(SettingsWindow, StoredValuesAreCheckedBeforeUse) {
  RegWriteInteger(kGeneral, u"FormWidth", 500);        // below the minimum
  RegWriteInteger(kGeneral, u"FormHeight", 100000);    // beyond any screen
  RegWriteInteger(kColWidths, u"1", 40);               // below the column's default
  RegWriteInteger(kColWidths, u"0", 1000000000);       // absurdly wide
  RegWriteString(kGeneral, u"IncludeSize", u"false");  // not a flag
  FormPtr<TFmMain> form = Open();
  const RECT work = WorkArea();
  EXPECT_EQ(form->Width(), 831);
  EXPECT_EQ(form->Height(), work.bottom - work.top);
  EXPECT_GE(form->Top(), work.top);
  EXPECT_EQ(form->Grid1->ColWidths(1), 110);
  EXPECT_EQ(form->Grid1->ColWidths(0), 2000);
  EXPECT_TRUE(form->CkBxIncludeSize->Checked());
}

// Every fill takes the widths from the settings again, checked as at the start: a width
// dragged meanwhile goes back to the stored one.
TEST_F(SettingsWindow, EveryGridFillTakesTheStoredColumnWidths) {
  ScratchDir empty("column_widths_scan");
  FormPtr<TFmMain> form = Open();
  form->EdDirName->SetEditText(empty.Path());
  form->CkBxIncludeSize->SetChecked(true);
  form->BtnStartSearch->Click();
  gui_test::Pump();
  RegWriteInteger(kColWidths, u"0", 1000000000);  // absurdly wide
  RegWriteInteger(kColWidths, u"1", 150);
  RegWriteInteger(kColWidths, u"2", 40);  // below the column's default
  form->Grid1->SetColWidth(3, 300);      // dragged
  form->FillGrid(0, u'>');
  EXPECT_EQ(ColumnWidths(*form), (std::vector<int>{2000, 150, 50, 85, 85, 85, 70}));
}

class SavedSummary : public SettingsWindow {
protected:
  void SetUp() override {
    SettingsWindow::SetUp();
    // Extensions with a comma and letters in and outside the ANSI code page; type
    // names with quotes and a tab come from the shell query.
    WriteFileOfSize(data.Path() + u"\\a.txt", 2048);
    WriteFileOfSize(data.Path() + u"\\b.c,d", 1024);
    WriteFileOfSize(data.Path() + u"\\x.caf\u00e9", 1024);
    WriteFileOfSize(data.Path() + u"\\y.\u0436", 0);
    form = Open();
    form->ShellTypeNameQuery = [](const String& ext, String& name) {
      if (ext == u"txt") name = u"Text \"doc\"\there";
      else if (ext == u"c,d") name = u"Comma, File";
      else return false;
      return true;
    };
    form->EdDirName->SetEditText(data.Path());
    form->CkBxIncludeSize->SetChecked(true);
    form->CkBxIncludeSubDirs->SetChecked(false);
    form->BtnStartSearch->Click();
    gui_test::Pump();
  }
  void TearDown() override {
    form.reset();
    SettingsWindow::TearDown();
  }

  // Runs Save to File, answering the dialog as a user would; false when it was
  // not seen.
  bool SaveThroughDialog(const String& fileName, int filter, int button = IDOK,
                         String* startFolder = nullptr) {
    DialogAnswerer answer(button, [=, this](HWND dlg) {
      if (startFolder) {
        wchar_t folder[MAX_PATH] = {};
        SendMessageW(dlg, CDM_GETFOLDERPATH, MAX_PATH, LPARAM(folder));
        *startFolder = FromW(folder);
      }
      HWND combo = GetDlgItem(dlg, 0x470);  // cmb1, the file types
      filterNames.clear();
      for (int i = 0; i < int(SendMessageW(combo, CB_GETCOUNT, 0, 0)); ++i) {
        wchar_t item[256] = {};
        SendMessageW(combo, CB_GETLBTEXT, WPARAM(i), LPARAM(item));
        filterNames.push_back(FromW(item));
      }
      SendMessageW(combo, CB_SETCURSEL, WPARAM(filter - 1), 0);
      SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(0x470, CBN_SELCHANGE), LPARAM(combo));
      SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(0x470, CBN_SELENDOK), LPARAM(combo));
      HWND edit = GetDlgItem(dlg, 0x480);  // edt1, or the edit of the ComboBoxEx cmb13
      if (!edit) edit = HWND(SendMessageW(GetDlgItem(dlg, 0x47c), CBEM_GETEDITCONTROL, 0, 0));
      SendMessageW(edit, WM_SETTEXT, 0, LPARAM(W(fileName)));
    });
    form->MChSavetoFile->Click();
    const SeenDialog& seen = answer.Seen();
    EXPECT_EQ(seen.caption, u" Save to File");
    return seen.found;
  }

  std::vector<String> filterNames;  // as the last dialog listed them
  ScratchDir data{"saved_summary_data"};
  ScratchDir out{"saved_summary_out"};
  FormPtr<TFmMain> form;
};

TEST_F(SavedSummary, FileFollowsTheChosenFilterAndTheScansColumns) {
  ASSERT_TRUE(form->MChSavetoFile->Enabled());
  // Unchecked after the scan: the file still has the scan's seven columns.
  form->CkBxIncludeSize->SetChecked(false);

  // The comma-separated filter with a .txt name writes comma-separated lines.
  ASSERT_TRUE(SaveThroughDialog(out / u"out.txt", 2));
  EXPECT_EQ(filterNames, (std::vector<String>{u"Text File (*.txt)",
                                              u"Comma Separated Values File (*.csv)"}));
  EXPECT_EQ(ReadBytes(out / u"out.txt"),
            "Extension,File Type,Count,Total Size (KB),Max Size (KB),Min Size (KB),% of Total\r\n"
            "\"c,d\",\"Comma, File\",1,1,1,1,25.0\r\n"
            "\"caf\xE9\",\"CAF\xE9 File\",1,1,1,1,25.0\r\n"
            "\"txt\",\"Text \"\"doc\"\"\there\",1,2,2,2,50.0\r\n"
            "\"?\",\"? File\",1,0.0,0.0,0.0,0.0\r\n");
  EXPECT_EQ(RegReadString(kGeneral, u"SaveToDir", u""), out.Path() + u"\\");

  // The text filter with a .csv name writes tab-separated lines.
  ASSERT_TRUE(SaveThroughDialog(out / u"out.csv", 1));
  EXPECT_EQ(ReadBytes(out / u"out.csv"),
            "Extension\tFile Type\tCount\tTotal Size (KB)\tMax Size (KB)\tMin Size (KB)\t% of "
            "Total\r\n"
            "c,d\tComma, File\t1\t1\t1\t1\t25.0\r\n"
            "caf\xE9\tCAF\xE9 File\t1\t1\t1\t1\t25.0\r\n"
            "txt\tText \"doc\" here\t1\t2\t2\t2\t50.0\r\n"
            "?\t? File\t1\t0.0\t0.0\t0.0\t0.0\r\n");
}

// Past the grid's row limit the grid stops; the saved file still holds every extension.
TEST_F(SavedSummary, TheFileHoldsEveryExtensionPastTheGridsRowLimit) {
  form->ShellTypeNameQuery = [](const String&, String&) { return false; };
  const int scanned = form->Summaries().Count();
  // Keys that sort after the scan's Latin ones: each lands next to the end of the list.
  for (int i = 0; i < TXrGrid::kMaxRows; ++i)
    form->AddFileToSummary(u".z" + IntToHex(uint64_t(i), 6), 1);
  form->FillGrid(0, u'>');
  const int entries = form->Summaries().Count();
  ASSERT_EQ(entries, scanned + TXrGrid::kMaxRows);
  EXPECT_EQ(form->Grid1->RowCount(), TXrGrid::kMaxRows);  // fewer rows than entries

  ASSERT_TRUE(SaveThroughDialog(out / u"all.txt", 1));
  const std::string bytes = ReadBytes(out / u"all.txt");
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), entries + 1);  // with the header
  EXPECT_NE(bytes.find("\r\nz0fffff\tZ0FFFFF File\t1\t"), std::string::npos);
  // The list's last entry, far past the grid's last row, ends the file.
  const std::string lastLine = "\r\n?\t? File\t1\t0.0\t0.0\t0.0\t0.0\r\n";
  ASSERT_GE(bytes.size(), lastLine.size());
  EXPECT_EQ(bytes.substr(bytes.size() - lastLine.size()), lastLine);
}

TEST_F(SavedSummary, DialogStartsInTheLastFolderAndCancellingWritesNothing) {
  struct Case {
    const char* name;
    String stored;
    String start;  // where the dialog opens
  } cases[] = {
      {"last folder", out.Path() + u"\\", out.Path()},
      {"blank-padded last folder", u" " + out.Path() + u"\\ ", out.Path()},
      {"a folder that is gone", u"C:\\nowhere\\", GetMyDocumentsDir()},
      {"none yet", u"", GetMyDocumentsDir()},
  };
  for (const Case& c : cases) {
    RegWriteString(kGeneral, u"SaveToDir", c.stored);
    String start;
    ASSERT_TRUE(SaveThroughDialog(out / u"out.txt", 1, IDCANCEL, &start)) << c.name;
    // Compared without a trailing backslash, which the shell may or may not add.
    while (!start.empty() && start.back() == u'\\') start.pop_back();
    String expected = c.start;
    while (!expected.empty() && expected.back() == u'\\') expected.pop_back();
    EXPECT_EQ(AnsiUpperCase(start), AnsiUpperCase(expected)) << c.name;
    EXPECT_FALSE(IsFile(out / u"out.txt")) << c.name;
    EXPECT_EQ(RegReadString(kGeneral, u"SaveToDir", u"<none>"), c.stored) << c.name;
  }
}
