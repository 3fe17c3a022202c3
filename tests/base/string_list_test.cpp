#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <vector>

#include "base/exception.h"
#include "base/stream.h"
#include "base/string_list.h"
#include "temp_dir.h"

namespace {
std::vector<String> Lines(const TStringList& list) {
  std::vector<String> out;
  for (int i = 0; i < list.Count(); ++i) out.push_back(list[i]);
  return out;
}

// Counts its own destructions, to see owned objects freed exactly once.
struct Tracked : TObject {
  explicit Tracked(int* deaths, int value = 0) : deaths(deaths), value(value) {}
  ~Tracked() override { ++*deaths; }
  int* deaths;
  int value;
};

std::string Utf8(const Exception& e) { return ToUtf8(e.Message()); }
}  // namespace

TEST(StringList, IndexErrors) {
  TStringList list;
  list.Add(u"a");
  struct Case {
    int index;
    const char* message;
  } cases[] = {{-1, "List index out of bounds (-1)"},
               {1, "List index out of bounds (1)"},
               {INT32_MIN, "List index out of bounds (-2147483648)"}};
  for (const auto& c : cases) {
    try {
      list.Strings(c.index);
      ADD_FAILURE() << c.index;
    } catch (const EListError& e) {
      EXPECT_EQ(Utf8(e), c.message);
    }
    EXPECT_THROW(list.Objects(c.index), EListError);
    EXPECT_THROW(list.Delete(c.index), EListError);
    EXPECT_THROW(list.Exchange(0, c.index), EListError);
  }
  EXPECT_NO_THROW(list.Insert(1, u"end"));  // Count itself is a place to insert
  EXPECT_THROW(list.Insert(3, u"x"), EListError);
}

TEST(StringList, SortedModeRefusesPlacedChanges) {
  TStringList list;
  list.SetSorted(true);
  list.Add(u"b");
  for (auto op :
       {+[](TStringList& l) { l.Insert(0, u"a"); },
        +[](TStringList& l) { l.InsertObject(0, u"a", nullptr); }}) {
    try {
      op(list);
      ADD_FAILURE();
    } catch (const EListError& e) {
      EXPECT_EQ(Utf8(e), "Operation not allowed on sorted list");
    }
  }
}

TEST(StringList, SortedAddByDuplicatesRule) {
  struct Case {
    TDuplicates rule;
    bool caseSensitive;
    std::vector<String> expected;  // empty: the third Add raises
  } cases[] = {
      {TDuplicates::dupIgnore, false, {u"a", u"B", u"c"}},
      {TDuplicates::dupAccept, false, {u"a", u"b", u"B", u"c"}},
      {TDuplicates::dupError, false, {}},
      {TDuplicates::dupIgnore, true, {}},  // filled below: order is the locale's
  };
  for (auto& c : cases) {
    TStringList list;
    list.SetSorted(true);
    list.SetDuplicates(c.rule);
    list.SetCaseSensitive(c.caseSensitive);
    list.Add(u"c");
    list.Add(u"B");
    list.Add(u"a");
    if (c.rule == TDuplicates::dupError) {
      try {
        list.Add(u"b");
        ADD_FAILURE();
      } catch (const EListError& e) {
        EXPECT_EQ(Utf8(e), "String list does not allow duplicates");
      }
      EXPECT_EQ(list.Count(), 3);
      continue;
    }
    const int index = list.Add(u"b");
    if (c.caseSensitive) {
      EXPECT_EQ(list.Count(), 4);  // "b" and "B" differ
      EXPECT_EQ(list[index], u"b");
      continue;
    }
    EXPECT_EQ(Lines(list), c.expected);
    EXPECT_EQ(index, 1);  // the existing entry, or the place before it
  }
}

TEST(StringList, FindBisectsAndGivesTheInsertPlace) {
  TStringList list;
  list.SetSorted(true);
  list.SetDuplicates(TDuplicates::dupAccept);
  for (const char16_t* s : {u"m", u"c", u"x", u"c", u"c", u"q"}) list.Add(s);
  ASSERT_EQ(Lines(list), (std::vector<String>{u"c", u"c", u"c", u"m", u"q", u"x"}));
  struct Case {
    const char16_t* key;
    bool found;
    int index;
  } cases[] = {{u"c", true, 0}, {u"C", true, 0},  {u"a", false, 0}, {u"d", false, 3},
               {u"q", true, 4}, {u"z", false, 6}, {u"", false, 0}};
  for (const auto& c : cases) {
    int index = -1;
    EXPECT_EQ(list.Find(c.key, index), c.found) << ToUtf8(c.key);
    EXPECT_EQ(index, c.index) << ToUtf8(c.key);
  }
  EXPECT_EQ(list.IndexOf(u"Q"), 4);
  EXPECT_EQ(list.IndexOf(u"b"), -1);
}

TEST(StringList, CompareStringsIsTheOrder) {
  // A subclass breaks ties of the case-insensitive order by ordinal comparison,
  // so that texts that only differ by case stay distinct keys.
  struct TieBreaking : TStringList {
    int CompareStrings(StringView a, StringView b) const override {
      const int r = TStringList::CompareStrings(a, b);
      return r ? r : a.compare(b);
    }
  };
  TieBreaking list;
  list.SetSorted(true);
  for (const char16_t* s : {u"b", u"B", u"a", u"b"}) list.Add(s);
  EXPECT_EQ(Lines(list), (std::vector<String>{u"a", u"B", u"b"}));
}

TEST(StringList, TurningSortedOnSortsAndCaseChangeResorts) {
  TStringList list;
  for (const char16_t* s : {u"b", u"C", u"a"}) list.Add(s);
  list.SetSorted(true);
  EXPECT_EQ(Lines(list), (std::vector<String>{u"a", u"b", u"C"}));
  list.SetCaseSensitive(true);
  int index;
  EXPECT_FALSE(list.Find(u"c", index));
  EXPECT_TRUE(list.Find(u"C", index));
  list.SetSorted(false);
  list.Add(u"0");
  EXPECT_EQ(list[list.Count() - 1], u"0");  // unsorted: appended
}

#ifdef _WIN32
TEST(StringList, CaseSensitiveOrderIsTheLocales) {
  // The user locale's collation puts a lower-case letter just before its capital;
  // code order would put every capital first.
  TStringList list;
  list.SetCaseSensitive(true);
  list.SetSorted(true);
  for (const char16_t* s : {u".txt", u".Doc", u".TXT", u".doc"}) list.Add(s);
  EXPECT_EQ(Lines(list), (std::vector<String>{u".doc", u".Doc", u".txt", u".TXT"}));
}
#endif

namespace {
int ByValue(TStringList& list, int a, int b) {
  const int x = static_cast<Tracked*>(list.Objects(a))->value;
  const int y = static_cast<Tracked*>(list.Objects(b))->value;
  return x < y ? -1 : x > y ? 1 : 0;
}
int ByValueDescending(TStringList& list, int a, int b) { return ByValue(list, b, a); }
int Inconsistent(TStringList&, int, int) { return -1; }
}  // namespace

TEST(StringList, CustomSortOrders) {
  struct Case {
    const char* name;
    std::vector<int> input;
  } cases[] = {
      {"empty", {}},
      {"one", {5}},
      {"sorted", {}},
      {"reversed", {}},
      {"equal", std::vector<int>(500, 7)},
      {"mixed", {3, 1, 4, 1, 5, 9, 2, 6, 5, 3, 5, 8, 9, 7, 9, 3, 2, 3, 8, 4}},
  };
  cases[2].input.resize(20000);
  std::iota(cases[2].input.begin(), cases[2].input.end(), 0);
  cases[3].input = cases[2].input;
  std::reverse(cases[3].input.begin(), cases[3].input.end());
  for (const auto& c : cases) {
    for (const bool descending : {false, true}) {
      int deaths = 0;
      {
        TStringList list;
        for (int v : c.input) list.AddObject(u"k", std::make_unique<Tracked>(&deaths, v));
        list.CustomSort(descending ? ByValueDescending : ByValue);
        std::vector<int> got;
        for (int i = 0; i < list.Count(); ++i)
          got.push_back(static_cast<Tracked*>(list.Objects(i))->value);
        std::vector<int> want = c.input;
        std::sort(want.begin(), want.end());
        if (descending) std::reverse(want.begin(), want.end());
        EXPECT_EQ(got, want) << c.name;
        EXPECT_FALSE(list.Sorted());
      }
      EXPECT_EQ(deaths, int(c.input.size())) << c.name;  // each owned object freed once
    }
  }
}

TEST(StringList, CustomSortSurvivesAnInconsistentComparator) {
  TStringList list;
  for (int i = 0; i < 100; ++i) list.Add(u"x");
  list.CustomSort(Inconsistent);
  EXPECT_EQ(list.Count(), 100);
}

TEST(StringList, CustomSortLeavesASortedListAlone) {
  int deaths = 0;
  TStringList list;
  list.SetSorted(true);
  list.AddObject(u"a", std::make_unique<Tracked>(&deaths, 2));
  list.AddObject(u"b", std::make_unique<Tracked>(&deaths, 1));
  list.CustomSort(ByValue);
  EXPECT_EQ(Lines(list), (std::vector<String>{u"a", u"b"}));
  list.SetSorted(false);
  list.CustomSort(ByValue);
  EXPECT_EQ(Lines(list), (std::vector<String>{u"b", u"a"}));
  list.SetSorted(true);  // back to its own order
  EXPECT_EQ(Lines(list), (std::vector<String>{u"a", u"b"}));
}

TEST(StringList, OwnedAndReferencedObjects) {
  int deaths = 0;
  Tracked outside(&deaths);
  {
    TStringList list;
    list.AddObject(u"owned", std::make_unique<Tracked>(&deaths));
    list.AddObject(u"referenced", &outside);
    list.AddObject(u"replaced", std::make_unique<Tracked>(&deaths));
    list.SetObject(2, &outside);  // the owned one goes
    EXPECT_EQ(deaths, 1);
    list.SetObject(0, list.Objects(0));  // the same object stays owned and alive
    EXPECT_EQ(deaths, 1);
    EXPECT_EQ(list.Objects(1), &outside);
    TStringList copy;
    copy.Assign(list);  // copies reference the objects
    EXPECT_EQ(copy.Objects(0), list.Objects(0));
    list.Delete(0);
    EXPECT_EQ(deaths, 2);
    list.SetObject(0, std::make_unique<Tracked>(&deaths));
  }
  EXPECT_EQ(deaths, 3);  // the list freed the last owned object, not 'outside'
}

TEST(StringList, AssignFromOtherClassesRaises) {
  TStringList list;
  TPersistent other;
  try {
    list.Assign(other);
    ADD_FAILURE();
  } catch (const EConvertError& e) {
    EXPECT_EQ(Utf8(e), "Cannot assign a TPersistent to a TStringList");
  }
  list.Add(u"x");
  list.Assign(list);
  EXPECT_EQ(list.Count(), 1);
}

TEST(StringList, TextSplitsAtEveryLineBreak) {
  struct Case {
    const char16_t* text;
    std::vector<String> lines;
  } cases[] = {
      {u"", {}},
      {u"a", {u"a"}},
      {u"a\r\n", {u"a"}},
      {u"a\r\nb", {u"a", u"b"}},
      {u"a\nb\rc\r\nd", {u"a", u"b", u"c", u"d"}},
      {u"\r\n", {u""}},
      {u"a\n\nb", {u"a", u"", u"b"}},
      {u"a\r\rb", {u"a", u"", u"b"}},
      {u"a\n\r", {u"a", u""}},
      {u" x \t", {u" x \t"}},
  };
  for (const auto& c : cases) {
    TStringList list;
    list.Add(u"old");
    list.SetText(c.text);
    EXPECT_EQ(Lines(list), c.lines) << ToUtf8(c.text);
  }
  TStringList list;
  list.Add(u"a");
  list.Add(u"");
  list.Add(u"b");
  EXPECT_EQ(list.Text(), u"a\r\n\r\nb\r\n");
}

TEST(StringList, LoadDecodesByBom) {
  struct Case {
    const char* name;
    std::string bytes;
    TTextEncoding encoding;
    std::vector<String> lines;
  } cases[] = {
      {"ansi", "caf\xE9\r\n\x80", TTextEncoding::Ansi, {u"caf\u00e9", u"\u20ac"}},
      {"utf-8 bom",
       "\xEF\xBB\xBF"
       "caf\xC3\xA9\nx",
       TTextEncoding::Ansi,
       {u"caf\u00e9", u"x"}},
      {"utf-8 asked", "caf\xC3\xA9", TTextEncoding::Utf8, {u"caf\u00e9"}},
      {"utf-16 bom",
       std::string("\xFF\xFE"
                   "a\0\xAC\x20\r\0\n\0b\0",
                   12),
       TTextEncoding::Ansi,
       {u"a\u20ac", u"b"}},
      {"utf-16 odd",
       std::string("\xFF\xFE"
                   "a\0b",
                   5),
       TTextEncoding::Ansi,
       {u"a\uFFFD"}},
      {"empty", "", TTextEncoding::Utf8, {}},
  };
  for (const auto& c : cases) {
    TReadOnlyMemoryStream in(c.bytes.data(), c.bytes.size());
    TStringList list;
    list.LoadFromStream(in, c.encoding);
    EXPECT_EQ(Lines(list), c.lines) << c.name;
  }
}

TEST(StringList, SaveAndLoadFiles) {
  TempDir dir;
  TStringList list;
  list.Add(u"caf\u00e9 \u20ac");
  list.Add(u"\u4e2d");
  struct Case {
    TTextEncoding encoding;
    std::string start;
    bool lossless;
  } cases[] = {{TTextEncoding::Utf8, "\xEF\xBB\xBF", true},
               {TTextEncoding::Utf16LE, "\xFF\xFE", true},
               {TTextEncoding::Ansi, "caf\xE9 \x80\r\n?\r\n", false}};
  for (const auto& c : cases) {
    const String name = dir.File(u"lines.txt");
    list.SaveToFile(name, c.encoding);
    TMemoryStream raw;
    raw.LoadFromFile(name);
    const std::string bytes(raw.Bytes().begin(), raw.Bytes().end());
    EXPECT_EQ(bytes.substr(0, c.start.size()), c.start);
    TStringList back;
    back.LoadFromFile(name);  // the BOM decides
    if (c.lossless)
      EXPECT_EQ(Lines(back), Lines(list));
    else
      EXPECT_EQ(Lines(back), (std::vector<String>{u"caf\u00e9 \u20ac", u"?"}));
  }
  TStringList missing;
  EXPECT_THROW(missing.LoadFromFile(dir.File(u"none.txt")), EFOpenError);
}

TEST(StringList, LoadReadsUntilTheStreamEnds) {
  // A stream whose Size lies (pipes, sockets) still loads all it gives.
  struct Dribble : TStream {
    int left = 5;
    int32_t Read(void* buffer, int32_t count) override {
      if (count <= 0 || left == 0) return 0;
      --left;
      *static_cast<char*>(buffer) = left ? 'a' : '\n';
      return 1;
    }
    int32_t Write(const void*, int32_t) override { return 0; }
    int64_t Seek(int64_t, TSeekOrigin) override { return 0; }
  } in;
  TStringList list;
  list.LoadFromStream(in);
  EXPECT_EQ(Lines(list), (std::vector<String>{u"aaaa"}));
}
