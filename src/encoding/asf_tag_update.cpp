// Sets attributes of a WMA file's ASF header (its extended content
// description object); the header is written anew and the data behind it
// copied as it is.

#include "encoding/tag_update.h"
#include "platform/atomic_file.h"
#include "platform/utf.h"

#include <strings.h>

#include <cerrno>
#include <cstdint>
#include <optional>
#include <string>

namespace tesslow {

namespace {

constexpr std::size_t kLargestFile = std::size_t{1} << 31;
constexpr std::size_t kGuidBytes = 16;
constexpr std::size_t kObjectHeaderBytes = kGuidBytes + 8;
constexpr std::size_t kHeaderObjectBytes = kObjectHeaderBytes + 6;  // object count and two reserved bytes
constexpr std::uint16_t kStringValue = 0;

// GUIDs as they are stored (the first three fields little-endian).
constexpr char kHeaderObject[] = "\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C";
constexpr char kFileProperties[] = "\xA1\xDC\xAB\x8C\x47\xA9\xCF\x11\x8E\xE4\x00\xC0\x0C\x20\x53\x65";
constexpr char kExtendedContent[] = "\x40\xA4\xD0\xD2\x07\xE3\xD2\x11\x97\xF0\x00\xA0\xC9\x5E\xA8\x50";
constexpr std::size_t kFileSizeAt = kObjectHeaderBytes + kGuidBytes;  // in the file properties object

std::uint64_t Le(const std::string& data, std::size_t at, int bytes)
{
    std::uint64_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(data[at + static_cast<std::size_t>(i)]);
    return value;
}

void PutLe(std::string& data, std::size_t at, std::uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) data[at + static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i) & 0xFF);
}

void AppendLe(std::string& out, std::uint64_t value, int bytes)
{
    out.append(static_cast<std::size_t>(bytes), '\0');
    PutLe(out, out.size() - static_cast<std::size_t>(bytes), value, bytes);
}

// UTF-16LE with its terminating zero, as the descriptors carry names and text.
std::string Utf16Le(const std::string& utf8)
{
    std::string out;
    for (const char16_t unit : Utf8ToUtf16(utf8)) AppendLe(out, unit, 2);
    out.append(2, '\0');
    return out;
}

std::string NameOf(const std::string& utf16le)
{
    std::u16string units;
    for (std::size_t i = 0; i + 1 < utf16le.size(); i += 2) {
        const auto unit = static_cast<char16_t>(Le(utf16le, i, 2));
        if (unit == 0) break;
        units += unit;
    }
    return Utf16ToUtf8(units);
}

// The extended content description's descriptors with `tags` set.
std::string NewDescriptors(const std::string& old, std::size_t oldCount, const TagUpdate& tags, std::size_t& count)
{
    std::string kept;
    count = 0;
    std::size_t at = 0;
    for (std::size_t n = 0; n < oldCount; ++n) {
        if (old.size() - at < 2) TagUpdateFailed("a damaged ASF header");
        const std::size_t nameBytes = static_cast<std::size_t>(Le(old, at, 2));
        if (old.size() - at < 2 + nameBytes + 4) TagUpdateFailed("a damaged ASF header");
        const std::size_t valueBytes = static_cast<std::size_t>(Le(old, at + 2 + nameBytes + 2, 2));
        const std::size_t bytes = 2 + nameBytes + 4 + valueBytes;
        if (old.size() - at < bytes) TagUpdateFailed("a damaged ASF header");
        const std::string name = NameOf(old.substr(at + 2, nameBytes));
        bool replaced = false;
        for (const auto& tag : tags) replaced = replaced || ::strcasecmp(name.c_str(), tag.first.c_str()) == 0;
        if (!replaced) {
            kept.append(old, at, bytes);
            ++count;
        }
        at += bytes;
    }
    for (const auto& [name, value] : tags) {
        const std::string key = Utf16Le(name), text = Utf16Le(value);
        if (key.size() > 0xFFFF || text.size() > 0xFFFF) TagUpdateFailed("the tag " + name + " is too long");
        AppendLe(kept, key.size(), 2);
        kept += key;
        AppendLe(kept, kStringValue, 2);
        AppendLe(kept, text.size(), 2);
        kept += text;
        ++count;
    }
    return kept;
}

}  // namespace

void UpdateAsfTags(const std::string& path, const TagUpdate& tags)
{
    const std::optional<std::string> read = ReadWholeFile(path, kLargestFile);
    if (!read) TagUpdateFailed(errno);
    const std::string& data = *read;
    if (data.size() < kHeaderObjectBytes || data.compare(0, kGuidBytes, kHeaderObject, kGuidBytes) != 0)
        TagUpdateFailed("not an ASF file");
    const std::uint64_t headerBytes = Le(data, kGuidBytes, 8);
    if (headerBytes < kHeaderObjectBytes || headerBytes > data.size()) TagUpdateFailed("a damaged ASF header");
    const auto objects = static_cast<std::size_t>(Le(data, kObjectHeaderBytes, 4));

    // The header's objects as they are, but for the extended content
    // description, which is written anew (after the others when there was none).
    std::string children;
    std::size_t childCount = 0;
    std::size_t fileProperties = std::string::npos;  // its place in `children`
    bool described = false;
    auto addDescription = [&](const std::string& old, std::size_t oldCount) {
        std::size_t count = 0;
        const std::string descriptors = NewDescriptors(old, oldCount, tags, count);
        children.append(kExtendedContent, kGuidBytes);
        AppendLe(children, kObjectHeaderBytes + 2 + descriptors.size(), 8);
        AppendLe(children, count, 2);
        children += descriptors;
        ++childCount;
        described = true;
    };
    std::size_t at = kHeaderObjectBytes;
    for (std::size_t n = 0; n < objects; ++n) {
        if (headerBytes - at < kObjectHeaderBytes) TagUpdateFailed("a damaged ASF header");
        const std::uint64_t bytes = Le(data, at + kGuidBytes, 8);
        if (bytes < kObjectHeaderBytes || bytes > headerBytes - at) TagUpdateFailed("a damaged ASF header");
        if (data.compare(at, kGuidBytes, kExtendedContent, kGuidBytes) == 0 && !described) {
            if (bytes < kObjectHeaderBytes + 2) TagUpdateFailed("a damaged ASF header");
            addDescription(data.substr(at + kObjectHeaderBytes + 2, bytes - kObjectHeaderBytes - 2),
                           static_cast<std::size_t>(Le(data, at + kObjectHeaderBytes, 2)));
        } else {
            if (data.compare(at, kGuidBytes, kFileProperties, kGuidBytes) == 0) {
                if (bytes < kFileSizeAt + 8) TagUpdateFailed("a damaged ASF header");
                fileProperties = children.size();
            }
            children.append(data, at, bytes);
            ++childCount;
        }
        at += bytes;
    }
    if (!described) addDescription({}, 0);

    std::string rewritten(data, 0, kHeaderObjectBytes);
    PutLe(rewritten, kGuidBytes, kHeaderObjectBytes + children.size(), 8);
    PutLe(rewritten, kObjectHeaderBytes, childCount, 4);
    // The file properties give the whole file's size.
    const std::uint64_t fileBytes = kHeaderObjectBytes + children.size() + (data.size() - headerBytes);
    if (fileProperties != std::string::npos) PutLe(children, fileProperties + kFileSizeAt, fileBytes, 8);
    rewritten += children;
    rewritten.append(data, headerBytes);
    if (!WriteFileAtomically(path, rewritten)) TagUpdateFailed(errno);
}

}  // namespace tesslow
