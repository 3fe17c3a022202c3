#include "common/xr_misc_text.h"

#include <climits>

#include <gtest/gtest.h>

TEST(RemoveSubStr, DeletesPassByPassFromTheStart) {
  struct Case {
    String s, sub;
    int count;
    String expected;
  } cases[] = {
      {u"aabb", u"ab", 2, u""},  // the first deletion joins a new occurrence
      {u"aabb", u"ab", 1, u"ab"},
      {u"x.exe.exe", u".exe", 1, u"x.exe"},
      {u"x.exe.exe", u".exe", INT_MAX, u"x"},
      {u"abc", u"b", 0, u"abc"},
      {u"abc", u"b", -1, u"abc"},
      {u"abc", u"b", INT_MIN, u"abc"},
      {u"abc", u"", 5, u"abc"},
      {u"ab", u"abc", 1, u"ab"},
      {u"ABab", u"ab", 5, u"AB"},  // case counts
  };
  for (const auto& c : cases) {
    String s = c.s;
    RemoveSubStr(s, c.sub, c.count);
    EXPECT_EQ(s, c.expected) << ToUtf8(c.s) << " - " << ToUtf8(c.sub) << " x" << c.count;
  }
}

TEST(SingleCharRemoval, RemovesAtMostOneCharacterAtTheEnds) {
  String s = u"..txt";
  RemoveLeadingChar(s, u'.');
  EXPECT_EQ(s, u".txt");
  s = u"C:\\data\\\\";
  RemoveTrailingChar(s, u'\\');
  EXPECT_EQ(s, u"C:\\data\\");
  s = u"Abc";
  RemoveLeadingChar(s, u'a');
  RemoveTrailingChar(s, u'C');
  EXPECT_EQ(s, u"Abc");
  s = u"";
  RemoveLeadingChar(s, u'.');
  RemoveTrailingChar(s, u'.');
  RemoveLastChar(s);
  EXPECT_EQ(s, u"");
  s = u"x";
  RemoveLastChar(s);
  EXPECT_EQ(s, u"");
}

TEST(RemoveChar, RemovesEveryOccurrence) {
  EXPECT_EQ(RemoveChar(u"50.0%", u'%'), u"50.0");
  EXPECT_EQ(RemoveChar(u"%%%", u'%'), u"");
  EXPECT_EQ(RemoveChar(u"", u'%'), u"");
  EXPECT_EQ(RemoveChar(u"a%b%c", u'%'), u"abc");
}

TEST(RemoveChars, KeepsCodesBeyondTheSet) {
  TCharSet all;
  all.set();
  EXPECT_EQ(RemoveChars(u"ab\u03A9c", all), u"\u03A9");
  TCharSet tabs;
  tabs.set(9);
  tabs.set(13);
  EXPECT_EQ(RemoveChars(u"a\tb\rc\n", tabs), u"abc\n");
  EXPECT_EQ(RemoveChars(u"", all), u"");
  // Code 256 + 9 is not code 9.
  EXPECT_EQ(RemoveChars(u"\u0109", tabs), u"\u0109");
}

TEST(LastCharPos, FindsTheLastOccurrence) {
  EXPECT_EQ(LastCharPos(u"a.b.c", u'.'), 4);
  EXPECT_EQ(LastCharPos(u"", u'.'), 0);
  EXPECT_EQ(LastCharPos(u"abc", u'.'), 0);
  EXPECT_EQ(LastCharPos(u".", u'.'), 1);
}

TEST(GetToken, SplitsAtEveryDelimiter) {
  struct Case {
    String s;
    int n;
    String expected;
  } cases[] = {
      {u"1|2|Hello|Title", 1, u"1"},  {u"1|2|Hello|Title", 2, u"2"},
      {u"1|2|Hello|Title", 3, u"Hello"}, {u"1|2|Hello|Title", 4, u"Title"},
      {u"1|2|Hello|Title", 5, u""},   {u"a||b", 2, u""},
      {u"a||b", 3, u"b"},             {u"|a", 1, u""},
      {u"|a", 2, u"a"},               {u"a|", 2, u""},
      {u"a|b", 0, u""},               {u"a|b", -1, u""},
      {u"a|b", INT_MIN, u""},         {u"a|b", INT_MAX, u""},
      {u"", 1, u""},                  {u"abc", 1, u"abc"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(GetToken(c.s, c.n, u'|'), c.expected) << ToUtf8(c.s) << " #" << c.n;
  EXPECT_EQ(GetToken(u"C:\\Program Files\\Quorlix", 2, u'\\'), u"Program Files");
}

TEST(CountTokens, CountsTheFieldsGetTokenFinds) {
  struct Case {
    String s;
    int expected;
  } cases[] = {
      {u"", 0}, {u"C:", 1}, {u"C:\\a\\b", 3}, {u"C:\\a\\", 3}, {u"\\\\", 3},
      {u"C:/a", 1},  // only the delimiter given counts
  };
  for (const auto& c : cases) EXPECT_EQ(CountTokens(c.s, u'\\'), c.expected) << ToUtf8(c.s);
}

TEST(AfterLastChar, TakesTheTextAfterTheLastOccurrence) {
  EXPECT_EQ(AfterLastChar(u"files/setup.zip", u'/'), u"setup.zip");
  EXPECT_EQ(AfterLastChar(u"setup.zip", u'/'), u"setup.zip");
  EXPECT_EQ(AfterLastChar(u"dir/", u'/'), u"");
  EXPECT_EQ(AfterLastChar(u"C:\\tmp\\a.zip", u'\\'), u"a.zip");
  EXPECT_EQ(AfterLastChar(u"", u'/'), u"");
}

TEST(ExtractFileNameNoExt, TakesTheNameBetweenSeparatorAndLastDot) {
  struct Case {
    String path, expected;
  } cases[] = {
      {u"C:\\dir\\file.tar.gz", u"file.tar"},
      {u"C:file.txt", u"file"},
      {u"readme", u"readme"},
      {u".txt", u""},
      {u"", u""},
      {u"C:\\dir\\.profile", u""},
      // A dot only in a folder name is no extension: the name stays whole.
      {u"C:\\dir\\readme", u"readme"},
      {u"C:\\my.dir\\readme", u"readme"},
      {u"C:\\my.dir\\", u""},
  };
  for (const auto& c : cases) EXPECT_EQ(ExtractFileNameNoExt(c.path), c.expected) << ToUtf8(c.path);
}
