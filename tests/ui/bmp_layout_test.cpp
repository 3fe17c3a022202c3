#include "ui/bmp_layout.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <functional>
#include <vector>

#include "tests/testlib/test_paths.h"
#include "ui/forms.h"
#include "ui/image.h"

namespace {

void Put16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  b[at] = uint8_t(v);
  b[at + 1] = uint8_t(v >> 8);
}
void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  Put16(b, at, v & 0xFFFF);
  Put16(b, at + 2, v >> 16);
}

// A 2 x 2 picture, bottom-up. 8 bits: palette 0 red, 1 green, 2 blue, 3 white, pixel
// rows {2, 3} (bottom) and {0, 1} (top). 32 bits with bit fields: the same colours.
std::vector<uint8_t> MakeBmp(int bits, uint32_t headerSize = 40) {
  bool fields = bits == 32;
  size_t masks = fields && headerSize == 40 ? 12 : 0;
  size_t palette = bits == 8 ? 4 * 4 : 0;
  size_t offset = 14 + headerSize + masks + palette;
  size_t stride = bits == 8 ? 4 : 8;
  std::vector<uint8_t> b(offset + 2 * stride, 0);
  b[0] = 'B';
  b[1] = 'M';
  Put32(b, 2, uint32_t(b.size()));
  Put32(b, 10, uint32_t(offset));
  Put32(b, 14, headerSize);
  Put32(b, 18, 2);
  Put32(b, 22, 2);
  Put16(b, 26, 1);
  Put16(b, 28, uint32_t(bits));
  Put32(b, 30, fields ? 3 : 0);
  if (bits == 8) Put32(b, 46, 4);  // colours used
  if (fields) {
    Put32(b, 54, 0x00FF0000);
    Put32(b, 58, 0x0000FF00);
    Put32(b, 62, 0x000000FF);
  }
  const uint32_t colours[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};  // 0xRRGGBB
  if (bits == 8)
    for (int i = 0; i < 4; ++i) Put32(b, 14 + headerSize + size_t(i) * 4, colours[i]);
  const int rows[2][2] = {{2, 3}, {0, 1}};
  for (int r = 0; r < 2; ++r)
    for (int x = 0; x < 2; ++x) {
      size_t at = offset + size_t(r) * stride;
      if (bits == 8)
        b[at + size_t(x)] = uint8_t(rows[r][x]);
      else
        Put32(b, at + size_t(x) * 4, colours[rows[r][x]]);
    }
  return b;
}

TEST(BmpLayout, AcceptsWhatLiesInsideTheFile) {
  TBmpLayout layout;
  std::vector<uint8_t> b = MakeBmp(8);
  ASSERT_TRUE(ReadBmpLayout(b.data(), b.size(), 16384, layout));
  EXPECT_EQ(layout.Width, 2);
  EXPECT_EQ(layout.Height, 2);
  EXPECT_FALSE(layout.TopDown);
  EXPECT_EQ(layout.PaletteOffset, 54u);
  EXPECT_EQ(layout.PaletteCount, 4u);
  EXPECT_EQ(layout.PixelOffset, 54u + 16);
  Put32(b, 22, uint32_t(-2));
  ASSERT_TRUE(ReadBmpLayout(b.data(), b.size(), 16384, layout));
  EXPECT_EQ(layout.Height, 2);
  EXPECT_TRUE(layout.TopDown);
  b = MakeBmp(32);
  ASSERT_TRUE(ReadBmpLayout(b.data(), b.size(), 16384, layout));
  EXPECT_TRUE(layout.BitFields);
  EXPECT_EQ(layout.PixelOffset, 54u + 12);
  b = MakeBmp(32, 124);  // masks inside a version 5 header
  ASSERT_TRUE(ReadBmpLayout(b.data(), b.size(), 16384, layout));
  EXPECT_EQ(layout.PixelOffset, 14u + 124);
}

TEST(BmpLayout, RefusesPartsOutsideTheFile) {
  struct Case {
    const char* name;
    int bits;
    std::function<void(std::vector<uint8_t>&)> damage;
  } cases[] = {
      // The pixels start right after the header: the 8-bit palette is missing.
      {"palette missing", 8, [](auto& b) { Put32(b, 10, 54); }},
      {"palette overlaps the pixels", 8, [](auto& b) { Put32(b, 10, 60); }},
      {"more colours than bits allow", 8, [](auto& b) { Put32(b, 46, 257); }},
      // No count of colours used means all 256, which the file does not hold.
      {"full palette missing", 8, [](auto& b) { Put32(b, 46, 0); }},
      {"masks missing", 32, [](auto& b) { Put32(b, 10, 54); b.resize(54 + 16); }},
      {"pixel rows cut short", 8, [](auto& b) { b.pop_back(); }},
      {"pixels start past the end", 32, [](auto& b) { Put32(b, 10, 0xFFFFFFF0); }},
      {"header larger than the file", 32, [](auto& b) { Put32(b, 14, 0xFFFFFFFF); }},
      {"header too small", 32, [](auto& b) { Put32(b, 14, 12); }},
      {"rows for a huge height", 8, [](auto& b) { Put32(b, 22, 16384); }},
      {"height of INT_MIN", 8, [](auto& b) { Put32(b, 22, 0x80000000); }},
      {"zero height", 8, [](auto& b) { Put32(b, 22, 0); }},
      {"width over the limit", 8, [](auto& b) { Put32(b, 18, 16385); }},
      {"bit fields on 8 bits", 8, [](auto& b) { Put32(b, 30, 3); }},
      {"run-length coded", 8, [](auto& b) { Put32(b, 30, 1); }},
      {"odd bit count", 8, [](auto& b) { Put16(b, 28, 7); }},
      {"not a bitmap", 8, [](auto& b) { b[0] = 'X'; }},
      {"shorter than its headers", 8, [](auto& b) { b.resize(53); }},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> b = MakeBmp(c.bits);
    TBmpLayout layout;
    ASSERT_TRUE(ReadBmpLayout(b.data(), b.size(), 16384, layout)) << c.name << ", undamaged";
    c.damage(b);
    EXPECT_FALSE(ReadBmpLayout(b.data(), b.size(), 16384, layout)) << c.name;
  }
}

TEST(BmpLayout, ImageShowsTheColoursAndRefusesAMissingPalette) {
  ScratchDir dir("bmp");
  auto write = [&](const String& name, const std::vector<uint8_t>& bytes) {
    String path = dir / name;
    FILE* f = _wfopen(reinterpret_cast<const wchar_t*>(path.c_str()), L"wb");
    EXPECT_TRUE(f);
    if (f) {
      fwrite(bytes.data(), 1, bytes.size(), f);
      fclose(f);
    }
    return path;
  };
  auto form = MakeForm<TForm>(TFormArgs{.ClientWidth = 100, .ClientHeight = 100});
  auto* image = form->Add<TImage>(TImageArgs{.Bounds = {0, 0, 2, 2}});
  std::vector<uint8_t> eight = MakeBmp(8);
  for (const auto& bytes : {eight, MakeBmp(32), MakeBmp(32, 124)}) {
    ASSERT_TRUE(image->LoadFromFile(write(u"pic.bmp", bytes)));
    TBitmap& p = image->Picture();
    EXPECT_EQ(p.Pixel(0, 0), RGBColor(255, 0, 0));
    EXPECT_EQ(p.Pixel(1, 0), RGBColor(0, 255, 0));
    EXPECT_EQ(p.Pixel(0, 1), RGBColor(0, 0, 255));
    EXPECT_EQ(p.Pixel(1, 1), RGBColor(255, 255, 255));
  }
  std::vector<uint8_t> noPalette = eight;
  Put32(noPalette, 10, 54);
  EXPECT_FALSE(image->LoadFromFile(write(u"nopalette.bmp", noPalette)));
}

}  // namespace
