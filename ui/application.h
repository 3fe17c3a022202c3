// The application object: the hidden owner window, title, main form, message loop,
// the default exception handler and the screen cursor. One per program, reached
// through Application() and Screen().
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "base/string.h"
#include "ui/control.h"
#include "ui/forms.h"
#include "ui/window_handle.h"

class TApplication {
public:
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

  // The hidden top-level window that owns the program's dialogs and message boxes
  // (created on first use).
  HWND Handle();
  const String& Title() const { return title_; }
  void SetTitle(const String& title);

  // A modal message box owned by the active window (else the application window),
  // titled Caption as given, even when empty. Returns the button pressed (IDOK, ...).
  int MessageBox(const String& text, const String& caption, UINT flags);

  // Shows the message of the exception in flight, or of any std::exception, in a
  // modal error box. Every Win32 callback entry catches and calls this; nothing
  // unwinds through Win32 frames. from: a window of the one the failing command came
  // from; while that is up, the box is its own (see TModalWindowGuard), else it goes
  // as MessageBox places it.
  void HandleException(std::exception_ptr error, HWND from = nullptr);
  void HandleCurrentException(HWND from = nullptr) {
    HandleException(std::current_exception(), from);
  }
  // Replaces the error box (tests record the message instead). Null restores it.
  using ExceptionHook = void (*)(const String& message);
  void SetExceptionHook(ExceptionHook hook) { exceptionHook_ = hook; }

  // Dispatches the messages waiting in this thread's queue and returns; a WM_QUIT
  // found there sets Terminated and is put back for the message loop.
  void ProcessMessages();
  bool Terminated() const { return terminated_; }
  void Terminate();

  // Creates a form the application owns; the first one becomes the main form
  // (closing it ends the message loop). OnCreate has fired when it returns.
  template <typename F, typename... A>
  F* CreateForm(A&&... args) {
    F* raw = CreateOwnedForm<F>(std::forward<A>(args)...);
    if (!mainForm_) mainForm_ = raw;
    return raw;
  }
  // The same, kept in Reference, the program-wide variable of the form, which the
  // application sets to null when it frees the form.
  template <typename F, typename... A>
  void CreateForm(F*& Reference, A&&... args) {
    F* raw = CreateForm<F>(std::forward<A>(args)...);
    Reference = raw;
    forms_.back().forget = [&Reference, raw] {
      if (Reference == raw) Reference = nullptr;
    };
  }
  // A form the application owns that never becomes the main form: freed at the end,
  // or once its queued release is handled.
  template <typename F, typename... A>
  F* CreateOwnedForm(A&&... args) {
    FormPtr<F> form = MakeForm<F>(std::forward<A>(args)...);
    F* raw = form.get();
    forms_.push_back(TOwnedForm{FormPtr<TForm>(form.release()), nullptr});
    return raw;
  }
  TForm* MainForm() const { return mainForm_; }
  void SetMainForm(TForm* form) { mainForm_ = form; }
  // Queues the release of an application-owned form; false when it is not one.
  bool ReleaseForm(TForm* form);
  // Frees every form the application owns (end of the program, tests).
  void DestroyForms();

  // Shows the main form and runs the message loop until WM_QUIT.
  int Run();

private:
  friend TApplication& Application();
  friend LRESULT CALLBACK AppWindowProc(HWND, UINT, WPARAM, LPARAM);
  TApplication() = default;
  ~TApplication();
  void FreeReleased(TForm* form);
  struct TOwnedForm {
    FormPtr<TForm> form;
    std::function<void()> forget;  // clears the form's program-wide variable
  };
  void Free(TOwnedForm owned);

  UniqueWindow handle_;
  String title_;
  bool terminated_ = false;
  TForm* mainForm_ = nullptr;
  std::vector<TOwnedForm> forms_;
  ExceptionHook exceptionHook_ = nullptr;
};

TApplication& Application();

// The screen cursor: while it is not crDefault it shows over every window of ours.
class TScreen {
public:
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor cursor);

private:
  TCursor cursor_ = crDefault;
};
TScreen& Screen();

// Shows the hourglass for its lifetime and restores the cursor shown before.
class TCursorGuard {
public:
  explicit TCursorGuard(TCursor cursor = crHourGlass) : previous_(Screen().Cursor()) {
    Screen().SetCursor(cursor);
  }
  ~TCursorGuard() { Screen().SetCursor(previous_); }
  TCursorGuard(const TCursorGuard&) = delete;
  TCursorGuard& operator=(const TCursorGuard&) = delete;

private:
  TCursor previous_;
};

// Disables a window for its lifetime (a handler that pumps messages must not be
// re-entered from the same window), restoring the state it found.
class TWindowDisabler {
public:
  explicit TWindowDisabler(HWND window);
  explicit TWindowDisabler(TWinControl& control) : TWindowDisabler(control.Handle()) {}
  ~TWindowDisabler();
  TWindowDisabler(const TWindowDisabler&) = delete;
  TWindowDisabler& operator=(const TWindowDisabler&) = delete;

private:
  HWND window_;
  bool wasEnabled_;
};

// For the life of a box or dialog that belongs to window: window takes no input.
// Afterwards, however the box ended (an exception included), it is enabled as found,
// and when that leaves it enabled and shown it is active again with the keyboard
// focus where it was: the box's end may have activated some other window while this
// one was still disabled.
class TModalWindowGuard {
public:
  explicit TModalWindowGuard(HWND window);
  ~TModalWindowGuard();
  TModalWindowGuard(const TModalWindowGuard&) = delete;
  TModalWindowGuard& operator=(const TModalWindowGuard&) = delete;

private:
  HWND window_;
  HWND focus_;  // within window_, or null
  std::optional<TWindowDisabler> disabled_;
};

// Runs modal (a box or dialog of the program) under a TModalWindowGuard of window.
void WhileDisabled(TWinControl& window, const std::function<void()>& modal);

// COM (single-threaded, with OLE for the shell dialogs) for the program's lifetime;
// the entry creates one before the first window.
class TComInitializer {
public:
  TComInitializer();
  ~TComInitializer();
  TComInitializer(const TComInitializer&) = delete;
  TComInitializer& operator=(const TComInitializer&) = delete;
  bool Succeeded() const { return ok_; }

private:
  bool ok_;
};
