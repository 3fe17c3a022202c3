#include "ui/control.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "base/exception.h"
#include "base/scope_exit.h"
#include "base/win_string.h"
#include "ui/application.h"
#include "ui/forms.h"
#include "ui/menus.h"

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
    Application().HandleCurrentException();
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

bool IsMouseMessage(UINT msg) { return msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST; }

// Keeps a parent's own painting off its graphic children that paint all of their area,
// for as long as it lives.
class OpaqueChildrenClip {
public:
  OpaqueChildrenClip(HDC dc, const std::vector<std::unique_ptr<TControl>>& children)
      : dc_(dc), saved_(CreateRectRgn(0, 0, 0, 0)) {
    hadClip_ = saved_ && GetClipRgn(dc, saved_.get()) == 1;
    for (auto& c : children) {
      if (c->IsWindowed() || !c->Visible() || !(c->ControlStyle() & csOpaque)) continue;
      const TRect b = c->BoundsRect();
      if (!b.IsEmpty()) ExcludeClipRect(dc, b.Left, b.Top, b.Right, b.Bottom);
    }
  }
  ~OpaqueChildrenClip() { SelectClipRgn(dc_, hadClip_ ? saved_.get() : nullptr); }
  OpaqueChildrenClip(const OpaqueChildrenClip&) = delete;
  OpaqueChildrenClip& operator=(const OpaqueChildrenClip&) = delete;

private:
  HDC dc_;
  UniqueRegion saved_;
  bool hadClip_ = false;
};
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

TShiftState KeyboardShiftState() {
  TShiftState s = 0;
  if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
  if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
  if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
  if (GetKeyState(VK_LBUTTON) < 0) s |= ssLeft;
  if (GetKeyState(VK_RBUTTON) < 0) s |= ssRight;
  if (GetKeyState(VK_MBUTTON) < 0) s |= ssMiddle;
  return s;
}

TShiftState ShiftFromKeys(WPARAM keys) {
  TShiftState s = 0;
  if (keys & MK_SHIFT) s |= ssShift;
  if (keys & MK_CONTROL) s |= ssCtrl;
  if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
  if (keys & MK_LBUTTON) s |= ssLeft;
  if (keys & MK_RBUTTON) s |= ssRight;
  if (keys & MK_MBUTTON) s |= ssMiddle;
  return s;
}

HCURSOR CursorHandle(TCursor cursor) {
  const wchar_t* id = IDC_ARROW;
  switch (cursor) {
    case crCross: id = IDC_CROSS; break;
    case crIBeam: id = IDC_IBEAM; break;
    case crSizeWE:
    case crHSplit: id = IDC_SIZEWE; break;
    case crHourGlass: id = IDC_WAIT; break;
    case crHandPoint: id = IDC_HAND; break;
    default: break;
  }
  return LoadCursorW(nullptr, id);
}

// ---------------------------------------------------------------------------- TControl

TControl::TControl(TWinControl* parent) : TComponent(parent), parent_(parent) {
  WindowProc = [this](TMessage& m) { WndProc(m); };
}

TControl::~TControl() {
  if (parent_) {
    if (parent_->mouseControl_ == this) {
      parent_->mouseControl_ = nullptr;
      if (TForm* f = parent_->ParentForm()) f->HideControlHint(this);
    }
    if (parent_->captureControl_ == this) parent_->captureControl_ = nullptr;
  }
}

TForm* TControl::ParentForm() {
  TControl* c = this;
  while (c) {
    if (auto* f = dynamic_cast<TForm*>(c)) return f;
    c = c->parent_;
  }
  return nullptr;
}

void TControl::SetBounds(int left, int top, int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  TRect r = Bounds(left, top, width, height);
  if (r == bounds_) return;
  TRect old = bounds_;
  bounds_ = r;
  if (!IsWindowed() && parent_) {
    RECT o = old.ToRECT();
    if (parent_->HandleAllocated()) InvalidateRect(parent_->Handle(), &o, FALSE);
  }
  BoundsChanged();
  if (parent_ && align_ != alNone && align_ != alCustom) parent_->Realign();
}

void TControl::SetAlign(TAlign align) {
  if (align == align_) return;
  align_ = align;
  if (parent_) parent_->Realign();
}

void TControl::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  VisibleChanged();
  Perform(CM_VISIBLECHANGED, visible ? 1 : 0, 0);
  if (parent_ && align_ != alNone) parent_->Realign();
}

bool TControl::Showing() const {
  for (const TControl* c = this; c; c = c->parent_)
    if (!c->visible_) return false;
  return true;
}

void TControl::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  EnabledChanged();
  Perform(CM_ENABLEDCHANGED, 0, 0);
}

const TFont& TControl::Font() const {
  if (font_) return *font_;
  if (parent_) return parent_->Font();
  static const TFont kDefault{};
  return kDefault;
}

void TControl::SetFont(const TFont& font) {
  font_ = font;
  FontChanged();
  Perform(CM_FONTCHANGED, 0, 0);
}

void TControl::SetFontColor(TColor color) {
  TFont f = Font();
  f.Color = color;
  SetFont(f);
}

void TControl::SetFontStyle(unsigned style) {
  TFont f = Font();
  f.Style = style;
  SetFont(f);
}

TColor TControl::Color() const {
  if (color_) return *color_;
  if (parent_) return parent_->Color();
  return clBtnFace;
}

void TControl::SetColor(TColor color) {
  color_ = color;
  ColorChanged();
  Perform(CM_COLORCHANGED, 0, 0);
}

void TControl::SetCaption(const String& text) {
  if (text == caption_) return;
  caption_ = text;
  TextChanged();
  Perform(CM_TEXTCHANGED, 0, 0);
}

void TControl::SetHint(const String& hint) {
  hint_ = hint;
  if (IsWindowed() && static_cast<TWinControl*>(this)->HandleAllocated())
    if (TForm* f = ParentForm()) f->UpdateHint(static_cast<TWinControl*>(this));
}

void TControl::SetShowHint(bool v) {
  parentShowHint_ = false;
  if (v == showHint_) return;
  showHint_ = v;
  NotifyChildren(CM_PARENTSHOWHINTCHANGED);
}

void TControl::SetParentShowHint(bool v) {
  if (v == parentShowHint_) return;
  parentShowHint_ = v;
  if (v) Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
}

void TControl::SetPopupMenu(TPopupMenu* menu) {
  if (menu == popupMenu_) return;
  // Referenced, not owned: whichever of the two goes first, the other forgets it.
  if (popupMenu_) RemoveFreeNotification(popupMenu_);
  popupMenu_ = menu;
  FreeNotification(menu);
}

void TControl::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == popupMenu_) popupMenu_ = nullptr;
}

void TControl::Invalidate() {}

void TControl::Repaint() {
  Invalidate();
  Update();
}

void TControl::Update() {
  const TControl* c = this;
  while (c && !c->IsWindowed()) c = c->parent_;
  if (c) {
    auto* w = static_cast<const TWinControl*>(c);
    if (w->HandleAllocated()) UpdateWindow(w->Handle());
  }
}

void TControl::BringToFront() {
  if (parent_) {
    auto& list = parent_->controls_;
    auto it = std::find_if(list.begin(), list.end(), [this](auto& p) { return p.get() == this; });
    if (it != list.end()) std::rotate(it, it + 1, list.end());
  }
  if (IsWindowed()) {
    auto* w = static_cast<TWinControl*>(this);
    if (w->HandleAllocated())
      SetWindowPos(w->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  Invalidate();
}

void TControl::SendToBack() {
  if (parent_) {
    auto& list = parent_->controls_;
    auto it = std::find_if(list.begin(), list.end(), [this](auto& p) { return p.get() == this; });
    if (it != list.end()) std::rotate(list.begin(), it, it + 1);
  }
  if (IsWindowed()) {
    auto* w = static_cast<TWinControl*>(this);
    if (w->HandleAllocated())
      SetWindowPos(w->Handle(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  Invalidate();
}

TPoint TControl::ClientToScreen(TPoint p) const {
  const TControl* c = this;
  while (c && !c->IsWindowed()) {
    p.X += c->Left();
    p.Y += c->Top();
    c = c->parent_;
  }
  if (c) {
    POINT pt{p.X, p.Y};
    ::ClientToScreen(static_cast<const TWinControl*>(c)->Handle(), &pt);
    return {int(pt.x), int(pt.y)};
  }
  return p;
}

TPoint TControl::ScreenToClient(TPoint p) const {
  TPoint origin = ClientToScreen({0, 0});
  return {p.X - origin.X, p.Y - origin.Y};
}

LRESULT TControl::Perform(UINT msg, WPARAM wp, LPARAM lp) {
  TMessage m{msg, wp, lp, 0};
  WindowProc(m);
  return m.Result;
}

void TControl::NotifyChildren(UINT msg) {
  if (!IsWindowed()) return;
  auto* w = static_cast<TWinControl*>(this);
  for (auto& c : w->controls_) c->Perform(msg, 0, 0);
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

void TControl::WndProc(TMessage& m) {
  bool routesClicks = !IsWindowed() || static_cast<TWinControl*>(this)->ownClass_;
  switch (m.Msg) {
    case CM_MOUSEENTER:
      if ((m.LParam == 0 || m.LParam == LPARAM(this)) && OnMouseEnter) OnMouseEnter(this);
      return;
    case CM_MOUSELEAVE:
      if ((m.LParam == 0 || m.LParam == LPARAM(this)) && OnMouseLeave) OnMouseLeave(this);
      return;
    case CM_HITTEST:
      m.Result = HTCLIENT;
      return;
    case CM_PARENTFONTCHANGED:
      if (!font_) {
        FontChanged();
        NotifyChildren(CM_PARENTFONTCHANGED);
      }
      return;
    case CM_PARENTCOLORCHANGED:
      if (!color_) {
        ColorChanged();
        NotifyChildren(CM_PARENTCOLORCHANGED);
      }
      return;
    case CM_PARENTSHOWHINTCHANGED:
      if (parentShowHint_ && parent_ && showHint_ != parent_->ShowHint()) {
        showHint_ = parent_->ShowHint();
        NotifyChildren(CM_PARENTSHOWHINTCHANGED);
      }
      return;
    case WM_CONTEXTMENU:
      if (TPopupMenu* menu = popupMenu_) {
        // From the keyboard the point is (-1, -1): the menu opens at the control.
        TPoint at{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
        if (at.X == -1 && at.Y == -1) at = ClientToScreen({0, 0});
        menu->SetPopupComponent(this);
        menu->Popup(at.X, at.Y);  // may free this control: nothing after it
        m.Result = 1;
        return;
      }
      break;
    default:
      break;
  }
  if (routesClicks && IsMouseMessage(m.Msg)) {
    int x = GET_X_LPARAM(m.LParam), y = GET_Y_LPARAM(m.LParam);
    TShiftState shift = ShiftFromKeys(m.WParam);
    switch (m.Msg) {
      case WM_LBUTTONDOWN:
      case WM_RBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
        if (m.Msg != WM_RBUTTONDOWN) pressed_ = true;
        if (m.Msg == WM_LBUTTONDBLCLK) shift |= ssDouble;
        if (OnMouseDown) OnMouseDown(this, m.Msg == WM_RBUTTONDOWN ? mbRight : mbLeft, shift, x, y);
        if (m.Msg == WM_LBUTTONDBLCLK && OnDblClick) OnDblClick(this);
        break;
      case WM_LBUTTONUP:
      case WM_RBUTTONUP: {
        bool click = m.Msg == WM_LBUTTONUP && pressed_ && enabled_ &&
                     ClientRect().Contains({x, y});
        if (m.Msg == WM_LBUTTONUP) pressed_ = false;
        if (OnMouseUp) OnMouseUp(this, m.Msg == WM_RBUTTONUP ? mbRight : mbLeft, shift, x, y);
        if (click) {
          if (IsWindowed()) DefaultHandler(m);
          Click();  // may free this control: nothing after it
          return;
        }
        break;
      }
      case WM_MOUSEMOVE:
        if (OnMouseMove) OnMouseMove(this, shift, x, y);
        break;
      default:
        break;
    }
  }
  DefaultHandler(m);
}

void TControl::DefaultHandler(TMessage& m) { m.Result = 0; }

// ---------------------------------------------------------------------- TGraphicControl

TCanvas& TGraphicControl::Canvas() {
  if (!canvas_) throw Exception(u"Canvas used outside painting");
  return *canvas_;
}

void TGraphicControl::PaintTo(TCanvas& canvas) {
  TCanvas* saved = canvas_;
  canvas_ = &canvas;
  ScopeExit restore([this, saved]() noexcept { canvas_ = saved; });
  Paint();
}

void TGraphicControl::Invalidate() {
  if (parent_ && parent_->HandleAllocated()) {
    RECT r = bounds_.ToRECT();
    InvalidateRect(parent_->Handle(), &r, FALSE);
  }
}

void TGraphicControl::VisibleChanged() {
  if (parent_ && parent_->HandleAllocated()) {
    RECT r = bounds_.ToRECT();
    InvalidateRect(parent_->Handle(), &r, FALSE);
  }
}

// ------------------------------------------------------------------------- TWinControl

TWinControl::TWinControl(TWinControl* parent) : TControl(parent) {}

TWinControl::~TWinControl() {
  Destroying();
  DestroyHandle();
  controls_.clear();
}

void TWinControl::Destroying() {
  TControl::Destroying();
  for (auto& c : controls_) c->Destroying();
}

TWinControl* TWinControl::FromHandle(HWND hwnd) {
  DWORD_PTR ref = 0;
  if (hwnd && FindControlSubclass(hwnd, &ref))
    return reinterpret_cast<TWinControl*>(ref);
  return nullptr;
}

void TWinControl::DestroyHandle() {
  for (auto& c : controls_)
    if (c->IsWindowed()) static_cast<TWinControl*>(c.get())->DestroyHandle();
  if (handle_) {
    HWND h = handle_;
    RemoveWindowSubclass(h, ControlSubclassProc, kSubclassId);
    handle_ = nullptr;
    DestroyWindow(h);
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
  if (parent_ && showHint_ && !hint_.empty())
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

void TWinControl::InsertControl(std::unique_ptr<TControl> child) {
  TControl* c = child.get();
  if (c->parentShowHint_) c->showHint_ = showHint_;
  controls_.push_back(std::move(child));
  c->Attach();
  if (c->Align() != alNone) Realign();
  if (!c->IsWindowed()) c->Invalidate();
}

TControl* TWinControl::FindChild(const String& name) const {
  for (auto& c : controls_) {
    if (c->Name() == name) return c.get();
    if (c->IsWindowed())
      if (TControl* found = static_cast<TWinControl*>(c.get())->FindChild(name)) return found;
  }
  return nullptr;
}

void TWinControl::RemoveControl(TControl* child) {
  auto it = std::find_if(controls_.begin(), controls_.end(),
                         [child](auto& p) { return p.get() == child; });
  if (it == controls_.end()) return;
  if (mouseControl_ == child) mouseControl_ = nullptr;
  if (captureControl_ == child) captureControl_ = nullptr;
  child->Invalidate();
  child->Destroying();
  std::unique_ptr<TControl> owned = std::move(*it);
  controls_.erase(it);
  owned.reset();
  Realign();
}

TRect TWinControl::ClientRect() const {
  if (handle_) {
    RECT r;
    GetClientRect(handle_, &r);
    return TRect::From(r);
  }
  return TRect{0, 0, Width(), Height()};
}

void TWinControl::EnableAlign() {
  if (alignDisabled_ > 0 && --alignDisabled_ == 0) Realign();
}

void TWinControl::Realign() {
  if (aligning_ || alignDisabled_) return;
  aligning_ = true;
  TRect r = ClientRect();
  AdjustClientRect(r);
  for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient}) {
    for (auto& owned : controls_) {
      TControl* c = owned.get();
      if (c->Align() != a || !c->Visible()) continue;
      int w = std::max(r.Width(), 0), h = std::max(r.Height(), 0);
      switch (a) {
        case alTop:
          c->SetBounds(r.Left, r.Top, w, c->Height());
          r.Top += c->Height();
          break;
        case alBottom:
          c->SetBounds(r.Left, r.Bottom - c->Height(), w, c->Height());
          r.Bottom -= c->Height();
          break;
        case alLeft:
          c->SetBounds(r.Left, r.Top, c->Width(), h);
          r.Left += c->Width();
          break;
        case alRight:
          c->SetBounds(r.Right - c->Width(), r.Top, c->Width(), h);
          r.Right -= c->Width();
          break;
        default:
          c->SetBounds(r.Left, r.Top, w, h);
          break;
      }
    }
  }
  aligning_ = false;
}

void TWinControl::SetFocus() {
  if (handle_) ::SetFocus(handle_);
}

bool TWinControl::Focused() const { return handle_ && GetFocus() == handle_; }

bool TWinControl::CanFocus() const { return handle_ && IsWindowVisible(handle_) && IsWindowEnabled(handle_); }

void TWinControl::SetTabStop(bool v) {
  tabStop_ = v;
  if (handle_) {
    LONG_PTR s = GetWindowLongPtrW(handle_, GWL_STYLE);
    SetWindowLongPtrW(handle_, GWL_STYLE, v ? (s | WS_TABSTOP) : (s & ~WS_TABSTOP));
  }
}

void TWinControl::KeyDown(WORD& key, TShiftState shift) {
  if (OnKeyDown) OnKeyDown(this, key, shift);
}

void TWinControl::KeyUp(WORD& key, TShiftState shift) {
  if (OnKeyUp) OnKeyUp(this, key, shift);
}

void TWinControl::KeyPress(Char& key) {
  if (OnKeyPress) OnKeyPress(this, key);
}

bool TWinControl::PreviewKeyMessage(const MSG& msg) {
  if (msg.message == WM_CHAR && !FromHandle(msg.hwnd)) {
    // Characters for a system control's own child reach its owner's KeyPress here.
    TWinControl* owner = FromHandle(GetParent(msg.hwnd));
    if (!owner) return false;
    Char ch = Char(msg.wParam);
    owner->NotificationTarget()->KeyPress(ch);
    return ch == 0;
  }
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
  TWinControl* c = FromHandle(msg.hwnd);
  bool inner = false;
  if (!c) {  // a system control's own child, e.g. the edit inside a combo box
    c = FromHandle(GetParent(msg.hwnd));
    inner = true;
    if (!c) return false;
  }
  c = c->NotificationTarget();
  WORD key = WORD(msg.wParam);
  c->KeyDown(key, KeyboardShiftState());
  if (key == 0) return true;
  // The handler may have freed the control: look it up again by its window.
  if (!inner)
    if (TWinControl* still = FromHandle(msg.hwnd)) still->keyPreviewed_ = true;
  return false;
}

void TWinControl::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_COMMAND:
      if (m.LParam) {
        if (TWinControl* c = FromHandle(HWND(m.LParam))) {
          m.Result = c->Perform(CN_COMMAND, m.WParam, m.LParam);
          return;
        }
      }
      break;
    case WM_NOTIFY: {
      auto* hdr = reinterpret_cast<NMHDR*>(m.LParam);
      if (TWinControl* c = FromHandle(hdr->hwndFrom)) {
        m.Result = c->Perform(CN_NOTIFY, m.WParam, m.LParam);
        return;
      }
      break;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
      if (TWinControl* c = FromHandle(HWND(m.LParam))) {
        m.Result = c->Perform(CN_CTLCOLOR, m.WParam, m.LParam);
        return;
      }
      break;
    case WM_DRAWITEM: {
      auto* di = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
      if (di->CtlType != ODT_MENU)
        if (TWinControl* c = FromHandle(di->hwndItem)) {
          m.Result = c->Perform(CN_DRAWITEM, m.WParam, m.LParam);
          return;
        }
      break;
    }
    case CN_CTLCOLOR: {
      HDC dc = HDC(m.WParam);
      SetTextColor(dc, ColorToRGB(Font().Color));
      SetBkColor(dc, ColorToRGB(Color()));
      m.Result = LRESULT(ColorBrush());
      return;
    }
    case WM_SIZE:
      DefaultHandler(m);
      {
        RECT r;
        GetWindowRect(handle_, &r);
        if (parent_) {
          POINT tl{r.left, r.top};
          ::ScreenToClient(parent_->Handle(), &tl);
          bounds_ = Bounds(tl.x, tl.y, r.right - r.left, r.bottom - r.top);
        } else {
          bounds_ = TRect::From(r);
        }
      }
      Realign();
      if (OnResize) OnResize(this);
      return;
    case WM_ERASEBKGND:
      if (ownClass_) {
        m.Result = 1;
        return;
      }
      break;
    case WM_PAINT:
      if (ownClass_) {
        PaintDC pdc(handle_);
        TRect area = pdc.Area();
        TRect client = ClientRect();
        TBitmap buffer;
        if (buffer.SetSize(client.Width(), client.Height())) {
          TCanvas& canvas = buffer.Canvas();
          canvas.Font = Font();
          {
            OpaqueChildrenClip clip(buffer.DC(), controls_);
            PaintWindow(canvas);
          }
          PaintControls(buffer.DC(), area);
          BitBlt(pdc.get(), area.Left, area.Top, area.Width(), area.Height(), buffer.DC(),
                 area.Left, area.Top, SRCCOPY);
        } else {
          TGdiCanvas canvas(pdc.get());
          canvas.Font = Font();
          {
            OpaqueChildrenClip clip(pdc.get(), controls_);
            PaintWindow(canvas);
          }
          PaintControls(pdc.get(), area);
        }
        return;
      }
      break;
    case WM_SETCURSOR:
      if (LOWORD(m.LParam) == HTCLIENT && HWND(m.WParam) == handle_) {
        TCursor cursor = Screen().Cursor();
        if (cursor == crDefault && ownClass_) {
          POINT pt;
          GetCursorPos(&pt);
          ::ScreenToClient(handle_, &pt);
          if (TControl* c = ControlAtPos({int(pt.x), int(pt.y)})) cursor = c->Cursor();
        }
        if (cursor == crDefault) cursor = cursor_;
        if (cursor != crDefault) {
          ::SetCursor(CursorHandle(cursor));
          m.Result = TRUE;
          return;
        }
      }
      break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      if (keyPreviewed_) {
        keyPreviewed_ = false;
        break;
      }
      WORD key = WORD(m.WParam);
      KeyDown(key, KeyboardShiftState());
      if (key == 0) return;
      m.WParam = key;
      break;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      WORD key = WORD(m.WParam);
      KeyUp(key, KeyboardShiftState());
      if (key == 0) return;
      m.WParam = key;
      break;
    }
    case WM_CHAR: {
      Char c = Char(m.WParam);
      KeyPress(c);
      if (c == 0) return;
      m.WParam = c;
      break;
    }
    case WM_SETFOCUS:
      DefaultHandler(m);
      if (OnEnter) OnEnter(this);
      return;
    case WM_KILLFOCUS:
      DefaultHandler(m);
      if (OnExit) OnExit(this);
      return;
    case WM_CONTEXTMENU:
      // A graphic child under the point answers first; then this control's own menu;
      // then the system hands the message to the parent window.
      if (ownClass_ && !(GET_X_LPARAM(m.LParam) == -1 && GET_Y_LPARAM(m.LParam) == -1)) {
        POINT pt{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
        ::ScreenToClient(handle_, &pt);
        if (TControl* c = ControlAtPos({int(pt.x), int(pt.y)})) {
          if (c->Enabled() && c->Perform(WM_CONTEXTMENU, m.WParam, m.LParam) != 0) {
            m.Result = 1;
            return;
          }
        }
      }
      break;
    case WM_MOUSELEAVE:
      trackingLeave_ = false;
      SetMouseControl(nullptr);
      break;
    case WM_CAPTURECHANGED:
      // Another window took the mouse (a menu, a message box): the press on a
      // graphic child is over, and later mouse input goes by position again.
      if (HWND(m.LParam) != handle_) {
        if (TControl* pressed = captureControl_) {
          captureControl_ = nullptr;
          pressed->pressed_ = false;
        }
      }
      break;
    default:
      if (IsMouseMessage(m.Msg)) {
        HandleMouse(m);
        return;
      }
      break;
  }
  TControl::WndProc(m);
}

void TWinControl::HandleMouse(TMessage& m) {
  TPoint p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
  if (m.Msg == WM_MOUSEWHEEL) {  // screen coordinates
    TControl::WndProc(m);
    return;
  }
  TControl* target = nullptr;
  if (ownClass_) target = captureControl_ ? captureControl_ : ControlAtPos(p);
  if (m.Msg == WM_MOUSEMOVE) {
    SetMouseControl(target ? target : this);
    if (!trackingLeave_ && handle_) {
      TRACKMOUSEEVENT t{sizeof(t), TME_LEAVE, handle_, 0};
      trackingLeave_ = TrackMouseEvent(&t) != 0;
    }
  }
  if (target && target != this) {
    bool down = m.Msg == WM_LBUTTONDOWN || m.Msg == WM_RBUTTONDOWN || m.Msg == WM_LBUTTONDBLCLK;
    bool up = m.Msg == WM_LBUTTONUP || m.Msg == WM_RBUTTONUP;
    if (down && target->Enabled()) {
      captureControl_ = target;
      SetCapture(handle_);
    }
    if (up) {
      captureControl_ = nullptr;
      ReleaseCapture();
    }
    if (!target->Enabled()) return;
    TMessage cm = m;
    cm.LParam = MAKELPARAM(p.X - target->Left(), p.Y - target->Top());
    target->WindowProc(cm);  // may free target
    m.Result = cm.Result;
    return;
  }
  TControl::WndProc(m);
}

void TWinControl::SetMouseControl(TControl* control) {
  if (control == mouseControl_) return;
  TControl* old = mouseControl_;
  mouseControl_ = control;
  if (old) old->Perform(CM_MOUSELEAVE, 0, LPARAM(old));
  if (control && mouseControl_ == control) control->Perform(CM_MOUSEENTER, 0, LPARAM(control));
  // Windowed controls have their tooltips; a windowless one's hint goes through its form.
  if (TForm* f = ParentForm()) {
    if (old && !old->IsWindowed()) f->HideControlHint(old);
    if (control && mouseControl_ == control && !control->IsWindowed()) f->ShowControlHint(control);
  }
}

void TWinControl::DefaultHandler(TMessage& m) {
  if (handle_)
    m.Result = DefSubclassProc(handle_, m.Msg, m.WParam, m.LParam);
  else
    m.Result = 0;
}

void TWinControl::Invalidate() {
  if (handle_) InvalidateRect(handle_, nullptr, FALSE);
}

TControl* TWinControl::ControlAtPos(TPoint p) const {
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    TControl* c = it->get();
    if (c->IsWindowed() || !c->Visible() || !c->BoundsRect().Contains(p)) continue;
    if (c->Perform(CM_HITTEST, 0, MAKELPARAM(p.X - c->Left(), p.Y - c->Top())) != 0) return c;
  }
  return nullptr;
}

void TWinControl::PaintWindow(TCanvas& canvas) {
  canvas.Brush = TBrush{Color()};
  canvas.FillRect(ClientRect());
}

void TWinControl::PaintControls(HDC dc, const TRect& area) {
  for (auto& owned : controls_) {
    TControl* c = owned.get();
    if (c->IsWindowed() || !c->Visible()) continue;
    TRect b = c->BoundsRect();
    if (b.IsEmpty() || b.Right <= area.Left || b.Left >= area.Right || b.Bottom <= area.Top ||
        b.Top >= area.Bottom)
      continue;
    SavedDC saved(dc);
    IntersectClipRect(dc, b.Left, b.Top, b.Right, b.Bottom);
    OffsetViewportOrgEx(dc, b.Left, b.Top, nullptr);
    TGdiCanvas canvas(dc);
    canvas.Font = c->Font();
    static_cast<TGraphicControl*>(c)->PaintTo(canvas);
  }
}

HBRUSH TWinControl::ColorBrush() {
  TColor c = Color();
  COLORREF rgb = ColorToRGB(c);
  if (!colorBrush_ || colorBrushOf_ != rgb) {
    colorBrush_.reset(CreateSolidBrush(rgb));
    colorBrushOf_ = rgb;
  }
  return colorBrush_.get();
}

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

// ----------------------------------------------------------------------- TCustomControl

TCanvas& TCustomControl::Canvas() {
  if (!canvas_) throw Exception(u"Canvas used outside painting");
  return *canvas_;
}

void TCustomControl::Paint() {
  Canvas().Brush = TBrush{Color()};
  Canvas().FillRect(ClientRect());
}

void TCustomControl::PaintWindow(TCanvas& canvas) {
  canvas_ = &canvas;
  ScopeExit restore([this]() noexcept { canvas_ = nullptr; });
  Paint();
}
