// Writes a picture of every wizard page in both skins, as a person would see
// it at the wizard's own size: OUTPUT_FOLDER/<skin>-<NN>-<page>.png.
//
//   ui_screenshots OUTPUT_FOLDER

#include "app/settings.h"
#include "platform/desktop_shell.h"
#include "support/temp_dir.h"
#include "ui/guarded_application.h"
#include "ui/page_id.h"
#include "ui/skin.h"
#include "ui/wizard_frame.h"
#include "ui/wizard_page.h"
#include "ui/wizard_pages.h"
#include "ui/wizard_state.h"

#include <QDir>
#include <QPixmap>
#include <QTest>

#include <cstdio>
#include <cstdlib>

namespace {

class QuietShell final : public tesslow::DesktopShell {
public:
    void Open(const std::string&) override {}
    void Explore(const std::string&) override {}
};

const char* const kPageNames[] = {"welcome", "insert-disc", "tracks",   "format", "quality",
                                  "destination", "ready",   "progress", "final"};

bool Shoot(tesslow::SkinKind kind, const QDir& folder)
{
    using namespace tesslow;
    const Skin skin = MakeSkin(kind, MakeUiFonts());
    WizardState state;
    QuietShell shell;
    WizardFrame frame(skin);
    AddWizardPages(PageContext{frame, state, skin, shell});
    frame.Start();
    frame.show();
    (void)QTest::qWaitForWindowExposed(&frame);
    const char* skinName = kind == SkinKind::Aero ? "aero" : "classic";
    for (int index = 0; index < kPageCount; ++index) {
        frame.SetCurSel(index);
        QTest::qWait(20);
        const QString name = QStringLiteral("%1-%2-%3.png").arg(skinName).arg(index + 1, 2, 10, QChar('0')).arg(kPageNames[index]);
        if (!frame.grab().save(folder.filePath(name))) {
            std::fprintf(stderr, "ui_screenshots: cannot write %s\n", qPrintable(folder.filePath(name)));
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: ui_screenshots OUTPUT_FOLDER\n");
        return 2;
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    tesslow::test::UserSandbox sandbox;  // a first run: default settings
    tesslow::GuardedApplication application(argc, argv);
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    folder.mkpath(QStringLiteral("."));
    const bool written = Shoot(tesslow::SkinKind::Aero, folder) && Shoot(tesslow::SkinKind::Classic, folder);
    if (written) std::printf("Screenshots in %s\n", qPrintable(folder.absolutePath()));
    return written ? 0 : 1;
}
