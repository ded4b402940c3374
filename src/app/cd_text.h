#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tesslow {

// What a disc's CD-Text says about the disc or one of its tracks, in UTF-8;
// an empty string means the disc does not say.
struct CdTextEntry {
    std::string title;
    std::string performer;
    std::string songwriter;

    bool operator==(const CdTextEntry&) const = default;
};

// One language block of a disc's CD-Text.
struct CdTextBlock {
    int number = 0;                    // 0..7
    std::uint8_t language = 0;         // EBU language code; 0 when not known
    std::uint8_t characterCode = 0;    // 00h ISO-8859-1, 01h ASCII, 80h MS-JIS
    CdTextEntry disc;
    std::vector<CdTextEntry> tracks;   // tracks[n - 1] is CD track n; may stop short of the last track

    // The entry of CD track `number` (1..99); an empty one where the block has none.
    const CdTextEntry& Track(int number) const;

    bool operator==(const CdTextBlock&) const = default;
};

// A disc's CD-Text: the blocks any valid pack was found for, by block number.
struct CdText {
    std::vector<CdTextBlock> blocks;

    bool operator==(const CdText&) const = default;
};

// EBU language codes of the languages the program recognises in a locale name.
namespace cd_text_language {
inline constexpr std::uint8_t kGerman = 0x08;
inline constexpr std::uint8_t kEnglish = 0x09;
inline constexpr std::uint8_t kSpanish = 0x0A;
inline constexpr std::uint8_t kFrench = 0x0F;
inline constexpr std::uint8_t kItalian = 0x15;
inline constexpr std::uint8_t kJapanese = 0x69;
}  // namespace cd_text_language

// The EBU code of a locale name such as "de_DE.UTF-8", "fr" or "ja_JP";
// nothing for "C", "POSIX", an empty name or a language without a code here.
std::optional<std::uint8_t> CdTextLanguageOfLocale(std::string_view locale);

// The user's language as the messages are chosen: the first entry of
// LANGUAGE, else LC_ALL, LC_MESSAGES, LANG (the first one set and not empty).
std::optional<std::uint8_t> UserCdTextLanguage();

// The block to name the disc from: the first in `language`, else block 0,
// else the lowest-numbered block there is. Null when there are no blocks.
const CdTextBlock* ChooseCdTextBlock(const CdText& text, std::optional<std::uint8_t> language);

}  // namespace tesslow
