#pragma once

#include "platform/desktop_shell.h"

#include <mutex>
#include <string>
#include <vector>

namespace tesslow::test {

// A desktop shell that records what it was asked to open and to show, from
// any thread.
class RecordingShell final : public DesktopShell {
public:
    void Open(const std::string& target) override
    {
        std::lock_guard lock(mutex_);
        opened_.push_back(target);
    }
    void Explore(const std::string& folder) override
    {
        std::lock_guard lock(mutex_);
        explored_.push_back(folder);
    }
    std::vector<std::string> Opened() const
    {
        std::lock_guard lock(mutex_);
        return opened_;
    }
    std::vector<std::string> Explored() const
    {
        std::lock_guard lock(mutex_);
        return explored_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::string> opened_, explored_;
};

}  // namespace tesslow::test
