#pragma once

#include <string>

namespace tesslow {

// A file written whole or not at all: it is written under a temporary name
// beside its final one and renamed over the final name only once complete, so
// a cancel, a failure or a crash leaves any old file at the final name as it
// was and never a partial file under that name.
//
// The temporary name is hidden and recognisable: "." + the final file name
// (shortened to fit) + "." + the process id and a number + ".tesslow-part".
// A process that dies leaves its temporary files behind; RemoveStalePartFiles
// removes those of processes that no longer run.
//
// Discarded (the temporary file removed) on destruction unless committed.
// One thread uses an instance.
class PartialFile {
public:
    explicit PartialFile(std::string finalPath);
    ~PartialFile();
    PartialFile(const PartialFile&) = delete;
    PartialFile& operator=(const PartialFile&) = delete;

    const std::string& TemporaryPath() const { return temporaryPath_; }

    // Flushes the temporary file to disk and renames it over the final name,
    // replacing a file there. Throws std::runtime_error with the reason in
    // plain words (FileErrorText) when it cannot; the temporary file is then
    // removed.
    void Commit();
    // Removes the temporary file, if there is one.
    void Discard();

private:
    std::string finalPath_;
    std::string temporaryPath_;
    bool done_ = false;
};

// Removes the temporary files of PartialFile in `folder` whose process no
// longer runs. Never touches another file, nor one of a running process.
void RemoveStalePartFiles(const std::string& folder);

}  // namespace tesslow
