#include "base/codepage.h"

#include <array>
#include <cstdint>

namespace {
#include "base/codepage_tables.inc"

using ReverseTable = std::array<uint8_t, 0x10000>;
// Bytes by code; 0 marks "no byte" except for U+0000 itself.
ReverseTable Reverse(const char16_t (&table)[256]) {
  ReverseTable r{};
  for (int b = 255; b > 0; --b) r[table[b]] = uint8_t(b);
  return r;
}

String Decode(const char16_t (&table)[256], std::string_view bytes) {
  String out(bytes.size(), u'\0');
  for (size_t i = 0; i < bytes.size(); ++i) out[i] = table[static_cast<unsigned char>(bytes[i])];
  return out;
}

std::string Encode(const ReverseTable& reverse, StringView text, bool* lossless) {
  std::string out;
  out.reserve(text.size());
  bool all = true;
  for (size_t i = 0; i < text.size(); ++i) {
    const Char c = text[i];
    const uint8_t b = reverse[c];
    if (b == 0 && c != 0) {
      out.push_back('?');
      all = false;
    } else {
      out.push_back(char(b));
    }
  }
  if (lossless) *lossless = all;
  return out;
}

const ReverseTable& Reverse437() {
  static const ReverseTable table = Reverse(kCp437);
  return table;
}
const ReverseTable& Reverse1252() {
  static const ReverseTable table = Reverse(kCp1252);
  return table;
}
}  // namespace

String DecodeCp437(std::string_view bytes) { return Decode(kCp437, bytes); }
String DecodeCp1252(std::string_view bytes) { return Decode(kCp1252, bytes); }
std::string EncodeCp437(StringView text, bool* lossless) {
  return Encode(Reverse437(), text, lossless);
}
std::string EncodeCp1252(StringView text, bool* lossless) {
  return Encode(Reverse1252(), text, lossless);
}
