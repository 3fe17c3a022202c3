#include <gtest/gtest.h>

#include "base/string.h"
#include "unzip/entry_path_check.h"

namespace {

TEST(EntryPathCheck, JudgesEachComponent) {
  const struct {
    const char16_t* path;
    bool safe;
  } cases[] = {
      {u"a.txt", true},
      {u"docs\\manual.txt", true},
      {u"docs\\", true},
      {u"\\rooted\\x.txt", true},  // taken from the destination folder
      {u"a..b\\.hidden", true},
      {u"COMPUTER.txt", true},
      {u"com0", true},
      {u"", false},
      {u"\\", false},
      {u"..", false},
      {u"..\\evil.txt", false},
      {u"a\\..\\..\\evil.txt", false},
      {u"a\\.\\b", false},
      {u"...", false},
      {u"a\\ \\b", false},
      {u"a\\\\b", false},           // empty component
      {u"\\\\server\\share\\x", false},  // UNC
      {u"C:\\x.txt", false},
      {u"C:x.txt", false},
      {u"a:b", false},              // alternate data stream
      {u"x.txt.", false},
      {u"x.txt ", false},
      {u"dir.\\x", false},
      {u"CON", false},
      {u"nul.txt", false},
      {u"a\\Com1\\b", false},
      {u"LPT9.log", false},
      {u"aux .txt", false},
      {u"CONOUT$", false},
      {u"COM\u00B9", false},
      {u"a\x01" u"b", false},
      {u"a<b", false},
      {u"a|b", false},
      {u"what?", false},
      {u"star*", false},
      {u"q\"uote", false},
      {u"a/b", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.path));
    EXPECT_EQ(IsSafeEntryPath(c.path), c.safe);
  }
}

}  // namespace
