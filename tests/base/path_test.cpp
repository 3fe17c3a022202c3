#include <gtest/gtest.h>

#include "base/path.h"

TEST(Path, FolderAndNameParts) {
  struct Case {
    StringView path;
    StringView folder;
    StringView name;
  } cases[] = {
      {u"C:\\dir\\file.txt", u"C:\\dir\\", u"file.txt"},
      {u"C:file.txt", u"C:", u"file.txt"},  // a drive's own current folder
      {u"C:\\", u"C:\\", u""},
      {u"\\\\server\\share\\a", u"\\\\server\\share\\", u"a"},
      {u"file.txt", u"", u"file.txt"},
      {u"", u"", u""},
      {u"dir/file", u"", u"dir/file"},  // '/' only where asked for
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FolderPart(c.path), c.folder) << ToUtf8(c.path);
    EXPECT_EQ(FileNamePart(c.path), c.name) << ToUtf8(c.path);
    EXPECT_EQ(FileNameStart(c.path), c.folder.size()) << ToUtf8(c.path);
  }
}

TEST(Path, OtherSeparators) {
  EXPECT_EQ(FolderPart(u"a/b\\c:d/e", u"/"), u"a/b\\c:d/");
  EXPECT_EQ(FileNamePart(u"C:\\a:b", u"\\"), u"a:b");
  EXPECT_EQ(FileNameStart(u"no-separator", u"\\/:"), 0u);
}
