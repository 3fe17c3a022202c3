// SHA-1 (FIPS 180): the hash under the HMAC and the key derivation of AES encrypted entries.
#pragma once

#include <cstdint>

inline constexpr uint32_t kSha1BlockLength = 64;
inline constexpr uint32_t kSha1DigestLength = 20;

struct TSha1State {
  uint32_t Count[2];  // bytes hashed, low word first
  uint32_t Hash[5];
  uint8_t Buffer[kSha1BlockLength];
};

void Sha1Begin(TSha1State& state);
void Sha1Update(TSha1State& state, const uint8_t* data, uint32_t length);
// Pads, appends the length and writes the 20-byte digest; the state is spent.
void Sha1Final(TSha1State& state, uint8_t* digest);
// Compresses the full block in Buffer into Hash.
void Sha1Block(TSha1State& state);
void Sha1(const uint8_t* data, uint32_t length, uint8_t* digest);
