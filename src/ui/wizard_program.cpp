#include "ui/wizard_program.h"

#include "app/installation_check.h"
#include "app/settings.h"
#include "platform/desktop_shell.h"
#include "ui/guarded_application.h"
#include "ui/page_id.h"
#include "ui/skin.h"
#include "ui/ui_fonts.h"
#include "ui/wizard_frame.h"
#include "ui/wizard_page.h"
#include "ui/wizard_pages.h"
#include "ui/wizard_state.h"

#include <QMessageBox>
#include <QTimer>

#include <new>
#include <stdexcept>

namespace tesslow {
namespace {

void ShowErrorBox(const std::string& text)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Tesslow"), QString::fromStdString(text), QMessageBox::Ok);
    box.exec();
}

void RunWizard(GuardedApplication& application, const WizardProgramHooks& hooks, DesktopShell& shell)
{
    InstallationCheck();
    const UiFonts fonts = MakeUiFonts();
    const Settings settings;
    const Skin skin = MakeSkin(ChooseSkinKind(settings), fonts);

    WizardState state;
    WizardFrame frame(skin);
    frame.setWindowIcon(QIcon(QStringLiteral(":/pictures/128.png")));
    AddWizardPages(PageContext{frame, state, skin, shell});
    // "Don't show this page again": the wizard opens on the insert-disc page.
    frame.Start(settings.SkipFirst != 0 ? static_cast<int>(PageId::InsertDisc) : 0);
    if (!settings.keptAsideStore.empty()) {
        // Said once, and the user goes on without answering it.
        auto* note = new QMessageBox(QMessageBox::Information, QStringLiteral("Tesslow"),
                                     QString::fromStdString(StoreKeptAsideNotice(settings.keptAsideStore)),
                                     QMessageBox::Ok, &frame);
        note->setObjectName(QStringLiteral("keptAsideNote"));
        note->setModal(false);
        note->setAttribute(Qt::WA_DeleteOnClose);
        QTimer::singleShot(0, note, &QMessageBox::show);
    }

    application.SetEscapeHook([&frame] { frame.Abandon(); });
    if (hooks.run) hooks.run(frame);
    else frame.exec();
    application.SetEscapeHook({});
    if (const std::exception_ptr escaped = application.TakeEscaped()) std::rethrow_exception(escaped);
}

}  // namespace

int RunWizardProgram(GuardedApplication& application, const WizardProgramHooks& hooks)
{
    const auto showError = hooks.showError ? hooks.showError : ShowErrorBox;
    XdgDesktopShell xdg;
    DesktopShell& shell = hooks.shell ? *hooks.shell : xdg;
    try {
        RunWizard(application, hooks, shell);
    } catch (const std::runtime_error& error) {
        showError(error.what());
    } catch (const std::bad_alloc&) {
        showError("Out of memory.");
    } catch (...) {
        showError("Unhandled exception.");
    }
    return 0;
}

}  // namespace tesslow
