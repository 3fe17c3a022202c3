#include "unzip/zip_file_routines.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "base/exception.h"
#include "tests/testlib/test_paths.h"
#include "unzip/zip_lib_routines.h"

namespace {

namespace fs = std::filesystem;

fs::path Fs(const String& p) { return fs::u8path(ToUtf8(HostFileName(p))); }

void WriteFile(const String& name, const std::string& bytes) {
  std::ofstream out(Fs(name), std::ios::binary);
  out << bytes;
}

// Backslash path below a scratch folder, for the routines that take zip-style paths.
String Below(const ScratchDir& dir, const String& rest) { return dir.Path() + u"\\" + rest; }

TEST(PathRoutines, SplitAtBackslashAndColonOnly) {
  const struct {
    const char16_t* path;
    const char16_t* dir;
    const char16_t* pathOf;
    const char16_t* name;
    const char16_t* ext;
  } cases[] = {
      {u"C:\\", u"C:\\", u"C:\\", u"", u""},
      {u"C:\\a\\b.txt", u"C:\\a", u"C:\\a\\", u"b.txt", u".txt"},
      {u"b.txt", u"", u"", u"b.txt", u".txt"},
      {u"sub\\b.txt", u"sub", u"sub\\", u"b.txt", u".txt"},
      {u"C:b.txt", u"C:", u"C:\\", u"b.txt", u".txt"},
      {u"\\b", u"\\", u"\\", u"b", u""},
      {u"a\\\\b", u"a\\\\", u"a\\\\", u"b", u""},
      {u"a.b\\c", u"a.b", u"a.b\\", u"c", u""},
      {u"c.tar.gz", u"", u"", u"c.tar.gz", u".gz"},
      {u"dir/x.y/z", u"", u"", u"dir/x.y/z", u".y/z"},  // '/' is not a separator here
      {u"", u"", u"", u"", u""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.path));
    EXPECT_EQ(FileDirOf(c.path), c.dir);
    EXPECT_EQ(FilePathOf(c.path), c.pathOf);
    EXPECT_EQ(FileNameOf(c.path), c.name);
    EXPECT_EQ(FileExtOf(c.path), c.ext);
  }
}

TEST(PathRoutines, ReplaceExt) {
  EXPECT_EQ(ReplaceExt(u"d\\a.zip", u".zfc"), u"d\\a.zfc");
  EXPECT_EQ(ReplaceExt(u"d.x\\a", u".zfc"), u"d.x\\a.zfc");
  EXPECT_EQ(ReplaceExt(u"a.tar.gz", u""), u"a.tar");
}

TEST(CompareNoCase, FoldsOnlyAsciiLetters) {
  const struct {
    const char16_t* a;
    const char16_t* b;
    int sign;
  } cases[] = {
      {u"abc", u"ABC", 0}, {u"a", u"ab", -1},          {u"ab", u"a", 1},
      {u"", u"", 0},       {u"_", u"a", 1},            // '_' sorts after 'A'
      {u"\u00e9", u"\u00c9", 1},                        // no folding beyond a-z
      {u"Zip", u"zIP", 0}, {u"a\\b", u"A\\C", -1},
  };
  for (const auto& c : cases) {
    const int r = CompareNoCase(c.a, c.b);
    EXPECT_EQ((r > 0) - (r < 0), c.sign) << ToUtf8(c.a) << " / " << ToUtf8(c.b);
  }
}

TEST(ScanChar, FindsCharacterOrTerminator) {
  const Char text[] = u"a\\b/c";
  EXPECT_EQ(ScanChar(text, u'/'), text + 3);
  EXPECT_EQ(ScanChar(text, u'\0'), text + 5);
  EXPECT_EQ(ScanChar(text, u'x'), nullptr);
  EXPECT_EQ(ScanChar(static_cast<const Char*>(nullptr), u'a'), nullptr);
}

TEST(DecodeUtf8Name, IsStrict) {
  const struct {
    std::string bytes;
    String text;  // empty for malformed input
  } cases[] = {
      {"\xC3\xA9", u"\u00e9"},
      {"a/b", u"a/b"},
      {"\xF0\x9F\x98\x80", u"\U0001F600"},
      {"\xC0\xAF", u""},          // overlong '/'
      {"\xE0\x80\xAF", u""},      // overlong '/', three bytes
      {"\xED\xA0\x80", u""},      // a surrogate
      {"\xF4\x90\x80\x80", u""},  // above U+10FFFF
      {"\xE2\x82", u""},          // truncated
  };
  EXPECT_EQ(DecodeUtf8Name(""), u"");
  for (const auto& c : cases) {
    const String got = DecodeUtf8Name(c.bytes);
    if (!c.text.empty()) {
      EXPECT_EQ(got, c.text);
      continue;
    }
    // Only replacement characters: no malformed form becomes a real character.
    EXPECT_FALSE(got.empty());
    for (Char ch : got) EXPECT_EQ(ch, u'\uFFFD') << c.bytes.size();
  }
}

TEST(LowerCaseOf, LowersLettersBeyondAscii) {
  EXPECT_EQ(LowerCaseOf(u"ABC\\D.TXT"), u"abc\\d.txt");
  EXPECT_EQ(LowerCaseOf(u"\u00C9T\u00C9"), u"\u00e9t\u00e9");
  EXPECT_EQ(LowerCaseOf(u""), u"");
}

TEST(MakeDirs, CreatesEveryMissingLevel) {
  ScratchDir dir("makedirs");
  const String deep = Below(dir, u"a\\b\\c\\d");
  EXPECT_TRUE(MakeDirs(deep + u"\\"));
  EXPECT_TRUE(FolderExists(deep));
  EXPECT_TRUE(MakeDirs(deep));  // already there
  // A file in the way of a level.
  WriteFile(Below(dir, u"file"), "x");
  EXPECT_FALSE(MakeDirs(Below(dir, u"file\\sub")));
  EXPECT_FALSE(FolderExists(Below(dir, u"file\\sub")));
}

TEST(MakeDirs, RejectsEmptyAndOverlongPaths) {
  try {
    MakeDirs(u"");
    FAIL() << "no exception";
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.Message(), u"Unable to create directory");
    EXPECT_EQ(e.ErrorCode(), 3u);
  }
  ScratchDir dir("makedirs-long");
  String longPath = dir.Path();
  while (longPath.size() <= kMaxPathLength) longPath += u"\\abcdefgh";
  EXPECT_FALSE(MakeDirs(longPath));
  EXPECT_FALSE(FolderExists(Below(dir, u"abcdefgh")));  // nothing created on the way
}

TEST(CanChangeDir, AnswersWithoutMovingTheCurrentFolder) {
  ScratchDir dir("canchangedir");
  WriteFile(Below(dir, u"f.txt"), "x");
  const fs::path before = fs::current_path();
  EXPECT_TRUE(CanChangeDir(dir.Path()));
  EXPECT_EQ(fs::current_path(), before);
  EXPECT_FALSE(CanChangeDir(Below(dir, u"missing")));
  EXPECT_FALSE(CanChangeDir(Below(dir, u"f.txt")));
  EXPECT_FALSE(CanChangeDir(u""));
  EXPECT_EQ(fs::current_path(), before);
}

TEST(FileTests, FoundExistsRemove) {
  ScratchDir dir("filetests");
  const String file = Below(dir, u"f.txt");
  WriteFile(file, "abc");
  EXPECT_TRUE(FileFound(file));
  EXPECT_FALSE(FolderExists(file));
  EXPECT_FALSE(FileFound(dir.Path()));
  EXPECT_TRUE(FolderExists(dir.Path()));
  EXPECT_FALSE(FileFound(Below(dir, u"none")));
  EXPECT_FALSE(FileFound(u""));
  EXPECT_TRUE(RemoveFile(file));
  EXPECT_FALSE(FileFound(file));
  EXPECT_FALSE(RemoveFile(file));
  EXPECT_FALSE(RemoveFile(dir.Path()));
}

TEST(FileTests, WildcardsInNamesMatchNothing) {
  // Names come from archives: a pattern must never stand for the files it would match.
  ScratchDir dir("wildcards");
  WriteFile(Below(dir, u"a.txt"), "abc");
  for (const char16_t* name : {u"*.txt", u"?.txt", u"a.*", u"*"}) {
    const String path = Below(dir, name);
    EXPECT_FALSE(FileFound(path)) << ToUtf8(name);
    EXPECT_EQ(FileDosAge(path), -1) << ToUtf8(name);
    EXPECT_EQ(GetAttributes(path), -1) << ToUtf8(name);
    EXPECT_FALSE(OpenFileHandle(path, 0).Valid()) << ToUtf8(name);
  }
}

TEST(Attributes, OnlyTheFourFileBitsAreSet) {
  // Stored attributes come from archives; the system would take folder, device,
  // temporary, compressed or encrypted bits from them too.
  const struct {
    int32_t stored;
    int32_t set;
  } cases[] = {
      {0, faNormal},
      {faReadOnly, faReadOnly},
      {faHidden | faSystem, faHidden | faSystem},
      {faArchive | faDirectory, faArchive},
      {faDirectory, faNormal},
      {0x40, faNormal},                            // device
      {faNormal, faNormal},
      {0x100 | 0x800 | 0x2000 | 0x4000, faNormal},  // temporary, compressed, not indexed, encrypted
      {faReadOnly | 0x4000, faReadOnly},
      {int32_t(0x80000000u) | faSystem, faSystem},
      {-1, faReadOnly | faHidden | faSystem | faArchive},
  };
  for (const auto& c : cases) EXPECT_EQ(AttributesToSet(c.stored), c.set) << c.stored;
}

TEST(Attributes, MaskedToTheFourFileBits) {
  ScratchDir dir("attributes");
  const String file = Below(dir, u"f.txt");
  WriteFile(file, "abc");
  EXPECT_EQ(GetAttributes(Below(dir, u"none")), -1);
  EXPECT_NE(GetAttributes(dir.Path()) & faDirectory, 0);
  // Folder, "normal", device and high bits from an archive are dropped.
  EXPECT_EQ(SetAttributes(file, faReadOnly | faDirectory | 0x80 | 0x40 | 0x4000), 0);
  const int32_t attr = GetAttributes(file);
  EXPECT_NE(attr & faReadOnly, 0);
  EXPECT_EQ(attr & faDirectory, 0);
  EXPECT_EQ(SetAttributes(file, faArchive), 0);
  EXPECT_EQ(GetAttributes(file) & faReadOnly, 0);
  EXPECT_NE(SetAttributes(Below(dir, u"none"), faArchive), 0);
  // A folder keeps being a folder.
  EXPECT_EQ(SetAttributes(dir.Path(), faArchive), 0);
  EXPECT_TRUE(FolderExists(dir.Path()));
}

TEST(DosAge, SetAndReadBackInLocalTime) {
  ScratchDir dir("dosage");
  const String file = Below(dir, u"f.txt");
  WriteFile(file, "abc");
  const uint32_t stamp = 0x5A2E6B3Du;  // 2025-01-14 13:25:58
  ASSERT_TRUE(SetFileDosAge(file, stamp));
  EXPECT_EQ(uint32_t(FileDosAge(file)), stamp);
  EXPECT_EQ(FileDosAge(dir.Path()), -1);
  EXPECT_EQ(FileDosAge(Below(dir, u"none")), -1);
  EXPECT_FALSE(SetFileDosAge(Below(dir, u"none"), stamp));
}

#ifndef _WIN32
// Dates are local time: in a zone with summer time each one gets the offset of its own
// day, the same time the C library's mktime gives it, also right beside a change.
TEST(DosAge, LocalTimeWithSummerTimeAsTheCLibraryReadsIt) {
  ScopedTimeZone berlin("Europe/Berlin");
  ScratchDir dir("dosage_zone");
  const String file = Below(dir, u"f.txt");
  WriteFile(file, "abc");
  const struct {
    int year, month, day, hour, minute;
  } cases[] = {
      {2021, 1, 15, 12, 30},  {2021, 7, 15, 12, 30},  {2021, 3, 28, 1, 59},
      {2021, 3, 28, 3, 0},    {2021, 10, 31, 1, 58},  {2021, 10, 31, 3, 0},
      {1980, 1, 1, 0, 0},     {2107, 12, 31, 23, 58},
  };
  for (const auto& c : cases) {
    const uint32_t stamp = uint32_t(c.year - 1980) << 25 | uint32_t(c.month) << 21 |
                           uint32_t(c.day) << 16 | uint32_t(c.hour) << 11 |
                           uint32_t(c.minute) << 5;
    struct tm tm {};
    tm.tm_year = c.year - 1900;
    tm.tm_mon = c.month - 1;
    tm.tm_mday = c.day;
    tm.tm_hour = c.hour;
    tm.tm_min = c.minute;
    tm.tm_isdst = -1;
    const time_t expected = mktime(&tm);
    ASSERT_TRUE(SetFileDosAge(file, stamp)) << c.year << "-" << c.month << "-" << c.day;
    struct stat st {};
    ASSERT_EQ(::stat(ToUtf8(HostFileName(file)).c_str(), &st), 0);
    EXPECT_EQ(st.st_mtime, expected) << c.year << "-" << c.month << "-" << c.day << " " << c.hour;
    EXPECT_EQ(uint32_t(FileDosAge(file)), stamp);
  }
}
#endif

TEST(OpenFileHandle, AcceptsOnlyTheClassLibraryModes) {
  ScratchDir dir("openhandle");
  const String file = Below(dir, u"f.txt");
  WriteFile(file, "abc");
  const struct {
    int32_t mode;
    bool opens;
  } cases[] = {
      {0x00, true},  {0x01, true},  {0x02, true},  {0x20, true},  {0x41, true},
      {0x40, true},  {0x03, false}, {0x50, false}, {0x70, false}, {0x100, false},
      {0xFF00, false}, {-1, false},
  };
  for (const auto& c : cases) {
    TZipFileHandle h = OpenFileHandle(file, c.mode);
    EXPECT_EQ(h.Valid(), c.opens) << std::hex << c.mode;
  }
  EXPECT_FALSE(OpenFileHandle(Below(dir, u"none"), 0).Valid());
  EXPECT_FALSE(OpenFileHandle(dir.Path(), 0).Valid());
}

TEST(MoveFileOver, ReplacesTheTarget) {
  ScratchDir dir("movefile");
  const String from = Below(dir, u"new.tmp");
  const String to = Below(dir, u"old.txt");
  WriteFile(from, "new");
  WriteFile(to, "old");
  ASSERT_TRUE(MoveFileOver(from, to));
  EXPECT_FALSE(FileFound(from));
  std::ifstream in(Fs(to), std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text, "new");
  EXPECT_FALSE(MoveFileOver(from, to));
}

// Anything under the name To, a link to nothing included, makes the rename refuse;
// the source then stays where it was.
TEST(MoveFileNoReplace, RefusesEveryTakenName) {
  enum class Taken { Nothing, File, Folder, LinkToNothing };
  const struct {
    Taken taken;
    TMoveResult result;
  } cases[] = {
      {Taken::Nothing, TMoveResult::Moved},
      {Taken::File, TMoveResult::NameTaken},
      {Taken::Folder, TMoveResult::NameTaken},
#ifndef _WIN32
      {Taken::LinkToNothing, TMoveResult::NameTaken},
#endif
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(int(c.taken));
    ScratchDir dir("movefile_no_replace");
    const String from = Below(dir, u"new.tmp");
    const String to = Below(dir, u"f.txt");
    WriteFile(from, "new");
    if (c.taken == Taken::File) WriteFile(to, "old");
    if (c.taken == Taken::Folder) {
      ASSERT_TRUE(MakeDirs(to));
    }
    if (c.taken == Taken::LinkToNothing) fs::create_symlink(Fs(Below(dir, u"none")), Fs(to));
    EXPECT_EQ(MoveFileNoReplace(from, to), c.result);
    EXPECT_EQ(FileFound(from), c.result != TMoveResult::Moved);
    if (c.taken == Taken::File) {
      EXPECT_EQ(fs::file_size(Fs(to)), 3u);
    }
  }
  ScratchDir dir("movefile_no_replace");
  EXPECT_EQ(MoveFileNoReplace(Below(dir, u"none"), Below(dir, u"f.txt")), TMoveResult::Failed);
}

#ifndef _WIN32
// A link has attributes of its own: the read-only bit of the file behind it is neither
// read nor changed through it.
TEST(Attributes, OfALinkAreItsOwn) {
  ScratchDir dir("attributes_link");
  const String target = Below(dir, u"target.txt");
  const String link = Below(dir, u"link.txt");
  WriteFile(target, "t");
  fs::create_symlink(Fs(target), Fs(link));
  for (const int32_t attr : {int32_t(faReadOnly), 0}) {
    SCOPED_TRACE(attr);
    ASSERT_EQ(SetAttributes(target, attr), 0);
    EXPECT_EQ(GetAttributes(link) & faReadOnly, 0);
    EXPECT_EQ(SetAttributes(link, attr ^ faReadOnly), 0);
    EXPECT_EQ(GetAttributes(target) & faReadOnly, attr);
  }
}

// Each existing part below the folder is looked at, down to the path's own last part
// when asked; the folder itself and what lies above it are not.
TEST(LinkBelow, FindsALinkAtAnyDepth) {
  ScratchDir dir("link_below");
  ASSERT_TRUE(MakeDirs(Below(dir, u"top\\real\\deeper")));
  fs::create_directory_symlink(Fs(Below(dir, u"top\\real")), Fs(Below(dir, u"top\\link")));
  fs::create_directory_symlink(Fs(Below(dir, u"top")), Fs(Below(dir, u"via")));
  const String top = Below(dir, u"top");
  const struct {
    String folder;
    String path;
    bool lastPartToo;
    bool link;
  } cases[] = {
      {top, Below(dir, u"top\\real\\deeper"), true, false},
      {top, Below(dir, u"top\\real\\missing\\more"), true, false},
      {top, Below(dir, u"top\\link"), true, true},
      {top, Below(dir, u"top\\link"), false, false},
      {top, Below(dir, u"top\\link\\deeper\\missing"), false, true},
      {top, Below(dir, u"top\\real\\..\\link\\x"), false, true},
      {Below(dir, u"via"), Below(dir, u"via\\real\\deeper"), true, false},
      {Below(dir, u"top\\link"), Below(dir, u"top\\link\\deeper"), true, false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(LinkBelow(c.folder, c.path, c.lastPartToo), c.link) << ToUtf8(c.path);
  // With the folders already found to be no link kept (one set per folder), every
  // answer stays the same, the second time round too.
  std::map<String, TLinkFreeFolders> known;
  for (int pass = 0; pass < 2; ++pass) {
    for (const auto& c : cases) {
      EXPECT_EQ(LinkBelow(c.folder, c.path, c.lastPartToo, &known[c.folder]), c.link)
          << ToUtf8(c.path) << ", pass " << pass;
    }
  }
  EXPECT_TRUE(known[top].contains(FullPathOf(Below(dir, u"top\\real"))));
  EXPECT_FALSE(known[top].contains(FullPathOf(Below(dir, u"top\\link"))));
}
#endif

#ifndef _WIN32
TEST(FullPaths, DotsAndEmptyPartsResolvedWithoutLookingAtTheDisk) {
  const struct {
    const char16_t* path;
    const char16_t* full;
  } cases[] = {
      {u"/a/b/../c", u"/a/c"},     {u"/a/./b//c/", u"/a/b/c"}, {u"/../x", u"/x"},
      {u"/a/..", u"/"},            {u"/", u"/"},               {u"\\a\\b\\..\\..\\..", u"/"},
      {u"/a/b/c/../../d", u"/a/d"}, {u"/a/.../b", u"/a/.../b"},
  };
  for (const auto& c : cases) EXPECT_EQ(FullPathOf(c.path), String(c.full)) << ToUtf8(c.path);
  EXPECT_EQ(FullPathOf(u"x\\..\\y\\z"), FullPathOf(u"") + u"/y/z");
}
#endif

TEST(FullPaths, WithinAndSame) {
  ScratchDir dir("fullpaths");
  const String base = dir.Path();
  EXPECT_EQ(FullPathOf(Below(dir, u"a\\..\\b")), FullPathOf(Below(dir, u"b")));
  EXPECT_FALSE(FullPathOf(u"").empty());
  EXPECT_TRUE(IsPathWithin(Below(dir, u"a\\b.txt"), base));
  EXPECT_TRUE(IsPathWithin(Below(dir, u"a\\b.txt"), base + u"\\"));
  EXPECT_FALSE(IsPathWithin(Below(dir, u"..\\x.txt"), base));
  EXPECT_FALSE(IsPathWithin(Below(dir, u"a\\..\\..\\x.txt"), base));
  EXPECT_FALSE(IsPathWithin(base + u"x\\f.txt", base));  // a sibling sharing the prefix
  EXPECT_FALSE(IsPathWithin(base, base));
  EXPECT_TRUE(SamePath(Below(dir, u"a\\..\\f.zip"), Below(dir, u"f.zip")));
  EXPECT_FALSE(SamePath(Below(dir, u"g.zip"), Below(dir, u"f.zip")));
#ifdef _WIN32
  EXPECT_TRUE(SamePath(Below(dir, u"F.ZIP"), Below(dir, u"f.zip")));
#endif
}

TEST(FileStamp, ChangesWithTheFile) {
  ScratchDir dir("filestamp");
  const String file = Below(dir, u"f.txt");
  WriteFile(file, "abc");
  TFileStamp first;
  {
    TZipFileHandle h = OpenFileHandle(file, 0x40);
    ASSERT_TRUE(h.Valid());
    ASSERT_TRUE(FileStampOf(h.Handle(), first));
    EXPECT_EQ(first.Size, 3);
  }
  ASSERT_TRUE(SetFileDosAge(file, 0x5A2E6B3Du));
  TFileStamp second;
  TZipFileHandle h = OpenFileHandle(file, 0x40);
  ASSERT_TRUE(FileStampOf(h.Handle(), second));
  EXPECT_NE(first, second);
  EXPECT_FALSE(FileStampOf(InvalidNativeHandle(), second));
}

TEST(Drives, QueriesDoNotFail) {
#ifdef _WIN32
  EXPECT_FALSE(IsRemovableDrive(u"Z:\\"));
  EXPECT_LE(GetVolumeLabel(u"Z:\\").size(), 27u);
  EXPECT_EQ(GetVolumeLabel(u"\\\\?\\nothing\\"), u"");
#else
  EXPECT_FALSE(IsRemovableDrive(u"/"));
  EXPECT_EQ(GetVolumeLabel(u"/"), u"");
#endif
}

}  // namespace
