// Writes a title cache that knows the demo disc, so that the demo names its
// files without asking the web service.
//
//   seed_demo_titles DISC.cue CACHE.xml

#include "app/disc_record.h"
#include "drive/toc_reader.h"
#include "metadata/disc_id.h"
#include "metadata/title_cache.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv)
{
    using namespace tesslow;
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s DISC.cue CACHE.xml\n", argv[0]);
        return 2;
    }
    try {
        DiscRecords records;
        ReadToc(records, argv[1]);
        const std::string discId = DiscIdFromRawToc(records[argv[1]].rawToc);

        AlbumInfo album;
        album.artist = "The Tesslow Ensemble";
        album.album = "Plucked Strings & Other Stories";
        album.year = "2026";
        album.trackTitles = {"Morning Pluck", "Café Étude", "Lantern Waltz", "Coda / Fade"};
        album.source = "demo-0000-0000-0000-000000000000";

        TitleCache cache(argv[2]);
        cache.Store(discId, album);
        if (!cache.Write()) {
            std::perror(argv[2]);
            return 1;
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
