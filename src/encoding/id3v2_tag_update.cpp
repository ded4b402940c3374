// Sets TXXX frames of the ID3v2.4 tag at the start of an MP3 file: in place
// when the tag with its padding has room, else through a new file whose tag
// has room for more.

#include "encoding/tag_update.h"
#include "platform/atomic_file.h"
#include "platform/fd_io.h"
#include "platform/unique_fd.h"

#include <fcntl.h>
#include <strings.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <optional>
#include <string>

namespace tesslow {

namespace {

constexpr std::size_t kLargestFile = std::size_t{1} << 31;
constexpr std::size_t kHeaderBytes = 10;
constexpr std::size_t kRoomForMore = 1024;  // padding of a tag written anew
constexpr std::uint8_t kUtf8 = 3;

std::size_t Synchsafe(const std::string& data, std::size_t at)
{
    std::size_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) value = value << 7 | (static_cast<unsigned char>(data[at + i]) & 0x7F);
    return value;
}

void AppendSynchsafe(std::string& out, std::size_t value)
{
    for (int shift = 21; shift >= 0; shift -= 7) out += static_cast<char>(value >> shift & 0x7F);
}

// Whether a TXXX frame's body describes itself as `name` (its description in
// ISO-8859-1 or UTF-8, the encodings Tesslow writes).
bool DescribedAs(const std::string& body, const std::string& name)
{
    if (body.empty() || (body[0] != 0 && body[0] != kUtf8)) return false;
    const std::size_t end = body.find('\0', 1);
    return end != std::string::npos && end - 1 == name.size() &&
           ::strncasecmp(body.data() + 1, name.c_str(), name.size()) == 0;
}

}  // namespace

void UpdateId3v2Tags(const std::string& path, const TagUpdate& tags)
{
    const UniqueFd file(::open(path.c_str(), O_RDWR | O_CLOEXEC));
    if (!file) TagUpdateFailed(errno);
    std::string header(kHeaderBytes, '\0');
    const ssize_t got = ReadFull(file.Get(), header.data(), header.size());
    if (got < 0) TagUpdateFailed(errno);

    // The frames kept from the old tag; none when the file has no tag.
    std::string frames;
    std::size_t oldBytes = 0;  // the old tag's whole size, padding included
    if (got == static_cast<ssize_t>(kHeaderBytes) && header.compare(0, 3, "ID3") == 0) {
        if (header[3] != 4) TagUpdateFailed("an ID3v2 version other than 2.4");
        // Unsynchronisation, an extended header or a footer: not written by Tesslow.
        if ((header[5] & 0xF0) != 0) TagUpdateFailed("an ID3v2 tag with flags");
        const std::size_t size = Synchsafe(header, 6);
        std::string body(size, '\0');
        if (ReadFull(file.Get(), body.data(), size) != static_cast<ssize_t>(size)) TagUpdateFailed("the tag is cut short");
        oldBytes = kHeaderBytes + size;
        for (std::size_t at = 0; at + kHeaderBytes <= size && body[at] != '\0';) {
            const std::size_t frameBytes = kHeaderBytes + Synchsafe(body, at + 4);
            if (frameBytes > size - at) TagUpdateFailed("a damaged ID3v2 frame");
            bool replaced = false;
            if (body.compare(at, 4, "TXXX") == 0)
                for (const auto& tag : tags)
                    replaced = replaced || DescribedAs(body.substr(at + kHeaderBytes, frameBytes - kHeaderBytes), tag.first);
            if (!replaced) frames.append(body, at, frameBytes);
            at += frameBytes;
        }
    }
    for (const auto& [name, value] : tags) {
        const std::string content = static_cast<char>(kUtf8) + name + '\0' + value;
        frames += "TXXX";
        AppendSynchsafe(frames, content.size());
        frames.append(2, '\0');
        frames += content;
    }

    // In place, when the old tag's room takes the frames: only the tag's
    // bytes are written.
    const bool inPlace = oldBytes >= kHeaderBytes + frames.size();
    const std::size_t tagBytes = inPlace ? oldBytes : kHeaderBytes + frames.size() + kRoomForMore;
    std::string tag = "ID3";
    tag += '\4';
    tag.append(2, '\0');
    AppendSynchsafe(tag, tagBytes - kHeaderBytes);
    tag += frames;
    tag.resize(tagBytes, '\0');
    if (inPlace) {
        if (::pwrite(file.Get(), tag.data(), tag.size(), 0) != static_cast<ssize_t>(tag.size()) ||
            ::fsync(file.Get()) != 0)
            TagUpdateFailed(errno);
        return;
    }
    const std::optional<std::string> old = ReadWholeFile(path, kLargestFile);
    if (!old) TagUpdateFailed(errno);
    if (!WriteFileAtomically(path, tag + old->substr(oldBytes))) TagUpdateFailed(errno);
}

}  // namespace tesslow
