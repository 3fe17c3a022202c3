#include "unzip/zip_aes.h"

#include <cstring>

#include "unzip/pbkdf2_sha1.h"

namespace {

uint32_t KeyLength(int32_t strength) { return 8 * uint32_t(strength & 3) + 8; }

// Derived keys must not linger on the stack; a volatile store is not optimised away.
void Wipe(uint8_t* p, size_t n) {
  volatile uint8_t* v = p;
  while (n--) *v++ = 0;
}

}  // namespace

uint32_t AesSaltLength(uint8_t strength) { return 4 * uint32_t(strength & 3) + 4; }

int32_t AesStart(int32_t strength, const uint8_t* password, uint32_t passwordLength,
                 const uint8_t* salt, uint8_t* verifier, TAesCtrContext& context) {
  if (passwordLength > kAesMaxPasswordLength) return aesPasswordTooLong;
  if (strength < 1 || strength > 3) return aesBadStrength;

  const uint32_t keyLength = KeyLength(strength);
  uint8_t derived[2 * 32 + kAesVerifierLength];
  const uint32_t derivedLength = 2 * keyLength + kAesVerifierLength;
  Pbkdf2Sha1(password, passwordLength, salt, AesSaltLength(uint8_t(strength)), kAesKeyIterations,
             derived, derivedLength);

  TAesCtrContext started;
  std::memset(&started, 0, sizeof started);
  started.Strength = strength;
  started.PasswordLength = int32_t(passwordLength);
  started.KeyStreamPos = kAesBlockLength;
  const bool keyed = AesSetEncryptKey(derived, keyLength, started.EncryptKey) == 1;
  HmacSha1Begin(started.Mac);
  const bool macKeyed = HmacSha1Key(started.Mac, derived + keyLength, keyLength) == 0;
  if (!keyed || !macKeyed) {  // cannot happen for the lengths above
    Wipe(derived, sizeof derived);
    Wipe(reinterpret_cast<uint8_t*>(&started), sizeof started);
    return aesBadStrength;
  }
  std::memcpy(verifier, derived + 2 * keyLength, kAesVerifierLength);
  context = started;
  Wipe(derived, sizeof derived);
  Wipe(reinterpret_cast<uint8_t*>(&started), sizeof started);
  return 0;
}

void AesCtrXor(uint8_t* data, uint32_t length, TAesCtrContext& context) {
  uint32_t i = 0;
  while (i < length) {
    if (context.KeyStreamPos >= kAesBlockLength) {
      for (int b = 0; b < 8 && ++context.Counter[b] == 0; ++b) {
      }
      // The schedule was accepted by AesStart; an unstarted context yields no key stream.
      if (AesEncryptBlock(context.Counter, context.KeyStream, context.EncryptKey) != 1)
        std::memset(context.KeyStream, 0, sizeof context.KeyStream);
      context.KeyStreamPos = 0;
    }
    if (context.KeyStreamPos == 0 && length - i >= kAesBlockLength) {
      // A whole block at once.
      for (uint32_t k = 0; k < kAesBlockLength; ++k) data[i + k] ^= context.KeyStream[k];
      i += kAesBlockLength;
      context.KeyStreamPos = kAesBlockLength;
      continue;
    }
    data[i++] ^= context.KeyStream[context.KeyStreamPos++];
  }
}

void AesDecrypt(uint8_t* data, uint32_t length, TAesCtrContext& context) {
  HmacSha1Data(context.Mac, data, length);
  AesCtrXor(data, length, context);
}

void AesEncrypt(uint8_t* data, uint32_t length, TAesCtrContext& context) {
  AesCtrXor(data, length, context);
  HmacSha1Data(context.Mac, data, length);
}

uint32_t AesFinish(uint8_t* code, TAesCtrContext& context) {
  HmacSha1End(context.Mac, code, kAesCodeLength);
  return kAesCodeLength;
}

bool AesBytesEqual(const uint8_t* a, const uint8_t* b, uint32_t length) {
  uint8_t difference = 0;
  for (uint32_t i = 0; i < length; ++i) difference |= uint8_t(a[i] ^ b[i]);
  return difference == 0;
}
