#include "unzip/unzip_messages.h"

#include <array>

namespace {

struct MessageEntry {
  TZipMessage id;
  int number;
  const char16_t* text;
};

constexpr std::array<MessageEntry, 21> kMessages = {{
    {TZipMessage::UserAborted, 181, u"User Aborted Operation"},
    {TZipMessage::InsertDiskPrefix, 184, u"Please insert disk "},
    {TZipMessage::InsertDiskSuffix, 184, u" of the multi-disk set."},
    {TZipMessage::InflateOutOfMemory, 193, u"*** inflate out of memory ***"},
    {TZipMessage::PrematureEnd, 194, u"Premature end of file reached"},
    {TZipMessage::ReplaceFilePrefix, 195, u"Replace existing file "},
    {TZipMessage::FileExistsAlert, 196, u"File Exists Alert"},
    {TZipMessage::UnknownMethod, 197, u"Unknown Compression Method"},
    {TZipMessage::ZipError, 198, u"Zip Error"},
    {TZipMessage::BiggerThanUncompressed, 199, u"File is larger than uncompressed size!"},
    {TZipMessage::CantWriteUCF, 207, u"Cant write uncompressed file"},
    {TZipMessage::NotValidZip, 0, u"Not a valid zip file!"},
    {TZipMessage::IncompleteZip, 0, u"Incomplete Zip File"},
    {TZipMessage::UserCanceledDisk, 0, u"User canceled loading new disk."},
    {TZipMessage::CanceledBufferUnZip, 0, u"User canceled Buffered Memory UnZip"},
    {TZipMessage::ErrorCaption, 0, u"Error"},
    {TZipMessage::IndexOutOfRange, 0, u"Index %d is out of range"},
    {TZipMessage::CompressionError, 0, u"error"},
    {TZipMessage::Busy, 0, u"The zip component is busy with another operation"},
    {TZipMessage::BadPattern, 0,
     u"Invalid file pattern \"%s\": a <> set is empty, not closed or has a range without its end"},
    {TZipMessage::NoBufferRoom, 0, u"The buffer given for the entry holds no bytes"},
}};

const MessageEntry& Find(TZipMessage id) {
  for (const MessageEntry& e : kMessages)
    if (e.id == id) return e;
  return kMessages[0];  // every enumerator has a row; unreachable
}

}  // namespace

int ZipMessageNumber(TZipMessage id) { return Find(id).number; }

const String& ZipMessageText(TZipMessage id) {
  static const auto texts = [] {
    std::array<String, kMessages.size()> t;
    for (size_t i = 0; i < kMessages.size(); ++i) t[size_t(kMessages[i].id)] = kMessages[i].text;
    return t;
  }();
  return texts[size_t(id)];
}
