// The traditional PKWARE cipher against entries written by zip and 7zz.
#include "unzip/pkware_cipher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/unzip/crypto_test_support.h"

namespace {

const std::string kPlain = "Quorlix Zeva AES check: 0123456789abcdefghij\n";
const Bytes kPassword = BytesOf("Secret pass");

// Stored entries of kPlain, password "Secret pass": zip -P writes a data descriptor
// (flag bit 3), so its header ends in the high byte of the time; 7zz's ends in the CRC's.
struct ArchiveEntry {
  const char* writer;
  bool hasDataDescriptor;
  uint32_t dosDateTime;
  uint32_t crc;
  const char* header;
  const char* encrypted;
};

const ArchiveEntry kEntries[] = {
    {"zip", true, 0x5d8a61e9, 0xe2074fee, "d1dc7f5d9d725d812f46358f",
     "6d8a3e956886fd1383f10de89f3ebcb34bd7a575b90ac46251e1af262d7b91d9edafb326fed453194c37854456"},
    {"7zz", false, 0x5d8a61e9, 0xe2074fee, "bd328acb8d3e173418905d99",
     "70d0baaa42d93e98e50016592480054556f98ec45daeca477e6f15be84de8b29af3f6253d972c6691da3623ece"},
};

TEST(PkwareCipher, DecryptsArchiveEntries) {
  for (const ArchiveEntry& e : kEntries) {
    SCOPED_TRACE(e.writer);
    const uint8_t check = PkwareCheckByte(e.hasDataDescriptor, e.dosDateTime, e.crc);
    EXPECT_EQ(check, e.hasDataDescriptor ? 0x61 : 0xe2);

    TPkwareKeys keys;
    EXPECT_EQ(DecryptHeader(keys, kPassword.data(), uint32_t(kPassword.size()),
                            FromHex(e.header).data()),
              check);
    for (uint32_t piece : {1u, 7u, 100u}) {
      TPkwareKeys k = keys;
      Bytes data = FromHex(e.encrypted);
      for (uint32_t at = 0; at < data.size(); at += piece)
        PkwareDecrypt(k, data.data() + at, std::min<uint32_t>(piece, uint32_t(data.size()) - at));
      EXPECT_EQ(std::string(data.begin(), data.end()), kPlain) << piece;
    }

    const Bytes wrong = BytesOf("secret pass");
    EXPECT_NE(DecryptHeader(keys, wrong.data(), uint32_t(wrong.size()), FromHex(e.header).data()),
              check);
  }
}

TEST(PkwareCipher, EncryptionIsTheMirror) {
  TPkwareKeys encrypting, decrypting;
  InitKeys(encrypting, kPassword.data(), uint32_t(kPassword.size()));
  InitKeys(decrypting, kPassword.data(), uint32_t(kPassword.size()));
  Bytes data = BytesOf(kPlain);
  PkwareEncrypt(encrypting, data.data(), uint32_t(data.size()));
  EXPECT_NE(std::string(data.begin(), data.end()), kPlain);
  PkwareDecrypt(decrypting, data.data(), uint32_t(data.size()));
  EXPECT_EQ(std::string(data.begin(), data.end()), kPlain);
}

TEST(PkwareCipher, CrcStepIsTheStandardCrc32) {
  uint32_t crc = 0xFFFFFFFF;
  for (char c : std::string("123456789")) crc = CRC32Byte(uint8_t(c), crc);
  EXPECT_EQ(~crc, 0xCBF43926u);
}

}  // namespace
