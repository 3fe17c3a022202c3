// Painting: our own windows paint their background and their graphic children through
// one buffer; graphic and custom controls paint through Paint() on their canvas.
#include "base/exception.h"
#include "base/scope_exit.h"
#include "ui/control.h"

namespace {
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

void TWinControl::PaintOwnWindow() {
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
    BitBlt(pdc.get(), area.Left, area.Top, area.Width(), area.Height(), buffer.DC(), area.Left,
           area.Top, SRCCOPY);
  } else {
    TGdiCanvas canvas(pdc.get());
    canvas.Font = Font();
    {
      OpaqueChildrenClip clip(pdc.get(), controls_);
      PaintWindow(canvas);
    }
    PaintControls(pdc.get(), area);
  }
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
    c->PaintTo(canvas);
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
