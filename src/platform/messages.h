#pragma once

#include <cstdint>

namespace tesslow {

// Private messages from worker threads to the page that started them. The
// numbers are those of the original window messages (WM_USER-based) and stay
// stable so that logs and recordings stay comparable.
inline constexpr std::uint32_t WM_USER = 0x400;

inline constexpr std::uint32_t UM_TITLES_LOADED = WM_USER + 2;       // posted; w = 1 titles found, else 0
inline constexpr std::uint32_t UM_PLAYBACK_ENDED = WM_USER + 3;      // posted
inline constexpr std::uint32_t UM_DISC_SEARCH_DONE = WM_USER + 10;   // posted; w = 1 found, 0 not found
inline constexpr std::uint32_t UM_DISC_SEARCH_ABORT = WM_USER + 11;  // sent; answer non-zero = stop
inline constexpr std::uint32_t UM_RIP_STARTED = WM_USER + 200;       // posted
inline constexpr std::uint32_t UM_RIP_FINISHED = WM_USER + 201;      // posted
inline constexpr std::uint32_t UM_RIP_ERROR = WM_USER + 205;         // sent; w = const char* UTF-8 line, valid during the call
inline constexpr std::uint32_t UM_RIP_PROGRESS = WM_USER + 206;      // posted; w = track bytes, l = job bytes
inline constexpr std::uint32_t UM_RIP_TOTAL_RANGE = WM_USER + 207;   // posted; w = job bytes
inline constexpr std::uint32_t UM_RIP_TRACK_RANGE = WM_USER + 208;   // posted; w = track bytes
inline constexpr std::uint32_t UM_RIP_QUERY_CANCEL = WM_USER + 209;  // sent; answer non-zero = cancel confirmed
inline constexpr std::uint32_t UM_RIP_TRACK_STARTED = WM_USER + 210; // posted; w = track index, l = which read (1, 2, ...)
inline constexpr std::uint32_t UM_RIP_TRACK_DONE = WM_USER + 211;    // sent; w = const TrackOutcome*, valid during the call
inline constexpr std::uint32_t UM_RIP_ACCURACY = WM_USER + 212;      // sent; w = const AccuracyOutcome*, valid during the call
inline constexpr std::uint32_t UM_RIP_NOTE = WM_USER + 213;          // sent; w = const char* UTF-8 line, valid during the call
inline constexpr std::uint32_t UM_RIP_READ_OFFSET = WM_USER + 214;   // sent; w = const ReadOffsetUsed*, valid during the call
inline constexpr std::uint32_t UM_RIP_STEP = WM_USER + 215;          // posted; w = RipStep
inline constexpr std::uint32_t UM_RIP_COVER = WM_USER + 220;         // sent; w = const CoverOutcome*, valid during the call
inline constexpr std::uint32_t UM_RIP_ALBUM_GAIN = WM_USER + 221;    // sent; w = const AlbumGainOutcome*, valid during the call

}  // namespace tesslow
