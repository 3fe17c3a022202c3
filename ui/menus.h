// A form's main menu: items with captions, separators, enabled and visible states.
// The Win32 menu is rebuilt from the items whenever one of them changes.
#pragma once

#include <memory>
#include <vector>

#include "ui/control.h"

class TMainMenu;

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
  TMenuItem(TMainMenu* menu, const TMenuItemArgs& args);
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
  friend class TMainMenu;
  TMainMenu* menu_;
  String name_, caption_;
  bool enabled_, visible_, checked_;
  UINT command_;
  std::vector<std::unique_ptr<TMenuItem>> items_;
};

class TMainMenu {
public:
  TMainMenu() = default;
  ~TMainMenu();
  TMainMenu(const TMainMenu&) = delete;
  TMainMenu& operator=(const TMainMenu&) = delete;

  TMenuItem* Add(const TMenuItemArgs& args);
  int Count() const { return int(items_.size()); }
  TMenuItem* Items(int index) const { return items_.at(size_t(index)).get(); }
  TMenuItem* Find(const String& name) const;
  TMenuItem* FindCommand(UINT command) const;
  // Runs the item's OnClick; false when no item has that command.
  bool DispatchCommand(UINT command);

  // The Win32 menu as built now (rebuilt on every change while attached).
  HMENU Handle();
  void AttachTo(HWND window);
  // Takes the menu off its window (which would destroy it with itself); the menu
  // stays ours and is destroyed once, with this object.
  void Detach();
  void Rebuild();

private:
  friend class TMenuItem;
  UINT NextCommand() { return nextCommand_++; }
  struct MenuTraits {
    static HMENU Invalid() { return nullptr; }
    static void Close(HMENU h) { DestroyMenu(h); }
  };
  std::vector<std::unique_ptr<TMenuItem>> items_;
  UniqueOwner<HMENU, MenuTraits> handle_;
  HWND window_ = nullptr;
  UINT nextCommand_ = 1000;
};
