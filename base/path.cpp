#include "base/path.h"

size_t FileNameStart(StringView path, StringView separators) {
  const size_t last = path.find_last_of(separators);
  return last == StringView::npos ? 0 : last + 1;
}

StringView FolderPart(StringView path, StringView separators) {
  return path.substr(0, FileNameStart(path, separators));
}

StringView FileNamePart(StringView path, StringView separators) {
  return path.substr(FileNameStart(path, separators));
}
