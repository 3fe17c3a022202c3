#include "ui/com_controls.h"

#include <commctrl.h>

#include <algorithm>

#include "base/win_string.h"

// ----------------------------------------------------------------------------- TStatusBar

TStatusBar::TStatusBar(TWinControl* parent, const TStatusBarArgs& a)
    : TWinControl(parent), panels_(a.Panels), sizeGrip_(a.SizeGrip) {
  ApplyCommonArgs(a);
  if (align_ == alNone) align_ = alBottom;
  if (bounds_.Height() == 0) bounds_.Bottom = bounds_.Top + 19;
}

void TStatusBar::FillCreateParams(CreateParams& p) {
  p.ClassName = FromW(STATUSCLASSNAMEW);
  p.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE | (sizeGrip_ ? SBARS_SIZEGRIP : 0);
}

void TStatusBar::HandleCreated() {
  // Height from the font: the text and a small margin.
  TFont f = Font();
  int h = std::abs(f.Height) + 8;
  if (h > Height()) SetHeight(h);
  UpdateParts();
}

void TStatusBar::FontChanged() {
  TWinControl::FontChanged();
  UpdateParts();
}

void TStatusBar::UpdateParts() {
  if (!handle_) return;
  std::vector<int> edges;
  int x = 0;
  for (size_t i = 0; i < panels_.size(); ++i) {
    x += std::max(panels_[i].Width, 0);
    edges.push_back(i + 1 == panels_.size() ? -1 : x);
  }
  if (edges.empty()) edges.push_back(-1);
  SendMessageW(handle_, SB_SETPARTS, WPARAM(edges.size()), LPARAM(edges.data()));
  for (size_t i = 0; i < panels_.size(); ++i)
    SendMessageW(handle_, SB_SETTEXTW, WPARAM(i), LPARAM(W(panels_[i].Text)));
}

void TStatusBar::SetPanelText(int index, const String& text) {
  TStatusPanel& p = panels_.at(size_t(index));
  p.Text = text;
  if (handle_) SendMessageW(handle_, SB_SETTEXTW, WPARAM(index), LPARAM(W(p.Text)));
}

void TStatusBar::SetPanelWidth(int index, int width) {
  panels_.at(size_t(index)).Width = width;
  UpdateParts();
}

int TStatusBar::TextWidth(StringView text) {
  WindowDC dc(handle_);
  TGdiCanvas c(dc.get());
  c.Font = Font();
  return c.TextWidth(text);
}

String TStatusBar::ShownText(int index) const {
  if (!handle_) return String();
  LRESULT r = SendMessageW(handle_, SB_GETTEXTLENGTHW, WPARAM(index), 0);
  String s(size_t(LOWORD(r)) + 1, u'\0');
  SendMessageW(handle_, SB_GETTEXTW, WPARAM(index), LPARAM(W(s.data())));
  s.resize(size_t(LOWORD(r)));
  return s;
}

// ------------------------------------------------------------------------------ TTabSheet

TTabSheet::TTabSheet(TWinControl* parent, const TTabSheetArgs& a)
    : TCustomControl(parent), tabVisible_(a.TabVisible) {
  ApplyCommonArgs(a);
  caption_ = a.Caption;
  align_ = alClient;
  visible_ = false;
}

void TTabSheet::FillCreateParams(CreateParams& p) {
  TCustomControl::FillCreateParams(p);
  p.ExStyle |= WS_EX_CONTROLPARENT;
}

TPageControl* TTabSheet::PageControl() const { return dynamic_cast<TPageControl*>(parent_); }

void TTabSheet::SetTabVisible(bool visible) {
  if (visible == tabVisible_) return;
  tabVisible_ = visible;
  if (TPageControl* pc = PageControl()) pc->UpdateTabs();
}

// --------------------------------------------------------------------------- TPageControl

TPageControl::TPageControl(TWinControl* parent, const TPageControlArgs& a) : TWinControl(parent) {
  ApplyCommonArgs(a);
  tabStop_ = true;
}

void TPageControl::FillCreateParams(CreateParams& p) {
  p.ClassName = FromW(WC_TABCONTROLW);
  p.Style |= WS_CLIPCHILDREN;
  p.ExStyle |= WS_EX_CONTROLPARENT;
}

TTabSheet* TPageControl::AddPage(const TTabSheetArgs& args) {
  TTabSheet* page = Add<TTabSheet>(args);
  pages_.push_back(page);
  UpdateTabs();
  if (!active_) SetActivePage(page);
  return page;
}

void TPageControl::SetActivePage(TTabSheet* page) {
  if (page == active_) return;
  if (page && std::find(pages_.begin(), pages_.end(), page) == pages_.end()) return;
  TTabSheet* old = active_;
  active_ = page;
  if (page) {
    Realign();
    page->Show();
    page->BringToFront();
  }
  if (old) old->Hide();
  // Select the matching tab when it is visible.
  if (handle_) {
    int tab = 0, sel = -1;
    for (TTabSheet* p : pages_) {
      if (!p->TabVisible()) continue;
      if (p == page) sel = tab;
      ++tab;
    }
    SendMessageW(handle_, TCM_SETCURSEL, WPARAM(sel), 0);
  }
}

void TPageControl::UpdateTabs() {
  if (!handle_) return;
  SendMessageW(handle_, TCM_DELETEALLITEMS, 0, 0);
  int tab = 0;
  for (TTabSheet* p : pages_) {
    if (!p->TabVisible()) continue;
    String text = p->Caption();
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = W(text.data());
    SendMessageW(handle_, TCM_INSERTITEMW, WPARAM(tab), LPARAM(&item));
    if (p == active_) SendMessageW(handle_, TCM_SETCURSEL, WPARAM(tab), 0);
    ++tab;
  }
  Realign();
}

TRect TPageControl::DisplayRect() {
  TRect r = ClientRect();
  RECT rc = r.ToRECT();
  if (handle_) Perform(TCM_ADJUSTRECT, FALSE, LPARAM(&rc));
  return TRect::From(rc);
}

void TPageControl::AdjustClientRect(TRect& r) const {
  r = const_cast<TPageControl*>(this)->DisplayRect();
}

void TPageControl::WndProc(TMessage& m) {
  if (m.Msg == CN_NOTIFY) {
    auto* hdr = reinterpret_cast<NMHDR*>(m.LParam);
    if (hdr->code == UINT(TCN_SELCHANGE)) {
      int sel = int(SendMessageW(handle_, TCM_GETCURSEL, 0, 0));
      int tab = 0;
      for (TTabSheet* p : pages_) {
        if (!p->TabVisible()) continue;
        if (tab++ == sel) {
          SetActivePage(p);
          break;
        }
      }
      if (OnChange) OnChange(this);
      m.Result = 0;
      return;
    }
  }
  TWinControl::WndProc(m);
}
