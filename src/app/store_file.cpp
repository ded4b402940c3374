#include "app/store_file.h"

#include "platform/atomic_file.h"
#include "platform/paths.h"

namespace tesslow {

namespace fs = std::filesystem;

namespace {
constexpr std::size_t kLargestStore = 16 << 20;
const fs::path kStoreFolder = fs::path("Corvalen") / "tesslow";
}  // namespace

StoreFile::StoreFile(fs::path path) : path_(std::move(path)) {}

RegDocument StoreFile::Read() const
{
    const auto text = ReadWholeFile(path_, kLargestStore);
    return text ? RegDocument::Parse(*text) : RegDocument();
}

bool StoreFile::Update(const std::function<void(RegDocument&)>& change) const
{
    std::error_code error;
    fs::create_directories(path_.parent_path(), error);
    FileLock lock(path_.string() + ".lock");
    if (!lock.Locked()) return false;
    RegDocument document = Read();
    change(document);
    return WriteFileAtomically(path_, document.Serialise());
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
