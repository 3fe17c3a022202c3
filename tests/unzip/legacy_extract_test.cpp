// Shrunk, reduced and imploded entries through the whole extraction: sound ones are
// written, damaged ones fail alone and leave nothing behind.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tests/testlib/test_paths.h"
#include "tests/unzip/extract_test_support.h"
#include "tests/unzip/legacy_codec_support.h"
#include "unzip/xr_unzip.h"

namespace {

ArchiveEntry Entry(const std::string& name, const std::string& data, uint16_t method,
                   const std::string& payload, uint16_t flags = 0) {
  ArchiveEntry e;
  e.name = name;
  e.data = data;
  e.method = method;
  e.flags = flags;
  e.payload = payload;
  return e;
}

TEST(LegacyExtract, SoundEntriesAreWrittenAndDamagedOnesFailAlone) {
  const std::string text = SampleData(9000, 21);
  std::vector<ArchiveEntry> entries;
  std::map<std::string, std::string> expected;
  auto good = [&](const std::string& name, uint16_t method, const std::string& payload,
                  uint16_t flags = 0) {
    entries.push_back(Entry(name, text, method, payload, flags));
    expected[name] = text;
  };
  auto bad = [&](const std::string& name, uint16_t method, const std::string& payload,
                 uint16_t flags = 0) {
    entries.push_back(Entry(name, text, method, payload, flags));
  };

  good("shrunk.txt", 1, Shrink(text));
  for (int factor = 1; factor <= 4; ++factor)
    good("reduced" + std::to_string(factor) + ".txt", uint16_t(factor + 1), Reduce(text, factor));
  for (uint16_t flags : {0, 2, 4, 6}) {
    ImplodeOptions o;
    o.bigDictionary = (flags & 2) != 0;
    o.literalTree = (flags & 4) != 0;
    good("imploded" + std::to_string(flags) + ".txt", 6, Implode(text, o), flags);
  }
  const std::string shrunk = Shrink(text);
  const std::string reduced = Reduce(text, 2);
  ImplodeOptions literals;
  literals.literalTree = true;
  const std::string imploded = Implode(text, literals);
  bad("cut-shrunk.txt", 1, shrunk.substr(0, shrunk.size() / 2));
  bad("cut-reduced.txt", 3, reduced.substr(0, reduced.size() / 2));
  bad("cut-imploded.txt", 6, imploded.substr(0, imploded.size() / 2), 4);
  bad("bad-tree.txt", 6, std::string("\x00\xF5", 2) + imploded.substr(2), 4);
  std::string flipped = imploded;
  flipped[flipped.size() / 2] = char(~flipped[flipped.size() / 2]);
  bad("flipped-imploded.txt", 6, flipped, 4);
  entries.push_back(Entry("stored-after.txt", "last", 0, "last"));
  expected["stored-after.txt"] = "last";

  ScratchDir dir("legacy_extract");
  WriteFileBytes(dir / u"in.zip", BuildArchive(entries));
  TXrUnZip unzip;
  unzip.SetDestDir(dir / u"out");
  unzip.SetZipName(dir / u"in.zip");
  unzip.DoAll = true;
  unzip.OverwriteMode = TUZOverwriteMode::Always;
  unzip.RecreateDirs = true;
  int32_t badCrc = 0;
  unzip.OnBadCRC = [&](TXrUnZip&, int32_t, int32_t, int32_t) { ++badCrc; };
  EXPECT_EQ(unzip.UnZip(), int32_t(expected.size()));
  EXPECT_EQ(badCrc, 5);
  EXPECT_EQ(TreeOf(dir / u"out"), expected);
}

}  // namespace
