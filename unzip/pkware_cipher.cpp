#include "unzip/pkware_cipher.h"

#include <array>

namespace {

constexpr std::array<uint32_t, 256> MakeCrcTable() {
  std::array<uint32_t, 256> t{};
  for (uint32_t n = 0; n < 256; ++n) {
    uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    t[n] = c;
  }
  return t;
}

constexpr std::array<uint32_t, 256> kCrcTable = MakeCrcTable();
static_assert(kCrcTable[1] == 0x77073096u);

}  // namespace

uint32_t CRC32Byte(uint8_t c, uint32_t crc) { return kCrcTable[(crc ^ c) & 0xFF] ^ (crc >> 8); }

void UpdateKeys(TPkwareKeys& keys, uint8_t plain) {
  keys.Key0 = CRC32Byte(plain, keys.Key0);
  keys.Key1 = (keys.Key1 + (keys.Key0 & 0xFF)) * 134775813u + 1;
  keys.Key2 = CRC32Byte(uint8_t(keys.Key1 >> 24), keys.Key2);
}

uint8_t DecryptByte(const TPkwareKeys& keys) {
  const uint16_t t = uint16_t(keys.Key2 | 2);
  return uint8_t((uint32_t(t) * (t ^ 1u)) >> 8);
}

void InitKeys(TPkwareKeys& keys, const uint8_t* password, uint32_t length) {
  keys = TPkwareKeys{};
  for (uint32_t i = 0; i < length; ++i) UpdateKeys(keys, password[i]);
}

void PkwareDecrypt(TPkwareKeys& keys, uint8_t* data, uint32_t length) {
  for (uint32_t i = 0; i < length; ++i) {
    data[i] ^= DecryptByte(keys);
    UpdateKeys(keys, data[i]);
  }
}

void PkwareEncrypt(TPkwareKeys& keys, uint8_t* data, uint32_t length) {
  for (uint32_t i = 0; i < length; ++i) {
    const uint8_t plain = data[i];
    data[i] ^= DecryptByte(keys);
    UpdateKeys(keys, plain);
  }
}

uint8_t DecryptHeader(TPkwareKeys& keys, const uint8_t* password, uint32_t length,
                      const uint8_t* header) {
  InitKeys(keys, password, length);
  uint8_t plain[kPkwareHeaderLength];
  for (uint32_t i = 0; i < kPkwareHeaderLength; ++i) plain[i] = header[i];
  PkwareDecrypt(keys, plain, kPkwareHeaderLength);
  return plain[kPkwareHeaderLength - 1];
}

uint8_t PkwareCheckByte(bool hasDataDescriptor, uint32_t rawDosDateTime, uint32_t crc32) {
  return hasDataDescriptor ? uint8_t(rawDosDateTime >> 8) : uint8_t(crc32 >> 24);
}
