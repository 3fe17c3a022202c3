#include "net/http_text.h"

#include <gtest/gtest.h>

#include "net/http_errors.h"

TEST(CharsetOf, ReadsTheParameterWhereverItStands) {
  struct Case {
    String contentType, charset;
  } cases[] = {
      {u"text/plain", u""},
      {u"", u""},
      {u"text/plain; charset=UTF-8", u"utf-8"},
      {u"text/plain;charset=iso-8859-1", u"iso-8859-1"},
      {u"text/plain; format=flowed; charset=\"windows-1251\"", u"windows-1251"},
      {u"text/plain; name=\"a;charset=x\"; charset=utf-8", u"utf-8"},
      {u"text/plain; CHARSET = koi8-r ; q=1", u"koi8-r"},
      {u"text/plain; broken; charset=utf-8", u"utf-8"},
      {u"text/plain; charset=", u""},
      {u"text/plain; charset=\"utf-8", u"utf-8"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CharsetOf(c.contentType), c.charset) << ToUtf8(c.contentType);
  }
}

TEST(IsValidUtf8, RejectsWhatStrictDecodingWouldReplace) {
  struct Case {
    std::string bytes;
    bool valid;
  } cases[] = {
      {"", true},
      {"plain", true},
      {"caf\xC3\xA9", true},
      {"\xF0\x9F\x98\x80", true},
      {"\xF4\x8F\xBF\xBF", true},
      {"caf\xE9", false},           // a Latin-1 byte
      {"\xC3", false},              // cut short
      {"\xE2\x82", false},          // cut short
      {"\xC0\xAF", false},          // overlong
      {"\xE0\x80\xAF", false},      // overlong
      {"\xED\xA0\x80", false},      // surrogate
      {"\xF4\x90\x80\x80", false},  // above U+10FFFF
      {"\x80", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsValidUtf8(c.bytes), c.valid) << c.bytes;
}

TEST(DecodeHttpText, AByteOrderMarkWinsOverTheCharset) {
  EXPECT_EQ(DecodeHttpText("\xEF\xBB\xBF"
                           "1.2",
                           u"iso-8859-1", u"x"),
            u"1.2");
  EXPECT_EQ(DecodeHttpText(std::string("\xFF\xFE"
                                       "1\0.\0",
                                       6),
                           u"", u"x"),
            u"1.");
  EXPECT_EQ(DecodeHttpText(std::string("\xFE\xFF\0"
                                       "1\0.",
                                       6),
                           u"utf-8", u"x"),
            u"1.");
  // An odd trailing byte cannot be half a character silently.
  EXPECT_EQ(DecodeHttpText(std::string("\xFF\xFE"
                                       "1\0.",
                                       5),
                           u"", u"x"),
            u"1\uFFFD");
}

TEST(DecodeHttpText, UnknownCharsetFailsNamingIt) {
  try {
    DecodeHttpText("abc", u"x-unheard-of", u"http://h/v.dat");
    FAIL() << "decoded";
  } catch (const EHttpError& e) {
    EXPECT_EQ(e.Message(),
              u"The text at http://h/v.dat uses the character set \"x-unheard-of\", which is not "
              u"supported.");
  }
}
