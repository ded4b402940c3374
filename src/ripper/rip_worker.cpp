#include "ripper/rip_worker.h"

#include "app/cd_audio.h"
#include "app/settings.h"
#include "drive/drive_model.h"
#include "drive/eject.h"
#include "drive/rip_stream.h"
#include "encoding/encoder_exception.h"
#include "encoding/encoder_factory.h"
#include "encoding/overwrite.h"
#include "encoding/track_tags.h"
#include "metadata/cover_art_lookup.h"
#include "encoding/tag_update.h"
#include "loudness/meter_thread.h"
#include "loudness/replay_gain_tags.h"
#include "metadata/disc_id.h"
#include "metadata/naming.h"
#include "platform/desktop_shell.h"
#include "platform/folders.h"
#include "platform/message_sink.h"
#include "platform/messages.h"
#include "platform/partial_file.h"
#include "platform/system_error.h"
#include "ripper/accuracy_check.h"
#include "ripper/cover_art_fetch.h"
#include "ripper/deemphasis_filter.h"
#include "ripper/read_agreement.h"
#include "ripper/rip_records.h"
#include "tesslow_version.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <ctime>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

namespace tesslow {

namespace {

std::int64_t TrackBytes(const TocEntry& entry) { return std::int64_t{entry.length} * kSectorBytes; }

// The largest magnitude of the 16-bit samples in `size` bytes of CD audio.
std::uint16_t Peak(const unsigned char* audio, std::size_t size)
{
    int peak = 0;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        const auto sample = static_cast<std::int16_t>(audio[i] | (audio[i + 1] << 8));
        peak = std::max(peak, sample < 0 ? -int{sample} : int{sample});
    }
    return static_cast<std::uint16_t>(peak);
}

// What the error line of a track that was ripped, but is not known to hold
// the disc's audio exactly, says about it; empty for an exact track.
std::string Doubt(const ExtractionReport& report)
{
    auto sectors = [](std::int32_t n) { return std::to_string(n) + (n == 1 ? " sector" : " sectors"); };
    if (report.unverifiedSectors == 0 && report.unreadableSectors > 0)
        return sectors(report.unreadableSectors) + " could not be read; the file has silence there";
    if (report.onlyAtEnd)
        return report.unverifiedSectors == 1 ? "the last sector could not be verified"
                                             : "the last " + sectors(report.unverifiedSectors) + " could not be verified";
    if (report.unverifiedSectors > 0)
        return sectors(report.unverifiedSectors + report.unreadableSectors) + " around sector " +
               std::to_string(report.firstDoubtfulSector) + " could not be verified";
    return {};
}


}  // namespace

RipSettings RipSettings::From(const Settings& settings)
{
    RipSettings from;
    from.jitterCorrection = settings.JitterCorrection != 0;
    from.ejectWhenDone = settings.EjectWhenDone != 0;
    from.openFolderWhenDone = settings.OpenFolderWhenDone != 0;
    from.mp3ForceCbr = settings.MP3ForceCBR != 0;
    from.moduleFolder = settings.AppPath;
    from.accurateRip = settings.AccurateRip != 0;
    from.accurateRipUrl = AccurateRipBaseUrl();
    from.verifyReads = settings.VerifyReads != 0;
    from.writeLog = settings.WriteLog != 0;
    from.writeCue = settings.WriteCue != 0;
    from.deemphasis = settings.Deemphasis != 0;
    from.coverArtSize = CoverArtSizeOf(settings.CoverArtSize);
    from.coverArtUrl = CoverArtBaseUrl();
    from.replayGain = settings.ReplayGain != 0;
    from.detectGaps = true;
    return from;
}

// The state of the track being ripped. The encoder writes the file under a
// temporary name; it takes the output path only once complete.
struct RipWorker::Track {
    explicit Track(TrackOutcome& of) : outcome(of) {}
    std::string outputPath;
    TrackOutcome& outcome;
    std::optional<PartialFile> file;
    std::unique_ptr<Encoder> encoder;
    RipStream stream;
};

RipWorker::RipWorker(RipWorkerSetup setup) : setup_(std::move(setup)) {}

RipWorker::~RipWorker() = default;

bool RipWorker::AskCancel()
{
    if (setup_.cancelRequested && setup_.cancelRequested->load()) return true;
    return setup_.sink->Send(UM_RIP_QUERY_CANCEL, 0, 0) != 0;
}

std::string RipWorker::PathOfItsOwn(const std::string& path)
{
    std::string chosen = path;
    for (int number = 2; !chosenPaths_.insert(chosen).second; ++number) chosen = NumberedPath(path, number);
    if (chosen != path)
        SendTrackLine(chosen, "named so because an earlier track of this rip has the name " + FileNameOf(path));
    return chosen;
}

void RipWorker::PrepareFolder(const std::string& path)
{
    const std::string folder = path.substr(0, path.rfind('/') + 1);
    if (const int error = EnsureParentDirectory(path))
        throw EncoderException("cannot create file (" + FileErrorText(error) + ")");
    // Temporary files of an earlier run that died are removed once per folder.
    if (cleanedFolders_.insert(folder).second) RemoveStalePartFiles(folder.empty() ? "." : folder);
}

RipResult RipWorker::Run()
{
    const RipJob& job = setup_.job;
    const DiscRecord& disc = setup_.disc;
    MessageSink& sink = *setup_.sink;
    sink.Post(UM_RIP_STARTED, 0, 0);

    jobRange_ = 0;
    for (std::uint32_t t : job.SelectedTracks)
        if (const auto extent = TrackExtent(disc, t)) jobRange_ += TrackBytes(*extent);
    sink.Post(UM_RIP_TOTAL_RANGE, static_cast<std::uintptr_t>(jobRange_), 0);

    // An empty folder would make every path absolute from the root; it means
    // the current folder.
    folder_ = job.OutputFolder.empty() ? "." : job.OutputFolder;
    if (folder_.back() != '/') folder_ += '/';

    // The database is asked while the tracks are ripped.
    AccuracyCheck accuracy(disc, setup_.settings.accurateRip, setup_.settings.accurateRipUrl,
                           setup_.settings.accurateRipLimit);
    accuracy_ = &accuracy;
    jobPosition_ = 0;
    // So is the front cover, while the first track is read.
    if (!job.SelectedTracks.empty()) {
        const AlbumInfo& album = disc.album;
        CoverWish wish;
        wish.file = setup_.settings.coverFile;
        wish.chosenFile = album.coverFile;
        wish.noCover = album.noCover;
        if (IsMusicBrainzId(album.source)) wish.releaseId = album.source;
        wish.size = setup_.settings.coverArtSize;
        wish.baseUrl = setup_.settings.coverArtUrl.empty() ? CoverArtBaseUrl() : setup_.settings.coverArtUrl;
        wish.cacheFolder = setup_.settings.coverCacheFolder;
        wish.limit = setup_.settings.coverArtLimit;
        cover_ = std::make_shared<CoverArtFetch>(std::move(wish));
    }
    if (MeasuresLoudness()) meterThread_ = std::make_unique<ReplayGainMeterThread>();

    if (!job.SelectedTracks.empty()) {
        ReadSubchannel();
        if (!canceled_) SettleReadOffset(accuracy);
    }
    for (std::uint32_t t : job.SelectedTracks) {
        if (canceled_) break;
        RipTrack(t);
        if (canceled_) break;
    }
    accuracy_ = nullptr;
    std::optional<CoverOutcome> cover;
    if (!canceled_) cover = ReportCover();
    std::optional<AccuracyOutcome> verdicts;
    if (!canceled_ && setup_.settings.accurateRip) verdicts = ReportAccuracy(accuracy);
    meterThread_.reset();
    if (!canceled_ && MeasuresLoudness()) TagAlbum();
    if (!job.SelectedTracks.empty()) WriteRecords(verdicts, cover);

    if (!setup_.abandoned || !setup_.abandoned->load()) {
        if (setup_.settings.ejectWhenDone && disc.drive) Eject(*disc.drive);
        if (setup_.settings.openFolderWhenDone && !canceled_ && setup_.shell) setup_.shell->Explore(folder_);
    }
    sink.Post(UM_RIP_FINISHED, 0, 0);
    if (canceled_) return RipResult::Canceled;
    return reportedErrors_ ? RipResult::CompletedWithErrors : RipResult::Success;
}

void RipWorker::ReadSubchannel()
{
    const DiscRecord& disc = setup_.disc;
    if (!disc.drive) return;
    MessageSink& sink = *setup_.sink;
    const bool gaps = setup_.settings.detectGaps;
    if (gaps) sink.Post(UM_RIP_STEP, static_cast<std::uintptr_t>(RipStep::ReadingSubchannel), 0);
    // While the step shows, the cancel question is asked between reads; the
    // cancel request is always heard.
    subcode_ = ReadDiscSubcode(*disc.drive, disc, gaps, [&] {
        const bool requested = setup_.cancelRequested && setup_.cancelRequested->load();
        return canceled_ = canceled_ || requested || (gaps && AskCancel());
    });
    if (gaps) sink.Post(UM_RIP_STEP, static_cast<std::uintptr_t>(RipStep::Tracks), 0);
    if (subcode_.gapsSearched && !subcode_.gapsDetected && !canceled_)
        SendNote("Gaps not detected: the drive does not tell where the tracks' gaps begin");
}

bool RipWorker::Deemphasises(std::uint32_t t) const
{
    // The hidden track is track 1's pregap, with its control bits.
    const std::size_t track = t == kHiddenTrackIndex ? 0 : t;
    return setup_.settings.deemphasis && setup_.job.format != FormatCode::Wav && track < subcode_.preemphasis.size() &&
           subcode_.preemphasis[track];
}

void RipWorker::SettleReadOffset(AccuracyCheck& accuracy)
{
    MessageSink& sink = *setup_.sink;
    OffsetChoiceHooks hooks;
    bool searched = false;
    hooks.searching = [&] {
        searched = true;
        sink.Post(UM_RIP_STEP, static_cast<std::uintptr_t>(RipStep::FindingReadOffset), 0);
    };
    hooks.note = [&](const std::string& line) { SendNote(line); };
    hooks.giveUp = [&] { return canceled_ = canceled_ || AskCancel(); };
    offsetUsed_ = ChooseReadOffset(setup_.disc, setup_.settings.readOffset, &accuracy, hooks);
    if (searched) sink.Post(UM_RIP_STEP, static_cast<std::uintptr_t>(RipStep::Tracks), 0);
    sink.Send(UM_RIP_READ_OFFSET, reinterpret_cast<std::uintptr_t>(&offsetUsed_), 0);
    readOffset_ = {offsetUsed_.samples, offsetUsed_.overread};
}

std::unique_ptr<Encoder> RipWorker::MakeEncoder(const std::string& path, std::uint32_t t)
{
    const RipJob& job = setup_.job;
    EncoderRequest request;
    request.format = job.format;
    request.path = path;
    request.tags = setup_.disc.album;
    request.tags.isrcs = subcode_.isrcs;
    if (t == kHiddenTrackIndex) {
        // Tagged as track 0 of a titled disc; it has no ISRC, no credit and
        // no recording of its own.
        if (!request.tags.trackTitles.empty()) request.tags.trackTitles = {kHiddenTrackTitle};
        request.tags.isrcs.clear();
        request.tags.credits.clear();
        t = 0;
        request.trackNumber = 0;
    }
    if (Deemphasises(t))
        request.tags.comment = kDeemphasisComment + (request.tags.comment.empty() ? "" : "; " + request.tags.comment);
    request.trackIndex = t;
    request.preset = job.preset;
    request.qualityValue = job.qualityValue;
    request.mp3ForceCbr = setup_.settings.mp3ForceCbr;
    request.moduleFolder = setup_.settings.moduleFolder;
    request.alwaysOverwrite = job.AlwaysOverwrite;
    request.overwrite = setup_.overwrite.get();
    // The encoder runs on this thread: a cancel while it waits for the cover is heard.
    if (cover_) {
        request.cover = [this, cover = cover_] {
            return cover->Picture([this] { return canceled_ = canceled_ || AskCancel(); });
        };
    }
    request.question = setup_.question.get();
    return CreateEncoder(request);
}

// What one read of a track gave.
struct RipWorker::Pass {
    TrackChecksums::Sums sums;
    std::uint16_t peak = 0;  // the largest sample's magnitude
    double seconds = 0;
    ExtractionReport report;
    bool measured = false;  // the audio its encoder was given went to the loudness meter
};

bool RipWorker::MeasuresLoudness() const
{
    return setup_.settings.replayGain && setup_.job.format != FormatCode::Wav;
}

void RipWorker::FinishFile(Encoder& encoder, PartialFile& file, Pass& pass, TrackOutcome& outcome)
{
    encoder.Finish();
    // The track's gain goes into the file before it takes its name, so a
    // file under the output path always carries it.
    std::unique_ptr<ReplayGainMeter> meter = pass.measured ? meterThread_->Finish() : nullptr;
    std::optional<ReplayGain> gain;
    if (meter) gain = meter->Track();
    if (gain) UpdateTags(setup_.job.format, file.TemporaryPath(), TrackGainTags(*gain));
    file.Commit();
    outcome.replayGain = gain;
    std::erase_if(loudness_, [&](const auto& entry) { return entry.first == outcome.trackIndex; });
    if (meter) loudness_.emplace_back(outcome.trackIndex, std::move(meter));
}

void RipWorker::TagAlbum()
{
    // Every track of this job with a file and a measured loudness: tracks
    // ripped by an earlier run are not known here.
    AlbumGainOutcome album;
    std::vector<const ReplayGainMeter*> meters;
    std::vector<TrackOutcome*> tagged;
    for (TrackOutcome& outcome : outcomes_) {
        if (outcome.status != TrackOutcome::Status::Ripped || !outcome.replayGain) continue;
        for (const auto& [trackIndex, meter] : loudness_)
            if (trackIndex == outcome.trackIndex) meters.push_back(meter.get());
        tagged.push_back(&outcome);
        album.tracks.push_back(outcome.number);
    }
    const std::optional<ReplayGain> gain = ReplayGainMeter::Album(meters);
    if (!gain) return;
    album.gain = *gain;
    // The disc lists its audio tracks only; a hidden track comes on top.
    album.wholeDisc = std::count_if(album.tracks.begin(), album.tracks.end(), [](int n) { return n > 0; }) >=
                      static_cast<std::ptrdiff_t>(setup_.disc.tracks.size());
    for (TrackOutcome* outcome : tagged) {
        try {
            UpdateTags(setup_.job.format, outcome->file, AlbumGainTags(album.gain));
        } catch (const EncoderException& error) {
            outcome->errors.push_back(error.Message());
            SendErrorLine(FileNameOf(outcome->file) + ": " + error.Message());
        }
    }
    albumGain_ = album;
    setup_.sink->Send(UM_RIP_ALBUM_GAIN, reinterpret_cast<std::uintptr_t>(&*albumGain_), 0);
    if (!album.wholeDisc) {
        std::string numbers;
        for (const int number : album.tracks) numbers += (numbers.empty() ? "" : ", ") + std::to_string(number);
        SendNote("The album's ReplayGain was measured over the tracks of this rip only (" + numbers + ")");
    }
}

// Reads the track once through its extraction stream, giving the audio to
// `encoder` when there is one. Throws "Canceled." or "CD read error.".
RipWorker::Pass RipWorker::ReadPass(Track& track, std::uint32_t t, Encoder* encoder)
{
    MessageSink& sink = *setup_.sink;
    const auto start = std::chrono::steady_clock::now();
    // The hidden track is in no database: its checksums only compare reads.
    TrackChecksums checksums = t == kHiddenTrackIndex ? TrackChecksums(TrackExtent(setup_.disc, t)->length, false, false)
                                                      : accuracy_->ChecksumsFor(t);
    Pass pass;
    track.stream = StartRipExtraction(setup_.disc, t, setup_.settings.jitterCorrection, readOffset_);
    std::vector<unsigned char> chunk(kRipChunkBytes);
    // The encoder gets the de-emphasised audio; the checksums the disc's.
    std::optional<DeemphasisFilter> deemphasis;
    std::vector<unsigned char> filtered;
    if (encoder && Deemphasises(t)) deemphasis.emplace();
    if (encoder && meterThread_) {
        meterThread_->Start();
        pass.measured = true;
    }
    std::int64_t trackPosition = 0;
    // Progress follows the drive: the library reads far ahead of the audio it
    // has verified and delivered, so the bars show the further of the two.
    const std::int64_t passStart = jobPosition_;
    const std::int64_t trackBytes = TrackBytes(TrackExtent(setup_.disc, t).value_or(TocEntry{}));
    std::int64_t shown = 0;
    auto showProgress = [&] {
        const std::int64_t reached = std::int64_t{track.stream.SectorsReached()} * kSectorBytes;
        const std::int64_t position = std::min(std::max(trackPosition, reached), trackBytes);
        if (position <= shown) return;
        shown = position;
        sink.Post(UM_RIP_PROGRESS, static_cast<std::uintptr_t>(shown), static_cast<std::intptr_t>(passStart + shown));
    };
    // A drive may take long to deliver a chunk (a slow one, or one
    // re-reading a scratch): the cancel is asked and the progress shown
    // while waiting.
    auto readChunk = [&] {
        const ssize_t n = track.stream.Read(chunk.data(), chunk.size(), [&] {
            showProgress();
            return canceled_ = AskCancel();
        });
        if (n < 0) throw std::runtime_error("Internal error #1597.");
        return n;
    };
    for (ssize_t n = readChunk(); n > 0 && !canceled_ && !track.stream.ReadError(); n = readChunk()) {
        if (AskCancel()) {
            canceled_ = true;
            break;
        }
        if (deemphasis) {
            filtered.assign(chunk.begin(), chunk.begin() + n);
            deemphasis->Apply(filtered.data(), filtered.size());
            encoder->Write(filtered.data(), static_cast<unsigned>(n), nullptr);
            if (pass.measured) meterThread_->Add(filtered.data(), static_cast<std::size_t>(n));
        } else if (encoder) {
            encoder->Write(chunk.data(), static_cast<unsigned>(n), nullptr);
            if (pass.measured) meterThread_->Add(chunk.data(), static_cast<std::size_t>(n));
        }
        checksums.Add(chunk.data(), static_cast<std::size_t>(n));
        pass.peak = std::max(pass.peak, Peak(chunk.data(), static_cast<std::size_t>(n)));
        trackPosition += n;
        jobPosition_ += n;
        showProgress();
    }
    track.stream.Stop();
    if (canceled_) throw std::runtime_error("Canceled.");
    if (track.stream.ReadError()) throw std::runtime_error("CD read error.");
    pass.sums = checksums.Result();
    pass.report = track.stream.Report();
    pass.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return pass;
}

void RipWorker::RipTrack(std::uint32_t t)
{
    const RipJob& job = setup_.job;
    const DiscRecord& disc = setup_.disc;
    MessageSink& sink = *setup_.sink;
    TrackOutcome outcome;
    outcome.trackIndex = t;
    outcome.number = TrackNumberOf(disc, t);
    Track track(outcome);
    current_ = &outcome;
    struct Done {
        TrackOutcome*& current;
        ~Done() { current = nullptr; }
    } done{current_};

    if (AskCancel()) {
        canceled_ = true;
        return;
    }
    const TocEntry entry = TrackExtent(disc, t).value_or(TocEntry{});
    sink.Post(UM_RIP_TRACK_STARTED, t, 1);
    sink.Post(UM_RIP_TRACK_RANGE, static_cast<std::uintptr_t>(TrackBytes(entry)), 0);

    bool committed = false;
    try {
        const std::string extension = TargetExtension(job.format);
        const std::string name = ExpandNameTemplate(disc, t, job.NameTemplate, extension.size());
        track.outputPath = folder_ + name;  // names the error line if the format is unknown
        track.outputPath = PathOfItsOwn(OutputFilePath(folder_, name, extension));
        if (!TrackExtent(disc, t)) throw std::runtime_error("Internal error #1597.");

        // The question is about the file at the output path; an old one there
        // is replaced only when the new one is complete.
        const bool skip = setup_.overwrite->SkipExisting(track.outputPath, job.AlwaysOverwrite, setup_.question.get());
        if (AskCancel()) {  // the cancel came while the question was open
            canceled_ = true;
            throw std::runtime_error("Canceled.");
        }
        if (skip) throw EncoderException("file skipped");
        if (struct stat info{}; ::stat(track.outputPath.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
            throw EncoderException("cannot create file (" + FileErrorText(EISDIR) + ")");
        PrepareFolder(track.outputPath);
        track.file.emplace(track.outputPath);
        track.encoder = MakeEncoder(track.file->TemporaryPath(), t);

        Pass first = ReadPass(track, t, track.encoder.get());
        FinishFile(*track.encoder, *track.file, first, outcome);
        track.encoder.reset();
        committed = true;
        outcome.reads = 1;
        outcome.sums = first.sums;
        outcome.peak = first.peak / 32768.0;
        outcome.speed = first.seconds > 0 ? entry.length / (first.seconds * kSectorsPerSecond) : 0;
        outcome.deemphasised = Deemphasises(t);
        // The file is kept: it holds all the disc would give.
        if (const std::string doubt = Doubt(first.report); !doubt.empty()) SendTrackLine(track.outputPath, doubt);
        outcome.silentSamples = first.report.silent.before + first.report.silent.after;
        const std::string label = "Track " + std::to_string(outcome.number);
        if (t < subcode_.preemphasis.size() && subcode_.preemphasis[t])
            SendNote(label + (outcome.deemphasised ? ": pre-emphasised on the disc; the file is de-emphasised"
                                                   : ": pre-emphasised on the disc; the file keeps the disc's audio"));
        if (first.report.silent.before > 0)
            SendNote(label + ": the first " + std::to_string(first.report.silent.before) +
                     " samples lie before the start of the disc and are silence");
        if (first.report.silent.after > 0)
            SendNote(label + ": the last " + std::to_string(first.report.silent.after) +
                     " samples lie past the end of the disc and are silence");
        VerifyCopy(track, t);
    } catch (const EncoderException& error) {
        ReportFailure(track, error.Message());
    } catch (const std::runtime_error& error) {
        ReportFailure(track, error.what());
    } catch (...) {
        ReportFailure(track, "Unhandled exception.");
    }
    outcome.file = track.outputPath;
    // A track whose file landed is reported, even when the job was canceled
    // while its copy was being checked.
    if (canceled_ && !committed) return;
    outcomes_.push_back(outcome);
    sink.Send(UM_RIP_TRACK_DONE, reinterpret_cast<std::uintptr_t>(&outcomes_.back()), 0);
}

void RipWorker::VerifyCopy(Track& track, std::uint32_t t)
{
    TrackOutcome& outcome = track.outcome;
    if (!setup_.settings.verifyReads || !outcome.sums) return;
    const std::function<bool()> giveUp = [&] { return canceled_ = canceled_ || AskCancel(); };
    if (const auto verdict = accuracy_->TrackVerdict(t, *outcome.sums, giveUp);
        verdict && verdict->result == TrackAccuracy::Result::Accurate) {
        outcome.check = TrackOutcome::Check::AccurateRip;
        return;
    }
    if (canceled_) return;

    // Nothing vouches for the copy: it is read again until two reads agree.
    // The reads after the second are encoded too, so that a later read that
    // agrees with an earlier one (other than the first) gives the file.
    MessageSink& sink = *setup_.sink;
    const std::int64_t bytes = TrackBytes(*TrackExtent(setup_.disc, t));
    ReadAgreement agreement;
    (void)agreement.Add(outcome.sums->crc32);
    while (agreement.MayReadAgain()) {
        const int read = agreement.Reads() + 1;
        jobRange_ += bytes;
        sink.Post(UM_RIP_TOTAL_RANGE, static_cast<std::uintptr_t>(jobRange_), 0);
        sink.Post(UM_RIP_TRACK_STARTED, t, read);
        sink.Post(UM_RIP_TRACK_RANGE, static_cast<std::uintptr_t>(bytes), 0);
        std::optional<PartialFile> file;
        std::unique_ptr<Encoder> encoder;
        Pass pass;
        try {
            if (read >= 3) {
                file.emplace(track.outputPath);
                encoder = MakeEncoder(file->TemporaryPath(), t);
            }
            pass = ReadPass(track, t, encoder.get());
            ++outcome.reads;
            const std::optional<std::size_t> earlier = agreement.Add(pass.sums.crc32);
            if (!earlier) continue;
            outcome.check = TrackOutcome::Check::Reads;
            outcome.testCrc = pass.sums.crc32;
            if (*earlier > 0 && encoder) {
                // The first read was the odd one: this read's file replaces it.
                FinishFile(*encoder, *file, pass, outcome);
                encoder.reset();
                outcome.sums = pass.sums;
                outcome.peak = pass.peak / 32768.0;
            }
            return;
        } catch (const EncoderException& error) {
            SendTrackLine(track.outputPath, "could not be checked by a second read (" + error.Message() + ")");
            return;
        } catch (const std::runtime_error& error) {
            if (canceled_) return;
            SendTrackLine(track.outputPath, std::string("could not be checked by a second read (") + error.what() + ")");
            return;
        }
    }
    outcome.check = TrackOutcome::Check::Disagreed;
    SendTrackLine(track.outputPath, "no two of " + std::to_string(agreement.Reads()) +
                                        " reads agree; the file holds the first read");
}

std::optional<CoverOutcome> RipWorker::ReportCover()
{
    if (!cover_) return std::nullopt;
    CoverOutcome outcome = cover_->Outcome();
    setup_.sink->Send(UM_RIP_COVER, reinterpret_cast<std::uintptr_t>(&outcome), 0);
    const auto landed = std::find_if(outcomes_.begin(), outcomes_.end(), [](const TrackOutcome& track) {
        return track.status == TrackOutcome::Status::Ripped && !track.file.empty();
    });
    const std::shared_ptr<const CoverPicture> picture = cover_->Picture();
    if (!picture || landed == outcomes_.end()) return outcome;
    const std::string folder = landed->file.substr(0, landed->file.rfind('/') + 1);
    if (const std::string why = WriteCoverFile(folder, *picture, setup_.job.AlwaysOverwrite); !why.empty())
        SendNote(why);
    return outcome;
}

void RipWorker::WriteRecords(const std::optional<AccuracyOutcome>& verdicts, const std::optional<CoverOutcome>& cover)
{
    if (!setup_.settings.writeLog && !setup_.settings.writeCue) return;
    const DiscRecord& disc = setup_.disc;
    RipLogInput input;
    input.version = kVersion;
    char created[32];
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    ::gmtime_r(&now, &utc);
    std::strftime(created, sizeof created, "%Y-%m-%dT%H:%M:%SZ", &utc);
    input.created = created;
    if (disc.drive) {
        input.drive = InquireDriveModel(*disc.drive);
        input.recordableDisc = RecordableDiscIn(*disc.drive);
    }
    input.jitterCorrection = setup_.settings.jitterCorrection;
    input.verifyReads = setup_.settings.verifyReads;
    input.offset = offsetUsed_;
    input.disc = &disc;
    try {
        input.musicBrainzDiscId = DiscIdFromRawToc(disc.rawToc);
    } catch (const std::runtime_error&) {
        // A table the disc identifier refuses: the log goes without it.
    }
    input.folder = folder_;
    input.subcode = subcode_;
    input.tracks = outcomes_;
    input.accuracy = verdicts;
    input.cover = cover;
    input.albumGain = albumGain_;
    input.canceled = canceled_;
    for (const std::string& error : WriteRipRecords(input, setup_.settings.writeLog, setup_.settings.writeCue))
        SendErrorLine(error);
}

AccuracyOutcome RipWorker::ReportAccuracy(AccuracyCheck& accuracy)
{
    AccuracyOutcome outcome = accuracy.Judge(outcomes_, setup_.settings.requireAccurate);
    setup_.sink->Send(UM_RIP_ACCURACY, reinterpret_cast<std::uintptr_t>(&outcome), 0);
    for (const AccuracyOutcome::Track& track : outcome.tracks) {
        if (track.error.empty()) continue;
        const auto ripped = std::find_if(outcomes_.begin(), outcomes_.end(),
                                         [&](const TrackOutcome& o) { return o.trackIndex == track.trackIndex; });
        SendErrorLine(FileNameOf(ripped->file) + ": " + track.error);
    }
    return outcome;
}

void RipWorker::SendTrackLine(const std::string& path, const std::string& message)
{
    if (current_) current_->errors.push_back(message);
    SendErrorLine(FileNameOf(path) + ": " + message);
}

void RipWorker::SendNote(const std::string& line)
{
    setup_.sink->Send(UM_RIP_NOTE, reinterpret_cast<std::uintptr_t>(line.c_str()), 0);
}

void RipWorker::SendErrorLine(const std::string& line)
{
    reportedErrors_ = true;
    setup_.sink->Send(UM_RIP_ERROR, reinterpret_cast<std::uintptr_t>(line.c_str()), 0);
}

void RipWorker::ReportFailure(Track& track, const std::string& message)
{
    track.outcome.status = message == "file skipped" ? TrackOutcome::Status::Skipped : TrackOutcome::Status::Error;
    SendTrackLine(track.outputPath, message);
    track.stream.Stop();
    track.encoder.reset();  // closed without Finish
    if (track.file) track.file->Discard();
}

}  // namespace tesslow
