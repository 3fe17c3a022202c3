#include "unzip/zip_signatures.h"

#include "unzip/le_bytes.h"

uint32_t CentralSig = kStandardCentralSig;
uint32_t LocalSig = kStandardLocalSig;
uint32_t EndCentralSig = kStandardEndCentralSig;
uint8_t LocalSigBytes[4] = {0x50, 0x4B, 0x03, 0x04};

void SetZipSignatures(uint32_t central, uint32_t local, uint32_t endCentral) {
  CentralSig = central ? central : kStandardCentralSig;
  LocalSig = local ? local : kStandardLocalSig;
  EndCentralSig = endCentral ? endCentral : kStandardEndCentralSig;
  PutLe32(LocalSigBytes, LocalSig);
}
