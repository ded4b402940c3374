#include "encoding/ape/ape_tag.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstring>

namespace tesslow::ape {

namespace {

constexpr std::uint32_t kTagVersion = 2000;
constexpr std::uint32_t kFrameBytes = 32;  // the header and the footer
constexpr std::uint32_t kFlagHasHeader = 0x80000000;
constexpr std::uint32_t kFlagIsHeader = 0x20000000;
constexpr std::uint32_t kFlagBinary = 0x00000002;  // item content: binary, not UTF-8 text
constexpr std::uint32_t kMaxItems = 65536;
constexpr std::uint32_t kMaxTagBytes = 20 * 1024 * 1024;  // room for a 16 MB cover

std::uint32_t U32At(const std::uint8_t* at)
{
    return at[0] | at[1] << 8 | at[2] << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

bool SameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return (x >= 'a' && x <= 'z' ? x - 32 : x) == (y >= 'a' && y <= 'z' ? y - 32 : y);
           });
}

bool IsValidName(std::string_view name)
{
    if (name.size() < 2 || name.size() > 255) return false;
    if (!std::all_of(name.begin(), name.end(), [](char c) { return c >= 0x20 && c <= 0x7E; })) return false;
    for (std::string_view reserved : {"ID3", "TAG", "OggS", "MP+"})
        if (SameName(name, reserved)) return false;
    return true;
}

std::string Latin1ToUtf8(std::string_view text)
{
    std::string out;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            out.push_back(c);
        } else {
            out.push_back(static_cast<char>(0xC0 | byte >> 6));
            out.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
        }
    }
    return out;
}

bool ReadExactly(CIO* io, std::uint8_t* buffer, std::uint32_t bytes)
{
    while (bytes > 0) {
        unsigned got = 0;
        if (io->Read(buffer, bytes, &got) != kErrorSuccess || got == 0) return false;
        buffer += got;
        bytes -= got;
    }
    return true;
}

void PutFrame(std::vector<std::uint8_t>& out, std::uint32_t itemBytes, std::uint32_t items, std::uint32_t flags)
{
    out.insert(out.end(), {'A', 'P', 'E', 'T', 'A', 'G', 'E', 'X'});
    PutU32(out, kTagVersion);
    PutU32(out, itemBytes + kFrameBytes);
    PutU32(out, items);
    PutU32(out, flags);
    out.insert(out.end(), 8, 0);
}

}  // namespace

CAPETag::CAPETag(CIO* io) : io_(io)
{
    tagStart_ = io_->GetSize();
    Analyze();
}

void CAPETag::Analyze()
{
    const std::uint32_t size = io_->GetSize();
    if (size < kFrameBytes) return;
    std::array<std::uint8_t, kFrameBytes> footer{};
    io_->Seek(-static_cast<std::int32_t>(kFrameBytes), SEEK_END);
    if (!ReadExactly(io_, footer.data(), kFrameBytes)) return;
    if (std::memcmp(footer.data(), "APETAGEX", 8) != 0) return;
    const std::uint32_t version = U32At(&footer[8]);
    const std::uint32_t tagBytes = U32At(&footer[12]);  // items and footer
    const std::uint32_t count = U32At(&footer[16]);
    const std::uint32_t flags = U32At(&footer[20]);
    const std::uint32_t whole = tagBytes + ((flags & kFlagHasHeader) ? kFrameBytes : 0);
    if (version > kTagVersion || count > kMaxItems || tagBytes < kFrameBytes || tagBytes > kMaxTagBytes ||
        whole > size)
        return;

    std::vector<std::uint8_t> items(tagBytes - kFrameBytes);
    io_->Seek(-static_cast<std::int32_t>(tagBytes), SEEK_END);
    if (!ReadExactly(io_, items.data(), static_cast<std::uint32_t>(items.size()))) return;
    std::vector<Field> fields;
    std::size_t at = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (items.size() - at < 9) return;
        const std::uint32_t valueBytes = U32At(&items[at]);
        const auto nameEnd = std::find(items.begin() + static_cast<std::ptrdiff_t>(at + 8), items.end(), 0);
        if (nameEnd == items.end()) return;
        const std::size_t nameStart = at + 8;
        const auto nameSize = static_cast<std::size_t>(nameEnd - items.begin()) - nameStart;
        const std::size_t valueStart = nameStart + nameSize + 1;
        if (items.size() - valueStart < valueBytes) return;
        fields.push_back({std::string(reinterpret_cast<const char*>(&items[nameStart]), nameSize),
                          std::string(reinterpret_cast<const char*>(&items[valueStart]), valueBytes),
                          U32At(&items[at + 4])});
        at = valueStart + valueBytes;
    }
    fields_ = std::move(fields);
    tagStart_ = size - whole;
}

int CAPETag::SetFieldString(std::string_view name, std::string_view value, bool alreadyUtf8)
{
    if (!IsValidName(name)) return kErrorBadParameter;
    const auto existing =
        std::find_if(fields_.begin(), fields_.end(), [&](const Field& field) { return SameName(field.name, name); });
    if (value.empty()) {
        if (existing != fields_.end()) fields_.erase(existing);
        return kErrorSuccess;
    }
    std::string text = alreadyUtf8 ? std::string(value) : Latin1ToUtf8(value);
    if (existing != fields_.end()) {
        existing->value = std::move(text);
        existing->flags = 0;
    } else {
        fields_.push_back({std::string(name), std::move(text), 0});
    }
    return kErrorSuccess;
}

int CAPETag::SetFieldBinary(std::string_view name, std::string_view value)
{
    if (const int result = SetFieldString(name, value, true); result != kErrorSuccess || value.empty()) return result;
    for (Field& field : fields_)
        if (SameName(field.name, name)) field.flags = kFlagBinary;
    return kErrorSuccess;
}

int CAPETag::Save()
{
    std::vector<std::uint8_t> items;
    for (const Field& field : fields_) {
        PutU32(items, static_cast<std::uint32_t>(field.value.size()));
        PutU32(items, field.flags);
        items.insert(items.end(), field.name.begin(), field.name.end());
        items.push_back(0);
        items.insert(items.end(), field.value.begin(), field.value.end());
    }
    if (items.size() + kFrameBytes > kMaxTagBytes) return kErrorBadParameter;

    std::vector<std::uint8_t> tag;
    if (!fields_.empty()) {
        const auto itemBytes = static_cast<std::uint32_t>(items.size());
        const auto count = static_cast<std::uint32_t>(fields_.size());
        PutFrame(tag, itemBytes, count, kFlagHasHeader | kFlagIsHeader);
        tag.insert(tag.end(), items.begin(), items.end());
        PutFrame(tag, itemBytes, count, kFlagHasHeader);
    }

    // Seek from the end: the old tag is small, the file may not be.
    io_->Seek(-static_cast<std::int32_t>(io_->GetSize() - tagStart_), SEEK_END);
    const std::uint8_t* data = tag.data();
    std::size_t left = tag.size();
    while (left > 0) {
        unsigned written = 0;
        if (io_->Write(data, static_cast<unsigned>(left), &written) != kErrorSuccess || written == 0)
            return kErrorIoWrite;
        data += written;
        left -= written;
    }
    return io_->SetEOF();
}

}  // namespace tesslow::ape
