#include "update/updater_command.h"

#include "base/format.h"
#include "base/text.h"
#include "common/update_token.h"
#include "update/update_texts.h"

namespace {

// Up to and including the last '\' or ':'.
StringView FolderOf(StringView path) {
  const size_t cut = path.find_last_of(u"\\:");
  return cut == StringView::npos ? StringView() : path.substr(0, cut + 1);
}

}  // namespace

String UpdaterCommandLine(StringView updateFolder, StringView exePath, StringView exeName) {
  return Format(update_name::kUpdaterParameters,
                {kUpdateToken, String(updateFolder) + update_name::kFilesFolder,
                 FolderOf(exePath), exeName});
}

String SetupProgramPath(StringView updateFolder, bool legacyWindows, StringView exeName) {
  const String folder = String(updateFolder) + u"\\";
  if (legacyWindows) return folder + update_name::kLegacySetupName;
  return folder + update_name::kSetupNamePrefix + String(exeName);
}

bool IsExecutableUpdate(StringView localFile) {
  const size_t nameStart = localFile.find_last_of(u"\\:");
  const StringView name =
      nameStart == StringView::npos ? localFile : localFile.substr(nameStart + 1);
  const size_t dot = name.rfind(u'.');
  return dot != StringView::npos &&
         AnsiSameText(name.substr(dot), update_name::kExecutableExtension);
}
