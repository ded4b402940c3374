#include "encoding/vorbis_comments.h"

#include "encoding/tag_names.h"

namespace tesslow {

void AddTrackComments(vorbis_comment& comment, const AlbumInfo& tags, std::uint32_t trackIndex,
                      std::uint32_t trackNumber)
{
    // Values hold no zero byte (BuildTrackTags cuts there), as the C strings below need.
    for (const auto& [name, value] : NamedTags(BuildTrackTags(tags, trackIndex, trackNumber), TagFormat::Vorbis))
        vorbis_comment_add_tag(&comment, name.c_str(), value.c_str());
}

}  // namespace tesslow
