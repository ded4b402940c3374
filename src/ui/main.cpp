#include "ui/guarded_application.h"
#include "ui/wizard_program.h"

int main(int argc, char** argv)
{
    tesslow::GuardedApplication application(argc, argv);
    tesslow::GuardedApplication::setApplicationName(QStringLiteral("Tesslow"));
    tesslow::GuardedApplication::setDesktopFileName(QStringLiteral("tesslow"));
    return tesslow::RunWizardProgram(application);
}
