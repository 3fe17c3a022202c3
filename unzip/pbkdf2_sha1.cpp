#include "unzip/pbkdf2_sha1.h"

#include <cstring>

#include "unzip/hmac_sha1.h"

void Pbkdf2Sha1(const uint8_t* password, uint32_t passwordLength, const uint8_t* salt,
                uint32_t saltLength, uint32_t iterations, uint8_t* output, uint32_t outputLength) {
  // Keyed once, keyed and fed the salt once; copied for every block and iteration.
  THmacSha1State keyed;
  HmacSha1Begin(keyed);
  (void)HmacSha1Key(keyed, password, passwordLength);  // a fresh state always takes its key
  THmacSha1State salted = keyed;
  HmacSha1Data(salted, salt, saltLength);

  uint32_t blockNumber = 1;
  for (uint64_t done = 0; done < outputLength; done += kSha1DigestLength, ++blockNumber) {
    const uint8_t number[4] = {uint8_t(blockNumber >> 24), uint8_t(blockNumber >> 16),
                               uint8_t(blockNumber >> 8), uint8_t(blockNumber)};
    THmacSha1State h = salted;
    HmacSha1Data(h, number, sizeof number);
    uint8_t u[kSha1DigestLength], sum[kSha1DigestLength];
    HmacSha1End(h, u, kSha1DigestLength);
    std::memcpy(sum, u, sizeof sum);
    for (uint32_t i = 1; i < iterations; ++i) {
      h = keyed;
      HmacSha1Data(h, u, kSha1DigestLength);
      HmacSha1End(h, u, kSha1DigestLength);
      for (uint32_t j = 0; j < kSha1DigestLength; ++j) sum[j] ^= u[j];
    }
    const uint64_t left = outputLength - done;
    std::memcpy(output + done, sum, size_t(left < kSha1DigestLength ? left : kSha1DigestLength));
  }
}
