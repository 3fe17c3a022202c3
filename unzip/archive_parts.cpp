#include "unzip/archive_parts.h"

#include "base/path.h"
#include "base/text.h"
#include "unzip/zip_file_os.h"
#include "unzip/zip_file_routines.h"

namespace {

String Folded(const String& fullName) {
  return zip_os::NamesIgnoreCase() ? AnsiLowerCase(fullName) : fullName;
}

// Digits of a part number written with at least Width digits, at most Count.
bool IsPartNumber(StringView digits, size_t width, int32_t count) {
  if (digits.size() < width || digits.size() > 10) return false;
  if (digits.size() > width && digits[0] == u'0') return false;
  int64_t n = 0;
  for (Char c : digits) {
    if (c < u'0' || c > u'9') return false;
    n = n * 10 + (c - u'0');
  }
  return n >= 1 && n <= count;
}

// What follows the base in the name of a part: ".zip", ".z01" and up or ".001" and up.
bool IsPartSuffix(StringView rest, int32_t count) {
  if (rest == u".zip") return true;
  if (rest.size() > 2 && rest.substr(0, 2) == u".z" && IsPartNumber(rest.substr(2), 2, count))
    return true;
  return !rest.empty() && rest[0] == u'.' && IsPartNumber(rest.substr(1), 3, count);
}

}  // namespace

void TArchiveParts::Clear() {
  names_.clear();
  fileNames_.clear();
  splitBases_.clear();
  splitFileBase_.clear();
  splitCount_ = 0;
  identities_.clear();
  splitFolders_.clear();
  namer_ = nullptr;
  namedCount_ = 0;
  collected_ = true;
}

void TArchiveParts::AddIdentity(const String& name) {
  TFileIdentity identity;
  if (FileIdentityOf(name, identity)) identities_.insert(identity);
}

void TArchiveParts::Add(const String& name) {
  if (name.empty()) return;
  AddIdentity(name);
  for (const String& form : {FullPathOf(name), RealPathOf(name)}) {
    if (form.empty()) continue;
    const String folded = Folded(form);
    // Natively the separator is '/'.
    fileNames_.insert(folded.substr(FileNameStart(folded, kPathSeparatorsWithSlash)));
    names_.insert(folded);
  }
}

void TArchiveParts::SetSplitSet(const String& base, int32_t count) {
  splitBases_.clear();
  splitCount_ = count;
  const String full = Folded(FullPathOf(base));
  if (full.empty()) return;
  const size_t start = FileNameStart(full, kPathSeparatorsWithSlash);
  splitFileBase_ = full.substr(start);
  splitBases_.push_back(full);
  splitFolders_.assign(1, full.substr(0, start));
  collected_ = false;
  // The same base below the folder's real name.
  if (start > 0) {
    const String folder = RealPathOf(full.substr(0, start));
    if (!folder.empty()) {
      String real = Folded(folder);
      if (!zip_os::IsSeparator(real.back())) real.push_back(full[start - 1]);
      real += splitFileBase_;
      if (real != full) splitBases_.push_back(real);
    }
  }
}

bool TArchiveParts::IsSplitPartName(const String& folded) const {
  for (const String& base : splitBases_) {
    if (folded.size() <= base.size() || folded.compare(0, base.size(), base) != 0) continue;
    if (IsPartSuffix(StringView(folded).substr(base.size()), splitCount_)) return true;
  }
  return false;
}

bool TArchiveParts::Matches(const String& folded) const {
  return names_.contains(folded) || IsSplitPartName(folded);
}

bool TArchiveParts::MayBeAnotherSpelling(const String& folded) const {
  const size_t start = FileNameStart(folded, kPathSeparatorsWithSlash);
  if (zip_os::NamesIgnoreCase() && folded.find(u'~', start) != String::npos) return true;
  if (fileNames_.contains(folded.substr(start))) return true;
  return !splitFileBase_.empty() && folded.compare(start, splitFileBase_.size(), splitFileBase_) == 0;
}

void TArchiveParts::SetPartNamer(std::function<String(int32_t)> namer, int32_t count) {
  namer_ = std::move(namer);
  namedCount_ = count;
  collected_ = false;
}

void TArchiveParts::CollectIdentities() {
  collected_ = true;
  // The parts of the default namings are in the base's folder: its names are listed,
  // whatever the count claimed, and matched without regard to case (a mount may
  // ignore it where the system does not).
  const String base = AnsiLowerCase(splitFileBase_);
  for (const String& folder : splitFolders_) {
    for (const String& name : NamesInFolder(folder)) {
      const String folded = AnsiLowerCase(name);
      if (folded.size() > base.size() && folded.compare(0, base.size(), base) == 0 &&
          IsPartSuffix(StringView(folded).substr(base.size()), splitCount_))
        AddIdentity(folder + name);
    }
  }
  if (namer_) {
    const auto namer = std::move(namer_);
    namer_ = nullptr;
    for (int32_t number = 1; number <= namedCount_; ++number) AddIdentity(namer(number));
  }
}

bool TArchiveParts::Contains(const String& name, const TNameLook& look) {
  if (names_.empty() && splitBases_.empty()) return false;
  const String full = Folded(FullPathOf(name));
  if (Matches(full)) return true;
  if (MayBeAnotherSpelling(full)) {
    const String real = RealPathOf(name);
    if (!real.empty() && Matches(Folded(real))) return true;
  }
  // Only a file that is there can be written over.
  if (look.Attributes == -1) return false;
  TFileIdentity identity;
  if (look.Identity)
    identity = *look.Identity;
  else if (!FileIdentityOf(name, identity))
    return false;
  if (!collected_) CollectIdentities();
  return identities_.contains(identity);
}
