// Writes a bitmap as a PNG file (8-bit RGB), for screenshots a person can look at.
#pragma once

#include <windows.h>
#include <zlib.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/string.h"
#include "tests/testlib/test_paths.h"
#include "ui/canvas.h"

namespace gui_test {

inline void PutBigEndian(std::vector<uint8_t>& out, uint32_t v) {
  for (int s = 24; s >= 0; s -= 8) out.push_back(uint8_t(v >> s));
}

inline void PngChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
  PutBigEndian(out, uint32_t(data.size()));
  size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  uLong crc = crc32(0, out.data() + start, uInt(out.size() - start));
  PutBigEndian(out, uint32_t(crc));
}

inline bool WritePng(const TBitmap& bmp, const String& path) {
  int w = bmp.Width(), h = bmp.Height();
  if (w <= 0 || h <= 0) return false;
  std::vector<uint8_t> raw;
  raw.reserve(size_t(h) * (size_t(w) * 3 + 1));
  for (int y = 0; y < h; ++y) {
    raw.push_back(0);
    for (int x = 0; x < w; ++x) {
      TColor c = bmp.Pixel(x, y);
      raw.push_back(uint8_t(RedOf(c)));
      raw.push_back(uint8_t(GreenOf(c)));
      raw.push_back(uint8_t(BlueOf(c)));
    }
  }
  uLongf packedSize = compressBound(uLong(raw.size()));
  std::vector<uint8_t> packed(packedSize);
  if (compress(packed.data(), &packedSize, raw.data(), uLong(raw.size())) != Z_OK) return false;
  packed.resize(packedSize);
  std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> header;
  PutBigEndian(header, uint32_t(w));
  PutBigEndian(header, uint32_t(h));
  header.insert(header.end(), {8, 2, 0, 0, 0});
  PngChunk(out, "IHDR", header);
  PngChunk(out, "IDAT", packed);
  PngChunk(out, "IEND", {});
  FILE* f = _wfopen(reinterpret_cast<const wchar_t*>(path.c_str()), L"wb");
  if (!f) return false;
  bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
  return std::fclose(f) == 0 && ok;
}

// Where a picture for a person to look at goes: name in the build tree's artifact folder
// (a Unix path), which this makes.
inline String ArtifactPath(const std::string& artifactDir, const std::string& name) {
  CreateDirectoryW(reinterpret_cast<const wchar_t*>(HostPath(artifactDir).c_str()), nullptr);
  return HostPath(artifactDir + "/" + name);
}

}  // namespace gui_test
