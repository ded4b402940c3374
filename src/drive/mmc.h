#pragma once

#include "app/cd_audio.h"

#include <cstdint>

namespace tesslow {

// The MMC commands the program sends (all multi-byte CDB fields big-endian).
namespace mmc {

inline constexpr std::uint8_t kInquiry = 0x12;
inline constexpr std::uint8_t kStartStopUnit = 0x1B;
inline constexpr std::uint8_t kPreventAllowMediumRemoval = 0x1E;
inline constexpr std::uint8_t kReadSubChannel = 0x42;
inline constexpr std::uint8_t kReadToc = 0x43;
inline constexpr std::uint8_t kGetConfiguration = 0x46;
inline constexpr std::uint8_t kReadDiscInformation = 0x51;
inline constexpr std::uint8_t kSetCdSpeed = 0xBB;
inline constexpr std::uint8_t kReadCd = 0xBE;

inline constexpr std::uint32_t kDefaultTimeoutSeconds = 30;
inline constexpr std::uint32_t kReadTocTimeoutSeconds = 120;

// Answer sizes the program asks for.
inline constexpr std::uint32_t kInquiryLength = 36;
inline constexpr std::uint32_t kConfigurationHeaderLength = 8;
inline constexpr std::uint32_t kDiscInformationLength = 32;
inline constexpr std::uint32_t kTocHeadLength = 12;  // header and first descriptor

// READ TOC formats.
inline constexpr std::uint8_t kTocFormatTracks = 0;
inline constexpr std::uint8_t kTocFormatSessions = 1;
inline constexpr std::uint8_t kTocFormatCdText = 5;

// READ CD byte 9: sync, all headers, user data, EDC/ECC: the full raw sector.
inline constexpr std::uint8_t kReadCdFullSector = 0xF8;
// READ CD byte 10, sub-channel data selection 010b: the formatted Q (16 bytes
// after each sector).
inline constexpr std::uint8_t kReadCdFormattedQ = 0x02;

// READ SUB-CHANNEL formats, and the length of their answers.
inline constexpr std::uint8_t kSubChannelPosition = 0x01;
inline constexpr std::uint8_t kSubChannelCatalog = 0x02;
inline constexpr std::uint8_t kSubChannelIsrc = 0x03;
inline constexpr std::uint32_t kSubChannelAnswerLength = 24;

// SET CD SPEED: 176 kB/s, single speed; FFFFh asks for the drive's maximum.
inline constexpr std::uint16_t kSingleSpeedKBps = 0x00B0;
inline constexpr std::uint16_t kMaximumSpeedKBps = 0xFFFF;

// Peripheral device type of a CD/DVD device in INQUIRY byte 0.
inline constexpr std::uint8_t kDeviceTypeOptical = 5;

// Current profiles of GET CONFIGURATION.
inline constexpr std::uint16_t kProfileNone = 0x0000;
inline constexpr std::uint16_t kProfileCdRom = 0x0008;
inline constexpr std::uint16_t kProfileCdR = 0x0009;
inline constexpr std::uint16_t kProfileCdRw = 0x000A;
inline constexpr std::uint16_t kProfileDvdRom = 0x0010;

}  // namespace mmc

inline std::uint32_t ReadBigEndian16(const std::uint8_t* p) { return (std::uint32_t(p[0]) << 8) | p[1]; }
inline std::uint32_t ReadBigEndian32(const std::uint8_t* p)
{
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}
inline void WriteBigEndian16(std::uint8_t* p, std::uint32_t v)
{
    p[0] = std::uint8_t(v >> 8);
    p[1] = std::uint8_t(v);
}
inline void WriteBigEndian32(std::uint8_t* p, std::uint32_t v)
{
    p[0] = std::uint8_t(v >> 24);
    p[1] = std::uint8_t(v >> 16);
    p[2] = std::uint8_t(v >> 8);
    p[3] = std::uint8_t(v);
}

}  // namespace tesslow
