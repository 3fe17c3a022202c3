#include "unzip/archive_parts.h"

#include <algorithm>

#include "base/text.h"
#include "unzip/zip_file_os.h"

namespace {

String Folded(const String& fullName) {
  return zip_os::NamesIgnoreCase() ? AnsiLowerCase(fullName) : fullName;
}

// The last part of a full name, which natively uses '/'.
size_t FileNameLength(const String& fullName) {
  const size_t separator = fullName.find_last_of(u"\\/:");
  return separator == String::npos ? fullName.size() : fullName.size() - separator - 1;
}

}  // namespace

void TArchiveParts::Add(const String& name) {
  if (name.empty()) return;
  TPart part;
  part.fullName = Folded(FullPathOf(name));
  for (const TPart& known : parts_)
    if (known.fullName == part.fullName) return;
  part.fileNameLength = FileNameLength(part.fullName);
  part.exists = FileIdOf(name, part.id);
  parts_.push_back(std::move(part));
}

bool TArchiveParts::Contains(const String& name) const {
  if (parts_.empty()) return false;
  const String full = Folded(FullPathOf(name));
  for (const TPart& part : parts_)
    if (part.fullName == full) return true;
  // Only a name as long as a part's (another letter case, another folder spelling) or
  // one that may be a short name can reach a part under a name not compared above; the
  // others are spared the look-up.
  const size_t length = FileNameLength(full);
  const bool mayBeShort =
      zip_os::NamesIgnoreCase() && full.find(u'~', full.size() - length) != String::npos;
  const bool sameLength = std::any_of(parts_.begin(), parts_.end(), [&](const TPart& part) {
    return part.exists && part.fileNameLength == length;
  });
  if (!mayBeShort && !sameLength) return false;
  TFileId id;
  if (!FileIdOf(name, id)) return false;
  return std::any_of(parts_.begin(), parts_.end(),
                     [&](const TPart& part) { return part.exists && part.id == id; });
}
