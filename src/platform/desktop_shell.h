#pragma once

#include <string>

namespace tesslow {

// Hands a folder or an address to the user's desktop (file manager, browser,
// mail program). Never waits for what it starts and reports nothing: a desktop
// without a handler simply shows nothing. Any thread.
class DesktopShell {
public:
    virtual ~DesktopShell() = default;
    virtual void Open(const std::string& target) = 0;    // a web page or mail address
    virtual void Explore(const std::string& folder) = 0; // show a folder
};

// Runs xdg-open in the background.
class XdgDesktopShell final : public DesktopShell {
public:
    void Open(const std::string& target) override;
    void Explore(const std::string& folder) override;
};

}  // namespace tesslow
