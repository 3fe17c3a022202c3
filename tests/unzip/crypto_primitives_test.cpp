// SHA-1, HMAC-SHA1, PBKDF2-HMAC-SHA1 and the AES block cipher against published vectors.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/unzip/crypto_test_support.h"
#include "unzip/aes_block.h"
#include "unzip/hmac_sha1.h"
#include "unzip/pbkdf2_sha1.h"
#include "unzip/sha1.h"

namespace {

std::string Sha1Hex(const Bytes& data) {
  uint8_t digest[kSha1DigestLength];
  Sha1(data.data(), uint32_t(data.size()), digest);
  return HexOf(digest, sizeof digest);
}

Bytes Counting(size_t n) {
  Bytes b(n);
  for (size_t i = 0; i < n; ++i) b[i] = uint8_t(i);
  return b;
}

// RFC 3174 / FIPS 180 messages, and lengths on both sides of the padding boundaries
// (55 bytes leave room for the length in the last block, 56 do not).
TEST(Sha1, PublishedDigestsAndBlockBoundaries) {
  std::string repeated;
  for (int i = 0; i < 10; ++i)
    repeated += "0123456701234567012345670123456701234567012345670123456701234567";
  const struct {
    Bytes data;
    const char* digest;
  } cases[] = {
      {BytesOf(""), "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
      {BytesOf("abc"), "a9993e364706816aba3e25717850c26c9cd0d89d"},
      {BytesOf("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
       "84983e441c3bd26ebaae4aa1f95129e5e54670f1"},
      {Bytes(1000000, 'a'), "34aa973cd4c4daa4f61eeb2bdbad27316534016f"},
      {BytesOf(repeated), "dea356a2cddd90c7a7ecedc5ebb563934f460452"},
      {Counting(55), "8ae2d46729cfe68ff927af5eec9c7d1b66d65ac2"},
      {Counting(56), "636e2ec698dac903498e648bd2f3af641d3c88cb"},
      {Counting(63), "6d942da0c4392b123528f2905c713a3ce28364bd"},
      {Counting(64), "c6138d514ffa2135bfce0ed0b8fac65669917ec7"},
      {Counting(65), "69bd728ad6e13cd76ff19751fde427b00e395746"},
      {Counting(119), "41c89d06001bab4ab78736b44efe7ce18ce6ae08"},
      {Counting(120), "d3dbd653bd8597b7475321b60a36891278e6a04a"},
      {Counting(127), "89d7312a903f65cd2b3e34a975e55dbea9033353"},
      {Counting(128), "e6434bc401f98603d7eda504790c98c67385d535"},
  };
  for (const auto& c : cases) EXPECT_EQ(Sha1Hex(c.data), c.digest) << c.data.size() << " bytes";
}

TEST(Sha1, PiecesOfAnySizeGiveOneDigest) {
  const Bytes data = Counting(300);
  for (uint32_t piece : {1u, 7u, 63u, 64u, 65u, 128u}) {
    TSha1State s;
    Sha1Begin(s);
    for (uint32_t at = 0; at < data.size(); at += piece)
      Sha1Update(s, data.data() + at, std::min<uint32_t>(piece, uint32_t(data.size()) - at));
    uint8_t digest[kSha1DigestLength];
    Sha1Final(s, digest);
    EXPECT_EQ(HexOf(digest, sizeof digest), Sha1Hex(data)) << piece;
  }
}

// RFC 2202, cases 1 to 7 (6 and 7 with an 80-byte key that is hashed first), and keys of
// exactly a block, one byte over, and none.
TEST(HmacSha1, PublishedCodes) {
  const struct {
    Bytes key, data;
    const char* mac;
  } cases[] = {
      {Bytes(20, 0x0b), BytesOf("Hi There"), "b617318655057264e28bc0b6fb378c8ef146be00"},
      {BytesOf("Jefe"), BytesOf("what do ya want for nothing?"),
       "effcdf6ae5eb2fa2d27416d5f184df9c259a7c79"},
      {Bytes(20, 0xaa), Bytes(50, 0xdd), "125d7342b9ac11cd91a39af48aa17b4f63f175d3"},
      {FromHex("0102030405060708090a0b0c0d0e0f10111213141516171819"), Bytes(50, 0xcd),
       "4c9007f4026250c6bc8414f9bf50c86c2d7235da"},
      {Bytes(20, 0x0c), BytesOf("Test With Truncation"),
       "4c1a03424b55e07fe7f27be1d58bb9324a9a5a04"},
      {Bytes(80, 0xaa), BytesOf("Test Using Larger Than Block-Size Key - Hash Key First"),
       "aa4ae5e15272d00e95705637ce8a3b55ed402112"},
      {Bytes(80, 0xaa),
       BytesOf("Test Using Larger Than Block-Size Key and Larger Than One Block-Size Data"),
       "e8e99d0f45237d786d6bbaa7965c7808bbff1a91"},
      {Bytes(64, 0xaa), BytesOf("x"), "9c6d8ea88eaae0dda58c8f4a0f8e9a190edc28e4"},
      {Bytes(65, 0xaa), BytesOf("x"), "349e9189de217e47242c1aaa2acfe9084d584f3f"},
      {Bytes(), Bytes(), "fbdb1d1b18aa6c08324b7d64b71fb76370690e1d"},
  };
  for (const auto& c : cases) {
    uint8_t mac[kSha1DigestLength];
    HmacSha1(c.key.data(), uint32_t(c.key.size()), c.data.data(), uint32_t(c.data.size()), mac,
             sizeof mac);
    EXPECT_EQ(HexOf(mac, sizeof mac), c.mac) << "key of " << c.key.size() << " bytes";

    // The key in pieces that cross the block length, then the data in two pieces.
    THmacSha1State s;
    HmacSha1Begin(s);
    for (size_t at = 0; at < c.key.size(); at += 30)
      ASSERT_EQ(HmacSha1Key(s, c.key.data() + at, uint32_t(std::min<size_t>(30, c.key.size() - at))), 0);
    const uint32_t half = uint32_t(c.data.size() / 2);
    HmacSha1Data(s, c.data.data(), half);
    HmacSha1Data(s, c.data.data() + half, uint32_t(c.data.size()) - half);
    HmacSha1End(s, mac, sizeof mac);
    EXPECT_EQ(HexOf(mac, sizeof mac), c.mac) << "pieces, key of " << c.key.size() << " bytes";
  }
}

TEST(HmacSha1, KeyAfterDataIsRefusedAndCountIsClamped) {
  const Bytes key = BytesOf("Jefe"), data = BytesOf("what do ya want for nothing?");
  THmacSha1State s;
  HmacSha1Begin(s);
  ASSERT_EQ(HmacSha1Key(s, key.data(), uint32_t(key.size())), 0);
  HmacSha1Data(s, data.data(), 10);
  EXPECT_EQ(HmacSha1Key(s, key.data(), uint32_t(key.size())), -1);
  HmacSha1Data(s, data.data() + 10, uint32_t(data.size()) - 10);

  Bytes out(32, 0xEE);
  HmacSha1End(s, out.data(), 32);
  EXPECT_EQ(HexOf(out.data(), 20), "effcdf6ae5eb2fa2d27416d5f184df9c259a7c79");
  EXPECT_EQ(out, [&] {
    Bytes expected = FromHex("effcdf6ae5eb2fa2d27416d5f184df9c259a7c79");
    expected.resize(32, 0xEE);  // nothing written past the 20 bytes of the code
    return expected;
  }());

  Bytes truncated(12, 0xEE);
  HmacSha1(key.data(), uint32_t(key.size()), data.data(), uint32_t(data.size()), truncated.data(), 10);
  EXPECT_EQ(HexOf(truncated.data(), 12), "effcdf6ae5eb2fa2d274eeee");
}

// RFC 6070 (without its 16777216-iteration case) and RFC 3962 appendix B, whose 64- and
// 65-byte pass phrases are one block and one byte over.
TEST(Pbkdf2Sha1, PublishedKeys) {
  const struct {
    Bytes password, salt;
    uint32_t iterations;
    const char* key;
  } cases[] = {
      {BytesOf("password"), BytesOf("salt"), 1, "0c60c80f961f0e71f3a9b524af6012062fe037a6"},
      {BytesOf("password"), BytesOf("salt"), 2, "ea6c014dc72d6f8ccd1ed92ace1d41f0d8de8957"},
      {BytesOf("password"), BytesOf("salt"), 4096, "4b007901b765489abead49d926f721d065a429c1"},
      {BytesOf("passwordPASSWORDpassword"), BytesOf("saltSALTsaltSALTsaltSALTsaltSALTsalt"), 4096,
       "3d2eec4fe41c849b80c8d83662c0e44a8b291a964cf2f07038"},
      {BytesOf(std::string("pass\0word", 9)), BytesOf(std::string("sa\0lt", 5)), 4096,
       "56fa6aa75548099dcc37d7f03425e0c3"},
      {BytesOf("password"), BytesOf("ATHENA.MIT.EDUraeburn"), 1,
       "cdedb5281bb2f801565a1122b25635150ad1f7a04bb9f3a333ecc0e2e1f70837"},
      {Bytes(64, 'X'), BytesOf("pass phrase equals block size"), 1200,
       "139c30c0966bc32ba55fdbf212530ac9c5ec59f1a452f5cc9ad940fea0598ed1"},
      {Bytes(65, 'X'), BytesOf("pass phrase exceeds block size"), 1200,
       "9ccad6d468770cd51b10e6a68721be611a8b4d282601db3b36be9246915ec82a"},
  };
  for (const auto& c : cases) {
    const size_t length = std::string(c.key).size() / 2;
    Bytes out(length + 1, 0xEE);
    Pbkdf2Sha1(c.password.data(), uint32_t(c.password.size()), c.salt.data(),
               uint32_t(c.salt.size()), c.iterations, out.data(), uint32_t(length));
    EXPECT_EQ(HexOf(out.data(), length), c.key) << c.iterations << " iterations";
    EXPECT_EQ(out[length], 0xEE) << "written past the requested length";
  }
}

Bytes Encrypt(const Bytes& key, const Bytes& plain) {
  TAesEncryptKey schedule;
  EXPECT_EQ(AesSetEncryptKey(key.data(), uint32_t(key.size()), schedule), 1);
  Bytes out(plain.size());
  for (size_t at = 0; at + 16 <= plain.size(); at += 16)
    EXPECT_EQ(AesEncryptBlock(plain.data() + at, out.data() + at, schedule), 1);
  return out;
}

// FIPS 197 appendix B and C.1 to C.3, and the ECB encryption of SP 800-38A F.1.1, F.1.3
// and F.1.5 (one block at a time, which is all counter mode uses).
TEST(AesBlock, PublishedCiphertexts) {
  const std::string sp80038aPlain =
      "6bc1bee22e409f96e93d7e117393172aae2d8a571e03ac9c9eb76fac45af8e51"
      "30c81c46a35ce411e5fbc1191a0a52eff69f2445df4f9b17ad2b417be66c3710";
  const struct {
    std::string key, plain, cipher;
  } cases[] = {
      {"2b7e151628aed2a6abf7158809cf4f3c", "3243f6a8885a308d313198a2e0370734",
       "3925841d02dc09fbdc118597196a0b32"},
      {"000102030405060708090a0b0c0d0e0f", "00112233445566778899aabbccddeeff",
       "69c4e0d86a7b0430d8cdb78070b4c55a"},
      {"000102030405060708090a0b0c0d0e0f1011121314151617", "00112233445566778899aabbccddeeff",
       "dda97ca4864cdfe06eaf70a0ec0d7191"},
      {"000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f",
       "00112233445566778899aabbccddeeff", "8ea2b7ca516745bfeafc49904b496089"},
      {"2b7e151628aed2a6abf7158809cf4f3c", sp80038aPlain,
       "3ad77bb40d7a3660a89ecaf32466ef97f5d3d58503b9699de785895a96fdbaaf"
       "43b1cd7f598ece23881b00e3ed0306887b0c785e27e8ad3f8223207104725dd4"},
      {"8e73b0f7da0e6452c810f32b809079e562f8ead2522c6b7b", sp80038aPlain,
       "bd334f1d6e45f25ff712a214571fa5cc974104846d0ad3ad7734ecb3ecee4eef"
       "ef7afd2270e2e60adce0ba2face6444e9a4b41ba738d6c72fb16691603c18e0e"},
      {"603deb1015ca71be2b73aef0857d77811f352c073b6108d72d9810a30914dff4", sp80038aPlain,
       "f3eed1bdb5d2a03c064b5a7e3db181f8591ccb10d410ed26dc5ba74a31362870"
       "b6ed21b99ca6f4f9f153e7b1beafed1d23304b7a39f9f3ff067d8d8f9e24ecc7"},
  };
  for (const auto& c : cases) {
    const Bytes cipher = Encrypt(FromHex(c.key), FromHex(c.plain));
    EXPECT_EQ(HexOf(cipher.data(), cipher.size()), c.cipher) << c.key;
  }
}

// FIPS 197 appendix A: the first derived words and the last round key of each key size.
TEST(AesBlock, KeyExpansion) {
  const struct {
    std::string key;
    uint32_t rounds;
    size_t firstDerived;
    std::string derived, lastRoundKey;
  } cases[] = {
      {"2b7e151628aed2a6abf7158809cf4f3c", 10, 4, "a0fafe1788542cb123a339392a6c7605",
       "d014f9a8c9ee2589e13f0cc8b6630ca6"},
      {"8e73b0f7da0e6452c810f32b809079e562f8ead2522c6b7b", 12, 6, "fe0c91f72402f5a5ec12068e6c827f6b",
       "e98ba06f448c773c8ecc720401002202"},
      {"603deb1015ca71be2b73aef0857d77811f352c073b6108d72d9810a30914dff4", 14, 8,
       "9ba354118e6925afa51a8b5f2067fcdea8b09c1a93d194cdbe49846eb75d5b9a",
       "fe4890d1e6188d0b046df344706c631e"},
  };
  for (const auto& c : cases) {
    const Bytes key = FromHex(c.key);
    TAesEncryptKey schedule;
    ASSERT_EQ(AesSetEncryptKey(key.data(), uint32_t(key.size()), schedule), 1);
    EXPECT_EQ(schedule.Rounds, c.rounds);
    EXPECT_EQ(schedule.Flags, kAesBlockLength | kAesKeyReady);
    EXPECT_EQ(HexOf(schedule.Schedule, c.firstDerived, c.derived.size() / 8), c.derived);
    EXPECT_EQ(HexOf(schedule.Schedule, 4 * c.rounds, 4), c.lastRoundKey);
  }
}

TEST(AesBlock, KeyLengthsInBytesOrBitsOthersRefused) {
  const Bytes key = Counting(32), plain = Counting(16);
  for (uint32_t bytes : {16u, 24u, 32u}) {
    TAesEncryptKey inBytes, inBits;
    ASSERT_EQ(AesSetEncryptKey(key.data(), bytes, inBytes), 1);
    ASSERT_EQ(AesSetEncryptKey(key.data(), bytes * 8, inBits), 1);
    uint8_t a[16], b[16];
    ASSERT_EQ(AesEncryptBlock(plain.data(), a, inBytes), 1);
    ASSERT_EQ(AesEncryptBlock(plain.data(), b, inBits), 1);
    EXPECT_EQ(HexOf(a, 16), HexOf(b, 16)) << bytes;
  }
  for (uint32_t length : {0u, 8u, 20u, 64u, 129u}) {
    TAesEncryptKey schedule;
    EXPECT_EQ(AesSetEncryptKey(key.data(), length, schedule), 0) << length;
    EXPECT_EQ(schedule.Rounds, 0u);
    EXPECT_EQ(schedule.Flags & kAesKeyReady, 0u);
    Bytes out(16, 0xEE);
    EXPECT_EQ(AesEncryptBlock(plain.data(), out.data(), schedule), 0);
    EXPECT_EQ(out, Bytes(16, 0xEE));
  }
}

}  // namespace
