// Extraction of traditional and AES encrypted entries: the password procedure, the
// decryption of stored and deflated data, and the checks that turn an entry down.
#include <gtest/gtest.h>
#include <zlib.h>

#include <map>
#include <string>
#include <vector>

#include "base/format.h"
#include "base/stream.h"
#include "tests/testlib/test_paths.h"
#include "tests/unzip/extract_test_support.h"
#include "unzip/pkware_cipher.h"
#include "unzip/xr_unzip.h"

namespace {

const std::string kRight = "Secret pass";
const std::string kText = "Encrypted text, encrypted text, encrypted text.\n";

ArchiveEntry Pkware(const std::string& name, const std::string& data, uint16_t method,
                    bool dataDescriptor, const std::string& password = kRight) {
  return PkwareEntry(name, data, method, dataDescriptor, password);
}

ArchiveEntry Aes(const std::string& name, const std::string& data, uint16_t method, int strength,
                 uint16_t vendorVersion = 2) {
  return AesEntry(name, data, method, strength, kRight, vendorVersion);
}

// Method 99 with its AES record is encrypted, whatever the flag says.
ArchiveEntry FlagClear(ArchiveEntry e) {
  e.flags = 0;
  return e;
}

struct Outcome {
  int32_t result = 0;
  std::vector<std::pair<TSkipReason, String>> skipped;
  int badCrc = 0;
  std::vector<std::string> passwordAsks;  // the password each OnBadPassword call was shown
  std::map<std::string, std::string> tree;
};

// Extracts with a handler that answers the password requests in turn (then gives the
// shown password back unchanged).
Outcome Extract(const std::string& label, const std::vector<ArchiveEntry>& entries,
                std::vector<std::string> answers) {
  ScratchDir dir("decrypt_" + label);
  const String archive = JoinPath(dir.Path(), u"a.zip");
  const String out = JoinPath(dir.Path(), u"out");
  WriteFileBytes(archive, BuildArchive(entries));
  Outcome o;
  TXrUnZip unzip;
  unzip.SetDestDir(out);
  unzip.SetZipName(archive);
  unzip.DoAll = true;
  unzip.OverwriteMode = TUZOverwriteMode::Always;
  unzip.RecreateDirs = true;
  unzip.OnSkippingFile = [&](TXrUnZip&, TSkipReason reason, const String& name, int32_t, bool&) {
    o.skipped.emplace_back(reason, name);
  };
  unzip.OnBadCRC = [&](TXrUnZip&, int32_t, int32_t, int32_t) { ++o.badCrc; };
  size_t next = 0;
  unzip.OnBadPassword = [&](TXrUnZip&, int32_t, std::string& password) {
    o.passwordAsks.push_back(password);
    if (next < answers.size()) password = answers[next++];
  };
  o.result = unzip.UnZip();
  o.tree = TreeOf(out);
  return o;
}

using Tree = std::map<std::string, std::string>;

TEST(EntryDecrypt, RightPasswordExtractsEveryKind) {
  const std::string big(70000, 'q');  // more than two input blocks
  const struct {
    const char* label;
    ArchiveEntry entry;
  } cases[] = {
      {"pkware_stored", Pkware("f.txt", kText, 0, false)},
      {"pkware_deflated", Pkware("f.txt", kText, 8, false)},
      {"pkware_descriptor", Pkware("f.txt", kText, 8, true)},
      {"pkware_big", Pkware("f.txt", big, 8, false)},
      {"aes1_stored", Aes("f.txt", kText, 0, 1)},
      {"aes2_deflated", Aes("f.txt", kText, 8, 2)},
      {"aes3_stored_big", Aes("f.txt", big, 0, 3)},
      {"aes3_deflated_big", Aes("f.txt", big, 8, 3)},
      {"aes_vendor1", Aes("f.txt", kText, 8, 3, 1)},
      {"aes_flag_clear", FlagClear(Aes("f.txt", kText, 8, 2))},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    const Outcome o = Extract(c.label, {c.entry}, {kRight});
    EXPECT_EQ(o.result, 1);
    EXPECT_EQ(o.tree, (Tree{{"f.txt", c.entry.data}}));
    EXPECT_EQ(o.passwordAsks, std::vector<std::string>{""});  // empty at first
    EXPECT_TRUE(o.skipped.empty());
    EXPECT_EQ(o.badCrc, 0);
  }
}

// A failed check of the decrypted data asks for the password again; the same one back
// gives the entry up as a bad password.
TEST(EntryDecrypt, DamagedDataOrCodeAsksAgainAndLeavesNoFile) {
  auto flipped = [](ArchiveEntry e, size_t fromEnd) {
    (*e.payload)[e.payload->size() - fromEnd] ^= 0x01;
    return e;
  };
  ArchiveEntry wrongCrc = Aes("f.txt", kText, 8, 1, 1);
  wrongCrc.crc = Crc32Of(kText) ^ 1;
  const struct {
    const char* label;
    ArchiveEntry entry;
  } cases[] = {
      {"aes_code", flipped(Aes("f.txt", kText, 0, 1), 1)},
      {"aes_data", flipped(Aes("f.txt", kText, 0, 2), 11)},
      {"aes_vendor1_crc", wrongCrc},
      {"pkware_data", flipped(Pkware("f.txt", kText, 0, false), 1)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    const Outcome o = Extract(c.label, {c.entry}, {kRight});
    EXPECT_EQ(o.result, 0);
    EXPECT_EQ(o.tree, Tree{});
    EXPECT_EQ(o.badCrc, 0);
    EXPECT_EQ(o.passwordAsks, (std::vector<std::string>{"", kRight}));
    EXPECT_EQ(o.skipped, (std::vector<std::pair<TSkipReason, String>>{
                             {TSkipReason::srBadPassword, u"f.txt"}}));
  }
}

TEST(EntryDecrypt, PasswordProcedure) {
  const std::vector<ArchiveEntry> two = {Pkware("a.txt", "first", 8, false),
                                         Aes("b.txt", "second", 8, 3)};
  {
    SCOPED_TRACE("the handler's password stays for the next entry");
    const Outcome o = Extract("kept", two, {kRight});
    EXPECT_EQ(o.result, 2);
    EXPECT_EQ(o.tree, (Tree{{"a.txt", "first"}, {"b.txt", "second"}}));
    EXPECT_EQ(o.passwordAsks, std::vector<std::string>{""});
  }
  {
    SCOPED_TRACE("a wrong answer is asked about again");
    const Outcome o = Extract("retry", two, {"wrong", kRight});
    EXPECT_EQ(o.result, 2);
    EXPECT_EQ(o.passwordAsks, (std::vector<std::string>{"", "wrong"}));
  }
  {
    SCOPED_TRACE("no new password gives the entries up");
    const Outcome o = Extract("give_up", two, {});
    EXPECT_EQ(o.result, 0);
    EXPECT_EQ(o.tree, Tree{});
    EXPECT_EQ(o.skipped, (std::vector<std::pair<TSkipReason, String>>{
                             {TSkipReason::srBadPassword, u"a.txt"},
                             {TSkipReason::srBadPassword, u"b.txt"}}));
  }
  {
    SCOPED_TRACE("an entry encrypted with another password is skipped, the rest extracted");
    const Outcome o = Extract("mixed",
                              {Pkware("a.txt", "first", 0, false, "other"),
                               Pkware("c.txt", "third", 0, false)},
                              {kRight});
    EXPECT_EQ(o.result, 1);
    EXPECT_EQ(o.tree, (Tree{{"c.txt", "third"}}));
    ASSERT_EQ(o.skipped.size(), 1u);
    EXPECT_EQ(o.skipped[0].second, u"a.txt");
  }
}

// Whether raw inflate turns Data down before it has given more than Limit bytes.
bool InflateRefuses(const std::string& data, size_t limit) {
  z_stream z{};
  if (inflateInit2(&z, -MAX_WBITS) != Z_OK) throw std::runtime_error("inflateInit2");
  std::string out(limit + 1, '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = uInt(data.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = uInt(out.size());
  const int result = inflate(&z, Z_FINISH);
  inflateEnd(&z);
  return result == Z_DATA_ERROR && z.total_out <= limit;
}

// A password other than kRight that passes the check byte of a traditionally encrypted
// deflated entry (about one in 256 do) and turns its data into what inflate refuses.
std::string FalsePass(const ArchiveEntry& e) {
  const uint8_t check = PkwareCheckByte(false, e.dosTime & 0xFFFF, Crc32Of(e.data));
  for (int i = 0; i < 100000; ++i) {
    const std::string candidate = "wrong" + std::to_string(i);
    std::string bytes = *e.payload;
    auto* p = reinterpret_cast<uint8_t*>(bytes.data());
    TPkwareKeys keys;
    if (DecryptHeader(keys, reinterpret_cast<const uint8_t*>(candidate.data()),
                      uint32_t(candidate.size()), p) != check)
      continue;
    PkwareDecrypt(keys, p + kPkwareHeaderLength, uint32_t(bytes.size() - kPkwareHeaderLength));
    if (InflateRefuses(bytes.substr(kPkwareHeaderLength), e.data.size())) return candidate;
  }
  throw std::runtime_error("no false pass found");
}

// Set as the password before the run, as a host would.
class PasswordUnZip : public TXrUnZip {
public:
  using TXrUnZip::Password;
};

// A wrong password past the check byte makes the decoder refuse the data: that is the
// password failing, asked about again, and the run goes on with the next entry. A tag
// takes every header as passed, so there any wrong password does this.
TEST(EntryDecrypt, DecoderRefusingTheDataIsABadPassword) {
  const std::string text = kText + kText + "and some more of it, deflated.";
  const ArchiveEntry secret = Pkware("secret.txt", text, 8, false);
  const std::string falsePass = FalsePass(secret);
  ScratchDir dir("decrypt_decoder_error");
  const String archive = JoinPath(dir.Path(), u"a.zip");
  WriteFileBytes(archive, BuildArchive({secret, {.name = "plain.txt", .data = "plain"}}));
  enum class Run { UnZip, TestZip, ToStream };
  const struct {
    const char* label;
    Run run;
    std::string password;
    int32_t tag;
    bool answered;
  } cases[] = {
      {"unzip, given up", Run::UnZip, falsePass, 0, false},
      {"unzip, answered", Run::UnZip, falsePass, 0, true},
      {"tag, any password, given up", Run::UnZip, "no such password", 1, false},
      {"tag, any password, answered", Run::UnZip, "no such password", 1, true},
      {"test, given up", Run::TestZip, falsePass, 0, false},
      {"test, answered", Run::TestZip, falsePass, 0, true},
      {"stream, given up", Run::ToStream, falsePass, 0, false},
      {"stream, answered", Run::ToStream, falsePass, 0, true},
  };
  int run = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    const String out = JoinPath(dir.Path(), u"out" + IntToStr(run++));
    PasswordUnZip unzip;
    unzip.SetZipName(archive);
    unzip.SetDestDir(out);
    unzip.DoAll = true;
    unzip.OverwriteMode = TUZOverwriteMode::Always;
    unzip.Password() = c.password;
    unzip.Tag = c.tag;
    std::vector<std::pair<TSkipReason, String>> skipped;
    std::vector<std::string> asked;
    int badCrc = 0;
    unzip.OnSkippingFile = [&](TXrUnZip&, TSkipReason reason, const String& name, int32_t, bool&) {
      skipped.emplace_back(reason, name);
    };
    unzip.OnBadCRC = [&](TXrUnZip&, int32_t, int32_t, int32_t) { ++badCrc; };
    unzip.OnBadPassword = [&](TXrUnZip&, int32_t, std::string& password) {
      asked.push_back(password);
      if (c.answered && asked.size() == 1) password = kRight;
    };
    int32_t passed = 0;
    TMemoryStream stream;
    switch (c.run) {
      case Run::UnZip: passed = unzip.UnZip(); break;
      case Run::TestZip: passed = unzip.TestZip(); break;
      case Run::ToStream:
        unzip.LoadDirectory();
        passed = unzip.UnZipToStream(0, stream) ? 1 : 0;
        break;
    }
    const bool oneEntry = c.run == Run::ToStream;
    EXPECT_EQ(passed, (c.answered ? 1 : 0) + (oneEntry ? 0 : 1));
    EXPECT_EQ(badCrc, 0);
    EXPECT_EQ(asked, std::vector<std::string>{c.password});  // at the end of the entry
    if (c.answered) {
      EXPECT_TRUE(skipped.empty());
    } else {
      EXPECT_EQ(skipped, (std::vector<std::pair<TSkipReason, String>>{
                             {TSkipReason::srBadPassword, u"secret.txt"}}));
    }
    if (c.run == Run::UnZip) {
      Tree want{{"plain.txt", "plain"}};
      if (c.answered) want.emplace("secret.txt", text);
      EXPECT_EQ(TreeOf(out), want);
    }
    if (c.run == Run::ToStream && c.answered) {
      EXPECT_EQ(std::string(reinterpret_cast<const char*>(stream.Memory()), size_t(stream.Size())), text);
    }
  }
}

}  // namespace
