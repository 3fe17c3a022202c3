// A buffered stream over a file it opens by name and owns.
#pragma once

#include <cstdint>
#include <memory>

#include "base/file_stream.h"
#include "unzip/buffer_stream.h"

class TLFNFileStream : public TS_BufferStream {
public:
  // Opens FileName in one of the open modes of base/file_stream.h (fmCreate, fmOpenRead |
  // fmShareDenyWrite, ...); its open and create errors pass through. With
  // FlushOnClose the file is written to disk when the stream goes, for files opened
  // for writing and for files it created.
  TLFNFileStream(const String& fileName, uint16_t mode, bool flushOnClose, int32_t bufSize);
  // Writes pending bytes and closes the file (failures unreported: use Close).
  ~TLFNFileStream() override;
  String ClassName() const override { return u"TLFNFileStream"; }

  NativeHandle Handle() const;
  const String& FileName() const { return FFileName; }
  // The end found by seeking there; the read-ahead is dropped.
  int64_t GetSize() override;
  // Pending bytes are written first (a failure raises EWriteError).
  void SetSize(int64_t newSize) override;
  // Writes pending bytes, closes the file, and raises EWriteError when any write
  // fell short.
  void Close() override;

private:
  String FFileName;
  std::unique_ptr<TFileStream> FFile;
};
