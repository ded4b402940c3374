#include "encoding/overwrite.h"

#include <sys/stat.h>
#include <unistd.h>

namespace tesslow {

bool OverwritePolicy::ConfirmOverwrite(const std::string& path, bool alwaysOverwrite, OverwriteQuestion* question)
{
    if (SkipExisting(path, alwaysOverwrite, question)) return true;
    // A folder at the path cannot be unlinked; creating the file then fails
    // with a message that says why.
    (void)::unlink(path.c_str());
    return false;
}

bool OverwritePolicy::SkipExisting(const std::string& path, bool alwaysOverwrite, OverwriteQuestion* question)
{
    struct stat info{};
    if (::lstat(path.c_str(), &info) != 0) return false;  // nothing there

    std::unique_lock lock(mutex_);
    bool skip;
    if (remembered_) {
        skip = rememberedSkip_;
    } else if (alwaysOverwrite) {
        remembered_ = true;
        rememberedSkip_ = false;
        skip = false;
    } else {
        // The question may take long; the choice is not held meanwhile.
        lock.unlock();
        const auto reply = question ? question->Ask(path) : OverwriteQuestion::Reply{};
        lock.lock();
        skip = reply.answer != OverwriteQuestion::Answer::Overwrite;
        if (reply.answer != OverwriteQuestion::Answer::CannotAsk) {
            remembered_ = reply.rememberForAllFiles;
            rememberedSkip_ = skip;
        }
    }
    return skip;
}

}  // namespace tesslow
