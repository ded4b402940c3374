#include "ripper/rip_records.h"

#include "metadata/naming.h"
#include "platform/fd_io.h"
#include "platform/folders.h"
#include "platform/partial_file.h"
#include "platform/system_error.h"
#include "platform/unique_fd.h"
#include "ripper/cue_sheet_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <stdexcept>

namespace tesslow {

namespace {

// "<artist> - <album>", or "Tesslow rip <local date and time>" without titles.
std::string BaseName(const RipLogInput& input)
{
    const AlbumInfo& album = input.disc->album;
    if (album.artist.empty() && album.album.empty()) {
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        ::localtime_r(&now, &local);
        char text[64];
        std::strftime(text, sizeof text, "Tesslow rip %Y-%m-%d %H.%M.%S", &local);
        return text;
    }
    // The naming rules, for a name of the album alone: a track without a
    // title would be named "Track NN" whatever the template says.
    DiscRecord named;
    named.album = album;
    named.album.trackTitles = {"-"};
    named.trackNumbers = {1};
    named.tracks = {TocEntry{0, 1}};
    std::string name = ExpandNameTemplate(named, 0, "%1 - %3", 4);
    // One file name: a subfolder the metadata asks for is a character here.
    for (char& c : name)
        if (c == '/') c = '_';
    return name;
}

// A path in the folder that no file has yet.
std::string FreePath(const std::string& wanted)
{
    std::string path = wanted;
    struct stat info{};
    for (int number = 2; ::lstat(path.c_str(), &info) == 0; ++number) path = NumberedPath(wanted, number);
    return path;
}

// Writes `text` to `path` whole or not at all; answers the error line, or "".
std::string WriteWhole(const std::string& path, const std::string& text)
{
    try {
        if (const int error = EnsureParentDirectory(path)) throw std::runtime_error(FileErrorText(error));
        PartialFile file(path);
        {
            UniqueFd fd(::open(file.TemporaryPath().c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
            if (!fd || !WriteAll(fd.Get(), text.data(), text.size())) throw std::runtime_error(FileErrorText(errno));
            if (::close(fd.Release()) != 0) throw std::runtime_error(FileErrorText(errno));
        }
        file.Commit();
        return {};
    } catch (const std::runtime_error& error) {
        return FileNameOf(path) + ": could not be written (" + error.what() + ")";
    }
}

}  // namespace

std::vector<std::string> WriteRipRecords(const RipLogInput& input, bool writeLog, bool writeCue)
{
    std::vector<std::string> errors;
    const std::string base = input.folder + BaseName(input);
    if (writeLog) {
        if (std::string error = WriteWhole(FreePath(base + ".log"), RipLogText(input)); !error.empty())
            errors.push_back(std::move(error));
    }
    if (writeCue && !input.canceled) {
        std::vector<CueTrack> tracks;
        for (const TrackOutcome& track : input.tracks) {
            if (track.status != TrackOutcome::Status::Ripped || !track.sums) continue;
            const std::string file = track.file.rfind(input.folder, 0) == 0 ? track.file.substr(input.folder.size())
                                                                             : FileNameOf(track.file);
            const DiscSubcode& subcode = input.subcode;
            const std::size_t t = track.trackIndex;
            tracks.push_back({track.trackIndex, file, PregapOf(subcode, t), t < subcode.isrcs.size() ? subcode.isrcs[t] : "",
                              t < subcode.preemphasis.size() && subcode.preemphasis[t], track.deemphasised});
        }
        std::sort(tracks.begin(), tracks.end(),
                  [](const CueTrack& a, const CueTrack& b) {
                      // The hidden track comes first.
                      auto order = [](std::uint32_t t) { return t == kHiddenTrackIndex ? -1 : std::int64_t{t}; };
                      return order(a.trackIndex) < order(b.trackIndex);
                  });
        if (!tracks.empty()) {
            if (std::string error = WriteWhole(FreePath(base + ".cue"), CueSheetText(*input.disc, tracks, input.version, input.subcode.catalog));
                !error.empty())
                errors.push_back(std::move(error));
        }
    }
    return errors;
}

}  // namespace tesslow
