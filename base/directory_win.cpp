#include "base/win_directory.h"

#include "base/win_handle.h"
#include "base/win_string.h"

DWORD FileAttributesOf(const String& path) {
  if (path.empty() || path.find(u'\0') != String::npos) return INVALID_FILE_ATTRIBUTES;
  return GetFileAttributesW(W(path));
}

DWORD ForEachEntry(const String& Pattern, const std::function<void(const TFoundEntry&)>& Visit) {
  if (Pattern.empty() || Pattern.find(u'\0') != String::npos) return ERROR_INVALID_NAME;
  WIN32_FIND_DATAW found{};
  UniqueFindHandle search(FindFirstFileW(W(Pattern), &found));
  if (!search) return GetLastError();
  TFoundEntry entry;
  do {
    entry.Name = FromW(found.cFileName, MAX_PATH);
    if (entry.Name == u"." || entry.Name == u"..") continue;
    entry.Attributes = found.dwFileAttributes;
    Visit(entry);
  } while (FindNextFileW(search.get(), &found));
  return ERROR_SUCCESS;
}
