#pragma once

#include <string>

namespace tesslow {

class DesktopShell;

// The help page of a context number: help/N.html under the AppPath folder,
// as a file: address.
std::string HelpPageUrl(const std::string& appPath, int context);

// Opens a help context in the user's browser.
void OpenHelp(DesktopShell& shell, const std::string& appPath, int context);

}  // namespace tesslow
