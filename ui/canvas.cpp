#include "ui/canvas.h"

#include "base/win_string.h"

TGdiCanvas::TGdiCanvas(HDC dc) : dc_(dc) {}

TGdiCanvas::~TGdiCanvas() = default;

void TGdiCanvas::ApplyFont() {
  // A font still selected cannot be deleted (the system refuses and it leaks): put
  // the DC's own font back before a new one may replace ours.
  fontSelection_.Restore();
  fontSelection_.Select(font_.Get(Font));
  SetTextColor(dc_, ColorToRGB(Font.Color));
}

void TGdiCanvas::ApplyBrush() {
  if (!brush_ || !(madeBrush_ == Brush)) {
    brushSelection_.Restore();
    if (Brush.Style == TBrushStyle::bsClear)
      brush_.reset();
    else
      brush_.reset(CreateSolidBrush(ColorToRGB(Brush.Color)));
    madeBrush_ = Brush;
  }
  brushSelection_.Select(brush_ ? HGDIOBJ(brush_.get()) : GetStockObject(NULL_BRUSH));
}

void TGdiCanvas::ApplyPen() {
  if (!pen_ || !(madePen_ == Pen)) {
    penSelection_.Restore();
    if (Pen.Style == TPenStyle::psClear)
      pen_.reset();
    else
      pen_.reset(CreatePen(PS_SOLID, Pen.Width, ColorToRGB(Pen.Color)));
    madePen_ = Pen;
  }
  penSelection_.Select(pen_ ? HGDIOBJ(pen_.get()) : GetStockObject(NULL_PEN));
}

void TGdiCanvas::ApplyText(bool opaque) {
  ApplyFont();
  if (opaque) {
    SetBkMode(dc_, OPAQUE);
    SetBkColor(dc_, ColorToRGB(Brush.Color));
  } else {
    SetBkMode(dc_, TRANSPARENT);
  }
}

void TGdiCanvas::FillRect(const TRect& r) {
  if (Brush.Style == TBrushStyle::bsClear || r.IsEmpty()) return;
  ApplyBrush();
  RECT rc = r.ToRECT();
  ::FillRect(dc_, &rc, brush_.get());
}

void TGdiCanvas::TextOut(int x, int y, StringView text) {
  ApplyText(Brush.Style != TBrushStyle::bsClear);
  ExtTextOutW(dc_, x, y, 0, nullptr, reinterpret_cast<const wchar_t*>(text.data()),
              UINT(text.size()), nullptr);
}

void TGdiCanvas::TextRect(const TRect& r, int x, int y, StringView text) {
  bool opaque = Brush.Style != TBrushStyle::bsClear;
  ApplyText(opaque);
  RECT rc = r.ToRECT();
  ExtTextOutW(dc_, x, y, ETO_CLIPPED | (opaque ? ETO_OPAQUE : 0), &rc,
              reinterpret_cast<const wchar_t*>(text.data()), UINT(text.size()), nullptr);
}

int TGdiCanvas::TextWidth(StringView text) {
  ApplyFont();
  SIZE size{};
  GetTextExtentPoint32W(dc_, reinterpret_cast<const wchar_t*>(text.data()), int(text.size()),
                        &size);
  return size.cx;
}

int TGdiCanvas::TextHeight(StringView text) {
  ApplyFont();
  SIZE size{};
  GetTextExtentPoint32W(dc_, text.empty() ? L"W" : reinterpret_cast<const wchar_t*>(text.data()),
                        text.empty() ? 1 : int(text.size()), &size);
  return size.cy;
}

void TGdiCanvas::DrawText(TRect& r, StringView text, UINT flags) {
  ApplyText(false);
  RECT rc = r.ToRECT();
  ::DrawTextW(dc_, reinterpret_cast<const wchar_t*>(text.data()), int(text.size()), &rc, flags);
  if (flags & DT_CALCRECT) r = TRect::From(rc);
}

void TGdiCanvas::Ellipse(const TRect& r) {
  ApplyBrush();
  ApplyPen();
  ::Ellipse(dc_, r.Left, r.Top, r.Right, r.Bottom);
}

void TGdiCanvas::Rectangle(const TRect& r) {
  ApplyBrush();
  ApplyPen();
  ::Rectangle(dc_, r.Left, r.Top, r.Right, r.Bottom);
}

void TGdiCanvas::RoundRect(const TRect& r, int cornerWidth, int cornerHeight) {
  ApplyBrush();
  ApplyPen();
  ::RoundRect(dc_, r.Left, r.Top, r.Right, r.Bottom, cornerWidth, cornerHeight);
}

void TGdiCanvas::MoveTo(int x, int y) { MoveToEx(dc_, x, y, nullptr); }

void TGdiCanvas::LineTo(int x, int y) {
  ApplyPen();
  ::LineTo(dc_, x, y);
}

void TGdiCanvas::Draw(int x, int y, const TBitmap& bitmap) {
  if (bitmap.Empty()) return;
  BitBlt(dc_, x, y, bitmap.Width(), bitmap.Height(), bitmap.DC(), 0, 0, SRCCOPY);
}

void TGdiCanvas::StretchDraw(const TRect& dest, const TBitmap& bitmap) {
  if (bitmap.Empty() || dest.IsEmpty()) return;
  SetStretchBltMode(dc_, HALFTONE);
  StretchBlt(dc_, dest.Left, dest.Top, dest.Width(), dest.Height(), bitmap.DC(), 0, 0,
             bitmap.Width(), bitmap.Height(), SRCCOPY);
}

void TGdiCanvas::Frame3D(const TRect& r, TColor topLeft, TColor bottomRight) {
  if (r.IsEmpty()) return;
  TBrush saved = Brush;
  Brush = TBrush{topLeft};
  FillRect(TRect{r.Left, r.Top, r.Right - 1, r.Top + 1});
  FillRect(TRect{r.Left, r.Top, r.Left + 1, r.Bottom - 1});
  Brush = TBrush{bottomRight};
  FillRect(TRect{r.Left, r.Bottom - 1, r.Right, r.Bottom});
  FillRect(TRect{r.Right - 1, r.Top, r.Right, r.Bottom});
  Brush = saved;
}

void TGdiCanvas::GradientFill(const TRect& r, TColor from, TColor to) {
  if (r.IsEmpty()) return;
  COLORREF a = ColorToRGB(from), b = ColorToRGB(to);
  TRIVERTEX v[2] = {
      {LONG(r.Left), LONG(r.Top), COLOR16(RedOf(a) << 8), COLOR16(GreenOf(a) << 8),
       COLOR16(BlueOf(a) << 8), 0},
      {LONG(r.Right), LONG(r.Bottom), COLOR16(RedOf(b) << 8), COLOR16(GreenOf(b) << 8),
       COLOR16(BlueOf(b) << 8), 0}};
  GRADIENT_RECT g{0, 1};
  ::GradientFill(dc_, v, 2, &g, 1, GRADIENT_FILL_RECT_V);
}

TBitmap::TBitmap() : dc_(CreateCompatibleDC(nullptr)) {
  canvas_ = std::make_unique<TGdiCanvas>(dc_.get());
}

// The canvas goes first, then the bitmap's selection, then the bitmap and the DC.
TBitmap::~TBitmap() = default;

bool TBitmap::SetSize(int width, int height) {
  if (width == width_ && height == height_ && bits_) return true;
  canvas_.reset();
  bitmapSelection_.Restore();
  bitmap_.reset();
  bits_ = nullptr;
  width_ = height_ = 0;
  bool made = false;
  // 32 bits a pixel: 16384 x 16384 is the largest we ask for (1 GiB).
  if (width > 0 && height > 0 && width <= 16384 && height <= 16384) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP h = CreateDIBSection(dc_.get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (h && bits) {
      bitmap_.reset(h);
      bits_ = bits;
      width_ = width;
      height_ = height;
      bitmapSelection_.Select(h);
      made = true;
    } else if (h) {
      DeleteObject(h);
    }
  }
  canvas_ = std::make_unique<TGdiCanvas>(dc_.get());
  return made;
}

TColor TBitmap::Pixel(int x, int y) const {
  if (!bits_ || x < 0 || y < 0 || x >= width_ || y >= height_) return clNone;
  GdiFlush();
  const uint8_t* p = static_cast<const uint8_t*>(bits_) + (size_t(y) * width_ + x) * 4;
  return RGBColor(p[2], p[1], p[0]);
}

