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

TEST(Path, ExtensionOfTheLastNameOnly) {
  struct Case {
    StringView path;
    StringView extension;
    StringView stem;  // the path without it
  } cases[] = {
      {u"C:\\dir\\file.tar.gz", u".gz", u"C:\\dir\\file.tar"},
      {u"file.txt", u".txt", u"file"},
      {u"C:file.txt", u".txt", u"C:file"},
      {u".profile", u".profile", u""},  // a dot at the start is the whole name's extension
      {u"name.", u".", u"name"},
      {u"readme", u"", u"readme"},
      {u"C:\\my.dir\\readme", u"", u"C:\\my.dir\\readme"},  // a folder's dot is no extension
      {u"C:\\my.dir\\", u"", u"C:\\my.dir\\"},
      {u"C:.", u".", u"C:"},
      {u"\\\\", u"", u"\\\\"},
      {u"", u"", u""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ExtensionPart(c.path), c.extension) << ToUtf8(c.path);
    EXPECT_EQ(WithoutExtension(c.path), c.stem) << ToUtf8(c.path);
    EXPECT_EQ(ExtensionStart(c.path), c.extension.empty() ? StringView::npos : c.stem.size())
        << ToUtf8(c.path);
  }
  // With slashes among the separators a dot before the last slash stays in the stem.
  EXPECT_EQ(ExtensionPart(u"a.b/c", kPathSeparatorsWithSlash), u"");
  EXPECT_EQ(ExtensionPart(u"a.b/c"), u".b/c");
  EXPECT_EQ(WithoutExtension(u"dir/a.b.zip", kPathSeparatorsWithSlash), u"dir/a.b");
}

TEST(Path, TrailingSeparators) {
  struct Case {
    StringView path;
    StringView added;       // with one trailing separator
    StringView withoutOne;  // at most one removed
    StringView withoutAll;
  } cases[] = {
      {u"C:\\dir", u"C:\\dir\\", u"C:\\dir", u"C:\\dir"},
      {u"C:\\dir\\", u"C:\\dir\\", u"C:\\dir", u"C:\\dir"},
      {u"C:\\dir\\\\", u"C:\\dir\\\\", u"C:\\dir\\", u"C:\\dir"},
      {u"C:\\", u"C:\\", u"C:", u"C:"},
      {u"\\", u"\\", u"", u""},
      {u"\\\\\\", u"\\\\\\", u"\\\\", u""},
      {u"", u"", u"", u""},  // no root is made from nothing
  };
  for (const auto& c : cases) {
    String path(c.path);
    AddTrailingSeparator(path);
    EXPECT_EQ(path, c.added) << ToUtf8(c.path);
    EXPECT_EQ(WithTrailingSeparator(c.path), c.added) << ToUtf8(c.path);
    EXPECT_EQ(WithoutTrailingSeparator(c.path), c.withoutOne) << ToUtf8(c.path);
    EXPECT_EQ(WithoutTrailingSeparators(c.path), c.withoutAll) << ToUtf8(c.path);
  }
  EXPECT_EQ(WithTrailingSeparator(u"a/b", u'/'), u"a/b/");
  EXPECT_EQ(WithTrailingSeparator(u"a\\", u'/'), u"a\\/");
  EXPECT_EQ(WithoutTrailingSeparators(u"a//", u'/'), u"a");
}
