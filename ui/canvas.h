// Drawing surface and its drawing operations. TCanvas holds the
// current font, brush and pen as plain values; a GDI canvas draws them into a DC and
// a recording canvas (tests) writes down what was asked.
#pragma once

#include <windows.h>

#include <memory>

#include "base/string.h"
#include "ui/graphics.h"

class TBitmap;

class TCanvas {
public:
  virtual ~TCanvas() = default;

  TFont Font;
  TBrush Brush;
  TPen Pen;

  // Fills with the brush (right and bottom exclusive); a clear brush fills nothing.
  virtual void FillRect(const TRect& r) = 0;
  // Text at (x, y), its cell background filled with the brush unless the brush is
  // clear.
  virtual void TextOut(int x, int y, StringView text) = 0;
  // Text at (x, y) clipped to r; r is filled with the brush first unless it is clear.
  virtual void TextRect(const TRect& r, int x, int y, StringView text) = 0;
  virtual int TextWidth(StringView text) = 0;
  virtual int TextHeight(StringView text) = 0;
  // Formatted text in r with DrawTextW flags (DT_WORDBREAK, DT_CENTER, ...); the
  // background is left alone. With DT_CALCRECT, r is set to the space needed.
  virtual void DrawText(TRect& r, StringView text, UINT flags) = 0;
  // Filled with the brush, outlined with the pen, inside r.
  virtual void Ellipse(const TRect& r) = 0;
  virtual void Rectangle(const TRect& r) = 0;
  virtual void RoundRect(const TRect& r, int cornerWidth, int cornerHeight) = 0;
  virtual void MoveTo(int x, int y) = 0;
  virtual void LineTo(int x, int y) = 0;
  // Copies the whole bitmap with its top-left corner at (x, y).
  virtual void Draw(int x, int y, const TBitmap& bitmap) = 0;
  // Copies part of the bitmap scaled into dest.
  virtual void StretchDraw(const TRect& dest, const TBitmap& bitmap) = 0;
  // Two-colour frame: top-left lines in topLeft, bottom-right lines in bottomRight.
  virtual void Frame3D(const TRect& r, TColor topLeft, TColor bottomRight) = 0;
  // Horizontal gradient fill (the grid's title cells).
  virtual void GradientFill(const TRect& r, TColor from, TColor to) = 0;
};

// Draws into a device context it does not own. The GDI objects it makes are
// selected while it lives and deselected (and deleted) when it goes.
class TGdiCanvas : public TCanvas {
public:
  explicit TGdiCanvas(HDC dc);
  ~TGdiCanvas() override;
  TGdiCanvas(const TGdiCanvas&) = delete;
  TGdiCanvas& operator=(const TGdiCanvas&) = delete;
  HDC Handle() const { return dc_; }

  void FillRect(const TRect& r) override;
  void TextOut(int x, int y, StringView text) override;
  void TextRect(const TRect& r, int x, int y, StringView text) override;
  int TextWidth(StringView text) override;
  int TextHeight(StringView text) override;
  void DrawText(TRect& r, StringView text, UINT flags) override;
  void Ellipse(const TRect& r) override;
  void Rectangle(const TRect& r) override;
  void RoundRect(const TRect& r, int cornerWidth, int cornerHeight) override;
  void MoveTo(int x, int y) override;
  void LineTo(int x, int y) override;
  void Draw(int x, int y, const TBitmap& bitmap) override;
  void StretchDraw(const TRect& dest, const TBitmap& bitmap) override;
  void Frame3D(const TRect& r, TColor topLeft, TColor bottomRight) override;
  void GradientFill(const TRect& r, TColor from, TColor to) override;

private:
  void ApplyFont();
  void ApplyBrush();
  void ApplyPen();
  void ApplyText(bool opaque);

  HDC dc_;
  FontHandle font_;
  TBrush madeBrush_;
  UniqueBrush brush_;
  TPen madePen_;
  UniquePen pen_;
  GdiSelection fontSelection_{dc_, OBJ_FONT};
  GdiSelection brushSelection_{dc_, OBJ_BRUSH};
  GdiSelection penSelection_{dc_, OBJ_PEN};
};

// An off-screen 32-bit top-down DIB with its own memory DC and canvas. A size that
// cannot be made (<= 0, or the system refuses) leaves the bitmap empty, and an empty
// bitmap draws nothing.
class TBitmap {
public:
  TBitmap();
  ~TBitmap();
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return !bits_; }
  // Returns false (and leaves the bitmap empty) when the size cannot be made.
  bool SetSize(int width, int height);
  // The canvas of an empty bitmap draws into a DC with no bitmap (nothing shows).
  TCanvas& Canvas() { return *canvas_; }
  HDC DC() const { return dc_.get(); }
  // Pixel colour as TColor (RGB); out of range gives clNone.
  TColor Pixel(int x, int y) const;
  // Direct access for decoders: rows top-down, 4 bytes a pixel (B, G, R, unused).
  uint8_t* Bits() { return static_cast<uint8_t*>(bits_); }

private:
  UniqueMemoryDC dc_;
  UniqueBitmap bitmap_;
  GdiSelection bitmapSelection_{dc_.get(), OBJ_BITMAP};
  void* bits_ = nullptr;
  int width_ = 0, height_ = 0;
  std::unique_ptr<TGdiCanvas> canvas_;
};
