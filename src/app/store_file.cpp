#include "app/store_file.h"

#include "platform/atomic_file.h"
#include "platform/keep_aside.h"
#include "platform/utf.h"
#include "platform/paths.h"

namespace tesslow {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kLargestStore = 16 << 20;
const fs::path kStoreFolder = fs::path("Corvalen") / "tesslow";

// The text of a UTF-16LE file after its byte-order mark, as UTF-8. `clean`
// tells whether it was UTF-16 throughout: an odd last byte is dropped and a
// broken surrogate pair becomes U+FFFD, so the lines around them still read.
std::string FromUtf16Le(std::string_view bytes, bool& clean)
{
    std::u16string units(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(static_cast<std::uint8_t>(bytes[2 * i]) |
                                         static_cast<std::uint8_t>(bytes[2 * i + 1]) << 8);
    std::string text = Utf16ToUtf8(units);
    clean = bytes.size() % 2 == 0 && Utf8ToUtf16(text) == units;
    return text;
}

}  // namespace

StoreFile::StoreFile(fs::path path) : path_(std::move(path)) {}

StoreContents StoreFile::Read() const
{
    StoreContents contents;
    std::error_code error;
    if (!fs::exists(fs::symlink_status(path_, error))) return contents;
    // A store too large is read as far as the limit: its readable lines are
    // kept when it is replaced, its cut-off last line is not.
    bool cut = false;
    std::optional<std::string> text = ReadWholeFile(path_, kLargestStore, &cut);
    if (!text) {
        contents.whole = false;
        return contents;
    }
    bool clean = true;
    if (text->rfind("\xFF\xFE", 0) == 0) *text = FromUtf16Le(std::string_view(*text).substr(2), clean);
    if (cut) text->erase(std::min(text->size(), text->find_last_of("\r\n") + 1));
    std::size_t unreadable = 0;
    contents.document = RegDocument::Parse(*text, &unreadable);
    contents.whole = !cut && clean && unreadable == 0;
    return contents;
}

StoreUpdate StoreFile::Update(const std::function<void(RegDocument&)>& change) const
{
    StoreUpdate update;
    std::error_code error;
    fs::create_directories(path_.parent_path(), error);
    FileLock lock(path_.string() + ".lock");
    if (!lock.Locked()) return update;
    StoreContents contents = Read();
    if (!contents.whole) {
        update.keptAside = KeepAside(path_);
        if (!update.keptAside) return update;
    }
    change(contents.document);
    update.written = WriteFileAtomically(path_, contents.document.Serialise());
    return update;
}

fs::path UserStorePath() { return ConfigHome() / kStoreFolder / "user.reg"; }

std::optional<fs::path> MachineStorePath()
{
    std::vector<fs::path> candidates;
    for (const fs::path& dir : ConfigDirs()) candidates.push_back(dir / kStoreFolder / "machine.reg");
    candidates.push_back(InstallPrefix() / "etc" / "xdg" / kStoreFolder / "machine.reg");
    for (const fs::path& candidate : candidates) {
        std::error_code error;
        if (fs::is_regular_file(candidate, error)) return candidate;
    }
    return std::nullopt;
}

}  // namespace tesslow
