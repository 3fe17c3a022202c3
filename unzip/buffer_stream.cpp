#include "unzip/buffer_stream.h"

#include <algorithm>
#include <cstring>

#include "base/exception.h"
#include "base/file_stream.h"
#include "base/format.h"
#include "base/scope_exit.h"
#include "unzip/unzip_messages.h"
#include "unzip/zip_file_routines.h"

TS_BufferStream::TS_BufferStream(TStream* source, int32_t bufSize)
    : FSource(source), FCapacity(bufSize) {
  if (bufSize < 1) throw EStreamError(Format(io_text::kBufferSize, {bufSize}));
  FData = std::make_unique<uint8_t[]>(size_t(bufSize));
  FLimit = FData.get() + FCapacity;
}

TS_BufferStream::~TS_BufferStream() {
  if (!FSource) return;
  try {
    FinishWriting();
  } catch (const Exception&) {
    // Freeing cannot report; Close is the way to learn of a failed final write.
  }
}

void TS_BufferStream::CheckOpen() const {
  if (!FSource) throw EStreamError(io_text::kStreamClosed);
}

TStream& TS_BufferStream::Source() {
  CheckOpen();
  return *FSource;
}

void TS_BufferStream::MarkEmpty() {
  FCursor = nullptr;
  FLimit = FData.get() + FCapacity;
  FMode = TStreamBufferMode::sbIdle;
}

int64_t TS_BufferStream::BufferOffset() const {
  switch (FMode) {
    case TStreamBufferMode::sbReading: return FCursor - FLimit;
    case TStreamBufferMode::sbWriting: return FCursor - FData.get();
    default: return 0;
  }
}

int32_t TS_BufferStream::Pending() const {
  const int64_t offset = BufferOffset();
  return int32_t(offset < 0 ? -offset : offset);
}

void TS_BufferStream::BufferFilled() {
  if (OnBufferFilled) OnBufferFilled(this);
}

void TS_BufferStream::BufferFlushed() {
  if (OnBufferFlushed) OnBufferFlushed(this);
}

bool TS_BufferStream::FillBuffer() {
  // Bytes waiting to be written are not overwritten by the read-ahead.
  if (FMode == TStreamBufferMode::sbWriting) FlushBuffer();
  const int32_t n = std::max<int32_t>(0, Source().Read(FData.get(), FCapacity));
  if (n > 0) {
    FCursor = FData.get();
    FLimit = FData.get() + n;
    FMode = TStreamBufferMode::sbReading;
  } else {
    MarkEmpty();
  }
  BufferFilled();
  return n > 0;
}

bool TS_BufferStream::FlushBuffer() {
  if (FMode == TStreamBufferMode::sbReading) {
    // Nothing waits to be written; the read-ahead stays.
    BufferFlushed();
    return true;
  }
  const int32_t length = FMode == TStreamBufferMode::sbWriting ? int32_t(FCursor - FData.get()) : 0;
  int32_t written = 0;
  try {
    written = length > 0 ? std::max<int32_t>(0, Source().Write(FData.get(), length)) : 0;
  } catch (...) {
    // The pending bytes cannot be written; drop them so that nothing retries.
    FFlushFailed = true;
    FLastFlushWritten = 0;
    MarkEmpty();
    throw;
  }
  FLastFlushWritten = written;
  if (written != length) FFlushFailed = true;
  MarkEmpty();
  BufferFlushed();
  return written == length;
}

int32_t TS_BufferStream::Read(void* buffer, int32_t count) {
  CheckOpen();
  if (count <= 0) return 0;
  if (FMode == TStreamBufferMode::sbWriting) FlushBuffer();
  auto* out = static_cast<uint8_t*>(buffer);
  int32_t total = 0;
  while (count > 0) {
    if (FMode != TStreamBufferMode::sbReading || FCursor == FLimit) {
      MarkEmpty();
      if (count >= FCapacity) {
        // Go straight to the caller, all of it: a large reader keeps asking for the
        // same amount, and each of its reads then costs one read of the source.
        const int32_t n = std::max<int32_t>(0, Source().Read(out, count));
        if (n == 0) break;
        out += n;
        total += n;
        count -= n;
        continue;
      }
      if (!FillBuffer()) break;
    }
    const int32_t k = std::min<int32_t>(count, int32_t(FLimit - FCursor));
    std::memcpy(out, FCursor, size_t(k));
    FCursor += k;
    out += k;
    total += k;
    count -= k;
  }
  return total;
}

int32_t TS_BufferStream::Write(const void* buffer, int32_t count) {
  CheckOpen();
  if (count <= 0) return 0;
  if (FMode == TStreamBufferMode::sbReading) {
    // The unread read-ahead is dropped.
    const int64_t position = FSource->Seek(0, TSeekOrigin::soCurrent) + BufferOffset();
    FSource->Seek(position, TSeekOrigin::soBeginning);
    MarkEmpty();
  }
  const auto* in = static_cast<const uint8_t*>(buffer);
  int32_t total = 0;
  int32_t ownBytesInBuffer = 0;  // bytes of this call still waiting in the buffer
  while (count > 0) {
    if (FMode != TStreamBufferMode::sbWriting) {
      if (count >= FCapacity) {
        const int32_t want = count / FCapacity * FCapacity;
        FDirty = true;
        int32_t w = 0;
        try {
          w = std::max<int32_t>(0, FSource->Write(in, want));
        } catch (...) {
          FFlushFailed = true;
          throw;
        }
        total += w;
        if (w != want) {
          FFlushFailed = true;
          return total;
        }
        in += w;
        count -= w;
        continue;
      }
      FCursor = FData.get();
      FLimit = FData.get() + FCapacity;
    }
    const int32_t k = std::min<int32_t>(count, int32_t(FLimit - FCursor));
    std::memcpy(FCursor, in, size_t(k));
    FCursor += k;
    FMode = TStreamBufferMode::sbWriting;
    FDirty = true;
    in += k;
    count -= k;
    ownBytesInBuffer += k;
    if (FCursor == FLimit) {
      const int32_t length = int32_t(FCursor - FData.get());
      const bool ok = FlushBuffer();
      const int32_t lost = std::min(length - FLastFlushWritten, ownBytesInBuffer);
      total += ownBytesInBuffer - lost;
      ownBytesInBuffer = 0;
      if (!ok) return total;
    }
  }
  return total + ownBytesInBuffer;
}

int64_t TS_BufferStream::Seek(int64_t offset, TSeekOrigin origin) {
  CheckOpen();
  const int originNumber = int(origin);
  if (originNumber < 0 || originNumber > 2)
    throw Exception(Format(io_text::kInvalidSeekOrigin, {originNumber}));
  const int64_t current = FSource->Seek(0, TSeekOrigin::soCurrent) + BufferOffset();
  int64_t target = 0;
  bool overflow = false;
  switch (origin) {
    case TSeekOrigin::soBeginning: target = offset; break;
    case TSeekOrigin::soCurrent: overflow = __builtin_add_overflow(current, offset, &target); break;
    case TSeekOrigin::soEnd: {
      // Both signs count back from the end; pending bytes belong to it, but a
      // position merely moved past the end does not.
      const int64_t sourceSize = FSource->Size();
      const int64_t end =
          FMode == TStreamBufferMode::sbWriting ? std::max(sourceSize, current) : sourceSize;
      overflow = offset == INT64_MIN;
      if (!overflow) target = end - (offset < 0 ? -offset : offset);
      break;
    }
  }
  if (overflow || target < 0)
    throw EStreamError(Format(io_text::kNegativeSeek, {overflow ? offset : target}));
  if (target == current) return target;
  if (FMode == TStreamBufferMode::sbWriting && !FlushBuffer()) throw Exception(io_text::kSeekError);
  FSource->Seek(target, TSeekOrigin::soBeginning);
  MarkEmpty();
  return target;
}

void TS_BufferStream::PutBack(uint8_t b) {
  CheckOpen();
  if (FMode != TStreamBufferMode::sbReading || FCursor <= FData.get())
    throw EStreamError(io_text::kPutbackOverflow);
  *--FCursor = b;
}

void TS_BufferStream::SyncSource() {
  CheckOpen();
  if (FMode == TStreamBufferMode::sbWriting) {
    if (!FlushBuffer()) throw EWriteError(io_text::kFlushFailed);
  } else if (FMode == TStreamBufferMode::sbReading) {
    const int64_t position = FSource->Seek(0, TSeekOrigin::soCurrent) + BufferOffset();
    FSource->Seek(position, TSeekOrigin::soBeginning);
    MarkEmpty();
  }
}

bool TS_BufferStream::FinishWriting() {
  CheckOpen();
  bool ok = true;
  if (FMode == TStreamBufferMode::sbWriting) ok = FlushBuffer();
  if (FSyncOnFree && FDirty)
    if (auto* handleStream = dynamic_cast<THandleStream*>(FSource))
      SyncHandle(handleStream->Handle());
  return ok && !FFlushFailed;
}

bool TS_BufferStream::SyncHandle(NativeHandle handle) { return SyncFileToDisk(handle); }

void TS_BufferStream::Close() {
  if (!FSource) return;
  bool ok = false;
  {
    ScopeExit detach([this]() noexcept { DetachSource(); });
    ok = FinishWriting();
  }
  if (!ok) throw EWriteError(io_text::kFlushFailed);
}
