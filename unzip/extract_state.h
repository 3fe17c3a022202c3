// The working record of one extraction run: the loop's counters and the buffers and
// reader state that every entry's extraction shares.
#pragma once

#include <array>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "base/stream.h"
#include "base/string.h"

class TZipHeaderInfo;

// Bytes moved per block: the input block, the output buffer's flush size.
inline constexpr int kBlockSize = 32768;
// Blocks of input Inflate hands zlib at once, and of output it lets zlib fill before they
// are flushed together: zlib then copies less of its output into its window, and the
// file gets fewer, larger writes.
inline constexpr int kInflateBlocks = 8;
inline constexpr int kInBufSize = kBlockSize * kInflateBlocks + 1;
inline constexpr int kOutBufSize = kBlockSize * kInflateBlocks + 1;
inline constexpr int kSlideSize = 32780;

// Mask[N] = 2^N - 1 for the bit readers.
inline constexpr std::array<uint16_t, 17> kBitMask = {
    0x0000, 0x0001, 0x0003, 0x0007, 0x000F, 0x001F, 0x003F, 0x007F, 0x00FF,
    0x01FF, 0x03FF, 0x07FF, 0x0FFF, 0x1FFF, 0x3FFF, 0x7FFF, 0xFFFF};

// A caller-held bit reader asking past the input gets at most this many zero bytes
// before the data counts as damaged.
inline constexpr int kMaxPhantomBytes = 2;

struct TExtractState {
  explicit TExtractState(TStream* archive)
      : ArchiveStream(archive), InBuf(kInBufSize), OutBuf(kOutBufSize), Slide(kSlideSize) {
    InPtr = InBuf.data();
    OutPtr = OutBuf.data();
  }
  TExtractState(const TExtractState&) = delete;
  TExtractState& operator=(const TExtractState&) = delete;

  // Selected files still to do; an entry given up takes itself off.
  int32_t FilesToDo = 0;
  // Files written (folder entries included); the result of UnZip.
  int32_t FilesDone = 0;
  // Set by an entry's extraction when the same entry is to be tried again.
  bool RetryEntry = false;
  // Handed to OnSkippingFile as Retry.
  bool SkipRetry = false;
  // The stream the entry's data is read from; replaced when another part is opened.
  TStream* ArchiveStream;
  // Target of the entry's output (not owned).
  TStream* OutStream = nullptr;

  // Filled a block at a time; only Inflate fills more of it.
  std::vector<uint8_t> InBuf;
  uint8_t* InPtr;
  // Bytes left in InBuf.
  uint32_t InCount = 0;
  // Flushed at kBlockSize bytes; only Inflate fills more of it.
  std::vector<uint8_t> OutBuf;
  uint8_t* OutPtr;
  // Bytes in OutBuf.
  uint32_t OutCount = 0;
  std::vector<uint8_t> Slide;

  // Shared bit buffer, taken from the least significant end.
  uint32_t BitBuf = 0;
  uint32_t BitCount = 0;
  // -1 when the last fill could add no byte, 0 otherwise.
  int32_t InputEnded = 0;
  // Zero bytes a caller-held bit reader was given past the end of the input.
  int32_t PhantomBytes = 0;

  // Compressed bytes the decompressor may still take; below 0 once it asked for more.
  int64_t CompRemaining = 0;
  // Compressed bytes of the entry not yet read from the archive.
  int64_t ArchiveRemaining = 0;
  int64_t UncompSize = 0;
  int64_t BytesWritten = 0;
  uint16_t ByteTemp = 0;

  // Largest archive position an entry's data may reach, by entry: the next entry's
  // local header. Keeps overlapping entries from reading each other's data. Empty
  // for multi-part sets.
  std::unordered_map<const TZipHeaderInfo*, int64_t> DataLimit;
  // Size of a one-part archive; -1 for multi-part sets.
  int64_t ArchiveEnd = -1;

  // Sets the reader and writer back for the next entry.
  void ResetForEntry() {
    InCount = 0;
    InPtr = InBuf.data();
    OutCount = 0;
    OutPtr = OutBuf.data();
    BitBuf = 0;
    BitCount = 0;
    InputEnded = 0;
    PhantomBytes = 0;
    BytesWritten = 0;
  }
};
