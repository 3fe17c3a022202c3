#include "base/win_directory.h"

#include <cwchar>

#include "base/win_handle.h"
#include "base/win_string.h"

DWORD FileAttributesOf(const String& path) {
  if (path.empty() || path.find(u'\0') != String::npos) return INVALID_FILE_ATTRIBUTES;
  return GetFileAttributesW(W(path));
}

DWORD ForEachEntry(const String& Pattern, const std::function<void(const TFoundEntry&)>& Visit) {
  if (Pattern.empty() || Pattern.find(u'\0') != String::npos) return ERROR_INVALID_NAME;
  WIN32_FIND_DATAW found{};
  // No short names and larger batches: a folder scan of many files reads less.
  UniqueFindHandle search(FindFirstFileExW(W(Pattern), FindExInfoBasic, &found,
                                           FindExSearchNameMatch, nullptr,
                                           FIND_FIRST_EX_LARGE_FETCH));
  if (!search) return GetLastError();
  TFoundEntry entry;
  do {
    // Assigned in place: the name keeps its buffer from entry to entry.
    entry.Name.assign(reinterpret_cast<const Char*>(found.cFileName),
                      wcsnlen(found.cFileName, MAX_PATH));
    if (entry.Name == u"." || entry.Name == u"..") continue;
    entry.Attributes = found.dwFileAttributes;
    entry.Size = int64_t((uint64_t(found.nFileSizeHigh) << 32) | found.nFileSizeLow);
    Visit(entry);
  } while (FindNextFileW(search.get(), &found));
  return ERROR_SUCCESS;
}
