// The string grid, a window class of our own: cells of text, fixed title rows and
// columns, column widths (draggable), one row height, grid lines, scroll bars, a
// selected cell moved by keyboard and mouse, an in-place editor, and cell drawing
// with OnDrawCell after the default drawing.
#pragma once

#include <cstdint>
#include <vector>

#include "ui/control.h"

enum TGridOption : unsigned {
  goFixedVertLine = 1u << 0, goFixedHorzLine = 1u << 1, goVertLine = 1u << 2,
  goHorzLine = 1u << 3, goRangeSelect = 1u << 4, goDrawFocusSelected = 1u << 5,
  goColSizing = 1u << 7, goEditing = 1u << 9, goTabs = 1u << 10, goRowSelect = 1u << 11,
  goThumbTracking = 1u << 13, goFixedColClick = 1u << 16, goFixedRowClick = 1u << 17
};
enum TGridDrawStateFlag : unsigned { gdSelected = 1, gdFocused = 2, gdFixed = 4 };
using TGridDrawState = unsigned;
enum TGridDrawingStyle { gdsClassic, gdsGradient };

using TDrawCellEvent =
    std::function<void(TObject* sender, int col, int row, TRect rect, TGridDrawState state)>;
using TSelectCellEvent = std::function<void(TObject* sender, int col, int row, bool& canSelect)>;
using TFixedCellClickEvent = std::function<void(TObject* sender, int col, int row)>;

// The grid fields that a control built over the string grid takes as they are; they
// follow the control fields in every grid's argument struct.
#define QZ_GRID_LAYOUT_ARGS                                                                    \
  int ColCount = 5;                                                                            \
  int FixedCols = 1;                                                                           \
  int FixedRows = 1;                                                                           \
  int DefaultColWidth = 64;                                                                    \
  unsigned Options = goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect; \
  TGridDrawingStyle DrawingStyle = gdsClassic;

struct TStringGridArgs {
  QZ_CONTROL_ARGS
  QZ_GRID_LAYOUT_ARGS
  int RowCount = 5;
  int DefaultRowHeight = 24;
};

// The control and layout fields of another grid's arguments as the string grid's.
template <typename From>
TStringGridArgs WithGridLayoutArgs(const From& a) {
  auto b = WithControlArgs<TStringGridArgs>(a);
  b.ColCount = a.ColCount;
  b.FixedCols = a.FixedCols;
  b.FixedRows = a.FixedRows;
  b.DefaultColWidth = a.DefaultColWidth;
  b.Options = a.Options;
  b.DrawingStyle = a.DrawingStyle;
  return b;
}

class TInplaceEdit;

class TStringGrid : public TCustomControl {
public:
  // Limits that keep the layout arithmetic in range whatever a caller asks for.
  static constexpr int kMaxRows = 1 << 20;
  static constexpr int kMaxCols = 1 << 12;
  static constexpr int kMaxColWidth = 1 << 15;
  static constexpr int kMaxRowHeight = 1 << 12;

  TStringGrid(TWinControl* parent, const TStringGridArgs& args);
  ~TStringGrid() override;
  String ClassName() const override { return u"TStringGrid"; }

  int ColCount() const { return colCount_; }
  void SetColCount(int count);
  // Never below FixedRows + 1.
  int RowCount() const { return rowCount_; }
  void SetRowCount(int count);
  int FixedCols() const { return fixedCols_; }
  void SetFixedCols(int count);
  int FixedRows() const { return fixedRows_; }
  void SetFixedRows(int count);

  // Out-of-range cells read as empty and ignore writes.
  const String& Cells(int col, int row) const;
  void SetCell(int col, int row, const String& text);

  int ColWidths(int col) const;
  // Clamped to 0..kMaxColWidth.
  void SetColWidth(int col, int width);
  int DefaultColWidth() const { return defaultColWidth_; }
  int DefaultRowHeight() const { return rowHeight_; }
  void SetDefaultRowHeight(int height);

  unsigned Options() const { return options_; }
  void SetOptions(unsigned options);
  TGridDrawingStyle DrawingStyle() const { return drawingStyle_; }

  int Col() const { return col_; }
  int Row() const { return row_; }
  void SetCol(int col) { FocusCell(col, row_); }
  void SetRow(int row) { FocusCell(col_, row); }
  // Moves the selection when SelectCell allows it; scrolls it into view.
  void FocusCell(int col, int row);
  int TopRow() const { return topRow_; }
  void SetTopRow(int row);
  int LeftCol() const { return leftCol_; }
  void SetLeftCol(int col);
  // Scrolling rows that fit wholly in the client area from TopRow.
  int VisibleRowCount() const;
  int VisibleColCount() const;
  // The cell's rectangle in client coordinates, clipped to the client area; all zero
  // when the cell is out of view.
  TRect CellRect(int col, int row) const;
  // The cell at a client point; -1, -1 outside every cell.
  void MouseToCell(int x, int y, int& col, int& row) const;

  bool EditorMode() const;
  void ShowEditor();
  void HideEditor(bool commit = true);

  TDrawCellEvent OnDrawCell;
  TSelectCellEvent OnSelectCell;
  TFixedCellClickEvent OnFixedCellClick;
  TNotifyEvent OnColumnResized;

  // Removes a row: the rows below move up, RowCount drops by one.
  virtual void DeleteRow(int row);
  void KeyDown(WORD& key, TShiftState shift) override;
  void WndProc(TMessage& m) override;

  // The column whose right edge is near x in the title area, or -1 (a drag there
  // resizes the column).
  int SizingColumnAt(int x, int y) const;

protected:
  // Asks OnSelectCell; true when the move is allowed.
  virtual bool SelectCell(int col, int row);
  // After the first scrolling row or column in view has changed, whatever moved it.
  virtual void TopLeftChanged() {}
  // The default drawing of one cell, then OnDrawCell.
  virtual void DrawCell(int col, int row, const TRect& rect, TGridDrawState state);
  void Paint() override;
  void HandleCreated() override;
  void FillCreateParams(CreateParams& p) override;

private:
  friend class TInplaceEdit;
  int64_t ColumnX(int col) const;  // left edge in client coordinates (may be off-screen)
  int64_t RowY(int row) const;
  int64_t FixedWidth() const;
  int64_t FixedHeight() const;
  int MaxTopRow() const;
  int MaxLeftCol() const;
  // The same for a client area of the given size (with or without scroll bars).
  int MaxTopRowFor(int64_t height) const;
  int MaxLeftColFor(int64_t width) const;
  void UpdateScrollBars();
  void Scrolled(int bar, int code);
  void ResizeCells();
  void InvalidateCell(int col, int row);
  void OnMouse(TMessage& m);

  int colCount_, rowCount_, fixedCols_, fixedRows_;
  int defaultColWidth_, rowHeight_, lineWidth_ = 1;
  unsigned options_;
  TGridDrawingStyle drawingStyle_;
  std::vector<int> colWidths_;
  std::vector<std::vector<String>> cells_;  // [row][col]
  int col_, row_, topRow_, leftCol_;
  bool updatingScroll_ = false;
  // Mouse state: a column resize drag or a press on a fixed cell.
  int sizingCol_ = -1;
  int sizingStartX_ = 0, sizingStartWidth_ = 0;
  bool sized_ = false;
  int pressCol_ = -1, pressRow_ = -1;
  TInplaceEdit* editor_ = nullptr;
};
