// Texts raised by the zip library's file routines, buffered streams and lists.
#pragma once

#include "base/string.h"

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
inline constexpr const Char* kNilSourceClass = u"Nil Source Class!";
inline constexpr const Char* kSourceNotRegistered = u"Source Class <%s> not registered";
inline constexpr const Char* kClassNameLength = u"Invalid class name length (%d)";
inline constexpr const Char* kClassNameTooLong = u"Class name too long to store <%s>";
inline constexpr const Char* kBadListData = u"Invalid stored list data (%d)";
inline constexpr const Char* kListDoesNotOwn = u"The list does not own its items";
}  // namespace io_text
