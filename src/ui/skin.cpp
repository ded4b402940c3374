#include "ui/skin.h"

#include "app/settings.h"
#include "ui/controls/pictures.h"

#include <cstdlib>
#include <cstring>

namespace tesslow {

SkinKind ChooseSkinKind(const Settings& settings)
{
    if (const char* forced = std::getenv("TESSLOW_SKIN")) {
        if (std::strcmp(forced, "classic") == 0) return SkinKind::Classic;
        if (std::strcmp(forced, "aero") == 0) return SkinKind::Aero;
    }
    return settings.Skin == 1 ? SkinKind::Classic : SkinKind::Aero;
}

Skin MakeSkin(SkinKind kind, const UiFonts& fonts)
{
    Skin skin;
    skin.kind = kind;
    skin.fonts = fonts;
    skin.cancelLabel = QStringLiteral("Cancel");
    skin.helpLabel = QStringLiteral("&Help");
    skin.closeLabel = QStringLiteral("Close");
    if (kind == SkinKind::Classic) {
        skin.titleFont = fonts.titleClassic;
        skin.pageDialogUnits = QSize(378, 204);
        skin.headerPicture = LoadPicture(kHeaderPicture);
        skin.sidePicture = LoadPicture(kSideBanner);
        skin.backLabel = QStringLiteral("< &Back");
        skin.nextLabel = QStringLiteral("&Next >");
        skin.finishLabel = QStringLiteral("Finish");
        skin.restartButton = WizardButton::Next;
        skin.restartLabel = QStringLiteral("Rip more");
        skin.twoLineFormatLink = true;
        skin.folderPrompt = QStringLiteral("Please select &folder to extract to:");
        skin.previewStrip = 224;
    } else {
        skin.titleFont = fonts.titleAero;
        skin.pageDialogUnits = QSize(317, 167);
        skin.backLabel = QStringLiteral("Back");
        skin.nextLabel = QStringLiteral("&Next");
        skin.finishLabel = QStringLiteral("&Finish");
        skin.restartButton = WizardButton::Finish;
        skin.restartLabel = QStringLiteral("Rip another disc");
        skin.startLabel = QStringLiteral("Start ripping");
        skin.folderPrompt = QStringLiteral("Where you would like audio tracks to be saved?");
        skin.previewStrip = 223;
    }
    return skin;
}

}  // namespace tesslow
