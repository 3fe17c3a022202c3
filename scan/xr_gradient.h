// A windowless control that fills its area with a colour gradient in one of six
// styles. The gradient is drawn once into an off-screen bitmap, keyed by the
// control's size; the property setters invalidate that cache.
#pragma once

#include <cstdint>

#include "scan/xr_ex_controls.h"
#include "scan/xr_types.h"
#include "ui/canvas.h"

// Effective step count for a size (never below 1).
int GradientStepCount(TXrGradientStyle style, int steps, int width, int height);
// Colour of step i of m between two RGB colours (halves round to even).
COLORREF GradientStepColor(COLORREF start, COLORREF end, int i, int m);
// Draws the style into canvas over (0, 0, width, height); nothing when a size <= 0.
void DrawGradient(TCanvas& canvas, TXrGradientStyle style, int steps, COLORREF start,
                  COLORREF end, int width, int height);

class TXrGradient : public TXrExGraphicControl {
public:
  explicit TXrGradient(TWinControl* parent);
  String ClassName() const override { return u"TXrGradient"; }

  TXrGradientStyle Style() const { return FStyle; }
  void SetStyle(TXrGradientStyle style);
  TColor StartColor() const { return FStartColor; }
  void SetStartColor(TColor color);
  TColor EndColor() const { return FEndColor; }
  void SetEndColor(TColor color);
  uint16_t Steps() const { return FSteps; }
  void SetSteps(uint16_t steps);

  // Bounds as a form sets them; remembered for Loaded.
  void SetLeft(int v);
  void SetTop(int v);
  void SetWidth(int v);
  void SetHeight(int v);
  void Loaded() override;

  // How often the buffer was drawn (tests check that painting reuses it).
  int BufferBuilds() const { return builds_; }
  const TBitmap& Buffer() const { return FBuffer; }

protected:
  void Paint() override;

private:
  void Changed();

  TXrGradientStyle FStyle = grHorizontal;
  TColor FStartColor = clBlue;
  TColor FEndColor = clBlack;
  uint16_t FSteps = 100;
  TBitmap FBuffer;
  int FBufferWidth = 0;
  int FBufferHeight = 0;
  int FLoadedLeft = 0, FLoadedTop = 0, FLoadedWidth = 0, FLoadedHeight = 0;
  int builds_ = 0;
};
