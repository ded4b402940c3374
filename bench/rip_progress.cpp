// How smoothly a rip's progress moves on a slow drive, as the progress page
// sees it: the rip worker reads a disc from an emulated drive limited to
// --speed sectors a second (150: double speed) with jitter correction, and a
// 500 ms clock, like the page's timer, samples the last progress message.
// Prints, after the first second of each track, the share of ticks at which
// the track bar moved, and, after the first 10 s of the job and while 10 s or
// more are left, how far the page's estimate of the time left (RipClock) was
// from the time actually left: the median, 90th percentile and largest
// error. PROGRESS_TRACE=1 prints every tick.
//
//   build/bench/bench_rip_progress [--tracks 3] [--seconds 20] [--speed 150]

#include "app/disc_record.h"
#include "drive/toc_reader.h"
#include "encoding/overwrite.h"
#include "platform/message_sink.h"
#include "platform/messages.h"
#include "ripper/rip_clock.h"
#include "ripper/rip_worker.h"
#include "support/temp_dir.h"
#include "support/test_disc.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace tesslow;
using Clock = std::chrono::steady_clock;

// Keeps the last progress and the job range, as the page stores them.
class ProgressSink final : public MessageSink {
public:
    void Post(std::uint32_t id, std::uintptr_t wParam, std::intptr_t lParam) override
    {
        std::lock_guard lock(mutex);
        if (id == UM_RIP_PROGRESS) {
            track = static_cast<std::int64_t>(wParam);
            job = lParam;
        } else if (id == UM_RIP_TOTAL_RANGE) {
            range = static_cast<std::int64_t>(wParam);
        } else if (id == UM_RIP_TRACK_STARTED) {
            ++trackStarts;
            track = 0;
        } else if (id == UM_RIP_FINISHED) {
            finished = true;
        }
    }
    std::intptr_t Send(std::uint32_t id, std::uintptr_t wParam, std::intptr_t lParam) override
    {
        if (id != UM_RIP_QUERY_CANCEL) Post(id, wParam, lParam);
        return 0;
    }

    std::mutex mutex;
    std::int64_t track = 0, job = 0, range = 0;
    int trackStarts = 0;
    bool finished = false;
};

struct Sample {
    double at = 0;  // seconds since the start
    std::int64_t track = 0, job = 0, range = 0;
    int trackStarts = 0;
    std::int32_t estimate = -1;
};

int Option(int argc, char** argv, const char* name, int fallback)
{
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], name) == 0) return std::atoi(argv[i + 1]);
    return fallback;
}

}  // namespace

int main(int argc, char** argv)
{
    const int tracks = Option(argc, argv, "--tracks", 3);
    const int seconds = Option(argc, argv, "--seconds", 20);
    const int speed = Option(argc, argv, "--speed", 150);

    test::TempDir dir;
    test::TestDisc disc;
    for (int t = 0; t < tracks; ++t) disc.tracks.push_back({.sectors = seconds * 75});
    disc.conditions = {"SPEED " + std::to_string(speed)};
    const test::WrittenDisc written = test::WriteTestDisc(dir.Path(), disc);
    DiscRecords records;
    ReadToc(records, written.cue.string());

    auto sink = std::make_shared<ProgressSink>();
    RipWorkerSetup setup;
    setup.job.driveKey = written.cue.string();
    setup.job.format = FormatCode::Wav;
    setup.job.NameTemplate = "%5";
    setup.job.OutputFolder = (dir / "out").string();
    for (int t = 0; t < tracks; ++t) setup.job.SelectedTracks.push_back(static_cast<std::uint32_t>(t));
    setup.disc = records[written.cue.string()];
    setup.settings.jitterCorrection = true;
    setup.sink = sink;
    setup.overwrite = std::make_shared<OverwritePolicy>();

    const Clock::time_point start = Clock::now();
    std::thread worker([&] { RipWorker(std::move(setup)).Run(); });
    RipClock clock;
    clock.Start(0);
    std::vector<Sample> samples;
    for (int tick = 1;; ++tick) {
        std::this_thread::sleep_until(start + std::chrono::milliseconds(RipClock::kTickMs * tick));
        Sample sample;
        sample.at = std::chrono::duration<double>(Clock::now() - start).count();
        {
            std::lock_guard lock(sink->mutex);
            if (sink->finished) break;
            sample.track = sink->track;
            sample.job = sink->job;
            sample.range = sink->range;
            sample.trackStarts = sink->trackStarts;
        }
        clock.SetJobRange(sample.range);
        clock.SetJobPosition(sample.job);
        clock.Tick(static_cast<std::uint64_t>(sample.at * 1000));
        sample.estimate = clock.EstimateSeconds();
        samples.push_back(sample);
    }
    worker.join();
    const double total = std::chrono::duration<double>(Clock::now() - start).count();
    if (std::getenv("PROGRESS_TRACE"))
        for (const Sample& sample : samples)
            std::printf("%6.2f %d %8lld %8lld %5d %6.1f\n", sample.at, sample.trackStarts,
                        static_cast<long long>(sample.track / 2352), static_cast<long long>(sample.job / 2352),
                        sample.estimate, total - sample.at);

    // The track bar: ticks after the first second of a track at which it moved.
    int ticks = 0, moved = 0;
    double trackStart = 0;
    for (std::size_t i = 1; i < samples.size(); ++i) {
        if (samples[i].trackStarts != samples[i - 1].trackStarts) trackStart = samples[i].at;
        if (samples[i].at - trackStart < 1.0 || samples[i].trackStarts != samples[i - 1].trackStarts) continue;
        if (samples[i].track >= std::int64_t{seconds} * 75 * 2352) continue;  // the track is read; verifying
        ++ticks;
        if (samples[i].track != samples[i - 1].track) ++moved;
    }
    // The estimate after the first 10 s, against the time actually left.
    std::vector<double> errors;
    int unknown = 0;
    for (const Sample& sample : samples) {
        if (sample.at < 10) continue;
        const double left = total - sample.at;
        if (left < 10) continue;  // a second off is a large share of the last few
        if (sample.estimate < 0) {
            ++unknown;
            continue;
        }
        errors.push_back(std::abs(sample.estimate - left) / left);
    }
    std::sort(errors.begin(), errors.end());
    std::printf("%d tracks of %d s at %d sectors/s: %.1f s\n", tracks, seconds, speed, total);
    std::printf("track bar moved at %d of %d ticks (%.0f%%) after each track's first second\n", moved, ticks,
                ticks ? 100.0 * moved / ticks : 0.0);
    if (!errors.empty())
        std::printf("estimate after 10 s, while 10 s or more are left: median error %.0f%%, 90th percentile %.0f%%, "
                    "largest %.0f%%, unknown at %d ticks\n",
                    100 * errors[errors.size() / 2], 100 * errors[errors.size() * 9 / 10], 100 * errors.back(), unknown);
    return 0;
}
