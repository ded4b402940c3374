#pragma once

#include "accuracy/offset_search.h"
#include "app/disc_record.h"
#include "ripper/rip_report.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>

namespace tesslow {

class AccuracyCheck;

// Searches the disc in the record's drive for the drive's read offset with
// the database's responses (FindReadOffset), reading only inside the disc's
// audio, until `deadline` or until `giveUp` (when given) answers true.
OffsetSearchResult SearchReadOffset(const DiscRecord& disc, const std::vector<std::size_t>& entries,
                                    const std::vector<DbarResponse>& responses,
                                    std::chrono::steady_clock::time_point deadline,
                                    const std::function<bool()>& giveUp = {});

// "Read offset of this drive: +102 samples (3 tracks agree, AccurateRip)"
std::string FoundOffsetText(std::int32_t samples, int agreeingTracks);

// Why a search found nothing: "only 1 track could be compared", ...
std::string NoOffsetText(const OffsetSearchResult& result);

// What a search of its own, outside a rip, found (tesslow-rip --find-offset,
// the options' "Detect").
struct OffsetDetection {
    enum class Outcome {
        Found,     // result.offset is the drive's read offset
        NotFound,  // the disc cannot tell it: not in the database, or no agreement
        Failed,    // the database could not be asked
        GaveUp,    // giveUp answered true
    };
    Outcome outcome = Outcome::NotFound;
    OffsetSearchResult result;
    std::string text;  // FoundOffsetText, or why nothing was found, as a sentence
};

// Asks the AccurateRip database for the disc in the record's drive (within
// `lookupLimit`) and searches it for the drive's read offset (within
// `searchLimit` more); remembers nothing. `giveUp`, when given, is asked
// every 100 ms while waiting and before each read. Blocks: call it off the
// GUI thread.
OffsetDetection DetectReadOffset(const DiscRecord& disc, const std::function<bool()>& giveUp = {},
                                 std::chrono::milliseconds lookupLimit = std::chrono::seconds(20),
                                 std::chrono::milliseconds searchLimit = std::chrono::seconds(60));

// What a rip job asks of the read offset.
struct ReadOffsetWish {
    std::optional<std::int32_t> samples;  // given for this rip (--offset)
    std::optional<bool> overread;         // given for this rip (else the drive model's own setting)
    bool search = true;                   // search for it when it is unknown and the database has the disc
    std::chrono::milliseconds searchLimit{15000};  // the search, waiting for the database included
};

// What the choice tells its caller, and asks it.
struct OffsetChoiceHooks {
    std::function<void()> searching;                  // once, before a search starts
    std::function<void(const std::string&)> note;     // a line for the person
    std::function<bool()> giveUp;                     // asked while searching: true ends the search
};

// Settles the offset a rip reads with, first match wins: the one given; the
// one remembered for the drive model; with `accuracy` asking the database and
// `wish.search`, one found on the disc (then remembered for the model); else
// 0, unknown. The notes say what was found, or that the offset is unknown.
ReadOffsetUsed ChooseReadOffset(const DiscRecord& disc, const ReadOffsetWish& wish, AccuracyCheck* accuracy,
                                const OffsetChoiceHooks& hooks);

}  // namespace tesslow
