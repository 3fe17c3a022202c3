// The WinZip AES scheme over the primitives: key derivation from password and salt, the
// password verifier, counter mode with a little-endian counter, and the authentication
// code (HMAC-SHA1 of the encrypted bytes, first 10 bytes).
#pragma once

#include <cstdint>

#include "unzip/aes_block.h"
#include "unzip/hmac_sha1.h"

inline constexpr int32_t aesPasswordTooLong = -100;
inline constexpr int32_t aesBadStrength = -101;
inline constexpr uint32_t kAesMaxPasswordLength = 128;
inline constexpr uint32_t kAesVerifierLength = 2;
inline constexpr uint32_t kAesCodeLength = 10;
inline constexpr uint32_t kAesKeyIterations = 1000;

// The state of one entry being decrypted (or encrypted).
struct TAesCtrContext {
  uint8_t Counter[kAesBlockLength];    // bytes 0-7 a little-endian counter, 8-15 zero
  uint8_t KeyStream[kAesBlockLength];  // the encryption of Counter
  TAesEncryptKey EncryptKey;
  THmacSha1State Mac;
  uint32_t KeyStreamPos;  // next KeyStream byte; 16 when used up
  int32_t PasswordLength;
  int32_t Strength;  // 1, 2 or 3
};

// Salt length of a strength code: 4 * (Strength and 3) + 4; 8, 12 or 16 for 1 to 3.
uint32_t AesSaltLength(uint8_t strength);
// Derives the keys from Password and Salt (AesSaltLength(Strength) bytes), starts Context
// and writes the 2-byte password verifier. 0; aesPasswordTooLong for a password over 128
// bytes; aesBadStrength for a strength outside 1 to 3. On failure Verifier and Context
// are untouched.
[[nodiscard]] int32_t AesStart(int32_t strength, const uint8_t* password,
                               uint32_t passwordLength, const uint8_t* salt, uint8_t* verifier,
                               TAesCtrContext& context);
// In place; the authentication code takes the encrypted bytes. Pieces of any size give the
// same result as one piece.
void AesDecrypt(uint8_t* data, uint32_t length, TAesCtrContext& context);
void AesEncrypt(uint8_t* data, uint32_t length, TAesCtrContext& context);
// Writes the 10-byte authentication code and returns its length; the context is spent.
uint32_t AesFinish(uint8_t* code, TAesCtrContext& context);
// XORs Data with the key stream, which goes on where the last call stopped.
void AesCtrXor(uint8_t* data, uint32_t length, TAesCtrContext& context);
// Compares in time that depends only on Length, for verifiers and authentication codes.
bool AesBytesEqual(const uint8_t* a, const uint8_t* b, uint32_t length);
