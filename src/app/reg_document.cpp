#include "app/reg_document.h"

#include "platform/utf.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <unordered_map>

namespace tesslow {

namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";

std::string LowerCase(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

// Reads a quoted string with \\ and \" escapes starting at text[pos] == '"'.
// Advances pos past the closing quote. Nothing when the quote never closes.
std::optional<std::string> ReadQuoted(std::string_view text, std::size_t& pos)
{
    if (pos >= text.size() || text[pos] != '"') return std::nullopt;
    std::string out;
    for (++pos; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (c == '"') {
            ++pos;
            return out;
        }
        if (c == '\\') {
            if (++pos >= text.size()) return std::nullopt;
        }
        out += text[pos];
    }
    return std::nullopt;
}

// "aa,bb,cc" with optional spaces; an empty list is allowed.
std::optional<std::vector<std::uint8_t>> ParseHexList(std::string_view text)
{
    std::vector<std::uint8_t> bytes;
    text = Trim(text);
    if (text.empty()) return bytes;
    std::size_t pos = 0;
    for (;;) {
        while (pos < text.size() && text[pos] == ' ') ++pos;
        if (pos + 2 > text.size()) return std::nullopt;
        const int hi = HexDigit(text[pos]), lo = HexDigit(text[pos + 1]);
        if (hi < 0 || lo < 0) return std::nullopt;
        bytes.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
        pos += 2;
        while (pos < text.size() && text[pos] == ' ') ++pos;
        if (pos == text.size()) return bytes;
        if (text[pos] != ',') return std::nullopt;
        ++pos;
    }
}

// The data part after "=": "text", dword:xxxxxxxx, hex:..., hex(N):...
std::optional<RegValue> ParseData(std::string_view data)
{
    data = Trim(data);
    if (!data.empty() && data.front() == '"') {
        std::size_t pos = 0;
        auto text = ReadQuoted(data, pos);
        if (!text || !Trim(data.substr(pos)).empty() || !IsValidUtf8(*text)) return std::nullopt;
        return RegValue::String(*text);
    }
    if (data.rfind("dword:", 0) == 0) {
        const std::string_view digits = data.substr(6);
        if (digits.size() != 8) return std::nullopt;
        std::uint32_t value = 0;
        for (char c : digits) {
            const int d = HexDigit(c);
            if (d < 0) return std::nullopt;
            value = value * 16 + static_cast<std::uint32_t>(d);
        }
        return RegValue::Dword(value);
    }
    if (data.rfind("hex", 0) == 0) {
        std::uint32_t type = REG_BINARY;
        std::size_t pos = 3;
        if (pos < data.size() && data[pos] == '(') {
            const std::size_t close = data.find(')', pos);
            if (close == std::string_view::npos || close == pos + 1 || close - pos > 9) return std::nullopt;
            type = 0;
            for (std::size_t i = pos + 1; i < close; ++i) {
                const int d = HexDigit(data[i]);
                if (d < 0) return std::nullopt;
                type = type * 16 + static_cast<std::uint32_t>(d);
            }
            pos = close + 1;
        }
        if (pos >= data.size() || data[pos] != ':') return std::nullopt;
        auto bytes = ParseHexList(data.substr(pos + 1));
        if (!bytes) return std::nullopt;
        return RegValue{type, std::move(*bytes)};
    }
    return std::nullopt;
}

// Joins lines continued with a trailing backslash (long hex lists). A line
// ends at a line feed, a carriage return and line feed, or a carriage return
// alone (as old editors write).
std::vector<std::string> LogicalLines(std::string_view text)
{
    std::vector<std::string> lines;
    std::string current;
    bool continuing = false;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
        if (continuing) line = Trim(line);
        current.append(line);
        // Only hex lists are continued; a cut-off text value must not swallow the
        // line after it.
        continuing = !current.empty() && current.back() == '\\' && current.find("=hex") != std::string::npos;
        if (continuing) {
            current.pop_back();
        } else {
            lines.push_back(std::move(current));
            current.clear();
        }
    }
    if (!current.empty()) lines.push_back(std::move(current));
    return lines;
}

std::string Quote(std::string_view text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    out += '"';
    return out;
}

// A REG_SZ that can be written as "text": terminated, even length, no zero or
// control character inside, valid UTF-16.
std::optional<std::string> PlainText(const RegValue& value)
{
    if (value.type != REG_SZ || value.data.size() < 2 || value.data.size() % 2 != 0) return std::nullopt;
    std::u16string units;
    for (std::size_t i = 0; i < value.data.size(); i += 2)
        units += static_cast<char16_t>(value.data[i] | (value.data[i + 1] << 8));
    if (units.back() != 0) return std::nullopt;
    units.pop_back();
    for (char16_t u : units)
        if (u < 0x20 || u == 0x7F) return std::nullopt;
    std::string text = Utf16ToUtf8(units);
    if (Utf8ToUtf16(text) != units) return std::nullopt;  // lone surrogates
    return text;
}

std::string FormatData(const RegValue& value)
{
    if (auto text = PlainText(value)) return Quote(*text);
    if (value.type == REG_DWORD && value.data.size() == 4) {
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "dword:%08x", ReadNumber(&value, 0));
        return buffer;
    }
    std::string out = "hex";
    if (value.type != REG_BINARY) {
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "(%x)", value.type);
        out += buffer;
    }
    out += ':';
    for (std::size_t i = 0; i < value.data.size(); ++i) {
        char buffer[4];
        std::snprintf(buffer, sizeof buffer, "%02x", value.data[i]);
        if (i > 0) out += ',';
        out += buffer;
    }
    return out;
}

}  // namespace

const RegValue* RegKey::Find(std::string_view valueName) const
{
    for (const auto& [name, value] : values)
        if (EqualsIgnoringCase(name, valueName)) return &value;
    return nullptr;
}

void RegKey::Set(std::string_view valueName, RegValue value)
{
    for (auto& [name, existing] : values) {
        if (EqualsIgnoringCase(name, valueName)) {
            existing = std::move(value);
            return;
        }
    }
    values.emplace_back(std::string(valueName), std::move(value));
}

const RegKey* RegDocument::FindKey(std::string_view keyName) const&
{
    for (const auto& key : keys_)
        if (EqualsIgnoringCase(key.name, keyName)) return &key;
    return nullptr;
}

RegKey& RegDocument::EnsureKey(std::string_view keyName)
{
    for (auto& key : keys_)
        if (EqualsIgnoringCase(key.name, keyName)) return key;
    keys_.push_back(RegKey{std::string(keyName), {}});
    return keys_.back();
}

RegDocument RegDocument::Parse(std::string_view text, std::size_t* unreadableLines)
{
    if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.remove_prefix(3);
    RegDocument document;
    std::size_t dropped = 0;
    // Keys and values are found through indexes by their lower-case names,
    // so that a store of many keys or values loads in linear time.
    std::unordered_map<std::string, std::size_t> keyIndex;
    std::vector<std::unordered_map<std::string, std::size_t>> valueIndex;
    std::size_t current = 0;
    bool inKey = false;
    for (const std::string& raw : LogicalLines(text)) {
        const std::string_view line = Trim(raw);
        if (line.empty() || line.front() == ';' || line == kHeader || line == "REGEDIT4") continue;
        if (line.front() == '[') {
            inKey = false;
            if (line.back() != ']' || line.size() < 3 || line[1] == '-') {  // deletion or broken
                ++dropped;
                continue;
            }
            const std::string_view name = line.substr(1, line.size() - 2);
            const auto [at, added] = keyIndex.try_emplace(LowerCase(name), document.keys_.size());
            if (added) {
                document.keys_.push_back(RegKey{std::string(name), {}});
                valueIndex.emplace_back();
            }
            current = at->second;
            inKey = true;
            continue;
        }
        std::string name;
        std::size_t pos = 0;
        bool named = inKey;
        if (named && line.front() == '@') {
            pos = 1;
        } else if (named) {
            auto quoted = ReadQuoted(line, pos);
            named = quoted.has_value();
            if (quoted) name = std::move(*quoted);
        }
        while (pos < line.size() && line[pos] == ' ') ++pos;
        std::optional<RegValue> value;
        if (named && pos < line.size() && line[pos] == '=') value = ParseData(line.substr(pos + 1));
        if (!value) {
            ++dropped;
            continue;
        }
        RegKey& key = document.keys_[current];
        const auto [at, added] = valueIndex[current].try_emplace(LowerCase(name), key.values.size());
        if (added)
            key.values.emplace_back(std::move(name), std::move(*value));
        else
            key.values[at->second].second = std::move(*value);
    }
    if (unreadableLines) *unreadableLines = dropped;
    return document;
}

std::string RegDocument::Serialise() const
{
    std::string out(kHeader);
    out += "\n\n";
    for (const auto& key : keys_) {
        out += '[' + key.name + "]\n";
        for (const auto& [name, value] : key.values) {
            out += name.empty() ? "@" : Quote(name);
            out += '=';
            out += FormatData(value);
            out += '\n';
        }
        out += '\n';
    }
    return out;
}

}  // namespace tesslow
