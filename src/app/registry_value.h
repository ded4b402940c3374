#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tesslow {

// Value types of the settings store, numbered as the Windows registry numbers
// them, since the store files use the same notation.
enum RegType : std::uint32_t {
    REG_NONE = 0,
    REG_SZ = 1,
    REG_EXPAND_SZ = 2,
    REG_BINARY = 3,
    REG_DWORD = 4,
    REG_DWORD_BIG_ENDIAN = 5,
    REG_LINK = 6,
    REG_MULTI_SZ = 7,
    REG_QWORD = 11,
};

// One stored value: its type and its bytes exactly as the registry holds them
// (strings are UTF-16LE with a terminating zero), so every byte-length rule of
// the settings applies unchanged.
struct RegValue {
    std::uint32_t type = REG_NONE;
    std::vector<std::uint8_t> data;

    static RegValue Dword(std::uint32_t value);
    // A REG_SZ holding the UTF-8 text as UTF-16LE plus the terminating zero.
    static RegValue String(std::string_view utf8);

    bool operator==(const RegValue&) const = default;
};

// The number rule: the field starts at `defaultValue` and at most 4 bytes of the
// value, of any type, are copied over it (little-endian). A missing value or one
// longer than 4 bytes leaves the default.
std::uint32_t ReadNumber(const RegValue* value, std::uint32_t defaultValue);

// The string rule: the value must be REG_SZ or REG_EXPAND_SZ (no expansion), of
// even byte length, ending with a zero character unless empty, and at most 32768
// characters with the zero. Anything else is a failed read (nothing). The text
// ends at the first zero character; it is returned as UTF-8.
std::optional<std::string> ReadString(const RegValue* value);

}  // namespace tesslow
