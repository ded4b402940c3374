#include "app/drive_profile.h"
#include "cli/commands.h"
#include "cli/disc_access.h"
#include "cli/json_text.h"
#include "cli/printable.h"
#include "cli/tesslow_rip.h"
#include "drive/drive_model.h"
#include "ripper/read_offset_choice.h"

#include <cstdio>

namespace tesslow {

namespace {

// The outcome for scripts: {"read_offset": N or null, "agreeing_tracks",
// "compared_tracks", "drive", "remembered", "problem"}.
void PrintJson(const OffsetSearchResult& result, const std::string& drive, bool remembered, const std::string& problem)
{
    const std::string json = "{\"read_offset\": " + (result.offset ? std::to_string(*result.offset) : "null") +
                             ", \"agreeing_tracks\": " + std::to_string(result.agreeingTracks) +
                             ", \"compared_tracks\": " + std::to_string(result.comparedTracks) +
                             ", \"drive\": " + JsonString(drive) + ", \"remembered\": " + (remembered ? "true" : "false") +
                             ", \"problem\": " + (problem.empty() ? "null" : JsonString(problem)) + "}\n";
    std::fputs(json.c_str(), stdout);
}

}  // namespace

int RunFindOffsetCommand(const CliOptions& options)
{
    DiscRecords records;
    RipJob job;
    const FoundDisc found = FindAudioDisc(options, records, job);
    if (!found.driveKey) return found.exitCode;
    const DiscRecord& disc = records[job.driveKey];
    const DriveModel model = disc.drive ? InquireDriveModel(*disc.drive) : DriveModel{};

    auto fail = [&](const OffsetSearchResult& result, const std::string& problem, int code) {
        if (options.json)
            PrintJson(result, model.Name(), false, problem);
        else
            std::fprintf(stderr, "%s\n", Printable(problem).c_str());
        return code;
    };
    const OffsetDetection detection = DetectReadOffset(disc);
    const OffsetSearchResult& result = detection.result;
    if (detection.outcome != OffsetDetection::Outcome::Found)
        return fail(result, detection.text,
                    detection.outcome == OffsetDetection::Outcome::Failed ? kExitFailure : kExitUsage);

    // What the person said of overreading is kept with the offset.
    const bool remembered =
        RememberReadOffset(model, *result.offset) && (!options.overread || RememberOverread(model, *options.overread));
    if (options.json) {
        PrintJson(result, model.Name(), remembered, "");
        return kExitOk;
    }
    std::printf("%s\n", FoundOffsetText(*result.offset, result.agreeingTracks).c_str());
    if (remembered)
        std::printf("Remembered for %s%s.\n", Printable(model.Name()).c_str(),
                    !options.overread ? "" : *options.overread ? ", with overread on" : ", with overread off");
    else
        std::printf("It could not be remembered: %s.\n",
                    model.Known() ? "the settings file could not be written" : "the drive does not name its model");
    return kExitOk;
}

}  // namespace tesslow
