// The base control: its properties, place, z-order and coordinates.
#include <algorithm>

#include "ui/control.h"
#include "ui/forms.h"
#include "ui/menus.h"

TControl::TControl(TWinControl* parent) : TComponent(parent), parent_(parent) {
  WindowProc = [this](TMessage& m) { WndProc(m); };
}

TControl::~TControl() {
  if (parent_) parent_->ChildGoing(this);
}

TForm* TControl::ParentForm() {
  TControl* c = this;
  while (c) {
    if (auto* f = dynamic_cast<TForm*>(c)) return f;
    c = c->parent_;
  }
  return nullptr;
}

void TControl::SetBounds(int left, int top, int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  TRect r = Bounds(left, top, width, height);
  if (r == bounds_) return;
  TRect old = bounds_;
  bounds_ = r;
  if (!IsWindowed() && parent_) {
    RECT o = old.ToRECT();
    if (parent_->HandleAllocated()) InvalidateRect(parent_->Handle(), &o, FALSE);
  }
  BoundsChanged();
  if (parent_ && align_ != alNone && align_ != alCustom) parent_->Realign();
}

void TControl::SetAlign(TAlign align) {
  if (align == align_) return;
  align_ = align;
  if (parent_) parent_->Realign();
}

void TControl::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  VisibleChanged();
  Perform(CM_VISIBLECHANGED, visible ? 1 : 0, 0);
  if (parent_ && align_ != alNone) parent_->Realign();
}

void TControl::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  EnabledChanged();
  Perform(CM_ENABLEDCHANGED, 0, 0);
}

const TFont& TControl::Font() const {
  if (font_) return *font_;
  if (parent_) return parent_->Font();
  static const TFont kDefault{};
  return kDefault;
}

void TControl::SetFont(const TFont& font) {
  font_ = font;
  FontChanged();
  Perform(CM_FONTCHANGED, 0, 0);
}

void TControl::SetFontColor(TColor color) {
  TFont f = Font();
  f.Color = color;
  SetFont(f);
}

TColor TControl::Color() const {
  if (color_) return *color_;
  if (parent_) return parent_->Color();
  return clBtnFace;
}

void TControl::SetColor(TColor color) {
  color_ = color;
  ColorChanged();
  Perform(CM_COLORCHANGED, 0, 0);
}

void TControl::SetCaption(const String& text) {
  if (text == caption_) return;
  caption_ = text;
  TextChanged();
  Perform(CM_TEXTCHANGED, 0, 0);
}

void TControl::SetHint(const String& hint) {
  hint_ = hint;
  HintChanged();
}

void TControl::SetShowHint(bool v) {
  parentShowHint_ = false;
  if (v == showHint_) return;
  showHint_ = v;
  NotifyChildren(CM_PARENTSHOWHINTCHANGED);
}

void TControl::SetParentShowHint(bool v) {
  if (v == parentShowHint_) return;
  parentShowHint_ = v;
  if (v) Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
}

void TControl::SetPopupMenu(TPopupMenu* menu) {
  if (menu == popupMenu_) return;
  // Referenced, not owned: whichever of the two goes first, the other forgets it.
  if (popupMenu_) RemoveFreeNotification(popupMenu_);
  popupMenu_ = menu;
  FreeNotification(menu);
}

void TControl::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == popupMenu_) popupMenu_ = nullptr;
}

void TControl::Invalidate() {}

void TControl::Repaint() {
  Invalidate();
  Update();
}

void TControl::Update() {
  if (parent_) parent_->Update();
}

void TControl::BringToFront() {
  if (parent_) parent_->MoveChildToFront(this);
  MovedToFront();
  Invalidate();
}

TPoint TControl::ClientToScreen(TPoint p) const {
  p.X += Left();
  p.Y += Top();
  return parent_ ? parent_->ClientToScreen(p) : p;
}

TPoint TControl::ScreenToClient(TPoint p) const {
  TPoint origin = ClientToScreen({0, 0});
  return {p.X - origin.X, p.Y - origin.Y};
}

LRESULT TControl::Perform(UINT msg, WPARAM wp, LPARAM lp) {
  TMessage m{msg, wp, lp, 0};
  WindowProc(m);
  return m.Result;
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}
