#include "drive/emulated_subchannel.h"

namespace tesslow {

namespace {

constexpr int kCatalogEvery = 100, kCatalogAt = 50, kIsrcAt = 75;

}  // namespace

QFrame SubchannelQ(const DiscImage& image, std::int32_t lba)
{
    const auto& tracks = image.Tracks();
    QPosition position;
    position.absolute = lba;
    if (tracks.empty()) return EncodeQPosition(position);
    if (lba >= image.LeadOut()) {
        position.track = kLeadOutTrackNumber;
        position.index = 1;
        position.relative = lba - image.LeadOut();
        position.control = tracks.back().control;
        return EncodeQPosition(position);
    }
    // The last track whose pregap has begun; before the first, its pregap.
    std::size_t t = 0;
    while (t + 1 < tracks.size() && tracks[t + 1].pregapStart <= lba) ++t;
    const ImageTrack& track = tracks[t];
    position.track = track.number;
    position.control = track.control;
    position.index = lba < track.start ? 0 : 1;
    position.relative = lba < track.start ? track.start - lba : lba - track.start;

    const int place = ((lba % kCatalogEvery) + kCatalogEvery) % kCatalogEvery;
    if (place == kCatalogAt && !image.Catalog().empty()) return EncodeQCatalog(track.control, image.Catalog(), lba);
    if (place == kIsrcAt && position.index > 0 && !track.isrc.empty()) return EncodeQIsrc(track.control, track.isrc, lba);
    return EncodeQPosition(position);
}

}  // namespace tesslow
