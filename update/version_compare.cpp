#include "update/version_compare.h"

bool IsNewerVersion(StringView fileVersion, StringView runningVersion) {
  return fileVersion.compare(runningVersion) > 0;
}
