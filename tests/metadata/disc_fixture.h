#pragma once

#include "app/disc_record.h"

#include <cstdint>
#include <vector>

namespace tesslow::test {

// One descriptor of a READ TOC (format 0) answer.
struct TocTrack {
    std::uint8_t number = 0;
    std::int32_t lba = 0;
    bool data = false;
};

// A raw TOC as a drive returns it: header, the descriptors, the lead-out (AAh).
inline std::vector<std::uint8_t> MakeRawToc(const std::vector<TocTrack>& tracks, std::int32_t leadOut)
{
    std::vector<std::uint8_t> toc(4);
    auto put = [&](std::uint8_t number, bool data, std::int32_t lba) {
        const auto value = static_cast<std::uint32_t>(lba);
        toc.insert(toc.end(), {0, static_cast<std::uint8_t>(data ? 0x14 : 0x10), number, 0,
                               static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
                               static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)});
    };
    for (const TocTrack& track : tracks) put(track.number, track.data, track.lba);
    put(0xAA, false, leadOut);
    const std::size_t dataLength = toc.size() - 2;
    toc[0] = static_cast<std::uint8_t>(dataLength >> 8);
    toc[1] = static_cast<std::uint8_t>(dataLength);
    toc[2] = tracks.empty() ? 0 : tracks.front().number;
    toc[3] = tracks.empty() ? 0 : tracks.back().number;
    return toc;
}

// A disc record filled the way the drive layer fills it from that TOC: audio
// tracks only, each running to the next descriptor.
inline DiscRecord MakeDiscRecord(const std::vector<TocTrack>& tracks, std::int32_t leadOut)
{
    DiscRecord record;
    record.rawToc = MakeRawToc(tracks, leadOut);
    for (std::size_t i = 0; i < tracks.size(); ++i) {
        if (tracks[i].data) continue;
        const std::int32_t next = i + 1 < tracks.size() ? tracks[i + 1].lba : leadOut;
        record.trackNumbers.push_back(tracks[i].number);
        record.tracks.push_back({tracks[i].lba, next - tracks[i].lba});
    }
    record.leadOut = leadOut;
    record.hasAudio = !record.tracks.empty();
    return record;
}

// Audio tracks 1..count starting at LBA 0, `length` sectors each.
inline std::vector<TocTrack> EvenTracks(int count, std::int32_t length)
{
    std::vector<TocTrack> tracks;
    for (int i = 0; i < count; ++i) tracks.push_back({static_cast<std::uint8_t>(i + 1), i * length, false});
    return tracks;
}

}  // namespace tesslow::test
