// The shrink decompressor (method 1): dynamic LZW with codes of 9 to 13 bits, where
// control code 256 is followed by 1 (one bit more per code) or 2 (free the codes that
// no other code builds on).
#include <cstring>
#include <memory>

#include "unzip/extract_io.h"
#include "unzip/shrink_tables.h"

using namespace shrink_codes;


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
      tables->Assign(freeEnt, oldCode, finChar);
      freeEnt = tables->LowestFree(freeEnt + 1);
    }
    oldCode = inCode;
  }
  FlushOutput(state);
}
