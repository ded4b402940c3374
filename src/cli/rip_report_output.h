#pragma once

#include "app/disc_record.h"
#include "ripper/rip_monitor.h"

#include <string>

namespace tesslow {

// What tesslow-rip prints when a rip has ended, from the session's monitor.

// For people: the result line, the error lines, the notes, the cover art line, and what
// AccurateRip said of each ripped track with its summary line. Outside text is shown escaped.
std::string RipReportText(const RipMonitor& monitor, const DiscRecord& disc);

// For scripts (--json), one line:
// {"result": "completed" | "completed with errors" | "canceled", "exit_code",
//  "output", "accuraterip": {"id", "status" ("found", "not found", "error",
//  "off"), "responses", "max_confidence"}, "read_offset": {"samples",
//  "source" ("given", "remembered", "found", "unknown"), "drive"} (null when
//  the job ended before reading), "overread", "cover": {"source" ("archive",
//  "cache", "file"), "location" (the address or path), "mime", "width",
//  "height", "bytes"} (null when the files carry none), "notes": [...], "tracks":
//  [{"position", "number", "file", "status" ("ripped", "error", "skipped"),
//  "errors": [...], "silent_samples" (given as silence, outside the disc),
//  "replaygain": {"gain" (dB), "peak"} (null when not measured), "crc32",
//  "accuraterip": {"v1", "v2", "result" ("accurate", "not accurate", "not
//  present", or null when the database gave no verdict), "confidence",
//  "match" ("v1", "v2" or null)}}], "album_replaygain": {"gain", "peak",
//  "tracks" (the CD numbers measured together), "whole_disc"} (null when not
//  measured)}
// Checksums are 8 lowercase hex digits; a track not ripped whole has null
// for "crc32" and "accuraterip".
std::string RipReportJson(const RipMonitor& monitor, const std::string& outputFolder);

}  // namespace tesslow
