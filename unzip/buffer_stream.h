// A stream that puts a memory buffer in front of another stream, for reading or for
// writing, keeping the logical position right across the buffer.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "base/file_stream.h"
#include "base/stream.h"

enum class TStreamBufferMode : uint8_t { sbIdle = 0, sbReading = 1, sbWriting = 2 };

using TNotifyEvent = std::function<void(TObject* sender)>;

class TS_BufferStream : public TStream {
public:
  // Source is not owned. BufSize below 1 raises EStreamError.
  TS_BufferStream(TStream* source, int32_t bufSize);
  // Writes pending bytes (a failure is not reported: use Close for that) and, when
  // asked for, has the system write the file to disk.
  ~TS_BufferStream() override;
  TS_BufferStream(const TS_BufferStream&) = delete;
  TS_BufferStream& operator=(const TS_BufferStream&) = delete;
  String ClassName() const override { return u"TS_BufferStream"; }

  // Reads through the buffer; requests of a buffer's size or more that find it empty
  // go straight to the source.
  int32_t Read(void* buffer, int32_t count) override;
  // Returns only the bytes that reached the source or wait in the buffer; a failed
  // flush stops the write.
  int32_t Write(const void* buffer, int32_t count) override;
  // soEnd counts back from the end by |Offset|, pending bytes included. A target
  // before 0 raises EStreamError; an unknown origin raises Exception
  // "Invalid seek origin (%d)"; leaving pending bytes that cannot be written raises
  // Exception "Seek error".
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  using TStream::Seek;

  // Writes pending bytes and raises EWriteError when they, or any earlier flush,
  // did not all reach the source. Afterwards the stream only allows destruction.
  virtual void Close();

  // Makes B the next byte read; EStreamError "Putback overflow" unless bytes of the
  // current read-ahead were consumed. Bytes a read took straight from the source (see
  // Read) were never buffered: a PutBack right after a read that ended so raises it.
  virtual void PutBack(uint8_t b);

  TStreamBufferMode Mode() const { return FMode; }
  int32_t Capacity() const { return FCapacity; }
  // Bytes waiting to be written (writing) or read ahead and not yet consumed (reading).
  int32_t Pending() const;
  // A flush wrote fewer bytes than it had.
  bool FlushFailed() const { return FFlushFailed; }
  bool Dirty() const { return FDirty; }
  bool Closed() const { return FSource == nullptr; }

  // Reads a buffer's worth from the source's position; False when nothing came.
  // Pending bytes are written first; unread read-ahead is dropped (the position moves
  // on to the source's).
  virtual bool FillBuffer();
  // Writes the pending bytes; False when the source took fewer, and the buffer is empty
  // afterwards either way. Read-ahead is kept.
  virtual bool FlushBuffer();
  // Fire OnBufferFilled and OnBufferFlushed; FillBuffer and FlushBuffer call them.
  virtual void BufferFilled();
  virtual void BufferFlushed();

  TNotifyEvent OnBufferFilled;
  TNotifyEvent OnBufferFlushed;

protected:
  // Logical position minus the source's position.
  int64_t BufferOffset() const;
  TStream& Source();
  // Empties the buffer at the logical position: pending bytes written (a failure
  // raises EWriteError), read-ahead dropped.
  void SyncSource();
  // Flushes, then asks the system to write a handle source to disk when
  // FSyncOnFree and something was written. False when a flush fell short.
  bool FinishWriting();
  // Asks the system to write the file of Handle to disk; False when it refused.
  virtual bool SyncHandle(NativeHandle handle);
  void AttachSource(TStream* source) { FSource = source; }
  void DetachSource() { FSource = nullptr; }

  bool FSyncOnFree = false;

private:
  void MarkEmpty();
  void CheckOpen() const;
  int32_t FLastFlushWritten = 0;

  TStream* FSource;
  std::unique_ptr<uint8_t[]> FData;
  uint8_t* FCursor = nullptr;  // nullptr: nothing buffered, position from the source
  uint8_t* FLimit;
  int32_t FCapacity;
  TStreamBufferMode FMode = TStreamBufferMode::sbIdle;
  bool FDirty = false;
  bool FFlushFailed = false;
};
