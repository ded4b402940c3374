#pragma once

#include <string>
#include <vector>

namespace tesslow {

class DiscRecords;
class MessageSink;
struct RipJob;

// The disc search, run on a thread of its own: one pass over `drives` in
// order. Before each drive it sends UM_DISC_SEARCH_ABORT to `sink` and stops
// when the answer is nonzero; it probes each drive (disc_probe.h). The first
// drive holding an audio disc becomes the job's current drive (job.driveKey,
// written before the result is posted) and UM_DISC_SEARCH_DONE is posted with
// wParam 1; otherwise UM_DISC_SEARCH_DONE with wParam 0. No waiting or polling:
// a new search is a new call. Returns what it posted.
bool RunDiscSearch(const std::vector<std::string>& drives, DiscRecords& records, RipJob& job, MessageSink& sink);

}  // namespace tesslow
