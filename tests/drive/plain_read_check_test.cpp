#include "drive/plain_read_check.h"

#include "app/cd_audio.h"
#include "support/test_disc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

namespace tesslow {
namespace {

// A disc of kSectors sectors whose last track ends at the readable end; its
// last 2 sectors are to be confirmed, aligned on the 6 before them.
constexpr std::int32_t kSectors = 40;
constexpr std::int32_t kWindow = 8;
constexpr std::int32_t kWindowLba = kSectors - kWindow;

std::string Silence(std::int64_t sectors) { return std::string(static_cast<std::size_t>(sectors) * kSectorBytes, '\0'); }

struct Case {
    const char* name;
    std::string disc;                       // the true audio
    std::string delivered;                  // the window as the library delivered it
    std::vector<std::optional<int>> reads;  // the drive's shift in frames per attempt; nothing: the read fails
    std::int32_t expected;                  // tail sectors no read confirms
};

// Checks the last 2 sectors of `window` (delivered from kWindowLba) with the
// 6 before them as the anchor; answers how many no read confirmed.
std::int32_t Unconfirmed(const std::string& window, std::int32_t windowLba, std::int32_t firstReadable, int attempts,
                         const PlainRead& read)
{
    const auto bytes = std::span(reinterpret_cast<const std::uint8_t*>(window.data()), window.size());
    const std::size_t tail = std::min<std::size_t>(2 * kSectorBytes, bytes.size());
    const std::size_t anchor = bytes.size() - tail;
    const PlainReadVerdict verdict = CheckWithPlainReads(
        {.sectors = bytes.subspan(anchor), .lba = windowLba + static_cast<std::int32_t>(anchor / kSectorBytes),
         .anchor = bytes.first(anchor), .firstReadable = firstReadable,
         .readEnd = windowLba + static_cast<std::int32_t>(bytes.size() / kSectorBytes), .attempts = attempts},
        read);
    return static_cast<std::int32_t>(std::count(verdict.confirmed.begin(), verdict.confirmed.end(), false));
}

// What a drive that lands `shift` frames late delivers for `count` sectors
// from `lba`: nothing beyond the disc's end can be read, so zeros there.
std::string PlainRead(const std::string& disc, std::int32_t lba, std::int32_t count, int shift)
{
    std::string out(static_cast<std::size_t>(count) * kSectorBytes, '\0');
    for (std::size_t i = 0; i < out.size(); i += 4) {
        const std::int64_t from = std::int64_t(lba) * kSectorBytes + static_cast<std::int64_t>(i) + shift * 4;
        if (from >= 0 && from + 4 <= static_cast<std::int64_t>(disc.size())) std::memcpy(&out[i], &disc[from], 4);
    }
    return out;
}

TEST(PlainReadCheck, ATailIsConfirmedOnlyByAReadThatAgreesWithTheVerifiedAudioAndWithIt)
{
    const std::string music = test::TestAudio(0, kSectors, 7);
    auto window = [](const std::string& disc) { return disc.substr(kWindowLba * kSectorBytes); };
    std::string padded = window(music);  // the library's silence for the last 30 samples
    std::fill(padded.end() - 30 * 4, padded.end(), '\0');
    std::string twoLost = window(music);
    std::fill(twoLost.end() - 2 * kSectorBytes, twoLost.end(), '\0');
    // Music that starts in the tail after silence: no shift can be told.
    const std::string lateStart = Silence(kSectors - 2) + test::TestAudio(0, 2, 3);

    const Case cases[] = {
        {"an exact tail, an exact read", music, window(music), {0}, 0},
        {"an exact tail, a late read", music, window(music), {30}, 0},
        {"an exact tail, a late read by a whole sector", music, window(music), {588}, 0},
        {"early reads miss the last samples until a read lands right", music, window(music), {-30, -30, 0}, 0},
        {"early reads only", music, window(music), {-30, -30, -30}, 1},
        {"padded last samples, exact reads", music, padded, {0, 0}, 1},
        {"padded last samples, late reads", music, padded, {30, 30}, 1},
        {"two lost sectors", music, twoLost, {0, 30}, 2},
        {"reads that fail", music, window(music), {std::nullopt, std::nullopt}, 2},
        {"a failed read, then a good one", music, window(music), {std::nullopt, 0}, 0},
        {"silence throughout, shifted reads", Silence(kSectors), window(Silence(kSectors)), {30, -30}, 0},
        {"silence, then music delivered as silence", lateStart, window(Silence(kSectors)), {0, 30}, 2},
        {"silence, then music delivered right", lateStart, window(lateStart), {0}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::size_t attempt = 0;
        const std::int32_t unconfirmed = Unconfirmed(
            c.delivered, kWindowLba, 0, static_cast<int>(c.reads.size()),
            [&](std::int32_t lba, std::int32_t count, std::uint8_t* out) {
                EXPECT_EQ(lba + count, kSectors) << "a read of the window up to the track's end";
                const std::optional<int> shift = c.reads.at(attempt++);
                if (!shift) return false;
                const std::string bytes = PlainRead(c.disc, lba, count, *shift);
                std::memcpy(out, bytes.data(), bytes.size());
                return true;
            });
        EXPECT_EQ(unconfirmed, c.expected);
    }
}

TEST(PlainReadCheck, AShortTrackIsComparedAsItLiesAndNeverReadBeforeItsStart)
{
    const std::string music = test::TestAudio(0, 3, 2);
    const std::string delivered = music.substr(2 * kSectorBytes);  // a one-sector track at LBA 2
    for (const int shift : {0, 30}) {
        std::vector<std::int32_t> starts;
        const std::int32_t unconfirmed = Unconfirmed(
            delivered, 2, 2, 3, [&](std::int32_t lba, std::int32_t count, std::uint8_t* out) {
                starts.push_back(lba);
                const std::string bytes = PlainRead(music, lba, count, shift);
                std::memcpy(out, bytes.data(), bytes.size());
                return true;
            });
        EXPECT_EQ(unconfirmed, shift == 0 ? 0 : 1) << shift;
        for (const std::int32_t start : starts) EXPECT_EQ(start, 2);
    }
}

}  // namespace
}  // namespace tesslow
