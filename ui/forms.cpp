#include "ui/forms.h"

#include <commctrl.h>

#include <algorithm>
#include <exception>
#include <vector>

#include "base/exception.h"
#include "base/scope_exit.h"
#include "base/win_string.h"
#include "ui/application.h"
#include "ui/menus.h"
#include "ui/std_controls.h"

namespace {
// Windows disabled while a modal form runs, enabled again on every path.
class DisabledTaskWindows {
public:
  explicit DisabledTaskWindows(HWND except) : except_(except) {
    EnumThreadWindows(GetCurrentThreadId(), &DisabledTaskWindows::Visit, LPARAM(this));
    if (error_) {
      EnableAgain();
      std::rethrow_exception(error_);
    }
  }
  ~DisabledTaskWindows() { EnableAgain(); }
  DisabledTaskWindows(const DisabledTaskWindows&) = delete;
  DisabledTaskWindows& operator=(const DisabledTaskWindows&) = delete;

private:
  void EnableAgain() {
    for (HWND h : windows_)
      if (IsWindow(h)) EnableWindow(h, TRUE);
  }
  // No exception may leave through the system's enumeration: a window is noted before
  // it is disabled, so that one the list could not take stays enabled.
  static BOOL CALLBACK Visit(HWND h, LPARAM self) noexcept {
    auto* me = reinterpret_cast<DisabledTaskWindows*>(self);
    if (h == me->except_ || !IsWindowVisible(h) || !IsWindowEnabled(h)) return TRUE;
    try {
      me->windows_.push_back(h);
    } catch (...) {
      me->error_ = std::current_exception();  // raised again once the system is left
      return FALSE;
    }
    EnableWindow(h, FALSE);
    return TRUE;
  }
  HWND except_;
  std::vector<HWND> windows_;
  std::exception_ptr error_;
};

bool IsOurForm(HWND h) {
  wchar_t name[32];
  return GetClassNameW(h, name, 32) && wcscmp(name, kFormWindowClass) == 0;
}
}  // namespace

void DispatchUiMessage(MSG& msg) {
  // The key preview runs handlers outside any window procedure: same rule.
  bool consumed = false;
  try {
    consumed = TWinControl::PreviewKeyMessage(msg);
  } catch (...) {
    Application().HandleCurrentException(msg.hwnd);
    consumed = true;
  }
  if (consumed) return;
  HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
  bool handled = root && IsOurForm(root) && IsDialogMessageW(root, &msg);
  if (!handled) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  TWinControl::KeyMessageDispatched(msg);
}

void FormDeleter::operator()(TForm* form) const {
  if (!form) return;
  form->Destroying();
  form->DoDestroy();
  std::unique_ptr<TForm> owned(form);
}

TForm::TForm(const TFormArgs& a, TForm* owner)
    : TWinControl(nullptr), borderStyle_(a.BorderStyle), borderIcons_(a.BorderIcons),
      position_(a.Position), minWidth_(a.MinWidth), minHeight_(a.MinHeight) {
  name_ = a.Name;
  caption_ = a.Caption;
  font_ = a.Font;
  color_ = a.Color;
  visible_ = false;
  if (owner)
    owner_ = owner->Handle();
  else if (TForm* main = Application().MainForm())
    owner_ = main->Handle();
  bounds_ = Bounds(a.Left, a.Top, a.ClientWidth, a.ClientHeight);
  CreateHandle();
  SetClientSize(a.ClientWidth, a.ClientHeight);
}

TForm::~TForm() {
  // A derived form whose constructor threw is gone by now, and so are the parts its
  // handlers use: only a form that was created hears of its destruction.
  if (created_ && !destroyed_) DoDestroy();
  if (Application().MainForm() == this) Application().SetMainForm(nullptr);
  controlHintShown_ = nullptr;
  controlHintWindow_.reset();
  hintWindow_.reset();
  if (menu_) menu_->Detach();
  DestroyHandle();
  controls_.clear();
}

namespace {
// Every control below parent, after its parent.
void LoadedAll(TWinControl& parent) {
  for (int i = 0; i < parent.ControlCount(); ++i) {
    TControl* child = parent.Controls(i);
    child->Loaded();
    if (auto* container = dynamic_cast<TWinControl*>(child)) LoadedAll(*container);
  }
}
}  // namespace

void TForm::DoCreate() {
  if (created_) return;
  created_ = true;
  // The form is made: its controls have every property it set, as after reading a form.
  LoadedAll(*this);
  Loaded();
  if (OnCreate) OnCreate(this);
}

void TForm::DoDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  if (OnDestroy) OnDestroy(this);
}

DWORD TForm::StyleBits() const {
  DWORD s = WS_CLIPCHILDREN;
  switch (borderStyle_) {
    case bsNone: s |= WS_POPUP; break;
    case bsSingle:
    case bsToolWindow: s |= WS_CAPTION; break;
    case bsSizeable: s |= WS_CAPTION | WS_THICKFRAME; break;
    case bsDialog: s |= WS_POPUP | WS_CAPTION | DS_MODALFRAME; break;
  }
  if (borderStyle_ != bsNone && (borderIcons_ & biSystemMenu)) {
    s |= WS_SYSMENU;
    if (borderStyle_ != bsDialog && borderStyle_ != bsToolWindow) {
      if (borderIcons_ & biMinimize) s |= WS_MINIMIZEBOX;
      if (borderIcons_ & biMaximize) s |= WS_MAXIMIZEBOX;
    }
  }
  return s;
}

DWORD TForm::ExStyleBits() const {
  DWORD s = WS_EX_CONTROLPARENT;
  if (borderStyle_ == bsDialog) s |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
  if (borderStyle_ == bsToolWindow) s |= WS_EX_TOOLWINDOW;
  if ((borderIcons_ & biHelp) && (borderIcons_ & biSystemMenu)) s |= WS_EX_CONTEXTHELP;
  if (!owner_) s |= WS_EX_APPWINDOW;
  return s;
}

void TForm::FillCreateParams(CreateParams& p) {
  p.ClassName = FromW(kFormWindowClass);
  p.Style = StyleBits();
  p.ExStyle = ExStyleBits();
}

void TForm::SetClientSize(int width, int height) {
  RECT r{0, 0, std::max(width, 0), std::max(height, 0)};
  AdjustWindowRectEx(&r, StyleBits(), menu_ != nullptr, ExStyleBits());
  SetBounds(Left(), Top(), r.right - r.left, r.bottom - r.top);
  // A menu bar that wraps takes more than one line: correct from the real client area.
  if (handle_) {
    TRect c = ClientRect();
    int dw = width - c.Width(), dh = height - c.Height();
    if (dw != 0 || dh != 0) SetBounds(Left(), Top(), Width() + dw, Height() + dh);
  }
}

void TForm::TextChanged() {
  if (handle_) SetWindowTextW(handle_, W(caption_));
}

void TForm::Center() {
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  int x = work.left + ((work.right - work.left) - Width()) / 2;
  int y = work.top + ((work.bottom - work.top) - Height()) / 2;
  SetBounds(std::max(x, int(work.left)), std::max(y, int(work.top)), Width(), Height());
}

void TForm::VisibleChanged() {
  if (!handle_) return;
  if (visible_) {
    if (!shownOnce_) {
      shownOnce_ = true;
      if (position_ == poScreenCenter || position_ == poOwnerFormCenter) Center();
    }
    if (OnShow) OnShow(this);
    if (!visible_) return;  // hidden again by OnShow
    ShowWindow(handle_, SW_SHOW);
    UpdateWindow(handle_);
    if (!GetFocus() || GetAncestor(GetFocus(), GA_ROOT) != handle_) {
      HWND first = GetNextDlgTabItem(handle_, nullptr, FALSE);
      if (first) ::SetFocus(first);
    }
  } else {
    if (OnHide) OnHide(this);
    ShowWindow(handle_, SW_HIDE);
  }
}

bool TForm::CloseQuery() {
  bool can = true;
  if (OnCloseQuery) OnCloseQuery(this, can);
  return can;
}

void TForm::Close() {
  if (modal_) {
    modalResult_ = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  bool isMain = Application().MainForm() == this;
  TCloseAction action = isMain ? caFree : caHide;
  if (OnClose) OnClose(this, action);
  if (action == caNone) return;
  if (isMain) {
    Hide();
    Application().Terminate();
    return;
  }
  switch (action) {
    case caHide: Hide(); break;
    case caFree: Release(); break;
    case caMinimize:
      if (handle_) ShowWindow(handle_, SW_MINIMIZE);
      break;
    default: break;
  }
}

void TForm::CloseModal() {
  // A failing handler keeps the form open and modal; its error is shown like any
  // handler's.
  try {
    if (!CloseQuery()) {
      modalResult_ = 0;
      return;
    }
    TCloseAction action = caHide;
    if (OnClose) OnClose(this, action);
    if (action == caNone) modalResult_ = 0;
  } catch (...) {
    modalResult_ = 0;
    Application().HandleCurrentException(handle_);
  }
}

int TForm::ShowModal() {
  if (modal_ || visible_) throw Exception(u"Cannot make a visible window modal");
  HWND previous = GetActiveWindow();
  modalResult_ = 0;
  modal_ = true;
  {
    // Hidden again on every way out, an OnShow that throws included.
    ScopeExit end([this]() noexcept {
      modal_ = false;
      if (visible_) {
        try {
          Hide();
        } catch (...) {
          Application().HandleCurrentException();
        }
      }
    });
    DisabledTaskWindows disabled(handle_);
    Show();
    SetForegroundWindow(handle_);
    while (modalResult_ == 0) {
      MSG msg;
      BOOL got = GetMessageW(&msg, nullptr, 0, 0);
      if (got == 0) {  // the program is quitting: leave the loop and pass it on
        PostQuitMessage(int(msg.wParam));
        modalResult_ = mrCancel;
        break;
      }
      if (got < 0) {
        modalResult_ = mrCancel;
        break;
      }
      DispatchUiMessage(msg);
      if (modalResult_ != 0) CloseModal();
    }
  }
  if (previous && IsWindow(previous)) SetActiveWindow(previous);
  return modalResult_;
}

void TForm::Release() {
  if (!Application().ReleaseForm(this)) Hide();
}

TMainMenu* TForm::CreateMainMenu() {
  ownMenu_ = std::make_unique<TMainMenu>();
  SetMenu(ownMenu_.get());
  return ownMenu_.get();
}

void TForm::SetMenu(TMainMenu* menu) {
  TRect client = ClientRect();
  if (menu_ && menu_ != menu) menu_->Detach();
  menu_ = menu;
  if (handle_) {
    if (menu)
      menu->AttachTo(handle_);
    else
      ::SetMenu(handle_, nullptr);
    SetClientSize(client.Width(), client.Height());
  }
}

void TForm::UpdateHint(TWinControl* control) {
  if (!handle_ || !control->HandleAllocated()) return;
  if (!hintWindow_) {
    hintWindow_.reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                      WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, handle_, nullptr,
                                      GetModuleHandleW(nullptr), nullptr));
    if (!hintWindow_) return;
  }
  TTTOOLINFOW query{};
  query.cbSize = sizeof(query);
  query.hwnd = handle_;
  query.uId = UINT_PTR(control->Handle());
  bool known = SendMessageW(hintWindow_.get(), TTM_GETTOOLINFOW, 0, LPARAM(&query)) != 0;
  String text = control->Hint();
  TTTOOLINFOW ti{};
  ti.cbSize = sizeof(ti);
  ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  ti.hwnd = handle_;
  ti.uId = UINT_PTR(control->Handle());
  ti.lpszText = W(text.data());
  if (!known)
    SendMessageW(hintWindow_.get(), TTM_ADDTOOLW, 0, LPARAM(&ti));
  else
    SendMessageW(hintWindow_.get(), TTM_UPDATETIPTEXTW, 0, LPARAM(&ti));
}

namespace {
constexpr UINT_PTR kControlHintTool = 1;
constexpr int kHintBelowCursor = 20;

TTTOOLINFOW ControlHintTool(HWND form, const String& text) {
  TTTOOLINFOW ti{};
  ti.cbSize = sizeof(ti);
  ti.uFlags = TTF_TRACK | TTF_ABSOLUTE;
  ti.hwnd = form;
  ti.uId = kControlHintTool;
  ti.lpszText = const_cast<wchar_t*>(W(text.data()));
  return ti;
}
}  // namespace

void TForm::ShowControlHint(TControl* control) {
  HideControlHint(nullptr);
  if (!handle_ || !control || control->IsWindowed() || !control->ShowHint() ||
      control->Hint().empty() || !control->Parent())
    return;
  THintInfo info;
  info.HintControl = control;
  info.HintStr = control->Hint();
  info.HintColor = kApplicationHintColor;
  info.CursorRect = TRect{0, 0, control->Width(), control->Height()};
  POINT cursor{};
  GetCursorPos(&cursor);
  const TPoint origin =
      control->Parent()->ClientToScreen({control->Left(), control->Top()});
  info.CursorPos = {int(cursor.x) - origin.X, int(cursor.y) - origin.Y};
  info.HintPos = {int(cursor.x), int(cursor.y) + kHintBelowCursor};
  if (control->Perform(CM_HINTSHOW, 0, LPARAM(&info)) != 0) return;  // the control refused
  if (info.HintStr.empty()) return;
  if (!controlHintWindow_) {
    controlHintWindow_.reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                             WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                             CW_USEDEFAULT, handle_, nullptr,
                                             GetModuleHandleW(nullptr), nullptr));
    if (!controlHintWindow_) return;
    TTTOOLINFOW ti = ControlHintTool(handle_, String());
    SendMessageW(controlHintWindow_.get(), TTM_ADDTOOLW, 0, LPARAM(&ti));
  }
  const HWND tip = controlHintWindow_.get();
  TTTOOLINFOW ti = ControlHintTool(handle_, info.HintStr);
  SendMessageW(tip, TTM_UPDATETIPTEXTW, 0, LPARAM(&ti));
  SendMessageW(tip, TTM_SETTIPBKCOLOR, WPARAM(ColorToRGB(info.HintColor)), 0);
  if (info.HintMaxWidth > 0) SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, info.HintMaxWidth);
  SendMessageW(tip, TTM_TRACKPOSITION, 0, MAKELPARAM(info.HintPos.X, info.HintPos.Y));
  SendMessageW(tip, TTM_TRACKACTIVATE, TRUE, LPARAM(&ti));
  controlHintShown_ = control;
}

void TForm::HideControlHint(const TControl* control) {
  if (!controlHintShown_ || (control && control != controlHintShown_)) return;
  controlHintShown_ = nullptr;
  if (!controlHintWindow_) return;
  TTTOOLINFOW ti = ControlHintTool(handle_, String());
  SendMessageW(controlHintWindow_.get(), TTM_TRACKACTIVATE, FALSE, LPARAM(&ti));
}

void TForm::SetDefaultButton(TButton* button) {
  defaultButton_ = button;
  FreeNotification(button);
}

void TForm::SetCancelButton(TButton* button) {
  cancelButton_ = button;
  FreeNotification(button);
}

void TForm::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == defaultButton_) defaultButton_ = nullptr;
  if (component == cancelButton_) cancelButton_ = nullptr;
}

void TForm::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_CLOSE:
      Close();
      return;
    case WM_GETMINMAXINFO: {
      auto* mmi = reinterpret_cast<MINMAXINFO*>(m.LParam);
      if (minWidth_ > 0) mmi->ptMinTrackSize.x = minWidth_;
      if (minHeight_ > 0) mmi->ptMinTrackSize.y = minHeight_;
      return;
    }
    case WM_COMMAND:
      if (m.LParam == 0) {
        UINT id = LOWORD(m.WParam);
        if (HIWORD(m.WParam) == 0 && menu_ && menu_->DispatchCommand(id)) return;
        if (id == IDCANCEL && cancelButton_ && cancelButton_->CanAct()) {
          cancelButton_->Click();
          return;
        }
        if (id == IDOK && defaultButton_ && defaultButton_->CanAct()) {
          defaultButton_->Click();
          return;
        }
        return;
      }
      break;
    case DM_GETDEFID:
      if (defaultButton_ && defaultButton_->CanAct()) {
        m.Result = MAKELRESULT(GetDlgCtrlID(defaultButton_->Handle()), DC_HASDEFID);
      } else {
        m.Result = 0;
      }
      return;
    case WM_ACTIVATE:
      if (LOWORD(m.WParam) == WA_INACTIVE) {
        HWND f = GetFocus();
        if (f && GetAncestor(f, GA_ROOT) == handle_) lastFocus_ = f;
      } else {
        DefaultHandler(m);
        if (lastFocus_ && IsWindow(lastFocus_) && IsWindowVisible(lastFocus_)) ::SetFocus(lastFocus_);
        if (OnActivate) OnActivate(this);
        return;
      }
      break;
    case WM_MOVE: {
      RECT r;
      GetWindowRect(handle_, &r);
      bounds_ = TRect::From(r);
      break;
    }
    case WM_DESTROY:  // destroyed with its owner: keep the menu from going with it
      if (menu_) menu_->Detach();
      break;
    default:
      break;
  }
  TWinControl::WndProc(m);
}
