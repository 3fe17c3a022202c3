// The standard controls: panel, label, bevel, group box, edit, memo, check box,
// button, combo box, date-time picker and progress bar. Each is made from its
// argument struct: parent->Add<TButton>(TButtonArgs{.Name = u"BtnNext", ...}).
#pragma once

#include <vector>

#include "ui/control.h"

enum TBevelCut { bvNone, bvLowered, bvRaised };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };

struct TPanelArgs {
  QZ_CONTROL_ARGS
  String Caption;
  TBevelCut BevelInner = bvNone;
  TBevelCut BevelOuter = bvRaised;
  int BevelWidth = 1;
  int BorderWidth = 0;
};

// A container of our own class: colour, two bevels, optional centred caption.
class TPanel : public TCustomControl {
public:
  TPanel(TWinControl* parent, const TPanelArgs& args);
  String ClassName() const override { return u"TPanel"; }
  TBevelCut BevelInner() const { return inner_; }
  TBevelCut BevelOuter() const { return outer_; }

protected:
  void FillCreateParams(CreateParams& p) override;
  void AdjustClientRect(TRect& r) const override;
  void Paint() override;

private:
  TBevelCut inner_, outer_;
  int bevelWidth_, borderWidth_;
};

struct TLabelArgs {
  QZ_CONTROL_ARGS
  String Caption;
  bool AutoSize = true;
  bool WordWrap = false;
  TAlignment Alignment = taLeftJustify;
  bool Transparent = true;
};

// Windowless text. AutoSize fits the bounds to the text (to the width when wrapping).
class TLabel : public TGraphicControl {
public:
  TLabel(TWinControl* parent, const TLabelArgs& args);
  String ClassName() const override { return u"TLabel"; }
  bool WordWrap() const { return wordWrap_; }
  TAlignment Alignment() const { return alignment_; }

protected:
  void Paint() override;
  void Attach() override { FitText(); }
  void TextChanged() override;
  void FontChanged() override;

private:
  void FitText();
  UINT DrawFlags() const;
  bool autoSize_, wordWrap_, transparent_;
  TAlignment alignment_;
};

enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine };
enum TBevelStyle { bsLowered, bsRaised };

struct TBevelArgs {
  QZ_CONTROL_ARGS
  TBevelShape Shape = bsBox;
  TBevelStyle Style = bsLowered;
};

class TBevel : public TGraphicControl {
public:
  TBevel(TWinControl* parent, const TBevelArgs& args);
  String ClassName() const override { return u"TBevel"; }

protected:
  void Paint() override;

private:
  TBevelShape shape_;
  TBevelStyle style_;
};

struct TGroupBoxArgs {
  QZ_CONTROL_ARGS
  String Caption;
};

class TGroupBox : public TCustomControl {
public:
  TGroupBox(TWinControl* parent, const TGroupBoxArgs& args);
  String ClassName() const override { return u"TGroupBox"; }

protected:
  void FillCreateParams(CreateParams& p) override;
  void AdjustClientRect(TRect& r) const override;
  void Paint() override;
};

struct TEditArgs {
  QZ_CONTROL_ARGS
  String Text;
  bool ReadOnly = false;
  bool BorderStyleNone = false;
  int MaxLength = 0;
};

class TEdit : public TWinControl {
public:
  TEdit(TWinControl* parent, const TEditArgs& args);
  String ClassName() const override { return u"TEdit"; }
  // The text as the window holds it now.
  String GetText() const;
  void SetEditText(const String& text);
  void SelectAll();
  // The most characters the user can enter; 0 = no limit. Text set by the program
  // is not cut.
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int length);
  TNotifyEvent OnChange;

protected:
  void FillCreateParams(CreateParams& p) override;
  void HandleCreated() override;
  void WndProc(TMessage& m) override;
  bool readOnly_, noBorder_;
  int maxLength_;
};

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

struct TMemoArgs {
  QZ_CONTROL_ARGS
  String Text;
  bool ReadOnly = false;
  TScrollStyle ScrollBars = ssNone;
  bool BorderStyleNone = false;
  bool WordWrap = true;
  bool WantTabs = false;
  int TabWidth = 0;  // in dialog units x 4; 0 = the system's default (8 characters)
};

// Multi-line edit. Lines are joined with CRLF; a tab character shows as a tab stop.
class TMemo : public TWinControl {
public:
  TMemo(TWinControl* parent, const TMemoArgs& args);
  String ClassName() const override { return u"TMemo"; }
  String GetText() const;
  void SetLines(const std::vector<String>& lines);
  void Clear();
  int LineCount() const;
  TNotifyEvent OnChange;

protected:
  void FillCreateParams(CreateParams& p) override;
  void HandleCreated() override;
  void WndProc(TMessage& m) override;

private:
  TMemoArgs args_;
};

struct TCheckBoxArgs {
  QZ_CONTROL_ARGS
  String Caption;
  bool Checked = false;
};

class TCheckBox : public TWinControl {
public:
  TCheckBox(TWinControl* parent, const TCheckBoxArgs& args);
  String ClassName() const override { return u"TCheckBox"; }
  bool Checked() const;
  void SetChecked(bool checked);

protected:
  void FillCreateParams(CreateParams& p) override;
  void HandleCreated() override;
  void WndProc(TMessage& m) override;

private:
  bool checked_;
};

struct TButtonArgs {
  QZ_CONTROL_ARGS
  String Caption;
  bool Default = false;
  bool Cancel = false;
  int ModalResult = 0;
};

// A plain push button.
class TButton : public TWinControl {
public:
  TButton(TWinControl* parent, const TButtonArgs& args);
  String ClassName() const override { return u"TButton"; }
  bool Default() const { return default_; }
  int ModalResult() const { return modalResult_; }
  // Sets the form's modal result (when it has one), then OnClick.
  void Click() override;
  // Whether a press may act now: the button is on screen, and it and every window it
  // lies in take input. A press that reaches a hidden or disabled button (Enter, Escape,
  // an accelerator, a message sent to its window) does nothing.
  bool CanAct() const;

protected:
  void FillCreateParams(CreateParams& p) override;
  void Attach() override;
  void WndProc(TMessage& m) override;

  bool default_, cancel_;
  int modalResult_;
};

enum TBitBtnKind { bkCustom, bkOK, bkCancel };

struct TBitBtnArgs {
  QZ_CONTROL_ARGS
  String Caption;
  bool Default = false;
  bool Cancel = false;
  int ModalResult = 0;
  // bkOK: caption "OK", OK result, default, and the OK glyph (a green check); bkCancel:
  // caption "Cancel", cancel result, cancel button, and a red cross.
  TBitBtnKind Kind = bkCustom;
};

// A push button with a picture beside its caption (drawn by the button itself).
class TBitBtn : public TButton {
public:
  TBitBtn(TWinControl* parent, const TBitBtnArgs& args);
  String ClassName() const override { return u"TBitBtn"; }
  TBitBtnKind Kind() const { return kind_; }

protected:
  void FillCreateParams(CreateParams& p) override;
  void WndProc(TMessage& m) override;

private:
  void DrawGlyphButton(const DRAWITEMSTRUCT& di);
  TBitBtnKind kind_;
};

enum TComboBoxStyle { csDropDown, csDropDownList };

struct TComboBoxArgs {
  QZ_CONTROL_ARGS
  String Text;
  std::vector<String> Items;
  TComboBoxStyle Style = csDropDown;
};

class TComboBox : public TWinControl {
public:
  TComboBox(TWinControl* parent, const TComboBoxArgs& args);
  String ClassName() const override { return u"TComboBox"; }
  String GetText() const;
  void SetEditText(const String& text);
  void AddItem(const String& item);
  String Item(int index) const;
  int ItemIndex() const;
  void SetItemIndex(int index);
  // The first item equal to text ignoring case, or -1 (the combo box's exact search).
  int FindExact(const String& text) const;
  bool DroppedDown() const;
  void SetDroppedDown(bool down);
  TNotifyEvent OnChange;

protected:
  void FillCreateParams(CreateParams& p) override;
  void HandleCreated() override;
  void BoundsChanged() override;
  void WndProc(TMessage& m) override;

private:
  TComboBoxArgs args_;
  HWND edit_ = nullptr;
};

enum TDateTimeKind { dtkDate, dtkTime };

struct TDateTimePickerArgs {
  QZ_CONTROL_ARGS
  TDateTimeKind Kind = dtkDate;
};

// Date or time picker. Dates are SYSTEMTIME values.
class TDateTimePicker : public TWinControl {
public:
  TDateTimePicker(TWinControl* parent, const TDateTimePickerArgs& args);
  String ClassName() const override { return u"TDateTimePicker"; }
  TDateTimeKind Kind() const { return kind_; }
  SYSTEMTIME DateTime() const;
  void SetDateTime(const SYSTEMTIME& value);
  TNotifyEvent OnChange;

protected:
  void FillCreateParams(CreateParams& p) override;
  void WndProc(TMessage& m) override;

private:
  TDateTimeKind kind_;
};

struct TProgressBarArgs {
  QZ_CONTROL_ARGS
  int Min = 0;
  int Max = 100;
  int Position = 0;
  int Step = 10;
};

class TProgressBar : public TWinControl {
public:
  TProgressBar(TWinControl* parent, const TProgressBarArgs& args);
  String ClassName() const override { return u"TProgressBar"; }
  int Min() const { return min_; }
  int Max() const { return max_; }
  int Position() const { return position_; }
  void SetPosition(int position);  // clamped to Min..Max
  void StepIt();

protected:
  void FillCreateParams(CreateParams& p) override;
  void HandleCreated() override;

private:
  int min_, max_, position_, step_;
};

// Dates as the locale's short date text and back (for cells that hold dates).
String DateToShortText(const SYSTEMTIME& date);
String TimeToLongText(const SYSTEMTIME& time);
// False when the text is no date in the short date format.
bool ShortTextToDate(const String& text, SYSTEMTIME& date);
