#include "ui/canvas.h"

#include <gtest/gtest.h>

#include "tests/ui/import_hook.h"

namespace {

// Every DeleteObject of a font, and whether the font was still selected in the
// watched DC then (the system refuses to delete it, and it leaks).
struct FontDeletions {
  static inline HDC watched = nullptr;
  static inline int fonts = 0, stillSelected = 0;
  static inline BOOL(WINAPI* original)(HGDIOBJ) = nullptr;
  static BOOL WINAPI Delete(HGDIOBJ object) {
    if (GetObjectType(object) == OBJ_FONT) {
      ++fonts;
      if (watched && GetCurrentObject(watched, OBJ_FONT) == object) ++stillSelected;
    }
    return original(object);
  }
};

TEST(GdiCanvas, ReplacedFontIsDeselectedBeforeItIsDeleted) {
  gui_test::ImportHook hook("gdi32.dll", "DeleteObject", reinterpret_cast<void*>(&FontDeletions::Delete));
  ASSERT_TRUE(hook.Installed());
  FontDeletions::original = reinterpret_cast<BOOL(WINAPI*)(HGDIOBJ)>(hook.Original());
  TBitmap bitmap;
  ASSERT_TRUE(bitmap.SetSize(40, 20));
  FontDeletions::watched = bitmap.DC();
  TCanvas& canvas = bitmap.Canvas();
  int narrow = canvas.TextWidth(u"Wide");
  canvas.Font.Height = -30;  // a new font replaces the one in use
  int wide = canvas.TextWidth(u"Wide");
  canvas.Font.Style = fsBold;
  canvas.TextOut(0, 0, u"x");
  FontDeletions::watched = nullptr;
  EXPECT_GT(wide, narrow);
  EXPECT_EQ(FontDeletions::fonts, 2);
  EXPECT_EQ(FontDeletions::stillSelected, 0);
}

}  // namespace
