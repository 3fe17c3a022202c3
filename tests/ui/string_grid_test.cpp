#include "ui/string_grid.h"

#include <gtest/gtest.h>

#include <climits>

#include "tests/ui/gui_test.h"
#include "ui/forms.h"
#include "ui/recording_canvas.h"

namespace {

class StringGridTest : public ::testing::Test {
protected:
  void SetUp() override {
    form = MakeForm<TForm>(TFormArgs{.Caption = u"Grid", .ClientWidth = 400, .ClientHeight = 240});
    grid = form->Add<TStringGrid>(TStringGridArgs{
        .Bounds = {0, 0, 304, 151}, .ColCount = 4, .RowCount = 30, .FixedCols = 0,
        .DefaultColWidth = 70, .DefaultRowHeight = 17,
        .Options = goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goColSizing |
                   goFixedColClick});
    form->Show();
    gui_test::Pump();
  }
  void TearDown() override { form.reset(); }
  FormPtr<TForm> form;
  TStringGrid* grid = nullptr;
};

TEST_F(StringGridTest, LayoutOfCellsAndScrolling) {
  // Client 300 x 147 inside the 2-pixel border, less the vertical scroll bar.
  TRect client = grid->ClientRect();
  EXPECT_EQ(client.Height(), 147);
  EXPECT_EQ(grid->CellRect(0, 0), (TRect{0, 0, 70, 17}));
  EXPECT_EQ(grid->CellRect(1, 1), (TRect{71, 18, 141, 35}));
  EXPECT_EQ(grid->VisibleRowCount(), 7);
  grid->SetTopRow(10);
  EXPECT_EQ(grid->TopRow(), 10);
  EXPECT_EQ(grid->CellRect(0, 9), TRect{});  // scrolled out of view
  EXPECT_EQ(grid->CellRect(0, 10).Top, 18);
  EXPECT_EQ(grid->CellRect(0, 0).Top, 0);  // the title row stays
  // A partly visible last row is clipped to the client area.
  TRect part = grid->CellRect(0, grid->TopRow() + 7);
  EXPECT_EQ(part.Top, 18 + 7 * 18);
  EXPECT_EQ(part.Bottom, client.Bottom);
  grid->SetTopRow(1000);
  EXPECT_EQ(grid->TopRow(), 30 - 7);
  int col, row;
  grid->MouseToCell(75, 20, col, row);
  EXPECT_EQ(col, 1);
  EXPECT_EQ(row, grid->TopRow());
  SCROLLINFO si{sizeof(si), SIF_ALL};
  ASSERT_TRUE(GetScrollInfo(grid->Handle(), SB_VERT, &si));
  EXPECT_EQ(si.nPos, grid->TopRow());
  SendMessageW(grid->Handle(), WM_VSCROLL, SB_LINEUP, 0);
  EXPECT_EQ(grid->TopRow(), 22);
}

TEST_F(StringGridTest, KeyboardMovesTheSelection) {
  struct Step {
    WORD key;
    TShiftState shift;
    int col, row;
  } steps[] = {
      {VK_DOWN, 0, 0, 2},      {VK_RIGHT, 0, 1, 2},      {VK_END, 0, 3, 2},
      {VK_HOME, 0, 0, 2},      {VK_NEXT, 0, 0, 9},       {VK_END, ssCtrl, 3, 29},
      {VK_DOWN, 0, 3, 29},     {VK_HOME, ssCtrl, 0, 1},  {VK_UP, 0, 0, 1},
      {VK_LEFT, 0, 0, 1},
  };
  for (const Step& s : steps) {
    WORD key = s.key;
    grid->KeyDown(key, s.shift);
    EXPECT_EQ(grid->Col(), s.col) << s.key;
    EXPECT_EQ(grid->Row(), s.row) << s.key;
    TRect r = grid->CellRect(grid->Col(), grid->Row());
    EXPECT_FALSE(r.IsEmpty()) << "selection scrolled into view";
  }
  bool veto = true;
  grid->OnSelectCell = [&](TObject*, int, int, bool& can) { can = !veto; };
  WORD key = VK_DOWN;
  grid->KeyDown(key, 0);
  EXPECT_EQ(grid->Row(), 1);
}

TEST_F(StringGridTest, DraggingAColumnEdgeResizesIt) {
  int clicks = 0, resized = 0;
  grid->OnFixedCellClick = [&](TObject*, int, int) { ++clicks; };
  grid->OnColumnResized = [&](TObject*) { ++resized; };
  HWND h = grid->Handle();
  EXPECT_EQ(grid->SizingColumnAt(70, 5), 0);
  EXPECT_EQ(grid->SizingColumnAt(69, 30), -1);  // only in the title row
  EXPECT_EQ(grid->SizingColumnAt(35, 5), -1);
  SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(70, 5));
  SendMessageW(h, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(80, 5));
  SendMessageW(h, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(95, 6));
  SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(95, 6));
  EXPECT_EQ(grid->ColWidths(0), 95);
  EXPECT_EQ(grid->ColWidths(1), 70);
  EXPECT_EQ(resized, 1);
  EXPECT_EQ(clicks, 0);  // a resize drag is no title click
  // Dragging far to the left stops at zero width.
  SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(95 + 1 + 70, 5));
  SendMessageW(h, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-500, 5));
  SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(-500, 5));
  EXPECT_EQ(grid->ColWidths(1), 0);
  // Without goColSizing the edge is only a title click.
  grid->SetOptions(grid->Options() & ~goColSizing);
  EXPECT_EQ(grid->SizingColumnAt(95, 5), -1);
}

TEST_F(StringGridTest, TitleClickReportsTheFixedCell) {
  std::vector<std::pair<int, int>> clicks;
  grid->OnFixedCellClick = [&](TObject* s, int c, int r) {
    EXPECT_EQ(s, grid);
    clicks.push_back({c, r});
  };
  gui_test::Click(grid->Handle(), 105, 8);
  ASSERT_EQ(clicks.size(), 1u);
  EXPECT_EQ(clicks[0], std::make_pair(1, 0));
  // Pressed on one title, released on another: no click.
  SendMessageW(grid->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 8));
  SendMessageW(grid->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(160, 8));
  EXPECT_EQ(clicks.size(), 1u);
  // A data cell selects instead.
  gui_test::Click(grid->Handle(), 160, 40);
  EXPECT_EQ(clicks.size(), 1u);
  EXPECT_EQ(grid->Col(), 2);
  EXPECT_EQ(grid->Row(), 2);
}

TEST_F(StringGridTest, InPlaceEditorCommitsOnEnterAndDropsOnEscape) {
  grid->SetCell(1, 2, u"old");
  grid->FocusCell(1, 2);
  grid->ShowEditor();
  EXPECT_FALSE(grid->EditorMode());  // no goEditing
  grid->SetOptions(grid->Options() | goEditing);
  WORD key = VK_F2;
  grid->KeyDown(key, 0);
  ASSERT_TRUE(grid->EditorMode());
  HWND edit = GetFocus();
  ASSERT_NE(edit, grid->Handle());
  SetWindowTextW(edit, L"new");
  PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 1);
  gui_test::Pump();
  EXPECT_FALSE(grid->EditorMode());
  EXPECT_EQ(grid->Cells(1, 2), u"new");
  EXPECT_TRUE(grid->Focused());
  key = VK_F2;
  grid->KeyDown(key, 0);
  SetWindowTextW(GetFocus(), L"dropped");
  PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 1);
  gui_test::Pump();
  EXPECT_EQ(grid->Cells(1, 2), u"new");
  // Typing starts the editor with that character.
  SendMessageW(grid->Handle(), WM_CHAR, u'z', 1);
  ASSERT_TRUE(grid->EditorMode());
  PostMessageW(GetFocus(), WM_KEYDOWN, VK_DOWN, 1);
  gui_test::Pump();
  EXPECT_EQ(grid->Cells(1, 2), u"z");
  EXPECT_EQ(grid->Row(), 3);
}

TEST_F(StringGridTest, DrawCellRunsAfterTheDefaultDrawing) {
  grid->SetCell(2, 1, u"text");
  std::vector<std::tuple<int, int, TGridDrawState>> drawn;
  size_t entriesBefore = 0;
  TRecordingCanvas canvas;
  grid->OnDrawCell = [&](TObject*, int c, int r, TRect rect, TGridDrawState state) {
    drawn.push_back({c, r, state});
    if (c == 2 && r == 1) {
      entriesBefore = canvas.Entries.size();
      EXPECT_EQ(rect, grid->CellRect(2, 1));
      EXPECT_EQ(canvas.Entries.back().op, TRecordingCanvas::Op::TextRect);
      EXPECT_EQ(canvas.Entries.back().text, u"text");
    }
  };
  grid->FocusCell(0, 1);
  grid->PaintTo(canvas);
  EXPECT_GT(entriesBefore, 0u);
  bool titleFixed = false, selected = false;
  for (auto& [c, r, s] : drawn) {
    if (r == 0 && (s & gdFixed)) titleFixed = true;
    if (c == 0 && r == 1 && (s & gdSelected)) selected = true;
  }
  EXPECT_TRUE(titleFixed);
  EXPECT_TRUE(selected);
}

TEST_F(StringGridTest, CountsAndWidthsAreClamped) {
  grid->SetColWidth(0, INT_MAX);
  EXPECT_EQ(grid->ColWidths(0), TStringGrid::kMaxColWidth);
  grid->SetColWidth(0, -5);
  EXPECT_EQ(grid->ColWidths(0), 0);
  grid->SetRowCount(INT_MAX);
  EXPECT_EQ(grid->RowCount(), TStringGrid::kMaxRows);
  grid->SetTopRow(INT_MAX);
  EXPECT_EQ(grid->TopRow(), TStringGrid::kMaxRows - grid->VisibleRowCount());
  EXPECT_EQ(grid->CellRect(0, TStringGrid::kMaxRows - 1).Left, 0);
  grid->SetRowCount(0);
  EXPECT_EQ(grid->RowCount(), grid->FixedRows() + 1);
  grid->SetColCount(-3);
  EXPECT_EQ(grid->ColCount(), 1);
  EXPECT_EQ(grid->Cells(5, 5), u"");
  grid->SetCell(-1, 99, u"ignored");
  grid->DeleteRow(1);  // at the minimum: nothing is removed
  EXPECT_EQ(grid->RowCount(), 2);
}

}  // namespace
