// Opening the disks and parts of a multi-part archive.
#include "base/format.h"
#include "base/text.h"
#include "unzip/host_hooks.h"
#include "unzip/lfn_file_stream.h"
#include "unzip/unzip_errors.h"
#include "unzip/unzip_messages.h"
#include "unzip/xr_unzip.h"
#include "unzip/zip_lib_routines.h"

namespace {

constexpr int32_t kMaxNamedParts = 4096;

String ZeroPadded(int32_t n, size_t width) {
  const String digits = IntToStr(n);
  String padded;
  for (size_t i = digits.size(); i < width; ++i) padded.push_back(u'0');
  padded.append(digits);
  return padded;
}

}  // namespace

void TXrUnZip::NameSplitPart(String& fName, int32_t number, TSplitPartType splitType) {
  if (OnFileNameForSplitPart)
    OnFileNameForSplitPart(*this, fName, number, splitType);
  else
    DefaultNameSplitPart(fName, number, splitType);
}

void TXrUnZip::DefaultNameSplitPart(String& fName, int32_t number, TSplitPartType splitType) const {
  String suffix;
  if (BlockMode == TBlockMode::bmStandard && splitType == TSplitPartType::spLast) {
    suffix = u".zip";
  } else {
    suffix = BlockMode == TBlockMode::bmStandard ? u".z" : u".";
    suffix.append(ZeroPadded(number, BlockMode == TBlockMode::bmStandard ? 2 : 3));
  }
  fName.append(suffix);
}

void TXrUnZip::RequestDisk(int32_t number, String& fName) {
  if (OnGetNextDisk)
    OnGetNextDisk(*this, number, fName);
  else
    DefaultRequestDisk(number, fName);
}

void TXrUnZip::DefaultRequestDisk(int32_t number, String& fName) {
  if (GetMultiPartMode() != TMultiPartMode::mpSpanned) return;
  const String text = ZipMessageText(TZipMessage::InsertDiskPrefix) + IntToStr(number) +
                      ZipMessageText(TZipMessage::InsertDiskSuffix);
  if (PromptUser(ZipMessageNumber(TZipMessage::InsertDiskPrefix), text, String(), mbOKCancel) == idCancel)
    fName.clear();
}

bool TXrUnZip::DriveIsRemovable(const String& root) { return IsRemovableDrive(root); }

String TXrUnZip::DriveVolumeLabel(const String& root) { return GetVolumeLabel(root); }

// The label is read from the drive of Name, the file about to be opened: a handler may
// point to another drive than the archive's.
bool TXrUnZip::DiskLabelMatches(int32_t number, const String& name) {
  if (GetMultiPartMode() != TMultiPartMode::mpSpanned) return true;
  const String label = DriveVolumeLabel(UpperCase(LeftChars(name, 3)));
  return RightChars(label, 3) == ZeroPadded(number, 3);
}

TSplitPartType TXrUnZip::SplitPartType(int32_t number) const {
  if (FBusy && number == FDiskCount) return TSplitPartType::spLast;
  return number == 1 ? TSplitPartType::spFirst : TSplitPartType::spMiddle;
}

TStream& TXrUnZip::OpenDisk(int32_t number) {
  FZipStream.reset();
  if (number < 1 || number > FDiskCount)
    throw EBadZipFile(ZipMessageText(TZipMessage::NotValidZip));
  String name = FZipName;
  if (GetMultiPartMode() == TMultiPartMode::mpSplit) {
    name = FSplitBaseName;
    NameSplitPart(name, number, SplitPartType(number));
  } else {
    // Ask again only while someone can answer; otherwise the open below reports the
    // missing file.
    const bool canAsk = bool(OnGetNextDisk) || GetMultiPartMode() == TMultiPartMode::mpSpanned;
    for (;;) {
      RequestDisk(number, name);
      if (name.empty()) throw EUserCanceled(ZipMessageText(TZipMessage::UserCanceledDisk));
      if (GetVerifyDiskLabels() && !DiskLabelMatches(number, name)) {
        if (canAsk) continue;
        break;
      }
      if (ArchiveFileExists(name) || !canAsk) break;
    }
  }
  FZipStream = OpenArchiveStream(name, uint16_t(fmOpenRead | fmShareDenyNone), false);
  FArchiveParts.Add(name);
  FCurrentDisk = number - 1;
  FArchiveDate = ArchiveStampOf(*FZipStream);
  FZipName = name;
  return *FZipStream;
}

void TXrUnZip::OpenNextDisk(TZipHeaderInfo&, TStream*& stream) { stream = &OpenDisk(FCurrentDisk + 2); }

int32_t TXrUnZip::ReadAcrossParts(TStream*& stream, uint8_t* to, int32_t count) {
  int32_t got = ReadFully(*stream, to, count);
  while (got < count && FCurrentDisk + 1 < FDiskCount) {
    OpenNextDisk(*FHeaderTemplate, stream);
    got += ReadFully(*stream, to + got, count - got);
  }
  return got;
}

// Split sets: both namings, whichever the set was opened by, and the handler's names. A
// handler is asked before the run for at most kMaxNamedParts parts; for a set that claims
// more, it names them all once a file that is there has to be told apart from the parts.
// Spanned sets: the disks share one name unless a handler names them; one that does is
// asked only once a file that is there has to be told apart from the disks, since a
// request for a disk may ask the user to insert it.
void TXrUnZip::AddPartNames() {
  if (FDiskCount < 2) return;
  if (GetMultiPartMode() == TMultiPartMode::mpSpanned) {
    if (!OnGetNextDisk) return;
    FArchiveParts.SetPartNamer(
        [this](int32_t number) {
          String name = FZipName;
          OnGetNextDisk(*this, number, name);
          return name;
        },
        FDiskCount);
    return;
  }
  if (GetMultiPartMode() != TMultiPartMode::mpSplit) return;
  FArchiveParts.SetSplitSet(FSplitBaseName, FDiskCount);
  if (!OnFileNameForSplitPart) return;
  if (FDiskCount > kMaxNamedParts) {
    FArchiveParts.SetPartNamer(
        [this](int32_t number) {
          // A long naming can be cancelled like a long entry.
          if (number % kMaxNamedParts == 0 && DoProcessMessages) PumpAndHonourRequests(false);
          String name = FSplitBaseName;
          NameSplitPart(name, number, SplitPartType(number));
          return name;
        },
        FDiskCount);
    return;
  }
  for (int32_t number = 1; number <= FDiskCount; ++number) {
    String name = FSplitBaseName;
    NameSplitPart(name, number, SplitPartType(number));
    FArchiveParts.Add(name);
  }
}
