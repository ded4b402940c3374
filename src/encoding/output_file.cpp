#include "encoding/output_file.h"

#include "encoding/encoder_exception.h"
#include "encoding/overwrite.h"
#include "platform/folders.h"

#include <fcntl.h>

#include <cerrno>

namespace tesslow {

int PrepareOutput(const EncoderRequest& request)
{
    // Without the run's policy nobody has agreed to replace anything.
    OverwritePolicy noConsent;
    OverwritePolicy& policy = request.overwrite ? *request.overwrite : noConsent;
    if (policy.ConfirmOverwrite(request.path, request.alwaysOverwrite, request.overwrite ? request.question : nullptr))
        throw EncoderException("file skipped");
    return EnsureParentDirectory(request.path);
}

UniqueFd CreateOutput(const EncoderRequest& request, CreateMode mode, bool readWrite)
{
    const int folderError = PrepareOutput(request);
    int flags = (readWrite ? O_RDWR : O_WRONLY) | O_CREAT | O_CLOEXEC;
    flags |= mode == CreateMode::Replace ? O_TRUNC : O_EXCL;
    UniqueFd fd(::open(request.path.c_str(), flags, 0644));
    if (!fd) throw CreateError(folderError ? folderError : errno);
    return fd;
}

}  // namespace tesslow
