#include "drive/drive_list.h"

#include "drive/emulated_drive.h"
#include "drive/sg_io_transport.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>

namespace tesslow {

namespace fs = std::filesystem;

namespace {

std::vector<std::string> ConfiguredDrives()
{
    std::vector<std::string> keys;
    const char* list = std::getenv("TESSLOW_DRIVES");
    if (!list) return keys;
    std::string text = list;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find(':', start), text.size());
        if (end > start) keys.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return keys;
}

bool EndsWithCue(const std::string& key)
{
    if (key.size() < 4) return false;
    std::string tail = key.substr(key.size() - 4);
    for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return tail == ".cue";
}

bool IsDeviceNode(const std::string& path)
{
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && (S_ISBLK(info.st_mode) || S_ISCHR(info.st_mode));
}

// The number of "srN", or -1.
int OpticalNumber(const std::string& name)
{
    if (name.size() < 3 || name.compare(0, 2, "sr") != 0) return -1;
    if (!std::all_of(name.begin() + 2, name.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }))
        return -1;
    return std::atoi(name.c_str() + 2);
}

}  // namespace

std::vector<std::string> ListDrives()
{
    if (std::getenv("TESSLOW_DRIVES")) return ConfiguredDrives();
    std::vector<int> numbers;
    std::error_code error;
    for (const char* folder : {"/sys/class/block", "/dev"}) {
        for (auto it = fs::directory_iterator(folder, error); !error && it != fs::directory_iterator();
             it.increment(error)) {
            const int number = OpticalNumber(it->path().filename().string());
            if (number >= 0) numbers.push_back(number);
        }
        if (!numbers.empty()) break;
    }
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    std::vector<std::string> keys;
    for (int number : numbers) keys.push_back("/dev/sr" + std::to_string(number));
    return keys;
}

bool IsEmulatedDriveKey(const std::string& driveKey)
{
    if (EndsWithCue(driveKey)) return true;
    const auto configured = ConfiguredDrives();
    return std::find(configured.begin(), configured.end(), driveKey) != configured.end() && !IsDeviceNode(driveKey);
}

std::shared_ptr<ScsiTransport> OpenDriveTransport(const std::string& driveKey)
{
    if (IsEmulatedDriveKey(driveKey)) return std::make_shared<EmulatedDrive>(driveKey);
    return OpenSgIoDrive(driveKey);
}

}  // namespace tesslow
