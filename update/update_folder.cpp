#include "update/update_folder.h"

#include "base/format.h"
#include "base/in_out_error.h"
#include "base/path.h"
#include "update/update_texts.h"

String UpdateFolderName(StringView tempDir, int n) {
  return String(WithoutTrailingSeparator(tempDir)) + kBackslash + update_name::kFolderPrefix +
         IntToStr(n) + update_name::kFolderSuffix;
}

String CreateUpdateFolder(StringView tempDir, const TCreateDirectoryFn& createDirectory) {
  // Created, not merely tested: a folder that appears between a test and the creation
  // must not be shared with someone else's files.
  if (tempDir.empty()) RaiseInOutError(update_limit::kErrorPathNotFound);
  for (int n = 1; n <= update_limit::kMaxUpdateFolders; ++n) {
    const String folder = UpdateFolderName(tempDir, n);
    const uint32_t error = createDirectory(folder);
    if (error == 0) return folder;
    if (error != update_limit::kErrorAlreadyExists) RaiseInOutError(error);
  }
  RaiseInOutError(update_limit::kErrorAlreadyExists);
}
