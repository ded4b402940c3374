#pragma once

#include "app/cd_text.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace tesslow {

// A CD-Text pack as READ TOC format 5 delivers it: type, track number (for
// 8Fh which of the block's three packs), sequence number, block and character position, 12 bytes
// of text, CRC-16 big-endian.
inline constexpr std::size_t kCdTextPackBytes = 18;
inline constexpr std::size_t kCdTextPayloadBytes = 12;

inline constexpr std::uint8_t kCdTextTitle = 0x80;
inline constexpr std::uint8_t kCdTextPerformer = 0x81;
inline constexpr std::uint8_t kCdTextSongwriter = 0x82;
inline constexpr std::uint8_t kCdTextBlockSize = 0x8F;

inline constexpr std::uint8_t kCdTextIso8859_1 = 0x00;
inline constexpr std::uint8_t kCdTextAscii = 0x01;
inline constexpr std::uint8_t kCdTextMsJis = 0x80;

// The CRC a pack carries in its last two bytes: CRC-16, polynomial 1021h,
// initial 0, over the first 16 bytes, inverted.
std::uint16_t CdTextPackCrc(std::span<const std::uint8_t, kCdTextPackBytes> pack);

// Decodes a READ TOC format 5 answer: the 4-byte header, then packs. The
// answer is untrusted: a data length past the buffer is cut to the buffer, a
// partial last pack is ignored, and a pack whose CRC fails is dropped without
// being looked at. A string that a dropped pack cut into is lost as a whole;
// the strings after it are still placed on their tracks. Title, performer
// and songwriter are decoded to UTF-8 with the block's character code
// (ISO-8859-1 for 00h, 01h and codes not known here; MS-JIS through iconv's
// Shift-JIS). Never throws for any input bytes.
CdText ParseCdText(std::span<const std::uint8_t> answer);

}  // namespace tesslow
