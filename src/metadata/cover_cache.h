#pragma once

#include "app/cover_picture.h"

#include <filesystem>
#include <optional>
#include <string>

namespace tesslow {

// $XDG_DATA_HOME/Corvalen/Covers, beside the title cache; read from the
// environment at the call.
std::filesystem::path DefaultCoverCacheFolder();

// Front covers kept between runs, one file per key ("<key>.jpg" or
// "<key>.png"), so that a disc ripped again is not fetched again, and the
// pictures people chose for their discs. A key is made of letters, digits
// and dashes (a release id and the size asked); any other key finds nothing
// and stores nothing. Files are written atomically; a file that is not a
// picture reads as missing. Thread-safe (every call stands alone); does file
// I/O, so never on a GUI thread.
class CoverCache {
public:
    explicit CoverCache(std::filesystem::path folder = DefaultCoverCacheFolder());

    const std::filesystem::path& Folder() const { return folder_; }

    // The key of a release's front cover at the size asked ("<id>-500",
    // "<id>-front" for the original).
    static std::string ReleaseKey(const std::string& releaseId, int size);

    std::optional<CoverPicture> Find(const std::string& key) const;
    // The picture's file once stored; nothing when it could not be written.
    std::optional<std::filesystem::path> Store(const std::string& key, const CoverPicture& picture) const;

    // Keeps a copy of a picture the person chose, named by its content, so
    // that the choice lasts when the original file moves; the copy's path.
    std::optional<std::filesystem::path> KeepOwn(const CoverPicture& picture) const;

private:
    std::filesystem::path folder_;
};

// Reads and checks a picture file (ReadCoverPicture). Nothing when it cannot
// be read or is no JPEG or PNG; `why` then says so ("No such file or
// directory", "not a JPEG or PNG image").
std::optional<CoverPicture> ReadCoverPictureFile(const std::filesystem::path& path, std::string* why = nullptr);

}  // namespace tesslow
