#include "encoding/vorbis_comments.h"

#include "platform/utf.h"

#include <string>

namespace tesslow {

void AddTrackComments(vorbis_comment& comment, const AlbumInfo& tags, std::uint32_t trackIndex,
                      std::uint32_t trackNumber)
{
    if (tags.trackTitles.empty()) return;
    const std::string noTitle;
    const std::string& title = trackIndex < tags.trackTitles.size() ? tags.trackTitles[trackIndex] : noTitle;
    const struct {
        const char* name;
        const std::string& value;
    } fields[] = {
        {"TITLE", title},     {"ARTIST", tags.artist}, {"ALBUM", tags.album},
        {"DATE", tags.year},  {"COMMENT", tags.comment}, {"GENRE", tags.genre},
    };
    for (const auto& field : fields) {
        // vorbis_comment_add_tag takes C strings: a value ends at its first zero byte.
        const std::string value = ValidUtf8(field.value.c_str());
        if (!value.empty()) vorbis_comment_add_tag(&comment, field.name, value.c_str());
    }
    vorbis_comment_add_tag(&comment, "TRACKNUMBER", std::to_string(trackNumber).c_str());
    if (trackIndex < tags.isrcs.size() && !tags.isrcs[trackIndex].empty())
        vorbis_comment_add_tag(&comment, "ISRC", tags.isrcs[trackIndex].c_str());
}

}  // namespace tesslow
