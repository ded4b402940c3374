#pragma once

#include "app/cd_audio.h"
#include "app/cd_text.h"
#include "drive/drive_conditions.h"
#include "platform/unique_fd.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tesslow {

// A CUE sheet that cannot be played; the text says which line and why.
class DiscImageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One track of a disc image as a drive's table of contents shows it.
struct ImageTrack {
    int number = 0;
    bool audio = true;
    std::uint8_t control = 0;  // 04h data, 02h copy permitted, 01h pre-emphasis, 08h four channels
    int session = 1;
    std::int32_t start = 0;    // LBA of INDEX 01
    std::int32_t pregapStart = 0;  // LBA where its INDEX 00 part (and PREGAP) begins; `start` without one
    std::string isrc;          // ISRC line: 12 characters, or empty
    CdTextEntry text;          // TITLE, PERFORMER, SONGWRITER lines (UTF-8)
};

// A disc described by a CUE sheet: its tracks and sessions, and its sectors,
// read from the files the sheet names (raw 2352-byte little-endian audio in
// BINARY files, PCM in WAVE files, 2048/2336/2352-byte data sectors). The
// sectors of a sparse file read as silence. PREGAP and POSTGAP insert
// silence. Each session after the first ("REM SESSION nn") starts after the
// usual 11400 sectors of lead-out, lead-in and pregap; the part of them not
// given by the sheet as PREGAP or INDEX 00 cannot be read. CATALOG, ISRC and
// FLAGS are what the disc's sub-channel says; TITLE, PERFORMER and SONGWRITER
// what its CD-Text says; other REM lines and metadata commands are ignored;
// "REM TESSLOW" lines set the drive conditions.
//
// Immutable once loaded; reading is safe from several threads.
class DiscImage {
public:
    // Throws DiscImageError.
    static std::shared_ptr<const DiscImage> Load(const std::filesystem::path& cuePath);
    // The same for a sheet's text, as if it were read from `cuePath`: FILE and
    // CDTEXT-FILE names are found beside it and errors name it; `cuePath`
    // itself need not exist. Throws DiscImageError.
    static std::shared_ptr<const DiscImage> FromText(std::string_view text, const std::filesystem::path& cuePath);

    const std::vector<ImageTrack>& Tracks() const { return tracks_; }
    const DriveConditions& Conditions() const { return conditions_; }
    std::int32_t LeadOut() const { return leadOut_; }
    int LastSession() const { return tracks_.empty() ? 1 : tracks_.back().session; }
    const std::string& Catalog() const { return catalog_; }  // CATALOG: 13 digits, or empty
    bool HasMode2Tracks() const { return hasMode2_; }
    // The disc-level TITLE, PERFORMER and SONGWRITER lines (UTF-8).
    const CdTextEntry& DiscText() const { return discText_; }
    // The CDTEXT-FILE's bytes (CD-Text packs), read when the sheet was loaded.
    const std::string& CdTextFileBytes() const { return cdTextFile_; }

    // True when every sector of [lba, lba + count) lies inside the disc and
    // outside the gaps between sessions.
    bool Readable(std::int32_t lba, std::int64_t count) const;
    // True when every sector of [lba, lba + count) is readable or lies within
    // `reach` sectors outside an end of the disc's audio: before sector 0,
    // after the lead-out, or at the start of a gap between sessions. These are
    // what a drive that overreads returns.
    bool Overreadable(std::int32_t lba, std::int64_t count, std::int32_t reach) const;

    // The disc as one stream of raw sectors, sector L at byte L x 2352: fills
    // `out` with `size` bytes from byte `offset`. Bytes outside the readable
    // area are zero. Data sectors stored with 2048 or 2336 bytes get their
    // sync and header. Answers false when some of the bytes lie in a file
    // beyond its current end (it has shrunk since the sheet was loaded): they
    // cannot be read and are left zero. Holes in a sparse file read as zeros.
    bool ReadBytes(std::int64_t offset, std::size_t size, std::uint8_t* out) const;

    struct Extent {
        enum class Kind { File, Silence, Gap };
        Kind kind = Kind::Silence;
        std::int32_t first = 0;     // LBA
        std::int32_t count = 0;     // sectors
        int file = -1;
        std::int64_t fileOffset = 0;  // byte of the extent's first sector
        std::uint32_t sectorSize = kSectorBytes;
        std::uint8_t dataMode = 0;    // 0 audio, 1 or 2
    };

private:
    friend class CueSheetReader;

    bool FillSector(const Extent& extent, std::int32_t lba, std::uint8_t* sector) const;
    // Reads `size` bytes of file `file` at `position`; false when fewer came
    // than the file held there when the sheet was loaded.
    bool ReadFile(int file, std::uint8_t* out, std::size_t size, std::int64_t position) const;

    std::vector<ImageTrack> tracks_;
    DriveConditions conditions_;
    std::int32_t leadOut_ = 0;
    bool hasMode2_ = false;
    std::string catalog_;
    CdTextEntry discText_;
    std::string cdTextFile_;
    std::vector<UniqueFd> files_;
    std::vector<std::int64_t> fileEnds_;  // where each file's data ended when the sheet was loaded
    std::vector<Extent> extents_;  // in LBA order, covering [first extent, lead-out)
};

}  // namespace tesslow
