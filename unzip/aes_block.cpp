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

// RotWord then SubWord: the bytes move down one row on their way through the S-box.
uint32_t SubRotWord(uint32_t w) { return SubWord(RotateLeft(w, 24)); }

constexpr uint8_t kRoundConstants[10] = {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80, 0x1B, 0x36};

// One round over the four columns: row r of column c comes from column c + r (ShiftRows).
inline void InnerRound(const uint32_t* s, uint32_t* t, const uint32_t* k) {
  t[0] = kRound[0][s[0] & 0xFF] ^ kRound[1][(s[1] >> 8) & 0xFF] ^
         kRound[2][(s[2] >> 16) & 0xFF] ^ kRound[3][s[3] >> 24] ^ k[0];
  t[1] = kRound[0][s[1] & 0xFF] ^ kRound[1][(s[2] >> 8) & 0xFF] ^
         kRound[2][(s[3] >> 16) & 0xFF] ^ kRound[3][s[0] >> 24] ^ k[1];
  t[2] = kRound[0][s[2] & 0xFF] ^ kRound[1][(s[3] >> 8) & 0xFF] ^
         kRound[2][(s[0] >> 16) & 0xFF] ^ kRound[3][s[1] >> 24] ^ k[2];
  t[3] = kRound[0][s[3] & 0xFF] ^ kRound[1][(s[0] >> 8) & 0xFF] ^
         kRound[2][(s[1] >> 16) & 0xFF] ^ kRound[3][s[2] >> 24] ^ k[3];
}

inline void LastRound(const uint32_t* s, uint32_t* t, const uint32_t* k) {
  t[0] = kLastRound[0][s[0] & 0xFF] ^ kLastRound[1][(s[1] >> 8) & 0xFF] ^
         kLastRound[2][(s[2] >> 16) & 0xFF] ^ kLastRound[3][s[3] >> 24] ^ k[0];
  t[1] = kLastRound[0][s[1] & 0xFF] ^ kLastRound[1][(s[2] >> 8) & 0xFF] ^
         kLastRound[2][(s[3] >> 16) & 0xFF] ^ kLastRound[3][s[0] >> 24] ^ k[1];
  t[2] = kLastRound[0][s[2] & 0xFF] ^ kLastRound[1][(s[3] >> 8) & 0xFF] ^
         kLastRound[2][(s[0] >> 16) & 0xFF] ^ kLastRound[3][s[1] >> 24] ^ k[2];
  t[3] = kLastRound[0][s[3] & 0xFF] ^ kLastRound[1][(s[0] >> 8) & 0xFF] ^
         kLastRound[2][(s[1] >> 16) & 0xFF] ^ kLastRound[3][s[2] >> 24] ^ k[3];
}

// Key expansion, one step of the key's length at a time; the last step of the 192- and
// 256-bit schedules is cut short where the schedule ends.
void Expand128(uint32_t* w) {
  for (int i = 0; i < 10; ++i, w += 4) {
    w[4] = w[0] ^ SubRotWord(w[3]) ^ kRoundConstants[i];
    w[5] = w[1] ^ w[4];
    w[6] = w[2] ^ w[5];
    w[7] = w[3] ^ w[6];
  }
}

void Expand192(uint32_t* w) {
  for (int i = 0; i < 8; ++i, w += 6) {
    w[6] = w[0] ^ SubRotWord(w[5]) ^ kRoundConstants[i];
    w[7] = w[1] ^ w[6];
    w[8] = w[2] ^ w[7];
    w[9] = w[3] ^ w[8];
    if (i == 7) break;
    w[10] = w[4] ^ w[9];
    w[11] = w[5] ^ w[10];
  }
}

void Expand256(uint32_t* w) {
  for (int i = 0; i < 7; ++i, w += 8) {
    w[8] = w[0] ^ SubRotWord(w[7]) ^ kRoundConstants[i];
    w[9] = w[1] ^ w[8];
    w[10] = w[2] ^ w[9];
    w[11] = w[3] ^ w[10];
    if (i == 6) break;
    w[12] = w[4] ^ SubWord(w[11]);
    w[13] = w[5] ^ w[12];
    w[14] = w[6] ^ w[13];
    w[15] = w[7] ^ w[14];
  }
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
  uint32_t* w = schedule.Schedule;
  for (uint32_t i = 0; i < words; ++i) w[i] = GetLe32(key + 4 * i);
  switch (words) {
    case 4: Expand128(w); break;
    case 6: Expand192(w); break;
    default: Expand256(w); break;
  }
  schedule.Rounds = words + 6;
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
  // The longer keys run their extra rounds first and then go on as a 128-bit key does,
  // with the round keys moved along.
  switch (rounds) {
    case 14:
      InnerRound(s, t, rk + 4);
      InnerRound(t, s, rk + 8);
      rk += 8;
      [[fallthrough]];
    case 12:
      InnerRound(s, t, rk + 4);
      InnerRound(t, s, rk + 8);
      rk += 8;
      [[fallthrough]];
    default:
      InnerRound(s, t, rk + 4);
      InnerRound(t, s, rk + 8);
      InnerRound(s, t, rk + 12);
      InnerRound(t, s, rk + 16);
      InnerRound(s, t, rk + 20);
      InnerRound(t, s, rk + 24);
      InnerRound(s, t, rk + 28);
      InnerRound(t, s, rk + 32);
      InnerRound(s, t, rk + 36);
      LastRound(t, s, rk + 40);
  }
  for (int c = 0; c < 4; ++c) PutLe32(out + 4 * c, s[c]);
  return 1;
}
