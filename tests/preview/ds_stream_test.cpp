#include "preview/ds_stream_i.h"
#include "preview/sound_device.h"

#include <gtest/gtest.h>

#include <cmath>
#include <mutex>
#include <random>

namespace tesslow {
namespace {

constexpr PcmFormat kCd{44100, 2, 16, false};
constexpr std::size_t kFrame = 4;
constexpr std::size_t kTick = 441;  // frames in the service's 10 ms

// A device whose buffers nobody plays: the test moves the play cursor.
class HandDevice final : public SoundDevice {
public:
    std::shared_ptr<SoundBuffer> CreateSoundBuffer(const PcmFormat& format, std::size_t bytes) override
    {
        buffer = std::make_shared<SoundBuffer>(format, bytes, [this] { return restores; });
        return buffer;
    }
    void Service() override
    {
        if (gone && buffer) buffer->MarkLost();
    }

    std::shared_ptr<SoundBuffer> buffer;
    bool gone = false;
    bool restores = true;
};

// Frame k of the producer's sound: never silent, different from every other.
std::pair<std::int16_t, std::int16_t> FrameOf(std::size_t k)
{
    return {static_cast<std::int16_t>(k % 32000 + 1), static_cast<std::int16_t>(k / 32000 + 1)};
}

// One stream, its producer and what the device played, ticking 10 ms at a time.
class Stream : public ::testing::Test {
protected:
    Stream() : stream(ds_stream_params{.format = kCd}, section) {}

    // Offers `frames` more frames of the sound; returns how many were taken.
    std::size_t Produce(std::size_t frames)
    {
        frames = std::min(frames, stream.can_write_bytes() / kFrame);
        std::vector<std::int16_t> samples;
        for (std::size_t i = 0; i < frames; ++i) {
            const auto [left, right] = FrameOf(produced + i);
            samples.push_back(left);
            samples.push_back(right);
        }
        if (frames != 0) {
            EXPECT_TRUE(stream.write(samples.data(), frames * kFrame));
        }
        produced += frames;
        return frames;
    }

    // One service run; a finished stream lets go of its buffer, as the
    // device wrapper has it do.
    bool Service()
    {
        std::lock_guard lock(*section);
        const bool alive = stream.service(device);
        if (!alive) stream.destroy_buffer();
        return alive;
    }

    // Hands over `frames` frames through the staging ring, without playing.
    void Feed(std::size_t frames)
    {
        for (std::size_t taken = 0; taken < frames;) {
            taken += Produce(frames - taken);
            Service();
        }
    }

    // The device plays `frames` frames.
    void Play(std::size_t frames)
    {
        std::vector<std::int16_t> out(frames * 2, 0);
        if (device.buffer) device.buffer->MixInto(out.data(), frames);
        heard.insert(heard.end(), out.begin(), out.end());
    }

    // Checks that the frames heard from `from` on are the sound, in order,
    // with nothing but silence between; returns the silent frames between the
    // first and the last frame of sound.
    std::size_t ExpectSoundInOrder(std::size_t from = 0, std::size_t first = 0)
    {
        std::size_t next = first, gaps = 0, silentRun = 0;
        for (std::size_t f = from; f < heard.size() / 2; ++f) {
            const std::pair<std::int16_t, std::int16_t> frame{heard[2 * f], heard[2 * f + 1]};
            if (frame.first == 0 && frame.second == 0) {
                ++silentRun;
                continue;
            }
            if (frame != FrameOf(next)) {
                ADD_FAILURE() << "frame " << f << " is not frame " << next << " of the sound";
                return gaps;
            }
            if (next != first) gaps += silentRun;
            silentRun = 0;
            ++next;
        }
        heardSound = next - first;
        return gaps;
    }

    std::shared_ptr<std::mutex> section = std::make_shared<std::mutex>();
    HandDevice device;
    ds_stream_i stream;
    std::size_t produced = 0;
    std::size_t heardSound = 0;
    std::vector<std::int16_t> heard;
};

TEST(StreamSizes, FollowFromTheBufferLength)
{
    struct Case {
        std::uint32_t bufferMs;
        ds_stream_sizes bytes;
    };
    const Case cases[] = {
        // A preview: 250 ms staging, 2 s buffer, 1 s target, 0.5 s prebuffer, 50 ms lead, 0.5 s silence.
        {1000, {44100, 352800, 176400, 88200, 8820, 88200}},
        // Longer buffers add 2 s; the silence chunk is half the spare room.
        {3000, {44100, 882000, 529200, 264600, 8820, 176400}},
        {30000, {44100, 5644800, 5292000, 1764000, 8820, 176400}},
    };
    for (const Case& c : cases) {
        const ds_stream_sizes sizes = ds_stream_sizes::For({.format = kCd, .bufferMs = c.bufferMs});
        SCOPED_TRACE(c.bufferMs);
        EXPECT_EQ(sizes.staging, c.bytes.staging);
        EXPECT_EQ(sizes.secondary, c.bytes.secondary);
        EXPECT_EQ(sizes.targetFill, c.bytes.targetFill);
        EXPECT_EQ(sizes.prebuffer, c.bytes.prebuffer);
        EXPECT_EQ(sizes.minimumLead, c.bytes.minimumLead);
        EXPECT_EQ(sizes.silenceChunk, c.bytes.silenceChunk);
    }
}

TEST(StreamVolume, IsTwoThousandTimesTheLogarithmInHundredthsOfADecibel)
{
    EXPECT_EQ(VolumeInHundredthsOfDecibel(1.0), 0);
    EXPECT_EQ(VolumeInHundredthsOfDecibel(0.5), -602);
    EXPECT_EQ(VolumeInHundredthsOfDecibel(0.1), -2000);
    EXPECT_EQ(VolumeInHundredthsOfDecibel(0.0), kVolumeMin);
    EXPECT_EQ(VolumeInHundredthsOfDecibel(1e-9), kVolumeMin);
    EXPECT_NEAR(GainOfVolume(-602), 0.5, 0.001);
    EXPECT_EQ(GainOfVolume(kVolumeMin), 0.0);
    EXPECT_EQ(GainOfVolume(0), 1.0);
}

TEST_F(Stream, PrebuffersHalfASecondThenKeepsOneSecondQueued)
{
    EXPECT_EQ(stream.can_write_bytes(), 44100u);  // the staging ring
    Produce(20000);
    EXPECT_EQ(stream.can_write_bytes(), 0u);
    EXPECT_TRUE(Service());
    EXPECT_FALSE(stream.is_playing());
    EXPECT_EQ(stream.get_buffered_bytes(), 44100u);
    Produce(11025);
    EXPECT_TRUE(Service());
    EXPECT_TRUE(stream.is_playing());  // 0.5 s written
    EXPECT_NEAR(stream.get_latency_seconds(), 0.5, 1e-9);

    // The producer fills up to the target of one second and no further.
    for (int tick = 0; tick < 200; ++tick) {
        Produce(SIZE_MAX);
        Service();
        Play(kTick);
    }
    Produce(SIZE_MAX);
    EXPECT_EQ(stream.get_buffered_bytes(), 176400u);
    EXPECT_EQ(stream.can_write_bytes(), 0u);
    EXPECT_EQ(ExpectSoundInOrder(), 0u);
    EXPECT_EQ(heardSound, 200 * kTick);
}

TEST_F(Stream, RunningDryIsAnUnderrunThatPrebuffersAgainFromSilence)
{
    for (int tick = 0; tick < 100; ++tick) {  // one second: all of it is heard
        Produce(30000 - produced);
        Service();
        Play(kTick);
    }
    EXPECT_TRUE(Service());
    EXPECT_FALSE(stream.is_playing());
    EXPECT_EQ(stream.get_buffered_bytes(), 0u);
    EXPECT_EQ(device.buffer->GetCurrentPosition(), 0u);

    // New sound starts only once half a second is there again.
    Feed(22000);
    Play(kTick);
    EXPECT_FALSE(stream.is_playing());
    Feed(100);
    EXPECT_TRUE(stream.is_playing());
    for (int tick = 0; tick < 60; ++tick) {
        Service();
        Play(kTick);
    }
    EXPECT_GT(ExpectSoundInOrder(), 0u);
    EXPECT_EQ(heardSound, 52100u);
}

TEST_F(Stream, SoundArrivingLateIsWrittenTheMinimumLeadAheadOfTheCursor)
{
    Feed(22050);
    ASSERT_TRUE(stream.is_playing());
    Play(22050 - 441);  // 10 ms of sound left queued
    Produce(4410);
    Service();
    Play(10000);
    // The 40 ms between the old end and the lead of 50 ms are silence.
    EXPECT_EQ(ExpectSoundInOrder(), 8820u / kFrame - 441);
    EXPECT_EQ(heardSound, 22050u + 4410u);
}

TEST_F(Stream, AProducerSlowerThanTheDeviceCausesSilenceNeverOldSound)
{
    // Twenty seconds of a producer that delivers 70% of real time in bursts,
    // with stalls of up to half a second; the buffer wraps many times.
    std::mt19937 random(7);
    std::uniform_int_distribution<int> stall(0, 49);
    std::size_t owed = 0;
    for (int tick = 0; tick < 2000; ++tick) {
        owed += kTick * 7 / 10;
        if (tick % 50 >= stall(random)) owed -= Produce(owed);
        Service();
        Play(kTick);
    }
    for (int tick = 0; tick < 300; ++tick) {  // the rest plays out
        Service();
        Play(kTick);
    }
    EXPECT_GT(ExpectSoundInOrder(), 0u);
    EXPECT_EQ(heardSound, produced);
}

TEST_F(Stream, ReleaseWithFadeRampsToSilenceOverTheFadeThenEnds)
{
    Feed(40000);
    Play(kTick);
    const std::size_t start = heard.size() / 2;
    stream.release_fade(0.2);
    bool alive = true;
    for (int tick = 0; tick < 40 && alive; ++tick) {
        alive = Service();
        Play(kTick);
    }
    EXPECT_FALSE(alive);
    // Left channel gain against the sound: falling from 1 to 0 over 0.2 s.
    auto gainAt = [&](double seconds) {
        const std::size_t f = start + static_cast<std::size_t>(seconds * 44100);
        return static_cast<double>(heard[2 * f]) / FrameOf(f).first;
    };
    EXPECT_NEAR(gainAt(0.005), 1.0, 0.06);
    EXPECT_NEAR(gainAt(0.1), 0.5, 0.06);
    EXPECT_NEAR(gainAt(0.195), 0.0, 0.06);
    Play(4410);  // the buffer is gone: nothing more is heard
    EXPECT_TRUE(std::all_of(heard.begin() + 2 * (start + 8820 + kTick), heard.end(), [](auto v) { return v == 0; }));
}

TEST_F(Stream, AFadeInRisesFromSilenceOverItsTime)
{
    ASSERT_TRUE(stream.fade(0.0, 1.0, 0.2));
    Feed(30000);
    for (int tick = 0; tick < 30; ++tick) {
        Produce(SIZE_MAX);
        Service();
        Play(kTick);
    }
    auto gainAt = [&](double seconds) {
        const std::size_t f = static_cast<std::size_t>(seconds * 44100);
        return static_cast<double>(heard[2 * f]) / FrameOf(f).first;
    };
    EXPECT_NEAR(gainAt(0.005), 0.0, 0.06);
    EXPECT_NEAR(gainAt(0.1), 0.5, 0.06);
    EXPECT_NEAR(gainAt(0.25), 1.0, 1e-3);
}

TEST_F(Stream, ALostBufferIsRestoredOrTheStreamFails)
{
    Feed(30000);
    ASSERT_TRUE(stream.is_playing());

    device.gone = true;
    device.Service();
    device.gone = false;
    EXPECT_TRUE(Service());  // restored: plays on
    Play(kTick);
    EXPECT_FALSE(stream.has_failed());
    EXPECT_EQ(ExpectSoundInOrder(), 0u);
    EXPECT_EQ(heardSound, kTick);

    device.gone = true;
    device.restores = false;
    device.Service();
    EXPECT_TRUE(Service());
    EXPECT_TRUE(stream.has_failed());
    EXPECT_EQ(stream.can_write_bytes(), 0u);
    EXPECT_FALSE(stream.pause(true));
    EXPECT_FALSE(stream.fade(1, 0, 1));
    stream.release_fade(0.2);  // at once
    EXPECT_FALSE(Service());
}

}  // namespace
}  // namespace tesslow
