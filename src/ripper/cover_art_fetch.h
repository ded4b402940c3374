#pragma once

#include "app/cover_picture.h"
#include "platform/worker_thread.h"
#include "ripper/rip_report.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace tesslow {

// Where a rip job's front cover is to come from, first match first: a file
// the person gave for this rip, the person's choice kept with the disc's
// edits (a file, or none at all), the cover cache, then the Cover Art Archive.
struct CoverWish {
    std::string file;           // --cover: a picture for this rip
    std::string chosenFile;     // the disc's edits: the person's own picture
    bool noCover = false;       // the disc's edits: no picture
    std::string releaseId;      // the MusicBrainz release the disc was named from; empty: none
    int size = 500;             // CoverArtSize: 250, 500, 1200, 0 for the original
    std::string baseUrl;        // the archive's address (CoverArtBaseUrl)
    std::string cacheFolder;    // the cover cache; empty: DefaultCoverCacheFolder
    std::chrono::milliseconds limit{20000};  // the look-up, all of it
};

// A rip job's front cover. Made when the job starts, it finds the picture on a
// thread of its own (reading a file, the cache, or the archive, which it then
// stores in the cache), so the first track's reading is never delayed; the
// encoders wait for it only when they write their tags, and never past the
// look-up's deadline: a picture that has not come by then is none ("no answer
// within 20 seconds"). None is never an error. Picture and Outcome may be
// called from any thread; a look-up abandoned at its deadline touches only
// what it shares.
class CoverArtFetch {
public:
    explicit CoverArtFetch(CoverWish wish);
    ~CoverArtFetch();
    CoverArtFetch(const CoverArtFetch&) = delete;
    CoverArtFetch& operator=(const CoverArtFetch&) = delete;

    // The picture, waiting for it until the deadline; null: none. With
    // `giveUp`, it is asked every 100 ms while waiting, and true ends the
    // wait (null).
    std::shared_ptr<const CoverPicture> Picture(const std::function<bool()>& giveUp = {});

    // What came of it (waiting as Picture does).
    CoverOutcome Outcome();

private:
    struct Pending;
    std::shared_ptr<Pending> pending_;
    std::chrono::milliseconds limit_;
    std::chrono::steady_clock::time_point deadline_;
    WorkerThread thread_;
};

// The file name beside a rip's files: "cover.jpg" or "cover.png".
std::string CoverFileName(const CoverPicture& picture);

// Puts the picture beside the files as `folder`/cover.jpg (or .png),
// atomically. A file of that name with the same bytes is left alone; one
// with other bytes is kept unless `overwrite`. Answers an empty string when
// the file is there, else the line that says why not.
std::string WriteCoverFile(const std::string& folder, const CoverPicture& picture, bool overwrite);

}  // namespace tesslow
