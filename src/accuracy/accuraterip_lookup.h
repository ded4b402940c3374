#pragma once

#include "accuracy/accuraterip_id.h"
#include "accuracy/dbar_file.h"

#include <chrono>
#include <string>
#include <vector>

namespace tesslow {

// What the AccurateRip database said of a disc.
struct AccurateRipLookup {
    enum class Status { Found, NotFound, Error };
    Status status = Status::Error;
    std::vector<DbarResponse> responses;  // found: those for this disc
    std::string problem;                  // why it failed, or what was dropped from the answer (English)
};

// The database's address: TESSLOW_ACCURATERIP_URL when set (tests point it at
// a server of their own), else http://www.accuraterip.com. No trailing slash.
std::string AccurateRipBaseUrl();

// Asks the database for the disc's dBAR file with one HTTP GET, all of it
// within `limit`. A 404 is "not in the database"; an answer with no response
// for this disc is "not found" too, with the problem said. Answers for a disc
// that were found or not found are kept for the rest of the run, so the disc
// is asked once. Thread-safe; blocks for up to `limit`.
AccurateRipLookup LookUpAccurateRip(const AccurateRipId& disc, const std::string& baseUrl,
                                    std::chrono::milliseconds limit);

}  // namespace tesslow
