#include "scan/update_cleanup.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "base/path.h"
#include "base/win_directory.h"
#include "base/win_string.h"
#include "scan/hand_back.h"
#include "scan/settings_texts.h"

namespace {

// Without a trailing backslash: with one, a link to a folder reads as its target.
DWORD AttributesOf(String path) {
  while (path.size() > 3 && path.back() == u'\\') path.pop_back();
  return FileAttributesOf(path);
}

// A real folder: not a file, not a link to a folder elsewhere.
bool IsPlainFolder(DWORD attributes) {
  return IsFolderAttributes(attributes) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// A program that is still ending holds its file open; a read-only file or a folder
// will not go however long we wait.
bool MayGoLater(DWORD error, const String& path) {
  if (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION &&
      error != ERROR_LOCK_VIOLATION)
    return false;
  const DWORD a = AttributesOf(path);
  return IsFileAttributes(a) && !(a & FILE_ATTRIBUTE_READONLY);
}

void DeleteSetupProgram(const String& path, const TCleanUpTiming& timing) {
  for (int attempt = 1;; ++attempt) {
    if (DeleteFileW(W(path))) return;
    const DWORD error = GetLastError();
    if (attempt >= timing.DeleteAttempts || !MayGoLater(error, path)) return;
    Sleep(DWORD(std::max(timing.RetryDelayMs, 0)));
  }
}

}  // namespace

String NormalisedPath(const String& Path) {
  if (Path.empty() || Path.find(u'\0') != String::npos) return String();
  std::vector<wchar_t> full(32768);
  const DWORD n = GetFullPathNameW(W(Path), DWORD(full.size()), full.data(), nullptr);
  if (n == 0 || n >= full.size()) return String();
  std::vector<wchar_t> longer(32768);
  const DWORD m = GetLongPathNameW(full.data(), longer.data(), DWORD(longer.size()));
  if (m == 0 || m >= longer.size()) return FromW(full.data(), n);
  return FromW(longer.data(), m);
}

String WindowsTempFolder() {
  wchar_t buffer[MAX_PATH + 2] = {};
  const DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
  if (n == 0 || n > MAX_PATH + 1) return String();
  const String temp = NormalisedPath(FromW(buffer, n));
  return temp.empty() ? String() : WithTrailingSeparator(temp);
}

void DeleteTopLevelFiles(const String& Dir) {
  if (Dir.empty() || !IsPlainFolder(AttributesOf(Dir))) return;
  const String dir = WithTrailingSeparator(Dir);
  ForEachEntry(dir + u"*.*", [&](const TFoundEntry& entry) {
    // Folders stay (the routine is not recursive); a link goes, not its target.
    if (!(entry.Attributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileW(W(dir + entry.Name));
  });
  RemoveDirectoryW(W(dir));
}

void CleanUpSetupFiles(const String& SetupPath, const String& TempDir,
                       const TCleanUpTiming& Timing) {
  if (Timing.StartDelayMs > 0) Sleep(DWORD(Timing.StartDelayMs));
  // Judged as given: a relative name would be resolved against the current folder.
  if (!IsDeletableSetupPath(SetupPath)) return;
  const String setup = NormalisedPath(SetupPath);
  if (!IsDeletableSetupPath(setup)) return;
  if (IsFileAttributes(AttributesOf(setup))) DeleteSetupProgram(setup, Timing);

  // The folder on its own: the setup program's long name is gone once it is deleted.
  const String dir = WithTrailingSeparator(NormalisedPath(String(FolderPart(setup))));
  const String temp = NormalisedPath(TempDir);
  if (!IsPlainFolder(AttributesOf(dir)) || !IsUpdateFolder(dir, temp)) return;
  const String payload = dir + settings_texts::kPayloadFolder;
  if (IsPlainFolder(AttributesOf(payload))) DeleteTopLevelFiles(payload);
  DeleteTopLevelFiles(dir);
}
