#include "base/stream.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>

#include "base/exception.h"
#include "base/file_stream.h"
#include "base/messages.h"

namespace {
constexpr int32_t kCopyChunk = 64 * 1024;

// The target of a seek, or EStreamError when it lies before 0 or beyond int64.
int64_t SeekTarget(int64_t offset, TSeekOrigin origin, int64_t position, int64_t size) {
  int64_t base = 0;
  switch (origin) {
    case TSeekOrigin::soBeginning: base = 0; break;
    case TSeekOrigin::soCurrent: base = position; break;
    case TSeekOrigin::soEnd: base = size; break;
    default: throw EStreamError(base_text::kSeekError);
  }
  int64_t target;
  if (__builtin_add_overflow(base, offset, &target) || target < 0)
    throw EStreamError(base_text::kSeekError);
  return target;
}

int32_t ReadFromBlock(const uint8_t* data, int64_t size, int64_t& position, void* buffer,
                      int32_t count) {
  if (count <= 0 || position >= size) return 0;
  const int32_t n = int32_t(std::min<int64_t>(count, size - position));
  std::memcpy(buffer, data + position, size_t(n));
  position += n;
  return n;
}
}  // namespace

int64_t TStream::GetSize() {
  const int64_t pos = Seek(0, TSeekOrigin::soCurrent);
  const int64_t size = Seek(0, TSeekOrigin::soEnd);
  Seek(pos, TSeekOrigin::soBeginning);
  return size;
}

void TStream::SetSize(int64_t) { throw EStreamError(base_text::kSetSizeError); }

void TStream::ReadBuffer(void* buffer, int32_t count) {
  if (count == 0) return;
  if (count < 0) throw EReadError(base_text::kReadError);
  auto* p = static_cast<uint8_t*>(buffer);
  while (count > 0) {
    const int32_t n = Read(p, count);
    if (n <= 0 || n > count) throw EReadError(base_text::kReadError);
    p += n;
    count -= n;
  }
}

void TStream::WriteBuffer(const void* buffer, int32_t count) {
  if (count == 0) return;
  if (count < 0) throw EWriteError(base_text::kWriteError);
  auto* p = static_cast<const uint8_t*>(buffer);
  while (count > 0) {
    const int32_t n = Write(p, count);
    if (n <= 0 || n > count) throw EWriteError(base_text::kWriteError);
    p += n;
    count -= n;
  }
}

// --- TMemoryStream

int64_t TMemoryStream::MaxSize() {
  // A 32-bit process cannot hold a block near 2 GiB next to its own image; the
  // native bound only keeps absurd sizes from reaching the allocator.
  if constexpr (sizeof(void*) < 8)
    return int64_t(std::numeric_limits<int32_t>::max());
  else
    return int64_t(1) << 36;
}

void TMemoryStream::Resize(int64_t newSize) {
  if (newSize < 0) throw EStreamError(base_text::kSetSizeError);
  if (newSize > MaxSize()) throw EOutOfMemory(base_text::kOutOfMemory);
  try {
    // Growth by at least half again, so that many small writes stay linear.
    const size_t wanted = size_t(newSize);
    if (wanted > data_.capacity()) {
      const size_t grown = data_.capacity() + data_.capacity() / 2;
      data_.reserve(std::max(wanted, std::min(grown, size_t(MaxSize()))));
    }
    data_.resize(wanted);
  } catch (const std::bad_alloc&) {
    throw EOutOfMemory(base_text::kOutOfMemory);
  } catch (const std::length_error&) {
    throw EOutOfMemory(base_text::kOutOfMemory);
  }
}

int32_t TMemoryStream::Read(void* buffer, int32_t count) {
  return ReadFromBlock(data_.data(), int64_t(data_.size()), position_, buffer, count);
}

int32_t TMemoryStream::Write(const void* buffer, int32_t count) {
  if (count <= 0) return 0;
  if (position_ > MaxSize() - count) throw EOutOfMemory(base_text::kOutOfMemory);
  const int64_t end = position_ + count;
  if (end > int64_t(data_.size())) Resize(end);
  std::memcpy(data_.data() + position_, buffer, size_t(count));
  position_ = end;
  return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
  position_ = SeekTarget(offset, origin, position_, int64_t(data_.size()));
  return position_;
}

void TMemoryStream::SetSize(int64_t newSize) {
  Resize(newSize);
  if (position_ > newSize) position_ = newSize;
}

void TMemoryStream::Clear() {
  data_.clear();
  data_.shrink_to_fit();
  position_ = 0;
}

void TMemoryStream::LoadFromStream(TStream& source) {
  source.SetPosition(0);
  const int64_t size = source.Size();
  SetSize(size);
  position_ = 0;
  if (size > 0) {
    int64_t done = 0;
    while (done < size) {
      const int32_t n = int32_t(std::min<int64_t>(size - done, kCopyChunk));
      source.ReadBuffer(data_.data() + done, n);
      done += n;
    }
  }
}

void TMemoryStream::LoadFromFile(const String& fileName) {
  TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(file);
}

void TMemoryStream::SaveToStream(TStream& dest) {
  int64_t done = 0;
  const int64_t size = int64_t(data_.size());
  while (done < size) {
    const int32_t n = int32_t(std::min<int64_t>(size - done, kCopyChunk));
    dest.WriteBuffer(data_.data() + done, n);
    done += n;
  }
}

void TMemoryStream::SaveToFile(const String& fileName) {
  TFileStream file(fileName, fmCreate);
  SaveToStream(file);
}

// --- TReadOnlyMemoryStream

int32_t TReadOnlyMemoryStream::Read(void* buffer, int32_t count) {
  return ReadFromBlock(data_, size_, position_, buffer, count);
}

int64_t TReadOnlyMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
  position_ = SeekTarget(offset, origin, position_, size_);
  return position_;
}
