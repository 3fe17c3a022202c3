#include "ui/bmp_layout.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr size_t kFileHeaderBytes = 14;
constexpr size_t kInfoHeaderBytes = 40;
constexpr size_t kMaskBytes = 12;
constexpr uint32_t kRgb = 0, kBitFields = 3;

uint32_t U16(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }
uint32_t U32(const uint8_t* p) { return U16(p) | U16(p + 2) << 16; }
void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}
}  // namespace

bool ReadBmpLayout(const uint8_t* data, size_t size, int maxSide, TBmpLayout& layout) {
  layout = TBmpLayout{};
  if (!data || size < kFileHeaderBytes + kInfoHeaderBytes) return false;
  if (data[0] != 'B' || data[1] != 'M') return false;
  const uint64_t pixelOffset = U32(data + 10);
  const uint8_t* info = data + kFileHeaderBytes;
  const uint64_t headerSize = U32(info);
  const int64_t width = int32_t(U32(info + 4));
  const int64_t height = int32_t(U32(info + 8));
  const int bitCount = int(U16(info + 14));
  const uint32_t compression = U32(info + 16);
  const uint64_t colorsUsed = U32(info + 32);

  if (headerSize < kInfoHeaderBytes) return false;
  if (width <= 0 || width > maxSide || height == 0 || height < -maxSide || height > maxSide)
    return false;
  switch (bitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return false;
  }
  const bool bitFields = compression == kBitFields;
  if (compression != kRgb && !(bitFields && (bitCount == 16 || bitCount == 32))) return false;

  // Masks sit right after the 40 header bytes: inside a longer header, or added to a
  // 40-byte one.
  uint64_t end = kFileHeaderBytes + headerSize;
  if (bitFields) end = std::max<uint64_t>(end, kFileHeaderBytes + kInfoHeaderBytes + kMaskBytes);
  uint64_t paletteCount = colorsUsed;
  if (bitCount <= 8) {
    const uint64_t most = uint64_t(1) << bitCount;
    if (paletteCount > most) return false;
    if (paletteCount == 0) paletteCount = most;
  }
  const uint64_t paletteOffset = end;
  end += paletteCount * 4;
  if (end > pixelOffset) return false;
  const uint64_t rows = uint64_t(height < 0 ? -height : height);
  const uint64_t stride = (uint64_t(width) * uint64_t(bitCount) + 31) / 32 * 4;
  if (pixelOffset > size || stride * rows > size - pixelOffset) return false;

  layout.Width = int(width);
  layout.Height = int(rows);
  layout.TopDown = height < 0;
  layout.BitCount = bitCount;
  layout.BitFields = bitFields;
  layout.PaletteOffset = size_t(paletteOffset);
  // Beyond 8 bits a pixel the table is only a hint for palette displays.
  layout.PaletteCount = bitCount <= 8 ? uint32_t(paletteCount) : 0;
  layout.PixelOffset = size_t(pixelOffset);
  layout.PixelBytes = size_t(stride * rows);
  return true;
}

std::vector<uint8_t> BmpInfoFor(const uint8_t* data, const TBmpLayout& layout) {
  const size_t masks = layout.BitFields ? kMaskBytes : 0;
  const uint8_t* header = data + kFileHeaderBytes;
  std::vector<uint8_t> info(header, header + kInfoHeaderBytes);
  info.resize(kInfoHeaderBytes + masks + size_t(layout.PaletteCount) * 4);
  Put32(info.data(), uint32_t(kInfoHeaderBytes));
  info[12] = 1;  // planes
  info[13] = 0;
  Put32(info.data() + 20, uint32_t(layout.PixelBytes));
  Put32(info.data() + 32, layout.PaletteCount);  // colours used: exactly the table given
  if (masks) std::memcpy(info.data() + kInfoHeaderBytes, header + kInfoHeaderBytes, masks);
  if (layout.PaletteCount)
    std::memcpy(info.data() + kInfoHeaderBytes + masks, data + layout.PaletteOffset,
                size_t(layout.PaletteCount) * 4);
  return info;
}
