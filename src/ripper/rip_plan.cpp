#include "ripper/rip_plan.h"

#include "app/settings.h"
#include "encoding/presets.h"
#include "metadata/naming.h"
#include "ripper/stored_choices.h"

namespace tesslow {

namespace {

bool Chosen(const std::optional<bool>& choice, std::uint32_t setting) { return choice.value_or(setting != 0); }

}  // namespace

RipPlan PlanRip(const Settings& settings, const RipChoices& choices, const std::string& driveKey,
                const DiscRecord& disc)
{
    RipPlan plan;
    RipJob& job = plan.job;
    job.driveKey = driveKey;

    job.format = choices.format.value_or(StoredFormat(settings));
    if (!FindFormat(job.format)) job.format = FormatCode::Mp3;
    job.preset = choices.preset.value_or(StoredPreset(settings));
    std::uint32_t step = choices.qualityStep.value_or(StoredStep(settings, job.format));
    if (job.preset == QualityPreset::Custom && choices.customKbps) {
        const auto named = StepForKbps(job.format, *choices.customKbps);
        if (!named) {
            std::string steps;
            for (const QualityStep& at : QualitySteps(job.format))
                steps += (steps.empty() ? "" : ", ") + std::to_string(at.value / 1000);
            throw RipChoiceError("custom:" + std::to_string(*choices.customKbps) + " is not a step of this format" +
                                 (steps.empty() ? std::string(", which has none") : "; its steps are " + steps));
        }
        step = static_cast<std::uint32_t>(named->index);
    }
    if (const auto chosen = StepAt(job.format, step)) {
        job.qualityStep = chosen->index;
        job.qualityValue = chosen->value;
    }

    if (choices.trackPositions.empty()) {
        for (std::uint32_t t = 0; t < disc.tracks.size(); ++t) job.SelectedTracks.push_back(t);
    } else {
        for (std::uint32_t position : choices.trackPositions) {
            if (position == 0) {
                if (!disc.hiddenTrack) throw RipChoiceError("the disc has no hidden track before track 1");
                job.SelectedTracks.push_back(kHiddenTrackIndex);
                continue;
            }
            if (position > disc.tracks.size())
                throw RipChoiceError("the disc has no track " + std::to_string(position) + " (it has " +
                                     std::to_string(disc.tracks.size()) + ")");
            job.SelectedTracks.push_back(position - 1);
        }
    }

    job.NameTemplate = choices.nameTemplate.value_or(settings.NameTemplate);
    if (job.NameTemplate.empty()) throw RipChoiceError("the file-name template is empty");
    if (!TemplateTellsTracksApart(job.NameTemplate))
        throw RipChoiceError("the file-name template \"" + job.NameTemplate +
                             "\" gives every track the same name: put %2 (title) or %5 (track number) into it");
    job.AlwaysOverwrite = Chosen(choices.alwaysOverwrite, settings.AlwaysOverwrite);
    const SubfolderChoice subfolders{Chosen(choices.artistFolder, settings.CreateArtistSubfolder),
                                     Chosen(choices.albumFolder, settings.CreateAlbumSubfolder),
                                     Chosen(choices.yearInAlbumFolder, settings.AddYearToFolderName)};
    job.OutputFolder = ComposeOutputFolder(choices.destination.value_or(settings.LastFolder), subfolders, disc);

    plan.settings = RipSettings::From(settings);
    plan.settings.jitterCorrection = choices.jitterCorrection.value_or(plan.settings.jitterCorrection);
    plan.settings.ejectWhenDone = choices.ejectWhenDone.value_or(plan.settings.ejectWhenDone);
    plan.settings.openFolderWhenDone = choices.openFolderWhenDone.value_or(plan.settings.openFolderWhenDone);
    plan.settings.accurateRip = choices.accurateRip.value_or(plan.settings.accurateRip);
    plan.settings.requireAccurate = choices.requireAccurate;
    return plan;
}

}  // namespace tesslow
