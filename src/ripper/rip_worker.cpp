#include "ripper/rip_worker.h"

#include "app/settings.h"
#include "drive/eject.h"
#include "drive/extraction_request.h"
#include "encoding/encoder_exception.h"
#include "encoding/encoder_factory.h"
#include "metadata/naming.h"
#include "platform/desktop_shell.h"
#include "platform/fd_io.h"
#include "platform/folders.h"
#include "platform/format.h"
#include "platform/message_sink.h"
#include "platform/messages.h"
#include "platform/pipe.h"
#include "platform/worker_thread.h"

#include <unistd.h>

#include <chrono>
#include <memory>
#include <new>
#include <stdexcept>
#include <vector>

namespace tesslow {

namespace {

constexpr std::int64_t kSectorBytes = 2352;
constexpr auto kExtractionWait = std::chrono::milliseconds(1000);

}  // namespace

RipSettings RipSettings::From(const Settings& settings)
{
    return {settings.JitterCorrection != 0, settings.EjectWhenDone != 0, settings.OpenFolderWhenDone != 0};
}

// The state of the track being ripped.
struct RipWorker::Track {
    std::string outputPath;
    std::unique_ptr<Encoder> encoder;
    bool encoderCreated = false;
    std::shared_ptr<ExtractionRequest> request;
    UniqueFd pipeReadEnd;
    WorkerThread extraction;

    // Stops a running extraction: the stop flag ends its loop and closing the
    // read end frees a write blocked on a full pipe. A thread that is still
    // busy after the wait is abandoned; it holds the request and the drive.
    void StopExtraction()
    {
        if (request) request->stop = true;
        pipeReadEnd.Reset();
        if (extraction.Running()) (void)extraction.WaitFor(kExtractionWait);
    }
};

RipWorker::RipWorker(const RipWorkerSetup& setup) : setup_(setup) {}

bool RipWorker::AskCancel() { return setup_.sink->Send(UM_RIP_QUERY_CANCEL, 0, 0) != 0; }

void RipWorker::Run()
{
    const RipJob& job = *setup_.job;
    const DiscRecord& disc = *setup_.disc;
    MessageSink& sink = *setup_.sink;
    sink.Post(UM_RIP_STARTED, 0, 0);

    std::int64_t total = 0;
    for (std::uint32_t t : job.SelectedTracks)
        if (t < disc.tracks.size()) total += disc.tracks[t].length * kSectorBytes;
    sink.Post(UM_RIP_TOTAL_RANGE, static_cast<std::uintptr_t>(total), 0);

    // An empty folder would make every path absolute from the root; it means
    // the current folder.
    folder_ = job.OutputFolder.empty() ? "." : job.OutputFolder;
    if (folder_.back() != '/') folder_ += '/';

    jobPosition_ = 0;
    for (std::uint32_t t : job.SelectedTracks) {
        RipTrack(t);
        if (canceled_) break;
    }

    if (setup_.settings.ejectWhenDone && disc.drive) Eject(*disc.drive);
    if (setup_.settings.openFolderWhenDone && !canceled_ && setup_.shell) setup_.shell->Explore(folder_);
    sink.Post(UM_RIP_FINISHED, 0, 0);
}

void RipWorker::RipTrack(std::uint32_t t)
{
    const RipJob& job = *setup_.job;
    DiscRecord& disc = *setup_.disc;
    MessageSink& sink = *setup_.sink;
    Track track;

    if (AskCancel()) {
        canceled_ = true;
        return;
    }
    const TocEntry entry = t < disc.tracks.size() ? disc.tracks[t] : TocEntry{};
    sink.Post(UM_RIP_TRACK_STARTED, t, 0);
    sink.Post(UM_RIP_TRACK_RANGE, static_cast<std::uintptr_t>(entry.length * kSectorBytes), 0);

    try {
        const std::string name = ExpandNameTemplate(disc, t, job.NameTemplate);
        track.outputPath = folder_ + name;  // names the error line if the format is unknown
        track.outputPath = OutputFilePath(folder_, name, TargetExtension(job.format));
        if (t >= disc.tracks.size()) throw std::runtime_error("Internal error #1597.");

        EncoderRequest request;
        request.format = job.format;
        request.path = track.outputPath;
        request.tags = disc.album;
        request.trackIndex = t;
        request.preset = job.preset;
        request.qualityValue = job.qualityValue;
        request.alwaysOverwrite = job.AlwaysOverwrite;
        request.overwrite = setup_.overwrite;
        request.question = setup_.question;
        track.encoder = CreateEncoder(request);
        track.encoderCreated = true;

        Pipe pipe(static_cast<std::size_t>(entry.length * kSectorBytes));
        if (!pipe.Valid()) throw std::runtime_error("Internal error #1597.");
        track.pipeReadEnd = std::move(pipe.readEnd);
        track.request = std::make_shared<ExtractionRequest>();
        track.request->drive = disc.drive;
        track.request->startSector = entry.start;
        track.request->sectorCount = entry.length;
        track.request->readableEnd = AudioEnd(disc);
        track.request->jitterCorrection = setup_.settings.jitterCorrection;
        track.request->pipeWriteEnd = std::move(pipe.writeEnd);
        track.extraction = WorkerThread([request = track.request] { RunRipExtraction(request); });

        std::vector<unsigned char> chunk(kRipChunkBytes);
        std::int64_t trackPosition = 0;
        auto readChunk = [&] {
            const ssize_t n = ReadFull(track.pipeReadEnd.Get(), chunk.data(), chunk.size());
            if (n < 0) throw std::runtime_error("Internal error #1597.");
            return n;
        };
        for (ssize_t n = readChunk(); n > 0 && !track.request->readError; n = readChunk()) {
            if (AskCancel()) {
                canceled_ = true;
                break;
            }
            track.encoder->Write(chunk.data(), static_cast<unsigned>(n), nullptr);
            trackPosition += n;
            jobPosition_ += n;
            sink.Post(UM_RIP_PROGRESS, static_cast<std::uintptr_t>(trackPosition), static_cast<std::intptr_t>(jobPosition_));
        }
        track.StopExtraction();
        if (canceled_) throw std::runtime_error("Canceled.");
        if (track.request->readError) throw std::runtime_error("CD read error.");
        track.encoder->Finish();
        track.encoder.reset();
    } catch (const EncoderException& error) {
        ReportFailure(track, error.Message());
    } catch (const std::runtime_error& error) {
        ReportFailure(track, error.what());
    } catch (...) {
        ReportFailure(track, "Unhandled exception.");
    }
}

void RipWorker::ReportFailure(Track& track, const std::string& message)
{
    const std::string line = FileNameOf(track.outputPath) + ": " + message;
    setup_.sink->Send(UM_RIP_ERROR, reinterpret_cast<std::uintptr_t>(line.c_str()), 0);
    track.StopExtraction();
    if (track.encoderCreated) {
        track.encoder.reset();  // closed without Finish
        ::unlink(track.outputPath.c_str());
    }
}

}  // namespace tesslow
