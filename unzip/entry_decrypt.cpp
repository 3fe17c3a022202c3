// Decryption of one entry: the password procedure with its retries, the decryption of the
// bytes read, and the authentication code at the end of an AES entry.
#include <algorithm>
#include <cstring>

#include "unzip/extract_io.h"
#include "unzip/zip_lib_routines.h"

bool TXrUnZip::PasswordPasses(const std::string& password, TExtractState& state) {
  const TZipHeaderInfo& h = *FHeaderTemplate;
  const auto* bytes = reinterpret_cast<const uint8_t*>(password.data());
  if (FCipher == TEntryCipher::Pkware) {
    uint8_t header[kPkwareHeaderLength];
    ReadEntryBytes(state, header, int32_t(sizeof header));
    // The check byte comes from the time as the local header stores it.
    const uint32_t rawTime = TLocalFileHeader::FromBytes(FLocalHeader.data()).DateTime & 0xFFFF;
    const uint8_t check = PkwareCheckByte(h.HasDataDescriptor(), rawTime, h.Crc32);
    return DecryptHeader(FKeys, bytes, uint32_t(password.size()), header) == check;
  }
  uint8_t salt[16], stored[kAesVerifierLength], derived[kAesVerifierLength];
  ReadEntryBytes(state, salt, int32_t(AesSaltLength(h.EncryptionStrength)));
  ReadEntryBytes(state, stored, int32_t(sizeof stored));
  std::memset(&FAESContext, 0, sizeof FAESContext);
  if (password.size() > kAesMaxPasswordLength) return false;
  if (AesStart(h.EncryptionStrength, bytes, uint32_t(password.size()), salt, derived,
               FAESContext) != 0)
    return false;
  return AesBytesEqual(derived, stored, kAesVerifierLength);
}

bool TXrUnZip::StartDecryption(int32_t index, TExtractState& state, const TZipHeaderInfo& listed) {
  const TZipHeaderInfo& h = *FHeaderTemplate;
  FCipher = h.EncryptionStrength != 0 ? TEntryCipher::Aes : TEntryCipher::Pkware;
  FCipherOverhead = FCipher == TEntryCipher::Aes
                        ? int64_t(AesSaltLength(h.EncryptionStrength) + kAesVerifierLength +
                                  kAesCodeLength)
                        : int64_t(kPkwareHeaderLength);
  // Data too short to hold what the cipher puts around it opens with no password; its
  // header is not read, which would take bytes of the next record.
  const bool damaged = h.CompressedSize() < FCipherOverhead;
  std::string tried = FPassword;
  while (!damaged) {
    if (PasswordPasses(tried, state)) return true;
    // A host that tags the component takes every traditional header as passed.
    if (FCipher == TEntryCipher::Pkware && Tag != 0) return true;
    tried = FPassword;
    if (!OnBadPassword) break;
    OnBadPassword(*this, index, tried);
    if (tried == FPassword) break;
    FPassword = tried;
    LocateEntryData(state, listed);  // back to the start of the encryption header
  }
  FCipher = TEntryCipher::None;
  FCipherOverhead = 0;
  SkipEntry(TSkipReason::srBadPassword, h.Directory + h.FileName, index, state);
  return false;
}

void TXrUnZip::DecryptBuffer(uint8_t* buffer, uint32_t count) {
  if (FCipher == TEntryCipher::Aes)
    AesDecrypt(buffer, count, FAESContext);
  else if (FCipher == TEntryCipher::Pkware)
    PkwareDecrypt(FKeys, buffer, count);
}

void TXrUnZip::DecryptForHost(uint8_t* buffer, uint32_t count) {
  // The code covers the encrypted bytes, which the host's decryption replaces.
  if (FCipher == TEntryCipher::Aes) HmacSha1Data(FAESContext.Mac, buffer, count);
  OnDecrypt(*this, buffer, int32_t(count), FPassword);
}

void TXrUnZip::DecryptInput(uint8_t* buffer, uint32_t count) {
  if (FCipher == TEntryCipher::None || count == 0 || FDecryptOutput) return;
  if (OnDecrypt)
    DecryptForHost(buffer, count);
  else
    DecryptBuffer(buffer, count);
}

void TXrUnZip::DecryptOutputBlock(uint8_t* buffer, uint32_t count) {
  if (FCipher == TEntryCipher::None || count == 0 || !FDecryptOutput) return;
  if (!OnDecrypt) {
    DecryptBuffer(buffer, count);
    return;
  }
  // Inflate flushes several blocks at once; the host is handed one at a time.
  for (uint32_t done = 0; done < count;) {
    const uint32_t piece = std::min<uint32_t>(uint32_t(kBlockSize), count - done);
    DecryptForHost(buffer + done, piece);
    done += piece;
  }
}

bool TXrUnZip::AesCodeMatches(TExtractState& state) {
  // The code covers every encrypted byte, also those a decompressor left unread.
  while (state.ArchiveRemaining > 0) RefillInput(state);
  state.InCount = 0;
  uint8_t stored[kAesCodeLength], computed[kAesCodeLength];
  ReadEntryBytes(state, stored, int32_t(sizeof stored));
  AesFinish(computed, FAESContext);
  return AesBytesEqual(stored, computed, kAesCodeLength);
}
