// A CUE sheet of a disc image with its "REM TESSLOW" drive conditions: any
// text. The sheet lives in a folder made once per run that holds the files a
// sheet may name: disc.bin (raw sectors), disc.wav (a WAVE file) and
// cdtext.bin (CD-Text packs). A sheet that loads is read at the start of each
// track and at the lead-out, which walks the layout it produced.

#include "fuzz_check.h"

#include "drive/disc_image.h"

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

namespace fs = std::filesystem;

void WriteFile(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), std::streamsize(bytes.size()));
}

std::string Le32(std::uint32_t v)
{
    return {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
}

// The folder, removed again when the run ends.
struct ImageFolder {
    fs::path path;

    ImageFolder()
    {
        std::string name = (fs::temp_directory_path() / "tesslow-cue-fuzz-XXXXXX").string();
        if (!::mkdtemp(name.data())) std::abort();
        path = name;
        // 40 sectors of audio: a few tracks' worth, small enough to stay fast.
        std::string sectors(40 * 2352, '\0');
        for (std::size_t i = 0; i < sectors.size(); ++i) sectors[i] = static_cast<char>(i * 7);
        WriteFile(path / "disc.bin", sectors);
        const std::string pcm(20 * 2352, '\x11');
        WriteFile(path / "disc.wav", "RIFF" + Le32(36 + std::uint32_t(pcm.size())) + "WAVEfmt " + Le32(16) +
                                         std::string("\x01\x00\x02\x00", 4) + Le32(44100) + Le32(176400) +
                                         std::string("\x04\x00\x10\x00", 4) + "data" +
                                         Le32(std::uint32_t(pcm.size())) + pcm);
        WriteFile(path / "cdtext.bin", std::string(18 * 3, '\x80'));
    }
    ~ImageFolder()
    {
        std::error_code error;
        fs::remove_all(path, error);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tesslow;
    static const ImageFolder folder;
    std::shared_ptr<const DiscImage> image;
    try {
        image = DiscImage::FromText(std::string_view(reinterpret_cast<const char*>(data), size),
                                    folder.path / "sheet.cue");
    } catch (const DiscImageError&) {
        return 0;
    }
    FUZZ_CHECK(!image->Tracks().empty());
    FUZZ_CHECK(image->LeadOut() > image->Tracks().back().start);
    std::vector<std::uint8_t> sector(kSectorBytes);
    std::int32_t previous = -1;
    for (const ImageTrack& track : image->Tracks()) {
        FUZZ_CHECK(track.pregapStart <= track.start);
        FUZZ_CHECK(track.start >= previous);
        previous = track.start;
        image->Readable(track.start, 1);
        image->ReadBytes(std::int64_t(track.start) * kSectorBytes, kSectorBytes, sector.data());
    }
    image->Overreadable(image->LeadOut() - 1, 2, 10);
    image->ReadBytes(std::int64_t(image->LeadOut() - 1) * kSectorBytes, kSectorBytes, sector.data());
    return 0;
}
