#include "update/version_file.h"

#include <gtest/gtest.h>

#include <vector>

#include "update/version_compare.h"

TEST(IsNewerVersion, PlainCharacterOrder) {
  struct Case {
    String file, running;
    bool newer;
  } cases[] = {
      {u"1.2", u"1.1", true},   {u"1.1", u"1.1", false},  {u"1.10", u"1.1", true},
      {u"1.09", u"1.1", false}, {u"10.0", u"9.0", false}, {u"1.1 ", u"1.1", true},
      {u"", u"1.1", false},     {u"1.0", u"1.1", false},  {u"1.1", u"1.1 ", false},
      {u"a", u"Z", true},  // no case folding
      {u"\u00E9", u"z", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsNewerVersion(c.file, c.running), c.newer)
        << ToUtf8(c.file) << " vs " << ToUtf8(c.running);
  }
}

TEST(ParseActionLine, FourFieldsWithIntegerDefaults) {
  struct Case {
    String line;
    bool always;
    int code;
    String argument, caption;
    TUpdateActionKind kind;
  } cases[] = {
      {u"1|1|Maintenance tonight|", true, 1, u"Maintenance tonight", u"",
       TUpdateActionKind::Message},
      {u"0|2|Install the new version?|Update available", false, 2, u"Install the new version?",
       u"Update available", TUpdateActionKind::Question},
      {u"0|3|http://x/|", false, 3, u"http://x/", u"", TUpdateActionKind::Open},
      {u"0|5|http://x/u.zip", false, 5, u"http://x/u.zip", u"", TUpdateActionKind::Install},
      {u"0|6|http://x/u.zip|c|ignored|more", false, 6, u"http://x/u.zip", u"c",
       TUpdateActionKind::Install},
      {u"2|1|x|", false, 1, u"x", u"", TUpdateActionKind::Message},  // only 1 means always
      {u"yes|1|x|", false, 1, u"x", u"", TUpdateActionKind::Message},
      {u"0|4|x|", false, 4, u"x", u"", TUpdateActionKind::None},
      {u"0|abc|x|", false, 0, u"x", u"", TUpdateActionKind::None},
      {u"0|-1|x|", false, -1, u"x", u"", TUpdateActionKind::None},
      {u"0|99999999999|x|", false, 0, u"x", u"", TUpdateActionKind::None},  // out of range
      {u"1", true, 0, u"", u"", TUpdateActionKind::None},
      {u"", false, 0, u"", u"", TUpdateActionKind::None},
      {u"1|1 |x", true, 0, u"x", u"", TUpdateActionKind::None},  // a trailing blank fails
      {u"0|1|%s %d %n|", false, 1, u"%s %d %n", u"", TUpdateActionKind::Message},
  };
  for (const auto& c : cases) {
    const TActionLine a = ParseActionLine(c.line);
    EXPECT_EQ(a.Always, c.always) << ToUtf8(c.line);
    EXPECT_EQ(a.Code, c.code) << ToUtf8(c.line);
    EXPECT_EQ(a.Argument, c.argument) << ToUtf8(c.line);
    EXPECT_EQ(a.Caption, c.caption) << ToUtf8(c.line);
    EXPECT_EQ(a.Kind(), c.kind) << ToUtf8(c.line);
  }
}

TEST(IsOpenableTarget, OnlyWebAddresses) {
  for (const Char* ok : {u"http://example.com/", u"HTTPS://example.com/news", u"http://x"}) {
    EXPECT_TRUE(IsOpenableTarget(ok)) << ToUtf8(ok);
  }
  for (const Char* bad :
       {u"", u"http://", u"notepad.exe", u"C:\\Windows\\system32\\cmd.exe", u"file:///C:/x.exe",
        u"\\\\server\\share\\x.exe", u" http://x/", u"mailto:a@b", u"javascript:alert(1)"}) {
    EXPECT_FALSE(IsOpenableTarget(bad)) << ToUtf8(bad);
  }
}

TEST(IsUsableVersionFile, NeedsOneLineWithText) {
  struct Case {
    String text;
    bool usable;
  } cases[] = {
      {u"", false},   {u"\r\n", false},      {u" \t\r\n\r\n", false},
      {u"1.2", true}, {u"\r\n1|1|x|", true},  // an empty line 1 is a version that is never newer
  };
  for (const auto& c : cases) {
    TStringList lines;
    lines.SetText(c.text);
    EXPECT_EQ(IsUsableVersionFile(lines), c.usable) << ToUtf8(c.text);
  }
}

namespace {

// Runs a version file the way the update client does, answering questions from
// Answers in turn; records the arguments handed out.
struct RunResult {
  std::vector<String> carriedOut;
  bool latestBox;
};

RunResult RunVersionFile(const String& text, const std::vector<bool>& answers = {}) {
  TStringList lines;
  lines.SetText(text);
  TVersionFileRun run(lines, u"1.1");
  RunResult r;
  size_t answer = 0;
  while (auto line = run.Next()) {
    r.carriedOut.push_back(line->Argument);
    if (line->Kind() == TUpdateActionKind::Question) {
      const bool yes = answer < answers.size() && answers[answer++];
      if (!yes) run.AnsweredNo();
    }
  }
  r.latestBox = run.ShowLatestVersionBox();
  return r;
}

}  // namespace

TEST(TVersionFileRun, DecidesWhichLinesRunAndWhetherTheLatestBoxShows) {
  using V = std::vector<String>;
  struct Case {
    const char* what;
    String file;
    std::vector<bool> answers;
    V carriedOut;
    bool latestBox;
  } cases[] = {
      {"same version, no lines", u"1.1", {}, {}, true},
      {"newer, no lines", u"1.2", {}, {}, false},
      {"same version, always line",
       u"1.1\r\n1|1|Maintenance tonight|",
       {},
       {u"Maintenance tonight"},
       false},
      {"same version, line not always", u"1.1\r\n0|1|Maintenance tonight|", {}, {}, true},
      {"newer: every line applies",
       u"1.2\n0|1|a|\n0|3|http://x/|\n0|5|http://x/u.zip",
       {},
       {u"a", u"http://x/", u"http://x/u.zip"},
       false},
      {"No ends everything",
       u"1.2\r\n0|2|Install the new version?|Update available\r\n0|5|http://x/u.zip",
       {false},
       {u"Install the new version?"},
       false},
      {"Yes goes on",
       u"1.2\r\n0|2|Install the new version?|Update available\r\n0|5|http://x/u.zip",
       {true},
       {u"Install the new version?", u"http://x/u.zip"},
       false},
      {"No stops always lines too",
       u"1.1\r\n1|2|Go on?|\r\n1|1|after|",
       {false},
       {u"Go on?"},
       false},
      {"newer, codes that do nothing", u"1.2\r\n0|4|x|\r\n0|abc|x|", {}, {}, false},
      {"same version, codes that do nothing", u"1.1\r\n1|4|x|\r\n1|0|y|", {}, {}, true},
      {"always 2 counts as 0", u"1.1\r\n2|1|x|", {}, {}, true},
      {"empty line 1 is never newer", u"\r\n0|1|x|\r\n1|1|y|", {}, {u"y"}, false},
      {"a local program is not opened", u"1.1\r\n1|3|C:\\Windows\\notepad.exe|", {}, {}, true},
      {"two installs both run",
       u"1.2\r\n0|5|http://x/a.zip\r\n0|6|http://x/b.zip",
       {},
       {u"http://x/a.zip", u"http://x/b.zip"},
       false},
      {"empty file", u"", {}, {}, true},
  };
  for (const auto& c : cases) {
    const RunResult r = RunVersionFile(c.file, c.answers);
    EXPECT_EQ(r.carriedOut, c.carriedOut) << c.what;
    EXPECT_EQ(r.latestBox, c.latestBox) << c.what;
  }
}

TEST(TVersionFileRun, NothingAfterTheRunStopped) {
  TStringList lines;
  lines.SetText(u"1.2\r\n0|2|q|\r\n0|1|m|");
  TVersionFileRun run(lines, u"1.1");
  EXPECT_TRUE(run.Newer());
  ASSERT_TRUE(run.Next().has_value());
  run.AnsweredNo();
  EXPECT_TRUE(run.Stopped());
  EXPECT_FALSE(run.Next().has_value());
  EXPECT_FALSE(run.ShowLatestVersionBox());
}
