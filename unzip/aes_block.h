// The AES block cipher (FIPS 197), encrypting direction only: counter mode needs no other.
#pragma once

#include <cstdint>

inline constexpr uint32_t kAesBlockLength = 16;
// Bit 0 of TAesEncryptKey::Flags: the schedule may be used to encrypt.
inline constexpr uint32_t kAesKeyReady = 1;

struct TAesEncryptKey {
  uint32_t Schedule[64];  // round keys: 44, 52 or 60 words in use, bytes little-endian
  uint32_t Rounds;        // 10, 12 or 14; 0 after a refused key
  uint32_t Flags;         // the block length 16, plus kAesKeyReady once usable
};

// Key length in bytes (16, 24, 32) or bits (128, 192, 256). 1 accepted; 0 refused, which
// leaves the schedule unusable.
[[nodiscard]] int32_t AesSetEncryptKey(const uint8_t* key, uint32_t keyLength,
                                       TAesEncryptKey& schedule);
// 1 done; 0 for an unusable schedule, Out untouched. In and Out may be the same block.
[[nodiscard]] int32_t AesEncryptBlock(const uint8_t* in, uint8_t* out,
                                      const TAesEncryptKey& schedule);
