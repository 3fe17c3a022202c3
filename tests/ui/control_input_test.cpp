// Mouse and keyboard input reaching controls: capture, key handlers that free their
// control, and the edit's length limit.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>

#include "tests/ui/gui_test.h"
#include "ui/forms.h"
#include "ui/std_controls.h"

namespace {

TEST(MouseCapture, LostCaptureEndsThePressOnAGraphicControl) {
  auto form = MakeForm<TForm>(TFormArgs{.ClientWidth = 300, .ClientHeight = 100});
  auto* left = form->Add<TGraphicControl>();
  left->SetBounds(0, 0, 50, 50);
  auto* right = form->Add<TGraphicControl>();
  right->SetBounds(100, 0, 50, 50);
  std::vector<TObject*> downs;
  int leftClicks = 0;
  left->OnMouseDown = right->OnMouseDown = [&](TObject* s, TMouseButton, TShiftState, int, int) {
    downs.push_back(s);
  };
  left->OnClick = [&](TObject*) { ++leftClicks; };
  auto other = MakeForm<TForm>(TFormArgs{.Caption = u"Takes the mouse"});
  form->Show();
  HWND h = form->Handle();

  SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  ASSERT_EQ(GetCapture(), h);
  SetCapture(other->Handle());  // a menu or a message box would do the same
  SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
  EXPECT_EQ(leftClicks, 0) << "the press ended when the capture went";
  SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(110, 10));
  SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(110, 10));
  EXPECT_EQ(downs, (std::vector<TObject*>{left, right}));
  ReleaseCapture();
}

// An edit whose memory is filled with a pattern when it is freed and never reused,
// so that a write to it after its handler freed it shows.
class TWatchedEdit : public TEdit {
public:
  using TEdit::TEdit;
  static void* operator new(size_t size) {
    EXPECT_LE(size, sizeof(arena));
    used = size;
    return arena;
  }
  static void operator delete(void* p, size_t size) { std::memset(p, kFreed, size); }
  static bool UntouchedSinceFreed() {
    for (size_t i = 0; i < used; ++i)
      if (arena[i] != kFreed) return false;
    return true;
  }
  static constexpr unsigned char kFreed = 0xDD;
  alignas(16) static inline unsigned char arena[4096];
  static inline size_t used = 0;
};

TEST(KeyPreview, HandlerMayFreeItsControl) {
  auto form = MakeForm<TForm>(TFormArgs{.ClientWidth = 300, .ClientHeight = 100});
  auto* edit = form->Add<TWatchedEdit>(TEditArgs{.Bounds = {8, 8, 100, 21}});
  form->Show();
  HWND editWindow = edit->Handle();
  TForm* owner = form.get();
  // Not consumed (the key stays), but the control is gone when the handler returns.
  edit->OnKeyDown = [owner](TObject* sender, WORD&, TShiftState) {
    owner->RemoveControl(static_cast<TControl*>(sender));
  };
  MSG msg{editWindow, WM_KEYDOWN, VK_F5, 1, 0, {}};
  DispatchUiMessage(msg);
  EXPECT_EQ(form->ControlCount(), 0);
  EXPECT_TRUE(TWatchedEdit::UntouchedSinceFreed());
}

TEST(Edit, MaxLengthLimitsTyping) {
  auto form = MakeForm<TForm>(TFormArgs{.ClientWidth = 300, .ClientHeight = 100});
  auto* edit = form->Add<TEdit>(TEditArgs{.Bounds = {8, 8, 200, 21}, .MaxLength = 5});
  form->Show();
  HWND h = edit->Handle();
  auto type = [&](const wchar_t* text) {
    for (const wchar_t* p = text; *p; ++p) SendMessageW(h, WM_CHAR, *p, 1);
  };
  type(L"abcdefgh");
  EXPECT_EQ(edit->GetText(), u"abcde");
  edit->SetMaxLength(0);  // no limit
  type(L"fgh");
  EXPECT_EQ(edit->GetText(), u"abcdefgh");
  edit->SetMaxLength(-3);
  EXPECT_EQ(edit->MaxLength(), 0);
}

}  // namespace
