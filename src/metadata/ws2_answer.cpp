#include "metadata/ws2_answer.h"

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

const xmlNode* ChooseMedium(const xmlNode* release, const std::string& discId, std::size_t audioTrackCount)
{
    const std::vector<const xmlNode*> media = ChildElements(FirstChildElement(release, "medium-list"), "medium");
    for (const xmlNode* medium : media)
        for (const xmlNode* disc : ChildElements(FirstChildElement(medium, "disc-list"), "disc"))
            if (AttributeValue(disc, "id") == discId) return medium;
    for (const xmlNode* medium : media)
        if (Tracks(medium).size() == audioTrackCount) return medium;
    return nullptr;
}

std::string Year(const xmlNode* release)
{
    std::string date = ElementText(FirstChildElement(release, "date"));
    if (date.empty()) {
        const xmlNode* events = FirstChildElement(release, "release-event-list");
        date = ElementText(FirstChildElement(FirstChildElement(events, "release-event"), "date"));
    }
    return date.substr(0, 4);
}

std::string TrackTitle(const xmlNode* track, const std::string& releaseCredit)
{
    const xmlNode* recording = FirstChildElement(track, "recording");
    const xmlNode* ownTitle = FirstChildElement(track, "title");
    const std::string title = ElementText(ownTitle ? ownTitle : FirstChildElement(recording, "title"));
    const xmlNode* credit = FirstChildElement(track, "artist-credit");
    if (!credit) credit = FirstChildElement(recording, "artist-credit");
    const std::string trackCredit = CreditText(credit);
    if (trackCredit.empty() || trackCredit == releaseCredit) return title;
    return trackCredit + " / " + title;
}

}  // namespace

std::optional<std::vector<std::string>> ReleaseIdsFromDiscIdAnswer(std::string_view xml)
{
    const std::optional<XmlDocument> document = XmlDocument::Parse(xml, kAnswerLimit);
    if (!document) return std::nullopt;
    const xmlNode* disc = TopElement(*document, "disc");
    if (!disc) return std::nullopt;
    std::vector<std::string> ids;
    for (const xmlNode* release : ChildElements(FirstChildElement(disc, "release-list"), "release"))
        if (std::optional<std::string> id = AttributeValue(release, "id"); id && !id->empty()) ids.push_back(*id);
    return ids;
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
    album.year = Year(release);
    if (const xmlNode* medium = ChooseMedium(release, discId, audioTrackCount))
        for (const xmlNode* track : Tracks(medium)) album.trackTitles.push_back(TrackTitle(track, releaseCredit));
    return album;
}

}  // namespace tesslow
