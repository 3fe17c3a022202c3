// Common-control wrappers: status bar with panels and a page control whose tabs can
// be hidden.
#pragma once

#include <vector>

#include "ui/control.h"

struct TStatusPanel {
  String Text;
  int Width = 50;
};

struct TStatusBarArgs {
  QZ_CONTROL_ARGS
  std::vector<TStatusPanel> Panels;
  bool SizeGrip = true;
};

// Aligned to the bottom by default. The last panel reaches the right edge.
class TStatusBar : public TWinControl {
public:
  TStatusBar(TWinControl* parent, const TStatusBarArgs& args);
  String ClassName() const override { return u"TStatusBar"; }
  int PanelCount() const { return int(panels_.size()); }
  const String& PanelText(int index) const { return panels_.at(size_t(index)).Text; }
  void SetPanelText(int index, const String& text);
  int PanelWidth(int index) const { return panels_.at(size_t(index)).Width; }
  void SetPanelWidth(int index, int width);
  // Width of text in the status bar's own font.
  int TextWidth(StringView text);
  // The text the window shows in a panel now.
  String ShownText(int index) const;

protected:
  void FillCreateParams(CreateParams& p) override;
  void HandleCreated() override;
  void FontChanged() override;

private:
  void UpdateParts();
  std::vector<TStatusPanel> panels_;
  bool sizeGrip_;
};

class TPageControl;

struct TTabSheetArgs {
  QZ_CONTROL_ARGS
  String Caption;
  bool TabVisible = true;
};

// One page: a container the page control sizes to its display area.
class TTabSheet : public TCustomControl {
public:
  TTabSheet(TWinControl* parent, const TTabSheetArgs& args);
  String ClassName() const override { return u"TTabSheet"; }
  bool TabVisible() const { return tabVisible_; }
  void SetTabVisible(bool visible);
  TPageControl* PageControl() const;

protected:
  void FillCreateParams(CreateParams& p) override;

private:
  bool tabVisible_;
};

struct TPageControlArgs {
  QZ_CONTROL_ARGS
};

class TPageControl : public TWinControl {
public:
  TPageControl(TWinControl* parent, const TPageControlArgs& args);
  String ClassName() const override { return u"TPageControl"; }
  TTabSheet* AddPage(const TTabSheetArgs& args);
  int PageCount() const { return int(pages_.size()); }
  TTabSheet* Pages(int index) const { return pages_.at(size_t(index)); }
  TTabSheet* ActivePage() const { return active_; }
  void SetActivePage(TTabSheet* page);
  // The area the pages fill: the client area turned into the display area by
  // TCM_ADJUSTRECT, sent through WindowProc (a replaced procedure sees it).
  TRect DisplayRect();
  // Rebuilds the tab strip from the pages whose tab is visible.
  void UpdateTabs();
  TNotifyEvent OnChange;

protected:
  void FillCreateParams(CreateParams& p) override;
  void AdjustClientRect(TRect& r) const override;
  void WndProc(TMessage& m) override;

private:
  std::vector<TTabSheet*> pages_;
  TTabSheet* active_ = nullptr;
};
