#include "unzip/hmac_sha1.h"

#include <cstring>
#include <limits>

namespace {

constexpr uint8_t kInnerPad = 0x36;
// Turns the inner pad into the outer pad 0x5C in place.
constexpr uint8_t kInnerToOuterPad = 0x36 ^ 0x5C;

// Pads the key to a block, XORs the inner pad and hashes it as the inner hash's first block.
void StartData(THmacSha1State& state) {
  if (state.KeyLength > int32_t(kSha1BlockLength)) {
    Sha1Final(state.Sha, state.Key);
    state.KeyLength = int32_t(kSha1DigestLength);
  }
  std::memset(state.Key + state.KeyLength, 0, kSha1BlockLength - uint32_t(state.KeyLength));
  for (uint8_t& b : state.Key) b ^= kInnerPad;
  Sha1Begin(state.Sha);
  Sha1Update(state.Sha, state.Key, kSha1BlockLength);
  state.KeyLength = -1;
}

}  // namespace

void HmacSha1Begin(THmacSha1State& state) {
  std::memset(state.Key, 0, sizeof state.Key);
  Sha1Begin(state.Sha);
  state.KeyLength = 0;
}

int32_t HmacSha1Key(THmacSha1State& state, const uint8_t* key, uint32_t length) {
  if (state.KeyLength < 0) return -1;
  const uint64_t total = uint64_t(state.KeyLength) + length;
  if (total > kSha1BlockLength) {
    // A key longer than a block is replaced by its digest.
    if (state.KeyLength <= int32_t(kSha1BlockLength)) {
      Sha1Begin(state.Sha);
      Sha1Update(state.Sha, state.Key, uint32_t(state.KeyLength));
    }
    Sha1Update(state.Sha, key, length);
  } else if (length > 0) {
    std::memcpy(state.Key + state.KeyLength, key, length);
  }
  constexpr uint64_t kMax = uint64_t(std::numeric_limits<int32_t>::max());
  state.KeyLength = int32_t(total < kMax ? total : kMax);
  return 0;
}

void HmacSha1Data(THmacSha1State& state, const uint8_t* data, uint32_t length) {
  if (state.KeyLength >= 0) StartData(state);
  Sha1Update(state.Sha, data, length);
}

void HmacSha1End(THmacSha1State& state, uint8_t* mac, uint32_t count) {
  if (state.KeyLength >= 0) StartData(state);
  uint8_t digest[kSha1DigestLength];
  Sha1Final(state.Sha, digest);
  for (uint8_t& b : state.Key) b ^= kInnerToOuterPad;
  Sha1Begin(state.Sha);
  Sha1Update(state.Sha, state.Key, kSha1BlockLength);
  Sha1Update(state.Sha, digest, kSha1DigestLength);
  Sha1Final(state.Sha, digest);
  std::memcpy(mac, digest, count < kSha1DigestLength ? count : kSha1DigestLength);
}

void HmacSha1(const uint8_t* key, uint32_t keyLength, const uint8_t* data, uint32_t dataLength,
              uint8_t* mac, uint32_t count) {
  THmacSha1State state;
  HmacSha1Begin(state);
  (void)HmacSha1Key(state, key, keyLength);  // a fresh state always takes its key
  HmacSha1Data(state, data, dataLength);
  HmacSha1End(state, mac, count);
}
