#include "scan/xr_grid.h"

#include <algorithm>
#include <functional>
#include <utility>

#include "base/exception.h"
#include "base/format.h"
#include "base/scope_exit.h"
#include "ui/std_controls.h"

namespace {
TStringGridArgs BaseArgs(const TXrGridArgs& a) {
  auto b = WithGridLayoutArgs(a);
  if (b.Bounds.Height == 0) b.Bounds.Height = 147;
  b.RowCount = 8;
  b.DefaultRowHeight = 17;
  return b;
}

constexpr int kRowNumberColumnWidth = 25;

// A handler the grid binds to an editor, recognisable as the grid's own.
template <typename... A>
struct TGridHandler {
  TXrGrid* Grid;
  void (TXrGrid::*Handler)(A...);
  void operator()(A... args) const { (Grid->*Handler)(args...); }
};

template <typename... A>
TGridHandler<A...> Bind(TXrGrid* grid, void (TXrGrid::*handler)(A...)) {
  return {grid, handler};
}

template <typename... A>
void Unbind(std::function<void(A...)>& event, const TXrGrid* grid) {
  const auto* bound = event.template target<TGridHandler<A...>>();
  if (bound && bound->Grid == grid) event = nullptr;
}
}  // namespace

TXrGrid::TXrGrid(TWinControl* parent, const TXrGridArgs& a)
    : TStringGrid(parent, BaseArgs(a)) {
  SetRowsDisplayed(a.RowsDisplayed);
  FAutoInsert = a.AutoInsert;
  FAutoDelete = a.AutoDelete;
  FTopRowTitle = a.TopRowTitle;
  if (a.LeftColNumber) SetLeftColNumber(true);
}

TXrGrid::~TXrGrid() { ReleaseEditors(); }

void TXrGrid::ReleaseEditors() {
  for (TComponent* obj : std::exchange(FEditors, {})) {
    if (auto* combo = dynamic_cast<TComboBox*>(obj)) {
      Unbind(combo->OnChange, this);
      Unbind(combo->OnKeyPress, this);
      Unbind(combo->OnKeyDown, this);
    } else if (auto* picker = dynamic_cast<TDateTimePicker*>(obj)) {
      Unbind(picker->OnChange, this);
      Unbind(picker->OnKeyDown, this);
    } else if (auto* button = dynamic_cast<TBitBtn*>(obj)) {
      Unbind(button->OnClick, this);
    }
    RemoveFreeNotification(obj);
  }
}

void TXrGrid::SetColComponents(const TStrings& list) {
  ReleaseEditors();
  FColComponents.Assign(list);
  for (int i = 0; i < FColComponents.Count(); ++i) {
    TObject* obj = FColComponents.Objects(i);
    if (auto* combo = dynamic_cast<TComboBox*>(obj)) {
      combo->OnChange = Bind(this, &TXrGrid::ComboEditorChange);
      combo->OnKeyPress = Bind(this, &TXrGrid::ComboEditorKeyPress);
      combo->OnKeyDown = Bind(this, &TXrGrid::EditorKeyDown);
      combo->BringToFront();
    } else if (auto* picker = dynamic_cast<TDateTimePicker*>(obj)) {
      picker->OnChange = Bind(this, &TXrGrid::DateEditorChange);
      picker->OnKeyDown = Bind(this, &TXrGrid::EditorKeyDown);
      picker->BringToFront();
    } else if (auto* button = dynamic_cast<TBitBtn*>(obj)) {
      button->OnClick = Bind(this, &TXrGrid::ButtonEditorClick);
      button->BringToFront();
    }
    if (auto* component = dynamic_cast<TComponent*>(obj)) {
      FreeNotification(component);
      if (std::find(FEditors.begin(), FEditors.end(), component) == FEditors.end())
        FEditors.push_back(component);
    }
  }
}

void TXrGrid::Notification(TComponent* component, TOperation operation) {
  TStringGrid::Notification(component, operation);
  if (operation != opRemove) return;
  FEditors.erase(std::remove(FEditors.begin(), FEditors.end(), component), FEditors.end());
  for (int i = 0; i < FColComponents.Count(); ++i)
    if (FColComponents.Objects(i) == component) FColComponents.SetObject(i, nullptr);
}

void TXrGrid::SetLeftColNumber(bool v) {
  FLeftColNumber = v;
  SetColWidth(0, kRowNumberColumnWidth);
}

void TXrGrid::SetRowsDisplayed(int v) {
  FRowsDisplayed = v;
  int64_t wanted = int64_t(v) + 1;
  if (RowCount() < wanted) SetRowCount(int(std::min<int64_t>(wanted, kMaxRows)));
}

int TXrGrid::RowNumberOffset(int row) {
  if (row >= 0 && row < 10) return 12;
  if (row >= 10 && row < 100) return 7;
  return 2;
}

void TXrGrid::Paint() {
  TStringGrid::Paint();
  if (!FLeftColNumber) return;
  TCanvas& c = Canvas();
  int last = TopRow() + VisibleRowCount();
  for (int r = TopRow(); r < last; ++r) {
    TRect rect = CellRect(0, r);
    if (rect.IsEmpty()) continue;
    c.Font = Font();
    c.Brush = TBrush{clBtnFace};
    c.TextOut(rect.Left + RowNumberOffset(r), rect.Top + DefaultRowHeight() - 15, IntToStr(r));
  }
}

bool TXrGrid::SelectCell(int acol, int arow) {
  TStringGrid::SelectCell(acol, arow);  // fires OnSelectCell; its answer is not used
  if (FColComponents.Count() < 1) return true;
  // A row wholly in view gets the editor now; for one further away the move scrolls,
  // and the editor follows the cell once it is in view (TopLeftChanged).
  int64_t offset = int64_t(arow) - TopRow();
  if (offset >= 0 && offset < VisibleRowCount()) {
    ShowColEditor(acol, arow);
  } else {
    HideEditors();
    FEditorCol = acol;
    FEditorRow = arow;
  }
  return true;
}

TPoint TXrGrid::GridOriginFor(const TControl& editor) const {
  if (editor.Parent() == Parent()) return {Left(), Top()};
  // Another parent: the grid's own position, carried over into that parent.
  TPoint p = Parent() ? Parent()->ClientToScreen({Left(), Top()}) : TPoint{Left(), Top()};
  return editor.Parent() ? editor.Parent()->ScreenToClient(p) : p;
}

void TXrGrid::HideEditors() {
  for (int i = 0; i < FColComponents.Count(); ++i)
    if (auto* control = dynamic_cast<TControl*>(FColComponents.Objects(i))) control->Hide();
}

bool TXrGrid::CellWhollyInView(int acol, int arow) const {
  const int64_t offset = int64_t(arow) - TopRow();
  if (offset < 0 || offset >= VisibleRowCount()) return false;
  const TRect rect = CellRect(acol, arow);
  return !rect.IsEmpty() && rect.Width() == ColWidths(acol);
}

bool TXrGrid::IsShownEditor(const TObject* sender) const {
  if (FEditorCol < 0 || FEditorCol >= FColComponents.Count()) return false;
  return sender && FColComponents.Objects(FEditorCol) == sender;
}

void TXrGrid::TopLeftChanged() {
  TStringGrid::TopLeftChanged();
  FollowCurrentCell();
}

void TXrGrid::FollowCurrentCell() {
  if (FFollowing || FEditorCol < 0) return;
  FFollowing = true;
  ScopeExit followed([this]() noexcept { FFollowing = false; });
  // The editor belongs to the current cell: laid over it again where it now is, or
  // hidden (and brought back once scrolling shows the cell again).
  if (CellWhollyInView(Col(), Row())) {
    ShowColEditor(Col(), Row());
  } else {
    HideEditors();
    FEditorCol = Col();
    FEditorRow = Row();
  }
}

void TXrGrid::ShowColEditor(int acol, int arow) {
  HideEditors();
  FEditorCol = FEditorRow = -1;
  if (acol < 0 || acol >= FColComponents.Count()) return;
  TObject* obj = FColComponents.Objects(acol);
  if (!obj) return;
  auto* editor = dynamic_cast<TControl*>(obj);
  if (!editor) throw EInvalidCast(u"Invalid class typecast");
  FEditorCol = acol;
  FEditorRow = arow;

  TRect rect = CellRect(acol, arow);
  // Only a row above the view is scrolled to: a top of 0 alone is the first row of a
  // grid without fixed rows, already in view, and a cell out of view to the side is no
  // reason to move the rows.
  if (rect.IsEmpty() && arow >= FixedRows() && arow < TopRow()) {
    // The scroll must not lay the editor over the current cell meanwhile.
    const bool following = std::exchange(FFollowing, true);
    ScopeExit restore([this, following]() noexcept { FFollowing = following; });
    SetTopRow(TopRow() - 1);
    rect = CellRect(acol, arow);
  }
  // Still out of view: hidden until scrolling shows the cell (TopLeftChanged).
  if (rect.IsEmpty()) return;
  TPoint origin = GridOriginFor(*editor);
  editor->SetTop(origin.Y + rect.Top);
  int left = origin.X + rect.Left + 2;
  int width = ColWidths(acol) + 2;
  if (auto* combo = dynamic_cast<TComboBox*>(editor)) {
    combo->SetBounds(left, combo->Top(), width, DefaultRowHeight());
    SetOptions(Options() & ~goEditing);
    combo->SetItemIndex(combo->FindExact(Cells(acol, arow)));
    combo->Show();
    combo->SetFocus();
  } else if (auto* picker = dynamic_cast<TDateTimePicker*>(editor)) {
    picker->SetBounds(left, picker->Top(), width, DefaultRowHeight() + 4);
    SetOptions(Options() & ~goEditing);
    SYSTEMTIME date;
    const String& text = Cells(acol, arow);
    if (!text.empty() && ShortTextToDate(text, date)) picker->SetDateTime(date);
    picker->Show();
    picker->SetFocus();
  } else if (auto* button = dynamic_cast<TBitBtn*>(editor)) {
    button->SetBounds(origin.X + rect.Left + ColWidths(acol) - button->Width() + 3, button->Top(),
                      button->Width(), DefaultRowHeight() + 2);
    SetOptions(Options() | goEditing);
    button->Show();
  }
}

void TXrGrid::ComboEditorChange(TObject* sender) {
  // Into the cell the combo box was laid over, never into another that became current.
  if (auto* combo = dynamic_cast<TComboBox*>(sender); combo && IsShownEditor(combo))
    SetCell(FEditorCol, FEditorRow, combo->GetText());
}

void TXrGrid::ComboEditorKeyPress(TObject* sender, Char& key) {
  auto* combo = dynamic_cast<TComboBox*>(sender);
  if (combo && key >= 33 && !combo->DroppedDown()) combo->SetDroppedDown(true);
}

void TXrGrid::DateEditorChange(TObject* sender) {
  auto* picker = dynamic_cast<TDateTimePicker*>(sender);
  if (!picker || !IsShownEditor(picker)) return;
  SYSTEMTIME t = picker->DateTime();
  SetCell(FEditorCol, FEditorRow,
          picker->Kind() == dtkTime ? TimeToLongText(t) : DateToShortText(t));
}

void TXrGrid::ButtonEditorClick(TObject* sender) {
  if (OnButton1Click) OnButton1Click(sender);
}

void TXrGrid::EditorKeyDown(TObject* sender, WORD& key, TShiftState shift) {
  if (shift != 0) return;
  if (auto* combo = dynamic_cast<TComboBox*>(sender); combo && combo->DroppedDown()) return;
  WORD handed;
  switch (key) {
    case VK_TAB:
    case VK_RETURN: handed = VK_TAB; break;
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN: handed = key; break;
    default: return;
  }
  key = 0;
  SetFocus();
  // Queued for the grid's own window, so the editor's handler is left first.
  if (HandleAllocated()) {
    PostMessageW(Handle(), WM_KEYDOWN, handed, 1);
    PostMessageW(Handle(), WM_KEYUP, handed, LPARAM(0xC0000001));
  }
}

void TXrGrid::KeyDown(WORD& key, TShiftState shift) {
  if (key == VK_DOWN && FAutoInsert && Row() == RowCount() - 1)
    AppendRow();
  else if (key == VK_INSERT && FAutoInsert)
    InsertRow();
  else if (key == VK_DELETE && (shift & ssCtrl) && FAutoDelete)
    DeleteCurrentRow();
  TStringGrid::KeyDown(key, shift);
}

void TXrGrid::AppendRow() { SetRowCount(RowCount() + 1); }

void TXrGrid::InsertRow() {
  int y = Row();
  int before = RowCount();
  SetRowCount(before + 1);
  // At the row limit there is no new row: moving the rows down would drop the last one.
  if (RowCount() == before) return;
  for (int r = RowCount() - 1; r > y; --r)
    for (int c = FixedCols(); c < ColCount(); ++c) SetCell(c, r, Cells(c, r - 1));
  for (int c = FixedCols(); c < ColCount(); ++c) SetCell(c, y, String());
  if (OnInsert) OnInsert(this);
}

void TXrGrid::DeleteCurrentRow() {
  if (BeforeDelete) BeforeDelete(this);
  int y = Row();
  for (int c = 0; c < ColCount(); ++c) SetCell(c, y, String());
  bool enough = FTopRowTitle ? RowCount() > 2 : RowCount() > 1;
  // Never below the fixed rows and one more (the grid needs a row to select).
  if (enough && RowCount() > FixedRows() + 1) {
    DeleteRow(y);
    if (y < RowCount() - 1) SetRow(y);
  }
  int64_t wanted = int64_t(FRowsDisplayed) + 1;
  if (RowCount() < wanted) SetRowCount(int(std::min<int64_t>(wanted, kMaxRows)));
  // The last row gone, the current row moved up without a selection: the editor goes
  // with it instead of staying on a row that is no longer there.
  FollowCurrentCell();
}
