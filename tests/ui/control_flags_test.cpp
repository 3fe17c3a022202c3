// What a control inherits from its parent and states about itself: ParentShowHint, the
// destroying state, and the popup menu it refers to.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "tests/ui/gui_test.h"
#include "ui/forms.h"
#include "ui/menus.h"
#include "ui/std_controls.h"

namespace {

TEST(ParentShowHint, FollowsTheParentUntilShowHintIsSet) {
  auto form = MakeForm<TForm>(TFormArgs{.ClientWidth = 200, .ClientHeight = 100});
  auto* panel = form->Add<TPanel>(TPanelArgs{.Bounds = {0, 0, 150, 80}});
  auto* inner = panel->Add<TGraphicControl>();
  auto* own = panel->Add<TGraphicControl>();
  own->SetShowHint(false);
  EXPECT_TRUE(panel->ParentShowHint());
  EXPECT_TRUE(inner->ParentShowHint());
  EXPECT_FALSE(own->ParentShowHint());

  form->SetShowHint(true);  // reaches the grandchild through the panel
  EXPECT_TRUE(panel->ShowHint());
  EXPECT_TRUE(inner->ShowHint());
  EXPECT_FALSE(own->ShowHint());

  own->SetParentShowHint(true);  // takes the parent's at once
  EXPECT_TRUE(own->ShowHint());
  panel->SetShowHint(false);
  EXPECT_FALSE(panel->ParentShowHint());
  EXPECT_FALSE(inner->ShowHint());
  form->SetShowHint(true);
  EXPECT_FALSE(panel->ShowHint());

  // A control made later starts with its parent's.
  panel->SetShowHint(true);
  EXPECT_TRUE(panel->Add<TGraphicControl>()->ShowHint());
  // Given in the arguments, ShowHint stands on its own.
  auto* given = form->Add<TEdit>(TEditArgs{.ShowHint = true});
  EXPECT_FALSE(given->ParentShowHint());
}

// Notes in its destructor whether it was marked as being destroyed.
class DestroyProbe : public TGraphicControl {
public:
  DestroyProbe(TWinControl* parent, std::vector<bool>& seen)
      : TGraphicControl(parent), seen_(seen) {}
  ~DestroyProbe() override { seen_.push_back((ComponentState() & csDestroying) != 0); }

private:
  std::vector<bool>& seen_;
};

TEST(Destroying, AControlSeesItWhileItIsDestroyed) {
  std::vector<bool> seen;
  auto form = MakeForm<TForm>(TFormArgs{.ClientWidth = 200, .ClientHeight = 100});
  auto* panel = form->Add<TPanel>(TPanelArgs{.Bounds = {0, 0, 150, 80}});
  auto* alone = form->Add<DestroyProbe>(seen);
  panel->Add<DestroyProbe>(seen);
  form->Add<DestroyProbe>(seen);
  form->Show();

  form->RemoveControl(alone);  // removed from its parent
  EXPECT_EQ(seen, std::vector<bool>{true});
  form->RemoveControl(panel);  // with its parent
  EXPECT_EQ(seen, (std::vector<bool>{true, true}));
  form.reset();  // with the form
  EXPECT_EQ(seen, (std::vector<bool>{true, true, true}));
}

TEST(PopupMenuReference, EitherSideMayGoFirst) {
  auto form = MakeForm<TForm>(TFormArgs{.ClientWidth = 200, .ClientHeight = 100});
  auto* first = form->Add<TGraphicControl>();
  auto* second = form->Add<TGraphicControl>();
  {
    TPopupMenu menu;
    first->SetPopupMenu(&menu);
    second->SetPopupMenu(&menu);
    menu.SetPopupComponent(second);
    form->RemoveControl(second);
    EXPECT_EQ(menu.PopupComponent(), nullptr);
  }
  EXPECT_EQ(first->PopupMenu(), nullptr);
  // Without a menu the message goes on to the system: nothing shows, nothing breaks.
  EXPECT_EQ(first->Perform(WM_CONTEXTMENU, 0, MAKELPARAM(-1, -1)), 0);
}

}  // namespace
