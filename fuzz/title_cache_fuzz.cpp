// A title cache file as found on disk: any bytes. What is read from it,
// written again, reads back whole and the same.

#include "fuzz_check.h"

#include "metadata/title_cache_file.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tesslow;
    const TitleCacheContents contents = ParseTitleCache(std::string_view(reinterpret_cast<const char*>(data), size));
    if (contents.state == TitleCacheContents::State::Newer) FUZZ_CHECK(contents.entries.empty());
    const std::string written = SerializeTitleCache(contents.entries);
    const TitleCacheContents again = ParseTitleCache(written);
    FUZZ_CHECK(again.state == TitleCacheContents::State::Whole);
    FUZZ_CHECK(again.entries == contents.entries);
    return 0;
}
