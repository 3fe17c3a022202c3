// Encrypted archives made by zip and 7zz: what they extract to with the right password,
// and that a wrong password, damaged data or a damaged code never leave a file behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "base/string.h"
#include "tests/testlib/test_paths.h"
#include "tests/unzip/extract_test_support.h"
#include "unzip/xr_unzip.h"

#ifndef QZ_ENCRYPTED_FIXTURES
#error "QZ_ENCRYPTED_FIXTURES names the folder of the generated encrypted archives"
#endif

namespace {

using Tree = std::map<std::string, std::string>;

String EncryptedFixture(const std::string& name) {
  return HostPath(std::string(QZ_ENCRYPTED_FIXTURES) + "/" + name);
}

std::string FixtureText(const std::string& name) { return ReadFileBytes(EncryptedFixture(name)); }

Tree Expected(const std::string& archive) { return TreeOf(EncryptedFixture(archive + ".expected")); }

Tree FilesOf(const Tree& tree) {
  Tree files;
  for (const auto& [name, data] : tree)
    if (name.empty() || name.back() != '/') files.emplace(name, data);
  return files;
}

struct Outcome {
  int32_t result = 0;
  int32_t entries = 0;
  std::vector<std::pair<TSkipReason, String>> skipped;
  int badCrc = 0;
  int passwordAsks = 0;
  Tree tree;
};

// The password is set before the run: the empty one tried first would pass a traditional
// check byte now and then.
class PasswordUnZip : public TXrUnZip {
public:
  using TXrUnZip::Password;
};

// Extracts Archive with Password set beforehand; a handler asked for another password
// gives Answer the first time, else the same one back, which gives the entry up.
Outcome Extract(const std::string& archive, const std::string& password,
                const std::string& answer = "") {
  // A folder per test: ctest runs them side by side.
  ScratchDir out(std::string("encrypted_") +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
  Outcome o;
  PasswordUnZip unzip;
  unzip.SetDestDir(out.Path());
  unzip.SetZipName(EncryptedFixture(archive + ".zip"));
  unzip.DoAll = true;
  unzip.OverwriteMode = TUZOverwriteMode::Always;
  unzip.RecreateDirs = true;
  unzip.Password() = password;
  unzip.OnSkippingFile = [&](TXrUnZip&, TSkipReason reason, const String& name, int32_t, bool&) {
    o.skipped.emplace_back(reason, name);
  };
  unzip.OnBadCRC = [&](TXrUnZip&, int32_t, int32_t, int32_t) { ++o.badCrc; };
  unzip.OnBadPassword = [&](TXrUnZip&, int32_t, std::string& offered) {
    if (++o.passwordAsks == 1 && !answer.empty()) offered = answer;
  };
  o.result = unzip.UnZip();
  o.entries = unzip.LoadedEntryCount();
  o.tree = TreeOf(out.Path());
  return o;
}

const char* const kToolArchives[] = {
    "zip_stored",
    "zip_deflated",
    "zip_long_password",
    "7zz_zipcrypto_stored",
    "7zz_zipcrypto_deflated",
    "7zz_aes128_stored",
    "7zz_aes128_deflated",
    "7zz_aes192_stored",
    "7zz_aes192_deflated",
    "7zz_aes256_stored",
    "7zz_aes256_deflated",
    "7zz_aes256_long_password",
};

TEST(EncryptedFixture, RightPasswordExtractsAsWith7zz) {
  for (const char* archive : kToolArchives) {
    SCOPED_TRACE(archive);
    const Outcome o = Extract(archive, FixtureText(std::string(archive) + ".password"));
    const Tree expected = Expected(archive);
    ASSERT_TRUE(expected.contains("big.bin") && expected.contains("empty.txt"));
    EXPECT_EQ(o.result, o.entries);
    EXPECT_TRUE(o.skipped.empty());
    EXPECT_EQ(o.badCrc, 0);
    EXPECT_EQ(o.passwordAsks, 0);
    EXPECT_EQ(o.tree, expected);
  }
}

TEST(EncryptedFixture, WrongPasswordSkipsEveryEntryAndWritesNothing) {
  for (const char* archive : kToolArchives) {
    SCOPED_TRACE(archive);
    // Chosen by the generator to fail every entry's check byte or verifier.
    const Outcome o = Extract(archive, FixtureText(std::string(archive) + ".wrong"));
    const Tree expectedFiles = FilesOf(Expected(archive));
    EXPECT_EQ(FilesOf(o.tree), Tree{});
    EXPECT_EQ(o.badCrc, 0);
    // Every file of these archives is encrypted, the empty one too.
    std::map<std::string, TSkipReason> skipped;
    for (const auto& [reason, name] : o.skipped) {
      std::string path = ToUtf8(name);  // the entry's folder as the program names it
      std::replace(path.begin(), path.end(), '\\', '/');
      skipped.emplace(path, reason);
    }
    std::map<std::string, TSkipReason> want;
    for (const auto& [name, data] : expectedFiles) want.emplace(name, TSkipReason::srBadPassword);
    EXPECT_EQ(skipped, want);
    EXPECT_EQ(o.skipped.size(), want.size());
  }
}

// A wrong password that happens to pass the check byte or the verifier is found out by
// the CRC or the authentication code; the host is then asked again, and the right
// password extracts the entry. (The AES entry's verifier was made the wrong password's,
// so no password opens it.)
TEST(EncryptedFixture, WrongPasswordPastTheCheckAsksAgain) {
  const std::string right = FixtureText("7zz_aes128_stored.password");
  const struct {
    const char* archive;
    bool answered;
  } cases[] = {{"pkware_false_pass", false}, {"pkware_false_pass", true}, {"aes_false_pass", false}};
  for (const auto& [archive, answered] : cases) {
    SCOPED_TRACE(testing::Message() << archive << (answered ? ", answered" : ", unanswered"));
    const Outcome o =
        Extract(archive, FixtureText(std::string(archive) + ".wrong"), answered ? right : "");
    EXPECT_EQ(o.passwordAsks, 1);
    EXPECT_EQ(o.badCrc, 0);
    if (answered) {
      EXPECT_EQ(o.result, 1);
      EXPECT_TRUE(o.skipped.empty());
      EXPECT_EQ(o.tree, (Tree{{"a.txt", "a short text file\n"}}));
    } else {
      EXPECT_EQ(o.result, 0);
      EXPECT_EQ(o.tree, Tree{});
      EXPECT_EQ(o.skipped, (std::vector<std::pair<TSkipReason, String>>{
                               {TSkipReason::srBadPassword, u"a.txt"}}));
    }
  }
}

TEST(EncryptedFixture, DamagedAesEntryLeavesNoFileAndTheRestExtracts) {
  const std::string password = FixtureText("7zz_aes128_stored.password");
  Tree rest = Expected("7zz_aes128_stored");
  rest.erase("big.bin");
  for (const char* archive : {"tampered_code", "tampered_data"}) {
    SCOPED_TRACE(archive);
    const Outcome o = Extract(archive, password);
    EXPECT_EQ(o.badCrc, 0);
    EXPECT_EQ(o.passwordAsks, 1);
    ASSERT_EQ(o.skipped.size(), 1u);
    EXPECT_EQ(o.skipped[0].first, TSkipReason::srBadPassword);
    EXPECT_EQ(o.result, o.entries - 1);
    EXPECT_EQ(o.tree, rest);
  }
}

TEST(EncryptedFixture, VendorVersionOneExtractsWithItsCrcChecked) {
  const Outcome o = Extract("ae1", FixtureText("7zz_aes256_deflated.password"));
  EXPECT_EQ(o.result, o.entries);
  EXPECT_EQ(o.badCrc, 0);
  EXPECT_TRUE(o.skipped.empty());
  EXPECT_EQ(o.tree, Expected("7zz_aes256_deflated"));
}

}  // namespace
