// The record signatures every zip reader of the program compares against.
#pragma once

#include <cstdint>

inline constexpr uint32_t kStandardCentralSig = 0x02014B50;
inline constexpr uint32_t kStandardLocalSig = 0x04034B50;
inline constexpr uint32_t kStandardEndCentralSig = 0x06054B50;
inline constexpr uint32_t Zip64LocatorSig = 0x07064B50;
inline constexpr uint32_t kZip64EndRecordSig = 0x06064B50;

extern uint32_t CentralSig;
extern uint32_t LocalSig;
extern uint32_t EndCentralSig;
// LocalSig in file order, for the byte-by-byte search for local headers.
extern uint8_t LocalSigBytes[4];

// Each argument 0 restores its standard value.
void SetZipSignatures(uint32_t central, uint32_t local, uint32_t endCentral);
