// The WinZip AES scheme: key derivation, verifier, counter mode and authentication code.
#include "unzip/zip_aes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "tests/unzip/crypto_test_support.h"

namespace {

// Entries written by 7zz (-mem=AES128/192/256, stored) holding this text, password
// "Secret pass": salt, verifier, encrypted data and code as they stand in the archives.
const std::string kPlain = "Quorlix Zeva AES check: 0123456789abcdefghij\n";

struct ArchiveEntry {
  int32_t strength;
  const char* salt;
  const char* verifier;
  const char* encrypted;
  const char* code;
};

const ArchiveEntry kEntries[] = {
    {1, "eddf1f05e4d295d3", "5c52",
     "890598ce9e1ebd844168cba08c22901e702253259b875cc49e204a7abcdedf182d75b521e6abad5d74e6edf52a",
     "35831a292a84bccb4bdd"},
    {2, "f77032f9a94a2143647971d5", "1d40",
     "54dde8b968c8d6c9619568505d5894d1d6ea7242b2a63df9e8d6e2695373a1d25b7aaacbcd3a489b2b42e224c1",
     "cdecc24f4f61a956bc4e"},
    {3, "5dccb6225a3f081029f576e96b9af9bc", "4ea6",
     "4d51f1df49eaaea64e360e4b02a4af3b16936fa87f3946be0f68d09472d995c6ca86aee37cd04045e08982fa60",
     "abc480b02ef4266c960d"},
};

const Bytes kPassword = BytesOf("Secret pass");

TAesCtrContext Started(const ArchiveEntry& e, Bytes* verifier = nullptr) {
  TAesCtrContext context;
  std::memset(&context, 0, sizeof context);
  uint8_t v[kAesVerifierLength];
  EXPECT_EQ(AesStart(e.strength, kPassword.data(), uint32_t(kPassword.size()),
                     FromHex(e.salt).data(), v, context),
            0);
  if (verifier) *verifier = Bytes(v, v + sizeof v);
  return context;
}

TEST(ZipAes, DecryptsArchiveEntriesInPiecesOfAnySize) {
  for (const ArchiveEntry& e : kEntries) {
    SCOPED_TRACE(e.strength);
    Bytes verifier;
    TAesCtrContext whole = Started(e, &verifier);
    EXPECT_EQ(HexOf(verifier.data(), verifier.size()), e.verifier);
    for (uint32_t piece : {1u, 15u, 16u, 17u, 1000u}) {
      TAesCtrContext context = whole;
      Bytes data = FromHex(e.encrypted);
      for (uint32_t at = 0; at < data.size(); at += piece)
        AesDecrypt(data.data() + at, std::min<uint32_t>(piece, uint32_t(data.size()) - at), context);
      EXPECT_EQ(std::string(data.begin(), data.end()), kPlain) << piece;
      uint8_t code[kAesCodeLength];
      EXPECT_EQ(AesFinish(code, context), kAesCodeLength);
      EXPECT_EQ(HexOf(code, sizeof code), e.code) << piece;
    }
  }
}

TEST(ZipAes, EncryptionMirrorsTheArchive) {
  for (const ArchiveEntry& e : kEntries) {
    TAesCtrContext context = Started(e);
    Bytes data = BytesOf(kPlain);
    AesEncrypt(data.data(), 20, context);
    AesEncrypt(data.data() + 20, uint32_t(data.size()) - 20, context);
    EXPECT_EQ(HexOf(data.data(), data.size()), e.encrypted) << e.strength;
    uint8_t code[kAesCodeLength];
    AesFinish(code, context);
    EXPECT_EQ(HexOf(code, sizeof code), e.code) << e.strength;
  }
}

TEST(ZipAes, CounterIsLittleEndianAndStartsAtOne) {
  TAesCtrContext context = Started(kEntries[2]);
  uint8_t block[kAesBlockLength] = {1};
  uint8_t expected[kAesBlockLength];
  ASSERT_EQ(AesEncryptBlock(block, expected, context.EncryptKey), 1);
  Bytes stream(256 * kAesBlockLength, 0);
  AesCtrXor(stream.data(), uint32_t(stream.size()), context);
  EXPECT_EQ(HexOf(stream.data(), kAesBlockLength), HexOf(expected, sizeof expected));
  // The 256th block carries into the second byte.
  EXPECT_EQ(HexOf(context.Counter, kAesBlockLength), "00010000000000000000000000000000");
  const uint8_t counter256[kAesBlockLength] = {0, 1};
  ASSERT_EQ(AesEncryptBlock(counter256, expected, context.EncryptKey), 1);
  EXPECT_EQ(HexOf(stream.data() + 255 * kAesBlockLength, kAesBlockLength),
            HexOf(expected, sizeof expected));
  EXPECT_EQ(context.KeyStreamPos, kAesBlockLength);
}

TEST(ZipAes, StartRefusesLongPasswordsAndBadStrengthsAndChangesNothing) {
  const Bytes longest(kAesMaxPasswordLength + 1, 'p');
  const Bytes salt(16, 0x5A);
  const struct {
    int32_t strength;
    uint32_t passwordLength;
    int32_t result;
  } cases[] = {
      {1, 0, 0},     {3, 128, 0},   {2, 129, aesPasswordTooLong}, {0, 8, aesBadStrength},
      {4, 8, aesBadStrength},      {-1, 8, aesBadStrength},      {4, 129, aesPasswordTooLong},
  };
  for (const auto& c : cases) {
    TAesCtrContext context;
    std::memset(&context, 0xEE, sizeof context);
    uint8_t verifier[kAesVerifierLength] = {0xEE, 0xEE};
    EXPECT_EQ(AesStart(c.strength, longest.data(), c.passwordLength, salt.data(), verifier, context),
              c.result)
        << c.strength << " " << c.passwordLength;
    if (c.result != 0) {
      TAesCtrContext untouched;
      std::memset(&untouched, 0xEE, sizeof untouched);
      EXPECT_EQ(std::memcmp(&context, &untouched, sizeof context), 0);
      EXPECT_EQ(verifier[0], 0xEE);
      EXPECT_EQ(verifier[1], 0xEE);
    } else {
      EXPECT_EQ(context.Strength, c.strength);
      EXPECT_EQ(context.PasswordLength, int32_t(c.passwordLength));
      EXPECT_EQ(context.KeyStreamPos, kAesBlockLength);
    }
  }
}

TEST(ZipAes, SaltLengthsAndByteCompare) {
  EXPECT_EQ(AesSaltLength(1), 8u);
  EXPECT_EQ(AesSaltLength(2), 12u);
  EXPECT_EQ(AesSaltLength(3), 16u);
  EXPECT_EQ(AesSaltLength(0x83), 16u);  // only the two low bits count

  const Bytes a = FromHex("35831a292a84bccb4bdd");
  for (size_t i = 0; i < a.size(); ++i) {
    Bytes b = a;
    b[i] ^= 0x01;
    EXPECT_FALSE(AesBytesEqual(a.data(), b.data(), uint32_t(a.size()))) << i;
    EXPECT_TRUE(AesBytesEqual(a.data(), b.data(), uint32_t(i)));  // the prefix before it
  }
  EXPECT_TRUE(AesBytesEqual(a.data(), FromHex("35831a292a84bccb4bdd").data(), 10));
}

}  // namespace
