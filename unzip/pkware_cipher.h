// The traditional PKWARE stream cipher of encrypted zip entries, and the CRC-32 step it
// is built on.
#pragma once

#include <cstdint>

inline constexpr uint32_t kPkwareHeaderLength = 12;

// One step of the reflected CRC-32 (polynomial EDB88320).
uint32_t CRC32Byte(uint8_t c, uint32_t crc);

struct TPkwareKeys {
  uint32_t Key0 = 0x12345678;
  uint32_t Key1 = 0x23456789;
  uint32_t Key2 = 0x34567890;
};

// Start values, then every password byte.
void InitKeys(TPkwareKeys& keys, const uint8_t* password, uint32_t length);
void UpdateKeys(TPkwareKeys& keys, uint8_t plain);
uint8_t DecryptByte(const TPkwareKeys& keys);
// In place; each plain byte updates the keys.
void PkwareDecrypt(TPkwareKeys& keys, uint8_t* data, uint32_t length);
void PkwareEncrypt(TPkwareKeys& keys, uint8_t* data, uint32_t length);
// Starts Keys with Password and decrypts the 12-byte header; its last plain byte.
uint8_t DecryptHeader(TPkwareKeys& keys, const uint8_t* password, uint32_t length,
                      const uint8_t* header);
// The byte the header must end in: the high byte of the stored modification time for an
// entry with a data descriptor (its CRC comes after the data), else the CRC's high byte.
uint8_t PkwareCheckByte(bool hasDataDescriptor, uint32_t rawDosDateTime, uint32_t crc32);
