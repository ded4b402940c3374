// A settings store file as found on disk: UTF-8, or UTF-16LE after its
// byte-order mark, decoded as the store reads it. What is read from it,
// written again, reads back as the same document.

#include "fuzz_check.h"

#include "app/reg_document.h"
#include "platform/utf.h"

#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tesslow;
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::string text;
    if (bytes.starts_with("\xFF\xFE")) {
        bytes.remove_prefix(2);
        std::u16string units(bytes.size() / 2, u'\0');
        for (std::size_t i = 0; i < units.size(); ++i)
            units[i] = static_cast<char16_t>(static_cast<std::uint8_t>(bytes[2 * i]) |
                                             static_cast<std::uint8_t>(bytes[2 * i + 1]) << 8);
        text = Utf16ToUtf8(units);
    } else {
        text.assign(bytes);
    }
    const RegDocument document = RegDocument::Parse(text);
    const std::string written = document.Serialise();
    std::size_t unreadable = 0;
    const RegDocument again = RegDocument::Parse(written, &unreadable);
    FUZZ_CHECK(unreadable == 0);
    FUZZ_CHECK(again == document);
    return 0;
}
