#include "ui/string_grid.h"

#include <windowsx.h>

#include <algorithm>
#include <climits>

#include "base/win_string.h"
#include "ui/std_controls.h"

namespace {
const String kEmpty;
constexpr int kSizingMargin = 3;

int ClampInt(int64_t v) { return int(std::clamp<int64_t>(v, INT_MIN / 2, INT_MAX / 2)); }
}  // namespace

// The editor laid over the selected cell: Enter keeps the text, Escape drops it,
// Up and Down keep it and move the selection.
class TInplaceEdit : public TEdit {
public:
  TInplaceEdit(TWinControl* parent, TStringGrid* grid)
      : TEdit(parent, TEditArgs{.Visible = false, .BorderStyleNone = true}), grid_(grid) {
    tabStop_ = false;
  }
  int col = -1, row = -1;

  void KeyDown(WORD& key, TShiftState shift) override {
    TEdit::KeyDown(key, shift);
    if (key == VK_RETURN) {
      grid_->HideEditor(true);
      grid_->SetFocus();
      key = 0;
    } else if (key == VK_ESCAPE) {
      grid_->HideEditor(false);
      grid_->SetFocus();
      key = 0;
    } else if (key == VK_UP || key == VK_DOWN || (key == VK_TAB && (grid_->Options() & goTabs))) {
      WORD k = key;
      grid_->HideEditor(true);
      grid_->SetFocus();
      grid_->KeyDown(k, shift);
      key = 0;
    }
  }
  void WndProc(TMessage& m) override {
    if (m.Msg == WM_GETDLGCODE) {
      m.Result = DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS;
      return;
    }
    if (m.Msg == WM_KILLFOCUS && Visible()) {
      TEdit::WndProc(m);
      grid_->HideEditor(true);
      return;
    }
    TEdit::WndProc(m);
  }

private:
  TStringGrid* grid_;
};

TStringGrid::TStringGrid(TWinControl* parent, const TStringGridArgs& a)
    : TCustomControl(parent),
      colCount_(std::clamp(a.ColCount, 1, kMaxCols)),
      rowCount_(std::clamp(a.RowCount, 1, kMaxRows)),
      fixedCols_(std::clamp(a.FixedCols, 0, colCount_ - 1)),
      fixedRows_(std::clamp(a.FixedRows, 0, rowCount_ - 1)),
      defaultColWidth_(std::clamp(a.DefaultColWidth, 0, kMaxColWidth)),
      rowHeight_(std::clamp(a.DefaultRowHeight, 1, kMaxRowHeight)),
      options_(a.Options), drawingStyle_(a.DrawingStyle) {
  ApplyCommonArgs(a);
  if (!color_) color_ = clWindow;
  tabStop_ = true;
  col_ = fixedCols_;
  row_ = fixedRows_;
  topRow_ = fixedRows_;
  leftCol_ = fixedCols_;
  ResizeCells();
}

TStringGrid::~TStringGrid() = default;

void TStringGrid::FillCreateParams(CreateParams& p) {
  TCustomControl::FillCreateParams(p);
  p.Style |= WS_VSCROLL | WS_HSCROLL;
  p.ExStyle |= WS_EX_CLIENTEDGE;
}

void TStringGrid::HandleCreated() {
  editor_ = Add<TInplaceEdit>(this);
  UpdateScrollBars();
}

void TStringGrid::ResizeCells() {
  colWidths_.resize(size_t(colCount_), defaultColWidth_);
  // Rows hold only the cells written so far: a large row count costs little.
  cells_.resize(size_t(rowCount_));
  for (auto& r : cells_)
    if (r.size() > size_t(colCount_)) r.resize(size_t(colCount_));
}

void TStringGrid::SetColCount(int count) {
  count = std::clamp(count, fixedCols_ + 1, kMaxCols);
  if (count == colCount_) return;
  HideEditor(true);
  colCount_ = count;
  ResizeCells();
  col_ = std::min(col_, colCount_ - 1);
  leftCol_ = std::clamp(leftCol_, fixedCols_, MaxLeftCol());
  UpdateScrollBars();
  Invalidate();
}

void TStringGrid::SetRowCount(int count) {
  count = std::clamp(count, fixedRows_ + 1, kMaxRows);
  if (count == rowCount_) return;
  HideEditor(true);
  rowCount_ = count;
  ResizeCells();
  row_ = std::min(row_, rowCount_ - 1);
  topRow_ = std::clamp(topRow_, fixedRows_, MaxTopRow());
  UpdateScrollBars();
  Invalidate();
}

void TStringGrid::SetFixedCols(int count) {
  fixedCols_ = std::clamp(count, 0, colCount_ - 1);
  col_ = std::max(col_, fixedCols_);
  leftCol_ = std::clamp(leftCol_, fixedCols_, MaxLeftCol());
  UpdateScrollBars();
  Invalidate();
}

void TStringGrid::SetFixedRows(int count) {
  fixedRows_ = std::clamp(count, 0, rowCount_ - 1);
  row_ = std::max(row_, fixedRows_);
  topRow_ = std::clamp(topRow_, fixedRows_, MaxTopRow());
  UpdateScrollBars();
  Invalidate();
}

const String& TStringGrid::Cells(int col, int row) const {
  if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_) return kEmpty;
  const auto& r = cells_[size_t(row)];
  return size_t(col) < r.size() ? r[size_t(col)] : kEmpty;
}

void TStringGrid::SetCell(int col, int row, const String& text) {
  if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_) return;
  auto& r = cells_[size_t(row)];
  if (size_t(col) >= r.size()) {
    if (text.empty()) return;
    r.resize(size_t(col) + 1);
  }
  r[size_t(col)] = text;
  InvalidateCell(col, row);
}

int TStringGrid::ColWidths(int col) const {
  if (col < 0 || col >= colCount_) return defaultColWidth_;
  return colWidths_[size_t(col)];
}

void TStringGrid::SetColWidth(int col, int width) {
  if (col < 0 || col >= colCount_) return;
  width = std::clamp(width, 0, kMaxColWidth);
  if (colWidths_[size_t(col)] == width) return;
  colWidths_[size_t(col)] = width;
  HideEditor(true);
  UpdateScrollBars();
  Invalidate();
}

void TStringGrid::SetDefaultRowHeight(int height) {
  rowHeight_ = std::clamp(height, 1, kMaxRowHeight);
  topRow_ = std::clamp(topRow_, fixedRows_, MaxTopRow());
  UpdateScrollBars();
  Invalidate();
}

void TStringGrid::SetOptions(unsigned options) {
  if (options == options_) return;
  options_ = options;
  if (!(options_ & goEditing)) HideEditor(true);
  Invalidate();
}

int64_t TStringGrid::FixedWidth() const {
  int64_t w = 0;
  for (int c = 0; c < fixedCols_; ++c) w += int64_t(colWidths_[size_t(c)]) + lineWidth_;
  return w;
}

int64_t TStringGrid::FixedHeight() const { return int64_t(fixedRows_) * (rowHeight_ + lineWidth_); }

int64_t TStringGrid::ColumnX(int col) const {
  if (col < fixedCols_) {
    int64_t x = 0;
    for (int c = 0; c < col; ++c) x += int64_t(colWidths_[size_t(c)]) + lineWidth_;
    return x;
  }
  int64_t x = FixedWidth();
  if (col >= leftCol_)
    for (int c = leftCol_; c < col; ++c) x += int64_t(colWidths_[size_t(c)]) + lineWidth_;
  else
    for (int c = col; c < leftCol_; ++c) x -= int64_t(colWidths_[size_t(c)]) + lineWidth_;
  return x;
}

int64_t TStringGrid::RowY(int row) const {
  if (row < fixedRows_) return int64_t(row) * (rowHeight_ + lineWidth_);
  return FixedHeight() + int64_t(row - topRow_) * (rowHeight_ + lineWidth_);
}

int TStringGrid::VisibleRowCount() const {
  int64_t space = int64_t(ClientRect().Height()) - FixedHeight();
  int64_t n = space > 0 ? (space + lineWidth_) / (rowHeight_ + lineWidth_) : 0;
  return int(std::clamp<int64_t>(n, 0, rowCount_ - topRow_));
}

int TStringGrid::VisibleColCount() const {
  int64_t x = FixedWidth(), limit = ClientRect().Width();
  int n = 0;
  for (int c = leftCol_; c < colCount_; ++c) {
    x += colWidths_[size_t(c)];
    if (x > limit) break;
    x += lineWidth_;
    ++n;
  }
  return n;
}

int TStringGrid::MaxTopRow() const { return MaxTopRowFor(ClientRect().Height()); }

int TStringGrid::MaxLeftCol() const { return MaxLeftColFor(ClientRect().Width()); }

int TStringGrid::MaxTopRowFor(int64_t height) const {
  int64_t space = height - FixedHeight();
  int64_t fit = space > 0 ? (space + lineWidth_) / (rowHeight_ + lineWidth_) : 0;
  fit = std::max<int64_t>(fit, 1);
  return int(std::max<int64_t>(fixedRows_, rowCount_ - fit));
}

int TStringGrid::MaxLeftColFor(int64_t width) const {
  // The smallest left column from which every column to the last fits wholly; the last
  // column's right line may fall outside, as in VisibleColCount.
  int64_t limit = width - FixedWidth();
  int c = colCount_ - 1;
  int64_t used = colWidths_[size_t(c)];
  while (c > fixedCols_) {
    int64_t wider = used + colWidths_[size_t(c - 1)] + lineWidth_;
    if (wider > limit) break;
    used = wider;
    --c;
  }
  return std::max(c, fixedCols_);
}

TRect TStringGrid::CellRect(int col, int row) const {
  if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_) return {};
  if (row >= fixedRows_ && row < topRow_) return {};
  if (col >= fixedCols_ && col < leftCol_) return {};
  TRect client = ClientRect();
  int64_t x = ColumnX(col), y = RowY(row);
  if (x >= client.Right || y >= client.Bottom) return {};
  int64_t right = std::min<int64_t>(x + colWidths_[size_t(col)], client.Right);
  int64_t bottom = std::min<int64_t>(y + rowHeight_, client.Bottom);
  return TRect{ClampInt(x), ClampInt(y), ClampInt(right), ClampInt(bottom)};
}

void TStringGrid::MouseToCell(int x, int y, int& col, int& row) const {
  col = row = -1;
  int64_t fx = FixedWidth(), fy = FixedHeight();
  // Rows.
  if (y >= 0) {
    int64_t pitch = rowHeight_ + lineWidth_;
    if (y < fy) {
      row = int(y / pitch);
    } else {
      int64_t r = topRow_ + (y - fy) / pitch;
      if (r < rowCount_) row = int(r);
    }
  }
  if (x >= 0) {
    int64_t edge = 0;
    int first = 0;
    if (x >= fx) {
      edge = fx;
      first = leftCol_;
    }
    for (int c = first; c < colCount_; ++c) {
      int64_t next = edge + colWidths_[size_t(c)] + lineWidth_;
      if (x < next) {
        col = c;
        break;
      }
      edge = next;
      if (first == 0 && c + 1 == fixedCols_) break;
    }
  }
  if (col < 0 || row < 0) col = row = -1;
}

int TStringGrid::SizingColumnAt(int x, int y) const {
  if (!(options_ & goColSizing) || y < 0 || y >= FixedHeight()) return -1;
  for (int c = 0; c < colCount_; ++c) {
    if (c >= fixedCols_ && c < leftCol_) continue;
    int64_t right = ColumnX(c) + colWidths_[size_t(c)];
    if (right > ClientRect().Right + kSizingMargin) break;
    if (x >= right - kSizingMargin && x <= right + kSizingMargin) return c;
  }
  return -1;
}

void TStringGrid::InvalidateCell(int col, int row) {
  if (!handle_) return;
  TRect r = CellRect(col, row);
  if (r.IsEmpty()) return;
  RECT rc{r.Left, r.Top, r.Right + lineWidth_, r.Bottom + lineWidth_};
  InvalidateRect(handle_, &rc, FALSE);
}

bool TStringGrid::SelectCell(int col, int row) {
  bool can = true;
  if (OnSelectCell) OnSelectCell(this, col, row, can);
  return can;
}

void TStringGrid::FocusCell(int col, int row) {
  col = std::clamp(col, fixedCols_, colCount_ - 1);
  row = std::clamp(row, fixedRows_, rowCount_ - 1);
  if (!SelectCell(col, row)) return;
  HideEditor(true);
  InvalidateCell(col_, row_);
  col_ = col;
  row_ = row;
  // Into view.
  if (row_ < topRow_) SetTopRow(row_);
  int visible = std::max(VisibleRowCount(), 1);
  if (row_ >= topRow_ + visible) SetTopRow(row_ - visible + 1);
  if (col_ < leftCol_) SetLeftCol(col_);
  while (col_ > leftCol_ && ColumnX(col_) + colWidths_[size_t(col_)] > ClientRect().Right) {
    int before = leftCol_;
    SetLeftCol(leftCol_ + 1);
    if (leftCol_ == before) break;  // clamped: the column is as far in view as it gets
  }
  InvalidateCell(col_, row_);
}

void TStringGrid::SetTopRow(int row) {
  row = std::clamp(row, fixedRows_, MaxTopRow());
  if (row == topRow_) return;
  HideEditor(true);
  topRow_ = row;
  UpdateScrollBars();
  Invalidate();
  TopLeftChanged();
}

void TStringGrid::SetLeftCol(int col) {
  col = std::clamp(col, fixedCols_, MaxLeftCol());
  if (col == leftCol_) return;
  HideEditor(true);
  leftCol_ = col;
  UpdateScrollBars();
  Invalidate();
  TopLeftChanged();
}

void TStringGrid::UpdateScrollBars() {
  if (!handle_ || updatingScroll_) return;
  updatingScroll_ = true;
  // Decide both bars from the area without bars: one bar narrows the room for the
  // other, and deciding from the current client area could keep two bars that are no
  // longer needed.
  TRect client = ClientRect();
  LONG style = GetWindowLongW(handle_, GWL_STYLE);
  int barWidth = GetSystemMetrics(SM_CXVSCROLL), barHeight = GetSystemMetrics(SM_CYHSCROLL);
  int64_t width = int64_t(client.Width()) + ((style & WS_VSCROLL) ? barWidth : 0);
  int64_t height = int64_t(client.Height()) + ((style & WS_HSCROLL) ? barHeight : 0);
  bool horz = false, vert = false;
  for (int pass = 0; pass < 2; ++pass) {
    horz = MaxLeftColFor(width - (vert ? barWidth : 0)) > fixedCols_;
    vert = MaxTopRowFor(height - (horz ? barHeight : 0)) > fixedRows_;
  }
  int maxTop = MaxTopRowFor(height - (horz ? barHeight : 0));
  int maxLeft = MaxLeftColFor(width - (vert ? barWidth : 0));
  topRow_ = std::clamp(topRow_, fixedRows_, maxTop);
  leftCol_ = std::clamp(leftCol_, fixedCols_, maxLeft);
  SCROLLINFO si{sizeof(si), SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 0, 0, 0};
  if (vert) {
    si.nMin = fixedRows_;
    si.nMax = rowCount_ - 1;
    si.nPage = UINT(std::max(rowCount_ - maxTop, 1));
    si.nPos = topRow_;
  }
  SetScrollInfo(handle_, SB_VERT, &si, TRUE);
  si = SCROLLINFO{sizeof(si), SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 0, 0, 0};
  if (horz) {
    si.nMin = fixedCols_;
    si.nMax = colCount_ - 1;
    si.nPage = UINT(std::max(colCount_ - maxLeft, 1));
    si.nPos = leftCol_;
  }
  SetScrollInfo(handle_, SB_HORZ, &si, TRUE);
  updatingScroll_ = false;
}

void TStringGrid::Scrolled(int bar, int code) {
  bool vert = bar == SB_VERT;
  int pos = vert ? topRow_ : leftCol_;
  int page = vert ? std::max(VisibleRowCount(), 1) : std::max(VisibleColCount(), 1);
  switch (code) {
    case SB_LINEUP: --pos; break;
    case SB_LINEDOWN: ++pos; break;
    case SB_PAGEUP: pos -= page; break;
    case SB_PAGEDOWN: pos += page; break;
    case SB_TOP: pos = 0; break;
    case SB_BOTTOM: pos = INT_MAX / 2; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      SCROLLINFO si{sizeof(si), SIF_TRACKPOS, 0, 0, 0, 0, 0};
      GetScrollInfo(handle_, bar, &si);
      pos = si.nTrackPos;
      break;
    }
    default: return;
  }
  if (vert)
    SetTopRow(pos);
  else
    SetLeftCol(pos);
}

bool TStringGrid::EditorMode() const { return editor_ && editor_->Visible(); }

void TStringGrid::ShowEditor() {
  if (!editor_ || !(options_ & goEditing)) return;
  TRect r = CellRect(col_, row_);
  if (r.IsEmpty()) return;
  editor_->col = col_;
  editor_->row = row_;
  editor_->SetBounds(r.Left, r.Top, r.Width(), r.Height());
  editor_->SetCaption(Cells(col_, row_));
  editor_->Show();
  editor_->SetFocus();
  editor_->SelectAll();
}

void TStringGrid::HideEditor(bool commit) {
  if (!EditorMode()) return;
  int c = editor_->col, r = editor_->row;
  String text = editor_->GetText();
  editor_->Hide();
  if (commit) SetCell(c, r, text);
}

void TStringGrid::DeleteRow(int row) {
  if (row < 0 || row >= rowCount_ || rowCount_ <= fixedRows_ + 1) return;
  HideEditor(true);
  cells_.erase(cells_.begin() + row);
  --rowCount_;
  row_ = std::min(row_, rowCount_ - 1);
  const int top = topRow_;
  topRow_ = std::clamp(topRow_, fixedRows_, MaxTopRow());
  UpdateScrollBars();
  Invalidate();
  if (topRow_ != top) TopLeftChanged();
}

void TStringGrid::KeyDown(WORD& key, TShiftState shift) {
  TCustomControl::KeyDown(key, shift);
  if (key == 0) return;
  int page = std::max(VisibleRowCount(), 1);
  bool ctrl = (shift & ssCtrl) != 0;
  switch (key) {
    case VK_UP: FocusCell(col_, row_ - 1); break;
    case VK_DOWN: FocusCell(col_, row_ + 1); break;
    case VK_LEFT: FocusCell(col_ - 1, row_); break;
    case VK_RIGHT: FocusCell(col_ + 1, row_); break;
    case VK_PRIOR: FocusCell(col_, row_ - page); break;
    case VK_NEXT: FocusCell(col_, row_ + page); break;
    case VK_HOME: FocusCell(fixedCols_, ctrl ? fixedRows_ : row_); break;
    case VK_END: FocusCell(colCount_ - 1, ctrl ? rowCount_ - 1 : row_); break;
    case VK_TAB:
      if (!(options_ & goTabs)) return;
      if (shift & ssShift) {
        if (col_ > fixedCols_) FocusCell(col_ - 1, row_);
        else if (row_ > fixedRows_) FocusCell(colCount_ - 1, row_ - 1);
      } else {
        if (col_ < colCount_ - 1) FocusCell(col_ + 1, row_);
        else if (row_ < rowCount_ - 1) FocusCell(fixedCols_, row_ + 1);
      }
      break;
    case VK_F2:
    case VK_RETURN:
      ShowEditor();
      break;
    default: return;
  }
  key = 0;
}

void TStringGrid::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_GETDLGCODE:
      m.Result = DLGC_WANTARROWS | DLGC_WANTCHARS | ((options_ & goTabs) ? DLGC_WANTTAB : 0);
      if (options_ & goEditing) m.Result |= DLGC_WANTALLKEYS;
      return;
    case WM_CHAR:
      if ((options_ & goEditing) && m.WParam >= 32 && !EditorMode()) {
        ShowEditor();
        if (EditorMode()) {
          editor_->SetCaption(String(1, Char(m.WParam)));
          SendMessageW(editor_->Handle(), EM_SETSEL, 1, 1);
        }
        return;
      }
      break;
    case WM_VSCROLL:
    case WM_HSCROLL:
      Scrolled(m.Msg == WM_VSCROLL ? SB_VERT : SB_HORZ, LOWORD(m.WParam));
      return;
    case WM_MOUSEWHEEL:
      SetTopRow(topRow_ - GET_WHEEL_DELTA_WPARAM(m.WParam) / WHEEL_DELTA * 3);
      return;
    case WM_SIZE: {
      TCustomControl::WndProc(m);
      const int top = topRow_, left = leftCol_;
      topRow_ = std::clamp(topRow_, fixedRows_, MaxTopRow());
      leftCol_ = std::clamp(leftCol_, fixedCols_, MaxLeftCol());
      UpdateScrollBars();
      Invalidate();
      if (topRow_ != top || leftCol_ != left) TopLeftChanged();
      return;
    }
    case WM_SETCURSOR:
      if (LOWORD(m.LParam) == HTCLIENT) {
        POINT pt;
        GetCursorPos(&pt);
        ::ScreenToClient(handle_, &pt);
        if (sizingCol_ >= 0 || SizingColumnAt(pt.x, pt.y) >= 0) {
          ::SetCursor(CursorHandle(crSizeWE));
          m.Result = TRUE;
          return;
        }
      }
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      InvalidateCell(col_, row_);
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE:
    case WM_CAPTURECHANGED:
      OnMouse(m);
      break;
    default:
      break;
  }
  TCustomControl::WndProc(m);
}

void TStringGrid::OnMouse(TMessage& m) {
  int x = GET_X_LPARAM(m.LParam), y = GET_Y_LPARAM(m.LParam);
  switch (m.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      if (CanFocus() && !Focused() && !EditorMode()) SetFocus();
      int c = SizingColumnAt(x, y);
      if (c >= 0) {
        sizingCol_ = c;
        sizingStartX_ = x;
        sizingStartWidth_ = colWidths_[size_t(c)];
        sized_ = false;
        SetCapture(handle_);
        ::SetCursor(CursorHandle(crSizeWE));
        return;
      }
      int col, row;
      MouseToCell(x, y, col, row);
      pressCol_ = col;
      pressRow_ = row;
      if (col >= fixedCols_ && row >= fixedRows_) {
        if (m.Msg == WM_LBUTTONDBLCLK && col == col_ && row == row_)
          ShowEditor();
        else
          FocusCell(col, row);
      }
      return;
    }
    case WM_MOUSEMOVE:
      if (sizingCol_ >= 0) {
        int64_t w = int64_t(sizingStartWidth_) + (x - sizingStartX_);
        SetColWidth(sizingCol_, int(std::clamp<int64_t>(w, 0, kMaxColWidth)));
        sized_ = true;
        UpdateWindow(handle_);
      }
      return;
    case WM_LBUTTONUP: {
      if (sizingCol_ >= 0) {
        sizingCol_ = -1;
        ReleaseCapture();
        if (sized_ && OnColumnResized) OnColumnResized(this);
        pressCol_ = pressRow_ = -1;
        return;
      }
      int col, row;
      MouseToCell(x, y, col, row);
      bool same = col >= 0 && col == pressCol_ && row == pressRow_;
      pressCol_ = pressRow_ = -1;
      bool fixedHit = same && ((row < fixedRows_ && (options_ & goFixedColClick)) ||
                               (col < fixedCols_ && (options_ & goFixedRowClick)));
      if (fixedHit && OnFixedCellClick) OnFixedCellClick(this, col, row);
      return;
    }
    case WM_CAPTURECHANGED:
      if (sizingCol_ >= 0 && HWND(m.LParam) != handle_) sizingCol_ = -1;
      return;
    default:
      return;
  }
}

void TStringGrid::DrawCell(int col, int row, const TRect& rect, TGridDrawState state) {
  TCanvas& c = Canvas();
  c.Font = Font();
  if (state & gdFixed) {
    if (drawingStyle_ == gdsGradient) {
      c.GradientFill(rect, clWindow, clBtnFace);
      c.Brush = TBrush{clBtnFace, TBrushStyle::bsClear};
    } else {
      c.Brush = TBrush{clBtnFace};
      c.FillRect(rect);
    }
  } else if ((state & gdSelected) && (!(state & gdFocused) || (options_ & goDrawFocusSelected))) {
    c.Brush = TBrush{clHighlight};
    c.Font.Color = clHighlightText;
    c.FillRect(rect);
  } else {
    c.Brush = TBrush{Color()};
    c.FillRect(rect);
  }
  c.TextRect(rect, rect.Left + 2, rect.Top + 2, Cells(col, row));
  if (state & gdFixed) c.Brush = TBrush{clBtnFace};
  if (OnDrawCell) OnDrawCell(this, col, row, rect, state);
}

void TStringGrid::Paint() {
  TCanvas& c = Canvas();
  TRect client = ClientRect();
  c.Brush = TBrush{Color()};
  c.FillRect(client);
  bool hasFocus = Focused();
  int64_t gridRight = 0, gridBottom = 0;
  auto drawRow = [&](int row) {
    int64_t y = RowY(row);
    if (y >= client.Bottom) return false;
    for (int col = 0; col < colCount_; ++col) {
      if (col >= fixedCols_ && col < leftCol_) continue;
      int64_t x = ColumnX(col);
      if (x >= client.Right) break;
      TRect r = CellRect(col, row);
      if (r.IsEmpty() && colWidths_[size_t(col)] > 0) continue;
      TGridDrawState state = 0;
      bool fixed = col < fixedCols_ || row < fixedRows_;
      if (fixed) state |= gdFixed;
      if (!fixed && col == col_ && row == row_) {
        state |= gdSelected;
        if (hasFocus) state |= gdFocused;
      }
      if (!fixed && (options_ & goRowSelect) && row == row_) state |= gdSelected;
      if (!r.IsEmpty()) DrawCell(col, row, r, state);
      if ((state & gdFocused) && !(options_ & goRowSelect) && !EditorMode()) {
        RECT fr = r.ToRECT();
        if (auto* g = dynamic_cast<TGdiCanvas*>(&c)) DrawFocusRect(g->Handle(), &fr);
      }
      // Lines right and below the cell.
      bool vert = fixed ? (options_ & goFixedVertLine) : (options_ & goVertLine);
      bool horz = fixed ? (options_ & goFixedHorzLine) : (options_ & goHorzLine);
      TColor lineColor = fixed ? clBtnShadow : clSilver;
      int64_t right = x + colWidths_[size_t(col)], bottom = y + rowHeight_;
      c.Brush = TBrush{vert ? lineColor : Color()};
      c.FillRect(TRect{ClampInt(right), ClampInt(y), ClampInt(right + lineWidth_),
                       ClampInt(bottom + lineWidth_)});
      c.Brush = TBrush{horz ? lineColor : Color()};
      c.FillRect(TRect{ClampInt(x), ClampInt(bottom), ClampInt(right + lineWidth_),
                       ClampInt(bottom + lineWidth_)});
      gridRight = std::max(gridRight, right + lineWidth_);
    }
    gridBottom = y + rowHeight_ + lineWidth_;
    return true;
  };
  for (int row = 0; row < fixedRows_; ++row) drawRow(row);
  for (int row = topRow_; row < rowCount_; ++row)
    if (!drawRow(row)) break;
  (void)gridRight;
  (void)gridBottom;
}
