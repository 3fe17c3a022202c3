#include <gtest/gtest.h>

#include "base/exception.h"
#include "base/file_stream.h"
#include "base/files.h"
#include "temp_dir.h"

TEST(Files, ExistenceAndDeletion) {
  TempDir dir;
  const String file = dir.File(u"f \u00e9.txt");
  { TFileStream f(file, fmCreate); }
  struct Case {
    String path;
    bool file;
    bool folder;
  } cases[] = {
      {file, true, false},
      {dir.Path(), false, true},
      {dir.File(u"missing"), false, false},
      {u"", false, false},
      {file + String(1, u'\0') + u"x", false, false},  // an embedded zero is no name
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FileExists(c.path), c.file) << ToUtf8(c.path);
    EXPECT_EQ(DirectoryExists(c.path), c.folder) << ToUtf8(c.path);
  }
  EXPECT_FALSE(DeleteFileAt(dir.Path()));  // not a folder
  EXPECT_TRUE(DeleteFileAt(file));
  EXPECT_FALSE(FileExists(file));
  EXPECT_FALSE(DeleteFileAt(file));
}

TEST(Files, OneLevelFolders) {
  TempDir dir;
  const String folder = dir.File(u"sub");
  const String nested = TempDir::Join(dir.File(u"missing"), u"deeper");
  EXPECT_TRUE(CreateDir(folder));
  EXPECT_TRUE(DirectoryExists(folder));
  EXPECT_FALSE(CreateDir(folder));  // already there
  EXPECT_FALSE(CreateDir(nested));  // one level only
  EXPECT_FALSE(CreateDir(u""));
  EXPECT_THROW(MkDir(folder), EInOutError);
  try {
    MkDir(nested);
    ADD_FAILURE() << "created two levels";
  } catch (const EInOutError& e) {
    EXPECT_NE(e.ErrorCode(), 0u);
    EXPECT_FALSE(e.Message().empty());
  }
  { TFileStream f(TempDir::Join(folder, u"x"), fmCreate); }
  EXPECT_FALSE(RemoveDir(folder));  // not empty
  EXPECT_TRUE(DeleteFileAt(TempDir::Join(folder, u"x")));
  EXPECT_TRUE(RemoveDir(folder));
  EXPECT_FALSE(DirectoryExists(folder));
  EXPECT_FALSE(RemoveDir(folder));
}
