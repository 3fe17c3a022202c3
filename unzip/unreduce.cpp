// The reduce decompressor (methods 2 to 5, compression factor 1 to 4): bytes coded
// through follower sets, then a run of 144-escaped copies out of a 16384-byte window.
#include <algorithm>
#include <array>

#include "unzip/extract_io.h"
#include "unzip/slide_window.h"

namespace {

constexpr uint32_t kReduceWindow = 16384;
// The byte that starts a copy; 144 followed by 0 is the byte itself.
constexpr uint8_t kCopyEscape = 144;
constexpr uint32_t kFollowerRow = 64;

struct TFactorTable {
  uint8_t lengthMask;
  uint8_t distanceShift;
  uint8_t distanceMask;
};
// By compression factor 1 to 4.
constexpr std::array<TFactorTable, 4> kFactors = {{
    {0x7F, 7, 0x01},
    {0x3F, 6, 0x03},
    {0x1F, 5, 0x07},
    {0x0F, 4, 0x0F},
}};

// Bits of a follower index for a row of N followers (1 to 63).
constexpr uint32_t FollowerIndexBits(uint32_t n) {
  uint32_t bits = 1;
  while ((1u << bits) < n) ++bits;
  return bits;
}

// The follower sets: row X lists the bytes likely to come after X.
struct TFollowers {
  std::array<uint8_t, 256> Slen{};
  std::array<std::array<uint8_t, kFollowerRow>, 256> Rows{};
};

}  // namespace

void TXrUnZip::UnReduce(TExtractState& state) {
  const uint32_t factor = std::clamp<uint32_t>(FHeaderTemplate->ActualMethod(), 2, 5) - 1;
  const TFactorTable& table = kFactors[factor - 1];
  // Every read below ends the decoding once the data is used up: a cut stream must
  // not go on as if it were padded.
  auto read = [&](uint32_t n, uint8_t& v) {
    ReadBitsByte(state, n, v);
    return state.InputEnded == 0;
  };

  TFollowers followers;
  bool ok = true;
  for (int x = 255; x >= 0 && ok; --x) {
    ok = read(6, followers.Slen[size_t(x)]);
    for (uint32_t i = 0; ok && i < followers.Slen[size_t(x)]; ++i)
      ok = read(8, followers.Rows[size_t(x)][i]);
  }

  TSlideWindow window(state.Slide, kReduceWindow);
  auto flush = [&](uint32_t n) { FlushWindow(state, n); };
  int64_t left = state.UncompSize;
  int copyState = 0;
  uint8_t lastChar = 0;
  uint8_t v = 0;
  uint32_t len = 0;
  while (ok && left > 0) {
    uint8_t c = 0;
    const uint32_t slen = followers.Slen[lastChar];
    if (slen == 0) {
      ok = read(8, c);
    } else {
      uint8_t literal = 0;
      ok = read(1, literal);
      if (ok && literal != 0) {
        ok = read(8, c);
      } else if (ok) {
        // An index past the row's followers reads what the row holds there.
        uint8_t index = 0;
        ok = read(FollowerIndexBits(slen), index);
        c = followers.Rows[lastChar][index];
      }
    }
    if (!ok) break;
    switch (copyState) {
      case 0:
        if (c != kCopyEscape) {
          window.Put(c, flush);
          --left;
        } else {
          copyState = 1;
        }
        break;
      case 1:
        if (c != 0) {
          v = c;
          len = v & table.lengthMask;
          copyState = len == table.lengthMask ? 2 : 3;
        } else {
          window.Put(kCopyEscape, flush);
          --left;
          copyState = 0;
        }
        break;
      case 2:
        len += c;
        copyState = 3;
        break;
      default: {
        const uint32_t n = len + 3;
        const uint32_t distance =
            ((uint32_t(v >> table.distanceShift) & table.distanceMask) << 8) + c + 1;
        left -= n;
        window.Copy(uint16_t(window.W - distance), n, flush);
        copyState = 0;
        break;
      }
    }
    lastChar = c;
  }
  FlushWindow(state, window.W);
  FlushOutput(state);
}
