#include "drive/extraction_request.h"

#include "app/disc_record.h"
#include "drive/mmc.h"
#include "drive/rip_reader.h"
#include "platform/fd_io.h"

#include <optional>
#include <stdexcept>

namespace tesslow {

std::int32_t AudioEnd(const DiscRecord& record)
{
    if (record.tracks.empty()) return 0;
    return record.tracks.back().start + record.tracks.back().length;
}

void RunRipExtraction(std::shared_ptr<ExtractionRequest> request)
{
    UniqueFd out = std::move(request->pipeWriteEnd);
    std::optional<RipReader> reader;
    try {
        if (request->sectorCount > 0) {
            if (!request->drive) throw std::invalid_argument("no drive");
            reader.emplace(request->drive, request->startSector, request->sectorCount, request->readableEnd,
                           request->jitterCorrection, request->stop);
        }
        for (std::int32_t i = 0; i < request->sectorCount && !request->stop.load(); ++i) {
            const std::uint8_t* sector = reader->ReadSector();
            if (!sector) {
                // "Audio CD read error.": the library gave up on the sector.
                request->readError = true;
                break;
            }
            if (request->stop.load()) break;
            if (!WriteAll(out.Get(), sector, kSectorBytes)) {
                if (!request->stop.load()) request->readError = true;
                break;
            }
        }
    } catch (...) {
        request->readError = true;
    }
    out.Reset();
    reader.reset();
}

}  // namespace tesslow
