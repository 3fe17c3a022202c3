#include <gtest/gtest.h>

#include <functional>

#include "base/exception.h"
#include "base/format.h"
#include "tests/testlib/test_paths.h"
#include "tests/unzip/unzip_test_support.h"
#include "tests/unzip/zip_builder.h"
#include "unzip/host_hooks.h"
#include "unzip/unzip_errors.h"

namespace {

// Each fixture's directory is what python's zipfile lists for it (or, for archives
// it reads differently, what the generator states).
TEST(ZipDirectory, ListingsMatchTheFixtures) {
  struct Case {
    const char* fixture;
    TIncompleteZipMode mode;
    bool rebuilt;
    bool dropped;
  };
  const Case cases[] = {
      {"empty.zip", TIncompleteZipMode::izAssumeMulti, false, false},
      {"end_only.zip", TIncompleteZipMode::izAssumeMulti, false, false},
      {"basic.zip", TIncompleteZipMode::izAssumeMulti, false, false},
      {"comments.zip", TIncompleteZipMode::izAssumeMulti, false, false},
      {"descriptor.zip", TIncompleteZipMode::izAssumeMulti, false, false},
      {"stub_adjusted.zip", TIncompleteZipMode::izAssumeMulti, false, false},
      // Offsets counted from the archive's own start: rebuilt from the local headers.
      {"stub_unadjusted.zip", TIncompleteZipMode::izAssumeMulti, true, true},
      {"zip64_many.zip", TIncompleteZipMode::izAssumeMulti, false, false},
      {"zip64_size.zip", TIncompleteZipMode::izAssumeMulti, false, false},
      {"zip64_offset.zip", TIncompleteZipMode::izAssumeMulti, false, false},
      {"unicode_path.zip", TIncompleteZipMode::izAssumeMulti, false, false},
      {"cut_end_record.zip", TIncompleteZipMode::izAssumeBad, true, false},
      {"cut_directory.zip", TIncompleteZipMode::izAssumeBad, true, false},
      {"cut_descriptor.zip", TIncompleteZipMode::izAssumeBad, true, true},
      {"missing_extra.zip", TIncompleteZipMode::izAssumeMulti, false, false},
      {"duplicate_offset.zip", TIncompleteZipMode::izAssumeMulti, true, true},
      {"descriptor_sizes.zip", TIncompleteZipMode::izAssumeBad, true, false},
      {"data_past_end.zip", TIncompleteZipMode::izAssumeBad, true, true},
      {"descriptor_huge_size.zip", TIncompleteZipMode::izAssumeBad, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fixture);
    RecordingUnZip unzip;
    unzip.IncompleteZipMode = c.mode;
    unzip.SetZipName(Fixture(c.fixture));
    unzip.LoadDirectory();
    EXPECT_EQ(ListingOf(unzip), ExpectedListing(c.fixture));
    EXPECT_EQ(unzip.Rebuilt(), c.rebuilt);
    EXPECT_EQ(unzip.EntriesDropped(), c.dropped);
    EXPECT_FALSE(unzip.Busy());
  }
}

TEST(ZipDirectory, Zip64CountsAndOffsets) {
  TXrUnZip unzip;
  unzip.SetZipName(Fixture("zip64_many.zip"));
  unzip.LoadDirectory();
  EXPECT_EQ(unzip.EndRecord().EntryCount(), 70000);
  EXPECT_EQ(unzip.LoadedEntryCount(), 70000);
  EXPECT_EQ(unzip.GetEntryName(69999), u"f69999");

  unzip.SetZipName(Fixture("zip64_offset.zip"));
  unzip.LoadDirectory();
  ASSERT_EQ(unzip.LoadedEntryCount(), 1);
  EXPECT_EQ(unzip.Entry(0).RelativeOffset(), 0x100001000LL);
  EXPECT_GT(unzip.EndRecord().CentralDirOffset(), 0x100000000LL);
}

TEST(ZipDirectory, MissingEndRecordFollowsTheIncompleteMode) {
  ScratchDir dir("zip_directory_incomplete");
  const String shortFile = dir / u"short.zip";
  WriteFileBytes(shortFile, "PK\x05\x06 too short");
  const String noLocal = dir / u"nolocal.zip";
  WriteFileBytes(noLocal, std::string(300, 'n'));

  {
    TXrUnZip unzip;
    unzip.SetZipName(shortFile);
    unzip.LoadDirectory();  // without a handler the read is left for UnZip
    EXPECT_EQ(unzip.ZipName(), shortFile);
    try {
      unzip.UnZip();
      FAIL() << "no error";
    } catch (const EIncompleteZip& e) {
      EXPECT_EQ(e.Message(), u"Incomplete Zip File");
    }
  }
  {
    TXrUnZip unzip;
    unzip.IncompleteZipMode = TIncompleteZipMode::izAssumeNotAZip;
    unzip.SetZipName(shortFile);
    EXPECT_THROW(unzip.LoadDirectory(), ENotAZipFile);
    EXPECT_EQ(unzip.ZipName(), u"");  // cleared
  }
  {
    TXrUnZip unzip;
    unzip.IncompleteZipMode = TIncompleteZipMode::izAssumeBad;
    unzip.SetZipName(noLocal);
    try {
      unzip.LoadDirectory();
      FAIL() << "no error";
    } catch (const EBadZipFile& e) {
      EXPECT_EQ(e.Message(), u"Not a valid zip file!");
    }
    EXPECT_EQ(unzip.ZipName(), u"");
  }
  // A handler is asked again only while it changes something: one that leaves the
  // mode as it was ends the read with the not-a-zip error. Messages are pumped between
  // the passes.
  const struct {
    TIncompleteZipMode start;
    int calls;
    int pumpsBetween;
  } handlerCases[] = {
      {TIncompleteZipMode::izAssumeMulti, 1, 0},
      // The first answer changes the mode to izAssumeMulti: asked once more.
      {TIncompleteZipMode::izAssumeBad, 2, 1},
  };
  for (const auto& c : handlerCases) {
    SCOPED_TRACE(int(c.start));
    TXrUnZip unzip;
    int calls = 0;
    int pumps = 0;
    int pumpsBetween = 0;
    TZipHostHooks hooks;
    hooks.PumpMessages = [&] {
      ++pumps;
      return false;
    };
    TZipHostHooksScope scope(hooks);
    unzip.IncompleteZipMode = c.start;
    unzip.OnInCompleteZip = [&](TXrUnZip&, TIncompleteZipMode& mode) {
      if (calls > 0 && pumps > 0) ++pumpsBetween;
      pumps = 0;
      mode = TIncompleteZipMode::izAssumeMulti;
      // Ends the test instead of looping forever when the read does not end.
      if (++calls == 20) mode = TIncompleteZipMode::izAssumeBad;
    };
    unzip.SetZipName(shortFile);
    try {
      unzip.LoadDirectory();
      FAIL() << "no error";
    } catch (const ENotAZipFile& e) {
      EXPECT_EQ(e.Message(), u"Not a valid zip file!");
    }
    EXPECT_EQ(calls, c.calls);
    EXPECT_EQ(pumpsBetween, c.pumpsBetween);
    EXPECT_EQ(unzip.ZipName(), u"");
    EXPECT_FALSE(unzip.Busy());
  }
}

// The handler may name another archive, as a user does who puts in the last disk: that
// one is read, with the mode it leaves, and the archive in use is let go first.
TEST(ZipDirectory, IncompleteHandlerNamesAnotherArchive) {
  ScratchDir dir("zip_directory_incomplete_name");
  const String firstDisk = dir / u"first.zip";
  WriteFileBytes(firstDisk, "PK\x05\x06 too short");
  const String lastDisk = dir / u"last.zip";
  WriteFileBytes(lastDisk, StoredArchive({{"a.txt", "aaaa", ""}, {"b.txt", "bbbb", ""}}));
  for (const TIncompleteZipMode answer :
       {TIncompleteZipMode::izAssumeMulti, TIncompleteZipMode::izAssumeNotAZip}) {
    SCOPED_TRACE(int(answer));
    TXrUnZip unzip;
    std::vector<String> asked;
    unzip.OnInCompleteZip = [&](TXrUnZip& sender, TIncompleteZipMode& mode) {
      asked.push_back(sender.ZipName());
      sender.SetZipName(lastDisk);
      mode = answer;
    };
    unzip.SetZipName(firstDisk);
    unzip.LoadDirectory();
    EXPECT_EQ(asked, std::vector<String>{firstDisk});
    EXPECT_EQ(unzip.ZipName(), lastDisk);
    ASSERT_EQ(unzip.LoadedEntryCount(), 2);
    EXPECT_EQ(unzip.GetEntryName(1), u"b.txt");
    EXPECT_FALSE(unzip.Busy());
  }
}

TEST(ZipDirectory, SideFileHoldsTheDirectory) {
  ScratchDir dir("zip_directory_side");
  const std::string full = StoredArchive(
      {{"one.txt", "first", ""}, {"two.txt", "second", "the second entry"}}, "the archive");
  const size_t dirStart = full.find("PK\x01\x02");
  WriteFileBytes(dir / u"set.zip", full.substr(0, dirStart));
  // The side file: the central directory from offset 0, then the end record.
  std::string side = full.substr(dirStart);
  side.replace(side.find("PK\x05\x06") + 16, 4, Le32(0));
  WriteFileBytes(dir / u"set.zfc", side);
  TXrUnZip unzip;
  unzip.SetZipName(dir / u"set.zip");
  unzip.LoadDirectory();
  ASSERT_EQ(unzip.LoadedEntryCount(), 2);
  EXPECT_EQ(unzip.GetEntryName(1), u"two.txt");
  EXPECT_FALSE(unzip.Rebuilt());
  // The comments are read later, from where the directory came from.
  EXPECT_EQ(unzip.GetArchiveComment(), "the archive");
  EXPECT_EQ(unzip.GetEntryComment(0), "");
  EXPECT_EQ(unzip.GetEntryComment(1), "the second entry");
}

TEST(ZipDirectory, SelfExtractorScanStartsAfterItsProgram) {
  ScratchDir dir("zip_directory_sfx");
  const std::string early = StoredArchive({{"early.txt", "e", ""}});
  const std::string late = StoredArchive({{"late.txt", "l", ""}});
  std::string bytes = early.substr(0, early.find("PK\x01\x02"));
  bytes += std::string(14000 - bytes.size() + 10, 'x');
  bytes += late.substr(0, late.find("PK\x01\x02"));
  for (const char16_t* name : {u"setup.EXE", u"setup.zip"}) {
    WriteFileBytes(dir / name, bytes);
    TXrUnZip unzip;
    unzip.IncompleteZipMode = TIncompleteZipMode::izAssumeBad;
    unzip.SetZipName(dir / name);
    unzip.LoadDirectory();
    ASSERT_GE(unzip.LoadedEntryCount(), 1);
    EXPECT_EQ(unzip.GetEntryName(0), String(name) == u"setup.EXE" ? u"late.txt" : u"early.txt");
  }
}

TEST(ZipDirectory, Comments) {
  TXrUnZip unzip;
  unzip.SetZipName(Fixture("comments.zip"));
  unzip.LoadDirectory();
  EXPECT_EQ(unzip.GetArchiveComment(), "archive comment");
  EXPECT_EQ(unzip.GetEntryComment(0), "first entry");
  EXPECT_EQ(unzip.GetEntryComment(1), "");
  EXPECT_EQ(unzip.GetEntryComment(2), "third");
  EXPECT_FALSE(unzip.EndRecord().Changed);
  unzip.SetArchiveComment("new");
  EXPECT_TRUE(unzip.EndRecord().Changed);
  EXPECT_THROW(unzip.GetEntryComment(3), EListError);
}

// During an extraction a handler may read the comments already loaded; only one that
// would read the archive again is refused.
TEST(ZipDirectory, LoadedCommentsReadFromAHandler) {
  ScratchDir dir("zip_directory_comments_busy");
  TXrUnZip unzip;
  unzip.SetZipName(Fixture("comments.zip"));
  unzip.SetDestDir(dir.Path());
  unzip.DoAll = true;
  unzip.LoadDirectory();
  EXPECT_EQ(unzip.GetArchiveComment(), "archive comment");
  EXPECT_EQ(unzip.GetEntryComment(0), "first entry");
  int asked = 0;
  unzip.OnStartUnZip = [&](TXrUnZip& sender, int32_t index, String&, bool& skip) {
    skip = true;
    if (index != 0) return;
    ++asked;
    EXPECT_EQ(sender.GetArchiveComment(), "archive comment");
    EXPECT_EQ(sender.GetEntryComment(0), "first entry");
    EXPECT_EQ(sender.GetEntryComment(1), "");
    EXPECT_THROW(sender.GetEntryComment(2), EZipBusy);  // not read yet
  };
  unzip.UnZip();
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(unzip.GetEntryComment(2), "third");
}

// Archives whose numbers cannot be true: each ends in a rebuilt list or EBadZipFile,
// never in a crash, a huge allocation or an endless loop. The first two would also be
// rebuilt without the directory bounds, when a header read fails; what only the
// bounds give is shown by DirectoryIsReadOnlyWithinItsBytes.
TEST(ZipDirectory, HostileNumbersAreCaught) {
  ScratchDir dir("zip_directory_hostile");
  const std::string sound = StoredArchive({{"a.txt", "aaaa", ""}, {"b.txt", "bbbb", ""}});
  const size_t dirAt = sound.find("PK\x01\x02");
  const size_t endAt = sound.find("PK\x05\x06");
  auto patched = [&](size_t at, const std::string& bytes) {
    std::string s = sound;
    s.replace(at, bytes.size(), bytes);
    return s;
  };
  struct Case {
    const char* what;
    std::string bytes;
    bool recovered;  // true: rebuilt from local headers; false: EBadZipFile
  };
  const Case cases[] = {
      {"entry count beyond the directory's bytes", patched(endAt + 10, Le16(60000)), true},
      {"directory offset past the end record", patched(endAt + 16, Le32(0x7FFFFFF0)), true},
      {"local header offset past the end", patched(dirAt + 42, Le32(0x7FFFFFF0)), true},
      {"compressed size past the end", patched(dirAt + 20, Le32(0x7FFFFFF0)), true},
      {"disk number beyond the disk count", patched(dirAt + 34, Le16(7)), true},
      {"ZIP64 escape without a value", patched(dirAt + 24, Le32(0xFFFFFFFF)), true},
      {"NUL in a name", patched(dirAt + 46, std::string(1, '\0')), true},
      {"start disk after this disk", patched(endAt + 6, Le16(3)), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const String path = dir / u"hostile.zip";
    WriteFileBytes(path, c.bytes);
    TXrUnZip unzip;
    unzip.IncompleteZipMode = TIncompleteZipMode::izAssumeNotAZip;
    unzip.SetZipName(path);
    if (c.recovered) {
      unzip.LoadDirectory();
      EXPECT_TRUE(unzip.Rebuilt());
      EXPECT_EQ(unzip.LoadedEntryCount(), 2);
    } else {
      EXPECT_THROW(unzip.LoadDirectory(), EXrZipException);
    }
  }
}

// Where the end record says the directory lies bounds what is read as the directory:
// central headers beyond those bytes (here in the archive comment) are not taken.
TEST(ZipDirectory, DirectoryIsReadOnlyWithinItsBytes) {
  ScratchDir dir("zip_directory_bounds");
  std::string body, cd;
  for (const char* name : {"a.txt", "b.txt"}) {
    CentralFields f;
    f.name = name;
    f.crc = Crc32Of("data");
    f.compressedSize = f.uncompressedSize = 4;
    f.offset = uint32_t(body.size());
    body += LocalHeader(f) + "data";
    cd += CentralHeader(f);
  }
  auto ghost = [](const char* name, uint32_t offset) {
    CentralFields f;
    f.name = name;
    f.offset = offset;
    return CentralHeader(f);
  };
  EndFields end;
  end.entries = end.entriesThisDisk = 2;
  end.dirSize = uint32_t(cd.size());

  // The directory offset points past the end record, into its comment.
  EndFields pastEnd = end;
  pastEnd.comment = ghost("ghost1", 1) + ghost("ghost2", 2);
  pastEnd.dirOffset = uint32_t(body.size() + cd.size() + 22);

  // One entry more than the directory's bytes hold; the last header's comment length
  // reaches over the end record to a header in the archive comment.
  std::string stretched = cd;
  stretched.replace(cd.size() / 2 + 32, 2, Le16(22));
  EndFields tooMany = end;
  tooMany.entries = tooMany.entriesThisDisk = 3;
  tooMany.dirOffset = uint32_t(body.size());
  tooMany.comment = ghost("ghost", 1);

  struct Case {
    const char* what;
    std::string bytes;
  };
  const Case cases[] = {
      {"directory offset past the end record", body + cd + EndRecord(pastEnd)},
      {"entry count beyond the directory's bytes", body + stretched + EndRecord(tooMany)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const String path = dir / u"bounds.zip";
    WriteFileBytes(path, c.bytes);
    TXrUnZip unzip;
    unzip.SetZipName(path);
    unzip.LoadDirectory();
    EXPECT_TRUE(unzip.Rebuilt());
    ASSERT_EQ(unzip.LoadedEntryCount(), 2);
    EXPECT_EQ(unzip.GetEntryName(0), u"a.txt");
    EXPECT_EQ(unzip.GetEntryName(1), u"b.txt");
  }
}

// The same name read again after the file was replaced: nothing of the old end record
// passes for the new archive's.
TEST(ZipDirectory, ReplacedArchiveKeepsNothingOfTheOld) {
  ScratchDir dir("zip_directory_replaced");
  const String path = dir / u"set.zip";
  WriteFileBytes(path, StoredArchive({{"a.txt", "aaaa", ""}}, "comment of A"));
  TXrUnZip unzip;
  unzip.SetZipName(path);
  unzip.LoadDirectory();
  EXPECT_EQ(unzip.GetArchiveComment(), "comment of A");

  WriteFileBytes(path, StoredArchive({{"b.txt", "bb", ""}, {"c.txt", "c", ""}}, "B says more"));
  unzip.LoadDirectory();
  EXPECT_EQ(unzip.LoadedEntryCount(), 2);
  EXPECT_EQ(unzip.GetArchiveComment(), "B says more");

  WriteFileBytes(path, "");
  unzip.LoadDirectory();
  EXPECT_EQ(unzip.ZipName(), path);
  EXPECT_EQ(unzip.LoadedEntryCount(), 0);
  EXPECT_EQ(unzip.EndRecord().EntryCount(), 0);
  EXPECT_EQ(unzip.GetArchiveComment(), "");
}

// A side file whose entry count its bytes cannot hold: the list is rebuilt from the
// archive's local headers and completed from the central headers after them.
TEST(ZipDirectory, SideFileWithAnImpossibleCountFallsBackToTheArchive) {
  ScratchDir dir("zip_directory_side_count");
  const std::string full =
      StoredArchive({{"one.txt", "first", "about one"}, {"two.txt", "second", ""}});
  const size_t dirStart = full.find("PK\x01\x02");
  const size_t endAt = full.find("PK\x05\x06");
  WriteFileBytes(dir / u"set.zip", full.substr(0, endAt));
  std::string side = full.substr(dirStart);
  side.replace(side.size() - 6, 4, Le32(0));
  side.replace(side.size() - 14, 4, Le16(60000) + Le16(60000));
  WriteFileBytes(dir / u"set.zfc", side);
  TXrUnZip unzip;
  unzip.SetZipName(dir / u"set.zip");
  unzip.LoadDirectory();
  EXPECT_TRUE(unzip.Rebuilt());
  ASSERT_EQ(unzip.LoadedEntryCount(), 2);
  EXPECT_EQ(unzip.Entry(0).ExternalAttributes, 0x20u);
  EXPECT_EQ(unzip.Entry(1).ExternalAttributes, 0x20u);
  EXPECT_EQ(unzip.GetEntryComment(0), "about one");
}


// A side file whose end record fails the start-disk test is let go and nothing reads
// through it afterwards: the rebuild takes the archive's local headers.
TEST(ZipDirectory, SideFileFailingTheDiskTestIsLetGo) {
  ScratchDir dir("zip_directory_side_disk");
  const std::string full = StoredArchive({{"one.txt", "first", ""}});
  WriteFileBytes(dir / u"set.zip", full.substr(0, full.find("PK\x01\x02")));
  EndFields end;
  end.startDisk = 1;
  WriteFileBytes(dir / u"set.zfc", EndRecord(end));
  TXrUnZip unzip;
  unzip.IncompleteZipMode = TIncompleteZipMode::izAssumeBad;
  unzip.SetZipName(dir / u"set.zip");
  unzip.LoadDirectory();
  EXPECT_TRUE(unzip.Rebuilt());
  ASSERT_EQ(unzip.LoadedEntryCount(), 1);
  EXPECT_EQ(unzip.GetEntryName(0), u"one.txt");
}

// The archive changes under a loaded directory and the read that follows, outside
// LoadDirectory, is cancelled: nothing of it stays, and the next UnZip reads the new
// archive instead of taking an empty list for it.
TEST(ZipDirectory, FailedImplicitReadLeavesNothingLoaded) {
  ScratchDir dir("zip_directory_failed_reread");
  const std::string renewed = StoredArchive({{"b.txt", "bb", ""}, {"c.txt", "c", ""}});
  struct Case {
    const char* what;
    std::string bytes;
    TIncompleteZipMode mode;
    bool rebuilt;
    std::function<void(TXrUnZip&)> trigger;
  };
  const Case cases[] = {
      {"central headers, from GetArchiveComment", renewed, TIncompleteZipMode::izAssumeMulti, false,
       [](TXrUnZip& u) { u.GetArchiveComment(); }},
      {"rebuild, from GetEntryComment", renewed.substr(0, renewed.find("PK\x05\x06")),
       TIncompleteZipMode::izAssumeBad, true, [](TXrUnZip& u) { u.GetEntryComment(0); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const String path = dir / u"set.zip";
    WriteFileBytes(path, StoredArchive({{"a.txt", "aaaa", "about a"}}, "comment of A"));
    RecordingUnZip unzip;
    unzip.DoAll = true;
    unzip.IncompleteZipMode = c.mode;
    unzip.SetZipName(path);
    unzip.LoadDirectory();
    ASSERT_EQ(unzip.LoadedEntryCount(), 1);

    WriteFileBytes(path, c.bytes);
    {
      TZipHostHooks hooks;
      hooks.PumpMessages = [&] {
        unzip.RequestCancel();
        return false;
      };
      TZipHostHooksScope scope(hooks);
      EXPECT_THROW(c.trigger(unzip), EUserCanceled);
    }
    EXPECT_EQ(unzip.LoadedEntryCount(), 0);
    EXPECT_EQ(unzip.ZipName(), path);
    EXPECT_EQ(unzip.UnZip(), 2);
    EXPECT_EQ(unzip.handedNames, (std::vector<String>{u"b.txt", u"c.txt"}));
    EXPECT_EQ(unzip.Rebuilt(), c.rebuilt);
  }
}

// ZIP64 end records naming the highest disks, with the directory starting at the end
// of that disk so that its first header asks for the next one: that disk's number
// (counted from 1) and the disk count must fit in 32 bits.
TEST(ZipDirectory, DiskNumbersNearTheLimitAreRefused) {
  ScratchDir dir("zip_directory_last_disk");
  const std::string sound = StoredArchive({{"a.txt", "aaaa", ""}});
  const std::string body = sound.substr(0, sound.find("PK\x05\x06"));
  const uint64_t end64At = body.size();
  const uint64_t fileSize = end64At + 56 + 20 + 22;
  EndFields end;
  end.thisDisk = end.startDisk = 0xFFFF;
  end.entries = end.entriesThisDisk = 0xFFFF;
  end.dirSize = end.dirOffset = 0xFFFFFFFF;
  for (uint32_t disk : {0x7FFFFFFFu, 0x7FFFFFFEu}) {
    SCOPED_TRACE(disk);
    std::string record = Zip64EndRecord(1, 46, fileSize);
    record.replace(16, 8, Le32(disk) + Le32(disk));
    const String path = dir / u"disk.zip";
    WriteFileBytes(path, body + record + Zip64Locator(end64At) + EndRecord(end));
    TXrUnZip unzip;
    unzip.SetZipName(path);
    EXPECT_THROW(unzip.LoadDirectory(), EBadZipFile);
    EXPECT_EQ(unzip.ZipName(), u"");
  }
}

TEST(ZipDirectory, CancelRequestFromThePumpEndsTheRead) {
  TXrUnZip unzip;
  TZipHostHooks hooks;
  hooks.PumpMessages = [&] {
    unzip.RequestCancel();
    return false;
  };
  TZipHostHooksScope scope(hooks);
  unzip.SetZipName(Fixture("basic.zip"));
  try {
    unzip.LoadDirectory();
    FAIL() << "no error";
  } catch (const EUserCanceled& e) {
    EXPECT_EQ(e.Message(), u"User Aborted Operation");
  }
  EXPECT_EQ(unzip.ZipName(), u"");
  // Without the request the same archive reads.
  unzip.DoProcessMessages = false;
  unzip.SetZipName(Fixture("basic.zip"));
  unzip.LoadDirectory();
  EXPECT_EQ(unzip.LoadedEntryCount(), 5);
}

// A split archive: the directory starts on the first part and one header runs over
// into the last part, which holds the end record. Comments of multi-part archives are
// read while their part is at hand.
TEST(ZipDirectory, SplitArchiveDirectoryOnAnEarlierPart) {
  ScratchDir dir("zip_directory_split");
  std::string part1, cd;
  for (const char* name : {"x.txt", "y.txt"}) {
    CentralFields f;
    f.name = name;
    f.dosTime = name[0] == 'x' ? 0x52CF6000 : 0x5AC16000;  // y.txt is the newer
    f.crc = Crc32Of(name);
    f.compressedSize = f.uncompressedSize = 5;
    f.offset = uint32_t(part1.size());
    f.comment = std::string("about ") + name;
    part1 += LocalHeader(f) + name;
    cd += CentralHeader(f);
  }
  const size_t cut = 20 + cd.size() / 2;
  const uint32_t cdOffset = uint32_t(part1.size());
  part1 += cd.substr(0, cut);
  EndFields end;
  end.thisDisk = 1;
  end.startDisk = 0;
  end.entries = 2;
  end.dirSize = uint32_t(cd.size());
  end.dirOffset = cdOffset;
  end.comment = "split set";
  WriteFileBytes(dir / u"set.z01", part1);
  WriteFileBytes(dir / u"set.zip", cd.substr(cut) + EndRecord(end));

  TXrUnZip unzip;
  unzip.SetZipName(dir / u"set.zip");
  unzip.LoadDirectory();
  EXPECT_EQ(unzip.GetMultiPartMode(), TMultiPartMode::mpSplit);
  EXPECT_EQ(unzip.DiskCount(), 2);
  ASSERT_EQ(unzip.LoadedEntryCount(), 2);
  EXPECT_EQ(unzip.GetEntryName(0), u"x.txt");
  EXPECT_EQ(unzip.GetEntryName(1), u"y.txt");
  EXPECT_EQ(unzip.Entry(1).FileComment, "about y.txt");
  EXPECT_EQ(unzip.Entry(0).FileComment, "about x.txt");
  EXPECT_EQ(unzip.EndRecord().Comment, "split set");

  // Sorted by date, newest first; extraction still takes the entries part by part, and
  // the view is by date again afterwards.
  RecordingUnZip sorted;
  sorted.SortMode = TZipSortMode::ByDate;
  sorted.DoAll = true;
  sorted.SetZipName(dir / u"set.zip");
  sorted.LoadDirectory();
  EXPECT_EQ(sorted.GetEntryName(0), u"y.txt");
  EXPECT_EQ(sorted.UnZip(), 2);
  EXPECT_EQ(sorted.handedNames, (std::vector<String>{u"x.txt", u"y.txt"}));
  EXPECT_EQ(sorted.SortMode, TZipSortMode::ByDate);
  EXPECT_EQ(sorted.GetEntryName(0), u"y.txt");
}

// Three parts: entries on the first, the directory on the second, the end record on
// the last; the parts are found by the naming of the block mode or of the handler.
TEST(ZipDirectory, SplitPartNaming) {
  ScratchDir dir("zip_directory_split_names");
  CentralFields f;
  f.name = "only.txt";
  f.crc = Crc32Of("data");
  f.compressedSize = f.uncompressedSize = 4;
  const std::string part1 = LocalHeader(f) + "data";
  const std::string part2 = CentralHeader(f);
  EndFields end;
  end.thisDisk = 2;
  end.startDisk = 1;
  end.entries = 1;
  end.dirSize = uint32_t(part2.size());
  const std::string part3 = EndRecord(end);
  struct Case {
    const char* what;
    TBlockMode mode;
    bool handler;
    std::vector<const char16_t*> names;
  };
  const Case cases[] = {
      {"standard", TBlockMode::bmStandard, false, {u"s.z01", u"s.z02", u"s.zip"}},
      {"classic", TBlockMode::bmClassic, false, {u"c.001", u"c.002", u"c.003"}},
      {"handler", TBlockMode::bmStandard, true, {u"h-part1", u"h-part2", u"h.zip"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteFileBytes(dir / c.names[0], part1);
    WriteFileBytes(dir / c.names[1], part2);
    WriteFileBytes(dir / c.names[2], part3);
    TXrUnZip unzip;
    unzip.BlockMode = c.mode;
    std::vector<std::pair<int32_t, TSplitPartType>> asked;
    if (c.handler)
      unzip.OnFileNameForSplitPart = [&](TXrUnZip&, String& name, int32_t n, TSplitPartType type) {
        asked.emplace_back(n, type);
        EXPECT_EQ(name, dir / u"h");
        name += u"-part" + IntToStr(n);
      };
    unzip.SetZipName(dir / c.names[2]);
    unzip.LoadDirectory();
    EXPECT_EQ(unzip.GetMultiPartMode(), TMultiPartMode::mpSplit);
    ASSERT_EQ(unzip.LoadedEntryCount(), 1);
    EXPECT_EQ(unzip.GetEntryName(0), u"only.txt");
    if (c.handler) {
      EXPECT_EQ(asked, (std::vector<std::pair<int32_t, TSplitPartType>>{{2, TSplitPartType::spMiddle}}));
    }
  }
  // A part that is not there is the file-open error, not a prompt.
  TXrUnZip unzip;
  WriteFileBytes(dir / u"m.zip", part3);
  unzip.SetZipName(dir / u"m.zip");
  EXPECT_THROW(unzip.LoadDirectory(), EFOpenError);
}

}  // namespace
