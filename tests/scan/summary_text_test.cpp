// KB, count and share texts of the summary grid, title indicators, fallback type
// names and the grid's sort orders (English locale).
#include <gtest/gtest.h>

#include <memory>

#include "base/collate.h"
#include "scan/summary_list.h"
#include "scan/summary_sort.h"
#include "scan/summary_text.h"

namespace {

TEST(SummaryText, SizeToKBText) {
  const struct {
    int64_t size;
    const char16_t* text;
  } cases[] = {
      {0, u"0.0"},          {1, u"< 0.1"},         {51, u"< 0.1"},       {-5, u"< 0.1"},
      {52, u"0.1"},         {1023, u"1.0"},        {1024, u"1"},         {1600, u"1"},
      {2047, u"1"},         {10239999, u"9999"},   {10240000, u"10,000"},
      {int64_t(5) << 40, u"5,368,709,120"},  // a file far beyond 4 GiB
  };
  for (const auto& c : cases) EXPECT_EQ(SizeToKBText(c.size), c.text) << c.size;
}

TEST(SummaryText, ShareText) {
  const struct {
    int64_t total, scanTotal;
    const char16_t* text;
  } cases[] = {
      {0, 0, u""},             // every counted file was empty
      {5, 0, u""},
      {0, 100, u"0.0%"},
      {1, 2000, u"0.1%"},      // the float nearest 0.05 lies above it
      {1, 1999, u"0.1%"},
      {1, 2001, u"< 0.1%"},
      {7, 2000, u"0.3%"},      // 0.35 held as a float is below it; a double gives "0.4"
      {3, 2000, u"0.2%"},      // 0.15 as a float lies above it
      {1, 20000000, u"< 0.1%"},
      {INT64_MAX, INT64_MAX, u"100.0%"},
      {125, 1000, u"12.5%"},
      {1000, 1000, u"100.0%"},
      {1, 3, u"33.3%"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ShareText(c.total, c.scanTotal), c.text) << c.total << "/" << c.scanTotal;
  }
}

TEST(SummaryText, CountsTitlesAndNames) {
  EXPECT_EQ(CountText(0), u"");
  EXPECT_EQ(CountText(100), u"100");
  EXPECT_EQ(CountText(1000), u"1,000");
  EXPECT_EQ(CountText(2147483647), u"2,147,483,647");

  EXPECT_EQ(TitleWithoutIndicator(u"Count <"), u"Count");
  EXPECT_EQ(TitleWithoutIndicator(u"Extension >"), u"Extension");
  EXPECT_EQ(TitleWithoutIndicator(u"% of Total"), u"% of Total");
  EXPECT_EQ(TitleWithoutIndicator(u">"), u"");

  EXPECT_EQ(FallbackTypeName(u"xyz"), u"XYZ File");
  EXPECT_EQ(FallbackTypeName(u"t\u00e4r"), u"T\u00e4R File");  // only a-z change

  const int widths[] = {70, 110, 50, 85, 85, 85, 70};
  for (int c = 0; c < 7; ++c) EXPECT_EQ(DefaultColumnWidth(c), widths[c]);
  EXPECT_EQ(DefaultColumnWidth(7), 85);
  EXPECT_EQ(DefaultColumnWidth(-1), 85);
}

TEST(SummaryText, FoldedComparison) {
  EXPECT_EQ(CompareFoldedText(u"abc", u"ABC"), 0);
  EXPECT_LT(CompareFoldedText(u"ab", u"abc"), 0);
  EXPECT_EQ(CompareFoldedText(u"abcde", u"ab"), 3);       // difference of the lengths
  EXPECT_EQ(CompareFoldedText(u"b", u"a"), 1);
  EXPECT_EQ(CompareFoldedText(u"_", u"a"), int(u'_') - int(u'A'));  // folded before comparing
  EXPECT_GT(CompareFoldedText(u"\u00e4", u"z"), 0);       // no locale rules
}

// A list as a scan leaves it: extensions in the list's own order with their records.
std::unique_ptr<TSummaryList> MakeList() {
  struct Row {
    const char16_t* ext;
    const char16_t* type;
    int count;
    int64_t total, max, min;
  };
  const Row rows[] = {
      {u"txt", u"Text Document", 12, 35000, 10000, 1000},
      {u"Zip", u"zip archive", 3, 9000000000, 8000000000, 1},
      {u"c", u"C source", 40, 0, 0, 0},
      {u"_x", u"Text file", 7, 700, 100, 100},
  };
  auto list = std::make_unique<TSummaryList>();
  list->SetCaseSensitive(false);
  list->SetSorted(true);
  for (const Row& r : rows) {
    auto s = std::make_unique<TExtenSumm>();
    s->Ext = r.ext;
    s->FileType = r.type;
    s->Count = r.count;
    s->TotalSize = r.total;
    s->MaxSize = r.max;
    s->MinSize = r.min;
    list->AddObject(r.ext, std::move(s));
  }
  return list;
}

String Order(const TSummaryList& list) {
  String s;
  for (int i = 0; i < list.Count(); ++i) s += (i ? u"," : u"") + list.Strings(i);
  return s;
}

TEST(SummarySort, EveryTitleAndDirection) {
  const struct {
    const char16_t* title;
    bool descending;
    const char16_t* order;
  } cases[] = {
      {u"Extension", true, u"_x,Zip,txt,c"},  // folded ordinal: '_' sorts after 'Z'
      {u"File Type", false, u"c,txt,_x,Zip"},
      {u"File Type", true, u"Zip,_x,txt,c"},
      {u"Count", false, u"Zip,_x,txt,c"},
      {u"Count", true, u"c,txt,_x,Zip"},
      {u"Total Size (KB)", false, u"c,_x,txt,Zip"},
      {u"Total Size (KB)", true, u"Zip,txt,_x,c"},
      {u"% of Total", true, u"Zip,txt,_x,c"},
      {u"Max Size (KB)", false, u"c,_x,txt,Zip"},
      {u"Min Size (KB)", false, u"c,Zip,_x,txt"},
      {u"Min Size (KB)", true, u"txt,_x,Zip,c"},
  };
  for (const auto& c : cases) {
    auto list = MakeList();
    list->SetSorted(false);
    TStringListSortCompare compare = SummaryComparator(c.title, c.descending);
    ASSERT_NE(compare, nullptr) << ToUtf8(c.title);
    list->CustomSort(compare);
    EXPECT_EQ(Order(*list), c.order) << ToUtf8(c.title) << (c.descending ? " desc" : " asc");
  }
  EXPECT_EQ(SummaryComparator(u"Extension", false), nullptr);  // the list's own order
  EXPECT_EQ(SummaryComparator(u"Count >", false), nullptr);
}

TEST(SummaryList, CaseRuleOfTheScan) {
  // Without case, texts that differ only in case meet in one entry keyed by the first;
  // with case they stay apart, and so do texts the locale ranks equal.
  const struct {
    bool caseSensitive;
    std::initializer_list<const char16_t*> added;
    int entries;
  } cases[] = {
      {false, {u"jpg", u"JPG", u"Jpg"}, 1},
      {true, {u"jpg", u"JPG", u"Jpg"}, 3},
      {false, {u"\u00e4\u00f6", u"\u00c4\u00d6"}, 1},  // non-ASCII case variants
      {true, {u"ab", u"a\u00adb", u"a-b"}, 3},          // a soft hyphen collates as nothing
  };
  ASSERT_EQ(CollateStrings(u"ab", u"a\u00adb", true), 0);  // what the tie-break is for
  for (const auto& c : cases) {
    TSummaryList list;
    list.SetCaseSensitive(c.caseSensitive);
    list.SetSorted(true);
    for (const char16_t* s : c.added) {
      int index;
      if (!list.Find(s, index)) list.Add(s);
    }
    EXPECT_EQ(list.Count(), c.entries) << ToUtf8(*c.added.begin()) << " " << c.caseSensitive;
  }
}

}  // namespace
