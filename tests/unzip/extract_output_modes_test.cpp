// Stream, memory and test output, output-side decryption and the component's tag: what
// they give against what file output gives for the same archive.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "base/exception.h"
#include "base/stream.h"
#include "tests/testlib/test_paths.h"
#include "tests/unzip/extract_test_support.h"
#include "tests/unzip/legacy_codec_support.h"
#include "unzip/unzip_errors.h"
#include "unzip/xr_unzip.h"
#include "unzip/zip_aes.h"
#include "unzip/zip_file_routines.h"

#ifndef QZ_EXTRACT_FIXTURES
#error "QZ_EXTRACT_FIXTURES names the folder of the generated extraction fixtures"
#endif

namespace {

using Tree = std::map<std::string, std::string>;

const std::string kPassword = "Secret pass";

class PasswordUnZip : public TXrUnZip {
public:
  using TXrUnZip::Password;
  using TXrUnZip::MemoryTaken;
  using TXrUnZip::BufferNum;
};

// Bytes no compressor can shrink.
std::string Noise(size_t size, uint32_t seed) {
  std::string noise(size, '\0');
  for (char& c : noise) c = char((seed = seed * 1664525u + 1013904223u) >> 24);
  return noise;
}

Tree FilesOf(const Tree& tree) {
  Tree files;
  for (const auto& [name, data] : tree)
    if (name.back() != '/') files.emplace(name, data);
  return files;
}

// Every file entry through memory and through a stream, against what UnZip writes for
// the same archive; no folder or file appears on the way.
void ExpectSameAsFiles(const String& archive, const std::string& password) {
  ScratchDir dir("output_modes_same");
  PasswordUnZip files;
  files.SetZipName(archive);
  files.SetDestDir(dir / u"files");
  files.DoAll = true;
  files.RecreateDirs = true;
  files.OverwriteMode = TUZOverwriteMode::Always;
  files.Password() = password;
  const int32_t written = files.UnZip();
  ASSERT_EQ(written, files.LoadedEntryCount());
  const Tree expected = FilesOf(TreeOf(dir / u"files"));

  PasswordUnZip unzip;
  unzip.SetZipName(archive);
  unzip.SetDestDir(dir / u"never");
  unzip.RecreateDirs = true;
  unzip.Password() = password;
  unzip.LoadDirectory();
  Tree viaMemory, viaStream;
  for (int32_t i = 0; i < unzip.LoadedEntryCount(); ++i) {
    if (unzip.Entry(i).FileName.empty()) continue;
    const std::string name = ListingName(unzip.Entry(i).Directory, unzip.Entry(i).FileName);
    SCOPED_TRACE(name);
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(unzip.UnZipToMemory(i, bytes));
    viaMemory[name] = std::string(bytes.begin(), bytes.end());
    TMemoryStream stream;
    EXPECT_TRUE(unzip.UnZipToStream(i, stream));
    viaStream[name] = std::string(stream.Bytes().begin(), stream.Bytes().end());
  }
  EXPECT_FALSE(expected.empty());
  EXPECT_EQ(viaMemory, expected);
  EXPECT_EQ(viaStream, expected);
  EXPECT_FALSE(FolderExists(dir / u"never"));
}

TEST(OutputModes, StreamAndMemoryGiveWhatFilesGet) {
  const std::string text = SampleData(9000, 3);
  ImplodeOptions implode;
  implode.literalTree = true;
  ArchiveEntry shrunk{.name = "shrunk.txt", .data = text, .method = 1, .payload = Shrink(text)};
  ArchiveEntry imploded{.name = "sub/imploded.txt", .data = text, .method = 6,
                        .flags = ImplodeFlags(implode), .payload = Implode(text, implode)};
  const std::string big = SampleData(70000, 4);  // more than two output blocks
  ScratchDir dir("output_modes_built");
  WriteFileBytes(dir / u"in.zip",
                 BuildArchive({{.name = "stored.txt", .data = text, .method = 0},
                               {.name = "deflated.txt", .data = text},
                               {.name = "empty.txt", .data = "", .method = 0},
                               {.name = "big.bin", .data = big},
                               shrunk,
                               imploded,
                               PkwareEntry("pkware_stored.txt", text, 0, false, kPassword),
                               PkwareEntry("pkware_deflated.bin", big, 8, true, kPassword),
                               AesEntry("aes.txt", text, 8, 3, kPassword)}));
  {
    SCOPED_TRACE("built");
    ExpectSameAsFiles(dir / u"in.zip", kPassword);
  }
  // Archives made by zip, 7zz and python.
  std::ifstream list(std::string(QZ_EXTRACT_FIXTURES) + "/fixtures.list");
  std::string name;
  while (std::getline(list, name)) {
    if (name.empty()) continue;
    SCOPED_TRACE(name);
    ExpectSameAsFiles(HostPath(std::string(QZ_EXTRACT_FIXTURES) + "/" + name), "");
  }
}

TEST(OutputModes, ChunksGoToTheConsumer) {
  constexpr int kGuard = 16;
  const struct {
    const char* label;
    int64_t capacity;
    int32_t chunk;
    size_t size;
    uint16_t method;
    bool consumer;
    int quitAt;  // the call whose Quit the consumer sets, 0: none
    std::vector<int32_t> amounts;
    bool passed;
  } cases[] = {
      {"chunks of 1000", 1000, 1000, 2500, 0, true, 0, {1000, 1000, 500}, true},
      {"chunks smaller than the buffer", 2500, 1000, 2500, 8, true, 0, {1000, 1000, 500}, true},
      {"no chunk size: the whole buffer", 5000, 0, 2500, 8, true, 0, {2500}, true},
      {"no chunk size: buffer-fulls", 1000, 0, 2500, 8, true, 0, {1000, 1000, 500}, true},
      {"chunk over the buffer", 1000, 4000, 2500, 8, true, 0, {1000, 1000, 500}, true},
      {"chunks across output blocks", 40000, 30000, 70000, 8, true, 0, {30000, 30000, 10000}, true},
      {"entry of one chunk", 2500, 2500, 2500, 0, true, 0, {2500}, true},
      {"a consumer that quits early", 1000, 1000, 2500, 8, true, 1, {1000}, true},
      {"quit on the last chunk", 1000, 1000, 2500, 8, true, 3, {1000, 1000, 500}, true},
      {"no consumer for a full buffer", 1000, 0, 2500, 8, false, 0, {}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    ScratchDir dir("output_modes_chunks");
    const std::string data = SampleData(c.size, 9);
    WriteFileBytes(dir / u"in.zip", BuildArchive({{.name = "d/data.bin", .data = data, .method = c.method}}));
    TXrUnZip unzip;
    unzip.SetZipName(dir / u"in.zip");
    std::vector<int32_t> amounts, numbers;
    std::vector<bool> lastFlags;
    std::string gathered;
    int ended = 0, badCrc = 0;
    if (c.consumer)
      unzip.OnGetNextBuffer = [&](TXrUnZip&, char*& buffer, const String& name, int32_t used,
                                  int32_t number, bool& quit) {
        EXPECT_EQ(name, u"d\\data.bin");
        amounts.push_back(used);
        numbers.push_back(number);
        lastFlags.push_back(quit);
        gathered.append(buffer, size_t(used));
        if (int(amounts.size()) == c.quitAt) quit = true;
      };
    unzip.OnEndUnZip = [&](TXrUnZip&, int32_t, const String&) { ++ended; };
    unzip.OnBadCRC = [&](TXrUnZip&, int32_t, int32_t, int32_t) { ++badCrc; };
    unzip.LoadDirectory();
    std::vector<char> buffer(size_t(c.capacity) + kGuard, '\xEE');
    EXPECT_EQ(unzip.UnZipToBuffer(0, buffer.data(), c.capacity, c.chunk), c.passed);
    EXPECT_EQ(amounts, c.amounts);
    std::vector<int32_t> counting(amounts.size());
    for (size_t i = 0; i < counting.size(); ++i) counting[i] = int32_t(i + 1);
    EXPECT_EQ(numbers, counting);
    // Quit comes set only with the entry's last bytes.
    if (!lastFlags.empty() && c.quitAt == 0) {
      EXPECT_TRUE(lastFlags.back());
      EXPECT_EQ(std::count(lastFlags.begin(), lastFlags.end(), true), 1);
    }
    // Stopped by the consumer, the entry counts as extracted.
    EXPECT_EQ(ended, c.passed ? 1 : 0);
    EXPECT_EQ(badCrc, c.passed ? 0 : 1);
    if (c.quitAt == 0 && c.passed) {
      EXPECT_TRUE(gathered == data);
    }
    // Nothing is copied past what the buffer holds.
    EXPECT_EQ(std::string(buffer.end() - kGuard, buffer.end()), std::string(kGuard, '\xEE'));
  }
}

// A declared size the data cannot reach, or one the data passes, fails the entry; in
// memory a size no data of the entry could give is refused before any work.
TEST(OutputModes, DeclaredSizeFarFromTheData) {
  enum class Mode { Memory, Stream };
  // What deflate can give from the packed bytes, and one byte more.
  const std::string small = SampleData(100, 1);
  const uint32_t deflateMost = uint32_t(RawDeflate(small).size()) * 1032;
  const struct {
    const char* label;
    Mode mode;
    ArchiveEntry entry;
    int flushes;  // output blocks the decompressor got to hand over
  } cases[] = {
      {"memory, deflated, what deflate can give", Mode::Memory,
       {.name = "f", .data = small, .uncompressedSize = deflateMost}, 1},
      {"memory, deflated, past what deflate can give", Mode::Memory,
       {.name = "f", .data = small, .uncompressedSize = deflateMost + 1}, 0},
      {"memory, deflated, far above", Mode::Memory,
       {.name = "f", .data = SampleData(100, 1), .uncompressedSize = 0x7FFFFFF0}, 0},
      {"memory, stored, above", Mode::Memory,
       {.name = "f", .data = SampleData(100, 1), .method = 0, .uncompressedSize = 1000}, 0},
      {"memory, far below", Mode::Memory,
       {.name = "f", .data = SampleData(5000, 1), .uncompressedSize = 10}, 0},
      {"stream, far above", Mode::Stream,
       {.name = "f", .data = SampleData(100, 1), .uncompressedSize = 0x7FFFFFF0}, 1},
      {"stream, far below", Mode::Stream,
       {.name = "f", .data = SampleData(5000, 1), .uncompressedSize = 10}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    ScratchDir dir("output_modes_sizes");
    WriteFileBytes(dir / u"in.zip", BuildArchive({c.entry}));
    TXrUnZip unzip;
    unzip.SetZipName(dir / u"in.zip");
    int flushes = 0;
    std::vector<uint32_t> badCrc;
    unzip.OnFilePercentDone = [&](TXrUnZip&, int32_t) { ++flushes; };
    unzip.OnBadCRC = [&](TXrUnZip&, int32_t calc, int32_t, int32_t) { badCrc.push_back(uint32_t(calc)); };
    unzip.LoadDirectory();
    bool passed = true;
    if (c.mode == Mode::Memory) {
      std::vector<uint8_t> bytes{1, 2, 3};
      passed = unzip.UnZipToMemory(0, bytes);
      EXPECT_TRUE(bytes.empty());
    } else {
      TMemoryStream stream;
      passed = unzip.UnZipToStream(0, stream);
    }
    EXPECT_FALSE(passed);
    EXPECT_EQ(flushes, c.flushes);
    ASSERT_EQ(badCrc.size(), 1u);
    if (c.flushes == 0) {
      EXPECT_EQ(badCrc[0], 0u);  // the CRC of no output at all
    }
  }
}

// Memory is taken as output arrives: a declared size is only a claim, and data that
// falls short of it never costs it.
TEST(OutputModes, MemoryGrowsWithTheOutput) {
  const std::string noise = Noise(200000, 11);
  constexpr uint32_t kDeclared = 64u << 20;
  const struct {
    const char* label;
    ArchiveEntry entry;
    bool passes;
  } cases[] = {
      {"sound, several growths", {.name = "f", .data = noise}, true},
      {"declared far above the data", {.name = "f", .data = noise, .uncompressedSize = kDeclared}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    ScratchDir dir("output_modes_memory_growth");
    WriteFileBytes(dir / u"in.zip", BuildArchive({c.entry}));
    PasswordUnZip unzip;
    unzip.SetZipName(dir / u"in.zip");
    size_t mostTaken = 0;
    unzip.OnFilePercentDone = [&](TXrUnZip&, int32_t) {
      mostTaken = std::max(mostTaken, unzip.MemoryTaken());
    };
    unzip.LoadDirectory();
    std::vector<uint8_t> bytes;
    EXPECT_EQ(unzip.UnZipToMemory(0, bytes), c.passes);
    EXPECT_GT(mostTaken, 0u);
    EXPECT_LE(mostTaken, 2 * noise.size());
    EXPECT_EQ(unzip.MemoryTaken(), 0u);  // given back when the operation ends
    if (c.passes) {
      EXPECT_TRUE(std::string(bytes.begin(), bytes.end()) == noise);
    }
  }
}

// The chunk number stops at the largest the event takes (a chunk of one byte lets an
// entry of 2 GiB pass it).
TEST(OutputModes, ChunkNumberStopsAtItsLargest) {
  ScratchDir dir("output_modes_chunk_number");
  const std::string data = SampleData(2500, 9);
  WriteFileBytes(dir / u"in.zip", BuildArchive({{.name = "data.bin", .data = data, .method = 0}}));
  PasswordUnZip unzip;
  unzip.SetZipName(dir / u"in.zip");
  std::vector<int32_t> numbers;
  unzip.OnGetNextBuffer = [&](TXrUnZip&, char*&, const String&, int32_t, int32_t number, bool&) {
    numbers.push_back(number);
    if (numbers.size() == 1) unzip.BufferNum() = INT32_MAX - 1;
  };
  unzip.LoadDirectory();
  std::vector<char> buffer(1000);
  EXPECT_TRUE(unzip.UnZipToBuffer(0, buffer.data(), 1000, 1000));
  EXPECT_EQ(numbers, (std::vector<int32_t>{1, INT32_MAX, INT32_MAX}));
}

TEST(OutputModes, TestZipChecksWithoutWriting) {
  const std::string text = SampleData(3000, 5);
  ScratchDir dir("output_modes_test");
  const std::string archive =
      BuildArchive({{.name = "a/", .data = ""},
                    {.name = "a/good.txt", .data = text},
                    {.name = "bad.txt", .data = text, .crc = 1234},
                    {.name = "shrunk.txt", .data = text, .method = 1, .payload = Shrink(text)},
                    {.name = "tokenized.txt", .data = text, .method = 7},
                    {.name = "big.bin", .data = SampleData(70000, 6), .uncompressedSize = 0x7FFFFFF0},
                    {.name = "stored.bin", .data = text, .method = 0}});
  WriteFileBytes(dir / u"in.zip", archive);
  TXrUnZip unzip;
  unzip.SetZipName(dir / u"in.zip");
  unzip.SetDestDir(dir / u"out");
  unzip.DoAll = true;
  unzip.RecreateDirs = true;
  std::vector<String> ended, failed;
  std::vector<int32_t> messages;
  unzip.OnEndUnZip = [&](TXrUnZip& u, int32_t index, const String&) { ended.push_back(u.GetEntryName(index)); };
  unzip.OnBadCRC = [&](TXrUnZip& u, int32_t, int32_t, int32_t index) { failed.push_back(u.GetEntryName(index)); };
  unzip.OnHandleMessage = [&](TXrUnZip&, int32_t id, const String&, const String&, uint32_t,
                              int32_t&) { messages.push_back(id); };
  EXPECT_EQ(unzip.TestZip(), 4);  // the folder entry counts
  EXPECT_EQ(ended, (std::vector<String>{u"good.txt", u"shrunk.txt", u"stored.bin"}));
  // The unknown method is reported as a failed check, without its box.
  EXPECT_EQ(failed, (std::vector<String>{u"bad.txt", u"tokenized.txt", u"big.bin"}));
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(TreeOf(dir.Path()), (Tree{{"in.zip", archive}}));
  // The component is back to file output afterwards.
  EXPECT_EQ(unzip.UnZip(), 4);
  EXPECT_EQ(messages, std::vector<int32_t>{197});
  EXPECT_EQ(FilesOf(TreeOf(dir / u"out")),
            (Tree{{"a/good.txt", text}, {"shrunk.txt", text}, {"stored.bin", text}}));
}

// Entries flagged as encrypted with a cipher of the host's own (a byte mask), their
// header taken on the component's tag; OnDecrypt is given output or input as asked, a
// block at a time. An AES entry the host decrypts itself still has its code checked,
// over the encrypted bytes.
TEST(OutputModes, OutputSideDecryptionThroughOnDecrypt) {
  auto mask = [](std::string s) {
    for (char& ch : s) ch = char(ch ^ 0x5A);
    return s;
  };
  // Output of several blocks, which Inflate flushes at once.
  const std::string data = SampleData(100000, 8);
  const std::string header(12, '\x11');
  const std::string hostKey = "host key";
  ArchiveEntry aesDeflated = AesEntry("m.bin", data, 8, 3, hostKey);
  ArchiveEntry aesTampered = aesDeflated;
  (*aesTampered.payload)[aesTampered.payload->size() - 1] ^= 1;
  auto masked = [&](uint16_t method, std::string payload) {
    return ArchiveEntry{.name = "m.bin", .data = data, .method = method, .flags = 1, .payload = payload};
  };
  const struct {
    const char* label;
    bool decryptOutput;
    ArchiveEntry entry;
    int aesStrength;  // 0: the host's mask
    bool passes;
  } cases[] = {
      {"deflated, output masked", true, masked(8, header + RawDeflate(mask(data))), 0, true},
      {"stored, output masked", true, masked(0, header + mask(data)), 0, true},
      {"deflated, input masked", false, masked(8, header + mask(RawDeflate(data))), 0, true},
      {"aes deflated, input decrypted by the host", false, aesDeflated, 3, true},
      {"aes, code damaged", false, aesTampered, 3, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    ScratchDir dir("output_modes_decrypt");
    WriteFileBytes(dir / u"in.zip", BuildArchive({c.entry}));
    PasswordUnZip unzip;
    unzip.SetZipName(dir / u"in.zip");
    unzip.Tag = 1;
    unzip.Password() = hostKey;
    unzip.SetDecryptOutput(c.decryptOutput);
    // The host's own AES: the key stream of the entry's password and salt.
    TAesCtrContext host{};
    if (c.aesStrength != 0) {
      const std::string salt(AesSaltLength(uint8_t(c.aesStrength)), '\x33');
      uint8_t verifier[kAesVerifierLength];
      ASSERT_EQ(AesStart(c.aesStrength, reinterpret_cast<const uint8_t*>(hostKey.data()),
                         uint32_t(hostKey.size()), reinterpret_cast<const uint8_t*>(salt.data()),
                         verifier, host),
                0);
    }
    std::vector<std::string> passwords;
    int32_t longest = 0;
    unzip.OnDecrypt = [&](TXrUnZip&, uint8_t* buffer, int32_t length, const std::string& password) {
      passwords.push_back(password);
      longest = std::max(longest, length);
      if (c.aesStrength != 0) {
        AesCtrXor(buffer, uint32_t(length), host);
        return;
      }
      for (int32_t i = 0; i < length; ++i) buffer[i] ^= 0x5A;
    };
    int asked = 0;
    unzip.OnBadPassword = [&](TXrUnZip&, int32_t, std::string&) { ++asked; };
    unzip.LoadDirectory();
    std::vector<uint8_t> bytes;
    bool passed = false;
    try {
      passed = unzip.UnZipToMemory(0, bytes);
    } catch (const Exception& e) {
      ADD_FAILURE() << ToUtf8(e.Message());
    }
    EXPECT_EQ(passed, c.passes);
    EXPECT_EQ(asked, c.passes ? 0 : 1);
    if (c.passes) {
      EXPECT_TRUE(std::string(bytes.begin(), bytes.end()) == data);
    }
    ASSERT_FALSE(passwords.empty());
    EXPECT_EQ(passwords[0], hostKey);
    EXPECT_LE(longest, 32768);
  }
}

TEST(OutputModes, TagLetsEveryTraditionalHeaderPass) {
  const std::string text = "tagged text\n";
  ArchiveEntry entry = PkwareEntry("t.txt", text, 0, true, kPassword);
  entry.dosTime ^= 0x0800;  // the check byte is the time's high byte: it no longer matches
  ScratchDir dir("output_modes_tag");
  WriteFileBytes(dir / u"in.zip", BuildArchive({entry}));
  for (const int32_t tag : {0, 1}) {
    SCOPED_TRACE(tag);
    PasswordUnZip unzip;
    unzip.SetZipName(dir / u"in.zip");
    unzip.Password() = kPassword;
    unzip.Tag = tag;
    std::vector<TSkipReason> skipped;
    unzip.OnSkippingFile = [&](TXrUnZip&, TSkipReason reason, const String&, int32_t, bool&) {
      skipped.push_back(reason);
    };
    unzip.LoadDirectory();
    std::vector<uint8_t> bytes;
    EXPECT_EQ(unzip.UnZipToMemory(0, bytes), tag != 0);
    if (tag != 0) {
      EXPECT_EQ(std::string(bytes.begin(), bytes.end()), text);
      EXPECT_TRUE(skipped.empty());
    } else {
      EXPECT_EQ(skipped, std::vector<TSkipReason>{TSkipReason::srBadPassword});
    }
  }
}

// A stream that held more than the entry is cut to the entry, passed or failed; a folder
// entry leaves it empty.
TEST(OutputModes, StreamHoldsExactlyTheEntry) {
  const std::string text = SampleData(3000, 2);
  ScratchDir dir("output_modes_stream_cut");
  WriteFileBytes(dir / u"in.zip", BuildArchive({{.name = "good.txt", .data = text},
                                                {.name = "bad.txt", .data = text, .crc = 1},
                                                {.name = "sub/", .data = "", .method = 0}}));
  TXrUnZip unzip;
  unzip.SetZipName(dir / u"in.zip");
  unzip.RecreateDirs = true;
  unzip.LoadDirectory();
  const struct {
    int32_t index;
    bool passed;
    std::string held;
  } cases[] = {{0, true, text}, {1, false, text}, {2, true, ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.index);
    TMemoryStream stream;
    const std::string old(100000, 'x');
    stream.WriteBuffer(old.data(), int32_t(old.size()));
    EXPECT_EQ(unzip.UnZipToStream(c.index, stream), c.passed);
    EXPECT_TRUE(std::string(stream.Bytes().begin(), stream.Bytes().end()) == c.held);
  }
}

TEST(OutputModes, OneEntryOperationsCheckTheirArguments) {
  ScratchDir dir("output_modes_arguments");
  WriteFileBytes(dir / u"in.zip", BuildArchive({{.name = "a.txt", .data = "a"}}));
  TXrUnZip unzip;
  unzip.SetZipName(dir / u"in.zip");
  unzip.FilesList().Add(u"*.txt");
  TMemoryStream stream;
  EXPECT_THROW(unzip.UnZipToStream(1, stream), EListError);
  char byte = 0;
  EXPECT_THROW(unzip.UnZipToBuffer(0, &byte, 0, 0), EXrZipException);
  EXPECT_THROW(unzip.UnZipToBuffer(0, nullptr, 1, 0), EXrZipException);
  EXPECT_TRUE(unzip.UnZipToStream(0, stream));
  // One entry's extraction leaves the host's patterns for the next UnZip.
  EXPECT_EQ(unzip.FilesList().Count(), 1);
}

}  // namespace
