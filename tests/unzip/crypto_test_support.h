// Byte strings and hex text for the cryptography tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

inline Bytes BytesOf(const std::string& s) { return Bytes(s.begin(), s.end()); }

inline Bytes FromHex(const std::string& hex) {
  auto nibble = [](char c) { return uint8_t(c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10); };
  Bytes b(hex.size() / 2);
  for (size_t i = 0; i < b.size(); ++i) b[i] = uint8_t(nibble(hex[2 * i]) << 4 | nibble(hex[2 * i + 1]));
  return b;
}

inline std::string HexOf(const uint8_t* p, size_t n) {
  static const char digits[] = "0123456789abcdef";
  std::string s;
  for (size_t i = 0; i < n; ++i) {
    s += digits[p[i] >> 4];
    s += digits[p[i] & 15];
  }
  return s;
}

// Words held with their bytes little-endian, as the AES key schedule holds them.
inline std::string HexOf(const uint32_t* words, size_t first, size_t count) {
  std::string s;
  for (size_t i = first; i < first + count; ++i) {
    const uint8_t b[4] = {uint8_t(words[i]), uint8_t(words[i] >> 8), uint8_t(words[i] >> 16),
                          uint8_t(words[i] >> 24)};
    s += HexOf(b, 4);
  }
  return s;
}
