#include "metadata/naming.h"

#include "platform/format.h"
#include "platform/utf.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace tesslow {

namespace {

constexpr std::size_t kLongestComponent = 255;
constexpr std::string_view kForbidden = ":*?/<>\"|";

std::string TrackNumberText(const DiscRecord& disc, std::uint32_t t)
{
    return Format("%02d", TrackNumberOf(disc, t));
}

std::string OrDefault(const std::string& value, const char* fallback)
{
    return value.empty() ? fallback : DisplayUtf8(value);
}

std::string Placeholder(const DiscRecord& disc, std::uint32_t t, char digit)
{
    const AlbumInfo& album = disc.album;
    switch (digit) {
    case '1': return OrDefault(album.artist, "Unknown artist");
    case '2': {
        const std::string title = t == kHiddenTrackIndex        ? kHiddenTrackTitle
                                  : t < album.trackTitles.size() ? album.trackTitles[t]
                                                                 : std::string();
        return title.empty() ? "Track " + TrackNumberText(disc, t) : DisplayUtf8(title);
    }
    case '3': return OrDefault(album.album, "Unknown album");
    case '4': return DisplayUtf8(album.year);
    default: return TrackNumberText(disc, t);
    }
}

// Removes the trailing dots of every component, so none can be "." or "..",
// and the last one cannot end in a dot either.
void TrimComponentDots(std::string& name)
{
    for (std::size_t pos; (pos = name.find(".\\")) != std::string::npos;) name.erase(pos, 1);
    while (!name.empty() && name.back() == '.') name.pop_back();
}

// The longest prefix of `text` of at most `limit` bytes that ends on a
// character boundary.
std::string_view CutAtCharacter(std::string_view text, std::size_t limit)
{
    if (text.size() <= limit) return text;
    std::size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return text.substr(0, end);
}

// The forbidden characters and control characters become "_".
void ReplaceForbidden(std::string& text)
{
    for (char& c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (kForbidden.find(c) != std::string_view::npos || byte < 0x20 || byte == 0x7F) c = '_';
    }
}

// A name the file system takes and that stays where it is put: no component
// ends in a dot (so none is "." or ".."), and a backslash becomes a "/"
// between folders.
std::string SafeName(std::string name)
{
    ReplaceForbidden(name);
    TrimComponentDots(name);
    for (char& c : name)
        if (c == '\\') c = '/';
    return name;
}

// A part of an expanded name: text of the template or of a placeholder. When
// a name is too long, the texts of the placeholders are cut, never the track
// number nor the template's own text (unless nothing else is left to cut).
struct Piece {
    std::string text;
    enum Kind { Literal, Placeholder, TrackNumber } kind = Literal;
};

// Cuts the pieces of one name component until their bytes fit `limit`: the
// placeholders' texts first, then the template's own text, the longest of a
// kind first (each is cut to a common length, at a character boundary); the
// track number stays whole.
void FitComponent(std::vector<Piece>& pieces, std::size_t limit)
{
    for (const Piece::Kind kind : {Piece::Placeholder, Piece::Literal}) {
        std::size_t others = 0, longest = 0;
        for (const Piece& piece : pieces) {
            if (piece.kind == kind) longest = std::max(longest, piece.text.size());
            else others += piece.text.size();
        }
        auto bytesAt = [&](std::size_t cap) {
            std::size_t bytes = others;
            for (const Piece& piece : pieces)
                if (piece.kind == kind) bytes += std::min(piece.text.size(), cap);
            return bytes;
        };
        if (bytesAt(longest) <= limit) return;
        // The longest common length at which everything fits.
        std::size_t low = 0, high = longest;
        while (low < high) {
            const std::size_t cap = (low + high + 1) / 2;
            if (bytesAt(cap) <= limit) low = cap;
            else high = cap - 1;
        }
        for (Piece& piece : pieces)
            if (piece.kind == kind && piece.text.size() > low) piece.text = std::string(CutAtCharacter(piece.text, low));
    }
}

// The template with its placeholders filled in, made safe as a name, every
// component fitted to the file system's 255 bytes (the last one leaving room
// for an extension of `extensionBytes`).
std::string Expand(const DiscRecord& disc, std::uint32_t t, std::string_view nameTemplate, std::size_t extensionBytes)
{
    // Pieces, split into components at each backslash.
    std::vector<std::vector<Piece>> components(1);
    auto add = [&](std::string text, Piece::Kind kind) {
        ReplaceForbidden(text);
        for (std::size_t start = 0;;) {
            const std::size_t slash = text.find('\\', start);
            components.back().push_back({text.substr(start, slash - start), kind});
            if (slash == std::string::npos) break;
            components.emplace_back();
            start = slash + 1;
        }
    };
    std::string literal;
    for (std::size_t i = 0; i < nameTemplate.size(); ++i) {
        const char c = nameTemplate[i];
        if (c == '%' && i + 1 < nameTemplate.size() && nameTemplate[i + 1] >= '1' && nameTemplate[i + 1] <= '5') {
            add(std::exchange(literal, {}), Piece::Literal);
            const char digit = nameTemplate[++i];
            add(Placeholder(disc, t, digit), digit == '5' ? Piece::TrackNumber : Piece::Placeholder);
        } else if (c == '%' && i + 1 < nameTemplate.size()) {
            // A percent sign and any other character are copied as they are,
            // so "%%1" stays "%%1".
            literal += c;
            literal += nameTemplate[++i];
        } else {
            literal += c;
        }
    }
    add(literal, Piece::Literal);

    std::string name;
    for (std::size_t c = 0; c < components.size(); ++c) {
        const bool last = c + 1 == components.size();
        FitComponent(components[c], kLongestComponent - (last ? std::min(extensionBytes, kLongestComponent) : 0));
        if (c > 0) name += '\\';
        for (const Piece& piece : components[c]) name += piece.text;
    }
    return SafeName(std::move(name));
}

// The folders a subfolder template adds, each shortened to what the file
// system takes, each after a "/".
std::string Subfolders(const DiscRecord& disc, std::string_view folderTemplate)
{
    std::string folders;
    const std::string expanded = Expand(disc, 0, folderTemplate, 0);
    for (std::size_t start = 0; start <= expanded.size();) {
        const std::size_t slash = std::min(expanded.find('/', start), expanded.size());
        const std::string_view component(expanded.data() + start, slash - start);
        if (!component.empty()) {
            folders += '/';
            folders += CutAtCharacter(component, kLongestComponent);
        }
        start = slash + 1;
    }
    return folders;
}

}  // namespace

std::string ExpandNameTemplate(const DiscRecord& disc, std::uint32_t t, std::string_view nameTemplate,
                               std::size_t extensionBytes)
{
    if (t == kHiddenTrackIndex && disc.album.trackTitles.empty())
        return SafeName("Track 00 - " + std::string(kHiddenTrackTitle));
    if (t >= disc.album.trackTitles.size() && t != kHiddenTrackIndex) return SafeName("Track " + TrackNumberText(disc, t));
    return Expand(disc, t, nameTemplate, extensionBytes);
}

bool TemplateTellsTracksApart(std::string_view nameTemplate)
{
    for (std::size_t i = 0; i + 1 < nameTemplate.size(); ++i) {
        if (nameTemplate[i] != '%') continue;
        const char next = nameTemplate[++i];  // "%%" and "%x" are copied whole
        if (next == '2' || next == '5') return true;
    }
    return false;
}

std::string ComposeOutputFolder(const std::string& destination, const SubfolderChoice& choice, const DiscRecord& disc)
{
    std::string folder = destination;
    if (choice.artist || choice.album)
        while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    if (choice.artist) folder += Subfolders(disc, "\\%1");
    if (choice.album) folder += Subfolders(disc, choice.yearInAlbum && !disc.album.year.empty() ? "\\%4 %3" : "\\%3");
    return folder;
}

std::string OutputFilePath(const std::string& folder, const std::string& expandedName, const std::string& extension)
{
    std::string path = folder;
    if (path.empty() || path.back() != '/') path += '/';
    std::size_t start = 0;
    for (;;) {
        const std::size_t slash = expandedName.find('/', start);
        const std::string_view component(expandedName.data() + start,
                                         (slash == std::string::npos ? expandedName.size() : slash) - start);
        if (slash == std::string::npos) {
            path += CutAtCharacter(component, kLongestComponent - std::min(extension.size(), kLongestComponent));
            path += extension;
            return path;
        }
        if (!component.empty()) {
            path += CutAtCharacter(component, kLongestComponent);
            path += '/';
        }
        start = slash + 1;
    }
}

std::string NumberedPath(const std::string& path, int number)
{
    const std::size_t nameStart = path.rfind('/') + 1;
    const std::size_t dot = path.rfind('.');
    const std::size_t stem = dot != std::string::npos && dot > nameStart ? dot : path.size();
    const std::string extension = path.substr(stem);
    const std::string suffix = " (" + std::to_string(number) + ")";
    std::size_t keep = std::min(stem - nameStart, std::size_t{255} - std::min<std::size_t>(255, extension.size() + suffix.size()));
    while (keep > 0 && (static_cast<unsigned char>(path[nameStart + keep]) & 0xC0) == 0x80) --keep;
    return path.substr(0, nameStart + keep) + suffix + extension;
}

}  // namespace tesslow
