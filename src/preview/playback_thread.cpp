#include "preview/playback_thread.h"

#include "app/cd_audio.h"
#include "app/disc_record.h"
#include "drive/preview_extraction.h"
#include "drive/toc_reader.h"
#include "platform/fd_io.h"
#include "platform/message_sink.h"
#include "platform/messages.h"
#include "preview/output_dsound.h"
#include "preview/sdl_sound_device.h"

#include <chrono>
#include <exception>
#include <thread>
#include <vector>

namespace tesslow {
namespace {

constexpr auto kFullWait = std::chrono::milliseconds(40);
constexpr auto kExtractionWait = std::chrono::milliseconds(900);

// Posts UM_PLAYBACK_ENDED when the playback ends, however it ends.
struct EndedNotice {
    MessageSink& sink;
    ~EndedNotice() { sink.Post(UM_PLAYBACK_ENDED, 0, 0); }
};

}  // namespace

std::shared_ptr<output> MakePreviewOutput()
{
    if (!SdlSoundAvailable()) return nullptr;
    return std::make_shared<output_dsound>();
}

PlaybackEnd RunPlayback(PlaybackData& data, DiscRecords& records, const std::string& driveKey,
                        std::size_t trackIndex, MessageSink& sink, OutputMaker makeOutput)
{
    EndedNotice notice{sink};
    PlaybackEnd end;
    try {
        const std::int32_t first = TrackStartSector(records[driveKey], trackIndex);
        data.position = first;
        if (!data.out) data.out = makeOutput();
        data.soundMissing = !data.out;
        if (!data.out) {
            end.soundMissing = true;
            return end;
        }
        output& out = *data.out;

        PreviewStream stream = StartPreviewExtraction(records, driveKey, trackIndex);
        std::vector<std::uint8_t> block(kPreviewChunkBytes);
        std::uint64_t handed = 0;  // bytes given to the output
        // Whole blocks as the extraction writes them; the last may be short.
        ssize_t n = ReadFull(stream.readEnd.Get(), block.data(), block.size());
        while (n > 0 && !data.stop) {
            if (out.update() != 0) {
                out.process_samples(audio_chunk{block.data(), static_cast<std::size_t>(n)}, false);
                handed += static_cast<std::uint64_t>(n);
                data.position = first + static_cast<std::int32_t>(handed / kSectorBytes);
                n = ReadFull(stream.readEnd.Get(), block.data(), block.size());
            } else {
                std::this_thread::sleep_for(kFullWait);
            }
        }
        // What is still pending is dropped; what is queued fades out.
        out.flush();
        out.update();
        stream.readEnd.Reset();
        stream.thread.WaitFor(kExtractionWait);
    } catch (const std::exception& error) {
        end.error = error.what();
    }
    return end;
}

}  // namespace tesslow
