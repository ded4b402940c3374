#pragma once

#include <cstdint>
#include <span>

namespace tesslow {

// Status values of the drive layer: 0 success, -1 the command could not be
// sent (or failed without saying why), otherwise the sense key, additional
// sense code and qualifier packed as 0xKKAAQQ.
inline constexpr std::int32_t kScsiOk = 0;
inline constexpr std::int32_t kScsiCallFailed = -1;

// Sense values the program reacts to.
inline constexpr std::int32_t kSenseBecomingReady = 0x020407;   // NOT READY, operation in progress
inline constexpr std::int32_t kSenseInvalidOpcode = 0x052000;   // ILLEGAL REQUEST, invalid operation code

// Further values the emulated drive answers with, named for readability.
inline constexpr std::int32_t kSenseNoMedium = 0x023A00;        // NOT READY, medium not present
inline constexpr std::int32_t kSenseTrayOpen = 0x023A02;        // NOT READY, medium not present, tray open
inline constexpr std::int32_t kSenseUnknownFormat = 0x023001;   // NOT READY, cannot read medium, unknown format
inline constexpr std::int32_t kSenseUnrecoveredRead = 0x031100; // MEDIUM ERROR, unrecovered read error
inline constexpr std::int32_t kSenseLbaOutOfRange = 0x052100;   // ILLEGAL REQUEST, logical block address out of range
inline constexpr std::int32_t kSenseInvalidField = 0x052400;    // ILLEGAL REQUEST, invalid field in CDB

// Packs the sense bytes a command returned. No sense data (none of the bits
// 0x70 set in byte 0) is success; sense data whose key, ASC and ASCQ are all
// zero is -1, so a reported failure never reads as success. Both the fixed
// (70h/71h) and the descriptor (72h/73h) layouts are understood.
std::int32_t PackSense(std::span<const std::uint8_t> sense);

inline constexpr int SenseKey(std::int32_t status) { return status > 0 ? (status >> 16) & 0x0F : -1; }
inline constexpr int AdditionalSense(std::int32_t status) { return status > 0 ? (status >> 8) & 0xFF : -1; }

}  // namespace tesslow
