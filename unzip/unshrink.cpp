// The shrink decompressor (method 1): dynamic LZW with codes of 9 to 13 bits, where
// control code 256 is followed by 1 (one bit more per code) or 2 (free the codes that
// no other code builds on).
#include <array>
#include <bit>
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
//
// Beside them, bit sets of the free codes and of the leaves (assigned codes no assigned
// code builds on), and each code's number of assigned children: a partial clear frees
// the leaves without looking at every code, and finding the lowest free code takes
// at most one pass over the words of the set. Hostile data that sends nothing but
// clears, or keeps a high code in use, then costs little per clear.
struct TShrinkTables {
  static constexpr uint32_t kWords = kMaxCode / 64;

  TShrinkTables() {
    Prefix.fill(kFreeCode);
    for (uint32_t code = 0; code < 256; ++code) {
      Prefix[code] = 0;
      Suffix[code] = uint8_t(code);
    }
    for (uint32_t code = kFirstFreeCode; code < kMaxCode; ++code) Set(FreeSet, code);
  }

  // The lowest free code from From up, or kMaxCode when none is left.
  uint32_t LowestFree(uint32_t from) const {
    if (from >= kMaxCode) return kMaxCode;
    uint32_t word = from / 64;
    uint64_t bits = FreeSet[word] & (~uint64_t(0) << (from % 64));
    while (bits == 0) {
      if (++word == kWords) return kMaxCode;
      bits = FreeSet[word];
    }
    return word * 64 + uint32_t(std::countr_zero(bits));
  }

  void Assign(uint32_t code, uint16_t prefix, uint8_t suffix) {
    Prefix[code] = int16_t(prefix);
    Suffix[code] = suffix;
    Unset(FreeSet, code);
    // Children assigned while the code was free still build on it.
    if (Children[code] == 0) AddLeaf(code);
    if (IsTableCode(prefix) && Children[prefix]++ == 0 && Has(LeafSet, prefix)) {
      Unset(LeafSet, prefix);
      --LeafCount;
    }
  }

  // Frees every assigned code that is no other assigned code's prefix: the leaves as
  // they are now; a code whose last child goes here stays until the next clear.
  uint32_t PartialClear() {
    if (LeafCount == 0) return LowestFree(kFirstFreeCode);
    const std::array<uint64_t, kWords> leaves = LeafSet;
    LeafSet.fill(0);
    LeafCount = 0;
    for (uint32_t word = 0; word < kWords; ++word) {
      for (uint64_t bits = leaves[word]; bits != 0; bits &= bits - 1) {
        const uint32_t code = word * 64 + uint32_t(std::countr_zero(bits));
        const uint16_t parent = uint16_t(Prefix[code]);
        Prefix[code] = kFreeCode;
        Set(FreeSet, code);
        if (IsTableCode(parent) && --Children[parent] == 0 && Prefix[parent] != kFreeCode)
          AddLeaf(parent);
      }
    }
    return LowestFree(kFirstFreeCode);
  }

  // -1 marks a free code; the extra entry keeps the tables' 8193-code layout.
  std::array<int16_t, kMaxCode + 1> Prefix;
  std::array<uint8_t, kMaxCode + 1> Suffix{};
  std::array<uint8_t, kStackSize> Stack{};

private:
  static bool IsTableCode(uint32_t code) { return code >= kFirstFreeCode && code < kMaxCode; }
  static void Set(std::array<uint64_t, kWords>& set, uint32_t code) {
    set[code / 64] |= uint64_t(1) << (code % 64);
  }
  static void Unset(std::array<uint64_t, kWords>& set, uint32_t code) {
    set[code / 64] &= ~(uint64_t(1) << (code % 64));
  }
  static bool Has(const std::array<uint64_t, kWords>& set, uint32_t code) {
    return (set[code / 64] >> (code % 64)) & 1;
  }
  void AddLeaf(uint32_t code) {
    Set(LeafSet, code);
    ++LeafCount;
  }

  std::array<uint64_t, kWords> FreeSet{};
  std::array<uint64_t, kWords> LeafSet{};
  std::array<uint16_t, kMaxCode> Children{};
  uint32_t LeafCount = 0;
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
      tables->Assign(freeEnt, oldCode, finChar);
      freeEnt = tables->LowestFree(freeEnt + 1);
    }
    oldCode = inCode;
  }
  FlushOutput(state);
}
