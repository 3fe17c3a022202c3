#include "ui/application.h"

#include <commctrl.h>
#include <ole2.h>

#include <algorithm>

#include "base/exception.h"
#include "base/win_string.h"

namespace {
constexpr wchar_t kAppWindowClass[] = L"TApplication";
constexpr UINT kReleaseFormMessage = WM_APP + 0x51;
}  // namespace

LRESULT CALLBACK AppWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kReleaseFormMessage) {
    try {
      Application().FreeReleased(reinterpret_cast<TForm*>(lp));
    } catch (...) {
      Application().HandleCurrentException();
    }
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

TApplication& Application() {
  static TApplication app;
  return app;
}

TApplication::~TApplication() {
  DestroyForms();
  handle_.reset();
}

HWND TApplication::Handle() {
  if (!handle_) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = AppWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kAppWindowClass;
    RegisterClassW(&wc);  // fails harmlessly when already registered
    // Owner of the program's windows: never shown, so it takes no taskbar place.
    handle_.reset(CreateWindowExW(0, kAppWindowClass, W(title_), WS_POPUP, 0, 0, 0, 0, nullptr,
                                  nullptr, wc.hInstance, nullptr));
  }
  return handle_.get();
}

void TApplication::SetTitle(const String& title) {
  title_ = title;
  if (handle_) SetWindowTextW(handle_.get(), W(title_));
}

int TApplication::MessageBox(const String& text, const String& caption, UINT flags) {
  // The active window of this thread owns the box when there is one, so that the
  // window the user works in is disabled while the box is up.
  HWND owner = GetActiveWindow();
  if (!owner) owner = Handle();
  return ::MessageBoxW(owner, W(text), W(caption), flags);
}

void TApplication::HandleException(std::exception_ptr error, HWND from) {
  if (!error) return;
  const String text = ExceptionMessage(error);
  if (exceptionHook_) {
    exceptionHook_(text);
    return;
  }
  // The active window is no guide here: the failing command's own boxes and windows
  // have come and gone, and activation may rest on a window that is not shown.
  const HWND owner = from ? GetAncestor(from, GA_ROOT) : nullptr;
  if (!owner || !IsWindowVisible(owner)) {
    MessageBox(text, title_, MB_OK | MB_ICONERROR);
    return;
  }
  TModalWindowGuard guard(owner);
  ::MessageBoxW(owner, W(text), W(title_), MB_OK | MB_ICONERROR);
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      terminated_ = true;
      PostQuitMessage(int(msg.wParam));
      return;
    }
    DispatchUiMessage(msg);
  }
}

void TApplication::Terminate() {
  terminated_ = true;
  PostQuitMessage(0);
}

bool TApplication::ReleaseForm(TForm* form) {
  auto it = std::find_if(forms_.begin(), forms_.end(),
                         [form](const TOwnedForm& f) { return f.form.get() == form; });
  if (it == forms_.end()) return false;
  form->Hide();
  PostMessageW(Handle(), kReleaseFormMessage, 0, LPARAM(form));
  return true;
}

void TApplication::FreeReleased(TForm* form) {
  auto it = std::find_if(forms_.begin(), forms_.end(),
                         [form](const TOwnedForm& f) { return f.form.get() == form; });
  if (it == forms_.end()) return;  // already gone
  TOwnedForm owned = std::move(*it);
  forms_.erase(it);
  Free(std::move(owned));
}

void TApplication::DestroyForms() {
  // Latest first: a form created later may refer to the main form.
  while (!forms_.empty()) {
    TOwnedForm owned = std::move(forms_.back());
    forms_.pop_back();
    Free(std::move(owned));
  }
}

void TApplication::Free(TOwnedForm owned) {
  if (owned.forget) owned.forget();
  if (mainForm_ == owned.form.get()) mainForm_ = nullptr;
  owned.form.reset();
}

int TApplication::Run() {
  if (mainForm_) mainForm_->Show();
  MSG msg{};
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchUiMessage(msg);
  terminated_ = true;
  return int(msg.wParam);
}

TScreen& Screen() {
  static TScreen screen;
  return screen;
}

void TScreen::SetCursor(TCursor cursor) {
  cursor_ = cursor;
  ::SetCursor(CursorHandle(cursor == crDefault ? crArrow : cursor));
}

TWindowDisabler::TWindowDisabler(HWND window) : window_(window), wasEnabled_(false) {
  if (window_) wasEnabled_ = EnableWindow(window_, FALSE) == 0;
}

TWindowDisabler::~TWindowDisabler() {
  if (window_ && wasEnabled_ && IsWindow(window_)) EnableWindow(window_, TRUE);
}

TModalWindowGuard::TModalWindowGuard(HWND window) : window_(window), focus_(GetFocus()) {
  if (focus_ && (!window_ || (focus_ != window_ && !IsChild(window_, focus_)))) focus_ = nullptr;
  disabled_.emplace(window_);
}

TModalWindowGuard::~TModalWindowGuard() {
  disabled_.reset();
  if (!window_ || !IsWindow(window_) || !IsWindowVisible(window_) || !IsWindowEnabled(window_))
    return;
  SetForegroundWindow(window_);
  if (focus_ && IsWindow(focus_) && IsWindowVisible(focus_) && IsWindowEnabled(focus_) &&
      (focus_ == window_ || IsChild(window_, focus_)))
    ::SetFocus(focus_);
}

void WhileDisabled(TWinControl& window, const std::function<void()>& modal) {
  TModalWindowGuard guard(window.Handle());
  modal();
}

TComInitializer::TComInitializer() : ok_(SUCCEEDED(OleInitialize(nullptr))) {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_BAR_CLASSES |
                                            ICC_TAB_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&icc);
}

TComInitializer::~TComInitializer() {
  if (ok_) OleUninitialize();
}
