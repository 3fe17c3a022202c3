// Message dispatch: what a control does with each message before the system's handling,
// the mouse routed to graphic children, keys previewed by the message loop, and the
// keyboard and mouse state read from the system.
#include "ui/control.h"

#include <commctrl.h>
#include <windowsx.h>

#include "ui/application.h"
#include "ui/forms.h"
#include "ui/menus.h"

namespace {
bool IsMouseMessage(UINT msg) { return msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST; }
}  // namespace

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

void TControl::WndProc(TMessage& m) {
  if (HandleNotification(m)) return;
  if (RoutesMouse() && IsMouseMessage(m.Msg) && RouteMouseEvent(m)) return;
  DefaultHandler(m);
}

bool TControl::HandleNotification(TMessage& m) {
  switch (m.Msg) {
    case CM_MOUSEENTER:
      if ((m.LParam == 0 || m.LParam == LPARAM(this)) && OnMouseEnter) OnMouseEnter(this);
      return true;
    case CM_MOUSELEAVE:
      if ((m.LParam == 0 || m.LParam == LPARAM(this)) && OnMouseLeave) OnMouseLeave(this);
      return true;
    case CM_HITTEST:
      m.Result = HTCLIENT;
      return true;
    case CM_PARENTFONTCHANGED:
      if (!font_) {
        FontChanged();
        NotifyChildren(CM_PARENTFONTCHANGED);
      }
      return true;
    case CM_PARENTCOLORCHANGED:
      if (!color_) {
        ColorChanged();
        NotifyChildren(CM_PARENTCOLORCHANGED);
      }
      return true;
    case CM_PARENTSHOWHINTCHANGED:
      if (parentShowHint_ && parent_ && showHint_ != parent_->ShowHint()) {
        showHint_ = parent_->ShowHint();
        NotifyChildren(CM_PARENTSHOWHINTCHANGED);
      }
      return true;
    case WM_CONTEXTMENU:
      if (TPopupMenu* menu = popupMenu_) {
        // From the keyboard the point is (-1, -1): the menu opens at the control.
        TPoint at{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
        if (at.X == -1 && at.Y == -1) at = ClientToScreen({0, 0});
        menu->SetPopupComponent(this);
        menu->Popup(at.X, at.Y);  // may free this control: nothing after it
        m.Result = 1;
        return true;
      }
      return false;
    default:
      return false;
  }
}

bool TControl::RouteMouseEvent(TMessage& m) {
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
      return false;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP: {
      bool click =
          m.Msg == WM_LBUTTONUP && pressed_ && enabled_ && ClientRect().Contains({x, y});
      if (m.Msg == WM_LBUTTONUP) pressed_ = false;
      if (OnMouseUp) OnMouseUp(this, m.Msg == WM_RBUTTONUP ? mbRight : mbLeft, shift, x, y);
      if (!click) return false;
      if (IsWindowed()) DefaultHandler(m);
      Click();  // may free this control: nothing after it
      return true;
    }
    case WM_MOUSEMOVE:
      if (OnMouseMove) OnMouseMove(this, shift, x, y);
      return false;
    default:
      return false;
  }
}

void TControl::DefaultHandler(TMessage& m) { m.Result = 0; }

// ------------------------------------------------------------------------- TWinControl

void TWinControl::WndProc(TMessage& m) {
  bool done = false;
  switch (m.Msg) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
    case WM_DRAWITEM:
      done = ReflectToChild(m);
      break;
    case CN_CTLCOLOR:
      AnswerCtlColor(m);
      done = true;
      break;
    case WM_SIZE:
      Resized(m);
      done = true;
      break;
    case WM_ERASEBKGND:
      if (ownClass_) {
        m.Result = 1;
        done = true;
      }
      break;
    case WM_PAINT:
      if (ownClass_) {
        PaintOwnWindow();
        done = true;
      }
      break;
    case WM_SETCURSOR:
      done = SetCursorShape(m);
      break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
    case WM_CHAR:
      done = KeyMessage(m);
      break;
    case WM_SETFOCUS:
      DefaultHandler(m);
      if (OnEnter) OnEnter(this);
      done = true;
      break;
    case WM_KILLFOCUS:
      DefaultHandler(m);
      if (OnExit) OnExit(this);
      done = true;
      break;
    case WM_CONTEXTMENU:
      done = ChildContextMenu(m);
      break;
    case WM_MOUSELEAVE:
      trackingLeave_ = false;
      SetMouseControl(nullptr);
      break;
    case WM_CAPTURECHANGED:
      CaptureChanged(m);
      break;
    default:
      if (IsMouseMessage(m.Msg)) {
        HandleMouse(m);
        done = true;
      }
      break;
  }
  if (!done) TControl::WndProc(m);
}

bool TWinControl::ReflectToChild(TMessage& m) {
  // A child window's notification goes back to the child's control.
  HWND from = nullptr;
  UINT reflected = 0;
  switch (m.Msg) {
    case WM_COMMAND:
      from = HWND(m.LParam);
      reflected = CN_COMMAND;
      break;
    case WM_NOTIFY:
      from = reinterpret_cast<NMHDR*>(m.LParam)->hwndFrom;
      reflected = CN_NOTIFY;
      break;
    case WM_DRAWITEM: {
      auto* di = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
      if (di->CtlType == ODT_MENU) return false;
      from = di->hwndItem;
      reflected = CN_DRAWITEM;
      break;
    }
    default:  // the WM_CTLCOLOR* kinds
      from = HWND(m.LParam);
      reflected = CN_CTLCOLOR;
      break;
  }
  TWinControl* c = FromHandle(from);
  if (!c) return false;
  m.Result = c->Perform(reflected, m.WParam, m.LParam);
  return true;
}

void TWinControl::AnswerCtlColor(TMessage& m) {
  HDC dc = HDC(m.WParam);
  SetTextColor(dc, ColorToRGB(Font().Color));
  SetBkColor(dc, ColorToRGB(Color()));
  m.Result = LRESULT(ColorBrush());
}

void TWinControl::Resized(TMessage& m) {
  DefaultHandler(m);
  RECT r;
  GetWindowRect(handle_, &r);
  if (parent_) {
    POINT tl{r.left, r.top};
    ::ScreenToClient(parent_->Handle(), &tl);
    bounds_ = Bounds(tl.x, tl.y, r.right - r.left, r.bottom - r.top);
  } else {
    bounds_ = TRect::From(r);
  }
  Realign();
  if (OnResize) OnResize(this);
}

bool TWinControl::SetCursorShape(TMessage& m) {
  if (LOWORD(m.LParam) != HTCLIENT || HWND(m.WParam) != handle_) return false;
  TCursor cursor = Screen().Cursor();
  if (cursor == crDefault && ownClass_) {
    POINT pt;
    GetCursorPos(&pt);
    ::ScreenToClient(handle_, &pt);
    if (TControl* c = ControlAtPos({int(pt.x), int(pt.y)})) cursor = c->Cursor();
  }
  if (cursor == crDefault) cursor = cursor_;
  if (cursor == crDefault) return false;
  ::SetCursor(CursorHandle(cursor));
  m.Result = TRUE;
  return true;
}

bool TWinControl::KeyMessage(TMessage& m) {
  // A key set to 0 by a handler is consumed; a changed one goes on to the system.
  switch (m.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      if (keyPreviewed_) {
        keyPreviewed_ = false;
        return false;
      }
      WORD key = WORD(m.WParam);
      KeyDown(key, KeyboardShiftState());
      if (key == 0) return true;
      m.WParam = key;
      return false;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      WORD key = WORD(m.WParam);
      KeyUp(key, KeyboardShiftState());
      if (key == 0) return true;
      m.WParam = key;
      return false;
    }
    default: {  // WM_CHAR
      Char c = Char(m.WParam);
      KeyPress(c);
      if (c == 0) return true;
      m.WParam = c;
      return false;
    }
  }
}

bool TWinControl::ChildContextMenu(TMessage& m) {
  // A graphic child under the point answers first; then this control's own menu;
  // then the system hands the message to the parent window.
  if (!ownClass_ || (GET_X_LPARAM(m.LParam) == -1 && GET_Y_LPARAM(m.LParam) == -1)) return false;
  POINT pt{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
  ::ScreenToClient(handle_, &pt);
  TControl* c = ControlAtPos({int(pt.x), int(pt.y)});
  if (!c || !c->Enabled() || c->Perform(WM_CONTEXTMENU, m.WParam, m.LParam) == 0) return false;
  m.Result = 1;
  return true;
}

void TWinControl::CaptureChanged(TMessage& m) {
  // Another window took the mouse (a menu, a message box): the press on a graphic child
  // is over, and later mouse input goes by position again.
  if (HWND(m.LParam) == handle_) return;
  if (TControl* pressed = captureControl_) {
    captureControl_ = nullptr;
    pressed->pressed_ = false;
  }
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

// ------------------------------------------------------------------------------ keys

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

void TWinControl::KeyMessageDispatched(const MSG& msg) {
  if (TWinControl* c = FromHandle(msg.hwnd)) c->keyPreviewed_ = false;
}
