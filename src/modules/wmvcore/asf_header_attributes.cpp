#include "modules/wmvcore/asf_header_attributes.h"

#include "platform/fd_io.h"

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <string_view>

namespace wmvcore {

namespace {

using Guid = std::array<unsigned char, 16>;

// As the file carries them: the first three fields little-endian.
constexpr Guid kHeaderObject = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
constexpr Guid kFileProperties = {0xA1, 0xDC, 0xAB, 0x8C, 0x47, 0xA9, 0xCF, 0x11,
                                  0x8E, 0xE4, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
constexpr Guid kExtendedContent = {0x40, 0xA4, 0xD0, 0xD2, 0x07, 0xE3, 0xD2, 0x11,
                                   0x97, 0xF0, 0x00, 0xA0, 0xC9, 0x5E, 0xA8, 0x50};
constexpr Guid kHeaderExtension = {0xB5, 0x03, 0xBF, 0x5F, 0x2E, 0xA9, 0xCF, 0x11,
                                   0x8E, 0xE3, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
constexpr Guid kMetadataLibrary = {0x94, 0x1C, 0x23, 0x44, 0x98, 0x94, 0xD1, 0x49,
                                   0xA1, 0x41, 0x1D, 0x13, 0x4E, 0x45, 0x70, 0x54};
constexpr std::size_t kObjectHeader = 24;  // GUID and 64-bit size
constexpr std::size_t kHeaderObjectBytes = 30;
constexpr std::size_t kHeaderExtensionFixed = 22;  // reserved GUID, reserved word, data size
constexpr std::uint16_t kBinaryType = 1;

std::uint64_t Little(std::string_view bytes, std::size_t at, int count)
{
    std::uint64_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

void PutLittle(std::string& bytes, std::size_t at, std::uint64_t value, int count)
{
    for (int i = 0; i < count; ++i) bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

void AppendLittle(std::string& out, std::uint64_t value, int count)
{
    for (int i = 0; i < count; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

bool Is(std::string_view bytes, std::size_t at, const Guid& guid)
{
    return bytes.substr(at, 16) == std::string_view(reinterpret_cast<const char*>(guid.data()), 16);
}

std::string Object(const Guid& guid, const std::string& body)
{
    std::string out(reinterpret_cast<const char*>(guid.data()), 16);
    AppendLittle(out, kObjectHeader + body.size(), 8);
    return out + body;
}

// The name as zero-terminated UTF-16LE (attribute names are ASCII).
std::string Utf16Name(const std::string& name)
{
    std::string out;
    for (const char c : name) {
        out += c;
        out += '\0';
    }
    return out.append(2, '\0');
}

struct Child {
    std::size_t at = 0;
    std::size_t size = 0;
};

}  // namespace

int AddBinaryAttributes(int fd, const BinaryAttributes& attributes)
{
    if (attributes.empty()) return 0;
    struct stat info {};
    if (::fstat(fd, &info) != 0) return errno;
    std::string file(static_cast<std::size_t>(info.st_size), '\0');
    if (!file.empty() && ::pread(fd, file.data(), file.size(), 0) != static_cast<ssize_t>(file.size()))
        return errno != 0 ? errno : EIO;

    if (file.size() < kHeaderObjectBytes || !Is(file, 0, kHeaderObject)) return EINVAL;
    const std::size_t headerSize = Little(file, 16, 8);
    std::uint32_t children = static_cast<std::uint32_t>(Little(file, 24, 4));
    if (headerSize < kHeaderObjectBytes || headerSize > file.size()) return EINVAL;
    Child properties, content, extension;
    for (std::size_t at = kHeaderObjectBytes; at + kObjectHeader <= headerSize;) {
        const std::size_t size = Little(file, at + 16, 8);
        if (size < kObjectHeader || size > headerSize - at) return EINVAL;
        if (Is(file, at, kFileProperties)) properties = {at, size};
        if (Is(file, at, kExtendedContent)) content = {at, size};
        if (Is(file, at, kHeaderExtension)) extension = {at, size};
        at += size;
    }
    if (properties.size < kObjectHeader + 24) return EINVAL;

    // Small values as descriptors, large ones as library records.
    std::string descriptors, records;
    std::uint32_t descriptorCount = 0, recordCount = 0;
    for (const auto& [name, value] : attributes) {
        const std::string wide = Utf16Name(name);
        if (value.size() <= 0xFFFF) {
            AppendLittle(descriptors, wide.size(), 2);
            descriptors += wide;
            AppendLittle(descriptors, kBinaryType, 2);
            AppendLittle(descriptors, value.size(), 2);
            descriptors += value;
            ++descriptorCount;
        } else {
            AppendLittle(records, 0, 2);  // language list index
            AppendLittle(records, 0, 2);  // stream 0: the whole file
            AppendLittle(records, wide.size(), 2);
            AppendLittle(records, kBinaryType, 2);
            AppendLittle(records, value.size(), 4);
            records += wide;
            records += value;
            ++recordCount;
        }
    }
    if (recordCount > 0 && extension.size < kObjectHeader + kHeaderExtensionFixed) return EINVAL;

    // The header again, object by object, with the additions.
    std::string header = file.substr(0, kHeaderObjectBytes);
    for (std::size_t at = kHeaderObjectBytes; at < headerSize;) {
        const std::size_t size = Little(file, at + 16, 8);
        std::string object = file.substr(at, size);
        if (at == content.at && descriptorCount > 0) {
            const std::uint64_t count = Little(object, kObjectHeader, 2) + descriptorCount;
            if (count > 0xFFFF) return EINVAL;
            PutLittle(object, kObjectHeader, count, 2);
            object += descriptors;
            PutLittle(object, 16, object.size(), 8);
        }
        if (at == extension.at && recordCount > 0) {
            std::string library;
            AppendLittle(library, recordCount, 2);
            object += Object(kMetadataLibrary, library + records);
            PutLittle(object, 16, object.size(), 8);
            PutLittle(object, kObjectHeader + 18, object.size() - kObjectHeader - kHeaderExtensionFixed, 4);
        }
        header += object;
        at += size;
    }
    if (descriptorCount > 0 && content.size == 0) {
        std::string body;
        AppendLittle(body, descriptorCount, 2);
        header += Object(kExtendedContent, body + descriptors);
        ++children;
    }
    PutLittle(header, 16, header.size(), 8);
    PutLittle(header, 24, children, 4);
    const std::size_t grown = header.size() - headerSize;
    // The File Properties object keeps its place; its file size grows.
    PutLittle(header, properties.at + kObjectHeader + 16, file.size() + grown, 8);

    const std::string_view rest = std::string_view(file).substr(headerSize);
    if (::lseek(fd, 0, SEEK_SET) < 0) return errno;
    if (!tesslow::WriteAll(fd, header.data(), header.size()) || !tesslow::WriteAll(fd, rest.data(), rest.size()))
        return errno != 0 ? errno : EIO;
    return 0;
}

}  // namespace wmvcore
