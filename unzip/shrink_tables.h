// The code tables of the shrink decompressor, with the free-code search and the partial
// clear.
#pragma once

#include <array>
#include <bit>
#include <cstdint>

namespace shrink_codes {

inline constexpr uint32_t kInitialCodeSize = 9;
inline constexpr uint32_t kMaxCodeSize = 13;
// Codes of 13 bits: 0 to 8191.
inline constexpr uint32_t kMaxCode = 1u << kMaxCodeSize;
inline constexpr uint16_t kControlCode = 256;
inline constexpr uint16_t kGrowCodeSize = 1;
inline constexpr uint16_t kPartialClear = 2;
inline constexpr uint32_t kFirstFreeCode = 257;
inline constexpr int16_t kFreeCode = -1;
// A string is built here from its end; no valid code's string is longer.
inline constexpr uint32_t kStackSize = 8192;

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
  uint32_t LowestFree(uint32_t from) {
    if (from >= kMaxCode) return kMaxCode;
    uint32_t word = from / 64;
    uint64_t bits = FreeSet[word] & (~uint64_t(0) << (from % 64));
    ++Visited;
    while (bits == 0) {
      if (++word == kWords) return kMaxCode;
      bits = FreeSet[word];
      ++Visited;
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
      ++Visited;
      for (uint64_t bits = leaves[word]; bits != 0; bits &= bits - 1) {
        const uint32_t code = word * 64 + uint32_t(std::countr_zero(bits));
        ++Visited;
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
  // Table words and codes looked at by the searches and the partial clears: what
  // bounds their work.
  uint64_t Visited = 0;

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

}  // namespace shrink_codes
