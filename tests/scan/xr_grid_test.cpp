#include "scan/xr_grid.h"

#include <gtest/gtest.h>

#include <functional>

#include <windows.h>
#include <commctrl.h>

#include "tests/ui/gui_test.h"
#include "ui/forms.h"
#include "ui/recording_canvas.h"
#include "base/format.h"
#include "ui/std_controls.h"

namespace {

// The wheel distance sits in the high word as a signed 16-bit number.
WPARAM WheelWParam(int notches) {
  return WPARAM(WORD(short(WHEEL_DELTA * notches))) << 16;
}

class XrGridTest : public ::testing::Test {
protected:
  void SetUp() override {
    form = MakeForm<TForm>(TFormArgs{.Caption = u"Grid", .ClientWidth = 420, .ClientHeight = 260});
    grid = form->Add<TXrGrid>(TXrGridArgs{.Name = u"Grid1", .Bounds = {10, 20, 360, 0},
                                          .ColCount = 3, .FixedCols = 0});
    form->Show();
    gui_test::Pump();
  }
  void TearDown() override { form.reset(); }
  // Rows 1.. filled with "rN" in column 0 and "rN c" in the other columns.
  void Fill() {
    for (int r = 1; r < grid->RowCount(); ++r)
      for (int c = 0; c < grid->ColCount(); ++c) {
        String text = u"r";
        text += IntToStr(r);
        if (c) {
          text += u' ';
          text += IntToStr(c);
        }
        grid->SetCell(c, r, text);
      }
  }
  FormPtr<TForm> form;
  TXrGrid* grid = nullptr;
};

TEST_F(XrGridTest, CreationDefaults) {
  EXPECT_EQ(grid->DefaultRowHeight(), 17);
  EXPECT_EQ(grid->Height(), 147);
  EXPECT_EQ(grid->RowCount(), 8);
  EXPECT_EQ(grid->RowsDisplayed(), 7);
  EXPECT_FALSE(grid->AutoInsert());
  EXPECT_FALSE(grid->AutoDelete());
  EXPECT_FALSE(grid->LeftColNumber());
  EXPECT_EQ(grid->VisibleRowCount(), 7);
  grid->SetRowsDisplayed(3);
  EXPECT_EQ(grid->RowCount(), 8);  // never lowered
  grid->SetRowsDisplayed(10);
  EXPECT_EQ(grid->RowCount(), 11);
  grid->SetRowsDisplayed(INT32_MAX);  // clamped, no overflow
  EXPECT_EQ(grid->RowCount(), TStringGrid::kMaxRows);
}

struct KeyCase {
  const char* name;
  bool autoInsert, autoDelete, topRowTitle;
  int rows, row;
  WORD key;
  TShiftState shift;
  int expectRows, expectRow;
  int inserts, deletes;
};

TEST_F(XrGridTest, KeyHandlingTable) {
  const KeyCase cases[] = {
      {"down on last row appends", true, false, false, 5, 4, VK_DOWN, 0, 6, 5, 0, 0},
      {"down elsewhere only moves", true, false, false, 5, 2, VK_DOWN, 0, 5, 3, 0, 0},
      {"down without AutoInsert", false, false, false, 5, 4, VK_DOWN, 0, 5, 4, 0, 0},
      {"insert at row 2", true, false, false, 5, 2, VK_INSERT, 0, 6, 2, 1, 0},
      {"insert with shift too", true, false, false, 5, 2, VK_INSERT, ssShift, 6, 2, 1, 0},
      {"insert without AutoInsert", false, false, false, 5, 2, VK_INSERT, 0, 5, 2, 0, 0},
      {"ctrl+delete mid row", false, true, false, 6, 2, VK_DELETE, ssCtrl, 5, 2, 0, 1},
      {"delete without ctrl", false, true, false, 6, 2, VK_DELETE, 0, 6, 2, 0, 0},
      {"ctrl+delete without AutoDelete", false, false, false, 6, 2, VK_DELETE, ssCtrl, 6, 2, 0, 0},
      // Two rows with a title row: the row is emptied, none deleted.
      {"two rows with title", false, true, true, 2, 1, VK_DELETE, ssCtrl, 4, 1, 0, 1},
      // Two rows without the title flag: still never below the fixed row and one more.
      {"two rows without title", false, true, false, 2, 1, VK_DELETE, ssCtrl, 4, 1, 0, 1},
      // Falling below RowsDisplayed + 1 (3 + 1) adds empty rows at the end.
      {"refill to RowsDisplayed", false, true, false, 4, 3, VK_DELETE, ssCtrl, 4, 2, 0, 1},
  };
  for (const KeyCase& k : cases) {
    SCOPED_TRACE(k.name);
    grid->SetRowsDisplayed(3);
    grid->SetRowCount(k.rows);
    grid->SetRowCount(k.rows);
    for (int r = 0; r < 12; ++r)
      for (int c = 0; c < 3; ++c) grid->SetCell(c, r, String());
    Fill();
    grid->SetAutoInsert(k.autoInsert);
    grid->SetAutoDelete(k.autoDelete);
    grid->SetTopRowTitle(k.topRowTitle);
    grid->SetRow(k.row);
    ASSERT_EQ(grid->Row(), k.row);
    int inserts = 0, deletes = 0;
    grid->OnInsert = [&](TObject* s) { EXPECT_EQ(s, grid); ++inserts; };
    grid->BeforeDelete = [&](TObject* s) { EXPECT_EQ(s, grid); ++deletes; };
    WORD key = k.key;
    grid->KeyDown(key, k.shift);
    EXPECT_EQ(grid->RowCount(), k.expectRows);
    EXPECT_EQ(grid->Row(), k.expectRow);
    EXPECT_EQ(inserts, k.inserts);
    EXPECT_EQ(deletes, k.deletes);
  }
}

TEST_F(XrGridTest, InsertMovesRowsDownAndEmptiesTheCurrentOne) {
  grid->SetRowsDisplayed(3);
  grid->SetRowCount(5);
  Fill();
  grid->SetAutoInsert(true);
  grid->SetRow(2);
  WORD key = VK_INSERT;
  grid->KeyDown(key, 0);
  ASSERT_EQ(grid->RowCount(), 6);
  EXPECT_EQ(grid->Cells(0, 1), u"r1");
  EXPECT_EQ(grid->Cells(0, 2), u"");
  EXPECT_EQ(grid->Cells(2, 2), u"");
  EXPECT_EQ(grid->Cells(0, 3), u"r2");
  EXPECT_EQ(grid->Cells(2, 5), u"r4 2");
  EXPECT_EQ(grid->Row(), 2);
}

TEST_F(XrGridTest, InsertKeepsFixedColumns) {
  grid->SetFixedCols(1);
  grid->SetRowsDisplayed(3);
  grid->SetRowCount(4);
  Fill();
  grid->SetAutoInsert(true);
  grid->SetRow(1);
  grid->InsertRow();
  EXPECT_EQ(grid->Cells(0, 1), u"r1");  // the fixed column stays
  EXPECT_EQ(grid->Cells(1, 1), u"");
  EXPECT_EQ(grid->Cells(1, 2), u"r1 1");
  EXPECT_EQ(grid->Cells(0, 4), u"");
}

TEST_F(XrGridTest, DeleteEmptiesEveryColumnAndMovesRowsUp) {
  grid->SetFixedCols(1);
  grid->SetRowsDisplayed(3);
  grid->SetRowCount(7);
  Fill();
  grid->SetRow(2);
  grid->DeleteCurrentRow();
  EXPECT_EQ(grid->RowCount(), 6);
  EXPECT_EQ(grid->Cells(0, 2), u"r3");
  EXPECT_EQ(grid->Cells(1, 2), u"r3 1");
  EXPECT_EQ(grid->Row(), 2);
  grid->SetTopRowTitle(true);
  grid->SetRowCount(2);
  grid->SetRowsDisplayed(1);
  Fill();
  grid->SetRow(1);
  grid->DeleteCurrentRow();
  EXPECT_EQ(grid->RowCount(), 2);
  EXPECT_EQ(grid->Cells(0, 1), u"");  // fixed column emptied too
}

// Without fixed rows the title flag alone keeps the first row from being deleted.
TEST_F(XrGridTest, TitleRowFlagDecidesTheLastDeletion) {
  grid->SetFixedRows(0);
  grid->SetRowsDisplayed(0);
  for (bool title : {true, false}) {
    SCOPED_TRACE(title);
    grid->SetRowCount(2);
    Fill();
    grid->SetTopRowTitle(title);
    grid->SetRow(1);
    grid->DeleteCurrentRow();
    EXPECT_EQ(grid->RowCount(), title ? 2 : 1);
    EXPECT_EQ(grid->Cells(0, 1), u"");
  }
}

// A refusal from OnSelectCell is heard but does not stop the move.
TEST_F(XrGridTest, SelectionIsAlwaysAllowed) {
  int asked = 0;
  grid->OnSelectCell = [&](TObject*, int, int, bool& can) {
    ++asked;
    can = false;
  };
  grid->FocusCell(2, 3);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(grid->Col(), 2);
  EXPECT_EQ(grid->Row(), 3);
}

// OnInsert sees the row already made; BeforeDelete sees the row still whole.
TEST_F(XrGridTest, EventsSeeTheRowsAtTheirMoment) {
  grid->SetRowsDisplayed(3);
  grid->SetRowCount(6);
  Fill();
  grid->SetRow(2);
  int inserts = 0, deletes = 0;
  grid->OnInsert = [&](TObject*) {
    ++inserts;
    EXPECT_EQ(grid->RowCount(), 7);
    EXPECT_EQ(grid->Cells(1, 2), u"");
    EXPECT_EQ(grid->Cells(1, 3), u"r2 1");
  };
  grid->InsertRow();
  grid->BeforeDelete = [&](TObject*) {
    ++deletes;
    EXPECT_EQ(grid->RowCount(), 7);
    EXPECT_EQ(grid->Cells(0, 3), u"r2");
  };
  grid->SetRow(3);
  grid->DeleteCurrentRow();
  EXPECT_EQ(inserts, 1);
  EXPECT_EQ(deletes, 1);
  EXPECT_EQ(grid->Cells(0, 3), u"r3");
}

// At the row limit an insert cannot add a row: it must not push the last row out.
TEST_F(XrGridTest, RowLimitLosesNoRow) {
  grid->SetRowsDisplayed(INT32_MAX);
  ASSERT_EQ(grid->RowCount(), TStringGrid::kMaxRows);
  const int last = TStringGrid::kMaxRows - 1;
  grid->SetCell(1, last, u"last");
  grid->SetCell(1, 1, u"first");
  grid->SetRow(1);
  int inserts = 0;
  grid->OnInsert = [&](TObject*) { ++inserts; };
  grid->InsertRow();
  EXPECT_EQ(grid->RowCount(), TStringGrid::kMaxRows);
  EXPECT_EQ(grid->Cells(1, last), u"last");
  EXPECT_EQ(grid->Cells(1, 1), u"first");
  EXPECT_EQ(inserts, 0);
  // The refill after a deletion is clamped the same way, not wrapped.
  grid->SetRowCount(5);
  grid->DeleteCurrentRow();
  EXPECT_EQ(grid->RowCount(), TStringGrid::kMaxRows);
}

TEST_F(XrGridTest, KeysArriveThroughTheWindow) {
  grid->SetRowsDisplayed(3);
  grid->SetRowCount(4);
  grid->SetAutoInsert(true);
  grid->SetFocus();
  grid->SetRow(3);
  PostMessageW(grid->Handle(), WM_KEYDOWN, VK_DOWN, 1);
  gui_test::Pump();
  EXPECT_EQ(grid->RowCount(), 5);
  EXPECT_EQ(grid->Row(), 4);
  // Ctrl held as the keyboard state says.
  grid->SetAutoDelete(true);
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  SendMessageW(grid->Handle(), WM_KEYDOWN, VK_DELETE, 1);
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
  EXPECT_EQ(grid->RowCount(), 4);
}

TEST_F(XrGridTest, RowNumbersDrawnAtTheirOffsets) {
  grid->SetLeftColNumber(false);
  EXPECT_EQ(grid->ColWidths(0), 25);
  grid->SetColWidth(0, 40);
  grid->SetLeftColNumber(true);
  EXPECT_EQ(grid->ColWidths(0), 25);
  grid->SetRowCount(200);
  struct Row {
    int row, offset;
  } rows[] = {{7, 12}, {42, 7}, {123, 2}};
  for (const Row& r : rows) {
    grid->SetTopRow(r.row);
    ASSERT_EQ(grid->TopRow(), r.row);
    TRecordingCanvas canvas;
    grid->PaintTo(canvas);
    TRect cell = grid->CellRect(0, r.row);
    bool found = false;
    for (const auto& e : canvas.Entries)
      if (e.op == TRecordingCanvas::Op::TextOut && e.text == IntToStr(r.row)) {
        found = true;
        EXPECT_EQ(e.point.X, cell.Left + r.offset) << r.row;
        EXPECT_EQ(e.point.Y, cell.Top + 2) << r.row;
        EXPECT_EQ(e.brush.Color, clBtnFace);
      }
    EXPECT_TRUE(found) << r.row;
  }
  // Only the wholly visible scrolling rows are numbered.
  TRecordingCanvas canvas;
  grid->PaintTo(canvas);
  int numbers = 0;
  for (const auto& e : canvas.Entries)
    if (e.op == TRecordingCanvas::Op::TextOut) ++numbers;
  EXPECT_EQ(numbers, grid->VisibleRowCount());
  // A row cut off at the bottom gets no number either.
  grid->SetHeight(grid->Height() + 9);
  ASSERT_FALSE(grid->CellRect(0, grid->TopRow() + grid->VisibleRowCount()).IsEmpty());
  TRecordingCanvas cut;
  grid->PaintTo(cut);
  numbers = 0;
  for (const auto& e : cut.Entries)
    if (e.op == TRecordingCanvas::Op::TextOut) ++numbers;
  EXPECT_EQ(numbers, grid->VisibleRowCount());
}

class XrGridEditors : public XrGridTest {
protected:
  void SetUp() override {
    XrGridTest::SetUp();
    combo = form->Add<TComboBox>(TComboBoxArgs{.Bounds = {0, 0, 80, 21}, .Visible = false,
                                               .Items = {u"Alpha", u"Beta", u"Gamma"}});
    button = form->Add<TBitBtn>(TBitBtnArgs{.Bounds = {0, 0, 20, 20}, .Visible = false,
                                            .Caption = u"..."});
    TStringList list;
    list.AddObject(u"", nullptr);
    list.AddObject(u"", combo);
    list.AddObject(u"", button);
    grid->SetColComponents(list);
    Fill();
  }
  TComboBox* combo = nullptr;
  TBitBtn* button = nullptr;
};

TEST_F(XrGridEditors, ComboLaidOverTheSelectedCell) {
  grid->SetCell(1, 2, u"bEtA");
  grid->SetOptions(grid->Options() | goEditing);
  grid->FocusCell(1, 2);
  TRect r = grid->CellRect(1, 2);
  EXPECT_TRUE(combo->Visible());
  EXPECT_FALSE(button->Visible());
  EXPECT_EQ(combo->Top(), grid->Top() + r.Top);
  EXPECT_EQ(combo->Left(), grid->Left() + r.Left + 2);
  EXPECT_EQ(combo->Width(), grid->ColWidths(1) + 2);
  EXPECT_EQ(combo->Height(), 17);
  EXPECT_EQ(combo->ItemIndex(), 1);
  EXPECT_EQ(grid->Options() & goEditing, 0u);
  EXPECT_TRUE(combo->Focused() || GetParent(GetFocus()) == combo->Handle());
  grid->SetCell(1, 3, u"none");
  grid->FocusCell(1, 3);
  EXPECT_EQ(combo->ItemIndex(), -1);
}

TEST_F(XrGridEditors, EditorsLieInFrontOfTheGrid) {
  // Child windows made later lie behind the earlier ones; binding brings them forward.
  auto above = [&](HWND w) {
    for (HWND h = GetWindow(w, GW_HWNDNEXT); h; h = GetWindow(h, GW_HWNDNEXT))
      if (h == grid->Handle()) return true;
    return false;
  };
  EXPECT_TRUE(above(combo->Handle()));
  EXPECT_TRUE(above(button->Handle()));
}

// Editors on another parent than the grid's still land on the cell on screen.
TEST_F(XrGridEditors, EditorOnAnotherParentLandsOnTheCell) {
  auto* panel = form->Add<TPanel>(TPanelArgs{.Bounds = {30, 40, 380, 200}});
  auto* inner = panel->Add<TXrGrid>(TXrGridArgs{.Bounds = {15, 25, 300, 0}, .ColCount = 3,
                                                .FixedCols = 0});
  TStringList list;
  list.AddObject(u"", nullptr);
  list.AddObject(u"", combo);
  inner->SetColComponents(list);
  gui_test::Pump();
  inner->FocusCell(1, 3);
  TRect r = inner->CellRect(1, 3);
  TPoint gridAt = panel->ClientToScreen({inner->Left(), inner->Top()});
  TPoint comboAt = form->ClientToScreen({combo->Left(), combo->Top()});
  EXPECT_EQ(comboAt.X, gridAt.X + r.Left + 2);
  EXPECT_EQ(comboAt.Y, gridAt.Y + r.Top);
  EXPECT_TRUE(combo->Visible());
}

TEST_F(XrGridEditors, ButtonAtTheRightEndKeepsEditingAndFocus) {
  grid->SetFocus();
  grid->FocusCell(2, 1);
  TRect r = grid->CellRect(2, 1);
  EXPECT_TRUE(button->Visible());
  EXPECT_FALSE(combo->Visible());
  EXPECT_EQ(button->Left(), grid->Left() + r.Left + grid->ColWidths(2) - button->Width() + 3);
  EXPECT_EQ(button->Height(), 19);
  EXPECT_NE(grid->Options() & goEditing, 0u);
  EXPECT_TRUE(grid->Focused());
  TObject* clicked = nullptr;
  grid->OnButton1Click = [&](TObject* s) { clicked = s; };
  button->Click();
  EXPECT_EQ(clicked, button);
  // Column 0 has no editor: everything hidden, options unchanged.
  grid->FocusCell(0, 1);
  EXPECT_FALSE(button->Visible());
  EXPECT_NE(grid->Options() & goEditing, 0u);
}

// However the current cell moves or the grid scrolls, the editor lies over the current
// cell or is hidden, and a pick goes into the cell it was laid over and nowhere else.
TEST_F(XrGridEditors, EditorFollowsTheCurrentCellAcrossPagesAndScrolling) {
  grid->SetRowCount(40);
  Fill();
  const HWND h = grid->Handle();
  auto key = [h](WORD vk, bool ctrl) {
    return [h, vk, ctrl] {
      BYTE keys[256];
      GetKeyboardState(keys);
      const BYTE before = keys[VK_CONTROL];
      if (ctrl) keys[VK_CONTROL] = 0x80;
      SetKeyboardState(keys);
      SendMessageW(h, WM_KEYDOWN, vk, 1);
      SendMessageW(h, WM_KEYUP, vk, LPARAM(0xC0000001));
      keys[VK_CONTROL] = before;
      SetKeyboardState(keys);
    };
  };
  auto wheel = [h](int notches) {
    return [h, notches] { SendMessageW(h, WM_MOUSEWHEEL, WheelWParam(notches), 0); };
  };
  auto bar = [h](int code) { return [h, code] { SendMessageW(h, WM_VSCROLL, MAKEWPARAM(code, 0), 0); }; };
  const struct Case {
    const char* name;
    int startRow, startTop;
    std::function<void()> act;
  } cases[] = {
      {"PageDown", 4, 1, key(VK_NEXT, false)},
      {"PageUp", 30, 25, key(VK_PRIOR, false)},
      {"Ctrl+Home", 30, 25, key(VK_HOME, true)},
      {"Ctrl+End", 4, 1, key(VK_END, true)},  // into column 2, which has the button
      {"wheel down", 4, 1, wheel(-1)},
      {"wheel up", 30, 25, wheel(1)},
      {"bar page down", 4, 1, bar(SB_PAGEDOWN)},
      {"bar line down", 4, 4, bar(SB_LINEDOWN)},  // the current row goes just out of view
      {"bar line up", 4, 3, bar(SB_LINEUP)},     // it stays in view, one row lower
      {"bar to the bottom", 4, 1, bar(SB_BOTTOM)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fill();
    grid->FocusCell(1, c.startRow);
    grid->SetTopRow(c.startTop);
    grid->FocusCell(1, c.startRow);
    ASSERT_TRUE(combo->Visible());
    ASSERT_EQ(combo->Top(), grid->Top() + grid->CellRect(1, c.startRow).Top);
    c.act();
    gui_test::Pump();
    const int col = grid->Col(), row = grid->Row();
    const TRect cell = grid->CellRect(col, row);
    const bool inView = row >= grid->TopRow() && row < grid->TopRow() + grid->VisibleRowCount();
    if (combo->Visible()) {
      EXPECT_EQ(col, 1);
      EXPECT_TRUE(inView);
      EXPECT_EQ(combo->Top(), grid->Top() + cell.Top);
      EXPECT_EQ(combo->Left(), grid->Left() + cell.Left + 2);
    }
    if (col == 1 && inView) {
      EXPECT_TRUE(combo->Visible());
    }
    if (button->Visible()) {
      EXPECT_EQ(col, 2);
      EXPECT_EQ(button->Top(), grid->Top() + cell.Top);
    }
    // A pick now goes into the cell the combo box is over, or, hidden, the one it was
    // last laid over; nowhere else.
    const int own = combo->Visible() ? row : c.startRow;
    combo->SetItemIndex(2);
    SendMessageW(form->Handle(), WM_COMMAND,
                 MAKEWPARAM(GetDlgCtrlID(combo->Handle()), CBN_SELCHANGE), LPARAM(combo->Handle()));
    if (combo->Visible()) {
      EXPECT_EQ(grid->Cells(1, row), u"Gamma");
    }
    for (int r = 1; r < grid->RowCount(); ++r)
      for (int cc = 0; cc < grid->ColCount(); ++cc)
        if (grid->Cells(cc, r) == u"Gamma") {
          EXPECT_TRUE(cc == 1 && r == own) << "written into " << cc << "," << r;
        }
  }
}

// Scrolled out of view and back: the editor hides, then comes back over its cell.
TEST_F(XrGridEditors, EditorHidesWhileItsCellIsScrolledAwayAndReturns) {
  grid->SetRowCount(40);
  grid->FocusCell(1, 3);
  ASSERT_TRUE(combo->Visible());
  SendMessageW(grid->Handle(), WM_MOUSEWHEEL, WheelWParam(-2), 0);
  EXPECT_EQ(grid->Row(), 3);
  EXPECT_FALSE(combo->Visible());
  SendMessageW(grid->Handle(), WM_MOUSEWHEEL, WheelWParam(2), 0);
  EXPECT_TRUE(combo->Visible());
  EXPECT_EQ(combo->Top(), grid->Top() + grid->CellRect(1, 3).Top);
  // A jump far above and back far below: the editor lands on the new cell each time.
  grid->FocusCell(1, 35);
  EXPECT_TRUE(combo->Visible());
  EXPECT_EQ(combo->Top(), grid->Top() + grid->CellRect(1, 35).Top);
  grid->FocusCell(1, 1);
  EXPECT_TRUE(combo->Visible());
  EXPECT_EQ(combo->Top(), grid->Top() + grid->CellRect(1, 1).Top);
  // From a column without an editor far down into one with it.
  grid->FocusCell(0, 2);
  EXPECT_FALSE(combo->Visible());
  grid->FocusCell(1, 30);
  EXPECT_TRUE(combo->Visible());
  EXPECT_EQ(combo->Top(), grid->Top() + grid->CellRect(1, 30).Top);
}

TEST_F(XrGridEditors, ComboChangeWritesTheCell) {
  grid->FocusCell(1, 4);
  combo->SetItemIndex(2);
  SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo->Handle()), CBN_SELCHANGE),
               LPARAM(combo->Handle()));
  EXPECT_EQ(grid->Cells(1, 4), u"Gamma");
}

TEST_F(XrGridEditors, EnterInTheComboHandsTheGridATab) {
  grid->SetOptions(grid->Options() | goTabs);
  grid->FocusCell(1, 2);
  WORD key = VK_RETURN;
  combo->KeyDown(key, 0);
  EXPECT_EQ(key, 0);
  EXPECT_TRUE(grid->Focused());
  gui_test::Pump();
  EXPECT_EQ(grid->Col(), 2);  // the Tab arrived and moved on
  EXPECT_EQ(grid->Row(), 2);
  EXPECT_TRUE(button->Visible());
  // With a modifier held the editor keeps the key.
  grid->FocusCell(1, 2);
  key = VK_RETURN;
  combo->KeyDown(key, ssShift);
  EXPECT_EQ(key, VK_RETURN);
  key = u'x';
  combo->KeyDown(key, 0);
  EXPECT_EQ(key, u'x');
}

// Navigation keys reach the grid as a whole key press: moved once, nothing left held.
TEST_F(XrGridEditors, NavigationKeysHandedBackToTheGrid) {
  grid->SetOptions(grid->Options() | goTabs);
  struct Case {
    WORD key;
    int col, row;
  } cases[] = {{VK_UP, 1, 2}, {VK_DOWN, 1, 4}, {VK_LEFT, 0, 3}, {VK_RIGHT, 2, 3},
               {VK_TAB, 2, 3}, {VK_RETURN, 2, 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    grid->FocusCell(1, 3);
    ASSERT_TRUE(combo->Visible());
    WORD key = c.key;
    combo->KeyDown(key, 0);
    EXPECT_EQ(key, 0);
    gui_test::Pump();
    EXPECT_EQ(grid->Col(), c.col);
    EXPECT_EQ(grid->Row(), c.row);
    WORD handed = c.key == VK_RETURN ? VK_TAB : c.key;
    EXPECT_EQ(GetAsyncKeyState(handed) & 0x8000, 0);
    EXPECT_EQ(GetKeyState(handed) & 0x8000, 0);
  }
  // With the list dropped down Enter belongs to the combo box.
  grid->FocusCell(1, 3);
  combo->SetDroppedDown(true);
  ASSERT_TRUE(combo->DroppedDown());
  WORD key = VK_RETURN;
  combo->KeyDown(key, 0);
  EXPECT_EQ(key, VK_RETURN);
  combo->SetDroppedDown(false);
  gui_test::Pump();
  EXPECT_EQ(grid->Col(), 1);
}

// Moving one row past either end scrolls the grid under the editor: it stays over
// the selected cell, also with more than one fixed row.
TEST_F(XrGridEditors, EditorStaysOverTheCellWhenTheGridScrollsByOneRow) {
  grid->SetRowCount(40);
  grid->SetFixedRows(2);
  Fill();
  grid->FocusCell(1, 2);
  const int visible = grid->VisibleRowCount();
  ASSERT_GT(visible, 1);
  auto overCell = [&] { return grid->Top() + grid->CellRect(1, grid->Row()).Top; };
  for (int i = 0; i < visible; ++i) {
    WORD key = VK_DOWN;
    grid->KeyDown(key, 0);
    EXPECT_EQ(combo->Top(), overCell()) << grid->Row();
  }
  EXPECT_EQ(grid->TopRow(), 3);
  for (int i = 0; i < visible; ++i) {
    WORD key = VK_UP;
    grid->KeyDown(key, 0);
    EXPECT_EQ(combo->Top(), overCell()) << grid->Row();
  }
  EXPECT_EQ(grid->TopRow(), 2);
}

// Without fixed rows the top row starts at 0 and is in view all the same.
TEST_F(XrGridEditors, TopRowWithoutFixedRowsGetsTheEditorInPlace) {
  grid->SetRowCount(40);
  grid->SetFixedRows(0);
  grid->SetTopRow(5);
  ASSERT_EQ(grid->TopRow(), 5);
  grid->FocusCell(1, 5);
  EXPECT_EQ(grid->TopRow(), 5);
  TRect r = grid->CellRect(1, 5);
  EXPECT_EQ(combo->Top(), grid->Top() + r.Top);
  EXPECT_EQ(combo->Left(), grid->Left() + r.Left + 2);
  // The row just above the view is scrolled to first.
  grid->ShowColEditor(1, 4);
  EXPECT_EQ(grid->TopRow(), 4);
  EXPECT_EQ(combo->Top(), grid->Top() + grid->CellRect(1, 4).Top);
}

// The row that moves up into the deleted row's place is selected again, so the
// editor shows its text.
TEST_F(XrGridEditors, DeletionReselectsTheRow) {
  grid->SetCell(1, 3, u"Gamma");
  grid->FocusCell(1, 2);
  ASSERT_EQ(combo->ItemIndex(), -1);
  grid->DeleteCurrentRow();
  EXPECT_EQ(grid->Row(), 2);
  EXPECT_TRUE(combo->Visible());
  EXPECT_EQ(combo->ItemIndex(), 2);
}

// Deleting the current last row moves the current row up without a selection: the
// editor goes with it, and a pick lands in the row now current.
TEST_F(XrGridEditors, DeletingTheLastRowTakesTheEditorToTheNewLastRow) {
  grid->SetAutoDelete(true);
  const struct Case {
    const char* name;
    int rowsDisplayed, rows;
  } cases[] = {
      {"the editor's row no longer there", 3, 6},
      {"the emptied row back at the end as the minimum", 7, 8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const int rows = c.rows;
    grid->SetRowsDisplayed(c.rowsDisplayed);
    grid->SetRowCount(rows);
    ASSERT_GE(grid->VisibleRowCount(), rows - 1);  // all in view: nothing scrolls
    Fill();
    grid->FocusCell(1, rows - 1);
    ASSERT_TRUE(combo->Visible());
    WORD key = VK_DELETE;
    grid->KeyDown(key, ssCtrl);
    const int row = grid->Row();
    ASSERT_EQ(row, rows - 2);
    ASSERT_TRUE(combo->Visible());
    EXPECT_EQ(combo->Top(), grid->Top() + grid->CellRect(1, row).Top);
    combo->SetItemIndex(2);
    SendMessageW(form->Handle(), WM_COMMAND,
                 MAKEWPARAM(GetDlgCtrlID(combo->Handle()), CBN_SELCHANGE), LPARAM(combo->Handle()));
    EXPECT_EQ(grid->Cells(1, row), u"Gamma");
  }
}

// A column out of view to the side scrolls the grid sideways only: the rows stay, and
// the editor comes over the cell once it is in view.
TEST_F(XrGridEditors, AnEditorColumnOutOfViewToTheSideLeavesTheRowsWhereTheyAre) {
  grid->SetRowCount(40);
  grid->SetColCount(12);
  TStringList list;
  for (int c = 0; c < 12; ++c) list.AddObject(u"", c == 1 || c == 9 ? combo : nullptr);
  grid->SetColComponents(list);
  Fill();
  const HWND h = grid->Handle();
  const struct Case {
    const char* name;
    int fromCol, toCol;
    std::function<void()> act;
  } cases[] = {
      {"a jump to the right", 1, 9, [&] { grid->FocusCell(9, 6); }},
      {"Right from the last column in view", 8, 9,
       [h] { SendMessageW(h, WM_KEYDOWN, VK_RIGHT, 1); }},
      {"Left back to a column scrolled away", 9, 1, [&] { grid->FocusCell(1, 6); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    grid->FocusCell(c.fromCol, 6);
    grid->SetTopRow(4);
    ASSERT_EQ(grid->TopRow(), 4);
    c.act();
    gui_test::Pump();
    EXPECT_EQ(grid->TopRow(), 4);
    EXPECT_EQ(grid->Col(), c.toCol);
    EXPECT_EQ(grid->Row(), 6);
    const TRect cell = grid->CellRect(c.toCol, 6);
    ASSERT_FALSE(cell.IsEmpty());
    EXPECT_TRUE(combo->Visible());
    EXPECT_EQ(combo->Top(), grid->Top() + cell.Top);
    EXPECT_EQ(combo->Left(), grid->Left() + cell.Left + 2);
  }
}

TEST_F(XrGridEditors, PrintableKeysDropTheComboDown) {
  grid->FocusCell(1, 2);
  Char key = u' ';
  combo->KeyPress(key);
  EXPECT_FALSE(combo->DroppedDown());  // a blank does not
  key = u'g';
  combo->KeyPress(key);
  EXPECT_EQ(key, u'g');  // passed on unchanged
  EXPECT_TRUE(combo->DroppedDown());
  combo->SetDroppedDown(false);
  key = u'!';  // the first code past the blank
  combo->KeyPress(key);
  EXPECT_TRUE(combo->DroppedDown());
  combo->SetDroppedDown(false);
}

TEST_F(XrGridEditors, DatePickerTakesTheCellDate) {
  auto* picker = form->Add<TDateTimePicker>(TDateTimePickerArgs{.Bounds = {0, 0, 100, 40}, .Visible = false});
  TStringList list;
  list.AddObject(u"", nullptr);
  list.AddObject(u"", picker);
  grid->SetColComponents(list);
  SYSTEMTIME d{};
  d.wYear = 2021;
  d.wMonth = 7;
  d.wDay = 14;
  grid->SetCell(1, 2, DateToShortText(d));
  grid->FocusCell(1, 2);
  EXPECT_TRUE(picker->Visible());
  const TRect cell = grid->CellRect(1, 2);
  EXPECT_EQ(picker->Height(), grid->DefaultRowHeight() + 4);
  EXPECT_EQ(picker->Top(), grid->Top() + cell.Top);
  EXPECT_EQ(picker->Left(), grid->Left() + cell.Left + 2);
  EXPECT_EQ(picker->Width(), grid->ColWidths(1) + 2);
  SYSTEMTIME shown = picker->DateTime();
  EXPECT_EQ(shown.wYear, 2021);
  EXPECT_EQ(shown.wMonth, 7);
  EXPECT_EQ(shown.wDay, 14);
  grid->SetCell(1, 3, u"no date");  // the picker keeps its date
  grid->FocusCell(1, 3);
  EXPECT_EQ(picker->DateTime().wDay, 14);
  picker->Perform(CN_NOTIFY, 0, [&] {
    static NMDATETIMECHANGE change{};
    change.nmhdr.hwndFrom = picker->Handle();
    change.nmhdr.code = DTN_DATETIMECHANGE;
    return LPARAM(&change);
  }());
  EXPECT_EQ(grid->Cells(1, 3), DateToShortText(d));
}

TEST_F(XrGridEditors, TimePickerWritesTheLongTimeAndHandsKeysBack) {
  auto* picker = form->Add<TDateTimePicker>(
      TDateTimePickerArgs{.Bounds = {0, 0, 100, 21}, .Visible = false, .Kind = dtkTime});
  TStringList list;
  list.AddObject(u"", nullptr);
  list.AddObject(u"", picker);
  grid->SetColComponents(list);
  grid->FocusCell(1, 2);
  SYSTEMTIME t = picker->DateTime();
  t.wHour = 14;
  t.wMinute = 35;
  t.wSecond = 9;
  picker->SetDateTime(t);
  NMDATETIMECHANGE change{};
  change.nmhdr.hwndFrom = picker->Handle();
  change.nmhdr.code = DTN_DATETIMECHANGE;
  picker->Perform(CN_NOTIFY, 0, LPARAM(&change));
  EXPECT_EQ(grid->Cells(1, 2), TimeToLongText(t));
  EXPECT_NE(grid->Cells(1, 2), DateToShortText(t));
  // The picker hands navigation keys back as the combo box does.
  WORD key = VK_DOWN;
  picker->KeyDown(key, 0);
  EXPECT_EQ(key, 0);
  gui_test::Pump();
  EXPECT_EQ(grid->Row(), 3);
}

// The editors are the form's: either side may go first without the other keeping a
// pointer to it.
TEST_F(XrGridEditors, AFreedEditorLeavesItsColumnWithoutOne) {
  form->RemoveControl(combo);
  ASSERT_EQ(grid->ColComponents().Objects(1), nullptr);
  EXPECT_EQ(grid->ColComponents().Objects(2), button);
  const unsigned options = grid->Options();
  grid->FocusCell(1, 2);  // the freed combo's column
  EXPECT_EQ(grid->Options(), options);
  EXPECT_FALSE(button->Visible());
  grid->FocusCell(2, 2);
  EXPECT_TRUE(button->Visible());
}

TEST_F(XrGridEditors, AFreedGridTakesItsHandlersBackFromTheEditors) {
  TObject* clicked = nullptr;
  form->RemoveControl(grid);
  grid = nullptr;
  ASSERT_FALSE(combo->OnChange);
  ASSERT_FALSE(combo->OnKeyPress);
  ASSERT_FALSE(combo->OnKeyDown);
  ASSERT_FALSE(button->OnClick);
  combo->Show();
  combo->SetItemIndex(2);
  SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo->Handle()), CBN_SELCHANGE),
               LPARAM(combo->Handle()));
  button->Show();
  SendMessageW(button->Handle(), BM_CLICK, 0, 0);
  // A handler set after the binding is the form's own and stays.
  auto* other = form->Add<TXrGrid>(TXrGridArgs{.Bounds = {10, 20, 360, 0}, .ColCount = 3});
  TStringList list;
  list.AddObject(u"", nullptr);
  list.AddObject(u"", nullptr);
  list.AddObject(u"", button);
  other->SetColComponents(list);
  button->OnClick = [&](TObject* s) { clicked = s; };
  form->RemoveControl(other);
  ASSERT_TRUE(button->OnClick);
  button->OnClick(button);
  EXPECT_EQ(clicked, button);
}

// Only a button with a picture is the button editor: a plain push button in the list
// is left alone like any other control (it gets its top, stays hidden, keeps its click).
TEST_F(XrGridEditors, APlainPushButtonIsNoButtonEditor) {
  auto* plain = form->Add<TButton>(TButtonArgs{.Bounds = {0, 0, 20, 20}, .Visible = false,
                                               .Caption = u"..."});
  int clicks = 0;
  plain->OnClick = [&](TObject*) { ++clicks; };
  TStringList list;
  list.AddObject(u"", nullptr);
  list.AddObject(u"", nullptr);
  list.AddObject(u"", plain);
  grid->SetColComponents(list);
  int fired = 0;
  grid->OnButton1Click = [&](TObject*) { ++fired; };
  const unsigned options = grid->Options();
  grid->FocusCell(2, 3);
  EXPECT_FALSE(plain->Visible());
  EXPECT_EQ(plain->Top(), grid->Top() + grid->CellRect(2, 3).Top);
  EXPECT_EQ(plain->Height(), 20);
  EXPECT_EQ(grid->Options(), options);
  plain->Click();
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(fired, 0);
  EXPECT_EQ(plain->ClassName(), u"TButton");
  EXPECT_EQ(button->ClassName(), u"TBitBtn");
}

TEST_F(XrGridEditors, EmptyListChangesNothing) {
  grid->SetColComponents(TStringList());
  unsigned options = grid->Options();
  grid->FocusCell(1, 2);
  EXPECT_EQ(grid->Options(), options);
  EXPECT_FALSE(combo->Visible());
}

TEST_F(XrGridEditors, AnObjectThatIsNoControlFailsTheSelection) {
  gui_test::ErrorRecorder errors;
  TStringList notAControl;
  TStringList list;
  list.AddObject(u"", nullptr);
  list.AddObject(u"", &notAControl);
  grid->SetColComponents(list);
  grid->SetFocus();
  grid->FocusCell(0, 1);
  PostMessageW(grid->Handle(), WM_KEYDOWN, VK_RIGHT, 1);
  gui_test::Pump();
  ASSERT_EQ(errors.Messages().size(), 1u);
  EXPECT_EQ(errors.Messages()[0], u"Invalid class typecast");
}

}  // namespace
