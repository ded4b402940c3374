#include "app/cd_text.h"

#include <array>
#include <cstdlib>
#include <utility>

namespace tesslow {

namespace {

struct LocaleLanguage {
    std::string_view name;  // ISO 639-1, as locale names begin
    std::uint8_t code;
};

constexpr std::array<LocaleLanguage, 6> kLocaleLanguages = {{
    {"de", cd_text_language::kGerman},
    {"en", cd_text_language::kEnglish},
    {"es", cd_text_language::kSpanish},
    {"fr", cd_text_language::kFrench},
    {"it", cd_text_language::kItalian},
    {"ja", cd_text_language::kJapanese},
}};

}  // namespace

const CdTextEntry& CdTextBlock::Track(int number) const
{
    static const CdTextEntry none;
    if (number < 1 || static_cast<std::size_t>(number) > tracks.size()) return none;
    return tracks[static_cast<std::size_t>(number) - 1];
}

std::optional<std::uint8_t> CdTextLanguageOfLocale(std::string_view locale)
{
    // "ll", "ll_CC", "ll.charset", "ll@modifier" and their combinations.
    const std::string_view language = locale.substr(0, locale.find_first_of("_.@"));
    for (const LocaleLanguage& entry : kLocaleLanguages)
        if (entry.name == language) return entry.code;
    return std::nullopt;
}

std::optional<std::uint8_t> UserCdTextLanguage()
{
    for (const char* variable : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (!value || !*value) continue;
        std::string_view locale(value);
        // LANGUAGE is a list in order of preference.
        if (std::string_view(variable) == "LANGUAGE") locale = locale.substr(0, locale.find(':'));
        return CdTextLanguageOfLocale(locale);
    }
    return std::nullopt;
}

const CdTextBlock* ChooseCdTextBlock(const CdText& text, std::optional<std::uint8_t> language)
{
    if (text.blocks.empty()) return nullptr;
    const CdTextBlock* lowest = &text.blocks.front();
    const CdTextBlock* first = nullptr;
    for (const CdTextBlock& block : text.blocks) {
        if (language && block.language == *language) return &block;
        if (block.number == 0) first = &block;
        if (block.number < lowest->number) lowest = &block;
    }
    return first ? first : lowest;
}

}  // namespace tesslow
