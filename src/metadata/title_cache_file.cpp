#include "metadata/title_cache_file.h"

#include "metadata/xml_document.h"
#include "platform/utf.h"

#include <algorithm>
#include <charconv>

namespace tesslow {

namespace {

// A CD holds at most 99 tracks; a count far beyond that is a damaged entry,
// and believing it would allocate without bound.
constexpr std::size_t kMostTitles = 999;

// Appends `text` with the markup characters escaped. Carriage returns become a
// character reference (a reader would turn a raw one into a line feed), and the
// other control characters, which XML cannot carry at all, are dropped so that
// one odd title never makes the whole file unreadable.
void AppendEscaped(std::string& out, std::string_view text)
{
    for (const char c : ValidUtf8(text)) {
        switch (c) {
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '&': out += "&amp;"; break;
        case '\'': out += "&apos;"; break;
        case '"': out += "&quot;"; break;
        case '\r': out += "&#13;"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n') break;
            out += c;
        }
    }
}

void AppendElement(std::string& out, const char* name, std::string_view text)
{
    out += '<';
    out += name;
    out += '>';
    AppendEscaped(out, text);
    out += "</";
    out += name;
    out += '>';
}

void AppendAttribute(std::string& out, const char* name, std::string_view value)
{
    if (value.empty()) return;
    out += ' ';
    out += name;
    out += "=\"";
    AppendEscaped(out, value);
    out += '"';
}

void AppendNumber(std::string& out, const char* name, int value)
{
    if (value > 0) AppendAttribute(out, name, std::to_string(value));
}

std::string Joined(const std::vector<std::string>& ids)
{
    std::string text;
    for (const std::string& id : ids) text += (text.empty() ? "" : ";") + id;
    return text;
}

std::vector<std::string> Split(const std::string& text)
{
    std::vector<std::string> ids;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find(';', at), text.size());
        if (end > at) ids.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    return ids;
}

// What a release adds beyond the names, the person's edits mark, and the
// releases the disc id matches: elements an older reader passes over.
void AppendReleaseDetails(std::string& out, const AlbumInfo& album)
{
    if (album.edited) out += "<edited>1</edited>";
    if (album.noCover) out += "<cover none=\"1\"/>";
    if (!album.coverFile.empty()) {
        out += "<cover";
        AppendAttribute(out, "file", album.coverFile);
        out += "/>";
    }
    std::string details;
    AppendAttribute(details, "date", album.date);
    AppendAttribute(details, "country", album.country);
    AppendAttribute(details, "label", album.label);
    AppendAttribute(details, "catalog", album.catalogNumber);
    AppendAttribute(details, "barcode", album.barcode);
    AppendAttribute(details, "media", album.media);
    AppendNumber(details, "disc", album.discNumber);
    AppendNumber(details, "discs", album.discTotal);
    AppendAttribute(details, "discid", album.discId);
    AppendAttribute(details, "releasegroup", album.releaseGroupId);
    AppendAttribute(details, "artistids", Joined(album.artistIds));
    if (!details.empty()) out += "<details" + details + "/>";
    if (!album.credits.empty()) {
        out += "<credits>";
        for (const TrackCredit& credit : album.credits) {
            out += "<credit";
            AppendAttribute(out, "artist", credit.artist);
            AppendAttribute(out, "artistids", Joined(credit.artistIds));
            AppendAttribute(out, "recording", credit.recordingId);
            AppendAttribute(out, "releasetrack", credit.releaseTrackId);
            out += '>';
            AppendEscaped(out, credit.title);
            out += "</credit>";
        }
        out += "</credits>";
    }
    if (!album.releases.empty()) {
        out += "<releases>";
        for (const ReleaseSummary& release : album.releases) {
            out += "<release";
            AppendAttribute(out, "id", release.id);
            AppendAttribute(out, "title", release.title);
            AppendAttribute(out, "artist", release.artist);
            AppendAttribute(out, "date", release.date);
            AppendAttribute(out, "country", release.country);
            AppendAttribute(out, "label", release.label);
            AppendAttribute(out, "catalog", release.catalogNumber);
            AppendAttribute(out, "barcode", release.barcode);
            AppendNumber(out, "disc", release.disc);
            AppendNumber(out, "discs", release.discs);
            AppendNumber(out, "tracks", release.tracks);
            out += "/>";
        }
        out += "</releases>";
    }
}

int NumberAttribute(const xmlNode* element, const char* name)
{
    const std::optional<std::string> text = AttributeValue(element, name);
    int value = 0;
    if (!text || std::from_chars(text->data(), text->data() + text->size(), value).ec != std::errc() || value < 0)
        return 0;
    return value;
}

std::string Text(const xmlNode* element, const char* name) { return AttributeValue(element, name).value_or(""); }

void ReadReleaseDetails(const xmlNode* disc, AlbumInfo& album)
{
    album.edited = ElementText(FirstChildElement(disc, "edited")) == "1";
    if (const xmlNode* cover = FirstChildElement(disc, "cover")) {
        album.noCover = Text(cover, "none") == "1";
        album.coverFile = Text(cover, "file");
    }
    if (const xmlNode* details = FirstChildElement(disc, "details")) {
        album.date = Text(details, "date");
        album.country = Text(details, "country");
        album.label = Text(details, "label");
        album.catalogNumber = Text(details, "catalog");
        album.barcode = Text(details, "barcode");
        album.media = Text(details, "media");
        album.discNumber = NumberAttribute(details, "disc");
        album.discTotal = NumberAttribute(details, "discs");
        album.discId = Text(details, "discid");
        album.releaseGroupId = Text(details, "releasegroup");
        album.artistIds = Split(Text(details, "artistids"));
    }
    for (const xmlNode* element : ChildElements(FirstChildElement(disc, "credits"), "credit")) {
        if (album.credits.size() >= kMostTitles) break;
        album.credits.push_back({ElementText(element), Text(element, "artist"), Split(Text(element, "artistids")),
                                 Text(element, "recording"), Text(element, "releasetrack")});
    }
    for (const xmlNode* element : ChildElements(FirstChildElement(disc, "releases"), "release")) {
        if (album.releases.size() >= kMostTitles) break;
        album.releases.push_back({Text(element, "id"), Text(element, "title"), Text(element, "artist"),
                                  Text(element, "date"), Text(element, "country"), Text(element, "label"),
                                  Text(element, "catalog"), Text(element, "barcode"), NumberAttribute(element, "disc"),
                                  NumberAttribute(element, "discs"), NumberAttribute(element, "tracks")});
    }
}

std::optional<std::size_t> DecimalCount(const std::optional<std::string>& text)
{
    if (!text || text->empty()) return std::nullopt;
    std::size_t value = 0;
    const char* end = text->data() + text->size();
    const auto [stop, error] = std::from_chars(text->data(), end, value);
    if (error != std::errc() || stop != end || value > kMostTitles) return std::nullopt;
    return value;
}

std::optional<AlbumInfo> ReadDisc(const xmlNode* disc)
{
    const xmlNode* trackNames = FirstChildElement(disc, "tracknames");
    const std::optional<std::size_t> count = DecimalCount(AttributeValue(trackNames, "count"));
    if (!count) return std::nullopt;

    AlbumInfo album;
    album.artist = ElementText(FirstChildElement(disc, "artist"));
    album.album = ElementText(FirstChildElement(disc, "album"));
    album.year = ElementText(FirstChildElement(disc, "year"));
    album.genre = ElementText(FirstChildElement(disc, "genre"));
    album.comment = ElementText(FirstChildElement(disc, "comment"));
    album.source = ElementText(FirstChildElement(disc, "source"));
    const std::vector<const xmlNode*> tracks = ChildElements(trackNames, "track");
    album.trackTitles.resize(*count);
    for (std::size_t i = 0; i < *count && i < tracks.size(); ++i) album.trackTitles[i] = ElementText(tracks[i]);
    ReadReleaseDetails(disc, album);
    return album;
}

std::string_view Name(const xmlNode* node) { return reinterpret_cast<const char*>(node->name); }

// Reads one `disc` element into the entries; false when it is unusable.
bool ReadEntry(const xmlNode* disc, TitleCacheEntries& entries)
{
    const std::optional<std::string> id = AttributeValue(disc, "id");
    if (!id || id->empty()) return false;
    std::optional<AlbumInfo> album = ReadDisc(disc);
    if (!album) return false;
    entries.insert_or_assign(*id, std::move(*album));
    return true;
}

// Version "1" is ours; a later version is another program's to keep; a
// missing or nonsensical one is damage.
TitleCacheContents::State VersionState(const std::optional<std::string>& version)
{
    if (version == "1") return TitleCacheContents::State::Whole;
    std::uint64_t number = 0;
    const char* end = version ? version->data() + version->size() : nullptr;
    const bool decimal = version && !version->empty() &&
                         std::from_chars(version->data(), end, number).ptr == end;
    return decimal && number > 1 ? TitleCacheContents::State::Newer : TitleCacheContents::State::Damaged;
}

// Where the next start tag `<name` (followed by a blank, '>' or '/') begins.
std::size_t FindStartTag(std::string_view bytes, std::string_view name, std::size_t from)
{
    const std::string open = "<" + std::string(name);
    for (std::size_t at = bytes.find(open, from); at != std::string_view::npos; at = bytes.find(open, at + 1)) {
        const std::size_t after = at + open.size();
        if (after < bytes.size() && std::string_view(" \t\r\n>/").find(bytes[after]) != std::string_view::npos)
            return at;
    }
    return std::string_view::npos;
}

}  // namespace

std::string SerializeTitleCache(const TitleCacheEntries& entries)
{
    std::string out = "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
                      "<cddbcache version=\"1\"><!-- Please, do not edit this file manually -->";
    for (const auto& [id, album] : entries) {
        out += "<disc id=\"";
        AppendEscaped(out, id);
        out += "\">";
        AppendElement(out, "artist", album.artist);
        AppendElement(out, "album", album.album);
        AppendElement(out, "year", album.year);
        AppendElement(out, "genre", album.genre);
        AppendElement(out, "comment", album.comment);
        AppendElement(out, "source", album.source);
        out += "<tracknames count=\"" + std::to_string(album.trackTitles.size()) + "\"";
        if (album.trackTitles.empty()) {
            out += "/>";
        } else {
            out += '>';
            for (std::size_t i = 0; i < album.trackTitles.size(); ++i) {
                out += "<track number=\"" + std::to_string(i + 1) + "\">";
                AppendEscaped(out, album.trackTitles[i]);
                out += "</track>";
            }
            out += "</tracknames>";
        }
        AppendReleaseDetails(out, album);
        out += "</disc>";
    }
    out += "</cddbcache>";
    return out;
}

TitleCacheContents ParseTitleCache(std::string_view bytes)
{
    TitleCacheContents contents;
    using State = TitleCacheContents::State;
    if (const std::optional<XmlDocument> document = XmlDocument::Parse(bytes, kTitleCacheFileLimit)) {
        const xmlNode* root = document->Root();
        if (Name(root) == "cddbcache") {
            contents.state = VersionState(AttributeValue(root, "version"));
            if (contents.state == State::Whole)
                for (const xmlNode* disc : ChildElements(root, "disc"))
                    if (!ReadEntry(disc, contents.entries)) contents.state = State::Damaged;
            return contents;
        }
    }
    // Not a whole document: read what can be read of it, entry by entry.
    contents.state = State::Damaged;
    const std::size_t root = FindStartTag(bytes, "cddbcache", 0);
    if (root == std::string_view::npos) return contents;
    const std::size_t rootEnd = bytes.find('>', root);
    if (rootEnd == std::string_view::npos) return contents;
    const std::string_view rootTag = bytes.substr(root, rootEnd + 1 - root);
    const std::string rootAlone = std::string(rootTag) + (rootTag.ends_with("/>") ? "" : "</cddbcache>");
    const std::optional<XmlDocument> header = XmlDocument::Parse(rootAlone, kTitleCacheFileLimit);
    if (!header || VersionState(AttributeValue(header->Root(), "version")) != State::Whole) {
        if (header && VersionState(AttributeValue(header->Root(), "version")) == State::Newer)
            contents.state = State::Newer;
        return contents;
    }
    for (std::size_t start = FindStartTag(bytes, "disc", rootEnd); start != std::string_view::npos;) {
        const std::size_t next = FindStartTag(bytes, "disc", start + 1);
        const std::size_t end = bytes.find("</disc>", start);
        if (end != std::string_view::npos && (next == std::string_view::npos || end < next)) {
            if (const auto disc = XmlDocument::Parse(bytes.substr(start, end + 7 - start), kTitleCacheFileLimit);
                disc && Name(disc->Root()) == "disc")
                ReadEntry(disc->Root(), contents.entries);
        }
        start = next;
    }
    return contents;
}

}  // namespace tesslow
