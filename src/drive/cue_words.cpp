#include "drive/cue_words.h"

#include "app/cd_audio.h"

#include <cctype>
#include <charconv>

namespace tesslow {

std::vector<std::string> SplitCueWords(const std::string& line)
{
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i]))) ++i;
        if (i >= line.size()) break;
        std::string word;
        if (line[i] == '"') {
            const std::size_t end = line.find('"', i + 1);
            word = line.substr(i + 1, end == std::string::npos ? std::string::npos : end - i - 1);
            i = end == std::string::npos ? line.size() : end + 1;
        } else {
            while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i]))) word += line[i++];
        }
        words.push_back(std::move(word));
    }
    return words;
}

std::string UpperCase(std::string text)
{
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::optional<std::int64_t> ParseInteger(const std::string& word, int base)
{
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value, base);
    if (error != std::errc() || end != word.data() + word.size() || word.empty()) return std::nullopt;
    return value;
}

std::optional<std::int32_t> ParseMsf(const std::string& word)
{
    const std::size_t a = word.find(':');
    const std::size_t b = a == std::string::npos ? a : word.find(':', a + 1);
    if (b == std::string::npos) return std::nullopt;
    const auto m = ParseInteger(word.substr(0, a)), s = ParseInteger(word.substr(a + 1, b - a - 1)),
               f = ParseInteger(word.substr(b + 1));
    if (!m || !s || !f || *m < 0 || *m > 999 || *s < 0 || *s >= 60 || *f < 0 || *f >= kSectorsPerSecond)
        return std::nullopt;
    return static_cast<std::int32_t>((*m * 60 + *s) * kSectorsPerSecond + *f);
}

}  // namespace tesslow
