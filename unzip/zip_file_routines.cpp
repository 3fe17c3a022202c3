#include "unzip/zip_file_routines.h"

#include <chrono>
#include <thread>

#include "base/exception.h"
#include "base/path.h"
#include "base/text.h"
#include "unzip/host_hooks.h"
#include "unzip/unzip_messages.h"
#include "unzip/zip_file_os.h"

namespace {

bool IsDirDelimiter(Char c) { return kPathSeparators.find(c) != StringView::npos; }

Char FoldAscii(Char c) { return (c >= u'a' && c <= u'z') ? Char(c - 32) : c; }

}  // namespace

int32_t AttributesToSet(int32_t attr) {
  const int32_t settable = attr & faSettableMask;
  return settable ? settable : faNormal;
}

// ---- Path and text routines ----

Char* ScanChar(Char* p, Char c) {
  return const_cast<Char*>(ScanChar(static_cast<const Char*>(p), c));
}

const Char* ScanChar(const Char* p, Char c) {
  if (!p) return nullptr;
  for (;; ++p) {
    if (*p == c) return p;
    if (*p == 0) return nullptr;
  }
}

int CompareNoCase(StringView a, StringView b) {
  const size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    const Char ca = FoldAscii(a[i]);
    const Char cb = FoldAscii(b[i]);
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

String FileDirOf(StringView path) {
  const size_t start = FileNameStart(path);
  if (start == 0) return String();
  // A backslash after a name goes; one after the root or a drive stays.
  const size_t i = start - 1;
  size_t end = start;
  if (path[i] == kBackslash && i > 0 && !IsDirDelimiter(path[i - 1])) end = i;
  return String(path.substr(0, end));
}

String FilePathOf(StringView path) {
  String dir = FileDirOf(path);
  AddTrailingSeparator(dir);
  return dir;
}

String FileExtOf(StringView path) { return String(ExtensionPart(path)); }

String FileNameOf(StringView path) { return String(FileNamePart(path)); }

String ReplaceExt(StringView path, StringView ext) {
  String out(WithoutExtension(path));
  out.append(ext);
  return out;
}

String DecodeUtf8Name(std::string_view bytes) { return FromUtf8(bytes); }

// ---- Folders and files ----

bool MakeDirs(const String& path) {
  if (path.empty())
    throw EInOutError(io_text::kCannotCreateDirectory, io_text::kCannotCreateDirectoryCode);
  String target = path;
  if (target.size() > 1 && target.back() == u'\\') target.pop_back();
  if (target.size() > kMaxPathLength) return false;
  if (FolderExists(target)) return true;
  // Each folder from the top down; the roots ("C:", "\\server", "") fail harmlessly.
  for (size_t i = 1; i < target.size(); ++i) {
    if (!zip_os::IsSeparator(target[i]) || zip_os::IsSeparator(target[i - 1])) continue;
    const String prefix = target.substr(0, i);
    if (!FolderExists(prefix)) zip_os::CreateOneFolder(prefix);
  }
  if (!FolderExists(target)) zip_os::CreateOneFolder(target);
  return FolderExists(target);
}

bool IsPathWithin(const String& path, const String& folder) {
  const String f = FullPathOf(folder);
  const String p = FullPathOf(path);
  if (f.empty()) return false;
  // Something must follow the separator after Folder.
  const size_t rest = zip_os::IsSeparator(f.back()) ? f.size() : f.size() + 1;
  if (p.size() <= rest) return false;
  if (rest > f.size() && !zip_os::IsSeparator(p[f.size()])) return false;
  const StringView head(p.data(), f.size());
  return zip_os::NamesIgnoreCase() ? AnsiLowerCase(head) == AnsiLowerCase(f) : head == f;
}

bool LinkBelow(const String& folder, const String& path, bool lastPartToo,
               TLinkFreeFolders* known) {
  const String f = FullPathOf(folder);
  const String p = FullPathOf(path);
  if (f.empty() || p.empty()) return false;
  const size_t start = zip_os::IsSeparator(f.back()) ? f.size() : f.size() + 1;
  // Files of one folder follow each other: its own entry answers at once.
  if (known && !lastPartToo) {
    size_t last = p.size();
    while (last > start && !zip_os::IsSeparator(p[last - 1])) --last;
    if (last > start && known->contains(p.substr(0, last - 1))) return false;
  }
  // Each part from the first one below Folder down to Path itself, while it exists.
  for (size_t i = start; i <= p.size(); ++i) {
    if (i < p.size() && !zip_os::IsSeparator(p[i])) continue;
    if (i == p.size() && !lastPartToo) break;
    if (i == start || zip_os::IsSeparator(p[i - 1])) continue;
    String part = p.substr(0, i);
    if (known && known->contains(part)) continue;
    switch (zip_os::KindOfName(part)) {
      case zip_os::TNameKind::Link: return true;
      case zip_os::TNameKind::Missing: return false;  // nothing further down exists
      case zip_os::TNameKind::Other: break;
    }
    // Path itself may be a file; only folders are kept.
    if (known && i < p.size()) known->insert(std::move(part));
  }
  return false;
}

bool SamePath(const String& a, const String& b) {
  const String fa = FullPathOf(a);
  const String fb = FullPathOf(b);
  return zip_os::NamesIgnoreCase() ? AnsiLowerCase(fa) == AnsiLowerCase(fb) : fa == fb;
}

bool SetFileDosAge(const String& name, uint32_t dosDateTime) {
  TZipFileHandle h = OpenFileHandle(name, 0x41);
  return h.Valid() && h.SetDosDateTime(dosDateTime);
}

void SleepMilliseconds(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

bool PumpMessages() {
  const TZipHostHooks& hooks = ZipHostHooks();
  return hooks.PumpMessages ? hooks.PumpMessages() : DefaultPumpMessages();
}

// ---- TZipFileHandle ----

TZipFileHandle::~TZipFileHandle() { Close(); }

TZipFileHandle::TZipFileHandle(TZipFileHandle&& other) noexcept : handle_(other.handle_) {
  other.handle_ = InvalidNativeHandle();
}

TZipFileHandle& TZipFileHandle::operator=(TZipFileHandle&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = other.handle_;
    other.handle_ = InvalidNativeHandle();
  }
  return *this;
}

void TZipFileHandle::Close() {
  if (Valid()) zip_os::CloseHandle(handle_);
  handle_ = InvalidNativeHandle();
}
