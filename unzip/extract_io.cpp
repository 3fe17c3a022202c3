// The extraction engine's block paths: input refills, output flushes, the window copy
// and the shared bit buffer's fill.
#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "unzip/extract_io.h"
#include "unzip/zip_lib_routines.h"

void TXrUnZip::BetweenBlocks() {
  if (DoProcessMessages) PumpAndHonourRequests(true);
}

uint32_t TXrUnZip::RefillInput(TExtractState& state) {
  BetweenBlocks();
  const int32_t n = int32_t(std::clamp<int64_t>(state.ArchiveRemaining, 0, kBlockSize));
  state.ArchiveRemaining -= n;
  int32_t got = n > 0 ? ReadFully(*state.ArchiveStream, state.InBuf.data(), n) : 0;
  if (got < n) {
    if (FEndRecord->ThisDisk() == 0) throw EFatalUnzipError(ZipMessageText(TZipMessage::PrematureEnd));
    // The data goes on in the next part; OpenDisk raises past the last one.
    while (got < n) {
      state.ArchiveStream = &OpenDisk(FCurrentDisk + 2);
      got += ReadFully(*state.ArchiveStream, state.InBuf.data() + got, n - got);
    }
  }
  DecryptInput(state.InBuf.data(), uint32_t(got));
  state.InCount = uint32_t(got);
  state.InPtr = state.InBuf.data();
  return state.InCount;
}

void TXrUnZip::FlushOutput(TExtractState& state) {
  const uint32_t n = state.OutCount;
  state.OutPtr = state.OutBuf.data();
  if (n == 0) return;
  state.OutCount = 0;
  DecryptOutputBlock(state.OutBuf.data(), n);
  if (state.BytesWritten + int64_t(n) > state.UncompSize)
    throw EBiggerThanUncompressed(ZipMessageText(TZipMessage::BiggerThanUncompressed));
  if (FToBuffer)
    FlushToBuffer(state, n);
  else if (state.OutStream->Write(state.OutBuf.data(), int32_t(n)) != int32_t(n))
    throw ECantWriteUCF(ZipMessageText(TZipMessage::CantWriteUCF));
  FCRC = ~uint32_t(crc32(~FCRC, state.OutBuf.data(), n));
  state.BytesWritten += n;
  if (OnFilePercentDone) OnFilePercentDone(*this, Percentage(state.UncompSize, state.BytesWritten));
  if (OnTotalPercentDone) {
    FBytesDone += n;
    OnTotalPercentDone(*this, Percentage(FTotalBytes, FBytesDone));
  }
}

void TXrUnZip::FlushWindow(TExtractState& state, uint32_t n) {
  n = std::min<uint32_t>(n, uint32_t(state.Slide.size()));
  const uint8_t* from = state.Slide.data();
  while (n > 0) {
    const uint32_t piece = std::min<uint32_t>(uint32_t(kBlockSize) - state.OutCount, n);
    std::memcpy(state.OutPtr, from, piece);
    state.OutPtr += piece;
    from += piece;
    state.OutCount += piece;
    n -= piece;
    if (state.OutCount == uint32_t(kBlockSize)) FlushOutput(state);
  }
}

void TXrUnZip::FillBitBuffer(TExtractState& state) {
  state.InputEnded = -1;
  uint16_t b = 0;
  while (state.BitCount < 25 && ReadByte(state, b) != 0) {
    state.BitBuf |= uint32_t(b & 0xFF) << state.BitCount;
    state.BitCount += 8;
    state.InputEnded = 0;
  }
}
