#include "tests/testlib/dialog_driver_win.h"

#include <gtest/gtest.h>
#include <gtest/gtest-spi.h>

#include "tests/ui/gui_test.h"
#include "ui/forms.h"

namespace {

TEST(DialogAnswerer, FailsAtOnceAndClosesTheBoxWhenNoDialogShows) {
  gui_test::HangGuard guard("a modal box the answerer did not find");
  auto owner = MakeForm<TForm>(TFormArgs{.Caption = u"Owner"});
  owner->Show();
  // A modal form is no dialog box: the answerer looks for one in vain.
  auto box = MakeForm<TForm>(TFormArgs{.Caption = u"Not a dialog"}, owner.get());
  int result = 0;
  EXPECT_NONFATAL_FAILURE_ON_ALL_THREADS(
      {
        DialogAnswerer answer(IDOK, {}, 300);
        result = box->ShowModal();
        EXPECT_FALSE(answer.Seen().found);
      },
      "no dialog appeared within 300 ms");
  EXPECT_EQ(result, mrCancel);
  EXPECT_FALSE(box->Visible());
}

}  // namespace
