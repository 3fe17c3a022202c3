#include "unzip/aes_block.h"

#include <array>
#include <cstring>

#include "unzip/le_bytes.h"

namespace {

// Columns are little-endian words: row r of a column is byte r of its word.

constexpr uint8_t Times2(uint8_t x) { return uint8_t((x << 1) ^ ((x & 0x80) ? 0x1B : 0)); }

constexpr uint8_t GfMultiply(uint8_t a, uint8_t b) {
  uint8_t r = 0;
  for (; b; b >>= 1, a = Times2(a))
    if (b & 1) r ^= a;
  return r;
}

constexpr uint8_t RotateByte(uint8_t x, int n) { return uint8_t((x << n) | (x >> (8 - n))); }

// The S-box as FIPS 197 defines it: the multiplicative inverse in GF(2^8) (0 for 0),
// then the affine transformation with the constant 0x63.
constexpr std::array<uint8_t, 256> MakeSBox() {
  std::array<uint8_t, 256> s{};
  for (int x = 0; x < 256; ++x) {
    uint8_t inverse = 0;
    if (x != 0) {
      uint8_t power = uint8_t(x);  // x^254 = x^-1
      inverse = 1;
      for (int e = 254; e; e >>= 1, power = GfMultiply(power, power))
        if (e & 1) inverse = GfMultiply(inverse, power);
    }
    s[size_t(x)] = uint8_t(inverse ^ RotateByte(inverse, 1) ^ RotateByte(inverse, 2) ^
                           RotateByte(inverse, 3) ^ RotateByte(inverse, 4) ^ 0x63);
  }
  return s;
}

constexpr std::array<uint8_t, 256> kSBox = MakeSBox();
static_assert(kSBox[0x00] == 0x63 && kSBox[0x01] == 0x7C && kSBox[0x53] == 0xED &&
              kSBox[0xFF] == 0x16);

constexpr uint32_t RotateLeft(uint32_t v, int n) { return (v << n) | (v >> (32 - n)); }

using Table = std::array<uint32_t, 256>;

// Inner rounds: S-box and MixColumns of a byte in row 0; rows 1 to 3 are byte rotations.
constexpr Table MakeRoundTable(int row) {
  Table t{};
  for (int x = 0; x < 256; ++x) {
    const uint8_t s = kSBox[size_t(x)];
    const uint32_t column = uint32_t(Times2(s)) | (uint32_t(s) << 8) | (uint32_t(s) << 16) |
                            (uint32_t(uint8_t(Times2(s) ^ s)) << 24);
    t[size_t(x)] = row ? RotateLeft(column, 8 * row) : column;
  }
  return t;
}

// Last round: the S-box value alone, in its row.
constexpr Table MakeLastRoundTable(int row) {
  Table t{};
  for (int x = 0; x < 256; ++x) t[size_t(x)] = uint32_t(kSBox[size_t(x)]) << (8 * row);
  return t;
}

constexpr std::array<Table, 4> kRound = {MakeRoundTable(0), MakeRoundTable(1), MakeRoundTable(2),
                                         MakeRoundTable(3)};
constexpr std::array<Table, 4> kLastRound = {MakeLastRoundTable(0), MakeLastRoundTable(1),
                                             MakeLastRoundTable(2), MakeLastRoundTable(3)};

uint32_t SubWord(uint32_t w) {
  return kLastRound[0][w & 0xFF] ^ kLastRound[1][(w >> 8) & 0xFF] ^
         kLastRound[2][(w >> 16) & 0xFF] ^ kLastRound[3][w >> 24];
}

// One round over the four columns: row r of column c comes from column c + r (ShiftRows).
template <typename Tables>
void Round(const Tables& t, const uint32_t* in, const uint32_t* roundKey, uint32_t* out) {
  for (int c = 0; c < 4; ++c)
    out[c] = t[0][in[c] & 0xFF] ^ t[1][(in[(c + 1) & 3] >> 8) & 0xFF] ^
             t[2][(in[(c + 2) & 3] >> 16) & 0xFF] ^ t[3][in[(c + 3) & 3] >> 24] ^ roundKey[c];
}

}  // namespace

int32_t AesSetEncryptKey(const uint8_t* key, uint32_t keyLength, TAesEncryptKey& schedule) {
  std::memset(&schedule, 0, sizeof schedule);
  schedule.Flags = kAesBlockLength;
  uint32_t words;
  switch (keyLength) {
    case 16: case 128: words = 4; break;
    case 24: case 192: words = 6; break;
    case 32: case 256: words = 8; break;
    default: return 0;
  }
  const uint32_t rounds = words + 6;
  const uint32_t total = 4 * (rounds + 1);
  uint32_t* w = schedule.Schedule;
  for (uint32_t i = 0; i < words; ++i) w[i] = GetLe32(key + 4 * i);
  uint8_t roundConstant = 1;
  for (uint32_t i = words; i < total; ++i) {
    uint32_t t = w[i - 1];
    if (i % words == 0) {
      t = SubWord(RotateLeft(t, 24)) ^ roundConstant;  // RotWord: bytes move down one row
      roundConstant = Times2(roundConstant);
    } else if (words == 8 && i % words == 4) {
      t = SubWord(t);
    }
    w[i] = w[i - words] ^ t;
  }
  schedule.Rounds = rounds;
  schedule.Flags |= kAesKeyReady;
  return 1;
}

int32_t AesEncryptBlock(const uint8_t* in, uint8_t* out, const TAesEncryptKey& schedule) {
  const uint32_t rounds = schedule.Rounds;
  if (!(schedule.Flags & kAesKeyReady) || (rounds != 10 && rounds != 12 && rounds != 14))
    return 0;
  const uint32_t* rk = schedule.Schedule;
  uint32_t s[4], t[4];
  for (int c = 0; c < 4; ++c) s[c] = GetLe32(in + 4 * c) ^ rk[c];
  for (uint32_t r = 1; r < rounds; ++r) {
    Round(kRound, s, rk + 4 * r, t);
    std::memcpy(s, t, sizeof s);
  }
  Round(kLastRound, s, rk + 4 * rounds, t);
  for (int c = 0; c < 4; ++c) PutLe32(out + 4 * c, t[c]);
  return 1;
}
