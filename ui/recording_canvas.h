// A canvas that draws nothing and writes down each operation with the state it used,
// so that drawing logic can be checked without pixels.
#pragma once

#include <vector>

#include "ui/canvas.h"

class TRecordingCanvas : public TCanvas {
public:
  enum class Op { FillRect, TextOut, TextRect, DrawText, Ellipse, Rectangle, RoundRect, MoveTo, LineTo,
                  Draw, StretchDraw, Frame3D, GradientFill };
  struct Entry {
    Op op;
    TRect rect;
    TPoint point;
    String text;
    TBrush brush;
    TPen pen;
    TFont font;
    TPoint corner;  // RoundRect corner ellipse size
  };
  std::vector<Entry> Entries;
  // Width of a text: this many pixels a character.
  int CharWidth = 6;
  int CharHeight = 13;

  void FillRect(const TRect& r) override { Add(Op::FillRect, r); }
  void TextOut(int x, int y, StringView text) override { Add(Op::TextOut, {}, {x, y}, text); }
  void TextRect(const TRect& r, int x, int y, StringView text) override {
    Add(Op::TextRect, r, {x, y}, text);
  }
  int TextWidth(StringView text) override { return int(text.size()) * CharWidth; }
  int TextHeight(StringView) override { return CharHeight; }
  void DrawText(TRect& r, StringView text, UINT flags) override {
    if (flags & DT_CALCRECT) {
      r.Right = r.Left + TextWidth(text);
      r.Bottom = r.Top + CharHeight;
      return;
    }
    Add(Op::DrawText, r, {}, text);
  }
  void Ellipse(const TRect& r) override { Add(Op::Ellipse, r); }
  void Rectangle(const TRect& r) override { Add(Op::Rectangle, r); }
  void RoundRect(const TRect& r, int w, int h) override {
    Add(Op::RoundRect, r);
    Entries.back().corner = {w, h};
  }
  void MoveTo(int x, int y) override { Add(Op::MoveTo, {}, {x, y}); }
  void LineTo(int x, int y) override { Add(Op::LineTo, {}, {x, y}); }
  void Draw(int x, int y, const TBitmap&) override { Add(Op::Draw, {}, {x, y}); }
  void StretchDraw(const TRect& r, const TBitmap&) override { Add(Op::StretchDraw, r); }
  void Frame3D(const TRect& r, TColor, TColor) override { Add(Op::Frame3D, r); }
  void GradientFill(const TRect& r, TColor, TColor) override { Add(Op::GradientFill, r); }

private:
  void Add(Op op, TRect r, TPoint p = {}, StringView text = {}) {
    Entries.push_back(Entry{op, r, p, String(text), Brush, Pen, Font, {}});
  }
};
