// Every text the zip component shows or raises, with its resource number where the
// program's string table gives one (179 to 207).
#pragma once

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
};

// Resource number of the text, 0 for texts the string table does not number.
int ZipMessageNumber(TZipMessage id);
const String& ZipMessageText(TZipMessage id);
