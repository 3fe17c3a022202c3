// Menus: items with captions, separators, enabled and visible states. A form's main
// menu rebuilds its Win32 menu whenever an item changes; a popup menu builds one each
// time it is shown.
#pragma once

#include <memory>
#include <vector>

#include "ui/control.h"

class TMenu;

struct TMenuItemArgs {
  String Name;
  String Caption;  // "-" is a separator
  bool Enabled = true;
  bool Visible = true;
  bool Checked = false;
  TNotifyEvent OnClick;
};

class TMenuItem : public TComponent {
public:
  TMenuItem(TMenu* menu, const TMenuItemArgs& args);
  String ClassName() const override { return u"TMenuItem"; }
  const String& Name() const { return name_; }
  const String& Caption() const { return caption_; }
  void SetCaption(const String& caption);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  bool Checked() const { return checked_; }
  void SetChecked(bool checked);
  bool IsSeparator() const { return caption_ == u"-"; }

  TMenuItem* Add(const TMenuItemArgs& args);
  TMenuItem* AddSeparator() { return Add({.Caption = u"-"}); }
  int Count() const { return int(items_.size()); }
  TMenuItem* Items(int index) const { return items_.at(size_t(index)).get(); }
  UINT Command() const { return command_; }

  TNotifyEvent OnClick;
  void Click();

private:
  TMenu* menu_;
  String name_, caption_;
  bool enabled_, visible_, checked_;
  UINT command_;
  std::vector<std::unique_ptr<TMenuItem>> items_;
};

// The items of a menu and their commands.
class TMenu : public TComponent {
public:
  TMenu() = default;
  ~TMenu() override = default;
  TMenu(const TMenu&) = delete;
  TMenu& operator=(const TMenu&) = delete;
  String ClassName() const override { return u"TMenu"; }

  TMenuItem* Add(const TMenuItemArgs& args);
  int Count() const { return int(items_.size()); }
  TMenuItem* Items(int index) const { return items_.at(size_t(index)).get(); }
  TMenuItem* Find(const String& name) const;
  TMenuItem* FindCommand(UINT command) const;
  // Runs the item's OnClick; false when no item has that command.
  bool DispatchCommand(UINT command);
  // An item changed.
  virtual void Rebuild() {}

protected:
  friend class TMenuItem;
  UINT NextCommand() { return nextCommand_++; }
  struct MenuTraits {
    static HMENU Invalid() { return nullptr; }
    static void Close(HMENU h) { DestroyMenu(h); }
  };
  using UniqueMenu = UniqueOwner<HMENU, MenuTraits>;
  // The visible items as Win32 menu entries, submenus included.
  void FillMenu(HMENU menu) const;

  std::vector<std::unique_ptr<TMenuItem>> items_;
  UINT nextCommand_ = 1000;
};

class TMainMenu : public TMenu {
public:
  TMainMenu() = default;
  ~TMainMenu() override;
  String ClassName() const override { return u"TMainMenu"; }

  // The Win32 menu as built now (rebuilt on every change while attached).
  HMENU Handle();
  void AttachTo(HWND window);
  // Takes the menu off its window (which would destroy it with itself); the menu
  // stays ours and is destroyed once, with this object.
  void Detach();
  void Rebuild() override;

private:
  UniqueMenu handle_;
  HWND window_ = nullptr;
};

// A menu shown at a screen point, by a control's context-menu message or by Popup.
// Controls refer to it without owning it; when it goes it takes itself off them.
class TPopupMenu : public TMenu {
public:
  TPopupMenu() = default;
  ~TPopupMenu() override;
  String ClassName() const override { return u"TPopupMenu"; }

  // Shows the menu with its top-left corner at (x, y) and runs the chosen item.
  void Popup(int x, int y);
  // The control whose context-menu message showed the menu last.
  TControl* PopupComponent() const { return popupComponent_; }
  void SetPopupComponent(TControl* control) { popupComponent_ = control; }
  // Fires before the menu shows.
  TNotifyEvent OnPopup;

protected:
  // A control that referred to this menu is gone.
  void Notification(TComponent* component, TOperation operation) override;

private:
  TControl* popupComponent_ = nullptr;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};
