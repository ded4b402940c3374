#pragma once

#include <string>
#include <vector>

namespace tesslow {

// What is known about a disc's music. Every string is UTF-8; an empty string
// means "not known". trackTitles holds one entry per audio track in disc order
// and may be shorter than the track list (or empty: the disc has no titles).
struct AlbumInfo {
    std::string artist;
    std::string album;
    std::string year;
    std::string genre;
    std::string comment;
    std::vector<std::string> trackTitles;
    std::string source;  // identifier of the release the titles came from
    std::vector<std::string> isrcs;  // per audio track, from the disc's sub-channel; empty where unknown

    bool operator==(const AlbumInfo&) const = default;
};

}  // namespace tesslow
