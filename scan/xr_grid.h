// The string grid of the main window: optional row numbers in the first column,
// per-column editors laid over the selected cell (combo box, date-time picker or
// button), keyboard row editing (append, insert, Ctrl+Delete) and a minimum row
// count.
#pragma once

#include <vector>

#include "base/string_list.h"
#include "ui/string_grid.h"

struct TXrGridArgs {
  QZ_CONTROL_ARGS
  QZ_GRID_LAYOUT_ARGS
  bool AutoInsert = false;
  bool AutoDelete = false;
  bool LeftColNumber = false;
  bool TopRowTitle = false;
  int RowsDisplayed = 7;
};

class TXrGrid : public TStringGrid {
public:
  TXrGrid(TWinControl* parent, const TXrGridArgs& args = {});
  ~TXrGrid() override;
  String ClassName() const override { return u"TXrGrid"; }

  bool AutoInsert() const { return FAutoInsert; }
  void SetAutoInsert(bool v) { FAutoInsert = v; }
  bool AutoDelete() const { return FAutoDelete; }
  void SetAutoDelete(bool v) { FAutoDelete = v; }
  // Entry i: the editor control of column i (its text is not used), or null. The
  // controls are referenced, not owned: an editor freed before the grid leaves its
  // entry null, and a grid freed first takes its handlers back from the editors.
  const TStrings& ColComponents() const { return FColComponents; }
  void SetColComponents(const TStrings& list);
  bool LeftColNumber() const { return FLeftColNumber; }
  // Also sets column 0 to 25 pixels, whatever the value.
  void SetLeftColNumber(bool v);
  bool TopRowTitle() const { return FTopRowTitle; }
  void SetTopRowTitle(bool v) { FTopRowTitle = v; }
  int RowsDisplayed() const { return FRowsDisplayed; }
  // Raises RowCount to RowsDisplayed + 1 when below; never lowers it.
  void SetRowsDisplayed(int v);

  TNotifyEvent OnButton1Click;
  TNotifyEvent BeforeDelete;
  TNotifyEvent OnInsert;

  void KeyDown(WORD& key, TShiftState shift) override;

  void AppendRow();
  void InsertRow();
  void DeleteCurrentRow();
  void ShowColEditor(int acol, int arow);

  // Bound to the editors by SetColComponents.
  void ComboEditorChange(TObject* sender);
  void ComboEditorKeyPress(TObject* sender, Char& key);
  void EditorKeyDown(TObject* sender, WORD& key, TShiftState shift);
  void DateEditorChange(TObject* sender);
  void ButtonEditorClick(TObject* sender);

  // Horizontal offset of the row number from the cell's left edge by digit count.
  static int RowNumberOffset(int row);

protected:
  bool SelectCell(int acol, int arow) override;
  void Paint() override;
  void Notification(TComponent* component, TOperation operation) override;
  // Scrolled: the editor follows the current cell, or hides while that is out of view.
  void TopLeftChanged() override;

private:
  // Takes the grid's handlers back from the listed editors (a handler set since by
  // someone else stays) and ends their free notifications.
  void ReleaseEditors();
  // The grid's client origin in the coordinates of the editor's parent.
  TPoint GridOriginFor(const TControl& editor) const;
  void HideEditors();
  // Lays the editor in use over the current cell, or hides it while that is out of view.
  void FollowCurrentCell();
  bool CellWhollyInView(int acol, int arow) const;
  // Whether sender is the editor shown for FEditorCol, FEditorRow (a pick goes there).
  bool IsShownEditor(const TObject* sender) const;

  bool FAutoInsert = false;
  bool FAutoDelete = false;
  TStringList FColComponents;
  // The components of FColComponents, each linked by a free notification: all alive.
  std::vector<TComponent*> FEditors;
  bool FLeftColNumber = false;
  bool FTopRowTitle = false;
  int FRowsDisplayed = 7;
  // The cell the editor was last laid over; -1 when none is in use.
  int FEditorCol = -1;
  int FEditorRow = -1;
  bool FFollowing = false;  // re-entry guard: placing an editor may scroll
};
