#include "unzip/wildcard_match.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using MC = TMatchCode;

std::string Show(StringView s) { return ToUtf8(s); }

TEST(WildcardMatch, Codes) {
  const struct {
    const char16_t* pattern;
    const char16_t* text;
    MC code;
  } cases[] = {
      // Plain characters, '?' and case.
      {u"*.TXT", u"ReadMe.txt", MC::mcValid},
      {u"f?le", u"FILE", MC::mcValid},
      {u"dir\\*.txt", u"dir\\x.txt", MC::mcValid},  // a backslash is an ordinary character
      {u"[a]", u"[A]", MC::mcValid},                // so are square brackets
      {u"[a]", u"a", MC::mcCharMismatch},
      {u"ab", u"ac", MC::mcCharMismatch},
      {u"abc", u"ab", MC::mcTextEnd},
      {u"ab", u"abc", MC::mcPatternEnd},
      {u"?", u"", MC::mcTextEnd},
      // Empty pattern and empty text.
      {u"", u"", MC::mcValid},
      {u"", u"a", MC::mcPatternEnd},
      {u"a", u"", MC::mcTextEnd},
      {u"*", u"", MC::mcValid},
      {u"*", u"anything at all", MC::mcValid},
      // Stars that take nothing at the end of the text.
      {u"a*", u"a", MC::mcValid},
      {u"a**", u"a", MC::mcValid},
      {u"**", u"", MC::mcValid},
      {u"x*<a>", u"x", MC::mcValid},
      // '?' after a star takes a character wherever it stands.
      {u"*?", u"ab", MC::mcValid},
      {u"*?", u"a", MC::mcValid},
      {u"*?", u"", MC::mcTextEnd},
      {u"a*?", u"ab", MC::mcValid},
      {u"a*?", u"a", MC::mcTextEnd},
      {u"*a", u"b", MC::mcTextEnd},
      {u"a*b*c", u"aXbYbZc", MC::mcValid},
      {u"a*b*c", u"aXbYbZ", MC::mcTextEnd},
      // Sets.
      {u"<a-c>x", u"bx", MC::mcValid},
      {u"<A-C>x", u"bX", MC::mcValid},
      {u"<!a-c>x", u"bx", MC::mcSetMismatch},
      {u"<^a-c>x", u"dx", MC::mcValid},
      {u"<c-a>x", u"bx", MC::mcSetMismatch},  // a reversed range holds nothing
      {u"<-a>", u"-", MC::mcValid},
      {u"<a-c-e>", u"-", MC::mcValid},  // '-' after a complete member is a member
      {u"<a-c-e>", u"d", MC::mcSetMismatch},
      {u"<<>", u"<", MC::mcValid},
      {u"<a>", u"", MC::mcTextEnd},
      // Star sets.
      {u"*<a-c>", u"abc", MC::mcValid},
      {u"*<a-c>", u"abd", MC::mcTextEnd},
      {u"*<a-c>x", u"abx", MC::mcValid},
      {u"*<a-c>x", u"a", MC::mcTextEnd},
      {u"*<a-c>x", u"axzx", MC::mcTextEnd},
      {u"*<!x>y", u"aay", MC::mcValid},
      {u"*<!x>y", u"axy", MC::mcTextEnd},
      {u"*<^\\>.txt", u"readme.txt", MC::mcValid},  // a star that stays in one folder
      {u"*<^\\>.txt", u"docs\\readme.txt", MC::mcTextEnd},
      // Pattern elements are taken in order: the star set runs before the '?'.
      {u"*<a>?", u"ab", MC::mcValid},
      {u"*<a>?", u"ba", MC::mcTextEnd},
      {u"*<a>?", u"bb", MC::mcTextEnd},
      // A star directly followed by a set is always a star set.
      {u"**<b>", u"xbb", MC::mcValid},
      {u"**<b>", u"x", MC::mcValid},
      {u"*x*<b>", u"axc", MC::mcTextEnd},
      // Malformed sets are reported whatever the text, even after an earlier mismatch.
      {u"<>", u"a", MC::mcBadPattern},
      {u"<a->", u"a", MC::mcBadPattern},
      {u"<ab", u"a", MC::mcBadPattern},
      {u"<ab", u"c", MC::mcBadPattern},
      {u"<!>", u"a", MC::mcBadPattern},
      {u"<^", u"a", MC::mcBadPattern},
      {u"<", u"", MC::mcBadPattern},
      {u"*<>", u"a", MC::mcBadPattern},
      {u"*<a-", u"a", MC::mcBadPattern},
      {u"x<>", u"y", MC::mcBadPattern},
      {u"abc*<a", u"abc", MC::mcBadPattern},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Show(c.pattern) + " vs " + Show(c.text));
    EXPECT_EQ(WildcardMatchCode(c.pattern, c.text), c.code);
    EXPECT_EQ(WildcardMatch(c.pattern, c.text), c.code == MC::mcValid);
  }
}

TEST(WildcardMatch, StarRuns) {
  const TCharSet plain;
  const TCharSet aToC{{{u'a', u'c'}}, false};
  const TCharSet notX{{{u'x', u'x'}}, true};
  const TCharSet notXButEmpty{{}, true};  // no members: a plain star whatever the flag
  const struct {
    const char16_t* tail;
    const char16_t* text;
    const TCharSet& set;
    MC code;
  } cases[] = {
      {u".TXT", u"ReadMe.txt", plain, MC::mcValid},
      {u"", u"anything", plain, MC::mcValid},
      {u"", u"", plain, MC::mcValid},
      {u"?", u"", plain, MC::mcTextEnd},
      {u"b*c", u"xxbyyc", plain, MC::mcValid},
      {u"b*c", u"xxbyy", plain, MC::mcTextEnd},
      {u"", u"abc", aToC, MC::mcValid},
      {u"", u"abd", aToC, MC::mcTextEnd},
      {u"x", u"abx", aToC, MC::mcValid},
      {u"x", u"adx", aToC, MC::mcTextEnd},
      {u"y", u"aay", notX, MC::mcValid},
      {u"y", u"axy", notX, MC::mcTextEnd},
      {u"y", u"axy", notXButEmpty, MC::mcValid},
      {u"<a-", u"a", plain, MC::mcBadPattern},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Show(c.tail) + " vs " + Show(c.text));
    EXPECT_EQ(MatchStarRun(c.tail, c.text, c.set), c.code);
  }
  // No trial per position and star: a long text under many stars ends at once.
  String tail;
  for (int i = 0; i < 1000; ++i) tail += u"a*";
  EXPECT_EQ(MatchStarRun(tail + u"b", String(5000, u'a'), plain), MC::mcTextEnd);
}

TEST(WildcardMatch, BadSetPositionNamesTheOpeningBracket) {
  const struct {
    const char16_t* pattern;
    size_t position;
  } cases[] = {
      {u"abc", 0}, {u"<a>", 0}, {u"ab<c", 3}, {u"*<>", 2}, {u"<a><b-", 4}, {u"x*<a-c", 3},
  };
  for (const auto& c : cases) {
    const TWildcardPattern p(c.pattern);
    EXPECT_EQ(p.BadSetPosition(), c.position) << Show(c.pattern);
    EXPECT_EQ(p.IsValid(), c.position == 0) << Show(c.pattern);
  }
}

TEST(WildcardMatch, CompiledPatternMatchesManyTexts) {
  const TWildcardPattern p(u"Docs\\*<!\\>.TXT");
  EXPECT_EQ(p.Text(), u"docs\\*<!\\>.txt");
  EXPECT_TRUE(p.Matches(u"DOCS\\Manual.txt"));
  EXPECT_TRUE(p.Matches(u"docs\\.txt"));
  EXPECT_FALSE(p.Matches(u"docs\\sub\\deep.txt"));
  EXPECT_EQ(p.MatchCode(u"dox"), MC::mcCharMismatch);
}

TEST(WildcardMatch, CharSetMembership) {
  TCharSet set;
  EXPECT_FALSE(IsInCharSet(u'a', set));
  set.Ranges = {{u'a', u'c'}, {u'z', u'x'}, {u'-', u'-'}};
  for (Char c : {u'a', u'b', u'c', u'-'}) EXPECT_TRUE(IsInCharSet(c, set)) << char(c);
  for (Char c : {u'd', u'x', u'y', u'z', u'`'}) EXPECT_FALSE(IsInCharSet(c, set)) << char(c);
  EXPECT_TRUE(CharSetAdmits(u'b', set));
  set.Negated = true;
  EXPECT_TRUE(IsInCharSet(u'b', set));
  EXPECT_FALSE(CharSetAdmits(u'b', set));
  EXPECT_TRUE(CharSetAdmits(u'y', set));
}

// Backtracking over every star would take on the order of 10000^6 steps here, and
// one stack frame per star and text position.
TEST(WildcardMatch, ManyStarsOverLongTextsFinish) {
  const String as(10000, u'a');
  EXPECT_EQ(WildcardMatchCode(u"*a*a*a*a*a*a*b", as), MC::mcTextEnd);
  EXPECT_EQ(WildcardMatchCode(u"*a*a*a*a*a*a*b", as + u"b"), MC::mcValid);

  String stars;
  for (int i = 0; i < 1000; ++i) stars += u"*a";
  EXPECT_EQ(WildcardMatchCode(stars + u"b", String(2000, u'a')), MC::mcTextEnd);
  EXPECT_EQ(WildcardMatchCode(stars, String(2000, u'a')), MC::mcValid);
  EXPECT_EQ(WildcardMatchCode(String(20000, u'*') + u"?", u"x"), MC::mcValid);
}

}  // namespace
