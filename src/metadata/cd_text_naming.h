#pragma once

#include "app/disc_record.h"

#include <cstdint>
#include <optional>

namespace tesslow {

// Names a disc from its CD-Text, for when neither the title cache nor the web
// service knows it: from the block in `language` (else block 0), the disc's
// performer and title become the album's artist and title, each audio
// track's title its title (empty where it has none), and a track's performer
// its credited artist where it differs from the disc's. Answers false and
// leaves the album alone when the record has no CD-Text or that block has
// neither a disc title nor a track title. What it writes is never cached.
bool NameFromCdText(DiscRecord& record, std::optional<std::uint8_t> language);

}  // namespace tesslow
