// The control tree: windowless graphic controls painted by their parent and windowed
// controls that own an HWND. Every message reaches a control through WindowProc
// (replaceable), then the virtual WndProc, then DefaultHandler; Win32 entries catch
// every exception and hand it to the application.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "base/object.h"
#include "base/string.h"
#include "ui/canvas.h"
#include "ui/graphics.h"

struct TMessage {
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;
};
using TWndMethod = std::function<void(TMessage&)>;

// Component notifications: fixed numbers from CM_BASE up, which forms and controls
// exchange as they stand.
constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_DIALOGCHAR = CM_BASE + 6;
constexpr UINT CM_FOCUSCHANGED = CM_BASE + 7;
constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 8;
constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 9;
constexpr UINT CM_HITTEST = CM_BASE + 10;
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 11;
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 12;
constexpr UINT CM_COLORCHANGED = CM_BASE + 13;
constexpr UINT CM_FONTCHANGED = CM_BASE + 14;
constexpr UINT CM_TEXTCHANGED = CM_BASE + 18;
constexpr UINT CM_MOUSEENTER = CM_BASE + 19;
constexpr UINT CM_MOUSELEAVE = CM_BASE + 20;
constexpr UINT CM_PARENTSHOWHINTCHANGED = CM_BASE + 35;
constexpr UINT CM_HINTSHOW = CM_BASE + 48;
// Notifications a parent hands back to the child control that sent them.
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;
constexpr UINT CN_CTLCOLOR = CN_BASE + WM_CTLCOLORSTATIC;  // all WM_CTLCOLOR* kinds
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };

enum TShiftFlag : unsigned {
  ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64
};
using TShiftState = unsigned;
// The keyboard and mouse-button state now.
TShiftState KeyboardShiftState();
TShiftState ShiftFromKeys(WPARAM mouseKeys);

enum TMouseButton { mbLeft, mbRight, mbMiddle };

enum TCursor : int {
  crDefault = 0, crArrow = -2, crCross = -3, crIBeam = -4, crSizeWE = -9, crHourGlass = -11,
  crHSplit = -14, crHandPoint = -21
};
HCURSOR CursorHandle(TCursor cursor);

using TNotifyEvent = std::function<void(TObject* sender)>;
using TKeyEvent = std::function<void(TObject* sender, WORD& key, TShiftState shift)>;
using TKeyPressEvent = std::function<void(TObject* sender, Char& key)>;
using TMouseEvent =
    std::function<void(TObject* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TObject* sender, TShiftState shift, int x, int y)>;

// Binds a handler method to an event: btn->OnClick = Method(this, &TFmMain::BtnClick).
template <typename C, typename... A>
auto Method(C* object, void (C::*method)(A...)) {
  return [object, method](A... args) { (object->*method)(args...); };
}

struct TBounds {
  int Left = 0, Top = 0, Width = 0, Height = 0;
};

// Fields every control's argument struct starts with (designated initialisers follow
// declaration order: .Name, .Bounds, .Align, ... then the control's own).
#define QZ_CONTROL_ARGS                       \
  String Name;                                \
  TBounds Bounds;                             \
  TAlign Align = alNone;                      \
  bool Visible = true;                        \
  bool Enabled = true;                        \
  std::optional<TFont> Font; /* parent's */  \
  std::optional<TColor> Color; /* parent's */ \
  String Hint;                                \
  bool ShowHint = false;                      \
  TCursor Cursor = crDefault;                 \
  int Tag = 0;

struct TControlArgs {
  QZ_CONTROL_ARGS
};

// The fields every control's argument struct shares, copied from one kind's arguments into
// another's (a control built over another control's class).
template <typename To, typename From>
To WithControlArgs(const From& a) {
  To b;
  b.Name = a.Name;
  b.Bounds = a.Bounds;
  b.Align = a.Align;
  b.Visible = a.Visible;
  b.Enabled = a.Enabled;
  b.Font = a.Font;
  b.Color = a.Color;
  b.Hint = a.Hint;
  b.ShowHint = a.ShowHint;
  b.Cursor = a.Cursor;
  b.Tag = a.Tag;
  return b;
}

class TWinControl;
class TForm;
class TPopupMenu;
class TControl;

// Identifies the hint window kind to use (null: the application's).
using THintWindowClass = const char*;

// What a control is asked to fill in before its hint shows (CM_HINTSHOW's LParam). A
// control that answers CM_HINTSHOW with a Result other than 0 shows no hint.
struct THintInfo {
  TControl* HintControl = nullptr;
  THintWindowClass HintWindowClass = nullptr;
  TPoint HintPos;  // screen coordinates of the hint's top left corner
  int HintMaxWidth = 0;
  TColor HintColor = clInfoBk;
  TRect CursorRect;  // the control's area, in its own coordinates
  TPoint CursorPos;  // the mouse, in the control's coordinates
  int ReshowTimeout = 0;
  int HideTimeout = 0;
  String HintStr;
};

// The application's hint colour.
constexpr TColor kApplicationHintColor = clInfoBk;


// Control-style flags.
enum TControlStyleFlag : unsigned {
  csOpaque = 1,  // paints the whole of its area: the parent does not paint under it
};

class TControl : public TComponent {
public:
  explicit TControl(TWinControl* parent);
  ~TControl() override;
  TControl(const TControl&) = delete;
  TControl& operator=(const TControl&) = delete;
  String ClassName() const override { return u"TControl"; }

  const String& Name() const { return name_; }
  void SetName(const String& name) { name_ = name; }
  TWinControl* Parent() const { return parent_; }
  // The form this control is on (itself for a form).
  TForm* ParentForm();
  virtual bool IsWindowed() const { return false; }

  int Left() const { return bounds_.Left; }
  int Top() const { return bounds_.Top; }
  int Width() const { return bounds_.Width(); }
  int Height() const { return bounds_.Height(); }
  TRect BoundsRect() const { return bounds_; }
  virtual void SetBounds(int left, int top, int width, int height);
  void SetLeft(int v) { SetBounds(v, Top(), Width(), Height()); }
  void SetTop(int v) { SetBounds(Left(), v, Width(), Height()); }
  void SetWidth(int v) { SetBounds(Left(), Top(), v, Height()); }
  void SetHeight(int v) { SetBounds(Left(), Top(), Width(), v); }
  // The area children are laid out in, in this control's own coordinates.
  virtual TRect ClientRect() const { return TRect{0, 0, Width(), Height()}; }

  TAlign Align() const { return align_; }
  void SetAlign(TAlign align);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);

  // Parent's font unless one was set here.
  const TFont& Font() const;
  void SetFont(const TFont& font);
  void SetFontColor(TColor color);
  bool ParentFont() const { return !font_; }
  TColor Color() const;
  void SetColor(TColor color);

  const String& Caption() const { return caption_; }
  void SetCaption(const String& text);
  const String& Text() const { return Caption(); }
  void SetText(const String& text) { SetCaption(text); }
  const String& Hint() const { return hint_; }
  void SetHint(const String& hint);
  bool ShowHint() const { return showHint_; }
  // Setting ShowHint stops following the parent's.
  void SetShowHint(bool v);
  // While set, ShowHint follows the parent's ShowHint.
  bool ParentShowHint() const { return parentShowHint_; }
  void SetParentShowHint(bool v);
  unsigned ControlStyle() const { return controlStyle_; }
  void SetControlStyle(unsigned style) { controlStyle_ = style; }
  // Shown on the context-menu message (right click, the menu key); not owned: a menu
  // that goes first takes itself off the control.
  TPopupMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TPopupMenu* menu);
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor cursor) { cursor_ = cursor; }
  int Tag() const { return tag_; }

  virtual void Invalidate();
  // Invalidate and paint now.
  void Repaint();
  void Refresh() { Repaint(); }
  // Paints what is invalid of the window this control is drawn in, now.
  virtual void Update();
  void BringToFront();
  virtual TPoint ClientToScreen(TPoint p) const;
  TPoint ScreenToClient(TPoint p) const;

  // The control named name below this one, or null.
  virtual TControl* FindChild(const String& name) const { return nullptr; }
  // Paints the control onto canvas (origin at the control's top-left); a windowed control
  // paints itself unless it says otherwise.
  virtual void PaintTo(TCanvas& canvas) {}
  // Destroys the windows of this control and its children without calling back (a
  // graphic control has none).
  virtual void DestroyHandle() {}

  // Replaceable message entry; by default it calls WndProc.
  TWndMethod WindowProc;
  LRESULT Perform(UINT msg, WPARAM wp, LPARAM lp);
  virtual void WndProc(TMessage& message);
  // What is left when WndProc is done: the system's handling for windowed controls,
  // nothing (Result 0) for graphic ones.
  virtual void DefaultHandler(TMessage& message);

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;

  virtual void Click();

  // Applies the shared argument fields (used by each control's constructor).
  template <typename Args>
  void ApplyCommonArgs(const Args& a) {
    name_ = a.Name;
    bounds_ = Bounds(a.Bounds.Left, a.Bounds.Top, a.Bounds.Width, a.Bounds.Height);
    align_ = a.Align;
    visible_ = a.Visible;
    enabled_ = a.Enabled;
    font_ = a.Font;
    color_ = a.Color;
    hint_ = a.Hint;
    showHint_ = a.ShowHint;
    parentShowHint_ = !a.ShowHint;
    cursor_ = a.Cursor;
    tag_ = a.Tag;
  }

protected:
  // Hooks for state changes; windowed controls push them into the window.
  virtual void BoundsChanged() {}
  virtual void VisibleChanged() {}
  virtual void EnabledChanged() {}
  virtual void FontChanged() {}
  virtual void ColorChanged() {}
  virtual void TextChanged() {}
  virtual void HintChanged() {}
  // Moved to the top of its parent's list.
  virtual void MovedToFront() {}
  // Called once the control is in its parent's list (windowed: creates the window).
  virtual void Attach() {}
  // Sends msg to every child (a graphic control has none).
  virtual void NotifyChildren(UINT msg) {}
  // Mouse messages become OnMouseDown, OnMouseUp, OnClick and the like here; a windowed
  // control of a system class leaves that to the system.
  virtual bool RoutesMouse() const { return true; }
  // The popup menu this control refers to is gone.
  void Notification(TComponent* component, TOperation operation) override;

  TWinControl* parent_;
  String name_;
  TRect bounds_;
  TAlign align_ = alNone;
  bool visible_ = true;
  bool enabled_ = true;
  std::optional<TFont> font_;
  std::optional<TColor> color_;
  String caption_;
  TCursor cursor_ = crDefault;

private:
  // The parent lists its children, follows their press and hint state.
  friend class TWinControl;
  // The component and hint notifications; true when handled.
  bool HandleNotification(TMessage& message);
  // The mouse as events; true when the click was fired (the control may be gone).
  bool RouteMouseEvent(TMessage& message);

  bool pressed_ = false;
  String hint_;
  bool showHint_ = false;
  bool parentShowHint_ = true;
  unsigned controlStyle_ = 0;
  int tag_ = 0;
  TPopupMenu* popupMenu_ = nullptr;
};

// A control without a window: its parent paints it in z-order, under the parent's
// windowed children, and routes the mouse to it.
class TGraphicControl : public TControl {
public:
  using TControl::TControl;
  String ClassName() const override { return u"TGraphicControl"; }
  // The canvas of the paint in progress (origin at the control's top-left).
  TCanvas& Canvas();
  void PaintTo(TCanvas& canvas) override;
  void Invalidate() override;

protected:
  virtual void Paint() {}
  void BoundsChanged() override { Invalidate(); }
  void VisibleChanged() override;
  void FontChanged() override { Invalidate(); }
  void ColorChanged() override { Invalidate(); }
  void TextChanged() override { Invalidate(); }

private:
  TCanvas* canvas_ = nullptr;
};

class TWinControl : public TControl {
public:
  explicit TWinControl(TWinControl* parent);
  ~TWinControl() override;
  String ClassName() const override { return u"TWinControl"; }
  bool IsWindowed() const override { return true; }

  HWND Handle() const { return handle_; }
  bool HandleAllocated() const { return handle_ != nullptr; }
  // The control that owns a window of ours, or null.
  static TWinControl* FromHandle(HWND hwnd);

  // Makes a child from its argument struct: parent->Add<TButton>({.Name = ...}).
  template <typename T, typename... A>
  T* Add(A&&... args) {
    auto owned = std::make_unique<T>(this, std::forward<A>(args)...);
    T* child = owned.get();
    InsertControl(std::move(owned));
    return child;
  }
  int ControlCount() const { return int(controls_.size()); }
  TControl* Controls(int index) const { return controls_.at(size_t(index)).get(); }
  TControl* FindChild(const String& name) const override;
  // Removes and frees a child.
  void RemoveControl(TControl* child);

  TRect ClientRect() const override;
  // Lays out the aligned children (top, bottom, left, right, then client).
  void Realign();

  TPoint ClientToScreen(TPoint p) const override;
  void Update() override;

  void SetFocus();
  bool Focused() const;
  bool CanFocus() const;

  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;
  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TNotifyEvent OnResize;

  // Key handling before the system's: called from the message loop before dialog
  // navigation, so that Tab, Enter and arrows reach OnKeyDown. A key set to 0 is
  // consumed.
  virtual void KeyDown(WORD& key, TShiftState shift);
  virtual void KeyUp(WORD& key, TShiftState shift);
  virtual void KeyPress(Char& key);
  // The message loop's entry: true when the key was consumed.
  static bool PreviewKeyMessage(const MSG& msg);
  // The message loop's exit: the message has been dispatched.
  static void KeyMessageDispatched(const MSG& msg);

  void WndProc(TMessage& message) override;
  void DefaultHandler(TMessage& message) override;
  void Invalidate() override;
  // Marks this control and all its children.
  void Destroying() override;
  // Paints the graphic children that intersect area (client coordinates) into dc.
  void PaintControls(HDC dc, const TRect& area);
  // The graphic child at a client point, topmost first, or null.
  TControl* ControlAtPos(TPoint p) const;
  void DestroyHandle() override;
  // The window went away without us (its owner was destroyed).
  void HandleDestroyed() { handle_ = nullptr; }

protected:
  struct CreateParams {
    String ClassName;
    DWORD Style = WS_CHILD | WS_CLIPSIBLINGS;
    DWORD ExStyle = 0;
  };
  virtual void FillCreateParams(CreateParams& params);
  // After the window exists: push state that only the window holds.
  virtual void HandleCreated() {}
  void Attach() override;
  void CreateHandle();
  // The id of the next window made below this control's form.
  int NextControlId();
  // The control to which a child window's notification belongs (a combo's edit).
  virtual TWinControl* NotificationTarget() { return this; }
  // Own-class controls paint their background here, then the graphic children.
  virtual void PaintWindow(TCanvas& canvas);
  // The area inside the borders that children align in.
  virtual void AdjustClientRect(TRect& rect) const {}
  // Brush for WM_CTLCOLOR* of this control (its Color).
  HBRUSH ColorBrush();

  void BoundsChanged() override;
  void VisibleChanged() override;
  void EnabledChanged() override;
  void FontChanged() override;
  void ColorChanged() override;
  void TextChanged() override;
  void HintChanged() override;
  void MovedToFront() override;
  void NotifyChildren(UINT msg) override;
  bool RoutesMouse() const override { return ownClass_; }

  void InsertControl(std::unique_ptr<TControl> child);
  void AttachSubclass(HWND hwnd);
  void AdoptHandle(HWND hwnd);
  // Owner window handed to CreateWindowEx for a control without a parent.
  virtual HWND TopLevelOwner() const { return nullptr; }

  HWND handle_ = nullptr;
  std::vector<std::unique_ptr<TControl>> controls_;
  bool tabStop_ = false;

private:
  // A child's own destructor and z-order moves reach the parent's bookkeeping.
  friend TControl::~TControl();
  friend void TControl::BringToFront();
  void ChildGoing(TControl* child);
  void MoveChildToFront(TControl* child);

  // The window procedure's parts; each returns true when the message is done.
  bool ReflectToChild(TMessage& message);
  void AnswerCtlColor(TMessage& message);
  void Resized(TMessage& message);
  void PaintOwnWindow();
  bool SetCursorShape(TMessage& message);
  bool KeyMessage(TMessage& message);
  bool ChildContextMenu(TMessage& message);
  void CaptureChanged(TMessage& message);
  void HandleMouse(TMessage& message);
  void SetMouseControl(TControl* control);

  bool ownClass_ = false;  // our window class: we paint and route the mouse
  bool keyPreviewed_ = false;
  bool aligning_ = false;
  FontHandle fontHandle_;
  UniqueBrush colorBrush_;
  TColor colorBrushOf_ = clNone;
  TControl* mouseControl_ = nullptr;
  TControl* captureControl_ = nullptr;
  bool trackingLeave_ = false;
  static constexpr int kFirstControlId = 100;  // above IDOK, IDCANCEL and the like
  int nextChildId_ = kFirstControlId;  // the form's: the next id of a window below it
};

// A windowed control of our own window class, painted through Paint() on Canvas().
class TCustomControl : public TWinControl {
public:
  using TWinControl::TWinControl;
  String ClassName() const override { return u"TCustomControl"; }
  TCanvas& Canvas();
  // Paints the control (without its children) onto canvas.
  void PaintTo(TCanvas& canvas) override { PaintWindow(canvas); }

protected:
  virtual void Paint();
  void PaintWindow(TCanvas& canvas) override;

private:
  TCanvas* canvas_ = nullptr;
};

// Window class names of our own windows.
extern const wchar_t kControlWindowClass[];
extern const wchar_t kFormWindowClass[];
void RegisterWindowClasses();
