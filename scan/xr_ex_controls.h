// Base of the extended graphic controls: routes the component notifications to
// overridable operations, keeps a mouse-over flag with enter and leave events and
// resolves the hint colour.
#pragma once

#include <guiddef.h>

#include "ui/control.h"

// Placeholder published by the controls; it has no effect at run time.
struct TXrAboutInfo {};

// Carries a message whose LParam points to a structure, for the base handling.
class TStructPtrMessage : public TObject {
public:
  TStructPtrMessage(UINT msg, WPARAM wparam, LPARAM lparam) : Msg{msg, wparam, lparam, 0} {}
  String ClassName() const override { return u"TStructPtrMessage"; }
  TMessage Msg;
};

// The interface that identifies these controls, and the one neither implements.
constexpr GUID kXrExControlInterface = {
    0x8E6579C3, 0xD683, 0x4562, {0xAF, 0xAB, 0xD2, 0x3C, 0x85, 0x26, 0xE3, 0x86}};
constexpr GUID kXrQueriedInterface = {
    0x76942BC0, 0x2A6E, 0x4DC4, {0xBF, 0xC9, 0x8E, 0x11, 0x0D, 0xB7, 0xF6, 0x01}};
constexpr UINT CM_XR_SUPPORTS = CM_BASE + 2000;

// Shift bit 27, Ctrl bit 28, Alt bit 29 of a key message's parameter.
int ShiftToKeyData(TShiftState shift);
TShiftState KeyDataToShift(LPARAM keyData);
// clNone: the application's hint colour; clDefault: what the control's parent leaves
// in a copy of the hint information it is sent (unchanged without a parent); any
// other colour as it is. The result goes to info.HintColor.
void ResolveHintColor(THintInfo& info, TControl* control, TColor hintColor);
// A form designer would claim some messages; at run time none is claimed.
bool IsDesignerMessage(TControl* control, const TMessage& message);

class TXrExGraphicControl : public TGraphicControl {
public:
  explicit TXrExGraphicControl(TWinControl* parent);
  String ClassName() const override { return u"TXrExGraphicControl"; }

  // The class's interfaces, by identifier.
  virtual bool Supports(const GUID& id) const;
  TXrAboutInfo AboutInfo() const { return aboutInfo_; }
  TColor HintColor() const { return FHintColor; }
  void SetHintColor(TColor color) { FHintColor = color; }
  void SetHintWindowClass(THintWindowClass cls) { FHintWindowClass = cls; }
  bool MouseOver() const { return FMouseOver; }

  TNotifyEvent FOnMouseEnter;
  TNotifyEvent FOnMouseLeave;
  TNotifyEvent FOnParentColorChanged;

  void WndProc(TMessage& message) override;

protected:
  virtual void NotifyTextChange();
  virtual bool AcceptsDialogChar(WORD key, TShiftState shift, const String& keyText);
  virtual bool IsPointInside(int x, int y);
  virtual void NotifyFocusChange(TControl* control);
  virtual void NotifyVisibleChange();
  virtual void NotifyEnabledChange();
  virtual void NotifyColorChange();
  virtual void NotifyFontChange();
  virtual void NotifyParentFontChange();
  virtual void NotifyParentColorChange();
  virtual void NotifyParentShowHintChange();
  virtual bool PrepareHint(THintInfo& info);
  virtual void NotifyMouseEnter(TControl* control);
  virtual void NotifyMouseLeave(TControl* control);

  // The base control's own message handling (not this class's routing).
  int PassToBase(UINT msg, WPARAM wparam, LPARAM lparam);
  int PassStructToBase(UINT msg, WPARAM wparam, void* structure);

  TColor FHintColor = clDefault;
  bool FMouseOver = false;
  THintWindowClass FHintWindowClass = nullptr;

private:
  void PassToBase(TMessage& m) { TGraphicControl::WndProc(m); }
  TXrAboutInfo aboutInfo_;
};
