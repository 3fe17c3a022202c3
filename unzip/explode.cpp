// The implode decompressor (method 6): a 4096- or 8192-byte dictionary whose lengths,
// distances and, optionally, literals are coded by Shannon-Fano trees that the entry
// carries ahead of its data.
#include <array>

#include "unzip/explode_tables.h"
#include "unzip/extract_io.h"
#include "unzip/host_hooks.h"
#include "unzip/slide_window.h"

namespace {

// General purpose bits of an imploded entry.
constexpr uint16_t kFlagBigDictionary = 0x0002;
constexpr uint16_t kFlagLiteralTree = 0x0004;
// Above this compressed size the distance table looks up 8 bits at once.
constexpr int64_t kLargeEntry = 200000;
constexpr uint32_t kExplodeWindow = 32768;
constexpr uint32_t kLengthCodes = 64;
constexpr uint32_t kLiteralCodes = 256;
// ReadTreeLengths' failure.
constexpr uint16_t kBadTree = 4;

using TCodeTable = std::array<uint16_t, kLengthCodes>;

constexpr TCodeTable Series(uint16_t first, uint16_t step) {
  TCodeTable t{};
  for (uint32_t i = 0; i < kLengthCodes; ++i) t[i] = uint16_t(first + step * i);
  return t;
}

constexpr TCodeTable LenBase2 = Series(2, 1);
constexpr TCodeTable LenBase3 = Series(3, 1);
constexpr TCodeTable DistBase4 = Series(1, 64);
constexpr TCodeTable DistBase8 = Series(1, 128);
// The longest length code takes 8 more bits.
constexpr TCodeTable LenExtra = [] {
  TCodeTable t{};
  t[kLengthCodes - 1] = 8;
  return t;
}();

// Fills L[0..N-1] from the compressed form: a count byte, then bytes of a length
// (low nibble + 1) and a repeat count (high nibble + 1). 0, or kBadTree when the
// lengths do not add up to N or the data ends.
template <class ReadByteFn>
uint16_t ReadTreeLengths(ReadByteFn&& readByte, std::array<uint16_t, kMaxCodeLengths>& l,
                         uint32_t n) {
  uint8_t x = 0;
  if (!readByte(x)) return kBadTree;
  uint32_t count = uint32_t(x) + 1;
  uint32_t i = 0;
  while (count-- > 0) {
    if (!readByte(x)) return kBadTree;
    const uint16_t len = uint16_t((x & 0x0F) + 1);
    const uint32_t rep = uint32_t(x >> 4) + 1;
    if (i + rep > n) return kBadTree;
    for (uint32_t j = 0; j < rep; ++j) l[i++] = len;
  }
  return i == n ? 0 : kBadTree;
}

}  // namespace

int32_t TXrUnZip::ExplodeDistanceBits(int64_t compressedSize) {
  return compressedSize > kLargeEntry ? 8 : 7;
}

void TXrUnZip::Explode(TExtractState& state) {
  const TZipHeaderInfo& h = *FHeaderTemplate;
  const bool bigDictionary = (h.Flags & kFlagBigDictionary) != 0;
  const bool literalTree = (h.Flags & kFlagLiteralTree) != 0;
  int32_t bb = 9;
  int32_t bl = 7;
  int32_t bd = ExplodeDistanceBits(h.CompressedSize());
  THuffTables tb, tl, td;
  std::array<uint16_t, kMaxCodeLengths> lengths{};

  auto readByte = [&](uint8_t& x) {
    if (ReadByte(state, state.ByteTemp) == 0) return false;
    x = uint8_t(state.ByteTemp);
    return true;
  };
  // An incomplete tree counts as damaged, like one that cannot be a code at all.
  auto readTree = [&](uint32_t n, uint32_t s, std::span<const uint16_t> base, THuffTables& t,
                      int32_t& m) {
    if (ReadTreeLengths(readByte, lengths, n) != 0) return false;
    const uint16_t result = BuildHuffTables(lengths.data(), n, s, base, LenExtra, t, m);
    if (result == kHuffOutOfMemory) {
      FMessageText = ZipMessageText(TZipMessage::InflateOutOfMemory);
      PromptUser(ZipMessageNumber(TZipMessage::InflateOutOfMemory), FMessageText,
                 ZipMessageText(TZipMessage::ErrorCaption), mbOK);
    }
    return result == kHuffComplete;
  };
  if (literalTree && !readTree(kLiteralCodes, kLiteralCodes, {}, tb, bb)) return;
  if (!readTree(kLengthCodes, 0, literalTree ? LenBase3 : LenBase2, tl, bl)) return;
  if (!readTree(kLengthCodes, 0, bigDictionary ? DistBase8 : DistBase4, td, bd)) return;

  uint32_t b = 0;
  uint32_t k = 0;
  // The codes come with their bits inverted: the complement indexes the tables.
  auto decode = [&](const THuffTables& t, int32_t bits) -> const THuffEntry* {
    NeedBits(state, uint32_t(bits), b, k);
    const uint32_t index = ~b & kBitMask[size_t(bits)];
    if (index >= t.Entries.size()) return nullptr;
    const THuffEntry* e = &t.Entries[index];
    while (e->Extra > kHuffLiteral) {
      if (e->Extra == kHuffInvalid) return nullptr;
      DumpBits(e->Bits, b, k);
      const uint32_t more = uint32_t(e->Extra) - 16;
      NeedBits(state, more, b, k);
      e = &t.Entries[e->Value + (~b & kBitMask[more])];
    }
    DumpBits(e->Bits, b, k);
    return e;
  };
  auto rawBits = [&](uint32_t n) {
    NeedBits(state, n, b, k);
    const uint32_t v = b & kBitMask[n];
    DumpBits(n, b, k);
    return v;
  };

  TSlideWindow window(state.Slide, kExplodeWindow);
  auto flush = [&](uint32_t n) { FlushWindow(state, n); };
  const uint32_t distanceBits = bigDictionary ? 7 : 6;
  int64_t left = state.UncompSize;
  // False on an invalid code: the window is then not flushed.
  auto explodeCodes = [&](bool withLiterals) {
    try {
      while (left > 0) {
        // Only the zeros given past the end are left: the data was cut short.
        if (state.PhantomBytes > 0 && k <= 8 * uint32_t(state.PhantomBytes)) break;
        if (rawBits(1) != 0) {
          --left;
          if (withLiterals) {
            const THuffEntry* e = decode(tb, bb);
            if (!e) return false;
            window.Put(uint8_t(e->Value), flush);
          } else {
            window.Put(uint8_t(rawBits(8)), flush);
          }
          continue;
        }
        const uint32_t low = rawBits(distanceBits);
        const THuffEntry* e = decode(td, bd);
        if (!e) return false;
        const uint32_t from = uint16_t(window.W - low - e->Value);
        e = decode(tl, bl);
        if (!e) return false;
        uint32_t n = e->Value;
        if (e->Extra != 0) n += rawBits(8);
        left -= n;
        window.Copy(from, n, flush);
      }
    } catch (const EFatalUnzipError&) {
      // The bit reader's way of saying the codes ran past the data.
      if (state.PhantomBytes <= kMaxPhantomBytes) throw;
    }
    FlushWindow(state, window.W);
    return true;
  };
  auto ExplodeLit = [&] { return explodeCodes(true); };
  auto ExplodeNoLit = [&] { return explodeCodes(false); };
  // The decoder's result is not needed: damaged data fails the entry's checks.
  if (literalTree)
    ExplodeLit();
  else
    ExplodeNoLit();
  FreeHuffTables(td);
  FreeHuffTables(tl);
  FreeHuffTables(tb);
  FlushOutput(state);
}
