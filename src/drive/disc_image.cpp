#include "drive/disc_image.h"

#include "app/raw_toc.h"
#include "drive/mmc.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace tesslow {

namespace {

std::uint8_t Bcd(int value) { return static_cast<std::uint8_t>((value / 10) << 4 | (value % 10)); }

}  // namespace

bool DiscImage::Readable(std::int32_t lba, std::int64_t count) const
{
    if (lba < 0 || count < 0 || lba + count > leadOut_) return false;
    for (const Extent& extent : extents_) {
        if (extent.kind != Extent::Kind::Gap) continue;
        if (lba < std::int64_t(extent.first) + extent.count && lba + count > extent.first) return false;
    }
    return true;
}

bool DiscImage::Overreadable(std::int32_t lba, std::int64_t count, std::int32_t reach) const
{
    if (count < 0 || lba < -std::int64_t(reach) || lba + count > std::int64_t(leadOut_) + reach) return false;
    for (const Extent& extent : extents_) {
        if (extent.kind != Extent::Kind::Gap) continue;
        // A gap's first `reach` sectors are the overread past the audio before it.
        const std::int64_t unreadable = std::int64_t(extent.first) + std::min(reach, extent.count);
        if (lba < std::int64_t(extent.first) + extent.count && lba + count > unreadable) return false;
    }
    return true;
}

bool DiscImage::ReadFile(int file, std::uint8_t* out, std::size_t size, std::int64_t position) const
{
    const std::int64_t held = std::clamp<std::int64_t>(fileEnds_[file] - position, 0, static_cast<std::int64_t>(size));
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pread(files_[file].Get(), out + done, size - done, position + static_cast<std::int64_t>(done));
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    return static_cast<std::int64_t>(done) >= held;
}

bool DiscImage::FillSector(const Extent& extent, std::int32_t lba, std::uint8_t* sector) const
{
    std::memset(sector, 0, kSectorBytes);
    const std::int64_t offset = extent.fileOffset + std::int64_t(lba - extent.first) * extent.sectorSize;
    if (extent.sectorSize == kSectorBytes) return ReadFile(extent.file, sector, kSectorBytes, offset);
    // A data sector stored without its sync and header: add them.
    std::memset(sector + 1, 0xFF, 10);
    const int address = lba + kLbaOrigin;
    sector[12] = Bcd(address / (60 * 75));
    sector[13] = Bcd(address / 75 % 60);
    sector[14] = Bcd(address % 75);
    sector[15] = extent.dataMode;
    return ReadFile(extent.file, sector + 16, extent.sectorSize, offset);
}

bool DiscImage::ReadBytes(std::int64_t offset, std::size_t size, std::uint8_t* out) const
{
    std::memset(out, 0, size);
    bool complete = true;
    const std::int64_t end = offset + static_cast<std::int64_t>(size);
    // The first extent that ends after `offset`.
    auto it = std::upper_bound(extents_.begin(), extents_.end(), offset, [](std::int64_t value, const Extent& extent) {
        return value < (std::int64_t(extent.first) + extent.count) * kSectorBytes;
    });
    std::uint8_t sector[kSectorBytes];
    for (; it != extents_.end() && std::int64_t(it->first) * kSectorBytes < end; ++it) {
        if (it->kind != Extent::Kind::File) continue;
        const std::int64_t extentBegin = std::int64_t(it->first) * kSectorBytes;
        const std::int64_t extentEnd = (std::int64_t(it->first) + it->count) * kSectorBytes;
        const std::int64_t from = std::max(offset, extentBegin), to = std::min(end, extentEnd);
        if (from >= to) continue;
        if (it->sectorSize == kSectorBytes) {
            // Stored raw: one read for the whole piece. A partial last sector
            // of the file reads padded with zeros.
            complete = ReadFile(it->file, out + (from - offset), static_cast<std::size_t>(to - from),
                                it->fileOffset + (from - extentBegin)) &&
                       complete;
            continue;
        }
        for (std::int64_t position = from; position < to;) {
            const auto lba = static_cast<std::int32_t>(position / kSectorBytes);
            const std::int64_t within = position % kSectorBytes;
            const std::int64_t piece = std::min<std::int64_t>(kSectorBytes - within, to - position);
            complete = FillSector(*it, lba, sector) && complete;
            std::memcpy(out + (position - offset), sector + within, static_cast<std::size_t>(piece));
            position += piece;
        }
    }
    return complete;
}

}  // namespace tesslow
