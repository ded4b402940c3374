#include "drive/emulated_cd_text.h"

#include "drive/cd_text.h"
#include "platform/utf.h"

#include <algorithm>
#include <array>
#include <string>

namespace tesslow {

namespace {

// One block holds at most 256 packs; three of them are the 8Fh packs.
constexpr std::size_t kMaxTextPacks = 256 - 3;

std::string Latin1(std::string_view utf8)
{
    std::string result;
    for (std::size_t at = 0; at < utf8.size();) {
        const char32_t c = DecodeUtf8(utf8, at);
        result += c <= 0xFF ? static_cast<char>(c) : '?';
    }
    return result;
}

void AppendPack(std::vector<std::uint8_t>& packs, std::array<std::uint8_t, kCdTextPackBytes> pack)
{
    const std::uint16_t crc = CdTextPackCrc(pack);
    pack[16] = static_cast<std::uint8_t>(crc >> 8);
    pack[17] = static_cast<std::uint8_t>(crc);
    packs.insert(packs.end(), pack.begin(), pack.end());
}

}  // namespace

std::vector<std::uint8_t> EmulatedCdTextPacks(const DiscImage& image)
{
    const auto& tracks = image.Tracks();
    using Field = std::string CdTextEntry::*;
    constexpr std::array<std::pair<std::uint8_t, Field>, 3> kKinds = {{
        {kCdTextTitle, &CdTextEntry::title},
        {kCdTextPerformer, &CdTextEntry::performer},
        {kCdTextSongwriter, &CdTextEntry::songwriter},
    }};

    std::vector<std::uint8_t> packs;
    std::array<std::uint8_t, 16> packCounts{};  // per type 80h..8Fh
    int sequence = 0;
    for (const auto& [type, field] : kKinds) {
        bool given = !(image.DiscText().*field).empty();
        for (const ImageTrack& track : tracks) given = given || !(track.text.*field).empty();
        if (!given) continue;

        // The strings of the disc and of each track in turn, with the track
        // each character belongs to and its position in that string.
        std::string stream;
        std::vector<std::pair<int, int>> owner;  // per character: track, position
        auto add = [&](int number, const std::string& text) {
            const std::string bytes = text + '\0';
            for (std::size_t i = 0; i < bytes.size(); ++i) {
                stream += bytes[i];
                owner.emplace_back(number, static_cast<int>(i));
            }
        };
        add(0, Latin1(image.DiscText().*field));
        std::string previous;
        for (std::size_t t = 0; t < tracks.size(); ++t) {
            const std::string text = Latin1(tracks[t].text.*field);
            add(tracks[t].number, t > 0 && !text.empty() && text == previous ? "\t" : text);
            previous = text;
        }

        for (std::size_t at = 0; at < stream.size() && sequence < int(kMaxTextPacks); at += kCdTextPayloadBytes) {
            std::array<std::uint8_t, kCdTextPackBytes> pack{};
            pack[0] = type;
            pack[1] = static_cast<std::uint8_t>(owner[at].first);
            pack[2] = static_cast<std::uint8_t>(sequence++);
            pack[3] = static_cast<std::uint8_t>(std::min(owner[at].second, 15));  // block 0, single-byte
            for (std::size_t i = 0; i < kCdTextPayloadBytes && at + i < stream.size(); ++i)
                pack[4 + i] = static_cast<std::uint8_t>(stream[at + i]);
            AppendPack(packs, pack);
            ++packCounts[type - 0x80];
        }
    }
    if (packs.empty()) return packs;

    // The block's size information, 36 bytes over three packs: character
    // code, first and last track, copyright, pack count per type, last
    // sequence number per block, language per block.
    packCounts[kCdTextBlockSize - 0x80] = 3;
    std::array<std::uint8_t, 36> info{};
    info[0] = kCdTextIso8859_1;
    info[1] = static_cast<std::uint8_t>(tracks.front().number);
    info[2] = static_cast<std::uint8_t>(tracks.back().number);
    for (std::size_t i = 0; i < packCounts.size(); ++i) info[4 + i] = packCounts[i];
    info[20] = static_cast<std::uint8_t>(sequence + 2);  // block 0's last pack
    info[28] = cd_text_language::kEnglish;
    for (int part = 0; part < 3; ++part) {
        std::array<std::uint8_t, kCdTextPackBytes> pack{};
        pack[0] = kCdTextBlockSize;
        pack[1] = static_cast<std::uint8_t>(part);
        pack[2] = static_cast<std::uint8_t>(sequence++);
        for (std::size_t i = 0; i < kCdTextPayloadBytes; ++i) pack[4 + i] = info[part * kCdTextPayloadBytes + i];
        AppendPack(packs, pack);
    }
    return packs;
}

}  // namespace tesslow
