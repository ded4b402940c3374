#pragma once

#include <functional>
#include <string>

namespace tesslow {

class DesktopShell;
class GuardedApplication;
class WizardFrame;

// The ways the start-up sequence meets the user, so that tests can watch it.
struct WizardProgramHooks {
    // The error box: caption "Tesslow", an error icon, no owner.
    std::function<void(const std::string& text)> showError;
    // Runs the built wizard until it closes.
    std::function<void(WizardFrame& frame)> run;
    // Where links and help go.
    DesktopShell* shell = nullptr;
};

// The desktop program after its QApplication exists: checks the installation,
// makes the fonts, pictures and skin, builds the frame and its nine pages and
// runs it once. A runtime error anywhere in that (the installation check
// included) ends in a box with its text, running out of memory in "Out of
// memory.", anything else in "Unhandled exception."; an exception escaping an
// event handler while the wizard runs closes it and ends the same way.
// Returns 0 on every path.
int RunWizardProgram(GuardedApplication& application, const WizardProgramHooks& hooks = {});

}  // namespace tesslow
