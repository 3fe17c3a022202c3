#include <gtest/gtest.h>

#include <filesystem>

#include "base/exception.h"
#include "base/files.h"
#include "tests/testlib/test_paths.h"
#include "tests/unzip/unzip_test_support.h"
#include "tests/unzip/zip_builder.h"
#include "unzip/host_hooks.h"
#include "unzip/unzip_errors.h"
#include "unzip/unzip_messages.h"

namespace {

TEST(XrUnZip, DefaultsAndFixedVersion) {
  TXrUnZip unzip;
  EXPECT_EQ(unzip.ThisVersion(), 451);
  unzip.SetThisVersion(5);
  EXPECT_EQ(unzip.ThisVersion(), 451);
  unzip.SetThisReleaseLevel(u"Beta");
  EXPECT_EQ(unzip.ThisReleaseLevel(), u"Release");
  EXPECT_EQ(unzip.OverwriteMode, TUZOverwriteMode::Prompt);
  EXPECT_EQ(unzip.IncompleteZipMode, TIncompleteZipMode::izAssumeMulti);
  EXPECT_EQ(unzip.OEMConvert, TOEMConvert::oemFlexible);
  EXPECT_TRUE(unzip.DoProcessMessages);
  EXPECT_TRUE(unzip.RetainAttributes);
  EXPECT_TRUE(unzip.GetVerifyDiskLabels());
  EXPECT_EQ(unzip.GetMultiPartMode(), TMultiPartMode::mpNone);
  EXPECT_EQ(unzip.LoadedEntryCount(), 0);
  EXPECT_EQ(unzip.DiskCount(), 1);
}

TEST(XrUnZip, FolderSettersAndRelativePaths) {
  RecordingUnZip unzip;
  unzip.SetDestDir(u"C:\\out\\");
  EXPECT_EQ(unzip.DestDir(), u"C:\\out");
  unzip.SetDestDir(u"C:\\out\\\\");
  EXPECT_EQ(unzip.DestDir(), u"C:\\out\\");
  unzip.SetRootDir(u"base");
  EXPECT_EQ(unzip.RootDir(), u"base\\");
  ASSERT_EQ(unzip.RelativePathList().Count(), 1);
  unzip.RelativePathList().Add(u"other\\");
  String path = u"BASE\\sub\\file.txt", stripped;
  unzip.StripRelativePath(path, stripped);
  EXPECT_EQ(stripped, u"sub\\file.txt");
  path = u"other\\x.txt";
  unzip.StripRelativePath(path, stripped);
  EXPECT_EQ(stripped, u"x.txt");
  unzip.SetRootDir(u"");
  path = u"keep\\me";
  unzip.StripRelativePath(path, stripped);  // an empty line matches and strips nothing
  EXPECT_EQ(stripped, u"keep\\me");
}

TEST(XrUnZip, IndexErrorsNameTheIndex) {
  TXrUnZip unzip;
  try {
    unzip.GetEntryName(-1);
    FAIL() << "no error";
  } catch (const EListError& e) {
    EXPECT_EQ(e.Message(), u"Index -1 is out of range");
  }
}

TEST(XrUnZip, PromptUserDeclinesWhenTheHandlerLeavesTheAnswer) {
  TXrUnZip unzip;
  unzip.OnHandleMessage = [](TXrUnZip&, int32_t, const String&, const String&, uint32_t, int32_t&) {};
  EXPECT_EQ(unzip.PromptUser(184, u"Please insert disk 2 of the multi-disk set.", u"", mbOKCancel),
            idCancel);
  EXPECT_EQ(unzip.PromptUser(196, u"Replace existing file a.txt?", u"File Exists Alert", mbYesNo),
            idNo);
  unzip.OnHandleMessage = [](TXrUnZip&, int32_t id, const String&, const String&, uint32_t,
                             int32_t& answer) { answer = id == 196 ? idYes : idOK; };
  EXPECT_EQ(unzip.PromptUser(196, u"?", u"", mbYesNo), idYes);
}

TEST(XrUnZip, MessageTexts) {
  EXPECT_EQ(ZipMessageText(TZipMessage::UserAborted), u"User Aborted Operation");
  EXPECT_EQ(ZipMessageNumber(TZipMessage::UserAborted), 181);
  EXPECT_EQ(ZipMessageText(TZipMessage::CantWriteUCF), u"Cant write uncompressed file");
  EXPECT_EQ(ZipMessageNumber(TZipMessage::CantWriteUCF), 207);
  EXPECT_EQ(ZipMessageText(TZipMessage::ReplaceFilePrefix), u"Replace existing file ");
}

TEST(XrUnZip, DestDirQuestionMarkDoesNothing) {
  RecordingUnZip unzip;
  int events = 0;
  unzip.OnStartUnZipInfo = [&](TXrUnZip&, int32_t, int64_t, bool&) { ++events; };
  unzip.OnUnZipComplete = [&](TXrUnZip&, int32_t) { ++events; };
  unzip.SetZipName(u"no such archive.zip");
  unzip.SetDestDir(u"?");
  EXPECT_EQ(unzip.UnZip(), 0);
  EXPECT_EQ(events, 0);
}

// Which entries reach extraction, with what totals (basic.zip: readme.txt, docs/,
// docs/manual.txt, docs/sub/deep.bin, empty.txt).
TEST(XrUnZip, Selection) {
  ScratchDir dir("xr_unzip_selection");
  struct Case {
    const char* what;
    bool doAll, recreateDirs, ignorePath;
    std::vector<String> patterns;
    std::vector<String> handed;
    int64_t totalBytes;
  };
  const Case cases[] = {
      {"every file; the folder entry stays out without RecreateDirs", true, false, false, {},
       {u"readme.txt", u"docs\\manual.txt", u"docs\\sub\\deep.bin", u"empty.txt"}, 2580},
      {"with RecreateDirs the folder entry too", true, true, false, {},
       {u"readme.txt", u"docs\\", u"docs\\manual.txt", u"docs\\sub\\deep.bin", u"empty.txt"}, 2580},
      {"an empty list selects nothing", false, false, false, {}, {}, 0},
      {"patterns match folder and name, without case", false, false, false, {u"DOCS\\*.TXT"},
       {u"docs\\manual.txt"}, 12},
      {"a star crosses folders", false, false, false, {u"*.bin", u"readme.*"},
       {u"readme.txt", u"docs\\sub\\deep.bin"}, 2568},
      {"IgnorePath matches the file name alone", false, false, true, {u"deep.bin"},
       {u"docs\\sub\\deep.bin"}, 2048},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RecordingUnZip unzip;
    unzip.SetZipName(Fixture("basic.zip"));
    unzip.SetDestDir(dir.Path());
    unzip.DoAll = c.doAll;
    unzip.RecreateDirs = c.recreateDirs;
    unzip.IgnorePath = c.ignorePath;
    for (const String& p : c.patterns) unzip.FilesList().Add(p);
    int32_t infoFiles = -1, completeFiles = -1;
    int64_t infoBytes = -1;
    unzip.OnStartUnZipInfo = [&](TXrUnZip&, int32_t files, int64_t bytes, bool&) {
      infoFiles = files;
      infoBytes = bytes;
    };
    unzip.OnUnZipComplete = [&](TXrUnZip&, int32_t files) { completeFiles = files; };
    EXPECT_EQ(unzip.UnZip(), int32_t(c.handed.size()));
    EXPECT_EQ(unzip.handedNames, c.handed);
    EXPECT_EQ(infoFiles, int32_t(c.handed.size()));
    EXPECT_EQ(infoBytes, c.totalBytes);
    EXPECT_EQ(completeFiles, int32_t(c.handed.size()));
    EXPECT_EQ(unzip.FilesList().Count(), 0);  // emptied by every run
  }
}

TEST(XrUnZip, StopNowEndsTheRunAndAnEmptyArchiveReportsZero) {
  RecordingUnZip unzip;
  unzip.SetZipName(Fixture("basic.zip"));
  unzip.DoAll = true;
  int32_t complete = -1;
  unzip.OnStartUnZipInfo = [](TXrUnZip&, int32_t, int64_t, bool& stop) { stop = true; };
  unzip.OnUnZipComplete = [&](TXrUnZip&, int32_t files) { complete = files; };
  EXPECT_EQ(unzip.UnZip(), 0);
  EXPECT_TRUE(unzip.handed.empty());
  EXPECT_EQ(complete, 0);

  RecordingUnZip empty;
  empty.SetZipName(Fixture("empty.zip"));
  empty.DoAll = true;
  int32_t files = -1;
  int64_t bytes = -1;
  empty.OnStartUnZipInfo = [&](TXrUnZip&, int32_t n, int64_t b, bool&) {
    files = n;
    bytes = b;
  };
  EXPECT_EQ(empty.UnZip(), 0);
  EXPECT_EQ(files, 0);
  EXPECT_EQ(bytes, 0);
}

// Two entries of 2^63 - 1 bytes: the total handed to the host stops at the largest value.
TEST(XrUnZip, TotalBytesDoNotOverflow) {
  RecordingUnZip unzip;
  unzip.SetZipName(Fixture("huge_total.zip"));
  unzip.DoAll = true;
  int64_t total = 0;
  unzip.OnStartUnZipInfo = [&](TXrUnZip&, int32_t, int64_t bytes, bool&) { total = bytes; };
  EXPECT_EQ(unzip.UnZip(), 2);
  EXPECT_EQ(total, INT64_MAX);
}

// A quit met by the host's pump in the selection loop cancels the run there, before
// anything is handed to extraction, and the request does not outlive the run.
TEST(XrUnZip, QuitFromThePumpCancelsTheRun) {
  RecordingUnZip unzip;
  unzip.SetZipName(Fixture("basic.zip"));
  unzip.DoAll = true;
  unzip.LoadDirectory();  // read before the pump starts to report the quit
  int pumped = 0;
  bool infoSeen = false;
  unzip.OnStartUnZipInfo = [&](TXrUnZip&, int32_t, int64_t, bool&) { infoSeen = true; };
  TZipHostHooks hooks;
  hooks.PumpMessages = [&] {
    ++pumped;
    return true;
  };
  TZipHostHooksScope scope(hooks);
  try {
    unzip.UnZip();
    ADD_FAILURE() << "no error";
  } catch (const EUserCanceled& e) {
    EXPECT_EQ(e.Message(), u"User Aborted Operation");
  }
  EXPECT_EQ(pumped, 1);
  EXPECT_FALSE(infoSeen);
  EXPECT_TRUE(unzip.handed.empty());
  EXPECT_FALSE(unzip.Busy());
  // The directory read stayed (a cancel there would have dropped the archive).
  EXPECT_EQ(unzip.LoadedEntryCount(), 5);
  // Without pumping the same run goes through.
  unzip.DoProcessMessages = false;
  EXPECT_EQ(unzip.UnZip(), 4);
  EXPECT_EQ(pumped, 1);
}

TEST(XrUnZip, RefusesNestedOperations) {
  RecordingUnZip unzip;
  unzip.SetZipName(Fixture("basic.zip"));
  unzip.DoAll = true;
  std::vector<String> errors;
  unzip.OnStartUnZipInfo = [&](TXrUnZip& sender, int32_t, int64_t, bool&) {
    EXPECT_TRUE(sender.Busy());
    for (auto nested : std::initializer_list<std::function<void()>>{
             [&] { sender.UnZip(); }, [&] { sender.SetZipName(u"other.zip"); },
             [&] { sender.LoadDirectory(); }, [&] { sender.TestZip(); }}) {
      try {
        nested();
      } catch (const EZipBusy& e) {
        errors.push_back(e.Message());
      }
    }
    // What needs no read of the archive is answered: this archive has no comment.
    EXPECT_EQ(sender.GetArchiveComment(), "");
  };
  EXPECT_EQ(unzip.UnZip(), 4);  // the outer run goes on over the directory it had
  EXPECT_EQ(errors, std::vector<String>(4, ZipMessageText(TZipMessage::Busy)));
  EXPECT_FALSE(unzip.Busy());
}

TEST(XrUnZip, KeepZipOpenIsPutBackAfterTheCompletionEvent) {
  RecordingUnZip unzip;
  unzip.SetZipName(Fixture("basic.zip"));
  unzip.DoAll = true;
  bool keptOpenInEvent = false;
  unzip.OnUnZipComplete = [&](TXrUnZip& sender, int32_t) { keptOpenInEvent = sender.KeepZipOpen; };
  unzip.UnZip();
  EXPECT_TRUE(keptOpenInEvent);
  EXPECT_FALSE(unzip.KeepZipOpen);
}

TEST(XrUnZip, DirectoryIsReusedUntilTheArchiveChanges) {
  ScratchDir dir("xr_unzip_reuse");
  const String path = dir / u"a.zip";
  WriteFileBytes(path, StoredArchive({{"one.txt", "1", ""}}));
  RecordingUnZip unzip;
  unzip.SetZipName(path);
  unzip.LoadDirectory();
  const TZipHeaderInfo* first = &unzip.Entry(0);
  unzip.LoadDirectory();
  EXPECT_EQ(&unzip.Entry(0), first);
  String otherCase = path;
  for (Char& c : otherCase)
    if (c >= u'a' && c <= u'z') c = Char(c - 32);
  unzip.SetZipName(otherCase);  // the same name: nothing changes
  EXPECT_EQ(unzip.ZipName(), path);
  EXPECT_EQ(unzip.LoadedEntryCount(), 1);

  WriteFileBytes(path, StoredArchive({{"one.txt", "1", ""}, {"two.txt", "22", ""}}));
  unzip.LoadDirectory();
  EXPECT_EQ(unzip.LoadedEntryCount(), 2);
}

TEST(XrUnZip, AssignCopiesSettingsAndDropsADirectoryOfAnotherName) {
  TXrUnZip source;
  source.SetZipName(Fixture("basic.zip"));
  source.SetDestDir(u"dest");
  source.DoAll = true;
  source.IgnorePath = true;
  source.FilesList().Add(u"*.txt");
  int calls = 0;
  source.OnUnZipComplete = [&](TXrUnZip&, int32_t) { ++calls; };

  TXrUnZip target;
  target.SetZipName(Fixture("comments.zip"));
  target.LoadDirectory();
  ASSERT_EQ(target.LoadedEntryCount(), 3);
  target.Assign(source);
  EXPECT_EQ(target.ZipName(), source.ZipName());
  EXPECT_EQ(target.LoadedEntryCount(), 0);  // the old archive's entries are gone
  EXPECT_EQ(target.DestDir(), u"dest");
  EXPECT_TRUE(target.DoAll);
  EXPECT_FALSE(target.IgnorePath);  // not copied
  EXPECT_EQ(target.FilesList().Count(), 1);
  ASSERT_TRUE(bool(target.OnUnZipComplete));
  target.LoadDirectory();
  EXPECT_EQ(target.LoadedEntryCount(), 5);

  TEndCentral notAComponent;
  EXPECT_THROW(target.Assign(notAComponent), EConvertError);
}

TEST(XrUnZip, UnZipCreatesTheDestination) {
  ScratchDir dir("xr_unzip_dest");
  RecordingUnZip unzip;
  unzip.SetZipName(Fixture("basic.zip"));
  unzip.SetDestDir(dir / u"new\\deeper\\");
  unzip.DoAll = true;
  EXPECT_EQ(unzip.UnZip(), 4);
  EXPECT_TRUE(FolderExists(unzip.DestDir()));

  // A destination that cannot be made is an error, not a run that writes nowhere.
  WriteFileBytes(dir / u"file", "x");
  RecordingUnZip blocked;
  blocked.SetZipName(Fixture("basic.zip"));
  blocked.SetDestDir(dir / u"file\\sub");
  blocked.DoAll = true;
  EXPECT_THROW(blocked.UnZip(), EInOutError);
  EXPECT_TRUE(blocked.handed.empty());
}

TEST(XrUnZip, SplitBaseNameEndsAtTheLastDot) {
  // The parts of "my.set.zip" are "my.set.z01" and so on.
  ScratchDir dir("xr_unzip_split_base");
  String asked;
  RecordingUnZip unzip;
  unzip.OnFileNameForSplitPart = [&](TXrUnZip&, String& name, int32_t, TSplitPartType) {
    asked = name;
    name += u".zip";
  };
  EndFields end;
  end.thisDisk = 1;
  end.entries = 1;
  end.dirSize = 46;
  WriteFileBytes(dir / u"my.set.zip", EndRecord(end));
  unzip.SetZipName(dir / u"my.set.zip");
  EXPECT_ANY_THROW(unzip.LoadDirectory());
  EXPECT_EQ(asked, dir / u"my.set");
}

}  // namespace
