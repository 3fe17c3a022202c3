// The shrink decompressor (method 1): dynamic LZW with codes of 9 to 13 bits, where
// control code 256 is followed by 1 (one bit more per code) or 2 (free the codes that
// no other code builds on).
#include <array>
#include <cstring>
#include <memory>

#include "unzip/extract_io.h"

namespace {

constexpr uint32_t kInitialCodeSize = 9;
constexpr uint32_t kMaxCodeSize = 13;
// Codes of 13 bits: 0 to 8191.
constexpr uint32_t kMaxCode = 1u << kMaxCodeSize;
constexpr uint16_t kControlCode = 256;
constexpr uint16_t kGrowCodeSize = 1;
constexpr uint16_t kPartialClear = 2;
constexpr uint32_t kFirstFreeCode = 257;
constexpr int16_t kFreeCode = -1;
// A string is built here from its end; no valid code's string is longer.
constexpr uint32_t kStackSize = 8192;

// The code tables of one entry. Codes 0 to 255 stand for themselves; 256 is never
// assigned, its suffix is 0 so that a chain that reaches it reads a defined byte.
struct TShrinkTables {
  TShrinkTables() {
    Prefix.fill(kFreeCode);
    for (uint32_t code = 0; code < 256; ++code) {
      Prefix[code] = 0;
      Suffix[code] = uint8_t(code);
    }
  }

  // The lowest free code from 257 up, or kMaxCode when none is left.
  uint32_t LowestFree(uint32_t from) const {
    while (from < kMaxCode && Prefix[from] != kFreeCode) ++from;
    return from;
  }

  // Frees every assigned code that is no other assigned code's prefix. All codes are
  // looked at, not only those below the next free one: after an earlier clear, codes
  // in use lie above it too, and their prefixes must stay.
  uint32_t PartialClear() {
    std::array<bool, kMaxCode> isPrefix{};
    for (uint32_t code = kFirstFreeCode; code < kMaxCode; ++code)
      if (Prefix[code] >= int16_t(kFirstFreeCode)) isPrefix[size_t(Prefix[code])] = true;
    for (uint32_t code = kFirstFreeCode; code < kMaxCode; ++code)
      if (!isPrefix[code]) Prefix[code] = kFreeCode;
    return LowestFree(kFirstFreeCode);
  }

  // -1 marks a free code; the extra entry keeps the tables' 8193-code layout.
  std::array<int16_t, kMaxCode + 1> Prefix;
  std::array<uint8_t, kMaxCode + 1> Suffix{};
  std::array<uint8_t, kStackSize> Stack{};
};

}  // namespace

// Stops at the end of the compressed data, dropping a code cut off by it; damaged
// data (a code size past 13, a prefix chain longer than any string) stops it early,
// and the entry then fails its size or CRC check.
void TXrUnZip::UnShrink(TExtractState& state) {
  const auto tables = std::make_unique<TShrinkTables>();
  auto& prefix = tables->Prefix;
  auto& suffix = tables->Suffix;
  auto& stack = tables->Stack;
  uint32_t codeSize = kInitialCodeSize;
  uint32_t freeEnt = kFirstFreeCode;
  auto readCode = [&](uint16_t& code) {
    ReadBits(state, codeSize, code);
    return state.InputEnded == 0;
  };

  uint16_t oldCode = 0;
  if (!readCode(oldCode)) {
    FlushOutput(state);
    return;
  }
  uint8_t finChar = uint8_t(oldCode);
  WriteByte(state, finChar);
  for (;;) {
    uint16_t code = 0;
    if (!readCode(code)) break;
    bool damaged = false;
    while (code == kControlCode && !damaged) {
      uint16_t subCode = 0;
      if (!readCode(subCode)) {
        damaged = true;
      } else if (subCode == kGrowCodeSize) {
        damaged = codeSize == kMaxCodeSize;
        if (!damaged) ++codeSize;
      } else if (subCode == kPartialClear) {
        freeEnt = tables->PartialClear();
      }
      if (!damaged && !readCode(code)) damaged = true;
    }
    if (damaged) break;

    const uint16_t inCode = code;
    uint32_t stackP = kStackSize;
    auto push = [&](uint8_t b) {
      if (stackP == 0) return false;
      stack[--stackP] = b;
      return true;
    };
    bool fits = true;
    // Not assigned yet: the previous string followed by its own first byte.
    if (prefix[code] == kFreeCode) {
      fits = push(finChar);
      code = oldCode;
    }
    while (fits && code >= kFirstFreeCode) {
      if (prefix[code] == kFreeCode) {
        fits = push(finChar);
        code = oldCode;
      } else {
        fits = push(suffix[code]);
        code = uint16_t(prefix[code]);
      }
    }
    finChar = suffix[code];
    // A chain that runs out of stack can only be a cycle.
    if (!fits || !push(finChar)) break;

    const uint32_t length = kStackSize - stackP;
    if (state.OutCount + length < uint32_t(kBlockSize)) {
      std::memcpy(state.OutPtr, stack.data() + stackP, length);
      state.OutPtr += length;
      state.OutCount += length;
    } else {
      for (uint32_t i = stackP; i < kStackSize; ++i) WriteByte(state, stack[i]);
    }

    if (freeEnt < kMaxCode) {
      prefix[freeEnt] = int16_t(oldCode);
      suffix[freeEnt] = finChar;
      freeEnt = tables->LowestFree(freeEnt + 1);
    }
    oldCode = inCode;
  }
  FlushOutput(state);
}
