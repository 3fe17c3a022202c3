#include "unzip/sha1.h"

#include <cstring>

namespace {

constexpr uint32_t RotateLeft(uint32_t v, int n) { return (v << n) | (v >> (32 - n)); }

uint64_t BytesHashed(const TSha1State& s) { return uint64_t(s.Count[0]) | (uint64_t(s.Count[1]) << 32); }

}  // namespace

void Sha1Begin(TSha1State& state) {
  state.Count[0] = state.Count[1] = 0;
  state.Hash[0] = 0x67452301;
  state.Hash[1] = 0xEFCDAB89;
  state.Hash[2] = 0x98BADCFE;
  state.Hash[3] = 0x10325476;
  state.Hash[4] = 0xC3D2E1F0;
  std::memset(state.Buffer, 0, sizeof state.Buffer);
}

void Sha1Block(TSha1State& state) {
  uint32_t w[80];
  for (int i = 0; i < 16; ++i) {
    const uint8_t* p = state.Buffer + 4 * i;
    w[i] = (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
  }
  for (int i = 16; i < 80; ++i) w[i] = RotateLeft(w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16], 1);
  uint32_t a = state.Hash[0], b = state.Hash[1], c = state.Hash[2], d = state.Hash[3],
           e = state.Hash[4];
  for (int i = 0; i < 80; ++i) {
    uint32_t f, k;
    if (i < 20) {
      f = (b & c) | (~b & d);
      k = 0x5A827999;
    } else if (i < 40) {
      f = b ^ c ^ d;
      k = 0x6ED9EBA1;
    } else if (i < 60) {
      f = (b & c) | (b & d) | (c & d);
      k = 0x8F1BBCDC;
    } else {
      f = b ^ c ^ d;
      k = 0xCA62C1D6;
    }
    const uint32_t t = RotateLeft(a, 5) + f + e + k + w[i];
    e = d;
    d = c;
    c = RotateLeft(b, 30);
    b = a;
    a = t;
  }
  state.Hash[0] += a;
  state.Hash[1] += b;
  state.Hash[2] += c;
  state.Hash[3] += d;
  state.Hash[4] += e;
}

void Sha1Update(TSha1State& state, const uint8_t* data, uint32_t length) {
  uint32_t used = state.Count[0] % kSha1BlockLength;
  const uint64_t total = BytesHashed(state) + length;
  state.Count[0] = uint32_t(total);
  state.Count[1] = uint32_t(total >> 32);
  while (length > 0) {
    const uint32_t take = length < kSha1BlockLength - used ? length : kSha1BlockLength - used;
    std::memcpy(state.Buffer + used, data, take);
    used += take;
    data += take;
    length -= take;
    if (used == kSha1BlockLength) {
      Sha1Block(state);
      used = 0;
    }
  }
}

void Sha1Final(TSha1State& state, uint8_t* digest) {
  const uint64_t bits = BytesHashed(state) << 3;
  uint32_t used = state.Count[0] % kSha1BlockLength;
  state.Buffer[used++] = 0x80;
  if (used > kSha1BlockLength - 8) {
    std::memset(state.Buffer + used, 0, kSha1BlockLength - used);
    Sha1Block(state);
    used = 0;
  }
  std::memset(state.Buffer + used, 0, kSha1BlockLength - 8 - used);
  for (int i = 0; i < 8; ++i) state.Buffer[kSha1BlockLength - 1 - i] = uint8_t(bits >> (8 * i));
  Sha1Block(state);
  for (int i = 0; i < 5; ++i)
    for (int j = 0; j < 4; ++j) digest[4 * i + j] = uint8_t(state.Hash[i] >> (24 - 8 * j));
}

void Sha1(const uint8_t* data, uint32_t length, uint8_t* digest) {
  TSha1State state;
  Sha1Begin(state);
  Sha1Update(state, data, length);
  Sha1Final(state, digest);
}
