#include "encoding/tag_names.h"

namespace tesslow {

namespace {

std::string_view NameIn(const TagNames& names, TagFormat format)
{
    switch (format) {
    case TagFormat::Id3v2: return names.id3;
    case TagFormat::Vorbis: return names.vorbis;
    case TagFormat::Ape: return names.ape;
    case TagFormat::Asf: return names.asf;
    }
    return {};
}

constexpr bool InFieldOrder()
{
    for (std::size_t i = 0; i < kTagNames.size(); ++i)
        if (static_cast<std::size_t>(kTagNames[i].field) != i) return false;
    return static_cast<std::size_t>(TagField::DiscId) + 1 == kTagNames.size();
}
static_assert(InFieldOrder(), "kTagNames lists every field once, in TagField order");

}  // namespace

const TagNames& NamesOf(TagField field)
{
    // The table lists the fields in their enum order.
    return kTagNames[static_cast<std::size_t>(field)];
}

std::vector<std::pair<std::string, std::string>> NamedTags(const std::vector<TrackTag>& tags, TagFormat format)
{
    std::vector<std::pair<std::string, std::string>> out;
    const std::string_view separator = format == TagFormat::Asf ? std::string_view("/") : std::string_view("\0", 1);
    TagField previous{};
    for (const TrackTag& tag : tags) {
        const TagNames& names = NamesOf(tag.field);
        const std::string_view name = NameIn(names, format);
        const bool again = !out.empty() && tag.field == previous;
        previous = tag.field;
        if (name.empty()) continue;
        if (name == kFoldedIntoNumber) {
            // The number is the row before the total; without a number the total alone says nothing.
            const TagField number = static_cast<TagField>(static_cast<int>(tag.field) - 1);
            if (!out.empty() && out.back().first == NameIn(NamesOf(number), format))
                out.back().second += "/" + tag.value;
            continue;
        }
        if (again && format != TagFormat::Vorbis) {
            out.back().second.append(separator).append(tag.value);
            continue;
        }
        out.emplace_back(std::string(name), tag.value);
        if (format == TagFormat::Vorbis && !names.vorbisAlias.empty())
            out.emplace_back(std::string(names.vorbisAlias), tag.value);
    }
    return out;
}

}  // namespace tesslow
