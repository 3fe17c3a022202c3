// Where an extracted file may go: never over a file of the archive set reached under
// another name, never through a link below the destination, never over a file that
// appeared while the entry was decoded; and the local dates it is given.
#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "base/format.h"
#include "base/text.h"
#include "tests/testlib/test_paths.h"
#include "tests/unzip/extract_test_support.h"
#include "tests/unzip/zip_builder.h"
#include "unzip/host_hooks.h"
#include "unzip/xr_unzip.h"
#include "unzip/zip_file_routines.h"

#ifndef QZ_LINK_FIXTURES
#error "QZ_LINK_FIXTURES names the folder whose links the build made"
#endif

namespace {

struct Outcome {
  int32_t done = 0;
  std::vector<std::pair<TSkipReason, String>> skipped;
  int32_t prompts = 0;
};

// Extracts Archive into Dest, every entry over what is there unless Configure says
// otherwise.
Outcome Extract(const String& archive, const String& dest,
                const std::function<void(TXrUnZip&, Outcome&)>& configure = {}) {
  Outcome out;
  TXrUnZip unzip;
  unzip.SetZipName(archive);
  unzip.SetDestDir(dest);
  unzip.DoAll = true;
  unzip.RecreateDirs = true;
  unzip.OverwriteMode = TUZOverwriteMode::Always;
  unzip.OnSkippingFile = [&](TXrUnZip&, TSkipReason reason, const String& name, int32_t, bool&) {
    out.skipped.emplace_back(reason, FileNameOf(name));
  };
  if (configure) configure(unzip, out);
  out.done = unzip.UnZip();
  return out;
}

// The last part of a split set that claims LastDisk + 1 parts; its entries, stored,
// hold their own names and lie in this part.
std::string LastPart(const std::vector<std::string>& names, uint16_t lastDisk) {
  std::string body, central;
  for (const std::string& name : names) {
    CentralFields f;
    f.name = name;
    f.crc = Crc32Of(name);
    f.compressedSize = f.uncompressedSize = uint32_t(name.size());
    f.disk = lastDisk;
    f.offset = uint32_t(body.size());
    body += LocalHeader(f) + name;
    central += CentralHeader(f);
  }
  EndFields end;
  end.thisDisk = end.startDisk = lastDisk;
  end.entriesThisDisk = end.entries = uint16_t(names.size());
  end.dirSize = uint32_t(central.size());
  end.dirOffset = uint32_t(body.size());
  return body + central + EndRecord(end);
}

String LinkFixture(const String& name) {
  return JoinPath(HostPath(QZ_LINK_FIXTURES), name);
}

bool MakeHardLink(const String& link, const String& target) {
#ifdef _WIN32
  return CreateHardLinkW(reinterpret_cast<const wchar_t*>(link.c_str()),
                         reinterpret_cast<const wchar_t*>(target.c_str()), nullptr) != 0;
#else
  return ::link(ToUtf8(target).c_str(), ToUtf8(link).c_str()) == 0;
#endif
}

// A split set of three parts in Parts, extracted into Dest; its entries are named like
// the parts as Dest reaches them (Aliases). None of them is written, "ok.txt" is. Only
// the last part is open while the entries are written: on Windows an open file cannot
// be renamed over, the others can.
void ExpectPartsLeftAlone(const String& parts, const String& dest,
                          const std::vector<String>& aliases) {
  const std::map<String, std::string> before = {{u"set.z01", "part 1"}, {u"set.002", "part 2"}};
  for (const auto& [name, bytes] : before) WriteFileBytes(JoinPath(parts, name), bytes);
  std::vector<std::string> entries = {"ok.txt"};
  for (const String& alias : aliases) entries.push_back(ToUtf8(alias));
  const std::string last = LastPart(entries, 2);
  WriteFileBytes(JoinPath(parts, u"set.zip"), last);
  const Outcome o = Extract(JoinPath(parts, u"set.zip"), dest);
  EXPECT_EQ(o.done, 1);
  EXPECT_EQ(o.skipped.size(), aliases.size());
  for (const auto& [reason, name] : o.skipped) EXPECT_EQ(reason, TSkipReason::srCreateError);
  for (const auto& [name, bytes] : before) EXPECT_EQ(ReadFileBytes(JoinPath(parts, name)), bytes);
  EXPECT_EQ(ReadFileBytes(JoinPath(parts, u"set.zip")), last);
  EXPECT_EQ(ReadFileBytes(JoinPath(dest, u"ok.txt")), "ok.txt");
}

// Other names for the files of the set: second hard links to them, their folder
// through a folder link, and on Windows the prefixed forms of the destination.
TEST(ExtractTarget, PartsReachedUnderAnotherSpellingAreLeftAlone) {
  {
    SCOPED_TRACE("hard links in the destination");
    ScratchDir dir("target_hard_link");
    const String out = dir / u"out";
    MakeDirs(out);
    for (const String& part : {String(u"set.z01"), String(u"set.zip")}) {
      WriteFileBytes(dir / part, "");
      ASSERT_TRUE(MakeHardLink(JoinPath(out, u"copy" + FileExtOf(part)), dir / part));
    }
    ExpectPartsLeftAlone(dir.Path(), out, {u"copy.z01", u"copy.zip"});
  }
  {
    // Natively the link's real path shows it too; Windows sees no link in the path.
    SCOPED_TRACE("destination is a folder link to the set's folder");
    const String parts = LinkFixture(u"archive_folder");
    ExpectPartsLeftAlone(parts, LinkFixture(u"alias"), {u"set.z01", u"set.002", u"set.zip"});
    for (const String& name : NamesInFolder(parts)) RemoveFile(JoinPath(parts, name));
  }
#ifdef _WIN32
  for (const String& prefix : {String(u"\\\\?\\"), String(u"\\\\.\\")}) {
    SCOPED_TRACE(ToUtf8(prefix) + " before the destination");
    ScratchDir dir("target_prefixed");
    ExpectPartsLeftAlone(dir.Path(), prefix + FullPathOf(dir.Path()),
                         {u"set.z01", u"set.002", u"set.zip"});
  }
#endif
}

#ifndef _WIN32
// A folder mounted a second time: nothing in the path is a link, only the file's
// identity tells the archive and its parts apart from other files.
class BindMount {
public:
  BindMount(const std::string& from, const std::string& to) : to_(to) {
    mounted_ = ::mount(from.c_str(), to.c_str(), nullptr, MS_BIND, nullptr) == 0;
    if (!mounted_) error_ = std::strerror(errno);
  }
  ~BindMount() {
    if (mounted_) ::umount2(to_.c_str(), MNT_DETACH);
  }
  BindMount(const BindMount&) = delete;
  BindMount& operator=(const BindMount&) = delete;
  bool Mounted() const { return mounted_; }
  const std::string& Error() const { return error_; }

private:
  std::string to_;
  std::string error_;
  bool mounted_ = false;
};

// The archive, one of its entries named like it, reached through DestDir under another
// spelling: the archive stays as it was, the other entry is written.
void ExpectArchiveLeftAlone(const String& archive, const String& destDir, const String& entryName) {
  const std::string bytes = BuildArchive({{.name = ToUtf8(entryName), .data = "not the archive"},
                                          {.name = "other.txt", .data = "other"}});
  WriteFileBytes(archive, bytes);
  const Outcome o = Extract(archive, destDir);
  EXPECT_EQ(o.done, 1);
  EXPECT_EQ(ReadFileBytes(archive), bytes);
  ASSERT_EQ(o.skipped.size(), 1u);
  EXPECT_EQ(o.skipped[0].first, TSkipReason::srCreateError);
  EXPECT_EQ(ReadFileBytes(JoinPath(destDir, u"other.txt")), "other");
}

TEST(ExtractTarget, ArchiveAndPartsThroughABindMountAreLeftAlone) {
  ScratchDir dir("target_bind_mount");
  std::filesystem::create_directory(dir.UnixPath() + "/parts");
  std::filesystem::create_directory(dir.UnixPath() + "/view");
  const BindMount mount(dir.UnixPath() + "/parts", dir.UnixPath() + "/view");
  if (!mount.Mounted()) GTEST_SKIP() << "no bind mount here (needs root): " << mount.Error();
  const String parts = dir / u"parts";
  const String view = dir / u"view";
  {
    SCOPED_TRACE("one file");
    ExpectArchiveLeftAlone(JoinPath(parts, u"in.zip"), view, u"in.zip");
    RemoveFile(JoinPath(parts, u"in.zip"));
    RemoveFile(JoinPath(parts, u"other.txt"));
  }
  {
    SCOPED_TRACE("split set");
    ExpectPartsLeftAlone(parts, view, {u"set.z01", u"set.002", u"set.zip"});
  }
}
#endif

// A set of more parts than the handler is asked for before the run: a later part that is
// there is told by its identity all the same. At the limit all names are asked first.
TEST(ExtractTarget, LaterPartOfALargeSetNamedByTheHandlerIsLeftAlone) {
  for (const uint16_t parts : {uint16_t(4096), uint16_t(4097)}) {
    SCOPED_TRACE(parts);
    ScratchDir dir("target_named_parts");
    // The handler's names: "big-N.part", the last one "big.zip" as opened.
    const auto partName = [&](int32_t n) {
      return n == parts ? String(u"big.zip") : u"big-" + IntToStr(n) + u".part";
    };
    const std::vector<int32_t> present = {2, 77, parts - 1};
    std::vector<std::string> entries = {"ok.txt"};
    for (const int32_t n : present) {
      WriteFileBytes(dir / partName(n), "part " + std::to_string(n));
      entries.push_back(ToUtf8(partName(n)));
    }
    WriteFileBytes(dir / u"big.zip", LastPart(entries, uint16_t(parts - 1)));
    int32_t named = 0;
    const Outcome o = Extract(dir / u"big.zip", dir.Path(), [&](TXrUnZip& u, Outcome&) {
      u.OnFileNameForSplitPart = [&](TXrUnZip&, String& fName, int32_t number, TSplitPartType) {
        ++named;
        fName = JoinPath(dir.Path(), partName(number));
      };
    });
    EXPECT_EQ(o.done, 1);
    EXPECT_EQ(o.skipped.size(), present.size());
    for (const int32_t n : present)
      EXPECT_EQ(ReadFileBytes(dir / partName(n)), "part " + std::to_string(n));
    EXPECT_EQ(ReadFileBytes(dir / u"ok.txt"), "ok.txt");
    EXPECT_GE(named, int32_t(parts));
  }
}

// A spanned set whose disks the host names: an entry on disk 1 named like disk 2 does
// not replace that disk before it is read.
TEST(ExtractTarget, SpannedDiskNotOpenedYetIsLeftAlone) {
  ScratchDir dir("target_spanned_disks");
  const auto diskName = [&](int32_t n) { return dir / (u"part" + IntToStr(n) + u".zip"); };
  const std::vector<std::pair<std::string, std::string>> entries = {
      {"part2.zip", "not disk 2"}, {"b.txt", "b"}};
  std::string central;
  for (uint16_t disk = 0; disk < entries.size(); ++disk) {
    const auto& [name, data] = entries[disk];
    CentralFields f;
    f.name = name;
    f.crc = Crc32Of(data);
    f.compressedSize = f.uncompressedSize = uint32_t(data.size());
    f.disk = disk;
    WriteFileBytes(diskName(disk + 1), LocalHeader(f) + data);
    central += CentralHeader(f);
  }
  EndFields end;
  end.thisDisk = end.startDisk = 2;
  end.entriesThisDisk = end.entries = uint16_t(entries.size());
  end.dirSize = uint32_t(central.size());
  WriteFileBytes(diskName(3), central + EndRecord(end));
  const std::string disk2 = ReadFileBytes(diskName(2));
  const Outcome o = Extract(diskName(3), dir.Path(), [&](TXrUnZip& u, Outcome&) {
    u.SetMultiPartMode(TMultiPartMode::mpSpanned);
    u.SetVerifyDiskLabels(false);
    u.OnGetNextDisk = [&](TXrUnZip&, int32_t n, String& name) { name = diskName(n); };
  });
  EXPECT_EQ(o.done, 1);
  EXPECT_EQ(o.skipped, (std::vector<std::pair<TSkipReason, String>>{
                           {TSkipReason::srCreateError, u"part2.zip"}}));
  EXPECT_EQ(ReadFileBytes(diskName(2)), disk2);
  EXPECT_EQ(ReadFileBytes(dir / u"b.txt"), "b");
}

// DestDir holds "link", a folder link to a folder beside it: nothing below the link is
// made, and a real folder next to it is used as usual.
TEST(ExtractTarget, FolderLinkBelowTheDestinationIsNotFollowed) {
  const String dest = LinkFixture(u"dest");
  const String outside = LinkFixture(u"outside");
  const auto clean = [&] {
    for (const String& name : {String(u"f.txt"), String(u"sub\\g.txt")}) RemoveFile(JoinPath(outside, name));
    for (const String& name : {String(u"sub"), String(u"made")}) {
      std::error_code ignored;
      std::filesystem::remove(std::filesystem::path(ToUtf8(JoinPath(outside, name))), ignored);
    }
    RemoveFile(JoinPath(dest, u"plain\\h.txt"));
  };
  clean();
  ScratchDir dir("target_folder_link");
  const String archive = dir / u"in.zip";
  WriteFileBytes(archive, BuildArchive({{.name = "link/f.txt", .data = "f"},
                                        {.name = "link/sub/g.txt", .data = "g"},
                                        {.name = "link/made/", .data = ""},
                                        {.name = "plain/h.txt", .data = "h"}}));
  const Outcome o = Extract(archive, dest);
  const auto leftOutside = TreeOf(outside);
  clean();
  EXPECT_EQ(o.done, 1);
  ASSERT_EQ(o.skipped.size(), 3u);
  for (const auto& [reason, name] : o.skipped) EXPECT_EQ(reason, TSkipReason::srCreateError);
  EXPECT_EQ(leftOutside, (std::map<std::string, std::string>{}));
}

// The entry's name is a link to a read-only file outside DestDir, or a second hard link
// to it. The name is replaced (or left, when the entry fails); the file outside keeps
// its bit and data. Wine shows a symbolic link to a file as the file itself, so that
// kind is shown natively.
TEST(ExtractTarget, ReadOnlyFileOutsideReachedThroughTheNameIsNotTouched) {
  enum class Kind { Symbolic, Hard };
  const struct {
    Kind kind;
    const char* what;
    ArchiveEntry entry;
    bool written;
  } cases[] = {
#ifndef _WIN32
      {Kind::Symbolic, "good entry", {.name = "f.txt", .data = "new"}, true},
      {Kind::Symbolic, "wrong CRC", {.name = "f.txt", .data = "new", .crc = 1}, false},
#endif
      {Kind::Hard, "good entry", {.name = "f.txt", .data = "new"}, true},
      {Kind::Hard, "wrong CRC", {.name = "f.txt", .data = "new", .crc = 1}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.kind == Kind::Hard ? "hard link, " : "symbolic link, ")
                                    << c.what);
    ScratchDir dir("target_read_only_link");
    const String victim = dir / u"victim.txt";
    WriteFileBytes(victim, "victim");
    MakeDirs(dir / u"out");
    const String name = JoinPath(dir / u"out", u"f.txt");
#ifndef _WIN32
    if (c.kind == Kind::Symbolic) {
      ASSERT_EQ(::symlink(ToUtf8(victim).c_str(), ToUtf8(name).c_str()), 0);
    }
#endif
    if (c.kind == Kind::Hard) {
      ASSERT_TRUE(MakeHardLink(name, victim));
    }
    ASSERT_EQ(SetAttributes(victim, faReadOnly), 0);
    WriteFileBytes(dir / u"in.zip", BuildArchive({c.entry}));
    const Outcome o = Extract(dir / u"in.zip", dir / u"out",
                              [](TXrUnZip& u, Outcome&) { u.ReplaceReadOnly = true; });
    EXPECT_EQ(o.done, c.written ? 1 : 0);
    EXPECT_NE(GetAttributes(victim) & faReadOnly, 0);
    EXPECT_EQ(ReadFileBytes(victim), "victim");
    EXPECT_EQ(ReadFileBytes(name), c.written ? "new" : "victim");
#ifndef _WIN32
    struct stat st {};
    ASSERT_EQ(::lstat(ToUtf8(name).c_str(), &st), 0);
    EXPECT_EQ(S_ISLNK(st.st_mode), c.kind == Kind::Symbolic && !c.written);
#endif
    EXPECT_EQ(TreeOf(dir / u"out").size(), 1u);
    SetAttributes(victim, 0);
    SetAttributes(name, 0);
  }
}

#ifndef _WIN32
// A link to nothing at the entry's name is something there: the modes that keep what is
// there keep it (and make nothing where it points), Prompt asks.
TEST(ExtractTarget, LinkToNothingAtTheNameIsSomethingThere) {
  const struct {
    TUZOverwriteMode mode;
    int promptAnswer;  // 0: not asked
    bool replaced;
  } cases[] = {
      {TUZOverwriteMode::Never, 0, false},
      {TUZOverwriteMode::Prompt, idNo, false},
      {TUZOverwriteMode::Prompt, idYes, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "mode " << int(c.mode) << ", answer " << c.promptAnswer);
    ScratchDir dir("target_dangling_link");
    MakeDirs(dir / u"out");
    const std::string nowhere = ToUtf8(dir / u"nowhere.txt");
    const std::string link = ToUtf8(JoinPath(dir / u"out", u"f.txt"));
    ASSERT_EQ(::symlink(nowhere.c_str(), link.c_str()), 0);
    WriteFileBytes(dir / u"in.zip", BuildArchive({{.name = "f.txt", .data = "new"}}));
    const Outcome o = Extract(dir / u"in.zip", dir / u"out", [&](TXrUnZip& u, Outcome& out) {
      u.OverwriteMode = c.mode;
      u.OnHandleMessage = [&](TXrUnZip&, int32_t, const String&, const String&, uint32_t,
                              int32_t& answer) {
        ++out.prompts;
        answer = c.promptAnswer;
      };
    });
    EXPECT_EQ(o.prompts, c.promptAnswer ? 1 : 0);
    EXPECT_EQ(o.done, c.replaced ? 1 : 0);
    struct stat st {};
    ASSERT_EQ(::lstat(link.c_str(), &st), 0);
    EXPECT_EQ(S_ISLNK(st.st_mode), !c.replaced);
    EXPECT_NE(::lstat(nowhere.c_str(), &st), 0);
    if (c.replaced) {
      EXPECT_EQ(ReadFileBytes(JoinPath(dir / u"out", u"f.txt")), "new");
    } else {
      EXPECT_EQ(o.skipped, (std::vector<std::pair<TSkipReason, String>>{
                               {TSkipReason::srNoOverwrite, u"f.txt"}}));
    }
  }
}
#endif

// Nothing was there when the decision was made; a file appears while the entry is
// decoded. The decision is kept: only a mode that would replace it replaces it, and a
// read-only one only with ReplaceReadOnly.
TEST(ExtractTarget, FileThatAppearsDuringDecodingIsTheOverwriteCase) {
  const struct {
    TUZOverwriteMode mode;
    int promptAnswer;  // 0: not asked
    bool readOnly;
    bool replaceReadOnly;
    bool replaced;
  } cases[] = {
      {TUZOverwriteMode::Never, 0, false, false, false},
      {TUZOverwriteMode::Prompt, idNo, false, false, false},
      {TUZOverwriteMode::Prompt, idYes, false, false, true},
      {TUZOverwriteMode::Always, 0, false, false, true},
      {TUZOverwriteMode::Prompt, idYes, true, false, false},
      {TUZOverwriteMode::Prompt, idYes, true, true, true},
      {TUZOverwriteMode::Always, 0, true, false, false},
      {TUZOverwriteMode::Always, 0, true, true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "mode " << int(c.mode) << ", answer " << c.promptAnswer
                                    << ", read-only " << c.readOnly << ", replace read-only "
                                    << c.replaceReadOnly);
    ScratchDir dir("target_appears");
    WriteFileBytes(dir / u"in.zip", BuildArchive({{.name = "f.txt", .data = "new"}}));
    const String target = JoinPath(dir / u"out", u"f.txt");
    const Outcome o = Extract(dir / u"in.zip", dir / u"out", [&](TXrUnZip& u, Outcome& out) {
      u.OverwriteMode = c.mode;
      u.ReplaceReadOnly = c.replaceReadOnly;
      u.OnFilePercentDone = [&](TXrUnZip&, int32_t) {
        if (FileFound(target)) return;
        WriteFileBytes(target, "someone's");
        if (c.readOnly) SetAttributes(target, faReadOnly);
      };
      u.OnHandleMessage = [&](TXrUnZip&, int32_t, const String& text, const String&, uint32_t,
                              int32_t& answer) {
        ++out.prompts;
        EXPECT_EQ(text, u"Replace existing file f.txt?");
        answer = c.promptAnswer;
      };
    });
    EXPECT_EQ(o.prompts, c.promptAnswer ? 1 : 0);
    EXPECT_EQ(ReadFileBytes(target), c.replaced ? "new" : "someone's");
    EXPECT_EQ(o.done, c.replaced ? 1 : 0);
    if (!c.replaced) {
      ASSERT_EQ(o.skipped.size(), 1u);
      EXPECT_EQ(o.skipped[0].first,
                c.readOnly ? TSkipReason::srCreateError : TSkipReason::srNoOverwrite);
      EXPECT_EQ(GetAttributes(target) & faReadOnly, c.readOnly ? faReadOnly : 0);
    }
    EXPECT_EQ(TreeOf(dir / u"out").size(), 1u);  // no temporary file left
    SetAttributes(target, 0);
  }
}

// A file appears at the entry's name while it is decoded and the prompt's handler gives
// another name: the file is written there, and that is the name reported.
TEST(ExtractTarget, NameGivenWhenTheFileIsPutInPlaceIsReported) {
  ScratchDir dir("target_renamed_late");
  WriteFileBytes(dir / u"in.zip", BuildArchive({{.name = "f.txt", .data = "new"}}));
  const String target = JoinPath(dir / u"out", u"f.txt");
  const String other = JoinPath(dir / u"out", u"g.txt");
  std::vector<String> ended;
  const Outcome o = Extract(dir / u"in.zip", dir / u"out", [&](TXrUnZip& u, Outcome& out) {
    u.OverwriteMode = TUZOverwriteMode::Prompt;
    u.OnFilePercentDone = [&](TXrUnZip&, int32_t) {
      if (!FileFound(target)) WriteFileBytes(target, "someone's");
    };
    u.OnPromptForOverwrite = [&](TXrUnZip&, bool& overWriteIt, int32_t, String& name) {
      ++out.prompts;
      name = other;
      overWriteIt = true;
    };
    u.OnEndUnZip = [&](TXrUnZip&, int32_t, const String& name) { ended.push_back(name); };
  });
  EXPECT_EQ(o.done, 1);
  EXPECT_EQ(o.prompts, 1);
  EXPECT_EQ(ReadFileBytes(target), "someone's");
  EXPECT_EQ(ReadFileBytes(other), "new");
  EXPECT_EQ(ended, std::vector<String>{other});
}

// Seconds since 1970 of the file's last write, in UTC.
int64_t UtcWriteTime(const String& name) {
#ifdef _WIN32
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(reinterpret_cast<const wchar_t*>(name.c_str()), GetFileExInfoStandard,
                            &data))
    return -1;
  const uint64_t ticks = (uint64_t(data.ftLastWriteTime.dwHighDateTime) << 32) |
                         data.ftLastWriteTime.dwLowDateTime;
  return int64_t(ticks / 10000000) - 11644473600;
#else
  struct stat st {};
  return ::stat(ToUtf8(name).c_str(), &st) == 0 ? int64_t(st.st_mtime) : -1;
#endif
}

// New York: a July noon is 16:00 UTC and a January noon 17:00, whatever the season the
// test runs in. Windows takes the zone of the process: ctest starts it once more with TZ
// set (under Wine that is the zone Windows sees).
TEST(ZoneTimes, DatesInEitherSeasonKeepTheirLocalTime) {
#ifdef _WIN32
  TIME_ZONE_INFORMATION zone;
  if (GetTimeZoneInformation(&zone) == TIME_ZONE_ID_INVALID || zone.Bias != 300 ||
      zone.DaylightBias != -60)
    GTEST_SKIP() << "runs in a process started with TZ=America/New_York";
#else
  ScopedTimeZone newYork("America/New_York");
#endif
  const struct {
    uint32_t dosTime;
    int64_t utc;
  } cases[] = {
      {0x52EF6000, 1626364800},  // 2021-07-15 12:00:00, 16:00 UTC
      {0x522F6000, 1610730000},  // 2021-01-15 12:00:00, 17:00 UTC
  };
  ScratchDir dir("zone_times");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.utc);
    const String name = dir / u"dated.txt";
    WriteFileBytes(name, "x");
    ASSERT_TRUE(SetFileDosAge(name, c.dosTime));
    EXPECT_EQ(UtcWriteTime(name), c.utc);
    EXPECT_EQ(FileDosAge(name), int32_t(c.dosTime));
  }
}

}  // namespace
