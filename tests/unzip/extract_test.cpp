#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <zlib.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <set>

#include "base/exception.h"
#include "base/file_stream.h"
#include "tests/testlib/test_paths.h"
#include "tests/unzip/extract_test_support.h"
#include "unzip/unzip_errors.h"
#include "unzip/host_hooks.h"
#include "unzip/xr_unzip.h"
#include "unzip/zip_file_routines.h"

namespace {

// Text with runs of noise: compresses, but not to nothing.
std::string Pattern(size_t size, uint32_t seed = 1) {
  std::string out;
  out.reserve(size);
  uint32_t x = seed;
  while (out.size() < size) {
    x = x * 1103515245u + 12345u;
    if ((x >> 16) % 3 == 0)
      out += "line " + std::to_string(out.size()) + " of the pattern\n";
    else
      for (int i = 0; i < 16; ++i) out.push_back(char((x >> (i % 24)) & 0xFF));
  }
  out.resize(size);
  return out;
}

struct RunLog {
  std::vector<std::pair<TSkipReason, String>> skipped;
  std::vector<std::pair<uint32_t, uint32_t>> badCrc;  // calculated, stored
  std::vector<String> ended;
  std::vector<int32_t> messages;
  int32_t filePercentEvents = 0;
  int32_t completeCount = -1;
};

// An archive written into a scratch folder and extracted into its "out" folder the
// way the update client does it, with every event logged.
class Extraction {
public:
  explicit Extraction(const std::string& name) : dir_(name) {}
  const ScratchDir& Dir() const { return dir_; }
  String Archive() const { return dir_ / u"in.zip"; }
  String Out() const { return dir_ / u"out"; }

  void Write(const std::string& bytes) { WriteFileBytes(Archive(), bytes); }
  void Write(const std::vector<ArchiveEntry>& entries) { Write(BuildArchive(entries)); }
  // A file already in the destination folder.
  void Put(const String& name, const std::string& bytes) {
    MakeDirs(Out());
    WriteFileBytes(JoinPath(Out(), name), bytes);
  }

  // Adds the settings and handlers; Configure may change them before the run.
  int32_t Run(const std::function<void(TXrUnZip&)>& configure = {}) {
    TXrUnZip unzip;
    unzip.SetDestDir(Out());
    unzip.SetZipName(Archive());
    unzip.DoAll = true;
    unzip.OverwriteMode = TUZOverwriteMode::Always;
    unzip.RecreateDirs = true;
    unzip.OnSkippingFile = [&](TXrUnZip&, TSkipReason reason, const String& name, int32_t, bool&) {
      log.skipped.emplace_back(reason, name);
    };
    unzip.OnBadCRC = [&](TXrUnZip&, int32_t calc, int32_t stored, int32_t) {
      log.badCrc.emplace_back(uint32_t(calc), uint32_t(stored));
    };
    unzip.OnEndUnZip = [&](TXrUnZip&, int32_t, const String& name) { log.ended.push_back(name); };
    unzip.OnFilePercentDone = [&](TXrUnZip&, int32_t) { ++log.filePercentEvents; };
    unzip.OnHandleMessage = [&](TXrUnZip&, int32_t id, const String&, const String&, uint32_t,
                                int32_t&) { log.messages.push_back(id); };
    unzip.OnUnZipComplete = [&](TXrUnZip&, int32_t count) { log.completeCount = count; };
    if (configure) configure(unzip);
    return unzip.UnZip();
  }
  std::map<std::string, std::string> OutTree() const { return TreeOf(Out()); }

  RunLog log;

private:
  ScratchDir dir_;
};

TEST(Extract, StoredAndDeflatedEntriesAtBlockEdges) {
  const struct {
    uint16_t method;
    size_t size;
    int flushes;  // 32768-byte output blocks
  } cases[] = {
      {0, 0, 0}, {0, 1, 1}, {0, 32768, 1}, {0, 32769, 2}, {0, 65536, 2},
      {8, 0, 0}, {8, 1, 1}, {8, 32768, 1}, {8, 32769, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "method " << c.method << ", " << c.size << " bytes");
    Extraction x("extract_sizes");
    const std::string data = Pattern(c.size, uint32_t(c.size));
    x.Write({{.name = "data.bin", .data = data, .method = c.method}});
    EXPECT_EQ(x.Run(), 1);
    EXPECT_EQ(x.OutTree(), (std::map<std::string, std::string>{{"data.bin", data}}));
    EXPECT_EQ(x.log.filePercentEvents, c.flushes);
    EXPECT_TRUE(x.log.skipped.empty());
    EXPECT_TRUE(x.log.badCrc.empty());
  }
}

TEST(Extract, LargeHighlyCompressibleEntry) {
  Extraction x("extract_large");
  const std::string line = "all work and no play makes a dull archive\n";
  std::string data;
  data.reserve(64u << 20);
  while (data.size() < (64u << 20)) data += line;
  data.resize(64u << 20);
  x.Write({{.name = "big.txt", .data = data}});
  data.clear();
  EXPECT_EQ(x.Run(), 1);
  const std::string written = ReadFileBytes(JoinPath(x.Out(), u"big.txt"));
  ASSERT_EQ(written.size(), size_t(64u << 20));
  std::string expected;
  while (expected.size() < written.size()) expected += line;
  expected.resize(written.size());
  EXPECT_TRUE(written == expected);
  EXPECT_EQ(x.log.filePercentEvents, 2048);
}

TEST(Extract, FoldersAndEntriesWithAndWithoutRecreatedFolders) {
  const std::vector<ArchiveEntry> entries = {
      {.name = "a/", .data = ""},
      {.name = "a/b/c.txt", .data = "deep"},
      {.name = "empty/", .data = ""},
      {.name = "top.txt", .data = "top"},
  };
  {
    Extraction x("extract_folders");
    x.Write(entries);
    EXPECT_EQ(x.Run(), 4);  // folder entries count as extracted
    EXPECT_EQ(x.OutTree(), (std::map<std::string, std::string>{
                               {"a/", ""}, {"a/b/", ""}, {"a/b/c.txt", "deep"}, {"empty/", ""},
                               {"top.txt", "top"}}));
    EXPECT_EQ(x.log.ended.size(), 2u);  // no events for folder entries
    EXPECT_EQ(x.log.completeCount, 4);
  }
  {
    Extraction x("extract_flat");
    x.Write(entries);
    EXPECT_EQ(x.Run([](TXrUnZip& u) { u.RecreateDirs = false; }), 2);
    EXPECT_EQ(x.OutTree(),
              (std::map<std::string, std::string>{{"c.txt", "deep"}, {"top.txt", "top"}}));
  }
  {
    // The root folder is cut from the entries' folders.
    Extraction x("extract_rootdir");
    x.Write(entries);
    EXPECT_EQ(x.Run([](TXrUnZip& u) { u.SetRootDir(u"a\\"); }), 4);
    EXPECT_EQ(x.OutTree(), (std::map<std::string, std::string>{
                               {"b/", ""}, {"b/c.txt", "deep"}, {"empty/", ""}, {"top.txt", "top"}}));
  }
}

TEST(Extract, EventsRenameAndSkipEntries) {
  Extraction x("extract_events");
  x.Write({{.name = "one.txt", .data = "1"}, {.name = "two.txt", .data = "2"}});
  int32_t filesAtInfo = -1;
  int64_t bytesAtInfo = -1;
  EXPECT_EQ(x.Run([&](TXrUnZip& u) {
    u.OnStartUnZipInfo = [&](TXrUnZip&, int32_t files, int64_t bytes, bool&) {
      filesAtInfo = files;
      bytesAtInfo = bytes;
    };
    u.OnStartUnZip = [&](TXrUnZip&, int32_t index, String& name, bool& skip) {
      if (index == 0) name = x.Out() + u"\\renamed.txt";
      if (index == 1) skip = true;
    };
  }),
            1);
  EXPECT_EQ(filesAtInfo, 2);
  EXPECT_EQ(bytesAtInfo, 2);
  EXPECT_EQ(x.OutTree(), (std::map<std::string, std::string>{{"renamed.txt", "1"}}));
  ASSERT_EQ(x.log.ended.size(), 1u);
  EXPECT_EQ(x.log.ended[0], x.Out() + u"\\renamed.txt");
  EXPECT_TRUE(x.log.skipped.empty());  // a skip asked for by the host is not reported
}

// Entry date 2021-06-15 12:30:10 (DOS), file dates one day earlier or later.
constexpr uint32_t kEntryTime = 0x52CF63C5;
constexpr uint32_t kOlderTime = 0x52CE63C5;
constexpr uint32_t kNewerTime = 0x52D063C5;

TEST(Extract, OverwriteModesAgainstWhatIsThere) {
  enum class Target { Missing, Older, Newer, ReadOnly };
  enum class Result { Written, Skipped, CreateError };
  const struct {
    TUZOverwriteMode mode;
    Target target;
    int promptAnswer;  // what the host's prompt says, 0: not asked
    bool replaceReadOnly;
    Result result;
  } cases[] = {
      {TUZOverwriteMode::Always, Target::Missing, 0, false, Result::Written},
      {TUZOverwriteMode::Always, Target::Newer, 0, false, Result::Written},
      {TUZOverwriteMode::Always, Target::ReadOnly, 0, false, Result::CreateError},
      {TUZOverwriteMode::Always, Target::ReadOnly, 0, true, Result::Written},
      {TUZOverwriteMode::Never, Target::Missing, 0, false, Result::Written},
      {TUZOverwriteMode::Never, Target::Older, 0, false, Result::Skipped},
      {TUZOverwriteMode::Prompt, Target::Missing, 0, false, Result::Written},
      {TUZOverwriteMode::Prompt, Target::Older, idYes, false, Result::Written},
      {TUZOverwriteMode::Prompt, Target::Older, idNo, false, Result::Skipped},
      {TUZOverwriteMode::ifNewer, Target::Older, 0, false, Result::Written},
      {TUZOverwriteMode::ifNewer, Target::Newer, 0, false, Result::Skipped},
      {TUZOverwriteMode::ifOlder, Target::Newer, 0, false, Result::Written},
      {TUZOverwriteMode::ifOlder, Target::Older, 0, false, Result::Skipped},
      {TUZOverwriteMode::ifOlder, Target::Missing, 0, false, Result::Written},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "mode " << int(c.mode) << ", target " << int(c.target));
    Extraction x("extract_overwrite");
    x.Write({{.name = "f.txt", .data = "new", .dosTime = kEntryTime}});
    const String target = JoinPath(x.Out(), u"f.txt");
    if (c.target != Target::Missing) {
      x.Put(u"f.txt", "old");
      ASSERT_TRUE(SetFileDosAge(target, c.target == Target::Newer ? kNewerTime : kOlderTime));
      if (c.target == Target::ReadOnly) {
        ASSERT_EQ(SetAttributes(target, faReadOnly), 0);
      }
    }
    int prompts = 0;
    const int32_t done = x.Run([&](TXrUnZip& u) {
      u.OverwriteMode = c.mode;
      u.ReplaceReadOnly = c.replaceReadOnly;
      u.OnHandleMessage = [&](TXrUnZip&, int32_t id, const String& text, const String& caption,
                              uint32_t flags, int32_t& answer) {
        ++prompts;
        EXPECT_EQ(id, 196);
        EXPECT_EQ(text, u"Replace existing file f.txt?");
        EXPECT_EQ(caption, u"File Exists Alert");
        EXPECT_EQ(flags, 4u);
        answer = c.promptAnswer;
      };
    });
    EXPECT_EQ(prompts, c.promptAnswer ? 1 : 0);
    const std::string now = ReadFileBytes(target);
    switch (c.result) {
      case Result::Written:
        EXPECT_EQ(done, 1);
        EXPECT_EQ(now, "new");
        EXPECT_EQ(FileDosAge(target), int32_t(kEntryTime));
        break;
      case Result::Skipped:
      case Result::CreateError:
        EXPECT_EQ(done, 0);
        EXPECT_EQ(now, "old");
        ASSERT_EQ(x.log.skipped.size(), 1u);
        EXPECT_EQ(x.log.skipped[0].first, c.result == Result::CreateError
                                              ? TSkipReason::srCreateError
                                              : TSkipReason::srNoOverwrite);
        EXPECT_TRUE(SamePath(x.log.skipped[0].second, target));
        break;
    }
    // Nothing is left under a temporary name.
    EXPECT_EQ(x.OutTree().size(), 1u);
    SetAttributes(target, 0);
  }
}

TEST(Extract, DatesAndAttributes) {
#ifndef _WIN32
  // Local time is UTC for this test, as it is for every test under Wine.
  ScopedTimeZone utc("UTC");
#endif
  Extraction x("extract_dates");
  x.Write({{.name = "plain.txt", .data = "p", .dosTime = kEntryTime},
           {.name = "locked.txt", .data = "l", .dosTime = kEntryTime, .externalAttributes = 0x21},
           {.name = "odd.txt", .data = "o", .externalAttributes = 0xFFFF0000u | 0x10}});
  EXPECT_EQ(x.Run(), 3);
  EXPECT_EQ(FileDosAge(JoinPath(x.Out(), u"plain.txt")), int32_t(kEntryTime));
#ifndef _WIN32
  struct stat st {};
  ASSERT_EQ(::stat(ToUtf8(JoinPath(x.Out(), u"plain.txt")).c_str(), &st), 0);
  EXPECT_EQ(st.st_mtime, 1623760210);  // 2021-06-15 12:30:10 UTC
#endif
  EXPECT_EQ(GetAttributes(JoinPath(x.Out(), u"plain.txt")) & faReadOnly, 0);
  EXPECT_NE(GetAttributes(JoinPath(x.Out(), u"locked.txt")) & faReadOnly, 0);
  // A folder bit among the stored attributes does not make the file a folder.
  EXPECT_TRUE(FileFound(JoinPath(x.Out(), u"odd.txt")));
  SetAttributes(JoinPath(x.Out(), u"locked.txt"), 0);
  {
    Extraction y("extract_no_attributes");
    y.Write({{.name = "locked.txt", .data = "l", .externalAttributes = 0x21}});
    EXPECT_EQ(y.Run([](TXrUnZip& u) { u.RetainAttributes = false; }), 1);
    EXPECT_EQ(GetAttributes(JoinPath(y.Out(), u"locked.txt")) & faReadOnly, 0);
  }
}

// Their message, then the check of no output fails them, also where the stored CRC is 0.
TEST(Extract, EntriesThisBuildCannotDecodeTouchNothing) {
  Extraction x("extract_unknown");
  x.Put(u"tokenized.txt", "old");
  x.Write({{.name = "tokenized.txt", .data = "xx", .method = 7},
           {.name = "bzip2.txt", .data = "xx", .method = 12, .crc = 0},
           {.name = "secret.txt", .data = "xx", .method = 0, .flags = 1},
           {.name = "fine.txt", .data = "fine"}});
  EXPECT_EQ(x.Run(), 1);
  EXPECT_EQ(x.log.messages, (std::vector<int32_t>{197, 197}));
  EXPECT_EQ(x.log.badCrc, (std::vector<std::pair<uint32_t, uint32_t>>{{0, Crc32Of("xx")}, {0, 0}}));
  ASSERT_EQ(x.log.skipped.size(), 1u);
  EXPECT_EQ(x.log.skipped[0].first, TSkipReason::srBadPassword);
  EXPECT_EQ(x.log.skipped[0].second, u"secret.txt");
  EXPECT_EQ(x.OutTree(), (std::map<std::string, std::string>{{"fine.txt", "fine"},
                                                             {"tokenized.txt", "old"}}));
}

// What a hostile archive may do: nothing outside the destination, nothing lost in it.
TEST(Extract, HostileArchives) {
  // Nothing: the directory reader already leaves the entry out.
  enum class Expect { Skipped, BadEntry, Throws, WrittenInside, Nothing };
  const std::string good = "good data";
  const std::string deflated = RawDeflate(Pattern(5000));
  std::string damaged = deflated;
  damaged[10] = char(damaged[10] ^ 0x55);
  damaged[11] = char(damaged[11] ^ 0xFF);
  auto unicodePath = [](const std::string& stored, const std::string& unicode) {
    return ExtraBlock(0x7075, std::string(1, '\x01') + Le32(Crc32Of(stored)) + unicode);
  };
  // Two entries; the first one's data runs over the second's local header.
  const std::string overlapping =
      BuildArchive({{.name = "keep.txt", .data = Pattern(3000), .method = 0, .compressedSize = 3040},
                    {.name = "b.txt", .data = "b", .method = 0}});
  // The local header claims an extra field running past the end of the archive.
  std::string longLocalExtra = BuildArchive({{.name = "keep.txt", .data = good, .method = 0}});
  longLocalExtra[28] = '\xFF';
  longLocalExtra[29] = '\xFF';
  std::string truncated = BuildArchive({{.name = "keep.txt", .data = Pattern(20000), .method = 0}});
  truncated.resize(10000);
  const struct {
    const char* label;
    std::string archive;
    Expect expect;
    const char* inside;  // the file written for WrittenInside
  } cases[] = {
      {"dot-dot slash", BuildArchive({{.name = "../evil.txt", .data = good}}), Expect::Skipped, ""},
      {"dot-dot backslash", BuildArchive({{.name = "..\\evil.txt", .data = good}}), Expect::Skipped, ""},
      {"deep dot-dot", BuildArchive({{.name = "a/../../evil.txt", .data = good}}), Expect::Skipped, ""},
      {"rooted", BuildArchive({{.name = "/abs/x.txt", .data = good}}), Expect::WrittenInside, "abs/x.txt"},
      {"drive", BuildArchive({{.name = "C:/evil.txt", .data = good}}), Expect::Skipped, ""},
      {"drive-relative", BuildArchive({{.name = "C:evil.txt", .data = good}}), Expect::Skipped, ""},
      {"stream", BuildArchive({{.name = "keep.txt:evil", .data = good}}), Expect::Skipped, ""},
      {"UNC", BuildArchive({{.name = "//server/share/evil.txt", .data = good}}), Expect::Skipped, ""},
      {"device", BuildArchive({{.name = "CON", .data = good}}), Expect::Skipped, ""},
      {"device with extension", BuildArchive({{.name = "sub/nul.txt", .data = good}}), Expect::Skipped, ""},
      {"device folder", BuildArchive({{.name = "LPT1/", .data = ""}}), Expect::Skipped, ""},
      {"trailing dot", BuildArchive({{.name = "evil.txt.", .data = good}}), Expect::Skipped, ""},
      {"trailing space", BuildArchive({{.name = "evil.txt ", .data = good}}), Expect::Skipped, ""},
      {"dot-dot folder entry", BuildArchive({{.name = "../evil/", .data = ""}}), Expect::Skipped, ""},
      {"unicode path smuggles dot-dot",
       BuildArchive({{.name = "fine.txt", .data = good,
                      .centralExtra = unicodePath("fine.txt", "../evil.txt")}}),
       Expect::Skipped, ""},
      {"stored name dot-dot behind a clean unicode path",
       BuildArchive({{.name = "../evil.txt", .data = good,
                      .centralExtra = unicodePath("../evil.txt", "fine.txt")}}),
       Expect::Skipped, ""},
      {"overlapping entries", overlapping, Expect::Throws, ""},
      {"local extra field past the end", longLocalExtra, Expect::Throws, ""},
      {"declared size far below the data",
       BuildArchive({{.name = "keep.txt", .data = Pattern(5000), .uncompressedSize = 10}}),
       Expect::BadEntry, ""},
      {"declared size far above the data",
       BuildArchive({{.name = "keep.txt", .data = Pattern(100), .uncompressedSize = 0x7FFFFFF0}}),
       Expect::BadEntry, ""},
      {"stored size above the data",
       BuildArchive({{.name = "keep.txt", .data = good, .method = 0, .uncompressedSize = 1000}}),
       Expect::BadEntry, ""},
      {"wrong CRC", BuildArchive({{.name = "keep.txt", .data = good, .crc = 1234}}), Expect::BadEntry, ""},
      {"compressed size past the end",
       BuildArchive({{.name = "keep.txt", .data = good, .method = 0, .compressedSize = 100000}}),
       Expect::Nothing, ""},
      {"truncated archive", truncated, Expect::Throws, ""},
      {"damaged deflate data",
       BuildArchive({{.name = "keep.txt", .data = Pattern(5000), .payload = damaged}}), Expect::Throws, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    Extraction x("extract_hostile");
    const String destination = x.Dir() / u"dest";
    MakeDirs(destination);
    WriteFileBytes(JoinPath(destination, u"keep.txt"), "keep");
    WriteFileBytes(x.Archive(), c.archive);
    bool threw = false;
    try {
      x.Run([&](TXrUnZip& u) { u.SetDestDir(destination); });
    } catch (const Exception&) {
      threw = true;
    }
    std::map<std::string, std::string> expected = {
        {"in.zip", c.archive}, {"dest/", ""}, {"dest/keep.txt", "keep"}};
    if (c.expect == Expect::WrittenInside) {
      expected["dest/abs/"] = "";
      expected["dest/" + std::string(c.inside)] = good;
    }
    EXPECT_EQ(TreeOf(x.Dir().Path()), expected);
    EXPECT_EQ(threw, c.expect == Expect::Throws);
    EXPECT_EQ(x.log.skipped.size(), c.expect == Expect::Skipped ? 1u : 0u);
    EXPECT_EQ(x.log.badCrc.size(), c.expect == Expect::BadEntry ? 1u : 0u);
  }
}

TEST(Extract, EntryNamedLikeTheArchiveLeavesItAlone) {
  Extraction x("extract_self");
  const std::string archive = BuildArchive({{.name = "in.zip", .data = "not the archive"},
                                            {.name = "other.txt", .data = "other"}});
  x.Write(archive);
  EXPECT_EQ(x.Run([&](TXrUnZip& u) { u.SetDestDir(x.Dir().Path()); }), 1);
  EXPECT_EQ(ReadFileBytes(x.Archive()), archive);
  ASSERT_EQ(x.log.skipped.size(), 1u);
  EXPECT_EQ(x.log.skipped[0].first, TSkipReason::srCreateError);
}

// Another name that reaches the archive is the archive all the same: a short name on
// Windows, a link to its folder natively.
TEST(Extract, EntryReachingTheArchiveByAnotherNameLeavesItAlone) {
  Extraction x("extract_self_alias");
  const String name = u"a long archive name.zip";
  const String archive = x.Dir() / name;
  WriteFileBytes(archive, "");  // so that it has a short name to ask for
#ifdef _WIN32
  wchar_t shortName[MAX_PATH];
  const DWORD n = GetShortPathNameW(reinterpret_cast<const wchar_t*>(archive.c_str()), shortName,
                                    MAX_PATH);
  ASSERT_GT(n, 0u);
  const String alias = FileNameOf(String(reinterpret_cast<const Char*>(shortName), n));
  ASSERT_NE(alias, name);
  const String destDir = x.Dir().Path();
#else
  const String alias = name;
  const String destDir = x.Dir() / u"link";
  std::filesystem::create_directory_symlink(x.Dir().UnixPath(), x.Dir().UnixPath() + "/link");
#endif
  const std::string bytes = BuildArchive({{.name = ToUtf8(alias), .data = "not the archive"},
                                          {.name = "other.txt", .data = "other"}});
  WriteFileBytes(archive, bytes);
  EXPECT_EQ(x.Run([&](TXrUnZip& u) {
    u.SetZipName(archive);
    u.SetDestDir(destDir);
  }),
            1);
  EXPECT_EQ(ReadFileBytes(archive), bytes);
  ASSERT_EQ(x.log.skipped.size(), 1u);
  EXPECT_EQ(x.log.skipped[0].first, TSkipReason::srCreateError);
}

// Names in the way of the temporary file are passed over, never written through: a
// file, a folder, and natively a link to a file that does not exist (which a look-up
// does not see).
TEST(Extract, TemporaryNamesInTheWayArePassedOver) {
  Extraction x("extract_temp_names");
  x.Put(u"~qzx0.tmp", "someone's");
  ASSERT_TRUE(MakeDirs(JoinPath(x.Out(), u"~qzx1.tmp")));
#ifndef _WIN32
  const String victim = x.Dir() / u"victim.txt";
  ASSERT_EQ(::symlink(ToUtf8(victim).c_str(), ToUtf8(JoinPath(x.Out(), u"~qzx2.tmp")).c_str()), 0);
#endif
  x.Write({{.name = "a.txt", .data = "new"}});
  EXPECT_EQ(x.Run(), 1);
  EXPECT_TRUE(x.log.skipped.empty());
  EXPECT_EQ(ReadFileBytes(JoinPath(x.Out(), u"a.txt")), "new");
  EXPECT_EQ(ReadFileBytes(JoinPath(x.Out(), u"~qzx0.tmp")), "someone's");
  EXPECT_TRUE(FolderExists(JoinPath(x.Out(), u"~qzx1.tmp")));
#ifndef _WIN32
  EXPECT_FALSE(FileFound(victim));
  struct stat st {};
  ASSERT_EQ(::lstat(ToUtf8(JoinPath(x.Out(), u"~qzx2.tmp")).c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
#endif
}

TEST(Extract, CancelBetweenBlocksLeavesNoFile) {
  for (const uint16_t method : {uint16_t(0), uint16_t(8)}) {
    SCOPED_TRACE(method);
    Extraction x("extract_cancel");
    x.Put(u"data.bin", "old");
    // Noise, so that deflated data too needs several input blocks, and input left to
    // read after the first flush of Inflate, which collects eight blocks.
    std::string noise(17 * 32768 + 5, '\0');
    uint32_t seed = 7;
    for (char& c : noise) c = char((seed = seed * 1664525u + 1013904223u) >> 24);
    x.Write({{.name = "data.bin", .data = noise, .method = method}});
    EXPECT_THROW(x.Run([](TXrUnZip& u) {
      u.OnFilePercentDone = [](TXrUnZip& sender, int32_t) { sender.RequestCancel(); };
    }),
                 EUserCanceled);
    const auto tree = x.OutTree();
    EXPECT_EQ(tree.size(), 1u);  // no temporary file left
    EXPECT_EQ(ReadFileBytes(JoinPath(x.Out(), u"data.bin")), "old");
  }
}

TEST(Extract, DamagedDataKeepsTheExistingFileAndReportsZlib) {
  Extraction x("extract_damaged");
  x.Put(u"keep.txt", "keep");
  std::string damaged = RawDeflate(Pattern(5000));
  damaged[0] = char(0x07);  // block type 3 does not exist
  x.Write({{.name = "first.txt", .data = "first"},
           {.name = "keep.txt", .data = Pattern(5000), .payload = damaged}});
  try {
    x.Run();
    FAIL() << "no error";
  } catch (const EZCompressionError& e) {
    EXPECT_EQ(e.Message(), u"error (-3: invalid block type)");
  }
  EXPECT_EQ(x.OutTree(), (std::map<std::string, std::string>{{"first.txt", "first"},
                                                             {"keep.txt", "keep"}}));
  EXPECT_EQ(x.log.completeCount, 1);
}

// A read-only file that ReplaceReadOnly would have replaced keeps its bit and its data
// when the entry fails, by its check or by an error that ends the run.
TEST(Extract, FailedEntryLeavesTheReadOnlyFileAsItWas) {
  std::string damaged = RawDeflate(Pattern(5000));
  damaged[0] = char(0x07);  // block type 3 does not exist
  const struct {
    const char* what;
    ArchiveEntry entry;
    bool endsTheRun;
  } cases[] = {
      {"wrong CRC", {.name = "f.txt", .data = "new", .crc = 1}, false},
      {"damaged data", {.name = "f.txt", .data = Pattern(5000), .payload = damaged}, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Extraction x("extract_read_only_kept");
    x.Write({c.entry});
    x.Put(u"f.txt", "old");
    const String target = JoinPath(x.Out(), u"f.txt");
    ASSERT_EQ(SetAttributes(target, faReadOnly), 0);
    auto run = [&] { return x.Run([](TXrUnZip& u) { u.ReplaceReadOnly = true; }); };
    if (c.endsTheRun)
      EXPECT_THROW(run(), EZCompressionError);
    else
      EXPECT_EQ(run(), 0);
    EXPECT_EQ(ReadFileBytes(target), "old");
    EXPECT_NE(GetAttributes(target) & faReadOnly, 0);
    SetAttributes(target, 0);
  }
}

}  // namespace
