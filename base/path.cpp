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

size_t ExtensionStart(StringView path, StringView separators) {
  const size_t dot = path.rfind(u'.');
  if (dot == StringView::npos || dot < FileNameStart(path, separators)) return StringView::npos;
  return dot;
}

StringView ExtensionPart(StringView path, StringView separators) {
  const size_t dot = ExtensionStart(path, separators);
  return dot == StringView::npos ? StringView() : path.substr(dot);
}

StringView WithoutExtension(StringView path, StringView separators) {
  return path.substr(0, ExtensionStart(path, separators));
}

void AddTrailingSeparator(String& path, Char separator) {
  if (!path.empty() && path.back() != separator) path.push_back(separator);
}

String WithTrailingSeparator(StringView path, Char separator) {
  String result(path);
  AddTrailingSeparator(result, separator);
  return result;
}

StringView WithoutTrailingSeparator(StringView path, Char separator) {
  if (!path.empty() && path.back() == separator) path.remove_suffix(1);
  return path;
}

StringView WithoutTrailingSeparators(StringView path, Char separator) {
  while (!path.empty() && path.back() == separator) path.remove_suffix(1);
  return path;
}
