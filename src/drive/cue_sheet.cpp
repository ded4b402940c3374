// Loading a disc image from its CUE sheet.

#include "drive/disc_image.h"

#include "app/raw_toc.h"
#include "drive/cue_words.h"
#include "drive/mmc.h"
#include "platform/atomic_file.h"
#include "platform/system_error.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <optional>

namespace tesslow {

namespace fs = std::filesystem;

class CueSheetReader {
public:
    explicit CueSheetReader(fs::path cuePath) : cuePath_(std::move(cuePath)) {}

    std::shared_ptr<DiscImage> Read();
    std::shared_ptr<DiscImage> Parse(std::string_view text);

private:
    struct File {
        int line = 0;
        std::int64_t dataOffset = 0;
        std::int64_t dataSize = 0;
    };
    struct Track {
        int line = 0;
        std::uint32_t sectorSize = kSectorBytes;
        std::uint8_t dataMode = 0;
        std::int32_t pregap = 0;   // PREGAP: silence not in the file
        std::int32_t postgap = 0;  // POSTGAP
        int lastIndex = -1;
        std::optional<std::pair<int, std::int32_t>> index0, index1;  // (file, position)
    };
    // The sheet in stream order: a FILE starts, or an INDEX point of a track.
    struct Event {
        bool fileStart = false;
        int file = -1;
        int track = -1;
        int index = 0;
        std::int32_t position = 0;  // sectors from the file's start
        int line = 0;
    };

    [[noreturn]] void Fail(const std::string& why) const;
    void ParseLine(const std::vector<std::string>& words);
    void OpenFile(const std::string& name, const std::string& type);
    void ReadWaveHeader(File& file, int fd, std::int64_t fileSize);
    void Layout();
    void ReadCdTextFile();

    fs::path cuePath_;
    int line_ = 0;
    int session_ = 1;
    std::vector<File> files_;
    std::vector<Track> tracks_;
    std::vector<Event> events_;
    std::shared_ptr<DiscImage> image_ = std::make_shared<DiscImage>();
};

namespace {

std::uint32_t LittleEndian32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
}
std::uint16_t LittleEndian16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

}  // namespace

void CueSheetReader::Fail(const std::string& why) const
{
    const std::string where = cuePath_.filename().string() + (line_ > 0 ? ", line " + std::to_string(line_) : "");
    throw DiscImageError(where + ": " + why);
}

std::shared_ptr<DiscImage> CueSheetReader::Read()
{
    std::error_code error;
    const fs::file_status status = fs::status(cuePath_, error);
    if (!fs::exists(status)) Fail("the CUE sheet does not exist");
    if (!fs::is_regular_file(status)) Fail("the CUE sheet is not a file");
    const auto text = ReadWholeFile(cuePath_, 1 << 20);
    if (!text) Fail("cannot read the CUE sheet (" + SystemErrorText(errno) + ")");
    return Parse(*text);
}

std::shared_ptr<DiscImage> CueSheetReader::Parse(std::string_view text)
{
    std::size_t start = text.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        ++line_;
        std::string line(text.substr(start, end - start));
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const auto words = SplitCueWords(line);
        if (!words.empty()) ParseLine(words);
        start = end + 1;
    }
    line_ = 0;
    if (tracks_.empty()) Fail("no TRACK");
    Layout();
    ReadCdTextFile();
    return image_;
}

void CueSheetReader::ParseLine(const std::vector<std::string>& words)
{
    const std::string command = UpperCase(words[0]);
    if (command == "REM") {
        if (words.size() < 2) return;
        const std::string kind = UpperCase(words[1]);
        if (kind == "TESSLOW") {
            try {
                ApplyCondition(image_->conditions_, std::vector<std::string>(words.begin() + 2, words.end()));
            } catch (const std::invalid_argument& error) {
                Fail(error.what());
            }
        } else if (kind == "SESSION") {
            const auto number = words.size() > 2 ? ParseInteger(words[2]) : std::nullopt;
            if (!number || *number < session_ || *number > 99) Fail("bad session number");
            session_ = static_cast<int>(*number);
        }
        return;
    }
    if (command == "FILE") {
        if (words.size() < 3) Fail("FILE needs a name and a type");
        OpenFile(words[1], UpperCase(words[2]));
        return;
    }
    if (command == "TRACK") {
        if (files_.empty()) Fail("TRACK before FILE");
        if (words.size() < 3) Fail("TRACK needs a number and a mode");
        const auto number = ParseInteger(words[1]);
        if (!number || *number < 1 || *number > 99) Fail("bad track number " + words[1]);
        if (!image_->tracks_.empty() && *number <= image_->tracks_.back().number)
            Fail("track numbers must increase");
        Track track;
        track.line = line_;
        ImageTrack shown;
        shown.number = static_cast<int>(*number);
        shown.session = session_;
        const std::string mode = UpperCase(words[2]);
        if (mode == "AUDIO") {
        } else if (mode == "MODE1/2048") {
            track.sectorSize = 2048, track.dataMode = 1;
        } else if (mode == "MODE1/2352") {
            track.dataMode = 1;
        } else if (mode == "MODE2/2336") {
            track.sectorSize = 2336, track.dataMode = 2;
        } else if (mode == "MODE2/2352") {
            track.dataMode = 2;
        } else {
            Fail("unsupported track mode " + words[2]);
        }
        shown.audio = track.dataMode == 0;
        if (!shown.audio) shown.control |= kControlDataTrack;
        if (track.dataMode == 2) image_->hasMode2_ = true;
        tracks_.push_back(track);
        image_->tracks_.push_back(shown);
        return;
    }
    if (command == "INDEX" || command == "PREGAP" || command == "POSTGAP" || command == "FLAGS") {
        if (tracks_.empty()) Fail(command + " before TRACK");
        Track& track = tracks_.back();
        if (command == "FLAGS") {
            for (std::size_t i = 1; i < words.size(); ++i) {
                const std::string flag = UpperCase(words[i]);
                if (flag == "DCP") image_->tracks_.back().control |= 0x02;
                if (flag == "4CH") image_->tracks_.back().control |= 0x08;
                if (flag == "PRE") image_->tracks_.back().control |= 0x01;
            }
            return;
        }
        const std::size_t timeWord = command == "INDEX" ? 2 : 1;
        const auto time = words.size() > timeWord ? ParseMsf(words[timeWord]) : std::nullopt;
        if (!time) Fail(command + " needs a time mm:ss:ff");
        if (command == "PREGAP") {
            track.pregap = *time;
        } else if (command == "POSTGAP") {
            track.postgap = *time;
        } else {
            const auto number = ParseInteger(words[1]);
            if (!number || *number < 0 || *number > 99) Fail("bad index number " + words[1]);
            if (*number <= track.lastIndex) Fail("index numbers must increase");
            if (*number > 0 && track.lastIndex < 0 && *number != 1) Fail("INDEX 01 missing");
            track.lastIndex = static_cast<int>(*number);
            const int file = static_cast<int>(files_.size()) - 1;
            if (*number == 0) track.index0 = std::make_pair(file, *time);
            if (*number == 1) track.index1 = std::make_pair(file, *time);
            if (*number <= 1)
                events_.push_back({false, file, static_cast<int>(tracks_.size()) - 1, static_cast<int>(*number), *time,
                                   line_});
        }
        return;
    }
    // The disc's catalog number and a track's ISRC, as its sub-channel carries them.
    if (command == "CATALOG") {
        if (words.size() < 2 || words[1].size() != 13 ||
            !std::all_of(words[1].begin(), words[1].end(), [](char c) { return c >= '0' && c <= '9'; }))
            Fail("CATALOG needs 13 digits");
        image_->catalog_ = words[1];
        return;
    }
    if (command == "ISRC") {
        if (tracks_.empty()) Fail("ISRC before TRACK");
        if (words.size() < 2 || words[1].size() != 12 || !std::all_of(words[1].begin(), words[1].end(), [](char c) {
                return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
            }))
            Fail("ISRC needs 12 letters and digits");
        image_->tracks_.back().isrc = UpperCase(words[1]);
        return;
    }
    // What the disc's CD-Text says: before the first TRACK about the disc,
    // after it about that track.
    if (command == "TITLE" || command == "PERFORMER" || command == "SONGWRITER") {
        if (words.size() < 2) Fail(command + " needs a text");
        // Unquoted, the words after the command are the text.
        std::string text = words[1];
        for (std::size_t i = 2; i < words.size(); ++i) text += " " + words[i];
        CdTextEntry& entry = tracks_.empty() ? image_->discText_ : image_->tracks_.back().text;
        (command == "TITLE" ? entry.title : command == "PERFORMER" ? entry.performer : entry.songwriter) = text;
        return;
    }
    // CDTEXTFILE and anything else are not what a drive shows of the disc.
}

void CueSheetReader::OpenFile(const std::string& name, const std::string& type)
{
    if (type != "BINARY" && type != "WAVE") Fail("unsupported file type " + type + " (BINARY or WAVE)");
    fs::path path = fs::path(name).is_absolute() ? fs::path(name) : cuePath_.parent_path() / name;
    // Only a regular file holds a disc: a named pipe would be waited on (and a
    // device read for ever), so nothing else is even opened for reading.
    struct stat info;
    if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) Fail("\"" + name + "\" is not a file");
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!fd.Valid()) Fail("cannot open \"" + name + "\" (" + SystemErrorText(errno) + ")");
    if (::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode)) Fail("\"" + name + "\" is not a file");
    File file;
    file.line = line_;
    file.dataSize = info.st_size;
    if (type == "WAVE") ReadWaveHeader(file, fd.Get(), info.st_size);
    files_.push_back(file);
    image_->files_.push_back(std::move(fd));
    image_->fileEnds_.push_back(file.dataOffset + file.dataSize);
    events_.push_back({true, static_cast<int>(files_.size()) - 1, -1, 0, 0, line_});
}

void CueSheetReader::ReadWaveHeader(File& file, int fd, std::int64_t fileSize)
{
    std::uint8_t head[12];
    if (::pread(fd, head, sizeof head, 0) != sizeof head || std::string_view(reinterpret_cast<char*>(head), 4) != "RIFF" ||
        std::string_view(reinterpret_cast<char*>(head) + 8, 4) != "WAVE")
        Fail("not a WAVE file");
    bool format = false;
    std::int64_t position = 12;
    while (position + 8 <= fileSize) {
        std::uint8_t chunk[8];
        if (::pread(fd, chunk, sizeof chunk, position) != sizeof chunk) break;
        const std::string_view id(reinterpret_cast<char*>(chunk), 4);
        const std::int64_t size = LittleEndian32(chunk + 4);
        if (id == "fmt ") {
            std::uint8_t fmt[16];
            if (size < 16 || ::pread(fd, fmt, sizeof fmt, position + 8) != sizeof fmt) Fail("bad WAVE format chunk");
            if (LittleEndian16(fmt) != 1 || LittleEndian16(fmt + 2) != 2 || LittleEndian32(fmt + 4) != 44100 ||
                LittleEndian16(fmt + 14) != 16)
                Fail("WAVE file is not 16-bit stereo PCM at 44100 Hz");
            format = true;
        } else if (id == "data") {
            if (!format) Fail("WAVE data before its format");
            file.dataOffset = position + 8;
            file.dataSize = std::min(size, fileSize - file.dataOffset);
            return;
        }
        position += 8 + size + (size & 1);
    }
    Fail("WAVE file without data");
}

void CueSheetReader::Layout()
{
    for (std::size_t t = 0; t < tracks_.size(); ++t) {
        if (!tracks_[t].index1) {
            line_ = tracks_[t].line;
            Fail("TRACK without INDEX 01");
        }
    }

    auto& extents = image_->extents_;
    std::int64_t lba = 0;
    int session = image_->tracks_.front().session;
    int active = -1, file = -1;
    std::int32_t filePosition = 0;
    std::int64_t fileByte = 0;

    auto add = [&](DiscImage::Extent extent) {
        if (extent.count <= 0) return;
        extent.first = static_cast<std::int32_t>(lba);
        lba += extent.count;
        if (lba > 0x7FFFFFFF / kSectorBytes) Fail("the disc is too long");
        extents.push_back(extent);
    };
    auto silence = [&](std::int32_t count, DiscImage::Extent::Kind kind) {
        DiscImage::Extent extent;
        extent.kind = kind;
        extent.count = count;
        add(extent);
    };
    // File content from the current position up to `position` (sectors), in
    // the sector size of the track it belongs to.
    auto fileTo = [&](std::int64_t position) {
        if (file < 0 || position <= filePosition) return;
        DiscImage::Extent extent;
        extent.kind = DiscImage::Extent::Kind::File;
        extent.count = static_cast<std::int32_t>(position - filePosition);
        extent.file = file;
        extent.fileOffset = files_[file].dataOffset + fileByte;
        if (active >= 0) {
            extent.sectorSize = tracks_[active].sectorSize;
            extent.dataMode = tracks_[active].dataMode;
        }
        fileByte += std::int64_t(extent.count) * extent.sectorSize;
        filePosition = static_cast<std::int32_t>(position);
        add(extent);
    };
    auto finishFile = [&] {
        if (file < 0) return;
        const std::uint32_t size = active >= 0 ? tracks_[active].sectorSize : kSectorBytes;
        const std::int64_t remaining = files_[file].dataSize - fileByte;
        // A partial last sector reads padded with silence.
        if (remaining > 0) fileTo(filePosition + (remaining + size - 1) / size);
    };

    for (const Event& event : events_) {
        line_ = event.line;
        if (event.fileStart) {
            finishFile();
            file = event.file;
            filePosition = 0;
            fileByte = 0;
            continue;
        }
        if (event.position < filePosition) Fail("INDEX lies before the previous one in its file");
        const std::int64_t sectorsLeft =
            (files_[file].dataSize - fileByte + (active >= 0 ? tracks_[active].sectorSize : kSectorBytes) - 1) /
            (active >= 0 ? tracks_[active].sectorSize : kSectorBytes);
        if (event.position - filePosition > sectorsLeft) Fail("INDEX lies past the end of its file");
        fileTo(event.position);
        if (event.track != active) {
            if (active >= 0) silence(tracks_[active].postgap, DiscImage::Extent::Kind::Silence);
            const Track& track = tracks_[event.track];
            const int trackSession = image_->tracks_[event.track].session;
            if (trackSession != session) {
                std::int32_t pregaps = track.pregap;
                if (track.index0 && track.index0->first == track.index1->first)
                    pregaps += track.index1->second - track.index0->second;
                silence(std::max(0, kSessionGapSectors - pregaps), DiscImage::Extent::Kind::Gap);
                session = trackSession;
            }
            image_->tracks_[event.track].pregapStart = static_cast<std::int32_t>(lba);
            silence(track.pregap, DiscImage::Extent::Kind::Silence);
            active = event.track;
        }
        if (event.index == 1) image_->tracks_[event.track].start = static_cast<std::int32_t>(lba);
    }
    line_ = 0;
    finishFile();
    if (active >= 0) silence(tracks_[active].postgap, DiscImage::Extent::Kind::Silence);
    image_->leadOut_ = static_cast<std::int32_t>(lba);
    if (image_->tracks_.back().start >= image_->leadOut_) Fail("the last track holds no sectors");
}

void CueSheetReader::ReadCdTextFile()
{
    const std::string& name = image_->conditions_.cdTextFile;
    if (name.empty()) return;
    const fs::path path = fs::path(name).is_absolute() ? fs::path(name) : cuePath_.parent_path() / name;
    // READ TOC answers at most 64 KiB, header included.
    const auto bytes = ReadWholeFile(path, 0xFFFF - 4);
    if (!bytes) Fail("cannot read the CD-Text file \"" + name + "\" (" + SystemErrorText(errno) + ")");
    image_->cdTextFile_ = *bytes;
}

std::shared_ptr<const DiscImage> DiscImage::Load(const fs::path& cuePath)
{
    return CueSheetReader(cuePath).Read();
}

std::shared_ptr<const DiscImage> DiscImage::FromText(std::string_view text, const fs::path& cuePath)
{
    return CueSheetReader(cuePath).Parse(text);
}

}  // namespace tesslow
