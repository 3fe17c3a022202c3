// The windows behind windowed controls: our window classes, making and destroying a
// control's window, finding the control of a window, and pushing the control's state
// into its window.
#include "ui/control.h"

#include <commctrl.h>

#include <utility>

#include "base/exception.h"
#include "base/win_string.h"
#include "ui/application.h"
#include "ui/forms.h"
#include "ui/window_handle.h"

const wchar_t kControlWindowClass[] = L"QzControl";
const wchar_t kFormWindowClass[] = L"QzForm";

namespace {
constexpr UINT_PTR kSubclassId = 0x515A;

LRESULT CALLBACK ControlSubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                     DWORD_PTR ref) {
  auto* control = reinterpret_cast<TWinControl*>(ref);
  TMessage message{msg, wp, lp, 0};
  try {
    control->WindowProc(message);
  } catch (...) {
    Application().HandleCurrentException(hwnd);
  }
  if (msg == WM_NCDESTROY) {
    RemoveWindowSubclass(hwnd, ControlSubclassProc, kSubclassId);
    control->HandleDestroyed();
  }
  return message.Result;
}

// Looked up in comctl32 at run time: the 64-bit MinGW import library lacks this export.
bool FindControlSubclass(HWND hwnd, DWORD_PTR* ref) {
  using GetSubclassFn = BOOL(WINAPI*)(HWND, SUBCLASSPROC, UINT_PTR, DWORD_PTR*);
  static const GetSubclassFn getSubclass = reinterpret_cast<GetSubclassFn>(
      reinterpret_cast<void (*)()>(
          GetProcAddress(GetModuleHandleW(L"comctl32.dll"), "GetWindowSubclass")));
  return getSubclass && getSubclass(hwnd, ControlSubclassProc, kSubclassId, ref);
}
}  // namespace

void RegisterWindowClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_BAR_CLASSES |
                                            ICC_TAB_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&icc);
  WNDCLASSW wc{};
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = kControlWindowClass;
  RegisterClassW(&wc);
  wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
  wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  wc.lpszClassName = kFormWindowClass;
  RegisterClassW(&wc);
}

TWinControl* TWinControl::FromHandle(HWND hwnd) {
  DWORD_PTR ref = 0;
  if (hwnd && FindControlSubclass(hwnd, &ref))
    return reinterpret_cast<TWinControl*>(ref);
  return nullptr;
}

void TWinControl::DestroyHandle() {
  for (auto& c : controls_) c->DestroyHandle();
  if (handle_) {
    // Taken off the control before it goes: the window's last messages reach no control.
    UniqueWindow window(std::exchange(handle_, nullptr));
    RemoveWindowSubclass(window.get(), ControlSubclassProc, kSubclassId);
  }
}

void TWinControl::FillCreateParams(CreateParams& p) {
  p.ClassName = FromW(kControlWindowClass);
  p.Style |= WS_CLIPCHILDREN;
}

void TWinControl::Attach() { CreateHandle(); }

void TWinControl::CreateHandle() {
  if (handle_) return;
  RegisterWindowClasses();
  CreateParams p;
  FillCreateParams(p);
  ownClass_ = p.ClassName == FromW(kControlWindowClass) || p.ClassName == FromW(kFormWindowClass);
  if (visible_ && parent_) p.Style |= WS_VISIBLE;
  if (!enabled_) p.Style |= WS_DISABLED;
  if (tabStop_) p.Style |= WS_TABSTOP;
  HWND parentWnd = parent_ ? parent_->Handle() : TopLevelOwner();
  HMENU id = parent_ ? reinterpret_cast<HMENU>(INT_PTR(NextControlId())) : nullptr;
  HWND h = CreateWindowExW(p.ExStyle, W(p.ClassName), W(caption_), p.Style, bounds_.Left,
                           bounds_.Top, bounds_.Width(), bounds_.Height(), parentWnd, id,
                           GetModuleHandleW(nullptr), nullptr);
  if (!h) throw Exception(u"Cannot create the window of " + name_ + u" (" + p.ClassName + u")");
  AdoptHandle(h);
  if (parent_ && ShowHint() && !Hint().empty())
    if (TForm* f = ParentForm()) f->UpdateHint(this);
}

int TWinControl::NextControlId() {
  // Unique in the whole form, not only among siblings: the dialog manager looks the
  // default button up by its id anywhere below the form and takes the first it meets.
  TWinControl* root = this;
  while (root->parent_) root = root->parent_;
  if (root->nextChildId_ > 0xFFFF) root->nextChildId_ = kFirstControlId;  // ids are 16 bits
  return root->nextChildId_++;
}

void TWinControl::AdoptHandle(HWND h) {
  handle_ = h;
  AttachSubclass(h);
  SendMessageW(h, WM_SETFONT, WPARAM(fontHandle_.Get(Font())), FALSE);
  HandleCreated();
}

void TWinControl::AttachSubclass(HWND h) {
  SetWindowSubclass(h, ControlSubclassProc, kSubclassId, DWORD_PTR(this));
}

TRect TWinControl::ClientRect() const {
  if (handle_) {
    RECT r;
    GetClientRect(handle_, &r);
    return TRect::From(r);
  }
  return TRect{0, 0, Width(), Height()};
}

TPoint TWinControl::ClientToScreen(TPoint p) const {
  POINT pt{p.X, p.Y};
  ::ClientToScreen(handle_, &pt);
  return {int(pt.x), int(pt.y)};
}

void TWinControl::Update() {
  if (handle_) UpdateWindow(handle_);
}

void TWinControl::Invalidate() {
  if (handle_) InvalidateRect(handle_, nullptr, FALSE);
}

void TWinControl::SetFocus() {
  if (handle_) ::SetFocus(handle_);
}

bool TWinControl::Focused() const { return handle_ && GetFocus() == handle_; }

bool TWinControl::CanFocus() const { return handle_ && IsWindowVisible(handle_) && IsWindowEnabled(handle_); }

void TWinControl::BoundsChanged() {
  if (handle_)
    SetWindowPos(handle_, nullptr, bounds_.Left, bounds_.Top, bounds_.Width(), bounds_.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWinControl::VisibleChanged() {
  if (handle_) ShowWindow(handle_, visible_ ? SW_SHOWNA : SW_HIDE);
}

void TWinControl::EnabledChanged() {
  if (handle_) EnableWindow(handle_, enabled_);
}

void TWinControl::FontChanged() {
  if (handle_) {
    SendMessageW(handle_, WM_SETFONT, WPARAM(fontHandle_.Get(Font())), TRUE);
    InvalidateRect(handle_, nullptr, TRUE);
  }
  NotifyChildren(CM_PARENTFONTCHANGED);
}

void TWinControl::ColorChanged() {
  if (handle_) InvalidateRect(handle_, nullptr, TRUE);
  NotifyChildren(CM_PARENTCOLORCHANGED);
}

void TWinControl::TextChanged() {
  if (handle_) SetWindowTextW(handle_, W(caption_));
}

void TWinControl::HintChanged() {
  if (handle_)
    if (TForm* f = ParentForm()) f->UpdateHint(this);
}

void TWinControl::MovedToFront() {
  if (handle_)
    SetWindowPos(handle_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}
