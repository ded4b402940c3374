#pragma once

#include "encoding/encoder.h"
#include "platform/unique_fd.h"

#include <string>

namespace tesslow {

// How an encoder creates its output file.
enum class CreateMode {
    Replace,    // create, truncating whatever is there
    Exclusive,  // create only if nothing is there (the overwrite check removed any old file)
};

// The steps every encoder constructor takes before creating its file: the
// overwrite check (throws EncoderException "file skipped") and the creation of
// missing folders. Answers 0, or the error of the folder that could not be
// made; it shows up when the file is created.
int PrepareOutput(const EncoderRequest& request);

// PrepareOutput, then creates the file for writing (or reading and writing).
// Throws EncoderException "cannot create file (<system error text>)", with the
// error of the step that failed: the folder's, when a folder could not be
// made, else the file's.
UniqueFd CreateOutput(const EncoderRequest& request, CreateMode mode, bool readWrite = false);

}  // namespace tesslow
