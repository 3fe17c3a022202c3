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

void TXrUnZip::ReadEntryBytes(TExtractState& state, uint8_t* to, int32_t count) {
  if (ReadAcrossParts(state.ArchiveStream, to, count) == count) return;
  // A set that ends before its data is not a valid set; one file is merely cut.
  if (FEndRecord->ThisDisk() != 0) throw EBadZipFile(ZipMessageText(TZipMessage::NotValidZip));
  throw EFatalUnzipError(ZipMessageText(TZipMessage::PrematureEnd));
}

uint32_t TXrUnZip::ReadInputBlock(TExtractState& state, uint8_t* to) {
  BetweenBlocks();
  const int32_t n = int32_t(std::clamp<int64_t>(state.ArchiveRemaining, 0, kBlockSize));
  state.ArchiveRemaining -= n;
  if (n > 0) ReadEntryBytes(state, to, n);
  DecryptInput(to, uint32_t(n));
  return uint32_t(n);
}

bool TXrUnZip::NextBlockInThisPart(TExtractState& state) {
  if (FEndRecord->ThisDisk() == 0) return true;
  const int64_t wanted = std::clamp<int64_t>(state.ArchiveRemaining, 0, kBlockSize);
  TStream& part = *state.ArchiveStream;
  return part.Size() - part.Position() >= wanted;
}

uint32_t TXrUnZip::RefillInput(TExtractState& state) {
  state.InCount = ReadInputBlock(state, state.InBuf.data());
  state.InPtr = state.InBuf.data();
  return state.InCount;
}

void TXrUnZip::FlushOutput(TExtractState& state) {
  const uint32_t n = state.OutCount;
  state.OutPtr = state.OutBuf.data();
  if (n == 0) return;
  state.OutCount = 0;
  DecryptOutputBlock(state.OutBuf.data(), n);
  // Inflate hands over several blocks at once: they go to a file or stream in one
  // write, and each is then checked, counted and reported as if flushed alone. A block
  // that would pass the uncompressed size is not written, nor anything after it.
  uint32_t fits = 0;
  while (fits < n) {
    const uint32_t piece = std::min<uint32_t>(uint32_t(kBlockSize), n - fits);
    if (state.BytesWritten + int64_t(fits + piece) > state.UncompSize) break;
    fits += piece;
  }
  if (!FOutput.FToBuffer && fits > 0 &&
      state.OutStream->Write(state.OutBuf.data(), int32_t(fits)) != int32_t(fits))
    throw ECantWriteUCF(ZipMessageText(TZipMessage::CantWriteUCF));
  for (uint32_t done = 0; done < fits;) {
    const uint8_t* block = state.OutBuf.data() + done;
    const uint32_t piece = std::min<uint32_t>(uint32_t(kBlockSize), fits - done);
    if (FOutput.FToBuffer) FlushToBuffer(block, piece);
    FCRC = ~uint32_t(crc32(~FCRC, block, piece));
    done += piece;
    state.BytesWritten += piece;
    if (OnFilePercentDone) OnFilePercentDone(*this, Percentage(state.UncompSize, state.BytesWritten));
    if (OnTotalPercentDone) {
      FBytesDone += piece;
      OnTotalPercentDone(*this, Percentage(FTotalBytes, FBytesDone));
    }
  }
  if (fits < n) throw EBiggerThanUncompressed(ZipMessageText(TZipMessage::BiggerThanUncompressed));
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
