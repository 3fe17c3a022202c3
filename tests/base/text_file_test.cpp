#include <gtest/gtest.h>

#include "base/exception.h"
#include "base/stream.h"
#include "base/text_file.h"
#include "temp_dir.h"

#ifndef _WIN32
#include <cerrno>
#endif

namespace {
std::string ReadAll(const String& name) {
  TMemoryStream s;
  s.LoadFromFile(name);
  return std::string(s.Bytes().begin(), s.Bytes().end());
}
}  // namespace

TEST(TextFile, WritesAnsiLinesWithCrLf) {
  TempDir dir;
  const String name = dir.File(u"summary.txt");
  {
    TFileStream old(name, fmCreate);
    old.WriteBuffer("old content that is longer", 26);
  }
  TTextFile f;
  f.Rewrite(name);  // overwrites
  f.WriteLine(u"Extension\tCount");
  f.Write(u"caf\u00e9 ");
  f.Write(u"\u20ac \u4e2d");
  f.WriteLine(u"");
  f.WriteLine(u"");
  f.Close();
  EXPECT_FALSE(f.IsOpen());
  EXPECT_EQ(ReadAll(name), "Extension\tCount\r\ncaf\xE9 \x80 ?\r\n\r\n");
}

TEST(TextFile, LongOutputCrossesTheBuffer) {
  TempDir dir;
  const String name = dir.File(u"long.txt");
  TTextFile f;
  f.Rewrite(name);
  std::string expected;
  for (int i = 0; i < 3000; ++i) {
    const String line = u"line " + FromAscii(std::to_string(i));
    f.WriteLine(line);
    expected += ToUtf8(line) + "\r\n";
  }
  f.Close();
  EXPECT_EQ(ReadAll(name), expected);
}

TEST(TextFile, FailuresRaiseWithTheSystemCode) {
  TempDir dir;
  const String inMissingFolder = TempDir::Join(dir.File(u"none"), u"x.txt");
#ifdef _WIN32
  const uint32_t notFound = 3;  // ERROR_PATH_NOT_FOUND
#else
  const uint32_t notFound = ENOENT;
#endif
  TTextFile f;
  try {
    f.Rewrite(inMissingFolder);
    ADD_FAILURE() << "created a file in a missing folder";
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.ErrorCode(), notFound);
    EXPECT_FALSE(e.Message().empty());
  }
  EXPECT_FALSE(f.IsOpen());
  EXPECT_THROW(f.WriteLine(u"x"), EInOutError);  // not open
  EXPECT_THROW(f.Close(), EInOutError);
  // A folder cannot be rewritten as a file.
  EXPECT_THROW(f.Rewrite(dir.Path()), EInOutError);
}

TEST(TextFile, AFullDiskFailsAtTheLatestOnClose) {
#ifdef _WIN32
  const String full = u"Z:\\dev\\full";
  const uint32_t diskFull = 112;
#else
  const String full = u"/dev/full";
  const uint32_t diskFull = ENOSPC;
#endif
  struct Case {
    const char* name;
    int lines;  // a few lines stay in the buffer; many force writes before Close
  } cases[] = {{"buffered", 1}, {"written", 2000}};
  for (const auto& c : cases) {
    TTextFile f;
    try {
      f.Rewrite(full);
    } catch (const EInOutError&) {
      GTEST_SKIP() << "no full device here";
    }
    try {
      for (int i = 0; i < c.lines; ++i) f.WriteLine(u"some text for the summary");
      f.Close();
      ADD_FAILURE() << c.name << ": a full disk passed";
    } catch (const EInOutError& e) {
      EXPECT_EQ(e.ErrorCode(), diskFull) << c.name;
      EXPECT_EQ(e.Message(), u"Disk full") << c.name;
    }
    EXPECT_FALSE(f.IsOpen()) << c.name;  // closed after the failure
  }
}
