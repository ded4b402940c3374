#include "encoding/encoder.h"

namespace tesslow {

const std::string& Encoder::TrackTitle() const
{
    static const std::string kNone;
    return trackIndex < tags.trackTitles.size() ? tags.trackTitles[trackIndex] : kNone;
}

}  // namespace tesslow
