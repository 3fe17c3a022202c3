// Every text the zip component shows or raises: the component's own, with its resource
// number where the program's string table gives one (179 to 207), then the texts of
// the library's file routines, buffered streams and lists.
#pragma once

#include <cstdint>

#include "base/string.h"

enum class TZipMessage {
  UserAborted,         // 181
  InsertDiskPrefix,    // 184, followed by the disk number
  InsertDiskSuffix,    // 184, after the disk number
  InflateOutOfMemory,  // 193
  PrematureEnd,        // 194
  ReplaceFilePrefix,   // 195, followed by the entry name and "?"
  FileExistsAlert,     // 196
  UnknownMethod,       // 197
  ZipError,            // 198
  BiggerThanUncompressed,  // 199
  CantWriteUCF,        // 207
  NotValidZip,
  IncompleteZip,
  UserCanceledDisk,
  CanceledBufferUnZip,
  ErrorCaption,
  IndexOutOfRange,     // a Format pattern: %d is the index
  CompressionError,
  Busy,                // our own: refusal of a nested operation
  BadPattern,          // our own: a FilesList line with a malformed set, %s the line
  NoBufferRoom,        // our own: memory output into a buffer of no bytes
};

// Resource number of the text, 0 for texts the string table does not number.
int ZipMessageNumber(TZipMessage id);
const String& ZipMessageText(TZipMessage id);

namespace io_text {
// File routines.
inline constexpr const Char* kCannotCreateDirectory = u"Unable to create directory";
inline constexpr uint32_t kCannotCreateDirectoryCode = 3;

// Buffered streams.
inline constexpr const Char* kInvalidSeekOrigin = u"Invalid seek origin (%d)";
inline constexpr const Char* kSeekError = u"Seek error";
inline constexpr const Char* kNegativeSeek = u"Seek before the start of the stream (%d)";
inline constexpr const Char* kPutbackOverflow = u"Putback overflow";
inline constexpr const Char* kBufferSize = u"Invalid stream buffer size (%d)";
inline constexpr const Char* kFlushFailed = u"Stream write error";
inline constexpr const Char* kStreamClosed = u"Stream is closed";

// Object lists and the class registry.
inline constexpr const Char* kListIndex = u"List index out of bounds (%d)";
inline constexpr const Char* kNotInList = u"tObject %s not in item list";
inline constexpr const Char* kDuplicateObject = u"Duplicate Object index";
inline constexpr const Char* kPutSorted = u"Cannot <Put> an Object in a sorted list!";
inline constexpr const Char* kAbstractError = u"Abstract Error";
inline constexpr const Char* kClassNotRegistered = u"Class <%s> not registered";
inline constexpr const Char* kNoClassRegistry = u"The class registry is not open";
inline constexpr const Char* kNilSourceClass = u"Nil Source Class!";
inline constexpr const Char* kSourceNotRegistered = u"Source Class <%s> not registered";
inline constexpr const Char* kClassNameLength = u"Invalid class name length (%d)";
inline constexpr const Char* kClassNameTooLong = u"Class name too long to store <%s>";
inline constexpr const Char* kBadListData = u"Invalid stored list data (%d)";
inline constexpr const Char* kListDoesNotOwn = u"The list does not own its items";
inline constexpr const Char* kStoredListDisowns =
    u"Invalid stored list data: a list that does not own its items would hold %d";
inline constexpr const Char* kStoredListOwns =
    u"Invalid stored list data: a list would own %d items it does not own";
}  // namespace io_text
