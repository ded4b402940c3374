#include "app/disc_record.h"
#include "drive/disc_probe.h"
#include "metadata/track_titles.h"
#include "platform/messages.h"
#include "preview/ds_api_i.h"
#include "preview/playback_thread.h"
#include "support/recording_sink.h"
#include "support/temp_dir.h"
#include "support/test_disc.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <thread>
#include <unordered_map>

namespace tesslow {
namespace {

using namespace std::chrono_literals;
using test::TempDir;

using Frame = std::pair<std::int16_t, std::int16_t>;
constexpr std::size_t kFramesPerSecond = 44100;

std::vector<Frame> Frames(const std::string& bytes)
{
    std::vector<Frame> frames(bytes.size() / 4);
    for (std::size_t i = 0; i < frames.size(); ++i) {
        std::memcpy(&frames[i].first, bytes.data() + 4 * i, 2);
        std::memcpy(&frames[i].second, bytes.data() + 4 * i + 2, 2);
    }
    return frames;
}

bool Silent(const Frame& frame) { return frame.first == 0 && frame.second == 0; }

// Plays previews of a disc in the emulated drive through SDL's disk audio
// driver, which writes what would be heard, in real time, to a file.
class Playback : public ::testing::Test {
protected:
    void Insert(std::vector<std::string> conditions = {})
    {
        test::TestDisc disc{.tracks = {{90}, {300}}, .conditions = std::move(conditions)};
        written = test::WriteTestDisc(dir.Path(), disc);
        key = written.cue.string();
        ASSERT_TRUE(ProbeDisc(records, key));
        disc_ = Frames(test::DiscBytes(written, written.starts[0], 390));
    }

    // Plays track `track` into a recording until `until` says stop, and waits
    // until the device has closed. Returns the labels the page would have
    // shown, one per change.
    std::vector<std::string> Play(std::size_t track, const std::function<bool(std::int32_t)>& until,
                                  const std::string& recording = "heard.raw")
    {
        test::ScopedEnv file("SDL_DISKAUDIOFILE", (dir / recording).c_str());
        data.stop = false;
        std::thread thread([&] { end = RunPlayback(data, records, key, track, sink); });
        std::vector<std::string> labels;
        while (sink.Of(UM_PLAYBACK_ENDED).size() == ended) {
            const std::int32_t position = data.position;
            const std::string label = TitleAtDiscPosition(records[key], position);
            if (labels.empty() || labels.back() != label) labels.push_back(label);
            if (until(position)) data.stop = true;
            std::this_thread::sleep_for(20ms);
        }
        thread.join();
        ++ended;
        ProcessSoundDevice().release(true);  // lets the fade play out, closes the device
        heard = Frames(test::ReadFile(dir / recording));
        return labels;
    }

    // Where disc frame 0 lies in the recording: found from a run of frames
    // heard exactly, past any fade-in.
    std::ptrdiff_t Alignment() const
    {
        std::unordered_multimap<std::uint64_t, std::size_t> index;
        auto keyAt = [](const std::vector<Frame>& frames, std::size_t i) {
            std::uint64_t key = 0;
            for (std::size_t k = 0; k < 2; ++k) {
                key = key << 32 | static_cast<std::uint16_t>(frames[i + k].first) << 16 |
                      static_cast<std::uint16_t>(frames[i + k].second);
            }
            return key;
        };
        for (std::size_t i = 0; i + 2 < disc_.size(); ++i) index.emplace(keyAt(disc_, i), i);
        for (std::size_t h = 0; h + 2 < heard.size(); ++h) {
            if (Silent(heard[h])) continue;
            const auto [begin, endHit] = index.equal_range(keyAt(heard, h));
            for (auto hit = begin; hit != endHit; ++hit) {
                const std::size_t d = hit->second;
                if (d + 1000 < disc_.size() && h + 1000 < heard.size() &&
                    std::equal(heard.begin() + h, heard.begin() + h + 1000, disc_.begin() + d)) {
                    return static_cast<std::ptrdiff_t>(h) - static_cast<std::ptrdiff_t>(d);
                }
            }
        }
        return -1;
    }

    TempDir dir;
    test::ScopedEnv driver_{"SDL_AUDIODRIVER", "disk"};
    test::ScopedEnv file_{"SDL_DISKAUDIOFILE", (dir / "sound-check.raw").c_str()};
    DiscRecords records;
    test::WrittenDisc written;
    std::string key;
    std::vector<Frame> disc_;  // the disc's audio from track 1 on
    std::vector<Frame> heard;
    PlaybackData data;
    test::RecordingSink sink;
    PlaybackEnd end;
    std::size_t ended = 0;
};

TEST_F(Playback, TheDiscIsHeardInOrderIntoTheNextTrackAndStopFadesOutOverAFifthOfASecond)
{
    Insert();
    const std::int32_t second = written.starts[1];
    const auto labels = Play(0, [&](std::int32_t position) { return position >= second + 100; });
    EXPECT_EQ(end.error, "");
    EXPECT_FALSE(end.soundMissing);
    ASSERT_GE(labels.size(), 3u);
    EXPECT_EQ(labels.front(), "Track 01 (0:00)");
    EXPECT_EQ(labels[1], "Track 01 (0:01)");
    EXPECT_EQ(labels.back(), "Track 02 (0:01)");
    EXPECT_NE(std::find(labels.begin(), labels.end(), "Track 02 (0:00)"), labels.end());

    // From its first sound on, the recording is the disc, sample for sample,
    // well into the second track; no fade-in on a first play.
    const auto first = std::find_if_not(heard.begin(), heard.end(), Silent);
    ASSERT_NE(first, heard.end());
    ASSERT_EQ(Alignment(), first - heard.begin());
    const std::size_t exact = static_cast<std::size_t>(
        std::mismatch(first, heard.end(), disc_.begin(), disc_.end()).first - first);
    EXPECT_GT(exact, 90 * 588 + kFramesPerSecond / 2);

    // Then it fades to silence within about 0.2 s and stays silent.
    const auto last = std::find_if_not(heard.rbegin(), heard.rend(), Silent);
    const std::size_t fade = static_cast<std::size_t>(heard.rend() - last) - static_cast<std::size_t>(first - heard.begin()) - exact;
    EXPECT_GT(fade, kFramesPerSecond * 15 / 100);
    EXPECT_LT(fade, kFramesPerSecond * 25 / 100);
}

TEST_F(Playback, PlayingAgainAfterAStopFadesInOverAFifthOfASecond)
{
    Insert();
    const std::int32_t start = written.starts[0];
    Play(0, [&](std::int32_t position) { return position >= start + 40; }, "first.raw");
    Play(0, [&](std::int32_t position) { return position >= start + 100; }, "second.raw");

    const std::ptrdiff_t offset = Alignment();
    ASSERT_GT(offset, 0);
    const auto at = [&](std::size_t frame) { return heard[static_cast<std::size_t>(offset) + frame]; };
    // Silent or quieter than the disc at first, rising to the disc itself.
    std::size_t firstExact = 0;
    while (at(firstExact) != disc_[firstExact]) {
        EXPECT_LE(std::abs(at(firstExact).first), std::abs(disc_[firstExact].first) + 1) << firstExact;
        ++firstExact;
    }
    EXPECT_GT(firstExact, kFramesPerSecond * 15 / 100);
    EXPECT_LT(firstExact, kFramesPerSecond * 25 / 100);
    EXPECT_TRUE(std::all_of(heard.begin(), heard.begin() + offset, Silent));
}

TEST_F(Playback, ADriveSlowerThanRealTimeLeavesGapsOfSilenceButNeverRepeatsSound)
{
    Insert({"SPEED 50"});  // two thirds of real time
    const std::int32_t start = written.starts[0];
    Play(0, [&](std::int32_t position) { return position >= start + 200; });

    std::size_t next = 0, gaps = 0, silentRun = 0, sound = 0;
    for (const Frame& frame : heard) {
        if (Silent(frame)) {
            ++silentRun;
            continue;
        }
        ++sound;
        if (next < disc_.size() && frame == disc_[next]) {
            if (next != 0 && silentRun > kFramesPerSecond / 100) ++gaps;
            ++next;
        }
        silentRun = 0;
    }
    // Everything heard is the disc in order, but for the final fade-out.
    EXPECT_GT(next, 150u * 588);
    EXPECT_LT(sound - next, kFramesPerSecond / 4);
    EXPECT_GE(gaps, 1u);
}

TEST_F(Playback, EndsAtOnceWithoutSoundOrWithoutADrive)
{
    Insert();
    {
        test::ScopedEnv none("SDL_AUDIODRIVER", "no-such-driver");
        const auto started = std::chrono::steady_clock::now();
        end = RunPlayback(data, records, key, 0, sink);
        EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
        EXPECT_TRUE(end.soundMissing);
        EXPECT_EQ(sink.Ids(), std::vector<std::uint32_t>{UM_PLAYBACK_ENDED});
        EXPECT_EQ(data.out, nullptr);
    }
    test::WriteFile(dir / "not-a-drive", "x");
    end = RunPlayback(data, records, (dir / "not-a-drive").string(), 0, sink);
    EXPECT_FALSE(end.soundMissing);
    EXPECT_EQ(end.error, "Cannot access CD drive: No such device.");
    EXPECT_EQ(sink.Ids(), (std::vector<std::uint32_t>{UM_PLAYBACK_ENDED, UM_PLAYBACK_ENDED}));
}

}  // namespace
}  // namespace tesslow
