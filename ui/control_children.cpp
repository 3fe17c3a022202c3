// A windowed control's children: their list and order, finding them, and laying out the
// aligned ones.
#include <algorithm>

#include "ui/control.h"
#include "ui/forms.h"

TWinControl::TWinControl(TWinControl* parent) : TControl(parent) {}

TWinControl::~TWinControl() {
  Destroying();
  DestroyHandle();
  controls_.clear();
}

void TWinControl::Destroying() {
  TControl::Destroying();
  for (auto& c : controls_) c->Destroying();
}

void TWinControl::InsertControl(std::unique_ptr<TControl> child) {
  TControl* c = child.get();
  if (c->parentShowHint_) c->showHint_ = ShowHint();
  controls_.push_back(std::move(child));
  c->Attach();
  if (c->Align() != alNone) Realign();
  if (!c->IsWindowed()) c->Invalidate();
}

TControl* TWinControl::FindChild(const String& name) const {
  for (auto& c : controls_) {
    if (c->Name() == name) return c.get();
    if (TControl* found = c->FindChild(name)) return found;
  }
  return nullptr;
}

void TWinControl::RemoveControl(TControl* child) {
  auto it = std::find_if(controls_.begin(), controls_.end(),
                         [child](auto& p) { return p.get() == child; });
  if (it == controls_.end()) return;
  if (mouseControl_ == child) mouseControl_ = nullptr;
  if (captureControl_ == child) captureControl_ = nullptr;
  child->Invalidate();
  child->Destroying();
  std::unique_ptr<TControl> owned = std::move(*it);
  controls_.erase(it);
  owned.reset();
  Realign();
}

void TWinControl::ChildGoing(TControl* child) {
  if (mouseControl_ == child) {
    mouseControl_ = nullptr;
    if (TForm* f = ParentForm()) f->HideControlHint(child);
  }
  if (captureControl_ == child) captureControl_ = nullptr;
}

void TWinControl::MoveChildToFront(TControl* child) {
  auto it = std::find_if(controls_.begin(), controls_.end(),
                         [child](auto& p) { return p.get() == child; });
  if (it != controls_.end()) std::rotate(it, it + 1, controls_.end());
}

void TWinControl::NotifyChildren(UINT msg) {
  for (auto& c : controls_) c->Perform(msg, 0, 0);
}

TControl* TWinControl::ControlAtPos(TPoint p) const {
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    TControl* c = it->get();
    if (c->IsWindowed() || !c->Visible() || !c->BoundsRect().Contains(p)) continue;
    if (c->Perform(CM_HITTEST, 0, MAKELPARAM(p.X - c->Left(), p.Y - c->Top())) != 0) return c;
  }
  return nullptr;
}

void TWinControl::Realign() {
  if (aligning_) return;
  aligning_ = true;
  TRect r = ClientRect();
  AdjustClientRect(r);
  for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient}) {
    for (auto& owned : controls_) {
      TControl* c = owned.get();
      if (c->Align() != a || !c->Visible()) continue;
      int w = std::max(r.Width(), 0), h = std::max(r.Height(), 0);
      switch (a) {
        case alTop:
          c->SetBounds(r.Left, r.Top, w, c->Height());
          r.Top += c->Height();
          break;
        case alBottom:
          c->SetBounds(r.Left, r.Bottom - c->Height(), w, c->Height());
          r.Bottom -= c->Height();
          break;
        case alLeft:
          c->SetBounds(r.Left, r.Top, c->Width(), h);
          r.Left += c->Width();
          break;
        case alRight:
          c->SetBounds(r.Right - c->Width(), r.Top, c->Width(), h);
          r.Right -= c->Width();
          break;
        default:
          c->SetBounds(r.Left, r.Top, w, h);
          break;
      }
    }
  }
  aligning_ = false;
}
