#include "encoding/tag_update.h"

#include "encoding/encoder_exception.h"
#include "platform/system_error.h"

namespace tesslow {

void TagUpdateFailed(const std::string& reason)
{
    throw EncoderException("cannot write tags (" + reason + ")");
}

void TagUpdateFailed(int error)
{
    TagUpdateFailed(FileErrorText(error));
}

void UpdateTags(FormatCode format, const std::string& path, const TagUpdate& tags)
{
    if (tags.empty()) return;
    switch (format) {
    case FormatCode::Flac: UpdateFlacTags(path, tags); return;
    case FormatCode::Ogg: UpdateOggTags(path, tags); return;
    case FormatCode::Mp3: UpdateId3v2Tags(path, tags); return;
    case FormatCode::Ape: UpdateApeTags(path, tags); return;
    case FormatCode::Wma: UpdateAsfTags(path, tags); return;
    case FormatCode::Wav: return;
    }
}

}  // namespace tesslow
