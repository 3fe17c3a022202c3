#include "base/string.h"

#include <gtest/gtest.h>

TEST(Utf8, RoundTripsAllPlanes) {
  const String text = u"a\u00e9\u20ac\U0001F600z";
  EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
}

TEST(Utf8, MalformedInputDecodesToReplacement) {
  struct Case {
    const char* bytes;
    String expected;
  } cases[] = {
      {"\xC0\xAF", u"\uFFFD\uFFFD"},          // overlong '/': C0 is never a lead
      {"\xE0\x80\xAF", u"\uFFFD"},            // overlong three-byte form
      {"\xED\xA0\x80", u"\uFFFD"},            // encoded surrogate
      {"\xF4\x90\x80\x80", u"\uFFFD"},        // above U+10FFFF
      {"\xE2\x82", u"\uFFFD"},                // truncated at the end
      {"\xE2\x82x", u"\uFFFDx"},              // truncated before ASCII
      {"\x80", u"\uFFFD"},                    // stray continuation
  };
  for (const auto& c : cases) EXPECT_EQ(FromUtf8(c.bytes), c.expected) << c.bytes;
}
