// Streams with 64-bit positions and sizes.
#pragma once

#include <cstdint>
#include <vector>

#include "base/object.h"
#include "base/string.h"

enum class TSeekOrigin { soBeginning = 0, soCurrent = 1, soEnd = 2 };

class TStream : public TObject {
public:
  String ClassName() const override { return u"TStream"; }
  // Transfer at most count bytes (count <= 0 transfers nothing); return how many.
  virtual int32_t Read(void* buffer, int32_t count) = 0;
  virtual int32_t Write(const void* buffer, int32_t count) = 0;
  // Returns the new position. A target before 0 raises EStreamError.
  virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;
  // The older form: a 32-bit offset and the origin as its number, handed to the 64-bit
  // Seek (which judges an origin other than 0, 1 or 2); the position comes back cut to
  // 32 bits.
  int32_t Seek(int32_t offset, uint16_t origin) {
    return int32_t(Seek(int64_t(offset), static_cast<TSeekOrigin>(origin)));
  }

  // Default: the end found by seeking, with the position restored.
  virtual int64_t GetSize();
  // Default: EStreamError (a stream that cannot change its size says so).
  virtual void SetSize(int64_t newSize);
  int64_t Size() { return GetSize(); }
  int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
  void SetPosition(int64_t pos) { Seek(pos, TSeekOrigin::soBeginning); }

  // Short transfers raise EReadError "Stream read error" / EWriteError
  // "Stream write error"; partial transfers are continued until done or stuck.
  void ReadBuffer(void* buffer, int32_t count);
  void WriteBuffer(const void* buffer, int32_t count);
};

// A growable block of memory. Seeking past the end is allowed; a write there
// fills the gap with zeros. Sizes beyond MaxSize() raise EOutOfMemory.
class TMemoryStream : public TStream {
public:
  static int64_t MaxSize();
  String ClassName() const override { return u"TMemoryStream"; }
  int32_t Read(void* buffer, int32_t count) override;
  int32_t Write(const void* buffer, int32_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t GetSize() override { return int64_t(data_.size()); }
  // EOutOfMemory beyond what can be held, EStreamError below 0; a position past
  // the new end moves to it.
  void SetSize(int64_t newSize) override;
  void Clear();
  uint8_t* Memory() { return data_.data(); }
  const uint8_t* Memory() const { return data_.data(); }
  const std::vector<uint8_t>& Bytes() const { return data_; }
  void LoadFromStream(TStream& source);
  void LoadFromFile(const String& fileName);
  void SaveToStream(TStream& dest);
  void SaveToFile(const String& fileName);

private:
  void Resize(int64_t newSize);

  std::vector<uint8_t> data_;
  int64_t position_ = 0;
};

// Reads a fixed block it does not own: for parsing bytes already in memory.
class TReadOnlyMemoryStream : public TStream {
public:
  TReadOnlyMemoryStream(const void* data, size_t size)
      : data_(static_cast<const uint8_t*>(data)), size_(int64_t(size)) {}
  int32_t Read(void* buffer, int32_t count) override;
  int32_t Write(const void*, int32_t) override { return 0; }
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t GetSize() override { return size_; }

private:
  const uint8_t* data_;
  int64_t size_;
  int64_t position_ = 0;
};
