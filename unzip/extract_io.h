// The per-byte paths of the extraction engine: the byte reader, the byte writer and
// the bit readers, inline for the decompressors that include this header.
#pragma once

#include "unzip/extract_state.h"
#include "unzip/unzip_errors.h"
#include "unzip/unzip_messages.h"
#include "unzip/xr_unzip.h"

inline int32_t TXrUnZip::ReadByte(TExtractState& state, uint16_t& b) {
  if (state.CompRemaining <= 0) {
    --state.CompRemaining;
    return 0;
  }
  --state.CompRemaining;
  if (state.InCount == 0 && RefillInput(state) == 0) return 0;
  b = *state.InPtr++;
  --state.InCount;
  return 8;
}

inline void TXrUnZip::WriteByte(TExtractState& state, uint8_t b) {
  *state.OutPtr++ = b;
  if (++state.OutCount == uint32_t(kBlockSize)) FlushOutput(state);
}

// Fewer than N bits left ends the input: V gets what there is and the buffer empties,
// so that the count can never wrap.
inline void TXrUnZip::ReadBits(TExtractState& state, uint32_t n, uint16_t& v) {
  if (state.BitCount < n) FillBitBuffer(state);
  if (state.BitCount < n) {
    state.InputEnded = -1;
    v = uint16_t(state.BitBuf & kBitMask[n]);
    state.BitBuf = 0;
    state.BitCount = 0;
    return;
  }
  v = uint16_t(state.BitBuf & kBitMask[n]);
  state.BitBuf >>= n;
  state.BitCount -= n;
}

inline void TXrUnZip::ReadBitsByte(TExtractState& state, uint32_t n, uint8_t& v) {
  uint16_t wide = 0;
  ReadBits(state, n > 8 ? 8 : n, wide);
  v = uint8_t(wide);
}

inline void TXrUnZip::NeedBits(TExtractState& state, uint32_t n, uint32_t& b, uint32_t& k) {
  while (k < n) {
    if (ReadByte(state, state.ByteTemp) == 0) {
      // Past the end the decoder may look ahead a little; more is damaged data.
      if (++state.PhantomBytes > kMaxPhantomBytes)
        throw EFatalUnzipError(ZipMessageText(TZipMessage::PrematureEnd));
      state.ByteTemp = 0;
    }
    b |= uint32_t(state.ByteTemp & 0xFF) << k;
    k += 8;
  }
}
