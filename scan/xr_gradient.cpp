#include "scan/xr_gradient.h"

#include <algorithm>
#include <cmath>

namespace {
// Nearest integer, halves to the even neighbour (the default rounding mode).
int Rnd(double x) { return int(std::nearbyint(x)); }
}  // namespace

int GradientStepCount(TXrGradientStyle style, int steps, int width, int height) {
  int m = steps;
  switch (style) {
    case grHorizontal: m = std::min(steps, width); break;
    case grVertical: m = std::min(steps, height); break;
    case grEllipse:
    case grPyramid:
    case grMount: m = std::min({steps, width / 2, height / 2}); break;
    case grFilled: m = 1; break;
  }
  return std::max(m, 1);
}

COLORREF GradientStepColor(COLORREF s, COLORREF e, int i, int m) {
  auto channel = [&](int from, int to) {
    double delta = double(to - from) / m;
    return std::clamp(Rnd(from + i * delta), 0, 255);
  };
  return RGB(channel(RedOf(s), RedOf(e)), channel(GreenOf(s), GreenOf(e)),
             channel(BlueOf(s), BlueOf(e)));
}

void DrawGradient(TCanvas& c, TXrGradientStyle style, int steps, COLORREF s, COLORREF e, int w,
                  int h) {
  if (w <= 0 || h <= 0) return;
  auto solid = [&](COLORREF rgb) {
    c.Brush = TBrush{TColor(rgb)};
    c.Pen = TPen{TColor(rgb)};
  };
  if (style == grFilled) {
    solid(s);
    c.FillRect(TRect{0, 0, w, h});
    return;
  }
  int m = GradientStepCount(style, steps, w, h);
  if (style == grHorizontal || style == grVertical) {
    int extent = style == grHorizontal ? w : h;
    for (int i = 0; i <= m; ++i) {
      solid(GradientStepColor(s, e, i, m));
      int a = Rnd(double(int64_t(i) * extent) / m);
      int b = Rnd(double(int64_t(i + 1) * extent) / m);
      if (style == grHorizontal)
        c.FillRect(TRect{a, 0, b, h});
      else
        c.FillRect(TRect{0, a, w, b});
    }
    return;
  }
  solid(s);
  c.FillRect(TRect{0, 0, w, h});
  double stepX = double(w) / m / 2, stepY = double(h) / m / 2;
  for (int i = 0; i <= m; ++i) {
    solid(GradientStepColor(s, e, i, m));
    int l = Rnd(i * stepX), t = Rnd(i * stepY);
    TRect r{l, t, w - l, h - t};
    switch (style) {
      case grEllipse: c.Ellipse(r); break;
      case grPyramid: c.FillRect(r); break;
      default: c.RoundRect(r, (w - 2 * l) / 2, (h - 2 * t) / 2); break;
    }
  }
}

TXrGradient::TXrGradient(TWinControl* parent) : TXrExGraphicControl(parent) {
  SetControlStyle(ControlStyle() | csOpaque);
  align_ = alClient;
}

void TXrGradient::Changed() {
  FBufferWidth = 0;
  Invalidate();
}

void TXrGradient::SetStyle(TXrGradientStyle style) {
  if (style == FStyle) return;
  FStyle = style;
  Changed();
}

void TXrGradient::SetStartColor(TColor color) {
  if (color == FStartColor) return;
  FStartColor = color;
  Changed();
}

void TXrGradient::SetEndColor(TColor color) {
  if (color == FEndColor) return;
  FEndColor = color;
  Changed();
}

void TXrGradient::SetSteps(uint16_t steps) {
  if (steps == FSteps) return;
  FSteps = steps;
  Changed();
}

void TXrGradient::SetLeft(int v) {
  FLoadedLeft = v;
  TControl::SetLeft(v);
}
void TXrGradient::SetTop(int v) {
  FLoadedTop = v;
  TControl::SetTop(v);
}
void TXrGradient::SetWidth(int v) {
  FLoadedWidth = v;
  TControl::SetWidth(v);
}
void TXrGradient::SetHeight(int v) {
  FLoadedHeight = v;
  TControl::SetHeight(v);
}

void TXrGradient::Loaded() {
  TXrExGraphicControl::Loaded();
  if (Align() == alNone || Align() == alClient || Align() == alCustom) {
    TControl::SetLeft(FLoadedLeft);
    TControl::SetTop(FLoadedTop);
  }
  if (Align() != alClient) {
    TControl::SetWidth(FLoadedWidth);
    TControl::SetHeight(FLoadedHeight);
  }
}

void TXrGradient::Paint() {
  if (ComponentState() & csDestroying) return;
  int w = Width(), h = Height();
  if (w <= 0 || h <= 0) {
    FBufferWidth = w;
    FBufferHeight = h;
    return;
  }
  if (w != FBufferWidth || h != FBufferHeight) {
    COLORREF s = ColorToRGB(FStartColor), e = ColorToRGB(FEndColor);
    FBufferWidth = w;
    FBufferHeight = h;
    if (!FBuffer.SetSize(w, h)) {
      FBufferWidth = 0;  // try again at the next paint
      return;
    }
    DrawGradient(FBuffer.Canvas(), FStyle, FSteps, s, e, w, h);
    ++builds_;
  }
  Canvas().Draw(0, 0, FBuffer);
}
