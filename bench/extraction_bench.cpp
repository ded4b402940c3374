// Extraction benchmark, run by hand:
//
//     cmake --build build --target bench_extraction
//     build/bench/bench_extraction [--sparse] [--minutes M] [--rounds N] [--offset N] [--cancel-trials N]
//
// 1. Throughput: a clean 74-minute disc (333000 sectors in 20 tracks; --minutes
//    for another length, in as many tracks) on the
//    emulated drive, ripped track by track through the rip extraction thread
//    and its pipe, as the rip worker does, with jitter correction off and on.
//    Prints sectors per second and the multiple of real time (75 sectors/s),
//    of the best of --rounds rips of the whole disc (default 1).
//    The image is written with the test audio pattern (780 MB in $TMPDIR);
//    --sparse uses a sparse image (silence) instead. With --offset N the drive
//    delivers the audio N samples late and every read is corrected for it.
// 2. Cancel: a track on a drive with jitter, an unreadable range and a 40x
//    speed limit; the rip is cancelled at spread-out moments and the time the
//    stream's Stop takes (until the thread has ended) is measured.

#include "app/cd_audio.h"
#include "app/disc_record.h"
#include "drive/read_offset.h"
#include "drive/rip_stream.h"
#include "drive/toc_reader.h"
#include "support/temp_dir.h"
#include "support/test_disc.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

using namespace tesslow;
using Clock = std::chrono::steady_clock;

namespace {

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

struct TrackResult {
    std::size_t bytes = 0;
    bool readError = false;
};

// Rips one track as the worker does. When `cancelAfter` bytes have arrived it
// stops the stream, which waits for the thread; the wait is returned in
// `cancelTime`.
TrackResult RipTrack(const DiscRecord& disc, std::size_t track, bool correction, std::int32_t offset = 0,
                     std::size_t cancelAfter = 0, double* cancelTime = nullptr)
{
    RipStream stream = StartRipExtraction(disc, track, correction, ReadOffset{offset});
    TrackResult result;
    std::vector<char> chunk(kRipChunkBytes);
    for (;;) {
        const ssize_t n = stream.Read(chunk.data(), chunk.size());
        if (n <= 0) break;
        result.bytes += static_cast<std::size_t>(n);
        if (cancelAfter > 0 && result.bytes >= cancelAfter) {
            const auto stopAt = Clock::now();
            stream.Stop();
            if (cancelTime) *cancelTime = Seconds(Clock::now() - stopAt);
            break;
        }
    }
    stream.Stop();
    result.readError = stream.ReadError();
    return result;
}

// The disc of a written image, its table of contents read as the tracks page does.
const DiscRecord& Load(DiscRecords& records, const test::WrittenDisc& written)
{
    ReadToc(records, written.cue.string());
    return records[written.cue.string()];
}

void Throughput(bool sparse, int minutes, int rounds, std::int32_t offset)
{
    test::TempDir dir;
    test::TestDisc disc{.sparse = sparse};
    if (offset != 0) disc.conditions.push_back("OFFSET " + std::to_string(offset));
    const std::int32_t total = minutes * 60 * 75;
    for (int t = 0; t < 20; ++t) disc.tracks.push_back({total / 20});
    std::printf("Writing a %d-minute %s image...\n", minutes, sparse ? "sparse (silent)" : "patterned");
    std::fflush(stdout);
    const auto written = test::WriteTestDisc(dir.Path(), disc);
    DiscRecords records;
    const DiscRecord& record = Load(records, written);
    for (bool correction : {false, true}) {
        double seconds = 0;
        std::size_t bytes = 0;
        bool failed = false;
        for (int round = 0; round < rounds; ++round) {
            const auto begin = Clock::now();
            bytes = 0;
            for (std::size_t t = 0; t < record.tracks.size(); ++t) {
                const TrackResult r = RipTrack(record, t, correction, offset);
                bytes += r.bytes;
                failed = failed || r.readError;
            }
            const double time = Seconds(Clock::now() - begin);
            seconds = round == 0 ? time : std::min(seconds, time);
        }
        const double sectors = double(bytes) / kSectorBytes;
        std::printf("correction %-3s: %.0f sectors in %.2f s = %.0f sectors/s (%.0fx real time)%s\n",
                    correction ? "on" : "off", sectors, seconds, sectors / seconds, sectors / seconds / 75,
                    failed ? "  READ ERROR" : "");
        std::fflush(stdout);
    }
}

void Cancel(int trials)
{
    test::TempDir dir;
    const auto written = test::WriteTestDisc(
        dir.Path(),
        {.tracks = {{6000}, {750}}, .conditions = {"JITTER 30", "UNREADABLE 3000 3004", "SPEED 3000", "SEED 5"}});
    std::vector<double> times;
    for (int i = 0; i < trials; ++i) {
        DiscRecords records;  // a drive opened afresh for every trial
        const DiscRecord& record = Load(records, written);
        // Spread the cancel over the first 4500 sectors, around the scratch.
        const std::size_t after = (200 + std::size_t(i) * 4300 / std::max(1, trials - 1)) * kSectorBytes;
        double time = -1;
        RipTrack(record, 0, true, 0, after, &time);
        if (time >= 0) times.push_back(time * 1000);
    }
    std::sort(times.begin(), times.end());
    if (times.empty()) return;
    std::printf("cancel (jitter 30 samples, 5 unreadable sectors, 40x drive, correction on), %zu trials:\n"
                "  stop to thread end: min %.1f ms, median %.1f ms, max %.1f ms\n",
                times.size(), times.front(), times[times.size() / 2], times.back());
}

}  // namespace

int main(int argc, char** argv)
{
    bool sparse = false;
    int trials = 20;
    int rounds = 1;
    int minutes = 74;
    std::int32_t offset = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--sparse") == 0)
            sparse = true;
        else if (std::strcmp(argv[i], "--cancel-trials") == 0 && i + 1 < argc)
            trials = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--minutes") == 0 && i + 1 < argc)
            minutes = std::max(1, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--rounds") == 0 && i + 1 < argc)
            rounds = std::max(1, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--offset") == 0 && i + 1 < argc)
            offset = std::clamp(std::atoi(argv[++i]), -kLargestReadOffset, kLargestReadOffset);
        else {
            std::fprintf(stderr, "usage: bench_extraction [--sparse] [--minutes M] [--rounds N] [--offset N] "
                                 "[--cancel-trials N]\n");
            return 2;
        }
    }
    Throughput(sparse, minutes, rounds, offset);
    Cancel(trials);
    return 0;
}
