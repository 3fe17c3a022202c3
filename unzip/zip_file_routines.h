// The zip library's file, folder, path-string, case and UTF-8 routines. Every call the
// zip component makes to the operating system goes through this module (Win32 in
// zip_file_routines_win.cpp, POSIX in zip_file_routines_posix.cpp).
//
// Paths use backslashes. Natively, a backslash in a name handed to the system becomes
// '/' (HostFileName), so the same backslash paths work in both builds.
#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string_view>
#include <vector>

#include "base/file_stream.h"
#include "base/string.h"

// Attribute bits of the platform (read-only 1, hidden 2, system 4, folder 16, archive 32).
enum : int32_t {
  faReadOnly = 0x01,
  faHidden = 0x02,
  faSystem = 0x04,
  faDirectory = 0x10,
  faArchive = 0x20,
  // The only bits SetAttributes passes on: stored attributes come from archives.
  faSettableMask = faReadOnly | faHidden | faSystem | faArchive,
  // The system's "no attributes" value (FILE_ATTRIBUTE_NORMAL).
  faNormal = 0x80,
};

// Longest path MakeDirs works on (the Win32 limit for long paths).
inline constexpr size_t kMaxPathLength = 32767;

// ---- Folders and files (operating system) ----

// True when Path names a folder the process could make current. The current folder
// is never changed.
bool CanChangeDir(const String& path);
// Path names an existing folder.
bool FolderExists(const String& path);
// Creates Path and every missing folder above it, one level after the other (a
// trailing backslash is ignored); True when Path is a folder afterwards. Paths longer
// than kMaxPathLength answer False. An empty Path raises EInOutError
// "Unable to create directory" (code 3).
bool MakeDirs(const String& path);
// Name names an existing file that is not a folder (locked files included).
bool FileFound(const String& name);
// Deletes the file; True on success.
bool RemoveFile(const String& name);
// The attributes of what Name itself is (a link is never followed), -1 when they cannot
// be read. Natively: folder 16, archive 32 for files and links, read-only 1 when the
// owner may not write a file.
int32_t GetAttributes(const String& name);
// Sets AttributesToSet(Attr) on Name itself, never through a link; 0 on success, else
// the system's error code. Natively only the read-only bit of a file has an effect (a
// link has none).
int32_t SetAttributes(const String& name, int32_t attr);
// What SetAttributes hands the system for stored attributes Attr: its bits within
// faSettableMask, faNormal when none of them is set.
int32_t AttributesToSet(int32_t attr);
// Last-write time as a DOS date/time in local time; -1 when the file is missing, is a
// folder or its time has no DOS form.
int32_t FileDosAge(const String& name);
// Renames From to To, replacing an existing file To; True on success.
bool MoveFileOver(const String& from, const String& to);
// Renames From over the read-only file To; True on success. The file To named keeps its
// attributes under every other name it has (a hard link shares them).
bool MoveFileOverReadOnly(const String& from, const String& to);
enum class TMoveResult { Moved, NameTaken, Failed };
// Renames From to To unless something has the name To, in one step (no file that
// appears meanwhile is replaced).
TMoveResult MoveFileNoReplace(const String& from, const String& to);
// Which file a name reaches: device and inode, or volume serial and file index.
struct TFileIdentity {
  uint64_t Volume = 0;
  uint64_t File = 0;
  auto operator<=>(const TFileIdentity&) const = default;
};
// False when Name reaches nothing. Links are followed.
bool FileIdentityOf(const String& name, TFileIdentity& identity);
// What one look at Name itself (a link is not followed) tells: its attributes as
// GetAttributes gives them (-1: nothing there) and, where the system tells it in the
// same look, the identity of the file that has the name.
struct TNameLook {
  int32_t Attributes = -1;
  std::optional<TFileIdentity> Identity;
};
TNameLook LookAtName(const String& name);
// Full forms of folders found to be no link, as every folder above them down from the
// folder LinkBelow was given.
using TLinkFreeFolders = std::set<String>;
// A folder on Path below Folder exists as a link or another reparse point, or with
// LastPartToo Path itself does. Path is expected to lie within Folder. With Known (one
// set for one Folder), the folders in it are not looked at again, and those found to
// be no link are added.
bool LinkBelow(const String& folder, const String& path, bool lastPartToo,
               TLinkFreeFolders* known = nullptr);
// The names in Folder (no "." or ".."), in the system's order; empty when it cannot
// be read.
std::vector<String> NamesInFolder(const String& folder);
// Absolute form of Path with "." and ".." resolved (not following links); an empty
// Path gives the current folder. Natively the result uses '/'.
String FullPathOf(const String& path);
// Path lies inside Folder (both made full first; letter case ignored on Windows).
// A path equal to Folder is not inside it.
bool IsPathWithin(const String& path, const String& folder);
// A and B name the same place (both made full first; letter case ignored on Windows).
bool SamePath(const String& a, const String& b);
// The name the system is handed: unchanged on Windows, '\' turned into '/' natively.
String HostFileName(const String& name);

// Raw last-write time (the system's own units) and size of an open file.
struct TFileStamp {
  int64_t ModTime = 0;
  int64_t Size = -1;
  bool operator==(const TFileStamp&) const = default;
};
// False (and an empty stamp) when the handle cannot be queried.
bool FileStampOf(NativeHandle handle, TFileStamp& stamp);
// The full name of what Name reaches, as the system stores it: short names made long
// on Windows, links followed natively. Empty when Name reaches nothing.
String RealPathOf(const String& name);
// Asks the system to write the file's data to disk; True on success.
bool SyncFileToDisk(NativeHandle handle);
void SleepMilliseconds(uint32_t ms);

// Drive queries. Natively there are no drive roots: False and an empty label.
// GetDriveTypeW(Root) is DRIVE_REMOVABLE or DRIVE_CDROM.
bool IsRemovableDrive(const String& root);
// The volume name of Root (at most 27 characters), empty when it cannot be read.
String GetVolumeLabel(const String& root);

// An open file handle, closed on destruction.
class TZipFileHandle {
public:
  TZipFileHandle() = default;
  explicit TZipFileHandle(NativeHandle handle) : handle_(handle) {}
  ~TZipFileHandle();
  TZipFileHandle(TZipFileHandle&& other) noexcept;
  TZipFileHandle& operator=(TZipFileHandle&& other) noexcept;
  TZipFileHandle(const TZipFileHandle&) = delete;
  TZipFileHandle& operator=(const TZipFileHandle&) = delete;

  bool Valid() const { return handle_ != InvalidNativeHandle(); }
  NativeHandle Handle() const { return handle_; }
  // Sets the last-write time from a DOS date/time in local time; True on success.
  bool SetDosDateTime(uint32_t dosDateTime);
  // SetAttributes through the handle: 0 on success, else the system's error code.
  int32_t SetAttributes(int32_t attr);
  void Close();
  // Gives the handle up without closing it (for a handle another object owns).
  NativeHandle Release() {
    const NativeHandle h = handle_;
    handle_ = InvalidNativeHandle();
    return h;
  }

private:
  NativeHandle handle_ = InvalidNativeHandle();
};

// Opens an existing file with the access (Mode bits 0-1: 0 read, 1 write, 2 read-write)
// and sharing (Mode bits 4-6, 0x00 to 0x40) of the open modes of base/file_stream.h. An
// invalid handle for any other Mode or when the file cannot be opened.
TZipFileHandle OpenFileHandle(const String& name, int32_t mode);
// Opens Name for writing and sets its last-write time; True on success.
bool SetFileDosAge(const String& name, uint32_t dosDateTime);

// ---- Path and text routines (no system calls, except LowerCaseOf on Windows) ----

// First C in the NUL-terminated text P (the terminator when C is NUL), nullptr when none.
Char* ScanChar(Char* p, Char c);
const Char* ScanChar(const Char* p, Char c);
// Negative, 0 or positive; a-z compare as A-Z, no other folding; a prefix sorts first.
int CompareNoCase(StringView a, StringView b);
// Path up to its last backslash or colon, without that backslash unless it follows a
// colon or another backslash or starts the path: C:\a gives C:\, and a leading
// backslash is kept (\a gives \).
String FileDirOf(StringView path);
// FileDirOf(Path) ending in a backslash (one is added unless it ends in one already);
// empty when FileDirOf is.
String FilePathOf(StringView path);
// ".ext" from the last dot after the last backslash or colon; empty when none.
String FileExtOf(StringView path);
// Path after its last backslash or colon.
String FileNameOf(StringView path);
// Path with its extension (as FileExtOf finds it) replaced by Ext, or Ext appended.
String ReplaceExt(StringView path, StringView ext);
// Lower case by the system's rules on Windows (CharLowerBuffW); natively the shared
// case table (AnsiLowerCase), which follows the same mapping.
String LowerCaseOf(StringView s);
// Strict UTF-8: overlong forms, surrogates, values above U+10FFFF and truncated
// sequences each give U+FFFD.
String DecodeUtf8Name(std::string_view bytes);

// Dispatches the thread's pending window messages through the host's pump (see
// host_hooks.h); True when a quit request was met, which callers treat as a cancel.
bool PumpMessages();
