#include "update/updater_command.h"

#include "base/format.h"
#include "base/path.h"
#include "base/text.h"
#include "common/update_token.h"
#include "update/update_texts.h"

String UpdaterCommandLine(StringView updateFolder, StringView exePath, StringView exeName) {
  return Format(update_name::kUpdaterParameters,
                {kUpdateToken, String(updateFolder) + update_name::kFilesFolder,
                 FolderPart(exePath), exeName});
}

String SetupProgramPath(StringView updateFolder, bool legacyWindows, StringView exeName) {
  const String folder = String(updateFolder) + u"\\";
  if (legacyWindows) return folder + update_name::kLegacySetupName;
  return folder + update_name::kSetupNamePrefix + String(exeName);
}

bool IsExecutableUpdate(StringView localFile) {
  return AnsiSameText(ExtensionPart(localFile), update_name::kExecutableExtension);
}
