// Split and spanned archives: naming the parts, swapping disks, and extracting data
// that runs from one part into the next.
#include <gtest/gtest.h>

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
#include "unzip/unzip_errors.h"
#include "unzip/xr_unzip.h"
#include "unzip/zip_lib_routines.h"

#ifndef QZ_SPLIT_FIXTURES
#error "QZ_SPLIT_FIXTURES names the folder of the generated split archives"
#endif

namespace {

String SplitFixture(const std::string& name) {
  return HostPath(std::string(QZ_SPLIT_FIXTURES) + "/" + name);
}

std::map<std::string, std::string> Expected(const std::string& set) {
  return TreeOf(SplitFixture(set + ".expected"));
}

void PrepareRun(TXrUnZip& unzip, const ScratchDir& out) {
  unzip.SetDestDir(out.Path());
  unzip.DoAll = true;
  unzip.OverwriteMode = TUZOverwriteMode::Always;
  unzip.RecreateDirs = true;
}

// Every file an interrupted run left behind is whole and right.
void ExpectOnlyWholeFiles(const String& folder, const std::map<std::string, std::string>& expected) {
  for (const auto& [name, data] : TreeOf(folder)) {
    if (!name.empty() && name.back() == '/') continue;
    SCOPED_TRACE(name);
    const auto want = expected.find(name);
    ASSERT_NE(want, expected.end());
    EXPECT_TRUE(data == want->second);
  }
}

TEST(MultiPart, SplitSetsExtractAsWith7zz) {
  struct Case {
    const char* archive;
    TBlockMode mode;
    const char* expected;
  };
  const Case cases[] = {
      {"split/s.zip", TBlockMode::bmStandard, "split"},
      {"classic/c.006", TBlockMode::bmClassic, "split"},
      // Parts cut inside local headers, a local header's name, an entry's data and a
      // central header.
      {"cut/cut.zip", TBlockMode::bmStandard, "cut"},
      // Parts cut inside central headers' signature, name, extra field and comment.
      {"headers/h.zip", TBlockMode::bmStandard, "headers"},
      // A header announcing an extra field that is not there, the next one cut.
      {"missing/m.zip", TBlockMode::bmStandard, "missing"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.archive);
    ScratchDir out("multi_part_extract");
    TXrUnZip unzip;
    PrepareRun(unzip, out);
    unzip.BlockMode = c.mode;
    unzip.SetZipName(SplitFixture(c.archive));
    int32_t skipped = 0;
    unzip.OnSkippingFile = [&](TXrUnZip&, TSkipReason, const String&, int32_t, bool&) { ++skipped; };
    const int32_t done = unzip.UnZip();
    EXPECT_EQ(unzip.GetMultiPartMode(), TMultiPartMode::mpSplit);
    EXPECT_GE(unzip.DiskCount(), 2);
    EXPECT_EQ(done, unzip.LoadedEntryCount());
    EXPECT_EQ(skipped, 0);
    const auto expected = Expected(c.expected);
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(TreeOf(out.Path()), expected);
    if (std::string(c.expected) == "headers") {
      for (int32_t i = 0; i < unzip.LoadedEntryCount(); ++i) {
        const TZipHeaderInfo& entry = unzip.Entry(i);
        EXPECT_EQ(unzip.GetEntryComment(i), "comment of " + ListingName(entry.Directory, entry.FileName));
      }
      EXPECT_EQ(unzip.GetArchiveComment(), "the headers set");
    }
  }
}

// The default naming and disk request are there for the handlers to fall back to.
TEST(MultiPart, DefaultsForTheHandlers) {
  const struct {
    TBlockMode mode;
    int32_t number;
    TSplitPartType type;
    const char16_t* name;
  } names[] = {
      {TBlockMode::bmStandard, 1, TSplitPartType::spFirst, u"set.z01"},
      {TBlockMode::bmStandard, 12, TSplitPartType::spMiddle, u"set.z12"},
      {TBlockMode::bmStandard, 13, TSplitPartType::spLast, u"set.zip"},
      {TBlockMode::bmClassic, 1, TSplitPartType::spFirst, u"set.001"},
      {TBlockMode::bmClassic, 13, TSplitPartType::spLast, u"set.013"},
  };
  for (const auto& n : names) {
    SCOPED_TRACE(ToUtf8(n.name));
    TXrUnZip unzip;
    unzip.BlockMode = n.mode;
    // A handler does not change what the default gives.
    unzip.OnFileNameForSplitPart = [](TXrUnZip&, String& name, int32_t, TSplitPartType) { name = u"x"; };
    String name = u"set";
    unzip.DefaultNameSplitPart(name, n.number, n.type);
    EXPECT_EQ(name, n.name);
  }
  for (const TMultiPartMode mode : {TMultiPartMode::mpSpanned, TMultiPartMode::mpSplit}) {
    SCOPED_TRACE(int(mode));
    TXrUnZip unzip;
    unzip.SetMultiPartMode(mode);
    std::vector<String> asked;
    unzip.OnHandleMessage = [&](TXrUnZip&, int32_t id, const String& msg1, const String&, uint32_t,
                                int32_t& answer) {
      EXPECT_EQ(id, 184);
      asked.push_back(msg1);
      answer = idCancel;
    };
    String name = u"A:\\set.zip";
    unzip.DefaultRequestDisk(3, name);
    if (mode == TMultiPartMode::mpSpanned) {
      EXPECT_EQ(asked, std::vector<String>{u"Please insert disk 3 of the multi-disk set."});
      EXPECT_EQ(name, u"");
    } else {
      EXPECT_TRUE(asked.empty());
      EXPECT_EQ(name, u"A:\\set.zip");
    }
  }
  // A handler that names one part itself and leaves the others to the default.
  ScratchDir parts("multi_part_default_names");
  for (const char* name : {"s.z01", "s.z02", "s.z03", "s.z04", "s.z05", "s.zip"}) {
    const std::string stored = std::string(name) == "s.z03" ? "third part.bin" : name;
    WriteFileBytes(parts / FromAscii(stored), ReadFileBytes(SplitFixture(std::string("split/") + name)));
  }
  ScratchDir out("multi_part_default_names_out");
  TXrUnZip unzip;
  PrepareRun(unzip, out);
  unzip.SetZipName(parts / u"s.zip");
  unzip.OnFileNameForSplitPart = [&](TXrUnZip& sender, String& name, int32_t number, TSplitPartType type) {
    if (number == 3)
      name = parts / u"third part.bin";
    else
      sender.DefaultNameSplitPart(name, number, type);
  };
  const int32_t done = unzip.UnZip();
  EXPECT_EQ(done, unzip.LoadedEntryCount());
  EXPECT_EQ(TreeOf(out.Path()), Expected("split"));
}

// A part that is not there, or data that runs past the last part, ends the run with an
// error; nothing half-written stays under an entry's name.
TEST(MultiPart, MissingPartsAndOverrunsEndTheRun) {
  ScratchDir parts("multi_part_missing");
  for (const char* name : {"s.z01", "s.z02", "s.z04", "s.zip"})
    WriteFileBytes(parts / FromAscii(name), ReadFileBytes(SplitFixture(std::string("split/") + name)));
  {
    ScratchDir out("multi_part_missing_out");
    TXrUnZip unzip;
    PrepareRun(unzip, out);
    unzip.SetZipName(parts / u"s.zip");
    // s.z05 is gone too: the directory, which starts there, cannot be read.
    EXPECT_THROW(unzip.UnZip(), EFOpenError);
    EXPECT_EQ(unzip.LoadedEntryCount(), 0);
  }
  WriteFileBytes(parts / u"s.z05", ReadFileBytes(SplitFixture("split/s.z05")));
  {
    ScratchDir out("multi_part_missing_out");
    TXrUnZip unzip;
    PrepareRun(unzip, out);
    unzip.SetZipName(parts / u"s.zip");
    EXPECT_THROW(unzip.UnZip(), EFOpenError);
    ExpectOnlyWholeFiles(out.Path(), Expected("split"));
  }
  {
    ScratchDir out("multi_part_overrun_out");
    TXrUnZip unzip;
    PrepareRun(unzip, out);
    unzip.SetZipName(SplitFixture("overrun/o.zip"));
    EXPECT_THROW(unzip.UnZip(), EBadZipFile);
    ExpectOnlyWholeFiles(out.Path(), Expected("cut"));
    EXPECT_FALSE(TreeOf(out.Path()).contains("big.bin"));
  }
}

// Entries named like the set's parts, extracted into the folder of the parts: none is
// written over a part, under either naming or (where the file system ignores it) in
// other letter case; the run reads every part to its end. When overwrites are asked
// about, a part is refused before its question.
TEST(MultiPart, NoEntryIsWrittenOverAPartOfTheSet) {
#ifdef _WIN32
  const bool caseIgnored = true;
#else
  const bool caseIgnored = false;
#endif
  for (const TUZOverwriteMode mode : {TUZOverwriteMode::Always, TUZOverwriteMode::Prompt}) {
    SCOPED_TRACE(int(mode));
    ScratchDir parts(mode == TUZOverwriteMode::Always ? "multi_part_named" : "multi_part_named_ask");
    const char* partNames[] = {"named.z01", "named.z02", "named.zip"};
    std::map<std::string, std::string> before;
    for (const char* name : partNames) {
      before[name] = ReadFileBytes(SplitFixture(std::string("named/") + name));
      WriteFileBytes(parts / FromAscii(name), before[name]);
    }
    TXrUnZip unzip;
    PrepareRun(unzip, parts);
    unzip.OverwriteMode = mode;
    unzip.SetZipName(parts / u"named.zip");
    std::vector<String> refused, asked;
    unzip.OnSkippingFile = [&](TXrUnZip&, TSkipReason reason, const String& name, int32_t, bool&) {
      EXPECT_EQ(reason, TSkipReason::srCreateError);
      refused.push_back(FileNameOf(name));
    };
    unzip.OnPromptForOverwrite = [&](TXrUnZip&, bool& overWriteIt, int32_t, String& name) {
      asked.push_back(FileNameOf(name));
      overWriteIt = true;
    };
    std::vector<String> expectRefused = {u"named.z02", u"named.001"};
    if (caseIgnored) expectRefused.insert(expectRefused.begin() + 1, u"NAMED.ZIP");
    EXPECT_EQ(unzip.UnZip(), 5 - int32_t(expectRefused.size()));
    EXPECT_EQ(refused, expectRefused);
    EXPECT_TRUE(asked.empty());
    for (const char* name : partNames) {
      SCOPED_TRACE(name);
      EXPECT_TRUE(ReadFileBytes(parts / FromAscii(name)) == before[name]);
    }
    EXPECT_EQ(ReadFileBytes(parts / u"named.z99"), "no part of the set\n");
    EXPECT_EQ(ReadFileBytes(parts / u"big.bin").size(), 150000u);
  }
}

// The last part of a set that claims 65535 parts: part names are recognised by their
// form, not listed, so the run costs no more for it; only numbers of the set count.
TEST(MultiPart, PartNamesOfALargeSetAreRecognised) {
  ScratchDir dir("multi_part_many");
  const std::vector<std::pair<std::string, bool>> entries = {
      {"big.z77", true}, {"big.12345", true}, {"big.z65536", false}, {"big.0077", false},
      {"ok.txt", false}};
  std::string body, central;
  for (const auto& [name, refused] : entries) {
    CentralFields f;
    f.name = name;
    f.crc = Crc32Of(name);
    f.compressedSize = f.uncompressedSize = uint32_t(name.size());
    f.disk = 65534;
    f.offset = uint32_t(body.size());
    body += LocalHeader(f) + name;
    central += CentralHeader(f);
  }
  EndFields end;
  end.thisDisk = end.startDisk = 65534;
  end.entriesThisDisk = end.entries = uint16_t(entries.size());
  end.dirSize = uint32_t(central.size());
  end.dirOffset = uint32_t(body.size());
  WriteFileBytes(dir / u"big.zip", body + central + EndRecord(end));
  TXrUnZip unzip;
  PrepareRun(unzip, dir);
  unzip.SetZipName(dir / u"big.zip");
  std::vector<String> refused;
  unzip.OnSkippingFile = [&](TXrUnZip&, TSkipReason, const String& name, int32_t, bool&) {
    refused.push_back(FileNameOf(name));
  };
  EXPECT_EQ(unzip.UnZip(), 3);
  EXPECT_EQ(unzip.DiskCount(), 65535);
  EXPECT_EQ(refused, (std::vector<String>{u"big.z77", u"big.12345"}));
  for (const auto& [name, isPart] : entries) {
    SCOPED_TRACE(name);
    EXPECT_EQ(FileFound(dir / FromAscii(name)), !isPart);
  }
}

// An entry whose compressed size overstates its deflate stream: reading ends with the
// stream, as it would a block at a time, and no part after it is opened.
TEST(MultiPart, ReadingStopsAtTheEndOfTheDeflateStream) {
  ScratchDir dir("multi_part_overstated");
  const std::string text = "a short text, deflated, in the first part\n";
  const std::string stream = RawDeflate(text);
  CentralFields f;
  f.name = "a.txt";
  f.method = 8;
  f.crc = Crc32Of(text);
  f.uncompressedSize = uint32_t(text.size());
  // Eight input blocks would pass the first part's end and the second part's.
  f.compressedSize = 200000;
  const std::string first = LocalHeader(f) + stream + std::string(100000, 'f');
  f.disk = 0;
  f.offset = 0;
  const std::string central = CentralHeader(f);
  EndFields end;
  end.thisDisk = end.startDisk = 1;
  end.entriesThisDisk = end.entries = 1;
  end.dirSize = uint32_t(central.size());
  end.dirOffset = 0;
  WriteFileBytes(dir / u"o.z01", first);
  WriteFileBytes(dir / u"o.zip", central + EndRecord(end));
  ScratchDir out("multi_part_overstated_out");
  TXrUnZip unzip;
  PrepareRun(unzip, out);
  unzip.SetZipName(dir / u"o.zip");
  EXPECT_EQ(unzip.UnZip(), 1);
  EXPECT_EQ(unzip.GetMultiPartMode(), TMultiPartMode::mpSplit);
  EXPECT_EQ(TreeOf(out.Path()), (std::map<std::string, std::string>{{"a.txt", text}}));
}

class DiskOpeningUnZip : public TXrUnZip {
public:
  using TXrUnZip::OpenDisk;
  using TXrUnZip::ZipStream;
};

TEST(MultiPart, OpenDiskChecksTheNumberAndMovesToThePart) {
  DiskOpeningUnZip unzip;
  unzip.SetZipName(SplitFixture("split/s.zip"));
  unzip.LoadDirectory();
  ASSERT_EQ(unzip.DiskCount(), 6);
  for (int32_t number : {0, -1, 7}) {
    SCOPED_TRACE(number);
    EXPECT_THROW(unzip.OpenDisk(number), EBadZipFile);
    EXPECT_EQ(unzip.ZipStream(), nullptr);
  }
  unzip.OpenDisk(2);
  EXPECT_EQ(unzip.CurrentDisk(), 1);
  EXPECT_EQ(unzip.ZipName(), SplitFixture("split/s.z02"));
  EXPECT_NE(unzip.ZipStream(), nullptr);
  EXPECT_EQ(unzip.LoadedEntryCount(), 703);
}

TEST(MultiPart, NoDirectoryMeansOneDisk) {
  TXrUnZip unzip;
  unzip.SetZipName(SplitFixture("split/s.zip"));
  unzip.LoadDirectory();
  ASSERT_EQ(unzip.DiskCount(), 6);
  unzip.SetZipName(SplitFixture("split/other.zip"));
  EXPECT_EQ(unzip.DiskCount(), 1);
  unzip.SetZipName(SplitFixture("split/s.zip"));
  unzip.LoadDirectory();
  TXrUnZip another;
  another.SetZipName(u"another.zip");
  unzip.Assign(another);
  EXPECT_EQ(unzip.DiskCount(), 1);
}

// Drives A: and B: with swappable disks: each disk is one part of the cut set, seen on
// the drive as "cut.zip", with a volume label.
class SpannedUnZip : public TXrUnZip {
public:
  struct Disk {
    std::string part;
    String label;
  };
  std::vector<Disk> disks;
  // Drive root to the index of the disk in it (-1: empty).
  std::map<String, int> drives;
  std::vector<String> labelsRead;

  SpannedUnZip() {
    for (int i = 1; i <= 5; ++i)
      disks.push_back({i == 5 ? "cut/cut.zip" : "cut/cut.z0" + std::to_string(i),
                       u"PKBACK# 00" + IntToStr(i)});
    drives = {{u"A:\\", 4}, {u"B:\\", -1}};
  }
  void Insert(const String& root, int32_t diskNumber) { drives[root] = diskNumber - 1; }

protected:
  bool DriveIsRemovable(const String& root) override { return drives.contains(root); }
  String DriveVolumeLabel(const String& root) override {
    labelsRead.push_back(root);
    const auto it = drives.find(root);
    return it == drives.end() || it->second < 0 ? String() : disks[size_t(it->second)].label;
  }
  bool ArchiveFileExists(const String& name) override { return DiskIn(name) >= 0; }
  // Other names on A: are the cut set's parts under their own names, as a split set
  // copied to a removable drive.
  std::unique_ptr<TStream> OpenArchiveStream(const String& name, uint16_t mode, bool flush) override {
    const int disk = DiskIn(name);
    if (disk >= 0) return TXrUnZip::OpenArchiveStream(SplitFixture(disks[size_t(disk)].part), mode, flush);
    if (UpperCase(LeftChars(name, 3)) == u"A:\\")
      return TXrUnZip::OpenArchiveStream(SplitFixture("cut/" + ToUtf8(name.substr(3))), mode, flush);
    return TXrUnZip::OpenArchiveStream(name, mode, flush);
  }

private:
  int DiskIn(const String& name) const {
    const auto it = drives.find(UpperCase(LeftChars(name, 3)));
    if (it == drives.end() || UpperCase(name.substr(3)) != u"CUT.ZIP") return -1;
    return it->second;
  }
};

TEST(MultiPart, SpannedDisksAreAskedForAndChecked) {
  // What the user does at each prompt, by the disk asked for and how often it was
  // asked: 0 cancels, else the disk number put into drive A:.
  using Answer = std::function<int32_t(int32_t asked, int32_t attempt)>;
  struct Case {
    const char* what;
    bool verifyLabels;
    Answer answer;
    bool wrongLabels;
    bool completes;
    // How often each disk is asked for.
    int32_t asksPerDisk;
  };
  const Case cases[] = {
      {"right disk each time", true, [](int32_t n, int32_t) { return n; }, false, true, 1},
      // After a wrong disk the same disk is asked for again.
      {"wrong disk first", true, [](int32_t n, int32_t a) { return a % 2 == 1 ? (n % 5) + 1 : n; },
       false, true, 2},
      // Without the label test the disk that is in the drive is taken.
      {"labels not verified", false, [](int32_t n, int32_t) { return n; }, true, true, 1},
      {"cancel", true, [](int32_t, int32_t) { return 0; }, false, false, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchDir out("multi_part_spanned");
    SpannedUnZip unzip;
    if (c.wrongLabels)
      for (auto& disk : unzip.disks) disk.label = u"BACKUP";
    PrepareRun(unzip, out);
    unzip.SetVerifyDiskLabels(c.verifyLabels);
    unzip.SetZipName(u"A:\\cut.zip");
    std::map<int32_t, int32_t> attempts;
    std::vector<int32_t> asked;
    unzip.OnHandleMessage = [&](TXrUnZip&, int32_t id, const String& msg1, const String& msg2,
                                uint32_t flags, int32_t& answer) {
      ASSERT_EQ(id, 184);
      EXPECT_EQ(msg2, u"");
      EXPECT_EQ(flags, uint32_t(mbOKCancel));
      // "Please insert disk N of the multi-disk set."
      const String prefix = u"Please insert disk ";
      ASSERT_EQ(msg1.substr(0, prefix.size()), prefix);
      const int32_t n = StrToInt(msg1.substr(prefix.size(), 1));
      EXPECT_EQ(msg1, prefix + IntToStr(n) + u" of the multi-disk set.");
      asked.push_back(n);
      const int32_t disk = attempts[n] > 8 ? 0 : c.answer(n, ++attempts[n]);
      if (disk == 0) {
        answer = idCancel;
        return;
      }
      unzip.Insert(u"A:\\", disk);
      answer = idOK;
    };
    if (!c.completes) {
      try {
        unzip.UnZip();
        ADD_FAILURE() << "no error";
      } catch (const EUserCanceled& e) {
        EXPECT_EQ(e.Message(), u"User canceled loading new disk.");
      }
      EXPECT_EQ(asked, std::vector<int32_t>{4});
      continue;
    }
    EXPECT_EQ(unzip.UnZip(), 6);
    EXPECT_EQ(unzip.GetMultiPartMode(), TMultiPartMode::mpSpanned);
    EXPECT_EQ(TreeOf(out.Path()), Expected("cut"));
    // The directory starts on disk 4 and its last header goes on on disk 5; the entries
    // then take the disks in turn up to the last entry's, disk 4.
    const std::vector<int32_t> once = {4, 5, 1, 2, 3, 4};
    std::vector<int32_t> expected;
    for (int32_t n : once) expected.insert(expected.end(), size_t(c.asksPerDisk), n);
    EXPECT_EQ(asked, expected);
  }
}

// A host that chose split handling keeps it for a set on a removable drive: the parts
// are opened by their names, nobody is asked.
TEST(MultiPart, SplitModeChosenByTheHostKeepsSplitNaming) {
  ScratchDir out("multi_part_split_on_a");
  SpannedUnZip unzip;
  PrepareRun(unzip, out);
  unzip.SetMultiPartMode(TMultiPartMode::mpSplit);
  unzip.SetZipName(u"A:\\cut.zip");
  int32_t prompts = 0;
  unzip.OnHandleMessage = [&](TXrUnZip&, int32_t, const String&, const String&, uint32_t,
                              int32_t&) { ++prompts; };
  EXPECT_EQ(unzip.UnZip(), 6);
  EXPECT_EQ(unzip.GetMultiPartMode(), TMultiPartMode::mpSplit);
  EXPECT_EQ(prompts, 0);
  EXPECT_EQ(unzip.ZipName(), u"A:\\cut.z04");
  EXPECT_EQ(TreeOf(out.Path()), Expected("cut"));
}

// An OnGetNextDisk handler takes the place of the prompt: it is called for every
// attempt with the same number, and the label is read from the drive it names.
TEST(MultiPart, NextDiskHandlerIsAskedAgainAndItsDriveIsChecked) {
  ScratchDir out("multi_part_next_disk");
  SpannedUnZip unzip;
  PrepareRun(unzip, out);
  unzip.SetZipName(u"A:\\cut.zip");
  std::vector<std::pair<int32_t, String>> calls;
  unzip.OnGetNextDisk = [&](TXrUnZip&, int32_t n, String& name) {
    calls.emplace_back(n, name);
    if (calls.size() > 40) {
      name.clear();  // the test has failed; end it instead of asking forever
      return;
    }
    // The first time for each disk the drive is empty; then the disk is in B:.
    const bool first = calls.size() < 2 || calls[calls.size() - 2].first != n;
    unzip.Insert(u"B:\\", first ? 0 : n);
    name = u"b:\\cut.zip";
  };
  EXPECT_EQ(unzip.UnZip(), 6);
  EXPECT_EQ(TreeOf(out.Path()), Expected("cut"));
  ASSERT_EQ(calls.size(), 12u);
  EXPECT_EQ(calls[0], (std::pair<int32_t, String>{4, u"A:\\cut.zip"}));
  for (size_t i = 0; i < calls.size(); i += 2) EXPECT_EQ(calls[i].first, calls[i + 1].first);
  for (const String& root : unzip.labelsRead) EXPECT_EQ(root, u"B:\\");
}

TEST(MultiPart, PauseWaitsUntilAHandlerClearsIt) {
  // The wait pumps the messages once more, and the handler run by that pump ends it.
  auto pumpsOfARead = [](bool paused) {
    TXrUnZip unzip;
    int32_t pumps = 0;
    TZipHostHooks hooks;
    hooks.PumpMessages = [&] {
      if (unzip.Busy() && ++pumps == 2) unzip.SetPaused(false);
      return false;
    };
    TZipHostHooksScope scope(hooks);
    unzip.SetZipName(SplitFixture("cut/cut.zip"));
    unzip.SetPaused(paused);
    unzip.LoadDirectory();
    EXPECT_EQ(unzip.LoadedEntryCount(), 6);
    return pumps;
  };
  EXPECT_EQ(pumpsOfARead(true), pumpsOfARead(false) + 1);
}

// A quit that the pump reports while the component waits in a pause cancels, in the
// directory read as in the extraction.
TEST(MultiPart, QuitWhilePausedCancels) {
  for (bool inExtraction : {false, true}) {
    SCOPED_TRACE(inExtraction ? "extraction" : "directory");
    ScratchDir out("multi_part_quit_paused");
    TXrUnZip unzip;
    PrepareRun(unzip, out);
    bool paused = false;
    int32_t pausedPumps = 0;
    auto pause = [&] {
      paused = true;
      unzip.SetPaused(true);
    };
    TZipHostHooks hooks;
    hooks.PumpMessages = [&] {
      if (!paused) return false;
      // The first pump finds the pause; the wait's pump reports the quit. Should the
      // quit be dropped, a later pump ends the pause so that the test ends.
      if (++pausedPumps == 4) {
        paused = false;
        unzip.SetPaused(false);
      }
      return pausedPumps >= 2;
    };
    TZipHostHooksScope scope(hooks);
    unzip.SetZipName(SplitFixture("cut/cut.zip"));
    if (inExtraction)
      unzip.OnStartUnZip = [&](TXrUnZip&, int32_t, String&, bool&) { pause(); };
    else
      pause();
    try {
      unzip.UnZip();
      ADD_FAILURE() << "no error";
    } catch (const EUserCanceled& e) {
      EXPECT_EQ(e.Message(), u"User Aborted Operation");
    }
    EXPECT_EQ(pausedPumps, 2);
    EXPECT_FALSE(unzip.Busy());
  }
}

}  // namespace
