// Top-level windows: modal and modeless forms with the close
// protocol (close query, close action, modal result, deferred release).
#pragma once

#include <memory>

#include "ui/control.h"

class TMainMenu;
class TButton;

enum TBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow };
enum TBorderIcon : unsigned { biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8 };
enum TPosition { poDesigned, poScreenCenter, poOwnerFormCenter };
enum TModalResult : int {
  mrNone = 0, mrOk = IDOK, mrCancel = IDCANCEL, mrAbort = IDABORT, mrRetry = IDRETRY,
  mrIgnore = IDIGNORE, mrYes = IDYES, mrNo = IDNO
};
enum TCloseAction { caNone, caHide, caFree, caMinimize };

using TCloseQueryEvent = std::function<void(TObject* sender, bool& canClose)>;
using TCloseEvent = std::function<void(TObject* sender, TCloseAction& action)>;

struct TFormArgs {
  String Name;
  String Caption;
  int ClientWidth = 400;
  int ClientHeight = 300;
  TBorderStyle BorderStyle = bsSizeable;
  unsigned BorderIcons = biSystemMenu | biMinimize | biMaximize;
  TPosition Position = poDesigned;
  int Left = 100, Top = 100;  // for poDesigned
  int MinWidth = 0, MinHeight = 0;  // window size limits (0 = none)
  TFont Font{};  // Tahoma 8 pt
  TColor Color = clBtnFace;
};

class TForm : public TWinControl {
public:
  // owner: the window that owns this one (null: the main form when there is one,
  // else none, and the form gets a taskbar button).
  explicit TForm(const TFormArgs& args, TForm* owner = nullptr);
  ~TForm() override;
  String ClassName() const override { return u"TForm"; }

  TNotifyEvent OnCreate;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnActivate;
  TCloseQueryEvent OnCloseQuery;
  TCloseEvent OnClose;
  TNotifyEvent OnDestroy;

  // Fired once after construction by the creating helper (MakeForm, CreateForm).
  void DoCreate();
  // Fired once before the form is freed (by its owner pointer); never for a form
  // whose construction failed.
  void DoDestroy();

  int ClientWidth() const { return ClientRect().Width(); }
  int ClientHeight() const { return ClientRect().Height(); }
  void SetClientSize(int width, int height);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  unsigned BorderIcons() const { return borderIcons_; }
  TPosition Position() const { return position_; }

  // Shows modelessly (fires OnShow).
  void ShowForm() { SetVisible(true); }
  // Shows and runs a message loop until ModalResult is set and the close protocol
  // accepts it; other windows of the program are disabled meanwhile.
  int ShowModal();
  bool Modal() const { return modal_; }
  int ModalResult() const { return modalResult_; }
  void SetModalResult(int result) { modalResult_ = result; }
  // The close protocol: close query, then OnClose with the close action.
  void Close();
  bool CloseQuery();
  // Frees the form once the messages now queued are handled (application-owned
  // forms); others are hidden and their window destroyed.
  void Release();

  void SetMenu(TMainMenu* menu);
  TMainMenu* Menu() const { return menu_; }
  // Creates the form's main menu (owned by the form).
  TMainMenu* CreateMainMenu();

  // The buttons Enter and Escape press; a button freed later is forgotten.
  void SetDefaultButton(TButton* button);
  void SetCancelButton(TButton* button);
  TButton* DefaultButton() const { return defaultButton_; }

  void WndProc(TMessage& message) override;
  // Registers or updates the tooltip of a control whose ShowHint is set.
  void UpdateHint(TWinControl* control);
  HWND HintWindow() const { return hintWindow_.get(); }
  // The hint of a windowless control, shown while the mouse is over it: the control is
  // asked first (CM_HINTSHOW) and may change the text, colour and place, or refuse.
  void ShowControlHint(TControl* control);
  // Hides the windowless control's hint when it is the one shown (null: any).
  void HideControlHint(const TControl* control);
  HWND ControlHintWindow() const { return controlHintWindow_.get(); }
  const TControl* ControlHintShown() const { return controlHintShown_; }

protected:
  void VisibleChanged() override;
  void TextChanged() override;
  void FillCreateParams(CreateParams& params) override;
  HWND TopLevelOwner() const override { return owner_; }
  void Notification(TComponent* component, TOperation operation) override;

private:
  friend class TMainMenu;
  void MenuGone(TMainMenu* menu) {
    if (menu_ == menu) menu_ = nullptr;
  }
  DWORD StyleBits() const;
  DWORD ExStyleBits() const;
  void CloseModal();
  void Center();

  TBorderStyle borderStyle_;
  unsigned borderIcons_;
  TPosition position_;
  int minWidth_, minHeight_;
  HWND owner_ = nullptr;
  bool modal_ = false;
  int modalResult_ = 0;
  bool shownOnce_ = false;
  bool created_ = false;
  bool destroyed_ = false;
  TMainMenu* menu_ = nullptr;
  std::unique_ptr<TMainMenu> ownMenu_;
  TButton* defaultButton_ = nullptr;
  TButton* cancelButton_ = nullptr;
  HWND lastFocus_ = nullptr;
  struct WindowTraits {
    static HWND Invalid() { return nullptr; }
    static void Close(HWND h) { DestroyWindow(h); }
  };
  UniqueOwner<HWND, WindowTraits> hintWindow_;
  UniqueOwner<HWND, WindowTraits> controlHintWindow_;
  const TControl* controlHintShown_ = nullptr;
};

// Owner of a form: fires OnDestroy before the form's parts go.
struct FormDeleter {
  void operator()(TForm* form) const;
};
template <typename F>
using FormPtr = std::unique_ptr<F, FormDeleter>;

// Constructs a form and fires its OnCreate.
template <typename F, typename... A>
FormPtr<F> MakeForm(A&&... args) {
  FormPtr<F> form(std::make_unique<F>(std::forward<A>(args)...).release());
  form->DoCreate();
  return form;
}

// Dispatches one message the way every loop of ours does: key preview, dialog
// navigation inside our forms, then translate and dispatch.
void DispatchUiMessage(MSG& msg);
