#include "cli/rip_choices.h"

namespace tesslow {

RipChoices RipChoicesFrom(const CliOptions& options)
{
    auto onIfGiven = [](bool given) { return given ? std::optional<bool>(true) : std::nullopt; };
    RipChoices choices;
    choices.format = options.format;
    if (options.quality) {
        choices.preset = options.quality->preset;
        if (options.quality->preset == QualityPreset::Custom) choices.customKbps = options.quality->customKbps;
    }
    choices.trackPositions = options.tracks;
    choices.destination = options.output;
    choices.nameTemplate = options.nameTemplate;
    choices.artistFolder = options.artistFolder;
    choices.albumFolder = options.albumFolder;
    choices.yearInAlbumFolder = options.yearInAlbumFolder;
    choices.alwaysOverwrite = onIfGiven(options.overwrite);
    choices.jitterCorrection = options.paranoia;
    choices.ejectWhenDone = onIfGiven(options.eject);
    choices.openFolderWhenDone = false;  // a terminal program does not pop up a file manager
    if (options.noAccurateRip) choices.accurateRip = false;
    choices.requireAccurate = options.requireAccurate;
    return choices;
}

}  // namespace tesslow
