// HMAC (RFC 2104) over SHA-1: the authentication code of AES encrypted entries and the
// pseudo-random function of their key derivation.
#pragma once

#include <cstdint>

#include "unzip/sha1.h"

struct THmacSha1State {
  uint8_t Key[kSha1BlockLength];  // the key, then the key XORed with the inner pad
  TSha1State Sha;
  int32_t KeyLength;  // bytes of key taken so far (saturating); -1 once data has started
};

void HmacSha1Begin(THmacSha1State& state);
// Key bytes may come in several calls before the data. 0, or -1 (nothing changed) once
// data has started.
[[nodiscard]] int32_t HmacSha1Key(THmacSha1State& state, const uint8_t* key, uint32_t length);
void HmacSha1Data(THmacSha1State& state, const uint8_t* data, uint32_t length);
// Writes the first Count bytes of the code; a Count above 20 writes 20.
void HmacSha1End(THmacSha1State& state, uint8_t* mac, uint32_t count);
void HmacSha1(const uint8_t* key, uint32_t keyLength, const uint8_t* data, uint32_t dataLength,
              uint8_t* mac, uint32_t count);
