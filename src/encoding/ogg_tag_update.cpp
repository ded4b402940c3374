// Sets comments of an Ogg Vorbis file: the comment header is written anew and
// paged again with the setup header; the audio pages keep their bytes, with
// new sequence numbers (and checksums) only when the headers take a different
// number of pages.

#include "encoding/tag_update.h"
#include "platform/atomic_file.h"

#include <ogg/ogg.h>
#include <strings.h>
#include <vorbis/codec.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace tesslow {

namespace {

constexpr std::size_t kLargestFile = std::size_t{1} << 31;
constexpr std::size_t kPageHeaderBytes = 27;

// One page of the file: where it is and how long, its header included.
struct Page {
    std::size_t offset = 0;
    std::size_t headerBytes = 0;
    std::size_t bytes = 0;
};

std::uint32_t Le32(const std::string& data, std::size_t at)
{
    return static_cast<std::uint32_t>(static_cast<unsigned char>(data[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(data[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(data[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(data[at + 3])) << 24;
}

std::vector<Page> PagesOf(const std::string& data)
{
    std::vector<Page> pages;
    for (std::size_t at = 0; at < data.size();) {
        if (data.size() - at < kPageHeaderBytes || data.compare(at, 4, "OggS") != 0) TagUpdateFailed("not an Ogg file");
        const std::size_t segments = static_cast<unsigned char>(data[at + 26]);
        Page page{at, kPageHeaderBytes + segments, 0};
        if (data.size() - at < page.headerBytes) TagUpdateFailed("the file is cut short");
        std::size_t body = 0;
        for (std::size_t s = 0; s < segments; ++s) body += static_cast<unsigned char>(data[at + kPageHeaderBytes + s]);
        page.bytes = page.headerBytes + body;
        if (data.size() - at < page.bytes) TagUpdateFailed("the file is cut short");
        pages.push_back(page);
        at += page.bytes;
    }
    return pages;
}

// The first three packets (identification, comment, setup), and the number
// of pages they fill; the audio must start on a page of its own.
struct Headers {
    std::vector<std::string> packets;
    std::size_t pages = 0;
};

Headers HeadersOf(const std::string& data, const std::vector<Page>& pages)
{
    Headers headers;
    std::string packet;
    for (const Page& page : pages) {
        if (headers.packets.size() == 3) break;
        const std::size_t segments = page.headerBytes - kPageHeaderBytes;
        std::size_t at = page.offset + page.headerBytes;
        for (std::size_t s = 0; s < segments; ++s) {
            if (headers.packets.size() == 3) TagUpdateFailed("the audio shares a page with the headers");
            const std::size_t lacing = static_cast<unsigned char>(data[page.offset + kPageHeaderBytes + s]);
            packet.append(data, at, lacing);
            at += lacing;
            if (lacing < 255) {
                headers.packets.push_back(std::move(packet));
                packet.clear();
            }
        }
        ++headers.pages;
        // The identification header has the first page to itself, which is kept as it is.
        if (headers.pages == 1 && (headers.packets.size() != 1 || !packet.empty()))
            TagUpdateFailed("damaged Vorbis headers");
    }
    if (headers.packets.size() < 3) TagUpdateFailed("the file has no Vorbis headers");
    return headers;
}

struct Comment {
    vorbis_info info{};
    vorbis_comment comment{};
    Comment()
    {
        vorbis_info_init(&info);
        vorbis_comment_init(&comment);
    }
    ~Comment()
    {
        vorbis_comment_clear(&comment);
        vorbis_info_clear(&info);
    }
    Comment(const Comment&) = delete;
    Comment& operator=(const Comment&) = delete;
};

ogg_packet PacketOf(const std::string& bytes, long number)
{
    ogg_packet packet{};
    packet.packet = reinterpret_cast<unsigned char*>(const_cast<char*>(bytes.data()));
    packet.bytes = static_cast<long>(bytes.size());
    packet.b_o_s = number == 0;
    packet.packetno = number;
    return packet;
}

bool NameIs(const char* entry, const std::string& name)
{
    return ::strncasecmp(entry, name.c_str(), name.size()) == 0 && entry[name.size()] == '=';
}

// The comment header packet with `tags` set, read through libvorbis.
std::string NewCommentPacket(const Headers& headers, const TagUpdate& tags)
{
    Comment old;
    for (long n = 0; n < 2; ++n) {
        ogg_packet packet = PacketOf(headers.packets[static_cast<std::size_t>(n)], n);
        if (vorbis_synthesis_headerin(&old.info, &old.comment, &packet) != 0) TagUpdateFailed("damaged Vorbis headers");
    }
    Comment fresh;
    for (int i = 0; i < old.comment.comments; ++i) {
        const char* entry = old.comment.user_comments[i];
        bool replaced = false;
        for (const auto& tag : tags) replaced = replaced || NameIs(entry, tag.first);
        if (!replaced) vorbis_comment_add(&fresh.comment, entry);
    }
    for (const auto& [name, value] : tags) vorbis_comment_add_tag(&fresh.comment, name.c_str(), value.c_str());
    ogg_packet packet{};
    if (vorbis_commentheader_out(&fresh.comment, &packet) != 0) TagUpdateFailed("out of memory");
    std::string bytes(reinterpret_cast<const char*>(packet.packet), static_cast<std::size_t>(packet.bytes));
    ogg_packet_clear(&packet);
    return bytes;
}

void SetSequence(std::string& data, const Page& page, std::uint32_t sequence)
{
    for (int i = 0; i < 4; ++i) data[page.offset + 18 + i] = static_cast<char>(sequence >> (8 * i) & 0xFF);
    ogg_page view{};
    view.header = reinterpret_cast<unsigned char*>(data.data() + page.offset);
    view.header_len = static_cast<long>(page.headerBytes);
    view.body = view.header + page.headerBytes;
    view.body_len = static_cast<long>(page.bytes - page.headerBytes);
    ogg_page_checksum_set(&view);
}

}  // namespace

void UpdateOggTags(const std::string& path, const TagUpdate& tags)
{
    const std::optional<std::string> read = ReadWholeFile(path, kLargestFile);
    if (!read) TagUpdateFailed(errno);
    std::string data = *read;
    const std::vector<Page> pages = PagesOf(data);
    const Headers headers = HeadersOf(data, pages);
    const std::uint32_t serial = Le32(data, pages.front().offset + 14);

    // The comment and setup headers paged anew, from sequence number 1 on,
    // as the encoder pages them.
    const std::string comment = NewCommentPacket(headers, tags);
    ogg_stream_state stream{};
    if (ogg_stream_init(&stream, static_cast<int>(serial)) != 0) TagUpdateFailed("out of memory");
    struct Clear {
        ogg_stream_state& stream;
        ~Clear() { ogg_stream_clear(&stream); }
    } clear{stream};
    stream.pageno = 1;
    stream.b_o_s = 1;  // the first page, with the identification header, stays as it is
    ogg_packet commentPacket = PacketOf(comment, 1);
    ogg_packet setupPacket = PacketOf(headers.packets[2], 2);
    ogg_stream_packetin(&stream, &commentPacket);
    ogg_stream_packetin(&stream, &setupPacket);
    std::string rewritten = data.substr(0, pages.front().bytes);
    std::uint32_t headerPages = 1;
    ogg_page page{};
    while (ogg_stream_flush(&stream, &page) != 0) {
        rewritten.append(reinterpret_cast<const char*>(page.header), static_cast<std::size_t>(page.header_len));
        rewritten.append(reinterpret_cast<const char*>(page.body), static_cast<std::size_t>(page.body_len));
        ++headerPages;
    }

    // The audio pages, numbered on from the new headers when their count changed.
    const auto shift = static_cast<std::int64_t>(headerPages) - static_cast<std::int64_t>(headers.pages);
    for (std::size_t p = headers.pages; p < pages.size(); ++p) {
        const Page& audio = pages[p];
        if (shift != 0 && Le32(data, audio.offset + 14) == serial)
            SetSequence(data, audio, static_cast<std::uint32_t>(Le32(data, audio.offset + 18) + shift));
        rewritten.append(data, audio.offset, audio.bytes);
    }
    if (!WriteFileAtomically(path, rewritten)) TagUpdateFailed(errno);
}

}  // namespace tesslow
