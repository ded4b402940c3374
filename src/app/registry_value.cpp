#include "app/registry_value.h"

#include "platform/utf.h"

#include <cstring>

namespace tesslow {

namespace {
constexpr std::size_t kStringBufferCharacters = 32768;
}

RegValue RegValue::Dword(std::uint32_t value)
{
    RegValue result{REG_DWORD, {}};
    for (int i = 0; i < 4; ++i) result.data.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    return result;
}

RegValue RegValue::String(std::string_view utf8)
{
    RegValue result{REG_SZ, {}};
    for (char16_t unit : Utf8ToUtf16(utf8)) {
        result.data.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        result.data.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    result.data.push_back(0);
    result.data.push_back(0);
    return result;
}

std::uint32_t ReadNumber(const RegValue* value, std::uint32_t defaultValue)
{
    if (!value || value->data.size() > 4) return defaultValue;
    std::uint32_t result = defaultValue;
    for (std::size_t i = 0; i < value->data.size(); ++i) {
        result &= ~(0xFFu << (8 * i));
        result |= static_cast<std::uint32_t>(value->data[i]) << (8 * i);
    }
    return result;
}

std::optional<std::string> ReadString(const RegValue* value)
{
    if (!value || (value->type != REG_SZ && value->type != REG_EXPAND_SZ)) return std::nullopt;
    const auto& bytes = value->data;
    if (bytes.empty()) return std::string();
    if (bytes.size() % 2 != 0 || bytes.size() > kStringBufferCharacters * 2) return std::nullopt;
    if (bytes[bytes.size() - 2] != 0 || bytes[bytes.size() - 1] != 0) return std::nullopt;
    std::u16string text;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto unit = static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
        if (unit == 0) break;
        text += unit;
    }
    return Utf16ToUtf8(text);
}

}  // namespace tesslow
