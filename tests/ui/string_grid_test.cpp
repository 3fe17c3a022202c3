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
        .Bounds = {0, 0, 304, 151}, .ColCount = 4, .FixedCols = 0, .DefaultColWidth = 70,
        .Options = goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goColSizing |
                   goFixedColClick,
        .RowCount = 30, .DefaultRowHeight = 17});
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

// Five 64-pixel columns need 5 * 64 + 4 lines = 324 pixels; narrower client areas cut
// the last column off, and only the scroll bar and the bring-into-view step reach it.
TEST(StringGridColumns, PartlyVisibleLastColumnScrollsIntoView) {
  struct Case {
    const char* name;
    int fixedCols, clientWidth, maxLeftCol;
  } cases[] = {
      {"cut off", 0, 283, 1},          {"cut off, one fixed", 1, 283, 2},
      {"exact fit", 0, 324, 0},        {"exact fit, one fixed", 1, 324, 1},
      {"one pixel short", 0, 323, 1},  {"one pixel short, one fixed", 1, 323, 2},
  };
  for (const Case& t : cases) {
    SCOPED_TRACE(t.name);
    gui_test::HangGuard guard(t.name);
    auto form = MakeForm<TForm>(TFormArgs{.Caption = u"Columns", .ClientWidth = 400,
                                          .ClientHeight = 200});
    // Three rows fit in the height, so no vertical bar narrows the client area.
    auto* grid = form->Add<TStringGrid>(TStringGridArgs{
        .Bounds = {0, 0, t.clientWidth + 4, 120}, .ColCount = 5, .FixedCols = t.fixedCols,
        .DefaultColWidth = 64, .RowCount = 3, .DefaultRowHeight = 17});
    form->Show();
    gui_test::Pump();
    ASSERT_EQ(grid->ClientRect().Width(), t.clientWidth);
    HWND h = grid->Handle();
    bool scrolls = t.maxLeftCol > t.fixedCols;
    EXPECT_EQ((GetWindowLongW(h, GWL_STYLE) & WS_HSCROLL) != 0, scrolls);
    auto lastColumnWhole = [&] {
      TRect r = grid->CellRect(4, grid->Row());
      return r.Width() == 64 && r.Right <= grid->ClientRect().Right;
    };

    gui_test::KeyDown(h, VK_END);
    EXPECT_EQ(grid->Col(), 4);
    EXPECT_EQ(grid->LeftCol(), t.maxLeftCol);
    EXPECT_TRUE(lastColumnWhole());
    gui_test::KeyDown(h, VK_HOME);
    EXPECT_EQ(grid->LeftCol(), t.fixedCols);
    for (int i = t.fixedCols; i < 4; ++i) gui_test::KeyDown(h, VK_RIGHT);
    EXPECT_EQ(grid->Col(), 4);
    EXPECT_TRUE(lastColumnWhole());
    gui_test::KeyDown(h, VK_RIGHT);
    EXPECT_EQ(grid->LeftCol(), t.maxLeftCol);

    grid->SetLeftCol(0);
    grid->FocusCell(t.fixedCols, 1);
    gui_test::Click(h, t.clientWidth - 3, 20);
    EXPECT_EQ(grid->Col(), 4);
    EXPECT_TRUE(lastColumnWhole());

    grid->SetLeftCol(0);
    SendMessageW(h, WM_HSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(grid->LeftCol(), t.maxLeftCol);
    SendMessageW(h, WM_HSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(grid->LeftCol(), t.maxLeftCol);
    SCROLLINFO si{sizeof(si), SIF_ALL};
    if (scrolls) {
      ASSERT_TRUE(GetScrollInfo(h, SB_HORZ, &si));
      EXPECT_EQ(si.nMax - int(si.nPage) + 1, t.maxLeftCol);
    }
  }
}

TEST(StringGridColumns, ScrollBarsComeAndGoTogether) {
  auto form = MakeForm<TForm>(TFormArgs{.Caption = u"Bars", .ClientWidth = 400,
                                        .ClientHeight = 200});
  // Three 17-pixel rows fill the 53-pixel client height exactly, and five 39-pixel
  // columns the 200-pixel width, until one column grows and the horizontal bar takes
  // its share of the height.
  auto* grid = form->Add<TStringGrid>(TStringGridArgs{
      .Bounds = {0, 0, 204, 57}, .ColCount = 5, .FixedCols = 0, .DefaultColWidth = 39,
      .RowCount = 3, .DefaultRowHeight = 17});
  form->Show();
  gui_test::Pump();
  HWND h = grid->Handle();
  EXPECT_FALSE(GetWindowLongW(h, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL));
  grid->SetColWidth(4, 64);
  LONG style = GetWindowLongW(h, GWL_STYLE);
  EXPECT_TRUE(style & WS_HSCROLL);
  EXPECT_TRUE(style & WS_VSCROLL);
  SCROLLINFO si{sizeof(si), SIF_ALL};
  ASSERT_TRUE(GetScrollInfo(h, SB_VERT, &si));
  EXPECT_EQ(si.nMax - int(si.nPage) + 1, 3 - grid->VisibleRowCount());
  gui_test::KeyDown(h, VK_END);
  EXPECT_EQ(grid->CellRect(4, 1).Width(), 64);
  // Narrow again: both bars go, though each alone would still leave too little room.
  grid->SetColWidth(4, 39);
  EXPECT_FALSE(GetWindowLongW(h, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL));
  EXPECT_EQ(grid->LeftCol(), 0);
  EXPECT_EQ(grid->TopRow(), 1);
}

}  // namespace
