#include "scan/xr_consts.h"

#include "base/win_string.h"
#include "scan/xr_consts_res.h"

namespace {
TDefColorItem kStandard[] = {
    {RGBColor(0, 0, 0), u"clBlack"},
    {RGBColor(128, 0, 0), u"clMaroon"},
    {RGBColor(0, 128, 0), u"clGreen"},
    {RGBColor(128, 128, 0), u"clOlive"},
    {RGBColor(0, 0, 128), u"clNavy"},
    {RGBColor(128, 0, 128), u"clPurple"},
    {RGBColor(0, 128, 128), u"clTeal"},
    {RGBColor(128, 128, 128), u"clGray"},
    {RGBColor(192, 192, 192), u"clSilver"},
    {RGBColor(255, 0, 0), u"clRed"},
    {RGBColor(0, 255, 0), u"clLime"},
    {RGBColor(255, 255, 0), u"clYellow"},
    {RGBColor(0, 0, 255), u"clBlue"},
    {RGBColor(255, 0, 255), u"clFuchsia"},
    {RGBColor(0, 255, 255), u"clAqua"},
    {RGBColor(255, 255, 255), u"clWhite"},
    {RGBColor(192, 220, 192), u"clMoneyGreen"},
    {RGBColor(166, 202, 240), u"clSkyBlue"},
    {RGBColor(255, 251, 240), u"clCream"},
    {RGBColor(160, 160, 164), u"clMedGray"},
};

TDefColorItem kPalette[] = {
    {RGBColor(0, 0, 0), u"clBlack"},
    {RGBColor(153, 51, 0), u"clBrown"},
    {RGBColor(51, 51, 0), u"clOliveGreen"},
    {RGBColor(0, 51, 0), u"clDarkGreen"},
    {RGBColor(0, 51, 102), u"clDarkTeal"},
    {RGBColor(0, 0, 128), u"clDarkBlue"},
    {RGBColor(51, 51, 153), u"clIndigo"},
    {RGBColor(51, 51, 51), u"clGray80"},
    {RGBColor(128, 0, 0), u"clDarkRed"},
    {RGBColor(255, 102, 0), u"clOrange"},
    {RGBColor(128, 128, 0), u"clDarkYellow"},
    {RGBColor(0, 128, 0), u"clGreen"},
    {RGBColor(0, 128, 128), u"clTeal"},
    {RGBColor(0, 0, 255), u"clBlue"},
    {RGBColor(102, 102, 153), u"clBlueGray"},
    {RGBColor(128, 128, 128), u"clGray50"},
    {RGBColor(255, 0, 0), u"clRed"},
    {RGBColor(255, 153, 0), u"clLightOrange"},
    {RGBColor(153, 204, 0), u"clLime"},
    {RGBColor(51, 153, 102), u"clSeaGreen"},
    {RGBColor(51, 153, 153), u"clAqua"},
    {RGBColor(51, 102, 255), u"clLightBlue"},
    {RGBColor(128, 0, 128), u"clViolet"},
    {RGBColor(153, 153, 153), u"clGray40"},
    {RGBColor(255, 0, 255), u"clPink"},
    {RGBColor(255, 204, 0), u"clGold"},
    {RGBColor(255, 255, 0), u"clYellow"},
    {RGBColor(0, 255, 0), u"clBrightGreen"},
    {RGBColor(0, 255, 255), u"clTurquoise"},
    {RGBColor(166, 202, 240), u"clSkyBlue"},
    {RGBColor(153, 51, 102), u"clPlum"},
    {RGBColor(192, 192, 192), u"clGray25"},
    {RGBColor(255, 153, 204), u"clRose"},
    {RGBColor(255, 204, 153), u"clTan"},
    {RGBColor(255, 255, 153), u"clLightYellow"},
    {RGBColor(204, 255, 204), u"clLightGreen"},
    {RGBColor(204, 255, 255), u"clLightTurquoise"},
    {RGBColor(153, 204, 255), u"clPaleBlue"},
    {RGBColor(204, 153, 255), u"clLavender"},
    {RGBColor(255, 255, 255), u"clWhite"},
};

TDefColorItem kSystem[] = {
    {SystemColor(0), u"clScrollBar"},
    {SystemColor(1), u"clBackground"},
    {SystemColor(2), u"clActiveCaption"},
    {SystemColor(3), u"clInactiveCaption"},
    {SystemColor(4), u"clMenu"},
    {SystemColor(5), u"clWindow"},
    {SystemColor(6), u"clWindowFrame"},
    {SystemColor(7), u"clMenuText"},
    {SystemColor(8), u"clWindowText"},
    {SystemColor(9), u"clCaptionText"},
    {SystemColor(10), u"clActiveBorder"},
    {SystemColor(11), u"clInactiveBorder"},
    {SystemColor(12), u"clAppWorkSpace"},
    {SystemColor(13), u"clHighlight"},
    {SystemColor(14), u"clHighlightText"},
    {SystemColor(15), u"clBtnFace"},
    {SystemColor(16), u"clBtnShadow"},
    {SystemColor(17), u"clGrayText"},
    {SystemColor(18), u"clBtnText"},
    {SystemColor(19), u"clInactiveCaptionText"},
    {SystemColor(20), u"clBtnHighlight"},
    {SystemColor(21), u"cl3DDkShadow"},
    {SystemColor(22), u"cl3DLight"},
    {SystemColor(23), u"clInfoText"},
    {SystemColor(24), u"clInfoBk"},
    {SystemColor(27), u"clGradientActiveCaption"},
    {SystemColor(28), u"clGradientInactiveCaption"},
    {SystemColor(26), u"clHotLight"},
    {SystemColor(30), u"clMenuBar"},
    {SystemColor(29), u"clMenuHighlight"},
};

struct TableTexts {
  std::span<TDefColorItem> rows;
  UINT firstText;
};
const TableTexts kTexts[] = {{kStandard, XR_STANDARD_COLOR_TEXTS},
                             {kPalette, XR_PALETTE_COLOR_TEXTS},
                             {kSystem, XR_SYSTEM_COLOR_TEXTS}};
}  // namespace

void LoadColorDescriptions(HMODULE module) {
  if (!module) module = GetModuleHandleW(nullptr);
  for (const TableTexts& table : kTexts) {
    UINT id = table.firstText;
    for (TDefColorItem& row : table.rows) {
      // Length 0: a read-only pointer to the resource text itself, not terminated.
      const wchar_t* text = nullptr;
      const int n = LoadStringW(module, id++, reinterpret_cast<LPWSTR>(&text), 0);
      row.Description = n > 0 && text ? FromW(text, size_t(n)) : String();
    }
  }
}

void FreeColorDescriptions() {
  for (const TableTexts& table : kTexts)
    for (TDefColorItem& row : table.rows) String().swap(row.Description);
}

std::span<const TDefColorItem> StandardColors() { return kStandard; }
std::span<const TDefColorItem> PaletteColors() { return kPalette; }
std::span<const TDefColorItem> SystemColors() { return kSystem; }
