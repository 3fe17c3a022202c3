#include "ui/graphics.h"

#include <algorithm>

#include "base/win_string.h"

COLORREF ColorToRGB(TColor color) {
  if (color == clNone || color == clDefault) return RGB(0, 0, 0);
  if ((color & 0xFF000000u) == clSystemColor) return GetSysColor(int(color & 0xFF));
  return COLORREF(color & 0x00FFFFFFu);
}

HFONT FontHandle::Get(const TFont& font) {
  if (handle_ && made_.Name == font.Name && made_.Height == font.Height &&
      made_.Style == font.Style)
    return handle_.get();
  LOGFONTW lf{};
  lf.lfHeight = font.Height;
  lf.lfWeight = (font.Style & fsBold) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = (font.Style & fsItalic) ? 1 : 0;
  lf.lfUnderline = (font.Style & fsUnderline) ? 1 : 0;
  lf.lfStrikeOut = (font.Style & fsStrikeOut) ? 1 : 0;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfQuality = DEFAULT_QUALITY;
  size_t n = std::min(font.Name.size(), size_t(LF_FACESIZE - 1));
  std::copy_n(W(font.Name), n, lf.lfFaceName);
  handle_.reset(CreateFontIndirectW(&lf));
  made_ = font;
  return handle_.get();
}
