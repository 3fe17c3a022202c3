// Colours, geometry, font/brush/pen descriptions and owners of GDI objects.
#pragma once

#include <windows.h>

#include <cstdint>
#include <utility>

#include "base/string.h"
#include "base/win_handle.h"

// A colour: red in the lowest byte, then green, then blue. A high byte of 0xFF names
// the system colour whose number is in the lowest byte.
using TColor = uint32_t;

constexpr TColor clSystemColor = 0xFF000000u;
constexpr TColor clNone = 0x1FFFFFFFu;
constexpr TColor clDefault = 0x20000000u;

constexpr TColor RGBColor(int r, int g, int b) {
  return TColor(r & 0xFF) | (TColor(g & 0xFF) << 8) | (TColor(b & 0xFF) << 16);
}

constexpr TColor clBlack = RGBColor(0, 0, 0);
constexpr TColor clMaroon = RGBColor(128, 0, 0);
constexpr TColor clGreen = RGBColor(0, 128, 0);
constexpr TColor clOlive = RGBColor(128, 128, 0);
constexpr TColor clNavy = RGBColor(0, 0, 128);
constexpr TColor clPurple = RGBColor(128, 0, 128);
constexpr TColor clTeal = RGBColor(0, 128, 128);
constexpr TColor clGray = RGBColor(128, 128, 128);
constexpr TColor clSilver = RGBColor(192, 192, 192);
constexpr TColor clRed = RGBColor(255, 0, 0);
constexpr TColor clLime = RGBColor(0, 255, 0);
constexpr TColor clYellow = RGBColor(255, 255, 0);
constexpr TColor clBlue = RGBColor(0, 0, 255);
constexpr TColor clFuchsia = RGBColor(255, 0, 255);
constexpr TColor clAqua = RGBColor(0, 255, 255);
constexpr TColor clWhite = RGBColor(255, 255, 255);
constexpr TColor clMoneyGreen = RGBColor(192, 220, 192);
constexpr TColor clSkyBlue = RGBColor(166, 202, 240);
constexpr TColor clCream = RGBColor(255, 251, 240);
constexpr TColor clMedGray = RGBColor(160, 160, 164);

constexpr TColor SystemColor(int index) { return clSystemColor | TColor(index & 0xFF); }
constexpr TColor clScrollBar = SystemColor(COLOR_SCROLLBAR);
constexpr TColor clBackground = SystemColor(COLOR_BACKGROUND);
constexpr TColor clActiveCaption = SystemColor(COLOR_ACTIVECAPTION);
constexpr TColor clInactiveCaption = SystemColor(COLOR_INACTIVECAPTION);
constexpr TColor clMenu = SystemColor(COLOR_MENU);
constexpr TColor clWindow = SystemColor(COLOR_WINDOW);
constexpr TColor clWindowFrame = SystemColor(COLOR_WINDOWFRAME);
constexpr TColor clMenuText = SystemColor(COLOR_MENUTEXT);
constexpr TColor clWindowText = SystemColor(COLOR_WINDOWTEXT);
constexpr TColor clCaptionText = SystemColor(COLOR_CAPTIONTEXT);
constexpr TColor clActiveBorder = SystemColor(COLOR_ACTIVEBORDER);
constexpr TColor clInactiveBorder = SystemColor(COLOR_INACTIVEBORDER);
constexpr TColor clAppWorkSpace = SystemColor(COLOR_APPWORKSPACE);
constexpr TColor clHighlight = SystemColor(COLOR_HIGHLIGHT);
constexpr TColor clHighlightText = SystemColor(COLOR_HIGHLIGHTTEXT);
constexpr TColor clBtnFace = SystemColor(COLOR_BTNFACE);
constexpr TColor clBtnShadow = SystemColor(COLOR_BTNSHADOW);
constexpr TColor clGrayText = SystemColor(COLOR_GRAYTEXT);
constexpr TColor clBtnText = SystemColor(COLOR_BTNTEXT);
constexpr TColor clInactiveCaptionText = SystemColor(COLOR_INACTIVECAPTIONTEXT);
constexpr TColor clBtnHighlight = SystemColor(COLOR_BTNHIGHLIGHT);
constexpr TColor cl3DDkShadow = SystemColor(COLOR_3DDKSHADOW);
constexpr TColor cl3DLight = SystemColor(COLOR_3DLIGHT);
constexpr TColor clInfoText = SystemColor(COLOR_INFOTEXT);
constexpr TColor clInfoBk = SystemColor(COLOR_INFOBK);
constexpr TColor clHotLight = SystemColor(26);
constexpr TColor clGradientActiveCaption = SystemColor(27);
constexpr TColor clGradientInactiveCaption = SystemColor(28);
constexpr TColor clMenuHighlight = SystemColor(29);
constexpr TColor clMenuBar = SystemColor(30);

// The RGB value of a colour now (system colours resolved); clNone and clDefault give
// black.
COLORREF ColorToRGB(TColor color);
inline int RedOf(COLORREF c) { return int(c & 0xFF); }
inline int GreenOf(COLORREF c) { return int((c >> 8) & 0xFF); }
inline int BlueOf(COLORREF c) { return int((c >> 16) & 0xFF); }

struct TPoint {
  int X = 0, Y = 0;
  bool operator==(const TPoint&) const = default;
};

// Right and bottom are exclusive, as in Win32.
struct TRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  bool Contains(TPoint p) const { return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom; }
  RECT ToRECT() const { return RECT{Left, Top, Right, Bottom}; }
  static TRect From(const RECT& r) { return TRect{int(r.left), int(r.top), int(r.right), int(r.bottom)}; }
  bool operator==(const TRect&) const = default;
};
inline TRect Bounds(int left, int top, int width, int height) {
  return TRect{left, top, left + width, top + height};
}

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

// A font as a description; canvases and controls make the GDI object from it.
struct TFont {
  String Name = u"Tahoma";
  int Height = -11;  // character height in pixels, negative as in LOGFONT (8 pt)
  unsigned Style = 0;
  TColor Color = clWindowText;
  bool Bold() const { return (Style & fsBold) != 0; }
  bool operator==(const TFont&) const = default;
};

enum class TBrushStyle { bsSolid, bsClear };
struct TBrush {
  TColor Color = clWhite;
  TBrushStyle Style = TBrushStyle::bsSolid;
  bool operator==(const TBrush&) const = default;
};

enum class TPenStyle { psSolid, psClear };
struct TPen {
  TColor Color = clBlack;
  int Width = 1;
  TPenStyle Style = TPenStyle::psSolid;
  bool operator==(const TPen&) const = default;
};

template <typename T>
struct GdiObjectTraits {
  static T Invalid() { return nullptr; }
  static void Close(T h) { DeleteObject(h); }
};
using UniqueFont = UniqueOwner<HFONT, GdiObjectTraits<HFONT>>;
using UniqueBrush = UniqueOwner<HBRUSH, GdiObjectTraits<HBRUSH>>;
using UniquePen = UniqueOwner<HPEN, GdiObjectTraits<HPEN>>;
using UniqueBitmap = UniqueOwner<HBITMAP, GdiObjectTraits<HBITMAP>>;
using UniqueRegion = UniqueOwner<HRGN, GdiObjectTraits<HRGN>>;
struct MemoryDCTraits {
  static HDC Invalid() { return nullptr; }
  static void Close(HDC h) { DeleteDC(h); }
};
using UniqueMemoryDC = UniqueOwner<HDC, MemoryDCTraits>;

// GetDC/ReleaseDC of a window (or the screen when hwnd is null).
class WindowDC {
public:
  explicit WindowDC(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
  ~WindowDC() {
    if (dc_) ReleaseDC(hwnd_, dc_);
  }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  HDC get() const { return dc_; }

private:
  HWND hwnd_;
  HDC dc_;
};

// BeginPaint/EndPaint.
class PaintDC {
public:
  explicit PaintDC(HWND hwnd) : hwnd_(hwnd) { dc_ = BeginPaint(hwnd, &ps_); }
  ~PaintDC() { EndPaint(hwnd_, &ps_); }
  PaintDC(const PaintDC&) = delete;
  PaintDC& operator=(const PaintDC&) = delete;
  HDC get() const { return dc_; }
  TRect Area() const { return TRect::From(ps_.rcPaint); }

private:
  HWND hwnd_;
  PAINTSTRUCT ps_{};
  HDC dc_;
};

// SaveDC/RestoreDC around a block that changes clipping or origin.
class SavedDC {
public:
  explicit SavedDC(HDC dc) : dc_(dc), id_(SaveDC(dc)) {}
  ~SavedDC() {
    if (id_) RestoreDC(dc_, id_);
  }
  SavedDC(const SavedDC&) = delete;
  SavedDC& operator=(const SavedDC&) = delete;

private:
  HDC dc_;
  int id_;
};

// One kind of object in a DC (OBJ_FONT, OBJ_BRUSH, OBJ_PEN, OBJ_BITMAP): the one current
// when this is made goes back on Restore and when this goes. Declare it after the owners
// of what it selects, so that each is deselected before it is deleted.
class GdiSelection {
public:
  GdiSelection(HDC dc, UINT kind) : dc_(dc), original_(GetCurrentObject(dc, kind)) {}
  ~GdiSelection() { Restore(); }
  GdiSelection(const GdiSelection&) = delete;
  GdiSelection& operator=(const GdiSelection&) = delete;
  void Select(HGDIOBJ object) { SelectObject(dc_, object); }
  void Restore() { SelectObject(dc_, original_); }

private:
  HDC dc_;
  HGDIOBJ original_;
};

// Makes the GDI font for a description; reuses the last one while it matches.
class FontHandle {
public:
  HFONT Get(const TFont& font);

private:
  TFont made_;
  UniqueFont handle_;
};
