#include "platform/partial_file.h"

#include "platform/folders.h"
#include "platform/system_error.h"
#include "platform/unique_fd.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <memory>
#include <stdexcept>
#include <string_view>

namespace tesslow {

namespace {

constexpr std::string_view kSuffix = ".tesslow-part";
constexpr std::size_t kLongestName = 255;

std::atomic<unsigned> nextNumber{1};

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The process id in a temporary file's name, or 0 when the name is not one.
pid_t OwnerOf(std::string_view name)
{
    if (name.size() <= kSuffix.size() + 1 || name.front() != '.' || !name.ends_with(kSuffix)) return 0;
    name.remove_suffix(kSuffix.size());
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0) return 0;
    const std::string_view tag = name.substr(dot + 1);  // "<pid>-<number>"
    const std::size_t dash = tag.find('-');
    if (dash == std::string_view::npos) return 0;
    pid_t pid = 0;
    const auto [end, error] = std::from_chars(tag.data(), tag.data() + dash, pid);
    if (error != std::errc() || end != tag.data() + dash || pid <= 0) return 0;
    return pid;
}

}  // namespace

PartialFile::PartialFile(std::string finalPath) : finalPath_(std::move(finalPath))
{
    const std::string name = FileNameOf(finalPath_);
    const std::string tag =
        "." + std::to_string(::getpid()) + "-" + std::to_string(nextNumber.fetch_add(1)) + std::string(kSuffix);
    // The final name is shortened at a character boundary so that the whole
    // name still fits the file system's 255 bytes.
    std::size_t keep = std::min(name.size(), kLongestName - 1 - tag.size());
    while (keep > 0 && keep < name.size() && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80) --keep;
    const std::string folder = finalPath_.substr(0, finalPath_.size() - name.size());
    temporaryPath_ = folder + "." + name.substr(0, keep) + tag;
}

PartialFile::~PartialFile() { Discard(); }

void PartialFile::Commit()
{
    if (done_) return;
    auto fail = [this](int error) {
        Discard();
        throw std::runtime_error(FileErrorText(error));
    };
    {
        UniqueFd file(::open(temporaryPath_.c_str(), O_RDONLY | O_CLOEXEC));
        if (!file) fail(errno);
        if (::fsync(file.Get()) != 0) fail(errno);
    }
    // A folder at the final name would take the file inside it on some
    // systems' rename; here it fails, as it must: something is in the way.
    if (::rename(temporaryPath_.c_str(), finalPath_.c_str()) != 0) fail(errno);
    done_ = true;
    if (UniqueFd folder(::open(FolderOf(finalPath_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)); folder)
        (void)::fsync(folder.Get());
}

void PartialFile::Discard()
{
    if (done_) return;
    done_ = true;
    (void)::unlink(temporaryPath_.c_str());
}

void RemoveStalePartFiles(const std::string& folder)
{
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
    if (!dir) return;
    const pid_t self = ::getpid();
    while (const dirent* entry = ::readdir(dir.get())) {
        const pid_t owner = OwnerOf(entry->d_name);
        if (owner == 0 || owner == self) continue;
        if (::kill(owner, 0) == 0 || errno != ESRCH) continue;  // still running, or not ours to tell
        (void)::unlinkat(::dirfd(dir.get()), entry->d_name, 0);
    }
}

}  // namespace tesslow
