// Writes a disc image (CUE sheet + raw BIN) of deterministic, music-like
// stereo audio: chords and a melody of plucked, decaying partials with a
// little noise, different for every track. Used for the demo and benchmarks.
//
//   make_demo_disc DIR NAME TRACKS SECONDS_PER_TRACK
//
// Writes DIR/NAME.cue and DIR/NAME.bin (2352-byte sectors, 16-bit
// little-endian stereo at 44100 Hz).

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr int kFramesPerSector = 588;
constexpr double kPi = 3.14159265358979323846;

struct Random {
    std::uint32_t state;
    std::uint32_t Next()
    {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
    double Unit() { return (Next() & 0xFFFF) / 65536.0; }
};

struct Note {
    double startSeconds;
    int midi;
    double pan;  // 0 left .. 1 right
    double loudness;
};

// One plucked note: four partials under a fast attack and an exponential
// decay. Computed once per pitch, since every note of a pitch sounds alike.
const std::vector<float>& Waveform(int midi)
{
    static std::vector<float> cache[128];
    std::vector<float>& wave = cache[midi & 127];
    if (wave.empty()) {
        const double frequency = 440.0 * std::pow(2.0, (midi - 69) / 12.0);
        wave.resize(kRate * 6 / 5);
        for (std::size_t i = 0; i < wave.size(); ++i) {
            const double t = static_cast<double>(i) / kRate;
            double v = 0;
            for (int partial = 1; partial <= 4; ++partial)
                v += std::sin(2 * kPi * frequency * partial * t) / (partial * partial);
            wave[i] = static_cast<float>(v * std::exp(-3.0 * t) * std::min(1.0, t * 200));
        }
    }
    return wave;
}

std::vector<Note> Compose(int track, double seconds)
{
    Random random{static_cast<std::uint32_t>(track * 7919 + 17)};
    const int roots[] = {48, 53, 55, 50, 57, 52};
    const int root = roots[track % 6];
    const double beat = 0.25 + 0.05 * (track % 3);
    std::vector<Note> notes;
    const int scale[] = {0, 2, 4, 7, 9, 12, 14, 16};
    for (double t = 0; t < seconds; t += beat) {
        const int bar = static_cast<int>(t / (beat * 8));
        const int chordRoot = root + (bar % 4 == 1 ? 5 : bar % 4 == 2 ? 7 : bar % 4 == 3 ? -3 : 0);
        if (static_cast<int>(t / beat) % 8 == 0)
            for (int interval : {0, 4, 7})
                notes.push_back({t, chordRoot + interval, 0.3 + 0.2 * (interval / 7.0), 0.18});
        if (random.Unit() < 0.8)
            notes.push_back({t, chordRoot + 12 + scale[random.Next() % 8], 0.2 + 0.6 * random.Unit(),
                             0.22 + 0.1 * random.Unit()});
    }
    return notes;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s DIR NAME TRACKS SECONDS_PER_TRACK\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1], name = argv[2];
    const int tracks = std::atoi(argv[3]);
    const double seconds = std::atof(argv[4]);
    if (tracks < 1 || tracks > 99 || seconds < 4) {
        std::fprintf(stderr, "need 1..99 tracks of at least 4 seconds\n");
        return 2;
    }

    std::ofstream bin(dir + "/" + name + ".bin", std::ios::binary | std::ios::trunc);
    std::ofstream cue(dir + "/" + name + ".cue", std::ios::trunc);
    cue << "REM COMMENT \"generated music-like audio, deterministic\"\n"
        << "FILE \"" << name << ".bin\" BINARY\n";

    long sector = 0;
    std::vector<std::int16_t> block;
    for (int track = 1; track <= tracks; ++track) {
        const long sectors = static_cast<long>(seconds * 75);
        char index[32];
        std::snprintf(index, sizeof index, "%02ld:%02ld:%02ld", sector / 4500, sector / 75 % 60, sector % 75);
        char number[16];
        std::snprintf(number, sizeof number, "%02d", track);
        cue << "  TRACK " << number << " AUDIO\n    INDEX 01 " << index << "\n";

        const std::vector<Note> notes = Compose(track, seconds);
        const long frames = sectors * kFramesPerSector;
        std::vector<double> left(frames), right(frames);
        Random noise{static_cast<std::uint32_t>(track)};
        for (const Note& note : notes) {
            const std::vector<float>& wave = Waveform(note.midi);
            const long first = static_cast<long>(note.startSeconds * kRate);
            const long length = std::min<long>(static_cast<long>(wave.size()), frames - first);
            const double toLeft = note.loudness * (1 - note.pan), toRight = note.loudness * note.pan;
            for (long i = 0; i < length; ++i) {
                left[first + i] += wave[i] * toLeft;
                right[first + i] += wave[i] * toRight;
            }
        }
        block.resize(static_cast<std::size_t>(frames) * 2);
        for (long i = 0; i < frames; ++i) {
            const double hiss = (noise.Unit() - 0.5) * 0.004;
            auto sample = [](double v) {
                return static_cast<std::int16_t>(std::lround(std::max(-1.0, std::min(1.0, v)) * 32767));
            };
            block[2 * i] = sample(left[i] + hiss);
            block[2 * i + 1] = sample(right[i] - hiss);
        }
        // Little-endian on disk whatever the host order.
        std::vector<unsigned char> bytes(block.size() * 2);
        for (std::size_t i = 0; i < block.size(); ++i) {
            const auto u = static_cast<std::uint16_t>(block[i]);
            bytes[2 * i] = static_cast<unsigned char>(u & 0xFF);
            bytes[2 * i + 1] = static_cast<unsigned char>(u >> 8);
        }
        bin.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        sector += sectors;
    }
    if (!bin || !cue) {
        std::fprintf(stderr, "cannot write the disc image in %s\n", dir.c_str());
        return 1;
    }
    return 0;
}
