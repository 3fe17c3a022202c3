#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "base/exception.h"
#include "unzip/sorted_zip.h"

namespace {

std::unique_ptr<TZipHeaderInfo> Header(uint32_t disk, int64_t offset, String name = u"x") {
  auto h = std::make_unique<TZipHeaderInfo>();
  h->SetDiskNumberStart(disk);
  h->SetRelativeOffset(offset);
  h->SetFileName(name);
  return h;
}

std::vector<String> Names(const TSortedZip& list) {
  std::vector<String> names;
  for (int i = 0; i < list.Count(); ++i) names.push_back(list.Header(i).FileName);
  return names;
}

TEST(SortedZip, PhysicalOrderByDiskThenOffset) {
  TSortedZip list(TListDuplicates::ldError);
  list.AddHeader(Header(0, 500, u"c"));
  list.AddHeader(Header(0, 100, u"a"));
  list.AddHeader(Header(0, 300, u"b"));
  list.AddHeader(Header(1, 0, u"d"));
  // Disk numbers far apart compare without overflow.
  list.AddHeader(Header(0xFFFFFFF0u, 0, u"f"));
  list.AddHeader(Header(2, 0, u"e"));
  EXPECT_EQ(Names(list), (std::vector<String>{u"a", u"b", u"c", u"d", u"e", u"f"}));
  EXPECT_TRUE(list.HasZip64);  // the large disk number lives in a ZIP64 record
}

TEST(SortedZip, DuplicatePositionRaises) {
  TSortedZip list(TListDuplicates::ldError);
  list.AddHeader(Header(0, 100));
  try {
    list.AddHeader(Header(0, 100));
    FAIL() << "no error";
  } catch (const EListError& e) {
    EXPECT_EQ(e.Message(), u"Duplicate Object index");
  }
  EXPECT_EQ(list.Count(), 1);
}

// Headers handed over in order are taken as they are; a key that is not above the one
// before is the duplicate error, and nothing is taken.
TEST(SortedZip, SortedHandOver) {
  struct Case {
    const char* what;
    std::vector<std::pair<uint32_t, int64_t>> keys;
    bool accepted;
  };
  const Case cases[] = {
      {"rising", {{0, 10}, {0, 20}, {1, 0}, {0xFFFFFFF0u, 0}}, true},
      {"none", {}, true},
      {"two at one place", {{0, 10}, {0, 10}}, false},
      {"falling", {{0, 20}, {0, 10}}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::unique_ptr<TZipHeaderInfo>> headers;
    for (auto [disk, offset] : c.keys) headers.push_back(Header(disk, offset));
    TSortedZip list(TListDuplicates::ldError);
    if (c.accepted) {
      list.AddSortedHeaders(headers);
      EXPECT_EQ(list.Count(), int32_t(c.keys.size()));
      for (int32_t i = 0; i < list.Count(); ++i)
        EXPECT_EQ(list.Header(i).RelativeOffset(), c.keys[size_t(i)].second);
      EXPECT_EQ(list.HasZip64, c.keys.size() == 4);
    } else {
      EXPECT_THROW(list.AddSortedHeaders(headers), EListError);
      EXPECT_EQ(list.Count(), 0);
    }
  }
}

TEST(SortedZip, OtherOrders) {
  auto sized = [](String name, int64_t packed, int64_t size, uint32_t date = 0x52CF6000) {
    auto h = std::make_unique<TZipHeaderInfo>();
    h->SetFileName(name);
    h->SetCompressedSize(packed);
    h->SetUncompressedSize(size);
    h->FileDateTime = date;
    return h;
  };
  {
    TSortedZip list(TListDuplicates::ldAccept, TZipSortMode::ByCompressedSize, true);
    list.AddHeader(sized(u"small", 100, 100));
    list.AddHeader(sized(u"3g", 3LL << 30, 3LL << 30));
    list.AddHeader(sized(u"1g", 1LL << 30, 1LL << 30));
    list.AddHeader(sized(u"5g", 5LL << 30, 5LL << 30));
    EXPECT_EQ(Names(list), (std::vector<String>{u"5g", u"3g", u"1g", u"small"}));
    EXPECT_TRUE(list.HasZip64);
  }
  {
    TSortedZip list(TListDuplicates::ldAccept, TZipSortMode::ByDate, true);
    list.AddHeader(sized(u"first", 1, 1));
    list.AddHeader(sized(u"newer", 1, 1, 0x5AC16000));
    list.AddHeader(sized(u"second", 1, 1));
    list.AddHeader(sized(u"invalid date", 1, 1, 0x00000000));  // counts as 0.0
    EXPECT_EQ(Names(list), (std::vector<String>{u"newer", u"first", u"second", u"invalid date"}));
  }
  {
    TSortedZip list(TListDuplicates::ldAccept, TZipSortMode::ByRate, true);
    list.AddHeader(sized(u"ten", 100, 1000));
    list.AddHeader(sized(u"empty", 0, 0));
    list.AddHeader(sized(u"twenty", 200, 1000));
    EXPECT_EQ(Names(list), (std::vector<String>{u"twenty", u"ten", u"empty"}));
  }
  {
    TSortedZip list(TListDuplicates::ldAccept, TZipSortMode::ByName, true);
    auto named = [](String dir, String name) {
      auto h = std::make_unique<TZipHeaderInfo>();
      h->SetDirectory(dir);
      h->SetFileName(name);
      return h;
    };
    list.AddHeader(named(u"b\\", u"a"));
    list.AddHeader(named(u"", u"B"));
    list.AddHeader(named(u"A\\", u"z"));
    EXPECT_EQ(Names(list), (std::vector<String>{u"z", u"B", u"a"}));
  }
  // Orders sorted by hand: each differs from what the full name, letter case, the
  // packed size or 32-bit sizes would give.
  auto located = [](String dir, String name, int64_t packed, int64_t size) {
    auto h = std::make_unique<TZipHeaderInfo>();
    h->SetDirectory(dir);
    h->SetFileName(name);
    h->SetCompressedSize(packed);
    h->SetUncompressedSize(size);
    return h;
  };
  const struct {
    TZipSortMode mode;
    std::vector<String> order;
  } orders[] = {
      {TZipSortMode::ByFileName, {u"alpha", u"Beta", u"Delta", u"gamma"}},
      {TZipSortMode::ByDirectoryName, {u"gamma", u"Beta", u"alpha", u"Delta"}},
      {TZipSortMode::ByUnCompressedSize, {u"Delta", u"Beta", u"gamma", u"alpha"}},
  };
  for (const auto& o : orders) {
    SCOPED_TRACE(int(o.mode));
    TSortedZip list(TListDuplicates::ldError, o.mode, true);
    list.AddHeader(located(u"B\\", u"alpha", 900, 100));
    list.AddHeader(located(u"a\\", u"Beta", 50, 2LL << 30));
    list.AddHeader(located(u"", u"gamma", 10, 5000));
    list.AddHeader(located(u"c\\", u"Delta", 1, 6LL << 30));
    EXPECT_EQ(Names(list), o.order);
  }
  {
    // A mode outside the list compares every pair as "before": nothing is a duplicate
    // and headers keep their arrival order.
    TSortedZip list(TListDuplicates::ldError, TZipSortMode(200), true);
    list.AddHeader(located(u"", u"one", 1, 1));
    list.AddHeader(located(u"", u"one", 1, 1));
    list.AddHeader(located(u"", u"two", 1, 1));
    EXPECT_EQ(Names(list), (std::vector<String>{u"one", u"one", u"two"}));
  }
}

// A view filled from one sort holds the headers in the order that adding them one by
// one gives, ties included (in some modes equal keys keep their arrival order, in
// others the later goes first).
TEST(SortedZip, ViewFromOneSortMatchesOneByOne) {
  TSortedZip source(TListDuplicates::ldError);
  uint32_t seed = 12345;
  auto next = [&](uint32_t range) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % range;
  };
  const String dirs[] = {u"", u"a\\", u"B\\"};
  const String names[] = {u"x", u"Y", u"x", u"z"};
  const uint32_t dates[] = {0x52CF6000, 0x5AC16000, 0, 0x52CF6000};
  for (int i = 0; i < 300; ++i) {
    auto h = Header(0, 1000 - i);
    h->SetDirectory(dirs[next(3)]);
    h->SetFileName(names[next(4)]);
    h->FileDateTime = dates[next(4)];
    h->SetCompressedSize(next(3) * 10);
    h->SetUncompressedSize(next(3) == 0 ? (5LL << 30) : next(3) * 40);
    source.AddHeader(std::move(h));
  }
  for (int mode = 0; mode < int(TZipSortMode::ByNone); ++mode) {
    SCOPED_TRACE(mode);
    TSortedZip oneByOne(TListDuplicates::ldAccept, TZipSortMode(mode), false);
    for (int i = 0; i < source.Count(); ++i) oneByOne.AddShared(source.Header(i));
    TSortedZip sorted(TListDuplicates::ldAccept, TZipSortMode(mode), false);
    sorted.AddAllShared(source);
    ASSERT_EQ(sorted.Count(), oneByOne.Count());
    for (int i = 0; i < sorted.Count(); ++i) ASSERT_EQ(&sorted.Header(i), &oneByOne.Header(i)) << i;
    EXPECT_TRUE(sorted.HasZip64);
  }
  TSortedZip owning(TListDuplicates::ldAccept, TZipSortMode::ByName, true);
  EXPECT_THROW(owning.AddAllShared(source), EListError);
}

TEST(SortedZip, NotesZip64Records) {
  TSortedZip list(TListDuplicates::ldError);
  list.AddHeader(Header(0, 10));
  EXPECT_FALSE(list.HasZip64);
  auto h = Header(0, 20);
  h->Zip64Info();  // present, though every value fits in 32 bits
  list.AddHeader(std::move(h));
  EXPECT_TRUE(list.HasZip64);
}

}  // namespace
