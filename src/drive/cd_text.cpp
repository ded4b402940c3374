#include "drive/cd_text.h"

#include "drive/mmc.h"
#include "platform/utf.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <optional>
#include <string>
#include <vector>

namespace tesslow {

namespace {

constexpr int kBlocks = 8;
constexpr int kLastTrack = 99;

// The strings of one kind (title, performer, songwriter) in one block, by
// track number; 0 is the disc.
using RawStrings = std::array<std::optional<std::string>, kLastTrack + 1>;

// Joins the payloads of one kind of pack in one block into strings and puts
// each on its track. Where a pack is missing (dropped, or never sent) it
// starts again from what the next pack says about itself: its track number,
// and how many characters of that track's string came before it.
class StringStream {
public:
    RawStrings strings;

    void Add(const std::uint8_t* pack)
    {
        const bool follows = started_ && pack[2] == static_cast<std::uint8_t>(lastSequence_ + 1) && pack[1] == track_;
        if (!follows) {
            track_ = pack[1];
            current_.clear();
            // A string that began in a pack we do not have: its end is skipped.
            skipping_ = (pack[3] & 0x0F) != 0;
            doubleByte_ = (pack[3] & 0x80) != 0;
        }
        started_ = true;
        lastSequence_ = pack[2];
        const std::size_t unit = doubleByte_ ? 2 : 1;
        const std::uint8_t* text = pack + 4;
        for (std::size_t i = 0; i + unit <= kCdTextPayloadBytes; i += unit) {
            const bool end = text[i] == 0 && (unit == 1 || text[i + 1] == 0);
            if (!end) {
                if (!skipping_) current_.append(reinterpret_cast<const char*>(text + i), unit);
                continue;
            }
            if (!skipping_) Store();
            skipping_ = false;
            current_.clear();
            ++track_;
        }
    }

private:
    void Store()
    {
        if (track_ > kLastTrack) return;
        // A string of nothing but a TAB (two when double-byte): as the track before.
        if (current_ == (doubleByte_ ? "\t\t" : "\t")) {
            strings[track_] = track_ > 0 && strings[track_ - 1] ? *strings[track_ - 1] : std::string();
            return;
        }
        strings[track_] = current_;
    }

    bool started_ = false;
    std::uint8_t lastSequence_ = 0;
    int track_ = 0;
    bool skipping_ = false;
    bool doubleByte_ = false;
    std::string current_;
};

struct RawBlock {
    bool present = false;
    bool doubleByte = false;
    std::optional<std::uint8_t> characterCode;  // from the block's own first 8Fh pack
    std::optional<std::uint8_t> language;       // from the block's own third 8Fh pack
    std::array<StringStream, 3> text;           // 80h, 81h, 82h
};

class Iconv {
public:
    Iconv()
    {
        for (const char* name : {"CP932", "SHIFT_JIS"}) {
            handle_ = ::iconv_open("UTF-8", name);
            if (handle_ != reinterpret_cast<iconv_t>(-1)) return;
        }
    }
    ~Iconv()
    {
        if (Valid()) ::iconv_close(handle_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    bool Valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t Get() const { return handle_; }

private:
    iconv_t handle_ = reinterpret_cast<iconv_t>(-1);
};

// Shift-JIS (Microsoft's, as CD-Text's MS-JIS) to UTF-8; a byte that starts
// no character becomes U+FFFD.
std::string ShiftJisToUtf8(const std::string& text)
{
    Iconv converter;
    if (!converter.Valid()) return ValidUtf8(text);
    std::string result;
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    std::array<char, 256> buffer;
    while (inLeft > 0) {
        char* out = buffer.data();
        std::size_t outLeft = buffer.size();
        const std::size_t done = ::iconv(converter.Get(), &in, &inLeft, &out, &outLeft);
        result.append(buffer.data(), buffer.size() - outLeft);
        if (done != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
        // EILSEQ, or EINVAL for a character cut off at the end.
        AppendUtf8(result, U'\uFFFD');
        ++in;
        --inLeft;
        ::iconv(converter.Get(), nullptr, nullptr, nullptr, nullptr);
    }
    return result;
}

std::string Latin1ToUtf8(const std::string& text)
{
    std::string result;
    result.reserve(text.size());
    for (unsigned char c : text) AppendUtf8(result, c);
    return result;
}

std::string Decode(const RawBlock& block, const std::optional<std::string>& raw)
{
    if (!raw || raw->empty()) return {};
    const std::uint8_t code = block.characterCode.value_or(block.doubleByte ? kCdTextMsJis : kCdTextIso8859_1);
    if (code == kCdTextMsJis) return ShiftJisToUtf8(*raw);
    // Other double-byte codes (Korean, Chinese) are not decoded here.
    if (block.doubleByte) return {};
    return Latin1ToUtf8(*raw);
}

CdTextEntry Entry(const RawBlock& block, int track)
{
    return {Decode(block, block.text[0].strings[track]), Decode(block, block.text[1].strings[track]),
            Decode(block, block.text[2].strings[track])};
}

}  // namespace

std::uint16_t CdTextPackCrc(std::span<const std::uint8_t, kCdTextPackBytes> pack)
{
    std::uint16_t crc = 0;
    for (std::size_t i = 0; i < kCdTextPackBytes - 2; ++i) {
        crc ^= static_cast<std::uint16_t>(pack[i] << 8);
        for (int bit = 0; bit < 8; ++bit) crc = static_cast<std::uint16_t>(crc & 0x8000 ? (crc << 1) ^ 0x1021 : crc << 1);
    }
    return static_cast<std::uint16_t>(~crc);
}

CdText ParseCdText(std::span<const std::uint8_t> answer)
{
    CdText result;
    if (answer.size() < 4) return result;
    // The data length counts the bytes after itself; trust it only as far as
    // the bytes go.
    const std::size_t end = std::min<std::size_t>(answer.size(), 2 + ReadBigEndian16(answer.data()));

    std::vector<RawBlock> blocks(kBlocks);  // large: kept off the stack
    std::array<std::optional<std::uint8_t>, kBlocks> listedLanguage;  // from any block's third 8Fh pack

    for (std::size_t at = 4; at + kCdTextPackBytes <= end; at += kCdTextPackBytes) {
        const std::uint8_t* pack = answer.data() + at;
        const std::span<const std::uint8_t, kCdTextPackBytes> bytes(pack, kCdTextPackBytes);
        if (CdTextPackCrc(bytes) != ReadBigEndian16(pack + 16)) continue;
        const int number = (pack[3] >> 4) & 0x07;
        RawBlock& block = blocks[number];
        const std::uint8_t type = pack[0];
        if (type < 0x80 || type > 0x8F) continue;
        block.present = true;
        if (type >= kCdTextTitle && type <= kCdTextSongwriter) {
            if (pack[3] & 0x80) block.doubleByte = true;
            block.text[type - kCdTextTitle].Add(pack);
        } else if (type == kCdTextBlockSize) {
            const std::uint8_t* info = pack + 4;
            if (pack[1] == 0) block.characterCode = info[0];
            if (pack[1] == 2) {
                block.language = info[4 + number];
                for (int b = 0; b < kBlocks; ++b)
                    if (!listedLanguage[b]) listedLanguage[b] = info[4 + b];
            }
        }
    }

    for (int number = 0; number < kBlocks; ++number) {
        const RawBlock& raw = blocks[number];
        if (!raw.present) continue;
        CdTextBlock block;
        block.number = number;
        block.language = raw.language.value_or(listedLanguage[number].value_or(0));
        block.characterCode = raw.characterCode.value_or(raw.doubleByte ? kCdTextMsJis : kCdTextIso8859_1);
        block.disc = Entry(raw, 0);
        // The zeros that pad a kind's last pack read as empty strings of
        // tracks after the last: the list ends with the last track that has text.
        int lastTrack = 0;
        for (int track = 1; track <= kLastTrack; ++track)
            for (const StringStream& stream : raw.text)
                if (stream.strings[track] && !stream.strings[track]->empty()) lastTrack = track;
        for (int track = 1; track <= lastTrack; ++track) block.tracks.push_back(Entry(raw, track));
        result.blocks.push_back(std::move(block));
    }
    return result;
}

}  // namespace tesslow
