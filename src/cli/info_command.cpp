#include "app/disc_record.h"
#include "app/rip_job.h"
#include "cli/commands.h"
#include "cli/tesslow_rip.h"
#include "drive/disc_image.h"
#include "drive/disc_search.h"
#include "drive/drive_list.h"
#include "drive/toc_reader.h"
#include "platform/message_sink.h"
#include "platform/utf.h"

#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace tesslow {

namespace {

constexpr int kExitNoAudioDisc = 2;

// The search runs on the main thread here: nobody asks it to stop.
class NeverStop final : public MessageSink {
public:
    void Post(std::uint32_t, std::uintptr_t, std::intptr_t) override {}
    std::intptr_t Send(std::uint32_t, std::uintptr_t, std::intptr_t) override { return 0; }
};

std::string JsonString(const std::string& text)
{
    std::string out = "\"";
    for (const char c : ValidUtf8(text)) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

// Why an emulated drive's image cannot be played, if it can be told.
std::string ImageProblem(const std::string& driveKey)
{
    std::error_code error;
    if (!IsEmulatedDriveKey(driveKey) || !std::filesystem::exists(driveKey, error)) return {};
    try {
        (void)DiscImage::Load(driveKey);
    } catch (const DiscImageError& problem) {
        return problem.what();
    }
    return {};
}

void PrintText(const std::string& driveKey, const DiscRecord& record)
{
    std::printf("Drive: %s\n", driveKey.c_str());
    std::printf("    #  Track     Start    Length   Time\n");
    for (std::size_t i = 0; i < record.tracks.size(); ++i) {
        const TocEntry& entry = record.tracks[i];
        const int seconds = entry.length / 75;
        std::printf("  %3zu  %5u  %8d  %8d  %2d:%02d\n", i + 1, unsigned(record.trackNumbers[i]), entry.start,
                    entry.length, seconds / 60, seconds % 60);
    }
    std::printf("Lead-out: %d\n", record.leadOut);
}

void PrintJson(const std::string& driveKey, const DiscRecord& record)
{
    std::string json = "{\"drive\": " + JsonString(driveKey) + ", \"tracks\": [";
    for (std::size_t i = 0; i < record.tracks.size(); ++i) {
        if (i > 0) json += ", ";
        json += "{\"position\": " + std::to_string(i + 1) + ", \"number\": " +
                std::to_string(record.trackNumbers[i]) + ", \"start\": " + std::to_string(record.tracks[i].start) +
                ", \"length\": " + std::to_string(record.tracks[i].length) + "}";
    }
    json += "], \"leadout\": " + std::to_string(record.leadOut) + "}\n";
    std::fputs(json.c_str(), stdout);
}

}  // namespace

int RunInfoCommand(const CliOptions& options)
{
    DiscRecords records;
    RipJob job;
    NeverStop sink;
    const std::vector<std::string> drives = options.drive ? std::vector<std::string>{*options.drive} : ListDrives();
    if (!RunDiscSearch(drives, records, job, sink)) {
        if (options.drive) {
            const std::string problem = ImageProblem(*options.drive);
            std::fprintf(stderr, "No audio disc in %s%s%s\n", options.drive->c_str(), problem.empty() ? "." : ": ",
                         problem.c_str());
        } else {
            std::fprintf(stderr, drives.empty() ? "No CD drive found.\n" : "No audio disc found.\n");
        }
        return kExitNoAudioDisc;
    }
    try {
        ReadToc(records, job.driveKey);
    } catch (const std::runtime_error& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return kExitFailure;
    }
    const DiscRecord& record = records[job.driveKey];
    if (options.json)
        PrintJson(job.driveKey, record);
    else
        PrintText(job.driveKey, record);
    return kExitOk;
}

}  // namespace tesslow
