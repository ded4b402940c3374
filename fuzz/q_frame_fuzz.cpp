// Q sub-channel frames as a drive returns them with READ CD: any 16 bytes.

#include "fuzz_check.h"

#include "drive/q_frame.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tesslow;
    for (std::size_t at = 0; at + kQFrameBytes <= size || (at == 0 && size > 0); at += kQFrameBytes) {
        QFrame frame{};
        std::memcpy(frame.data(), data + at, std::min(kQFrameBytes, size - at));
        QAdr(frame);
        for (bool binary : {false, true}) {
            const auto position = DecodeQPosition(frame, binary);
            if (!position) continue;
            // What a frame says, written again, reads back the same.
            const QFrame again = EncodeQPosition(*position, binary);
            FUZZ_CHECK(QCrcValid(again));
            FUZZ_CHECK(DecodeQPosition(again, binary) == position);
        }
        if (const auto catalog = DecodeQCatalog(frame)) {
            FUZZ_CHECK(catalog->size() == 13);
            FUZZ_CHECK(DecodeQCatalog(EncodeQCatalog(frame[0] >> 4, *catalog, 0)) == catalog);
        }
        if (const auto isrc = DecodeQIsrc(frame)) {
            FUZZ_CHECK(isrc->size() == 12);
            FUZZ_CHECK(DecodeQIsrc(EncodeQIsrc(frame[0] >> 4, *isrc, 0)) == isrc);
        }
    }
    return 0;
}
