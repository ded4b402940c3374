#pragma once

#include "app/registry_value.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tesslow {

// One key of a store file and its values, in file order.
struct RegKey {
    std::string name;
    std::vector<std::pair<std::string, RegValue>> values;

    // Value names compare without regard to ASCII letter case, as in the registry.
    const RegValue* Find(std::string_view valueName) const;
    // Replaces a value of the same name in place, or appends a new one.
    void Set(std::string_view valueName, RegValue value);

    bool operator==(const RegKey&) const = default;
};

// The contents of one store file in the text format of registry exports
// ("Windows Registry Editor Version 5.00", [key] lines, "Name"="text",
// "Name"=dword:0000000a, hex: and hex(N): lists).
//
// Parsing never fails: a line that cannot be read (a corrupt or cut-off file)
// is dropped and everything else is kept, with its type; `unreadableLines`,
// when given, receives how many were dropped. Parsing takes time linear in
// the text. Serialising writes every value back with its type and bytes
// unchanged, so values the program does not know survive a rewrite.
class RegDocument {
public:
    static RegDocument Parse(std::string_view text, std::size_t* unreadableLines = nullptr);
    std::string Serialise() const;

    // Key names compare without regard to ASCII letter case. The key lives in
    // the document, so asking a temporary document is refused.
    const RegKey* FindKey(std::string_view keyName) const&;
    const RegKey* FindKey(std::string_view keyName) const&& = delete;
    RegKey& EnsureKey(std::string_view keyName);

    const std::vector<RegKey>& Keys() const { return keys_; }

    bool operator==(const RegDocument&) const = default;

private:
    std::vector<RegKey> keys_;
};

}  // namespace tesslow
