#include <gtest/gtest.h>

#include <cstring>

#include "base/stream.h"
#include "tests/unzip/zip_builder.h"
#include "unzip/end_central.h"
#include "unzip/zip_signatures.h"

namespace {

bool ReadTail(TEndCentral& end, const std::string& bytes) {
  TReadOnlyMemoryStream stream(bytes.data(), bytes.size());
  return end.ReadEndCentral(stream);
}

TEST(EndCentral, FindsTheEndRecord) {
  EndFields withComment;
  withComment.entries = 3;
  withComment.dirOffset = 1000;
  withComment.comment = std::string(65535, 'c');
  EndFields plain;
  plain.entries = 2;
  struct Case {
    const char* what;
    std::string bytes;
    bool found;
    int64_t commentOffset;
    int64_t entries;
  };
  const Case cases[] = {
      {"empty file: an archive without entries", "", true, 0, 0},
      {"21 bytes", std::string(21, 'P'), false, 0, 0},
      {"the record alone", EndRecord(plain), true, 22, 2},
      {"after other bytes", std::string(100, 'x') + EndRecord(plain), true, 122, 2},
      {"with the largest comment", std::string(10, 'x') + EndRecord(withComment), true, 32, 3},
      {"a byte more than the window holds", EndRecord(plain) + std::string(65536, 'z'), false, 0, 0},
      {"no signature", std::string(4000, 'q'), false, 0, 0},
  };
  for (const Case& c : cases) {
    TEndCentral end;
    EXPECT_EQ(ReadTail(end, c.bytes), c.found) << c.what;
    if (!c.found) continue;
    EXPECT_EQ(end.CommentOffset, c.commentOffset) << c.what;
    EXPECT_EQ(end.EntryCount(), c.entries) << c.what;
    EXPECT_EQ(end.ThisDisk(), 0u) << c.what;
  }
}

TEST(EndCentral, PrefersTheRecordWhoseCommentReachesTheEnd) {
  // A comment that holds something looking like an end record: the outer record's
  // comment length fits the file, the inner one's does not.
  EndFields inner;
  inner.entries = 9;
  EndFields outer;
  outer.entries = 1;
  outer.comment = "note " + EndRecord(inner) + " tail";
  TEndCentral end;
  ASSERT_TRUE(ReadTail(end, EndRecord(outer)));
  EXPECT_EQ(end.EntryCount(), 1);
  EXPECT_EQ(end.CommentOffset, 22);

  // Without a fitting candidate, the one nearest the end wins.
  EndFields cut;
  cut.entries = 4;
  cut.commentLengthOverride = 500;
  EndFields earlier;
  earlier.entries = 7;
  ASSERT_TRUE(ReadTail(end, EndRecord(earlier) + EndRecord(cut)));
  EXPECT_EQ(end.EntryCount(), 4);
}

// A ZIP64 archive's tail: ZIP64 end record, locator, end record with escapes.
std::string Zip64Tail(uint64_t entries, uint64_t dirOffset, std::string prefix,
                      uint32_t recordSignature = 0x06064B50, int64_t locatorOffset = -1) {
  const uint64_t recordAt = prefix.size();
  std::string bytes = prefix + Zip64EndRecord(entries, 46, dirOffset, recordSignature);
  bytes += Zip64Locator(locatorOffset >= 0 ? uint64_t(locatorOffset) : recordAt);
  EndFields end;
  end.entries = end.entriesThisDisk = 0xFFFF;
  end.dirOffset = 0xFFFFFFFF;
  end.dirSize = 0xFFFFFFFF;
  return bytes + EndRecord(end);
}

// A ZIP64 end record with its signature in the archive comment, after the locator
// that points to it.
std::string Zip64AfterLocator(const std::string& prefix) {
  EndFields end;
  end.entries = end.entriesThisDisk = 0xFFFF;
  end.dirOffset = 0xFFFFFFFF;
  end.dirSize = 0xFFFFFFFF;
  end.comment = Zip64EndRecord(70000, 46, 5000000000ull);
  return prefix + Zip64Locator(prefix.size() + kZip64LocatorSize + kEndCentralSize) + EndRecord(end);
}

TEST(EndCentral, Zip64RecordsAreTakenOnlyWhenSound) {
  struct Case {
    const char* what;
    std::string bytes;
    bool zip64;
  };
  const std::string pad(100, 'p');
  const Case cases[] = {
      {"sound", Zip64Tail(70000, 5000000000ull, pad), true},
      {"wrong record signature", Zip64Tail(70000, 1, pad, 0x06064B51), false},
      {"record offset at the locator", Zip64Tail(70000, 1, pad, 0x06064B50, 156), false},
      {"record offset past the file", Zip64Tail(70000, 1, pad, 0x06064B50, 1 << 30), false},
      {"entry count beyond 2^63", Zip64Tail(0x8000000000000000ull, 1, pad), false},
      {"sound record after its locator", Zip64AfterLocator(pad), false},
  };
  for (const Case& c : cases) {
    TEndCentral end;
    ASSERT_TRUE(ReadTail(end, c.bytes)) << c.what;
    EXPECT_EQ(end.HasZip64(), c.zip64) << c.what;
    EXPECT_EQ(end.EntryCount(), c.zip64 ? 70000 : 65535) << c.what;
    EXPECT_EQ(end.CentralDirOffset(), c.zip64 ? 5000000000LL : 0xFFFFFFFFLL) << c.what;
  }
}

TEST(EndCentral, StaleZip64RecordsDoNotSurvive) {
  TEndCentral end;
  ASSERT_TRUE(ReadTail(end, Zip64Tail(70000, 1, std::string(10, 'p'))));
  ASSERT_TRUE(end.HasZip64());
  // The next archive has escapes but no locator: its count is not the old one.
  EndFields escaped;
  escaped.entries = 0xFFFF;
  ASSERT_TRUE(ReadTail(end, EndRecord(escaped)));
  EXPECT_FALSE(end.HasZip64());
  EXPECT_EQ(end.EntryCount(), 65535);

  ASSERT_TRUE(ReadTail(end, Zip64Tail(70000, 1, std::string(10, 'p'))));
  end.Clear();
  EXPECT_FALSE(end.HasZip64());
  EXPECT_EQ(end.EntryCount(), 0);
}

TEST(EndCentral, ClearGivesAnEmptyRecord) {
  TEndCentral end;
  ASSERT_TRUE(ReadTail(end, Zip64Tail(70000, 1, std::string(10, 'p'))));
  end.SetComment("note");
  end.Changed = true;
  ASSERT_NE(end.CommentOffset, 0);
  end.Clear();
  EXPECT_FALSE(end.Changed);
  EXPECT_EQ(end.Comment, "");
  EXPECT_EQ(end.CommentOffset, 0);
  uint8_t empty[kEndCentralSize] = {0x50, 0x4B, 0x05, 0x06};
  EXPECT_EQ(std::memcmp(end.EndRec, empty, sizeof empty), 0);
  EXPECT_FALSE(end.HasZip64());
}

TEST(EndCentral, Setters) {
  TEndCentral end;
  end.SetEntryCount(65534);
  EXPECT_FALSE(end.HasZip64());
  EXPECT_EQ(end.EntryCount(), 65534);
  end.SetEntryCount(65535);
  ASSERT_TRUE(end.HasZip64());
  EXPECT_EQ(end.EndRec[10], 0xFF);
  EXPECT_EQ(end.EndRec[11], 0xFF);
  EXPECT_EQ(end.EntryCount(), 65535);
  end.SetEntryCount(12);
  EXPECT_EQ(end.Zip64EndRec().TotalEntries, 12u);  // the ZIP64 total follows
  end.SetCentralDirOffset(0x100000000LL);
  EXPECT_EQ(end.CentralDirOffset(), 0x100000000LL);
  end.SetThisDisk(70000);
  EXPECT_EQ(end.ThisDisk(), 70000u);
  end.SetComment("hello");
  EXPECT_TRUE(end.HasComment());
  EXPECT_EQ(end.CommentLength(), 5);

  TEndCentral copy;
  copy.Assign(end);
  EXPECT_EQ(copy.Comment, "hello");
  EXPECT_EQ(copy.ThisDisk(), 70000u);
  EXPECT_EQ(copy.CentralDirOffset(), 0x100000000LL);
}

TEST(EndCentral, SignaturesCanBeChangedAndRestored) {
  SetZipSignatures(0x11111111, 0x22222222, 0x33333333);
  EXPECT_EQ(CentralSig, 0x11111111u);
  EXPECT_EQ(LocalSigBytes[0], 0x22);
  EXPECT_EQ(EndCentralSig, 0x33333333u);
  SetZipSignatures(0, 0, 0);
  EXPECT_EQ(CentralSig, 0x02014B50u);
  EXPECT_EQ(LocalSig, 0x04034B50u);
  EXPECT_EQ(EndCentralSig, 0x06054B50u);
  const uint8_t expected[4] = {0x50, 0x4B, 0x03, 0x04};
  EXPECT_EQ(std::memcmp(LocalSigBytes, expected, 4), 0);
}

}  // namespace
