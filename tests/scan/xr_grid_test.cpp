#include "scan/xr_grid.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "tests/ui/gui_test.h"
#include "ui/forms.h"
#include "ui/recording_canvas.h"
#include "base/format.h"
#include "ui/std_controls.h"

namespace {

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
}

class XrGridEditors : public XrGridTest {
protected:
  void SetUp() override {
    XrGridTest::SetUp();
    combo = form->Add<TComboBox>(TComboBoxArgs{.Bounds = {0, 0, 80, 21}, .Visible = false,
                                               .Items = {u"Alpha", u"Beta", u"Gamma"}});
    button = form->Add<TButton>(TButtonArgs{.Bounds = {0, 0, 20, 20}, .Visible = false,
                                            .Caption = u"..."});
    TStringList list;
    list.AddObject(u"", nullptr);
    list.AddObject(u"", combo);
    list.AddObject(u"", button);
    grid->SetColComponents(list);
    Fill();
  }
  TComboBox* combo = nullptr;
  TButton* button = nullptr;
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

TEST_F(XrGridEditors, RowsOutOfViewKeepTheEditorWhereItIs) {
  grid->SetRowCount(40);
  grid->FocusCell(1, 3);
  int top = combo->Top();
  int last = grid->TopRow() + grid->VisibleRowCount();
  grid->FocusCell(2, last + 5);  // far below: the editor is not moved
  EXPECT_TRUE(combo->Visible());
  EXPECT_EQ(combo->Top(), top);
  // A jump back far above the top row does not place it either.
  grid->FocusCell(1, 1);
  EXPECT_TRUE(combo->Visible());
  EXPECT_EQ(combo->Top(), top);
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
}

TEST_F(XrGridEditors, DatePickerTakesTheCellDate) {
  auto* picker = form->Add<TDateTimePicker>(TDateTimePickerArgs{.Bounds = {0, 0, 100, 21}, .Visible = false});
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
  EXPECT_EQ(picker->Height(), 21);
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
