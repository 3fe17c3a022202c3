// Where the parts of a BMP file lie. Every size and offset in a BMP header comes from
// the file: it is checked here, once, before any of it is used to read pixels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct TBmpLayout {
  int Width = 0;
  int Height = 0;  // rows, positive
  bool TopDown = false;
  int BitCount = 0;
  bool BitFields = false;    // three colour masks follow the 40-byte header fields
  size_t PaletteOffset = 0;  // from the start of the file
  uint32_t PaletteCount = 0;
  size_t PixelOffset = 0;
  size_t PixelBytes = 0;  // whole rows, padded to four bytes
};

// True when data is an uncompressed or bit-field BMP (1, 4, 8, 16, 24 or 32 bits a
// pixel, at most maxSide a side) whose header, colour masks, palette and pixel rows
// all lie inside the data, the palette before the pixels.
bool ReadBmpLayout(const uint8_t* data, size_t size, int maxSide, TBmpLayout& layout);

// A BITMAPINFO for the layout: the 40-byte header (whatever header version the file
// has), the masks and the palette, as the drawing calls expect them.
std::vector<uint8_t> BmpInfoFor(const uint8_t* data, const TBmpLayout& layout);
