#pragma once

#include <string>
#include <vector>

namespace tesslow {

// One audio track as a MusicBrainz release credits it.
struct TrackCredit {
    std::string title;                   // the track's own title, without its artist
    std::string artist;                  // its artist credit, names and join phrases; empty: the album's
    std::vector<std::string> artistIds;  // MusicBrainz artist ids, in credit order
    std::string recordingId;
    std::string releaseTrackId;

    bool operator==(const TrackCredit&) const = default;
};

// One release a disc identifier matches, as a list of them shows it.
struct ReleaseSummary {
    std::string id;  // MusicBrainz release id
    std::string title;
    std::string artist;
    std::string date;
    std::string country;
    std::string label;
    std::string catalogNumber;
    std::string barcode;
    int disc = 0;    // the position of the disc's medium in the release; 0 unknown
    int discs = 0;   // the release's media
    int tracks = 0;  // on the disc's medium

    bool operator==(const ReleaseSummary&) const = default;
};

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

    // What a MusicBrainz release adds, for complete tags; empty (0) when the
    // disc was not named from a release or the release does not say.
    std::vector<TrackCredit> credits;    // per audio track, parallel to trackTitles
    std::vector<std::string> artistIds;  // the release's artist credit
    std::string releaseGroupId;
    std::string date;                    // the release date as given: "2004", "2004-03" or "2004-03-15"
    std::string country;                 // release country code, e.g. "GB"
    std::string label;
    std::string catalogNumber;
    std::string barcode;
    std::string media;                   // the medium's format, e.g. "CD"
    int discNumber = 0;                  // this disc's position in the release, from 1
    int discTotal = 0;                   // the release's media
    std::string discId;                  // MusicBrainz disc id

    // Every release the disc id matches, in the service's order; `source`
    // is the one used.
    std::vector<ReleaseSummary> releases;
    // The person edited the names: a later web look-up never replaces them.
    bool edited = false;
    // The person's choice of front cover, kept with their edits: a picture
    // file to use instead of the release's (a copy kept in the cover cache),
    // or none at all. Neither: the release's own, when there is one.
    std::string coverFile;
    bool noCover = false;

    bool operator==(const AlbumInfo&) const = default;
};

}  // namespace tesslow
