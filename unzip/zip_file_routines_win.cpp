// Win32 side of the zip file routines and of the host hooks' defaults.
#include <windows.h>

#include <vector>

#include "base/files.h"
#include "base/win_directory.h"
#include "base/win_handle.h"
#include "base/win_string.h"
#include "unzip/host_hooks.h"
#include "unzip/zip_file_os.h"
#include "unzip/zip_file_routines.h"

namespace {

using KernelHandle = UniqueOwner<HANDLE, KernelHandleTraits>;

// FILETIME and SYSTEMTIME in UTC or local time: the offset is the one in force at that
// date (LocalFileTimeToFileTime would take today's).
bool LocalToUtc(const FILETIME& local, FILETIME& utc) {
  SYSTEMTIME localTime, utcTime;
  return FileTimeToSystemTime(&local, &localTime) &&
         TzSpecificLocalTimeToSystemTime(nullptr, &localTime, &utcTime) &&
         SystemTimeToFileTime(&utcTime, &utc);
}

bool UtcToLocal(const FILETIME& utc, FILETIME& local) {
  SYSTEMTIME utcTime, localTime;
  return FileTimeToSystemTime(&utc, &utcTime) &&
         SystemTimeToTzSpecificLocalTime(nullptr, &utcTime, &localTime) &&
         SystemTimeToFileTime(&localTime, &local);
}

}  // namespace

namespace zip_os {
bool CreateOneFolder(const String& path) { return CreateDirectoryW(W(path), nullptr) != 0; }
bool NamesIgnoreCase() { return true; }
bool IsSeparator(Char c) { return c == u'\\' || c == u'/'; }
TNameKind KindOfName(const String& name) {
  // GetFileAttributesW reports a link's own attributes.
  const DWORD a = FileAttributesOf(name);
  if (a == INVALID_FILE_ATTRIBUTES) return TNameKind::Missing;
  return (a & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ? TNameKind::Link : TNameKind::Other;
}
void CloseHandle(NativeHandle handle) { ::CloseHandle(handle); }
}  // namespace zip_os

String HostFileName(const String& name) { return name; }

bool CanChangeDir(const String& path) {
  if (path.empty()) return false;
  // The access SetCurrentDirectoryW asks for, without touching the current folder.
  KernelHandle h(CreateFileW(W(path), FILE_TRAVERSE | SYNCHRONIZE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!h) return false;
  BY_HANDLE_FILE_INFORMATION info;
  return GetFileInformationByHandle(h.get(), &info) &&
         (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool FolderExists(const String& path) { return DirectoryExists(path); }

bool FileFound(const String& name) { return FileExists(name); }

bool RemoveFile(const String& name) { return !name.empty() && DeleteFileW(W(name)) != 0; }

int32_t GetAttributes(const String& name) {
  const DWORD a = FileAttributesOf(name);
  return a == INVALID_FILE_ATTRIBUTES ? -1 : int32_t(a);
}

int32_t SetAttributes(const String& name, int32_t attr) {
  if (name.empty()) return int32_t(ERROR_PATH_NOT_FOUND);
  // Opened as the name itself: SetFileAttributesW would go through a link.
  KernelHandle h(CreateFileW(W(name), FILE_WRITE_ATTRIBUTES,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING,
                             FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!h) return int32_t(GetLastError());
  FILE_BASIC_INFO info{};  // times of 0 are left as they are
  info.FileAttributes = DWORD(AttributesToSet(attr));
  if (SetFileInformationByHandle(h.get(), FileBasicInfo, &info, sizeof info)) return 0;
  return int32_t(GetLastError());
}

int32_t FileDosAge(const String& name) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (name.empty() || !GetFileAttributesExW(W(name), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return -1;
  FILETIME local;
  WORD date = 0, time = 0;
  if (!UtcToLocal(data.ftLastWriteTime, local) ||
      !FileTimeToDosDateTime(&local, &date, &time))
    return -1;
  return int32_t((uint32_t(date) << 16) | time);
}

bool MoveFileOver(const String& from, const String& to) {
  return !from.empty() && !to.empty() &&
         MoveFileExW(W(from), W(to), MOVEFILE_REPLACE_EXISTING) != 0;
}

namespace {

// A second name a file with other names is kept under while its read-only bit is
// cleared, so that it gets the bit back once its old name is replaced.
constexpr const Char* kKeeperSuffix = u".keep";

DWORD LinkCountOf(const String& name) {
  KernelHandle h(CreateFileW(W(name), FILE_READ_ATTRIBUTES,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  BY_HANDLE_FILE_INFORMATION info;
  return h && GetFileInformationByHandle(h.get(), &info) ? info.nNumberOfLinks : 0;
}

bool SetBasicAttributes(HANDLE h, DWORD attributes) {
  FILE_BASIC_INFO info{};  // times of 0 are left as they are
  info.FileAttributes = attributes;
  return SetFileInformationByHandle(h, FileBasicInfo, &info, sizeof info) != 0;
}

// Removes the keeper name and gives the file Attributes, in the one order that works
// for a read-only file: deleted while its bit is clear, the bit set before the close.
void ReleaseKeeper(const String& keeper, DWORD attributes) {
  KernelHandle h(CreateFileW(W(keeper), DELETE | FILE_WRITE_ATTRIBUTES,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!h) return;
  FILE_DISPOSITION_INFO dispose{TRUE};
  SetBasicAttributes(h.get(), attributes & ~DWORD(FILE_ATTRIBUTE_READONLY));
  SetFileInformationByHandle(h.get(), FileDispositionInfo, &dispose, sizeof dispose);
  SetBasicAttributes(h.get(), attributes);
}

}  // namespace

bool MoveFileOverReadOnly(const String& from, const String& to) {
  if (MoveFileOver(from, to)) return true;  // some systems let the rename through
  const DWORD a = FileAttributesOf(to);
  if (a == INVALID_FILE_ATTRIBUTES || (a & FILE_ATTRIBUTE_READONLY) == 0) return false;
  const DWORD attributes = DWORD(AttributesToSet(int32_t(a)));
  // The bit is the file's, not the name's: cleared for the rename, it would stay
  // cleared under the file's other names. A handle kept open would block the rename.
  const String keeper = from + kKeeperSuffix;
  const bool shared = LinkCountOf(to) > 1;
  if (shared && !CreateHardLinkW(W(keeper), W(to), nullptr)) return false;
  const bool moved =
      SetAttributes(to, int32_t(attributes & ~DWORD(FILE_ATTRIBUTE_READONLY))) == 0 &&
      MoveFileOver(from, to);
  if (shared)
    ReleaseKeeper(keeper, attributes);
  else if (!moved)
    SetAttributes(to, int32_t(attributes));
  return moved;
}

TMoveResult MoveFileNoReplace(const String& from, const String& to) {
  if (from.empty() || to.empty()) return TMoveResult::Failed;
  if (MoveFileExW(W(from), W(to), 0)) return TMoveResult::Moved;
  const DWORD error = GetLastError();
  return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS ? TMoveResult::NameTaken
                                                                     : TMoveResult::Failed;
}

bool FileIdentityOf(const String& name, TFileIdentity& identity) {
  identity = TFileIdentity();
  if (name.empty()) return false;
  KernelHandle h(CreateFileW(W(name), FILE_READ_ATTRIBUTES,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION info;
  if (!h || !GetFileInformationByHandle(h.get(), &info)) return false;
  identity.Volume = info.dwVolumeSerialNumber;
  identity.File = (uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  return true;
}

TNameLook LookAtName(const String& name) {
  TNameLook look;
  if (name.empty()) return look;
  // Attribute access passes whatever sharing others asked for; the reparse point itself
  // is opened, not what it leads to.
  KernelHandle h(CreateFileW(W(name), FILE_READ_ATTRIBUTES,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING,
                             FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  BY_HANDLE_FILE_INFORMATION info;
  if (h && GetFileInformationByHandle(h.get(), &info)) {
    look.Attributes = int32_t(info.dwFileAttributes);
    look.Identity = TFileIdentity{info.dwVolumeSerialNumber,
                                  (uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
    return look;
  }
  // Something that cannot be opened at all still has attributes.
  look.Attributes = GetAttributes(name);
  return look;
}

std::vector<String> NamesInFolder(const String& folder) {
  std::vector<String> names;
  if (folder.empty()) return names;
  String pattern = folder;
  if (!zip_os::IsSeparator(pattern.back())) pattern.push_back(u'\\');
  pattern.push_back(u'*');
  ForEachEntry(pattern, [&](const TFoundEntry& entry) { names.push_back(entry.Name); });
  return names;
}

String FullPathOf(const String& path) {
  std::vector<wchar_t> buf(MAX_PATH + 1);
  for (;;) {
    const DWORD n = path.empty() ? GetCurrentDirectoryW(DWORD(buf.size()), buf.data())
                                 : GetFullPathNameW(W(path), DWORD(buf.size()), buf.data(), nullptr);
    if (n == 0) return String();
    if (n < buf.size()) return FromW(buf.data(), n);
    buf.resize(n + 1);
  }
}

bool FileStampOf(NativeHandle handle, TFileStamp& stamp) {
  stamp = TFileStamp();
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(handle, &info)) return false;
  stamp.ModTime = int64_t((uint64_t(info.ftLastWriteTime.dwHighDateTime) << 32) |
                          info.ftLastWriteTime.dwLowDateTime);
  stamp.Size = int64_t((uint64_t(info.nFileSizeHigh) << 32) | info.nFileSizeLow);
  return true;
}

String RealPathOf(const String& name) {
  const String full = FullPathOf(name);
  if (full.empty()) return String();
  std::vector<wchar_t> buf(MAX_PATH + 1);
  for (;;) {
    const DWORD n = GetLongPathNameW(W(full), buf.data(), DWORD(buf.size()));
    if (n == 0) return String();
    if (n < buf.size()) return FromW(buf.data(), n);
    buf.resize(n + 1);
  }
}

bool SyncFileToDisk(NativeHandle handle) { return FlushFileBuffers(handle) != 0; }

bool IsRemovableDrive(const String& root) {
  const UINT type = GetDriveTypeW(root.empty() ? nullptr : W(root));
  return type == DRIVE_REMOVABLE || type == DRIVE_CDROM;
}

String GetVolumeLabel(const String& root) {
  wchar_t label[28] = {};
  if (!GetVolumeInformationW(root.empty() ? nullptr : W(root), label, 28, nullptr, nullptr,
                             nullptr, nullptr, 0))
    return String();
  return FromW(label, 28);
}

bool TZipFileHandle::SetDosDateTime(uint32_t dosDateTime) {
  if (!Valid()) return false;
  FILETIME local, utc;
  if (!DosDateTimeToFileTime(WORD(dosDateTime >> 16), WORD(dosDateTime & 0xFFFF), &local) ||
      !LocalToUtc(local, utc))
    return false;
  return SetFileTime(handle_, nullptr, nullptr, &utc) != 0;
}

int32_t TZipFileHandle::SetAttributes(int32_t attr) {
  if (!Valid()) return int32_t(ERROR_INVALID_HANDLE);
  // Times of 0 are left as they are.
  FILE_BASIC_INFO info{};
  info.FileAttributes = DWORD(AttributesToSet(attr));
  if (SetFileInformationByHandle(handle_, FileBasicInfo, &info, sizeof info)) return 0;
  return int32_t(GetLastError());
}

TZipFileHandle OpenFileHandle(const String& name, int32_t mode) {
  static const DWORD kAccess[3] = {GENERIC_READ, GENERIC_WRITE, GENERIC_READ | GENERIC_WRITE};
  static const DWORD kShare[5] = {0, 0, FILE_SHARE_READ, FILE_SHARE_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE};
  const int32_t access = mode & 0x03;
  const int32_t share = (mode & 0xF0) >> 4;
  if ((mode & ~0xF3) != 0 || access == 3 || share > 4 || name.empty()) return TZipFileHandle();
  return TZipFileHandle(CreateFileW(W(name), kAccess[access], kShare[share], nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

String LowerCaseOf(StringView s) {
  String out(s);
  if (!out.empty()) CharLowerBuffW(W(out.data()), DWORD(out.size()));
  return out;
}

bool DefaultPumpMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // The application's own loop must still see it.
      PostQuitMessage(int(msg.wParam));
      return true;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return false;
}

int32_t DefaultPrompt(const String& text, const String& caption, uint32_t flags) {
  return MessageBoxW(nullptr, W(text), W(caption), flags);
}
