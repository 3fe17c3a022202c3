#include "ui/menus.h"

#include <gtest/gtest.h>

#include "tests/ui/gui_test.h"
#include "ui/forms.h"

namespace {

TEST(MainMenu, ItemsAtEveryDepthAreDispatched) {
  auto form = MakeForm<TForm>(TFormArgs{.ClientWidth = 300, .ClientHeight = 100});
  TMainMenu* menu = form->CreateMainMenu();
  std::vector<String> clicked;
  auto record = [&](TObject* s) { clicked.push_back(static_cast<TMenuItem*>(s)->Name()); };
  TMenuItem* file = menu->Add({.Name = u"File1", .Caption = u"File"});
  TMenuItem* recent = file->Add({.Name = u"Recent", .Caption = u"Recent"});
  TMenuItem* older = recent->Add({.Name = u"Older", .Caption = u"Older"});
  TMenuItem* third = recent->Add({.Name = u"Third", .Caption = u"Third", .OnClick = record});
  TMenuItem* fourth = older->Add({.Name = u"Fourth", .Caption = u"Fourth", .OnClick = record});
  // The Win32 menu nests as deep as the items.
  HMENU level2 = GetSubMenu(GetSubMenu(GetMenu(form->Handle()), 0), 0);
  HMENU level3 = GetSubMenu(level2, 0);
  ASSERT_NE(level3, nullptr);
  EXPECT_EQ(GetMenuItemID(level3, 0), fourth->Command());
  for (TMenuItem* item : {third, fourth}) {
    SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(item->Command(), 0), 0);
    EXPECT_EQ(menu->Find(item->Name()), item);
    EXPECT_EQ(menu->FindCommand(item->Command()), item);
  }
  EXPECT_EQ(clicked, (std::vector<String>{u"Third", u"Fourth"}));
}

TEST(MainMenu, OutlivesTheWindowItWasOn) {
  TMenuItem* item = nullptr;
  HMENU handle = nullptr;
  {
    TMainMenu menu;
    item = menu.Add({.Name = u"Help1", .Caption = u"Help"});
    {
      auto form = MakeForm<TForm>(TFormArgs{.ClientWidth = 300, .ClientHeight = 100});
      form->SetMenu(&menu);
      handle = GetMenu(form->Handle());
      ASSERT_EQ(handle, menu.Handle());
    }
    // The window went; the menu is still ours and still works.
    EXPECT_TRUE(IsMenu(handle));
    item->SetCaption(u"Help!");
    handle = menu.Handle();
    EXPECT_TRUE(IsMenu(handle));
  }
  EXPECT_FALSE(IsMenu(handle));

  // A menu replaced on a form is no longer the form's; one that goes first leaves
  // the form without a menu.
  auto form = MakeForm<TForm>(TFormArgs{.ClientWidth = 300, .ClientHeight = 100});
  TMainMenu first;
  first.Add({.Caption = u"First"});
  {
    TMainMenu second;
    second.Add({.Caption = u"Second"});
    form->SetMenu(&first);
    form->SetMenu(&second);
    first.Items(0)->SetCaption(u"First again");  // rebuilds without taking the form back
    EXPECT_EQ(GetMenu(form->Handle()), second.Handle());
  }
  EXPECT_EQ(form->Menu(), nullptr);
  EXPECT_EQ(GetMenu(form->Handle()), nullptr);
}

}  // namespace
