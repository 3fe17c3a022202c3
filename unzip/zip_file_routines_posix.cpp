// POSIX side of the zip file routines. Backslashes in names become '/'.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstdio>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "base/text.h"
#include "unzip/host_hooks.h"
#include "unzip/zip_file_os.h"
#include "unzip/zip_file_routines.h"

namespace {

std::string Native(const String& name) { return ToUtf8(HostFileName(name)); }

bool StatOf(const String& name, struct stat& st) {
  return !name.empty() && ::stat(Native(name).c_str(), &st) == 0;
}

// The name itself, a link not followed.
bool LstatOf(const String& name, struct stat& st) {
  return !name.empty() && ::lstat(Native(name).c_str(), &st) == 0;
}

int32_t DosFromTime(time_t t) {
  struct tm tm {};
  if (!localtime_r(&t, &tm)) return -1;
  const int year = tm.tm_year + 1900;
  if (year < 1980 || year > 2107) return -1;
  const uint32_t date = uint32_t(tm.tm_mday) | (uint32_t(tm.tm_mon + 1) << 5) |
                        (uint32_t(year - 1980) << 9);
  const uint32_t time = uint32_t(tm.tm_sec / 2) | (uint32_t(tm.tm_min) << 5) |
                        (uint32_t(tm.tm_hour) << 11);
  return int32_t((date << 16) | time);
}

// The permission bits of a file of Mode given the attributes Attr: read-only takes
// every write bit away, otherwise the owner may write.
mode_t WritableMode(mode_t mode, int32_t attr) {
  mode &= 07777;
  return (AttributesToSet(attr) & faReadOnly) ? (mode & ~mode_t(0222)) : (mode | S_IWUSR);
}

// The time of a local date and time. mktime would read the zone file again at every
// call; localtime_r reads it once. The offset is taken at the first guess, then at
// the time it gives, which settles times next to a change of offset.
time_t TimeOfLocal(struct tm tm) {
  tm.tm_isdst = 0;
  const time_t asUtc = ::timegm(&tm);
  if (asUtc == time_t(-1)) return time_t(-1);
  time_t t = asUtc;
  for (int pass = 0; pass < 2; ++pass) {
    struct tm local {};
    if (!localtime_r(&t, &local)) return time_t(-1);
    t = asUtc - local.tm_gmtoff;
  }
  return t;
}

}  // namespace

namespace zip_os {
bool CreateOneFolder(const String& path) { return ::mkdir(Native(path).c_str(), 0777) == 0; }
bool NamesIgnoreCase() { return false; }
bool IsSeparator(Char c) { return c == u'/' || c == u'\\'; }
TNameKind KindOfName(const String& name) {
  struct stat st;
  if (!LstatOf(name, st)) return TNameKind::Missing;
  return S_ISLNK(st.st_mode) ? TNameKind::Link : TNameKind::Other;
}
void CloseHandle(NativeHandle handle) { ::close(int(handle)); }
}  // namespace zip_os

String HostFileName(const String& name) {
  String out = name;
  for (Char& c : out)
    if (c == u'\\') c = u'/';
  return out;
}

bool CanChangeDir(const String& path) {
  struct stat st;
  return StatOf(path, st) && S_ISDIR(st.st_mode) && ::access(Native(path).c_str(), X_OK) == 0;
}

bool FolderExists(const String& path) {
  struct stat st;
  return StatOf(path, st) && S_ISDIR(st.st_mode);
}

bool FileFound(const String& name) {
  struct stat st;
  return StatOf(name, st) && !S_ISDIR(st.st_mode);
}

bool RemoveFile(const String& name) { return !name.empty() && ::unlink(Native(name).c_str()) == 0; }

namespace {

int32_t AttributesOf(const String& name, const struct stat& st) {
  int32_t attr = S_ISDIR(st.st_mode) ? faDirectory : faArchive;
  if (S_ISREG(st.st_mode) && (st.st_mode & S_IWUSR) == 0) attr |= faReadOnly;
  const String base = FileNameOf(HostFileName(name));
  if (!base.empty() && base[0] == u'.' && base != u"." && base != u"..") attr |= faHidden;
  return attr;
}

}  // namespace

int32_t GetAttributes(const String& name) {
  struct stat st;
  return LstatOf(name, st) ? AttributesOf(name, st) : -1;
}

TNameLook LookAtName(const String& name) {
  TNameLook look;
  struct stat st;
  if (!LstatOf(name, st)) return look;
  look.Attributes = AttributesOf(name, st);
  look.Identity = TFileIdentity{uint64_t(st.st_dev), uint64_t(st.st_ino)};
  return look;
}

int32_t SetAttributes(const String& name, int32_t attr) {
  struct stat st;
  if (!LstatOf(name, st)) return errno ? errno : ENOENT;
  if (!S_ISREG(st.st_mode)) return 0;
  // Not followed: a file that became a link since the look-up is refused.
  return ::fchmodat(AT_FDCWD, Native(name).c_str(), WritableMode(st.st_mode, attr),
                    AT_SYMLINK_NOFOLLOW) == 0
             ? 0
             : errno;
}

int32_t FileDosAge(const String& name) {
  struct stat st;
  if (!StatOf(name, st) || S_ISDIR(st.st_mode)) return -1;
  return DosFromTime(st.st_mtime);
}

bool MoveFileOver(const String& from, const String& to) {
  return !from.empty() && !to.empty() && ::rename(Native(from).c_str(), Native(to).c_str()) == 0;
}

// A rename needs no write permission on the file it replaces.
bool MoveFileOverReadOnly(const String& from, const String& to) { return MoveFileOver(from, to); }

TMoveResult MoveFileNoReplace(const String& from, const String& to) {
  if (from.empty() || to.empty()) return TMoveResult::Failed;
  const std::string f = Native(from), t = Native(to);
  if (::renameat2(AT_FDCWD, f.c_str(), AT_FDCWD, t.c_str(), RENAME_NOREPLACE) == 0)
    return TMoveResult::Moved;
  if (errno == EEXIST) return TMoveResult::NameTaken;
  if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return TMoveResult::Failed;
  // A file system without it: a new link cannot take an existing name either.
  if (::link(f.c_str(), t.c_str()) != 0)
    return errno == EEXIST ? TMoveResult::NameTaken : TMoveResult::Failed;
  ::unlink(f.c_str());
  return TMoveResult::Moved;
}

bool FileIdentityOf(const String& name, TFileIdentity& identity) {
  identity = TFileIdentity();
  struct stat st;
  if (!StatOf(name, st)) return false;
  identity.Volume = uint64_t(st.st_dev);
  identity.File = uint64_t(st.st_ino);
  return true;
}

std::vector<String> NamesInFolder(const String& folder) {
  std::vector<String> names;
  if (folder.empty()) return names;
  const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(Native(folder).c_str()), ::closedir);
  if (!dir) return names;
  while (const dirent* e = ::readdir(dir.get())) {
    const std::string_view n(e->d_name);
    if (n != "." && n != "..") names.push_back(FromUtf8(n));
  }
  return names;
}

namespace {

// An absolute path with no empty, "." or ".." part is its own full form.
bool IsPlainAbsolute(StringView p) {
  if (p.size() < 2 || p[0] != u'/') return false;
  for (size_t start = 1; start <= p.size();) {
    size_t end = p.find(u'/', start);
    if (end == StringView::npos) end = p.size();
    const StringView part = p.substr(start, end - start);
    if (part.empty() || part == u"." || part == u"..") return false;
    start = end + 1;
  }
  return true;
}

}  // namespace

String FullPathOf(const String& path) {
  String p = HostFileName(path);
  if (IsPlainAbsolute(p)) return p;
  if (p.empty() || p[0] != u'/') {
    std::vector<char> buf(4096);
    while (!::getcwd(buf.data(), buf.size())) {
      if (errno != ERANGE || buf.size() > (1u << 20)) return String();
      buf.resize(buf.size() * 2);
    }
    p = FromUtf8(buf.data()) + u"/" + p;
  }
  // Each part is appended after a '/'; ".." cuts the last one off again.
  String out;
  out.reserve(p.size());
  for (size_t start = 0; start <= p.size();) {
    size_t end = p.find(u'/', start);
    if (end == String::npos) end = p.size();
    const StringView part(p.data() + start, end - start);
    if (part == u"..") {
      const size_t last = out.rfind(u'/');
      if (last != String::npos) out.resize(last);
    } else if (!part.empty() && part != u".") {
      out.push_back(u'/');
      out.append(part);
    }
    start = end + 1;
  }
  return out.empty() ? String(u"/") : out;
}

bool FileStampOf(NativeHandle handle, TFileStamp& stamp) {
  stamp = TFileStamp();
  struct stat st;
  if (::fstat(int(handle), &st) != 0) return false;
  stamp.ModTime = int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  stamp.Size = int64_t(st.st_size);
  return true;
}

String RealPathOf(const String& name) {
  if (name.empty()) return String();
  char* real = ::realpath(Native(name).c_str(), nullptr);
  if (!real) return String();
  const String result = FromUtf8(real);
  std::free(real);
  return result;
}

bool SyncFileToDisk(NativeHandle handle) { return ::fsync(int(handle)) == 0; }

bool IsRemovableDrive(const String&) { return false; }

String GetVolumeLabel(const String&) { return String(); }

bool TZipFileHandle::SetDosDateTime(uint32_t dosDateTime) {
  if (!Valid()) return false;
  struct tm tm {};
  tm.tm_sec = int((dosDateTime & 0x1F) * 2);
  tm.tm_min = int((dosDateTime >> 5) & 0x3F);
  tm.tm_hour = int((dosDateTime >> 11) & 0x1F);
  tm.tm_mday = int((dosDateTime >> 16) & 0x1F);
  tm.tm_mon = int((dosDateTime >> 21) & 0x0F) - 1;
  tm.tm_year = int((dosDateTime >> 25) & 0x7F) + 80;
  const time_t t = TimeOfLocal(tm);
  if (t == time_t(-1)) return false;
  struct timespec times[2];
  times[0].tv_sec = 0;
  times[0].tv_nsec = UTIME_OMIT;
  times[1].tv_sec = t;
  times[1].tv_nsec = 0;
  return ::futimens(int(handle_), times) == 0;
}

int32_t TZipFileHandle::SetAttributes(int32_t attr) {
  struct stat st;
  if (!Valid() || ::fstat(int(handle_), &st) != 0) return errno ? errno : EBADF;
  if (S_ISDIR(st.st_mode)) return 0;
  const mode_t mode = WritableMode(st.st_mode, attr);
  if (mode == (st.st_mode & 07777)) return 0;
  return ::fchmod(int(handle_), mode) == 0 ? 0 : errno;
}

TZipFileHandle OpenFileHandle(const String& name, int32_t mode) {
  const int32_t access = mode & 0x03;
  const int32_t share = mode & 0xF0;
  if ((mode & ~0xF3) != 0 || access == 3 || share > 0x40 || name.empty()) return TZipFileHandle();
  const int flags = (access == 0 ? O_RDONLY : access == 1 ? O_WRONLY : O_RDWR) | O_CLOEXEC;
  int fd;
  do {
    fd = ::open(Native(name).c_str(), flags);
  } while (fd < 0 && errno == EINTR);
  TZipFileHandle h{NativeHandle(fd)};
  struct stat st;
  if (h.Valid() && (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode))) h.Close();
  return h;
}

String LowerCaseOf(StringView s) { return AnsiLowerCase(s); }

bool DefaultPumpMessages() { return false; }

int32_t DefaultPrompt(const String&, const String&, uint32_t flags) { return DecliningAnswer(flags); }
