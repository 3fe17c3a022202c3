#include "ui/std_controls.h"

#include <commctrl.h>

#include <algorithm>

#include "base/short_date.h"
#include "base/win_string.h"
#include "ui/forms.h"

namespace {
void Frame(TCanvas& c, TRect& r, TBevelCut cut, int width) {
  if (cut == bvNone) return;
  TColor tl = cut == bvRaised ? clBtnHighlight : clBtnShadow;
  TColor br = cut == bvRaised ? clBtnShadow : clBtnHighlight;
  for (int i = 0; i < width && !r.IsEmpty(); ++i) {
    c.Frame3D(r, tl, br);
    r = TRect{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
  }
}

String WindowText(HWND h, const String& fallback) {
  if (!h) return fallback;
  int n = GetWindowTextLengthW(h);
  String s(size_t(std::max(n, 0)) + 1, u'\0');
  int got = GetWindowTextW(h, W(s.data()), n + 1);
  s.resize(size_t(std::max(got, 0)));
  return s;
}

UINT NotifyCode(const TMessage& m) { return HIWORD(m.WParam); }
}  // namespace

// -------------------------------------------------------------------------------- TPanel

TPanel::TPanel(TWinControl* parent, const TPanelArgs& a)
    : TCustomControl(parent), inner_(a.BevelInner), outer_(a.BevelOuter),
      bevelWidth_(std::max(a.BevelWidth, 0)), borderWidth_(std::max(a.BorderWidth, 0)) {
  ApplyCommonArgs(a);
  caption_ = a.Caption;
}

void TPanel::FillCreateParams(CreateParams& p) {
  TCustomControl::FillCreateParams(p);
  p.ExStyle |= WS_EX_CONTROLPARENT;
}

void TPanel::AdjustClientRect(TRect& r) const {
  int inset = borderWidth_;
  if (inner_ != bvNone) inset += bevelWidth_;
  if (outer_ != bvNone) inset += bevelWidth_;
  r = TRect{r.Left + inset, r.Top + inset, r.Right - inset, r.Bottom - inset};
}

void TPanel::Paint() {
  TCanvas& c = Canvas();
  TRect r = ClientRect();
  c.Brush = TBrush{Color()};
  c.FillRect(r);
  Frame(c, r, outer_, bevelWidth_);
  r = TRect{r.Left + borderWidth_, r.Top + borderWidth_, r.Right - borderWidth_,
            r.Bottom - borderWidth_};
  Frame(c, r, inner_, bevelWidth_);
  if (!caption_.empty()) {
    c.Font = Font();
    c.DrawText(r, caption_, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
}

// -------------------------------------------------------------------------------- TLabel

TLabel::TLabel(TWinControl* parent, const TLabelArgs& a)
    : TGraphicControl(parent), autoSize_(a.AutoSize), wordWrap_(a.WordWrap),
      transparent_(a.Transparent), alignment_(a.Alignment) {
  ApplyCommonArgs(a);
  caption_ = a.Caption;
}

UINT TLabel::DrawFlags() const {
  UINT f = DT_NOPREFIX | DT_EXPANDTABS;
  f |= wordWrap_ ? DT_WORDBREAK : DT_SINGLELINE;
  if (alignment_ == taCenter) f |= DT_CENTER;
  if (alignment_ == taRightJustify) f |= DT_RIGHT;
  return f;
}

void TLabel::FitText() {
  if (!autoSize_) return;
  WindowDC screen(nullptr);
  TGdiCanvas c(screen.get());
  c.Font = Font();
  TRect r{0, 0, wordWrap_ ? std::max(Width(), 1) : 0, 0};
  c.DrawText(r, caption_.empty() ? StringView(u" ") : StringView(caption_), DrawFlags() | DT_CALCRECT);
  int w = wordWrap_ ? Width() : r.Width();
  SetBounds(Left(), Top(), w, r.Height());
}

void TLabel::TextChanged() {
  FitText();
  Invalidate();
}

void TLabel::FontChanged() {
  FitText();
  Invalidate();
}

void TLabel::Paint() {
  TCanvas& c = Canvas();
  TRect r = ClientRect();
  if (!transparent_) {
    c.Brush = TBrush{Color()};
    c.FillRect(r);
  }
  c.Font = Font();
  if (!Enabled()) c.Font.Color = clGrayText;
  c.DrawText(r, caption_, DrawFlags());
}

// -------------------------------------------------------------------------------- TBevel

TBevel::TBevel(TWinControl* parent, const TBevelArgs& a)
    : TGraphicControl(parent), shape_(a.Shape), style_(a.Style) {
  ApplyCommonArgs(a);
}

void TBevel::Paint() {
  TCanvas& c = Canvas();
  TColor dark = clBtnShadow, light = clBtnHighlight;
  TColor first = style_ == bsLowered ? dark : light;
  TColor second = style_ == bsLowered ? light : dark;
  int w = Width(), h = Height();
  auto hline = [&](int y, TColor col) {
    c.Brush = TBrush{col};
    c.FillRect(TRect{0, y, w, y + 1});
  };
  auto vline = [&](int x, TColor col) {
    c.Brush = TBrush{col};
    c.FillRect(TRect{x, 0, x + 1, h});
  };
  switch (shape_) {
    case bsBox: c.Frame3D(ClientRect(), first, second); break;
    case bsFrame:
      c.Frame3D(TRect{0, 0, w - 1, h - 1}, first, first);
      c.Frame3D(TRect{1, 1, w, h}, second, second);
      break;
    case bsTopLine: hline(0, first); hline(1, second); break;
    case bsBottomLine: hline(h - 2, first); hline(h - 1, second); break;
    case bsLeftLine: vline(0, first); vline(1, second); break;
    case bsRightLine: vline(w - 2, first); vline(w - 1, second); break;
  }
}

// ----------------------------------------------------------------------------- TGroupBox

TGroupBox::TGroupBox(TWinControl* parent, const TGroupBoxArgs& a) : TCustomControl(parent) {
  ApplyCommonArgs(a);
  caption_ = a.Caption;
}

void TGroupBox::FillCreateParams(CreateParams& p) {
  TCustomControl::FillCreateParams(p);
  p.ExStyle |= WS_EX_CONTROLPARENT;
}

void TGroupBox::AdjustClientRect(TRect& r) const {
  int h = std::abs(Font().Height) + 4;
  r = TRect{r.Left + 2, r.Top + h, r.Right - 2, r.Bottom - 2};
}

void TGroupBox::Paint() {
  TCanvas& c = Canvas();
  TRect all = ClientRect();
  c.Brush = TBrush{Color()};
  c.FillRect(all);
  c.Font = Font();
  int th = c.TextHeight(u"W");
  TRect frame{0, th / 2, all.Right, all.Bottom};
  c.Frame3D(TRect{frame.Left, frame.Top, frame.Right - 1, frame.Bottom - 1}, clBtnShadow, clBtnShadow);
  c.Frame3D(TRect{frame.Left + 1, frame.Top + 1, frame.Right, frame.Bottom}, clBtnHighlight,
            clBtnHighlight);
  if (!caption_.empty()) {
    c.Brush = TBrush{Color()};
    int tw = c.TextWidth(caption_);
    c.TextOut(8, 0, caption_);
    (void)tw;
  }
}

// --------------------------------------------------------------------------------- TEdit

TEdit::TEdit(TWinControl* parent, const TEditArgs& a)
    : TWinControl(parent), readOnly_(a.ReadOnly), noBorder_(a.BorderStyleNone),
      maxLength_(std::max(a.MaxLength, 0)) {
  ApplyCommonArgs(a);
  if (!color_) color_ = clWindow;
  caption_ = a.Text;
  tabStop_ = true;
}

void TEdit::FillCreateParams(CreateParams& p) {
  p.ClassName = u"EDIT";
  p.Style |= ES_AUTOHSCROLL | (readOnly_ ? ES_READONLY : 0);
  if (!noBorder_) p.ExStyle |= WS_EX_CLIENTEDGE;
}

void TEdit::HandleCreated() {
  // EM_LIMITTEXT with 0 lifts the edit's own default limit.
  SendMessageW(handle_, EM_LIMITTEXT, WPARAM(maxLength_), 0);
}

void TEdit::SetMaxLength(int length) {
  maxLength_ = std::max(length, 0);
  if (handle_) SendMessageW(handle_, EM_LIMITTEXT, WPARAM(maxLength_), 0);
}

String TEdit::GetText() const { return WindowText(handle_, caption_); }

void TEdit::SetEditText(const String& text) { SetCaption(text); }

void TEdit::SelectAll() {
  if (handle_) SendMessageW(handle_, EM_SETSEL, 0, -1);
}

void TEdit::WndProc(TMessage& m) {
  if (m.Msg == CN_COMMAND && NotifyCode(m) == EN_CHANGE) {
    caption_ = GetText();
    if (OnChange) OnChange(this);
    return;
  }
  TWinControl::WndProc(m);
}

// --------------------------------------------------------------------------------- TMemo

TMemo::TMemo(TWinControl* parent, const TMemoArgs& a) : TWinControl(parent), args_(a) {
  ApplyCommonArgs(a);
  if (!color_) color_ = clWindow;
  caption_ = a.Text;
  tabStop_ = true;
}

void TMemo::FillCreateParams(CreateParams& p) {
  p.ClassName = u"EDIT";
  p.Style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
  if (args_.ReadOnly) p.Style |= ES_READONLY;
  if (!args_.WordWrap) p.Style |= ES_AUTOHSCROLL;
  if (args_.ScrollBars == ssVertical || args_.ScrollBars == ssBoth) p.Style |= WS_VSCROLL;
  if (args_.ScrollBars == ssHorizontal || args_.ScrollBars == ssBoth) p.Style |= WS_HSCROLL;
  if (!args_.BorderStyleNone) p.ExStyle |= WS_EX_CLIENTEDGE;
}

void TMemo::HandleCreated() {
  if (args_.TabWidth > 0) {
    DWORD stops = DWORD(args_.TabWidth);
    SendMessageW(handle_, EM_SETTABSTOPS, 1, LPARAM(&stops));
  }
}

String TMemo::GetText() const { return WindowText(handle_, caption_); }

void TMemo::SetLines(const std::vector<String>& lines) {
  String all;
  for (const String& l : lines) all += l + u"\r\n";
  SetCaption(all);
}

void TMemo::Clear() { SetCaption(String()); }

int TMemo::LineCount() const {
  String t = GetText();
  return int(std::count(t.begin(), t.end(), u'\n'));
}

void TMemo::WndProc(TMessage& m) {
  if (m.Msg == CN_COMMAND && NotifyCode(m) == EN_CHANGE) {
    caption_ = GetText();
    if (OnChange) OnChange(this);
    return;
  }
  if (m.Msg == WM_GETDLGCODE) {
    TWinControl::WndProc(m);
    if (!args_.WantTabs) m.Result &= ~LRESULT(DLGC_WANTTAB);
    // Enter reaches the default button unless the memo can be edited.
    if (args_.ReadOnly) m.Result &= ~LRESULT(DLGC_WANTALLKEYS);
    return;
  }
  TWinControl::WndProc(m);
}

// ----------------------------------------------------------------------------- TCheckBox

TCheckBox::TCheckBox(TWinControl* parent, const TCheckBoxArgs& a)
    : TWinControl(parent), checked_(a.Checked) {
  ApplyCommonArgs(a);
  caption_ = a.Caption;
  tabStop_ = true;
}

void TCheckBox::FillCreateParams(CreateParams& p) {
  p.ClassName = u"BUTTON";
  p.Style |= BS_AUTOCHECKBOX;
}

void TCheckBox::HandleCreated() { SendMessageW(handle_, BM_SETCHECK, checked_ ? BST_CHECKED : 0, 0); }

bool TCheckBox::Checked() const {
  if (handle_) return SendMessageW(handle_, BM_GETCHECK, 0, 0) == BST_CHECKED;
  return checked_;
}

void TCheckBox::SetChecked(bool checked) {
  if (Checked() == checked) return;
  checked_ = checked;
  if (handle_) SendMessageW(handle_, BM_SETCHECK, checked ? BST_CHECKED : 0, 0);
  Click();  // a change of state is a click, however it came about
}

void TCheckBox::WndProc(TMessage& m) {
  if (m.Msg == CN_COMMAND && NotifyCode(m) == BN_CLICKED) {
    checked_ = Checked();
    Click();
    return;
  }
  TWinControl::WndProc(m);
}

// ------------------------------------------------------------------------------- TButton

TButton::TButton(TWinControl* parent, const TButtonArgs& a)
    : TWinControl(parent), default_(a.Default), cancel_(a.Cancel), modalResult_(a.ModalResult) {
  ApplyCommonArgs(a);
  caption_ = a.Caption;
  tabStop_ = true;
}

void TButton::FillCreateParams(CreateParams& p) {
  p.ClassName = u"BUTTON";
  p.Style |= default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::Attach() {
  TWinControl::Attach();
  if (TForm* f = ParentForm()) {
    if (default_) f->SetDefaultButton(this);
    if (cancel_) f->SetCancelButton(this);
  }
}

void TButton::Click() {
  if (modalResult_ != 0)
    if (TForm* f = ParentForm()) f->SetModalResult(modalResult_);
  TControl::Click();
}

bool TButton::CanAct() const {
  if (!handle_ || !IsWindowVisible(handle_)) return false;
  for (HWND w = handle_; w; w = (GetWindowLongPtrW(w, GWL_STYLE) & WS_CHILD) ? GetParent(w) : nullptr)
    if (!IsWindowEnabled(w)) return false;
  return true;
}

void TButton::WndProc(TMessage& m) {
  if (m.Msg == CN_COMMAND && (NotifyCode(m) == BN_CLICKED)) {
    if (CanAct()) Click();
    return;
  }
  TWinControl::WndProc(m);
}

// ------------------------------------------------------------------------------- TBitBtn

namespace {
TButtonArgs ButtonArgsOf(const TBitBtnArgs& a) {
  auto b = WithControlArgs<TButtonArgs>(a);
  b.Caption = a.Caption;
  b.Default = a.Default;
  b.Cancel = a.Cancel;
  b.ModalResult = a.ModalResult;
  return b;
}
}  // namespace

TBitBtn::TBitBtn(TWinControl* parent, const TBitBtnArgs& a)
    : TButton(parent, ButtonArgsOf(a)), kind_(a.Kind) {
  if (kind_ == bkOK) {
    if (caption_.empty()) caption_ = u"OK";
    if (!modalResult_) modalResult_ = mrOk;
    default_ = true;
  } else if (kind_ == bkCancel) {
    if (caption_.empty()) caption_ = u"Cancel";
    if (!modalResult_) modalResult_ = mrCancel;
    cancel_ = true;
  }
}

void TBitBtn::FillCreateParams(CreateParams& p) {
  TButton::FillCreateParams(p);
  if (kind_ != bkCustom) p.Style = (p.Style & ~DWORD(BS_TYPEMASK)) | BS_OWNERDRAW;
}

void TBitBtn::WndProc(TMessage& m) {
  if (m.Msg == CN_DRAWITEM) {
    DrawGlyphButton(*reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam));
    m.Result = TRUE;
    return;
  }
  TButton::WndProc(m);
}

void TBitBtn::DrawGlyphButton(const DRAWITEMSTRUCT& di) {
  HDC dc = di.hDC;
  RECT r = di.rcItem;
  bool pushed = (di.itemState & ODS_SELECTED) != 0;
  DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
  TGdiCanvas c(dc);
  c.Font = Font();
  if (!Enabled()) c.Font.Color = clGrayText;
  int off = pushed ? 1 : 0;
  int tw = c.TextWidth(caption_);
  int glyph = 14, gap = 4;
  int total = glyph + gap + tw;
  int x = (int(r.right - r.left) - total) / 2 + off;
  int cy = int(r.bottom - r.top) / 2 + off;
  // The OK glyph: a green check; the cancel glyph: a red cross.
  c.Pen = TPen{kind_ == bkOK ? clGreen : clRed, 2};
  if (kind_ == bkOK) {
    c.MoveTo(x + 2, cy);
    c.LineTo(x + 5, cy + 4);
    c.LineTo(x + 12, cy - 4);
  } else {
    c.MoveTo(x + 2, cy - 4);
    c.LineTo(x + 11, cy + 5);
    c.MoveTo(x + 11, cy - 4);
    c.LineTo(x + 2, cy + 5);
  }
  TRect tr{x + glyph + gap, int(r.top) + off, int(r.right), int(r.bottom) + off};
  c.DrawText(tr, caption_, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
  if (di.itemState & ODS_FOCUS) {
    RECT f{r.left + 4, r.top + 4, r.right - 4, r.bottom - 4};
    DrawFocusRect(dc, &f);
  }
}

// ----------------------------------------------------------------------------- TComboBox

TComboBox::TComboBox(TWinControl* parent, const TComboBoxArgs& a) : TWinControl(parent), args_(a) {
  ApplyCommonArgs(a);
  if (!color_) color_ = clWindow;
  caption_ = a.Text;
  tabStop_ = true;
  if (bounds_.Height() == 0) bounds_.Bottom = bounds_.Top + 21;
}

void TComboBox::FillCreateParams(CreateParams& p) {
  p.ClassName = u"COMBOBOX";
  p.Style |= WS_VSCROLL | CBS_AUTOHSCROLL |
             (args_.Style == csDropDownList ? CBS_DROPDOWNLIST : CBS_DROPDOWN);
}

void TComboBox::HandleCreated() {
  // The window's height includes the dropped-down list.
  SetWindowPos(handle_, nullptr, 0, 0, Width(), Height() + 160, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  for (const String& item : args_.Items) SendMessageW(handle_, CB_ADDSTRING, 0, LPARAM(W(item)));
  edit_ = FindWindowExW(handle_, nullptr, L"Edit", nullptr);
  if (!caption_.empty()) SetWindowTextW(handle_, W(caption_));
}

void TComboBox::BoundsChanged() {
  if (handle_)
    SetWindowPos(handle_, nullptr, Left(), Top(), Width(), Height() + 160,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

String TComboBox::GetText() const { return WindowText(handle_, caption_); }

void TComboBox::SetEditText(const String& text) {
  caption_ = text;
  if (handle_) SetWindowTextW(handle_, W(text));
}

void TComboBox::AddItem(const String& item) {
  args_.Items.push_back(item);
  if (handle_) SendMessageW(handle_, CB_ADDSTRING, 0, LPARAM(W(item)));
}

String TComboBox::Item(int index) const {
  if (index < 0 || index >= int(args_.Items.size())) return String();
  return args_.Items[size_t(index)];
}

int TComboBox::ItemIndex() const {
  return handle_ ? int(SendMessageW(handle_, CB_GETCURSEL, 0, 0)) : -1;
}

void TComboBox::SetItemIndex(int index) {
  if (handle_) SendMessageW(handle_, CB_SETCURSEL, WPARAM(index), 0);
  caption_ = GetText();
}

int TComboBox::FindExact(const String& text) const {
  if (!handle_) return -1;
  LRESULT r = SendMessageW(handle_, CB_FINDSTRINGEXACT, WPARAM(-1), LPARAM(W(text)));
  return r == CB_ERR ? -1 : int(r);
}

bool TComboBox::DroppedDown() const {
  return handle_ && SendMessageW(handle_, CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void TComboBox::SetDroppedDown(bool down) {
  if (handle_) SendMessageW(handle_, CB_SHOWDROPDOWN, down ? TRUE : FALSE, 0);
}

void TComboBox::WndProc(TMessage& m) {
  if (m.Msg == CN_COMMAND) {
    UINT code = NotifyCode(m);
    if (code == CBN_SELCHANGE) {
      int sel = ItemIndex();
      if (sel >= 0) SetWindowTextW(handle_, W(Item(sel)));
      caption_ = GetText();
      if (OnChange) OnChange(this);
      return;
    }
    if (code == CBN_EDITCHANGE) {
      caption_ = GetText();
      if (OnChange) OnChange(this);
      return;
    }
  }
  if (m.Msg == WM_SIZE) {
    TWinControl::DefaultHandler(m);
    return;  // the window is taller than the control's bounds (the list)
  }
  TWinControl::WndProc(m);
}

// ----------------------------------------------------------------------- TDateTimePicker

TDateTimePicker::TDateTimePicker(TWinControl* parent, const TDateTimePickerArgs& a)
    : TWinControl(parent), kind_(a.Kind) {
  ApplyCommonArgs(a);
  if (!color_) color_ = clWindow;
  tabStop_ = true;
}

void TDateTimePicker::FillCreateParams(CreateParams& p) {
  p.ClassName = FromW(DATETIMEPICK_CLASSW);
  p.Style |= kind_ == dtkTime ? DTS_TIMEFORMAT : DTS_SHORTDATEFORMAT;
}

SYSTEMTIME TDateTimePicker::DateTime() const {
  SYSTEMTIME st{};
  if (handle_) SendMessageW(handle_, DTM_GETSYSTEMTIME, 0, LPARAM(&st));
  return st;
}

void TDateTimePicker::SetDateTime(const SYSTEMTIME& value) {
  if (handle_) SendMessageW(handle_, DTM_SETSYSTEMTIME, GDT_VALID, LPARAM(&value));
}

void TDateTimePicker::WndProc(TMessage& m) {
  if (m.Msg == CN_NOTIFY && reinterpret_cast<NMHDR*>(m.LParam)->code == UINT(DTN_DATETIMECHANGE)) {
    if (OnChange) OnChange(this);
    m.Result = 0;
    return;
  }
  TWinControl::WndProc(m);
}

// -------------------------------------------------------------------------- TProgressBar

TProgressBar::TProgressBar(TWinControl* parent, const TProgressBarArgs& a)
    : TWinControl(parent), min_(a.Min), max_(std::max(a.Min, a.Max)), position_(a.Position),
      step_(a.Step) {
  ApplyCommonArgs(a);
  position_ = std::clamp(position_, min_, max_);
}

void TProgressBar::FillCreateParams(CreateParams& p) { p.ClassName = FromW(PROGRESS_CLASSW); }

void TProgressBar::HandleCreated() {
  SendMessageW(handle_, PBM_SETRANGE32, WPARAM(min_), LPARAM(max_));
  SendMessageW(handle_, PBM_SETSTEP, WPARAM(step_), 0);
  SendMessageW(handle_, PBM_SETPOS, WPARAM(position_), 0);
}

void TProgressBar::SetPosition(int position) {
  position_ = std::clamp(position, min_, max_);
  if (handle_) SendMessageW(handle_, PBM_SETPOS, WPARAM(position_), 0);
}

void TProgressBar::StepIt() {
  int next = position_ + step_;
  if (next > max_) next = min_ + (next - max_);  // wraps as the control does
  SetPosition(next);
}

// ---------------------------------------------------------------------------- dates

String DateToShortText(const SYSTEMTIME& date) {
  wchar_t buf[80];
  int n = GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &date, nullptr, buf, 80);
  return n > 0 ? FromW(buf) : String();
}

String TimeToLongText(const SYSTEMTIME& time) {
  wchar_t buf[80];
  int n = GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &time, nullptr, buf, 80);
  return n > 0 ? FromW(buf) : String();
}

bool ShortTextToDate(const String& text, SYSTEMTIME& date) {
  wchar_t fmt[80];
  if (!GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, fmt, 80)) return false;
  TDateParts parts;
  if (!ParseShortDate(text, FromW(fmt), parts)) return false;
  date = SYSTEMTIME{};
  date.wYear = WORD(parts.Year);
  date.wMonth = WORD(parts.Month);
  date.wDay = WORD(parts.Day);
  return true;
}
