#include "ui/menus.h"

#include <algorithm>

#include "base/win_string.h"
#include "ui/application.h"
#include "ui/forms.h"

TMenuItem::TMenuItem(TMenu* menu, const TMenuItemArgs& a)
    : menu_(menu), name_(a.Name), caption_(a.Caption), enabled_(a.Enabled), visible_(a.Visible),
      checked_(a.Checked), command_(menu->NextCommand()) {
  OnClick = a.OnClick;
}

void TMenuItem::SetCaption(const String& caption) {
  caption_ = caption;
  menu_->Rebuild();
}

void TMenuItem::SetEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  menu_->Rebuild();
}

void TMenuItem::SetVisible(bool visible) {
  if (visible_ == visible) return;
  visible_ = visible;
  menu_->Rebuild();
}

void TMenuItem::SetChecked(bool checked) {
  if (checked_ == checked) return;
  checked_ = checked;
  menu_->Rebuild();
}

TMenuItem* TMenuItem::Add(const TMenuItemArgs& args) {
  items_.push_back(std::make_unique<TMenuItem>(menu_, args));
  menu_->Rebuild();
  return items_.back().get();
}

void TMenuItem::Click() {
  if (enabled_ && OnClick) OnClick(this);
}

TMainMenu::~TMainMenu() {
  // The form must not reach for this menu once it is gone.
  if (auto* form = dynamic_cast<TForm*>(TWinControl::FromHandle(window_))) form->MenuGone(this);
  Detach();
}

void TMainMenu::Detach() {
  if (window_ && IsWindow(window_) && GetMenu(window_) == handle_.get()) ::SetMenu(window_, nullptr);
  window_ = nullptr;
}

TMenuItem* TMenu::Add(const TMenuItemArgs& args) {
  items_.push_back(std::make_unique<TMenuItem>(this, args));
  Rebuild();
  return items_.back().get();
}

namespace {
// Depth first through every level: submenus nest as deep as the items do.
template <typename Pred>
TMenuItem* FindIn(TMenuItem& item, const Pred& pred) {
  if (pred(item)) return &item;
  for (int k = 0; k < item.Count(); ++k)
    if (TMenuItem* found = FindIn(*item.Items(k), pred)) return found;
  return nullptr;
}

template <typename Pred>
TMenuItem* FindIn(const std::vector<std::unique_ptr<TMenuItem>>& items, const Pred& pred) {
  for (auto& i : items)
    if (TMenuItem* found = FindIn(*i, pred)) return found;
  return nullptr;
}

// Item is a TMenuItem or a TMenu: anything with Count() and Items(k).
template <typename Items>
void Fill(HMENU menu, const Items& item) {
  for (int k = 0; k < item.Count(); ++k) {
    TMenuItem* sub = item.Items(k);
    if (!sub->Visible()) continue;
    if (sub->IsSeparator()) {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    } else if (sub->Count() > 0) {
      HMENU popup = CreatePopupMenu();
      Fill(popup, *sub);
      AppendMenuW(menu, MF_POPUP | (sub->Enabled() ? 0 : MF_GRAYED), UINT_PTR(popup),
                  W(sub->Caption()));
    } else {
      AppendMenuW(menu,
                  MF_STRING | (sub->Enabled() ? 0 : MF_GRAYED) | (sub->Checked() ? MF_CHECKED : 0),
                  sub->Command(), W(sub->Caption()));
    }
  }
}
}  // namespace

void TMenu::FillMenu(HMENU menu) const { Fill(menu, *this); }

TMenuItem* TMenu::Find(const String& name) const {
  return FindIn(items_, [&](const TMenuItem& i) { return i.Name() == name; });
}

TMenuItem* TMenu::FindCommand(UINT command) const {
  return FindIn(items_, [&](const TMenuItem& i) { return i.Command() == command; });
}

bool TMenu::DispatchCommand(UINT command) {
  TMenuItem* item = FindCommand(command);
  if (!item) return false;
  item->Click();
  return true;
}

HMENU TMainMenu::Handle() {
  if (!handle_) Rebuild();
  return handle_.get();
}

void TMainMenu::Rebuild() {
  HMENU bar = CreateMenu();
  for (auto& top : items_) {
    if (!top->Visible()) continue;
    if (top->Count() > 0) {
      HMENU popup = CreatePopupMenu();
      Fill(popup, *top);
      AppendMenuW(bar, MF_POPUP | (top->Enabled() ? 0 : MF_GRAYED), UINT_PTR(popup),
                  W(top->Caption()));
    } else {
      AppendMenuW(bar, MF_STRING | (top->Enabled() ? 0 : MF_GRAYED), top->Command(),
                  W(top->Caption()));
    }
  }
  UniqueMenu old(handle_.release());
  handle_.reset(bar);
  if (window_) {
    // A menu bar that grows or shrinks must not change the client area.
    RECT before, after, frame;
    GetClientRect(window_, &before);
    ::SetMenu(window_, bar);
    DrawMenuBar(window_);
    GetClientRect(window_, &after);
    int dh = (before.bottom - before.top) - (after.bottom - after.top);
    if (dh != 0 && GetWindowRect(window_, &frame))
      SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top + dh,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void TMainMenu::AttachTo(HWND window) {
  window_ = window;
  ::SetMenu(window, Handle());
  DrawMenuBar(window);
}

TPopupMenu::~TPopupMenu() { *alive_ = false; }

void TPopupMenu::Notification(TComponent* component, TOperation operation) {
  TMenu::Notification(component, operation);
  if (operation == opRemove && component == popupComponent_) popupComponent_ = nullptr;
}

void TPopupMenu::Popup(int x, int y) {
  // Handlers run inside (OnPopup, and every message while the menu shows) may free it.
  const std::shared_ptr<bool> alive = alive_;
  if (OnPopup) OnPopup(this);
  if (!*alive) return;
  UniqueMenu menu(CreatePopupMenu());
  if (!menu) return;
  FillMenu(menu.get());
  // The chosen command comes back here, not as WM_COMMAND to the owner window.
  const UINT command = UINT(TrackPopupMenu(
      menu.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY,
      x, y, 0, Application().Handle(), nullptr));
  menu.reset();
  if (command != 0 && *alive) DispatchCommand(command);
}
