#include "scan/xr_ex_controls.h"

#include <cstring>

int ShiftToKeyData(TShiftState shift) {
  int data = 0;
  if (shift & ssShift) data |= 1 << 27;
  if (shift & ssCtrl) data |= 1 << 28;
  if (shift & ssAlt) data |= 1 << 29;
  return data;
}

TShiftState KeyDataToShift(LPARAM keyData) {
  TShiftState s = 0;
  if (keyData & (1 << 27)) s |= ssShift;
  if (keyData & (1 << 28)) s |= ssCtrl;
  if (keyData & (1 << 29)) s |= ssAlt;
  return s;
}

void ResolveHintColor(THintInfo& info, TControl* control, TColor hintColor) {
  if (hintColor == clNone) {
    info.HintColor = kApplicationHintColor;
  } else if (hintColor == clDefault) {
    TWinControl* parent = control ? control->Parent() : nullptr;
    if (parent) {
      THintInfo copy = info;
      parent->Perform(CM_HINTSHOW, 0, LPARAM(&copy));
      info.HintColor = copy.HintColor;
    }
  } else {
    info.HintColor = hintColor;
  }
}

bool IsDesignerMessage(TControl* control, const TMessage& m) {
  UINT msg = m.Msg;
  bool neverOffered = msg == WM_SETFOCUS || msg == WM_KILLFOCUS || msg == WM_CANCELMODE ||
                      msg == WM_NCHITTEST || (msg >= WM_KEYFIRST && msg <= WM_KEYLAST) ||
                      (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST);
  (void)control;
  (void)neverOffered;
  return false;  // no form designer runs in these programs
}

TXrExGraphicControl::TXrExGraphicControl(TWinControl* parent) : TGraphicControl(parent) {
  FHintColor = clDefault;
}

bool TXrExGraphicControl::Supports(const GUID& id) const {
  return std::memcmp(&id, &kXrExControlInterface, sizeof(GUID)) == 0;
}

int TXrExGraphicControl::PassToBase(UINT msg, WPARAM wparam, LPARAM lparam) {
  TMessage m{msg, wparam, lparam, 0};
  PassToBase(m);
  return int(m.Result);
}

int TXrExGraphicControl::PassStructToBase(UINT msg, WPARAM wparam, void* structure) {
  TStructPtrMessage carrier(msg, wparam, LPARAM(structure));
  PassToBase(carrier.Msg);
  return int(carrier.Msg.Result);
}

void TXrExGraphicControl::WndProc(TMessage& m) {
  if (IsDesignerMessage(this, m)) return;
  switch (m.Msg) {
    case CM_DIALOGCHAR: {
      Char ch = Char(m.WParam);
      m.Result = AcceptsDialogChar(WORD(m.WParam), KeyDataToShift(m.LParam), String(1, ch)) ? 1 : 0;
      return;
    }
    case CM_FOCUSCHANGED: NotifyFocusChange(reinterpret_cast<TControl*>(m.LParam)); return;
    case CM_PARENTFONTCHANGED: NotifyParentFontChange(); return;
    case CM_PARENTCOLORCHANGED: NotifyParentColorChange(); return;
    case CM_HITTEST:
      m.Result = IsPointInside(short(LOWORD(m.LParam)), short(HIWORD(m.LParam))) ? 1 : 0;
      return;
    case CM_VISIBLECHANGED: NotifyVisibleChange(); return;
    case CM_ENABLEDCHANGED: NotifyEnabledChange(); return;
    case CM_COLORCHANGED: NotifyColorChange(); return;
    case CM_FONTCHANGED: NotifyFontChange(); return;
    case CM_TEXTCHANGED: NotifyTextChange(); return;
    case CM_MOUSEENTER: NotifyMouseEnter(reinterpret_cast<TControl*>(m.LParam)); return;
    case CM_MOUSELEAVE: NotifyMouseLeave(reinterpret_cast<TControl*>(m.LParam)); return;
    case CM_PARENTSHOWHINTCHANGED: NotifyParentShowHintChange(); return;
    case CM_HINTSHOW:
      m.Result = PrepareHint(*reinterpret_cast<THintInfo*>(m.LParam)) ? 1 : 0;
      return;
    case CM_XR_SUPPORTS:
      m.Result = Supports(kXrQueriedInterface) ? 1 : 0;
      return;
    default:
      PassToBase(m);
      return;
  }
}

void TXrExGraphicControl::NotifyTextChange() { PassToBase(CM_TEXTCHANGED, 0, 0); }

bool TXrExGraphicControl::AcceptsDialogChar(WORD key, TShiftState shift, const String&) {
  return PassToBase(CM_DIALOGCHAR, key, ShiftToKeyData(shift)) != 0;
}

bool TXrExGraphicControl::IsPointInside(int x, int y) {
  return PassToBase(CM_HITTEST, 0, MAKELPARAM(x, y)) != 0;
}

void TXrExGraphicControl::NotifyFocusChange(TControl* control) {
  PassToBase(CM_FOCUSCHANGED, 0, LPARAM(control));
}
void TXrExGraphicControl::NotifyVisibleChange() { PassToBase(CM_VISIBLECHANGED, 0, 0); }
void TXrExGraphicControl::NotifyEnabledChange() { PassToBase(CM_ENABLEDCHANGED, 0, 0); }
void TXrExGraphicControl::NotifyColorChange() { PassToBase(CM_COLORCHANGED, 0, 0); }
void TXrExGraphicControl::NotifyFontChange() { PassToBase(CM_FONTCHANGED, 0, 0); }
void TXrExGraphicControl::NotifyParentFontChange() { PassToBase(CM_PARENTFONTCHANGED, 0, 0); }

void TXrExGraphicControl::NotifyParentColorChange() {
  PassToBase(CM_PARENTCOLORCHANGED, 0, 0);
  if (FOnParentColorChanged) FOnParentColorChanged(this);
}

void TXrExGraphicControl::NotifyParentShowHintChange() {
  PassToBase(CM_PARENTSHOWHINTCHANGED, 0, 0);
}

bool TXrExGraphicControl::PrepareHint(THintInfo& info) {
  ResolveHintColor(info, this, FHintColor);
  if (FHintWindowClass) info.HintWindowClass = FHintWindowClass;
  return PassStructToBase(CM_HINTSHOW, 0, &info) != 0;
}

void TXrExGraphicControl::NotifyMouseEnter(TControl* control) {
  FMouseOver = true;
  if (FOnMouseEnter) FOnMouseEnter(this);
  PassToBase(CM_MOUSEENTER, 0, LPARAM(control));
}

void TXrExGraphicControl::NotifyMouseLeave(TControl* control) {
  FMouseOver = false;
  PassToBase(CM_MOUSELEAVE, 0, LPARAM(control));
  if (FOnMouseLeave) FOnMouseLeave(this);
}
