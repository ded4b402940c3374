#pragma once

#include <mutex>
#include <string>

namespace tesslow {

// Asks the user whether an existing output file may be replaced. The wizard
// shows its question dialog; the command line asks on the terminal. Called on
// the rip worker's thread; implementations deliver the question to wherever the
// user is and wait for the answer.
class OverwriteQuestion {
public:
    enum class Answer { Overwrite, Skip, CannotAsk };
    struct Reply {
        Answer answer = Answer::CannotAsk;
        bool rememberForAllFiles = false;  // "Remember my choice for all files"
    };
    virtual ~OverwriteQuestion() = default;
    virtual Reply Ask(const std::string& path) = 0;
};

// The decision whether an existing output file is replaced, with the choice
// the user asked to remember. One instance lives for the whole run of the
// program: a remembered choice holds for every later file and every later job.
// Thread-safe: a worker that was abandoned may still ask while the next job's
// worker does.
class OverwritePolicy {
public:
    // True: skip the file. False: the encoder may create it (an existing entry
    // has been deleted; a deletion that failed shows up when the file is
    // created). A question that cannot be asked skips the file, so a user's
    // file is never replaced without consent.
    bool ConfirmOverwrite(const std::string& path, bool alwaysOverwrite, OverwriteQuestion* question);

    // The same decision without deleting anything: true, skip the file;
    // false, the caller may replace what is there (the rip worker does so only
    // once the new file is complete).
    bool SkipExisting(const std::string& path, bool alwaysOverwrite, OverwriteQuestion* question);

private:
    std::mutex mutex_;
    bool remembered_ = false;
    bool rememberedSkip_ = false;
};

}  // namespace tesslow
