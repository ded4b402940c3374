#include "drive/preview_extraction.h"

#include "app/disc_record.h"
#include "drive/mmc.h"
#include "drive/toc_reader.h"
#include "platform/fd_io.h"
#include "platform/pipe.h"

#include <chrono>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <vector>

namespace tesslow {

std::shared_ptr<extract_for_playback_data_t> PrepareForPlayback(DiscRecords& records, const std::string& driveKey,
                                                                std::size_t trackIndex)
{
    auto data = std::make_shared<extract_for_playback_data_t>();
    Pipe pipe(kPreviewChunkBytes);
    if (!pipe.Valid()) throw std::system_error(errno, std::generic_category(), "pipe");
    data->pipeReadEnd = std::move(pipe.readEnd);
    data->pipeWriteEnd = std::move(pipe.writeEnd);
    const DiscRecord& record = records[driveKey];
    const std::int32_t first = TrackStartSector(record, trackIndex);
    data->reader = std::make_unique<PreviewReader>(records, driveKey, first, record.leadOut - first);
    return data;
}

void RunPreviewExtraction(std::shared_ptr<extract_for_playback_data_t> data)
{
    data->started = true;
    UniqueFd out = std::move(data->pipeWriteEnd);
    try {
        std::vector<std::uint8_t> buffer(kPreviewChunkBytes);
        for (;;) {
            const std::size_t n = data->reader->Read(buffer.data(), buffer.size());
            if (n == 0 || !WriteAll(out.Get(), buffer.data(), n)) break;
        }
    } catch (...) {
        // The stream simply ends.
    }
}

PreviewStream StartPreviewExtraction(DiscRecords& records, const std::string& driveKey, std::size_t trackIndex)
{
    auto data = PrepareForPlayback(records, driveKey, trackIndex);
    PreviewStream stream;
    stream.readEnd = std::move(data->pipeReadEnd);
    stream.thread = WorkerThread([data] { RunPreviewExtraction(data); });
    while (!data->started) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return stream;
}

}  // namespace tesslow
