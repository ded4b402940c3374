#include "encoding/encoder_exception.h"

#include "platform/system_error.h"

namespace tesslow {

namespace {

std::string Reason(int errorNumber, const std::string& engineCode)
{
    std::string reason = errorNumber != 0 ? FileErrorText(errorNumber) : std::string();
    if (!engineCode.empty()) reason += (reason.empty() ? "" : "; ") + engineCode;
    return reason;
}

}  // namespace

EncoderException WriteError(int errorNumber, const std::string& engineCode)
{
    const std::string reason = Reason(errorNumber, engineCode);
    return EncoderException(reason.empty() ? "write error" : "write error (" + reason + ")");
}

EncoderException CreateError(int errorNumber, const std::string& engineCode)
{
    return EncoderException("cannot create file (" + Reason(errorNumber, engineCode) + ")");
}

}  // namespace tesslow
