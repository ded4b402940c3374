#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace tesslow {

// The Q sub-channel of one sector, formatted as READ CD returns it with
// sub-channel selection 010b: 16 bytes, CONTROL << 4 | ADR in byte 0, then
// for ADR 1 the track (BCD, AAh for the lead-out), the index, the relative
// time, a zero and the absolute time (mm:ss:ff, BCD), for ADR 2 the disc's
// catalog number and for ADR 3 the track's ISRC; bytes 10-11 a CRC-16
// (polynomial 1021h, initial 0, over bytes 0-9, inverted, big-endian).
inline constexpr std::size_t kQFrameBytes = 16;
using QFrame = std::array<std::uint8_t, kQFrameBytes>;

inline constexpr int kLeadOutTrackNumber = 0xAA;

// Where a sector lies, as an ADR 1 frame says.
struct QPosition {
    std::uint8_t control = 0;  // 01h pre-emphasis, 02h copy permitted, 04h data, 08h four channels
    int track = 0;             // 1..99, or kLeadOutTrackNumber
    int index = 0;             // 0 inside a pregap
    std::int32_t relative = 0; // sectors from the track's INDEX 01; counts down inside the pregap
    std::int32_t absolute = 0; // the sector's LBA (absolute time − 150)

    bool operator==(const QPosition&) const = default;
};

std::uint16_t QCrc(const QFrame& frame);
bool QCrcValid(const QFrame& frame);
int QAdr(const QFrame& frame);

// The position an ADR 1 frame holds, its fields read as BCD or, as some
// drives send them, as binary. Nothing when the CRC fails, the frame is not
// ADR 1, or a field is impossible in that reading.
std::optional<QPosition> DecodeQPosition(const QFrame& frame, bool binary = false);

// The catalog number of an ADR 2 frame (13 digits) and the ISRC of an ADR 3
// frame (12 characters); nothing when the CRC fails or the frame is of
// another kind or malformed.
std::optional<std::string> DecodeQCatalog(const QFrame& frame);
std::optional<std::string> DecodeQIsrc(const QFrame& frame);

// Frames as a disc holds them, with their CRC; `binary` writes the position
// fields in binary instead of BCD, as some drives answer.
QFrame EncodeQPosition(const QPosition& position, bool binary = false);
QFrame EncodeQCatalog(std::uint8_t control, const std::string& catalog, std::int32_t absolute);
QFrame EncodeQIsrc(std::uint8_t control, const std::string& isrc, std::int32_t absolute);

}  // namespace tesslow
