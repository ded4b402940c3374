#include "drive/q_frame.h"

#include "app/cd_audio.h"
#include "app/raw_toc.h"

#include <cstdlib>

namespace tesslow {

namespace {

constexpr std::int32_t kFramesPerMinute = 60 * kSectorsPerSecond;

std::uint8_t ToBcd(int value) { return static_cast<std::uint8_t>(((value / 10) << 4) | (value % 10)); }

// A byte's value read as BCD (nothing when a digit is not one) or as binary.
std::optional<int> Digits(std::uint8_t byte, bool binary)
{
    if (binary) return byte;
    if ((byte >> 4) > 9 || (byte & 0x0F) > 9) return std::nullopt;
    return (byte >> 4) * 10 + (byte & 0x0F);
}

// mm:ss:ff at `at` as a number of frames.
std::optional<std::int32_t> Time(const QFrame& frame, std::size_t at, bool binary)
{
    const auto minutes = Digits(frame[at], binary), seconds = Digits(frame[at + 1], binary),
               frames = Digits(frame[at + 2], binary);
    if (!minutes || !seconds || !frames || *seconds >= 60 || *frames >= kSectorsPerSecond || *minutes > 99)
        return std::nullopt;
    return *minutes * kFramesPerMinute + *seconds * kSectorsPerSecond + *frames;
}

void PutTime(QFrame& frame, std::size_t at, std::int32_t frames, bool binary)
{
    frames = std::abs(frames) % (100 * kFramesPerMinute);
    const int values[] = {frames / kFramesPerMinute, frames / kSectorsPerSecond % 60, frames % kSectorsPerSecond};
    for (int i = 0; i < 3; ++i) frame[at + i] = binary ? static_cast<std::uint8_t>(values[i]) : ToBcd(values[i]);
}

std::optional<QPosition> Read(const QFrame& frame, bool binary)
{
    QPosition position;
    position.control = frame[0] >> 4;
    const auto track = frame[1] == kLeadOutTrackNumber ? std::optional<int>(kLeadOutTrackNumber) : Digits(frame[1], binary);
    const auto index = Digits(frame[2], binary);
    const auto relative = Time(frame, 3, binary), absolute = Time(frame, 7, binary);
    if (!track || !index || !relative || !absolute || (*track == 0 || (*track > 99 && *track != kLeadOutTrackNumber)) ||
        *index > 99)
        return std::nullopt;
    position.track = *track;
    position.index = *index;
    position.relative = *relative;
    position.absolute = *absolute - kLbaOrigin;
    return position;
}

void Seal(QFrame& frame)
{
    const std::uint16_t crc = QCrc(frame);
    frame[10] = static_cast<std::uint8_t>(crc >> 8);
    frame[11] = static_cast<std::uint8_t>(crc);
}

int IsrcCode(char c) { return c >= '0' && c <= '9' ? c - '0' : c - 'A' + 0x11; }

}  // namespace

std::uint16_t QCrc(const QFrame& frame)
{
    std::uint16_t crc = 0;
    for (std::size_t i = 0; i < 10; ++i) {
        crc ^= static_cast<std::uint16_t>(frame[i] << 8);
        for (int bit = 0; bit < 8; ++bit) crc = static_cast<std::uint16_t>(crc & 0x8000 ? (crc << 1) ^ 0x1021 : crc << 1);
    }
    return static_cast<std::uint16_t>(~crc);
}

bool QCrcValid(const QFrame& frame) { return QCrc(frame) == ((frame[10] << 8) | frame[11]); }

int QAdr(const QFrame& frame) { return frame[0] & 0x0F; }

std::optional<QPosition> DecodeQPosition(const QFrame& frame, bool binary)
{
    if (!QCrcValid(frame) || QAdr(frame) != 1) return std::nullopt;
    return Read(frame, binary);
}

std::optional<std::string> DecodeQCatalog(const QFrame& frame)
{
    if (!QCrcValid(frame) || QAdr(frame) != 2) return std::nullopt;
    std::string digits;
    for (int i = 0; i < 13; ++i) {
        const int digit = (frame[1 + i / 2] >> (i % 2 == 0 ? 4 : 0)) & 0x0F;
        if (digit > 9) return std::nullopt;
        digits += static_cast<char>('0' + digit);
    }
    return digits;
}

std::optional<std::string> DecodeQIsrc(const QFrame& frame)
{
    if (!QCrcValid(frame) || QAdr(frame) != 3) return std::nullopt;
    std::uint64_t bits = 0;
    for (int i = 1; i <= 8; ++i) bits = (bits << 8) | frame[i];
    std::string isrc;
    for (int i = 0; i < 5; ++i) {
        const int code = static_cast<int>((bits >> (58 - 6 * i)) & 0x3F);
        if (code <= 9) isrc += static_cast<char>('0' + code);
        else if (code >= 0x11 && code <= 0x2A) isrc += static_cast<char>('A' + code - 0x11);
        else return std::nullopt;
    }
    for (int i = 0; i < 7; ++i) {
        const int digit = static_cast<int>((bits >> (28 - 4 * i)) & 0x0F);
        if (digit > 9) return std::nullopt;
        isrc += static_cast<char>('0' + digit);
    }
    return isrc;
}

QFrame EncodeQPosition(const QPosition& position, bool binary)
{
    QFrame frame{};
    frame[0] = static_cast<std::uint8_t>((position.control << 4) | 1);
    frame[1] = position.track == kLeadOutTrackNumber ? std::uint8_t(kLeadOutTrackNumber)
               : binary                              ? static_cast<std::uint8_t>(position.track)
                                                     : ToBcd(position.track);
    frame[2] = binary ? static_cast<std::uint8_t>(position.index) : ToBcd(position.index);
    PutTime(frame, 3, position.relative, binary);
    PutTime(frame, 7, position.absolute + kLbaOrigin, binary);
    Seal(frame);
    return frame;
}

QFrame EncodeQCatalog(std::uint8_t control, const std::string& catalog, std::int32_t absolute)
{
    QFrame frame{};
    frame[0] = static_cast<std::uint8_t>((control << 4) | 2);
    for (std::size_t i = 0; i < 13 && i < catalog.size(); ++i)
        frame[1 + i / 2] |= static_cast<std::uint8_t>((catalog[i] - '0') << (i % 2 == 0 ? 4 : 0));
    frame[9] = ToBcd((absolute + kLbaOrigin) % kSectorsPerSecond);
    Seal(frame);
    return frame;
}

QFrame EncodeQIsrc(std::uint8_t control, const std::string& isrc, std::int32_t absolute)
{
    QFrame frame{};
    frame[0] = static_cast<std::uint8_t>((control << 4) | 3);
    std::uint64_t bits = 0;
    for (std::size_t i = 0; i < 5 && i < isrc.size(); ++i) bits |= std::uint64_t(IsrcCode(isrc[i])) << (58 - 6 * i);
    for (std::size_t i = 5; i < 12 && i < isrc.size(); ++i) bits |= std::uint64_t(isrc[i] - '0') << (28 - 4 * (i - 5));
    for (int i = 0; i < 8; ++i) frame[1 + i] = static_cast<std::uint8_t>(bits >> (56 - 8 * i));
    frame[9] = ToBcd((absolute + kLbaOrigin) % kSectorsPerSecond);
    Seal(frame);
    return frame;
}

}  // namespace tesslow
