#include "metadata/ws2_answer.h"

#include "metadata/album_edits.h"
#include "metadata/xml_document.h"

namespace tesslow {

namespace {

// Release answers of box sets run to a few megabytes at most.
constexpr std::size_t kAnswerLimit = 16u << 20;

std::string_view Name(const xmlNode* node) { return reinterpret_cast<const char*>(node->name); }

// The `release` (or other) element directly below the `metadata` root.
const xmlNode* TopElement(const XmlDocument& document, std::string_view name)
{
    const xmlNode* root = document.Root();
    if (Name(root) != "metadata") return nullptr;
    return FirstChildElement(root, name);
}

// Names as credited, each followed by its join phrase: "A feat. B".
std::string CreditText(const xmlNode* artistCredit)
{
    std::string text;
    for (const xmlNode* credit : ChildElements(artistCredit, "name-credit")) {
        const xmlNode* creditedName = FirstChildElement(credit, "name");
        text += creditedName ? ElementText(creditedName)
                             : ElementText(FirstChildElement(FirstChildElement(credit, "artist"), "name"));
        text += AttributeValue(credit, "joinphrase").value_or("");
    }
    return text;
}

std::vector<const xmlNode*> Tracks(const xmlNode* medium)
{
    return ChildElements(FirstChildElement(medium, "track-list"), "track");
}

// The artist ids of a credit, in its order.
std::vector<std::string> CreditIds(const xmlNode* artistCredit)
{
    std::vector<std::string> ids;
    for (const xmlNode* credit : ChildElements(artistCredit, "name-credit"))
        if (auto id = AttributeValue(FirstChildElement(credit, "artist"), "id"); id && !id->empty()) ids.push_back(*id);
    return ids;
}

// The track as the release credits it; the artist is left empty when it is
// the release's own.
TrackCredit CreditOf(const xmlNode* track, const std::string& releaseCredit)
{
    TrackCredit credit;
    const xmlNode* recording = FirstChildElement(track, "recording");
    const xmlNode* ownTitle = FirstChildElement(track, "title");
    credit.title = ElementText(ownTitle ? ownTitle : FirstChildElement(recording, "title"));
    const xmlNode* artistCredit = FirstChildElement(track, "artist-credit");
    if (!artistCredit) artistCredit = FirstChildElement(recording, "artist-credit");
    if (std::string text = CreditText(artistCredit); text != releaseCredit) {
        credit.artist = std::move(text);
        credit.artistIds = CreditIds(artistCredit);
    }
    credit.recordingId = AttributeValue(recording, "id").value_or("");
    credit.releaseTrackId = AttributeValue(track, "id").value_or("");
    return credit;
}

std::string Country(const xmlNode* release)
{
    std::string country = ElementText(FirstChildElement(release, "country"));
    if (country.empty()) {
        const xmlNode* events = FirstChildElement(release, "release-event-list");
        const xmlNode* area = FirstChildElement(FirstChildElement(events, "release-event"), "area");
        country = ElementText(FirstChildElement(FirstChildElement(area, "iso-3166-1-code-list"), "iso-3166-1-code"));
    }
    return country;
}

std::string FullDate(const xmlNode* release)
{
    std::string date = ElementText(FirstChildElement(release, "date"));
    if (date.empty()) {
        const xmlNode* events = FirstChildElement(release, "release-event-list");
        date = ElementText(FirstChildElement(FirstChildElement(events, "release-event"), "date"));
    }
    return date;
}

// The first label and catalog number the release lists.
void LabelOf(const xmlNode* release, std::string& label, std::string& catalogNumber)
{
    for (const xmlNode* info : ChildElements(FirstChildElement(release, "label-info-list"), "label-info")) {
        if (label.empty()) label = ElementText(FirstChildElement(FirstChildElement(info, "label"), "name"));
        if (catalogNumber.empty()) catalogNumber = ElementText(FirstChildElement(info, "catalog-number"));
    }
}

int Number(const std::string& text)
{
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9' || value > 9999) return 0;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::vector<const xmlNode*> Media(const xmlNode* release)
{
    return ChildElements(FirstChildElement(release, "medium-list"), "medium");
}

// A medium's track count: its track list's own count, else the tracks listed.
int TrackCount(const xmlNode* medium)
{
    const xmlNode* list = FirstChildElement(medium, "track-list");
    if (const int count = Number(AttributeValue(list, "count").value_or("")); count > 0) return count;
    return static_cast<int>(Tracks(medium).size());
}

// The medium that lists the disc id, else the first with the disc's track count.
const xmlNode* DiscMedium(const xmlNode* release, const std::string& discId, std::size_t audioTrackCount)
{
    for (const xmlNode* medium : Media(release))
        for (const xmlNode* disc : ChildElements(FirstChildElement(medium, "disc-list"), "disc"))
            if (AttributeValue(disc, "id") == discId) return medium;
    for (const xmlNode* medium : Media(release))
        if (static_cast<std::size_t>(TrackCount(medium)) == audioTrackCount) return medium;
    return nullptr;
}

int MediumCount(const xmlNode* release)
{
    const xmlNode* list = FirstChildElement(release, "medium-list");
    if (const int count = Number(AttributeValue(list, "count").value_or("")); count > 0) return count;
    return static_cast<int>(Media(release).size());
}

ReleaseSummary SummaryOf(const xmlNode* release, const std::string& discId, std::size_t audioTrackCount)
{
    ReleaseSummary summary;
    summary.id = AttributeValue(release, "id").value_or("");
    summary.title = ElementText(FirstChildElement(release, "title"));
    summary.artist = CreditText(FirstChildElement(release, "artist-credit"));
    summary.date = FullDate(release);
    summary.country = Country(release);
    summary.barcode = ElementText(FirstChildElement(release, "barcode"));
    LabelOf(release, summary.label, summary.catalogNumber);
    summary.discs = MediumCount(release);
    if (const xmlNode* medium = DiscMedium(release, discId, audioTrackCount)) {
        summary.disc = Number(ElementText(FirstChildElement(medium, "position")));
        summary.tracks = TrackCount(medium);
    }
    return summary;
}

}  // namespace

std::optional<std::vector<ReleaseSummary>> ReleasesFromDiscIdAnswer(std::string_view xml, const std::string& discId,
                                                                   std::size_t audioTrackCount)
{
    const std::optional<XmlDocument> document = XmlDocument::Parse(xml, kAnswerLimit);
    if (!document) return std::nullopt;
    const xmlNode* disc = TopElement(*document, "disc");
    if (!disc) return std::nullopt;
    std::vector<ReleaseSummary> releases;
    for (const xmlNode* release : ChildElements(FirstChildElement(disc, "release-list"), "release"))
        if (ReleaseSummary summary = SummaryOf(release, discId, audioTrackCount); !summary.id.empty())
            releases.push_back(std::move(summary));
    return releases;
}

std::optional<AlbumInfo> AlbumFromReleaseAnswer(std::string_view xml, const std::string& discId,
                                                std::size_t audioTrackCount)
{
    const std::optional<XmlDocument> document = XmlDocument::Parse(xml, kAnswerLimit);
    if (!document) return std::nullopt;
    const xmlNode* release = TopElement(*document, "release");
    if (!release) return std::nullopt;

    AlbumInfo album;
    album.source = AttributeValue(release, "id").value_or("");
    const std::string releaseCredit = CreditText(FirstChildElement(release, "artist-credit"));
    album.artist = releaseCredit.empty() ? "Various artists" : releaseCredit;
    album.album = ElementText(FirstChildElement(release, "title"));
    album.year = FullDate(release).substr(0, 4);
    album.artistIds = CreditIds(FirstChildElement(release, "artist-credit"));
    album.releaseGroupId = AttributeValue(FirstChildElement(release, "release-group"), "id").value_or("");
    album.date = FullDate(release);
    album.country = Country(release);
    album.barcode = ElementText(FirstChildElement(release, "barcode"));
    LabelOf(release, album.label, album.catalogNumber);
    album.discTotal = MediumCount(release);
    album.discId = discId;
    if (const xmlNode* medium = DiscMedium(release, discId, audioTrackCount)) {
        album.discNumber = Number(ElementText(FirstChildElement(medium, "position")));
        album.media = ElementText(FirstChildElement(medium, "format"));
        for (const xmlNode* track : Tracks(medium)) {
            album.credits.push_back(CreditOf(track, releaseCredit));
            album.trackTitles.push_back(ListedTitle(album.credits.back()));
        }
    }
    return album;
}

}  // namespace tesslow
