#include "ripper/read_offset_choice.h"

#include "app/cd_audio.h"
#include "app/drive_profile.h"
#include "drive/drive_model.h"
#include "drive/scsi_command.h"
#include "drive/scsi_status.h"
#include "ripper/accuracy_check.h"

namespace tesslow {

namespace {

std::string Signed(std::int32_t samples) { return (samples > 0 ? "+" : "") + std::to_string(samples); }

std::string Tracks(int n) { return std::to_string(n) + (n == 1 ? " track" : " tracks"); }

}  // namespace

OffsetSearchResult SearchReadOffset(const DiscRecord& disc, const std::vector<std::size_t>& entries,
                                    const std::vector<DbarResponse>& responses,
                                    std::chrono::steady_clock::time_point deadline,
                                    const std::function<bool()>& giveUp)
{
    if (!disc.drive) return {};
    std::vector<OffsetSearchTrack> tracks;
    for (std::size_t t = 0; t < disc.tracks.size() && t < entries.size(); ++t)
        tracks.push_back({disc.tracks[t].start, disc.tracks[t].length, entries[t]});
    ScsiCommand& drive = *disc.drive;
    return FindReadOffset(responses, tracks, AudioEnd(disc),
                          [&](std::int32_t lba, std::int32_t count, std::uint8_t* out) {
                              if (giveUp && giveUp()) return false;
                              return drive.ReadCd(lba, static_cast<std::uint8_t>(count), out) == kScsiOk;
                          },
                          deadline);
}

std::string FoundOffsetText(std::int32_t samples, int agreeingTracks)
{
    return "Read offset of this drive: " + Signed(samples) + " samples (" + Tracks(agreeingTracks) +
           " agree, AccurateRip)";
}

std::string NoOffsetText(const OffsetSearchResult& result)
{
    if (result.comparedTracks == 0) return "no track is long enough to be compared, or none could be read";
    if (result.comparedTracks == 1) return "only 1 track could be compared";
    return "no offset within " + std::to_string(kLargestReadOffset) + " samples either way is agreed on by two of the " +
           Tracks(result.comparedTracks) + " compared";
}

OffsetDetection DetectReadOffset(const DiscRecord& disc, const std::function<bool()>& giveUp,
                                 std::chrono::milliseconds lookupLimit, std::chrono::milliseconds searchLimit)
{
    using Outcome = OffsetDetection::Outcome;
    OffsetDetection detection;
    AccuracyCheck accuracy(disc, true, AccurateRipBaseUrl(), lookupLimit);
    if (!accuracy.Asking()) {
        detection.text = "This disc has no audio track AccurateRip could know.";
        return detection;
    }
    const std::optional<AccurateRipLookup> answer = accuracy.AnswerBy(accuracy.Deadline(), giveUp);
    if (!answer) {
        const bool gaveUp = giveUp && giveUp();
        detection.outcome = gaveUp ? Outcome::GaveUp : Outcome::Failed;
        if (!gaveUp) detection.text = "The AccurateRip database did not answer in time.";
        return detection;
    }
    if (answer->status == AccurateRipLookup::Status::Error) {
        detection.outcome = Outcome::Failed;
        detection.text = "The AccurateRip database could not be asked (" + answer->problem + ").";
        return detection;
    }
    if (answer->status == AccurateRipLookup::Status::NotFound) {
        detection.text = "This disc is not in the AccurateRip database, so it cannot tell the read offset; try "
                         "another disc.";
        return detection;
    }
    detection.result = SearchReadOffset(disc, accuracy.Entries(), answer->responses,
                                        std::chrono::steady_clock::now() + searchLimit, giveUp);
    if (detection.result.offset) {
        detection.outcome = Outcome::Found;
        detection.text = FoundOffsetText(*detection.result.offset, detection.result.agreeingTracks);
    } else if (giveUp && giveUp()) {
        detection.outcome = Outcome::GaveUp;
    } else {
        detection.text = "The read offset could not be found: " + NoOffsetText(detection.result) + "; try another disc.";
    }
    return detection;
}

ReadOffsetUsed ChooseReadOffset(const DiscRecord& disc, const ReadOffsetWish& wish, AccuracyCheck* accuracy,
                                const OffsetChoiceHooks& hooks)
{
    auto deadline = std::chrono::steady_clock::now() + wish.searchLimit;
    ReadOffsetUsed used;
    const DriveModel model = disc.drive ? InquireDriveModel(*disc.drive) : DriveModel{};
    used.drive = model.Name();
    const DriveProfile profile = LoadDriveProfile(model);
    used.overread = wish.overread.value_or(profile.overread);

    if (wish.samples) {
        used.samples = *wish.samples;
        used.source = ReadOffsetUsed::Source::Given;
        return used;
    }
    if (profile.readOffset) {
        used.samples = *profile.readOffset;
        used.source = ReadOffsetUsed::Source::Remembered;
        return used;
    }
    bool gaveUp = false;
    if (wish.search && accuracy && accuracy->Asking()) {
        if (hooks.searching) hooks.searching();
        deadline = std::min(deadline, accuracy->Deadline());
        // The answer is waited for in short steps, so a cancel is seen.
        const std::function<bool()> giveUp = [&] { return gaveUp = gaveUp || (hooks.giveUp && hooks.giveUp()); };
        const std::optional<AccurateRipLookup> answer = accuracy->AnswerBy(deadline, giveUp);
        if (answer && answer->status == AccurateRipLookup::Status::Found) {
            const OffsetSearchResult found =
                SearchReadOffset(disc, accuracy->Entries(), answer->responses, deadline, giveUp);
            if (found.offset) {
                used.samples = *found.offset;
                used.source = ReadOffsetUsed::Source::Found;
                used.agreeingTracks = found.agreeingTracks;
                const bool kept = RememberReadOffset(model, used.samples);
                hooks.note(FoundOffsetText(used.samples, used.agreeingTracks) +
                           (kept ? "; remembered for " + used.drive + "." : "; it could not be remembered."));
                return used;
            }
            if (!giveUp()) {
                hooks.note("The read offset of this drive could not be found with this disc (" + NoOffsetText(found) +
                           "), so the tracks are read as the drive delivers them.");
                return used;
            }
        }
    }
    if (gaveUp) return used;
    const bool asking = accuracy && accuracy->Asking() && wish.search;
    hooks.note(std::string("The read offset of this drive is not known yet, so the tracks are read as the drive "
                           "delivers them") +
               (asking ? "; it is found by itself the first time a disc that AccurateRip knows is ripped." : "."));
    return used;
}

}  // namespace tesslow
