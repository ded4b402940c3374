// The WMA encoder over the wmvcore runtime module, judged by FFmpeg and
// mutagen: the profile each preset and custom step selects, the header's
// attributes, the selection's failures, and the runtime's own messages.

#include "codec_judges.h"
#include "encoding/encoder_exception.h"
#include "encoding/encoder_factory.h"
#include "encoding/overwrite.h"
#include "modules/wmvcore/wmvcore.h"
#include "support/file_size_limit.h"
#include "support/music_signal.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tesslow {
namespace {

namespace fs = std::filesystem;
using namespace test;

EncoderRequest WmaRequest(const fs::path& path, QualityPreset preset = QualityPreset::Medium,
                          std::int32_t customValue = 128000)
{
    static OverwritePolicy policy;
    EncoderRequest request;
    request.format = FormatCode::Wma;
    request.path = path.string();
    request.preset = preset;
    request.qualityValue = customValue;
    request.moduleFolder = TESSLOW_MODULE_DIR;
    request.overwrite = &policy;
    return request;
}

// The message the first Write throws, or "".
std::string FirstWriteFails(Encoder& encoder, const std::string& pcm)
{
    try {
        encoder.Write(pcm.data(), static_cast<unsigned>(pcm.size()), nullptr);
        return {};
    } catch (const EncoderException& e) {
        return e.what();
    }
}

struct Step {
    const char* name;
    QualityPreset preset;
    std::int32_t customValue;
    int expectedBitRate;
};

// The presets' quality levels 10, 50 and 74 select the levels 10, 50 and 75,
// which the runtime encodes at 64, 128 and 160 kbit/s.
const Step kSteps[] = {
    {"Low", QualityPreset::Low, 0, 64000},
    {"Medium", QualityPreset::Medium, 0, 128000},
    {"High", QualityPreset::High, 0, 160000},
    {"Custom64", QualityPreset::Custom, 64000, 64000},
    {"Custom80", QualityPreset::Custom, 80000, 80000},
    {"Custom96", QualityPreset::Custom, 96000, 96000},
    {"Custom128", QualityPreset::Custom, 128000, 128000},
    {"Custom160", QualityPreset::Custom, 160000, 160000},
    {"Custom192", QualityPreset::Custom, 192000, 192000},
    {"Custom256", QualityPreset::Custom, 256000, 256000},
    {"Custom320", QualityPreset::Custom, 320000, 320000},
};

class WmaSteps : public ::testing::TestWithParam<Step> {};

TEST_P(WmaSteps, PlaysAtTheStepsRateForTheTracksLength)
{
    TempDir dir;
    const Step& step = GetParam();
    const std::string pcm = MusicPcm(44100 * 2 + 300, 4);
    {
        auto encoder = CreateEncoder(WmaRequest(dir / "t.wma", step.preset, step.customValue));
        EncodeWhole(*encoder, pcm);
    }
    const ProgramResult probe = Judge({"ffprobe", "-v", "error", "-show_entries",
                                       "stream=codec_name,bit_rate,sample_rate,channels", "-of", "compact",
                                       (dir / "t.wma").string()});
    EXPECT_EQ(probe.out, "stream|codec_name=wmav2|sample_rate=44100|channels=2|bit_rate=" +
                             std::to_string(step.expectedBitRate) + "\n");
    const std::string decoded =
        Judge({"ffmpeg", "-v", "error", "-i", (dir / "t.wma").string(), "-f", "s16le", "-"}).out;
    EXPECT_GE(decoded.size(), pcm.size()) << "every sample is there";
    EXPECT_LT(decoded.size(), pcm.size() + 2048 * 4) << "within one codec frame";
    EXPECT_GT(SnrDb(pcm, decoded), 15.0) << "in time with the audio fed";
}

INSTANTIATE_TEST_SUITE_P(PresetsAndCustomSteps, WmaSteps, ::testing::ValuesIn(kSteps),
                         [](const ::testing::TestParamInfo<Step>& info) { return info.param.name; });

TEST(WmaEncoder, TheAttributesAreStringsThatMutagenReadsBack)
{
    TempDir dir;
    AlbumInfo tags;
    tags.artist = "Mörk Ensemble";
    tags.album = "東京 Nights";
    tags.year = "1987";
    tags.genre = "Ambient";
    tags.comment = "Remastered";
    tags.trackTitles = {"Intro", "Crème brûlée", "Outro"};
    EncoderRequest request = WmaRequest(dir / "t.wma");
    request.tags = tags;
    request.trackIndex = 1;
    {
        auto encoder = CreateEncoder(request);
        EncodeWhole(*encoder, MusicPcm(8000));
    }
    const ProgramResult read = Judge({"/usr/bin/python3", "-c", R"(
import sys
from mutagen.asf import ASF
tags = ASF(sys.argv[1]).tags
for name in ("Title", "Author", "WM/AlbumTitle", "WM/Genre", "WM/Year", "Description", "WM/TrackNumber"):
    values = tags.get(name, [])
    print(name, "=", " | ".join(type(v).__name__ + ":" + str(v) for v in values))
)",
                                      (dir / "t.wma").string()});
    // The muxer keeps Title and Author in two places of the header; both agree.
    EXPECT_EQ(read.out,
              "Title = ASFUnicodeAttribute:Crème brûlée | ASFUnicodeAttribute:Crème brûlée\n"
              "Author = ASFUnicodeAttribute:Mörk Ensemble | ASFUnicodeAttribute:Mörk Ensemble\n"
              "WM/AlbumTitle = ASFUnicodeAttribute:東京 Nights\n"
              "WM/Genre = ASFUnicodeAttribute:Ambient\n"
              "WM/Year = ASFUnicodeAttribute:1987\n"
              "Description = ASFUnicodeAttribute:Remastered\n"
              "WM/TrackNumber = ASFUnicodeAttribute:2\n");
}

TEST(WmaEncoder, WhatNoFormatOffersIsAnImproperlyInstalledCodecAndOtherInputsRunAtTheCustomRate)
{
    TempDir dir;
    const std::string pcm = MusicPcm(4410);
    {
        // 100 kbit/s lies between the runtime's 96 and 128.
        auto encoder = CreateEncoder(WmaRequest(dir / "rate.wma", QualityPreset::Custom, 100000));
        EXPECT_EQ(FirstWriteFails(*encoder, pcm), "wma codec is improperly installed, please reinstall");
    }
    {
        // No format at 22050 Hz.
        auto encoder = CreateEncoder(WmaRequest(dir / "slow.wma", QualityPreset::Custom, 64000));
        encoder->sampleRate = 22050;
        EXPECT_EQ(FirstWriteFails(*encoder, pcm), "wma codec is improperly installed, please reinstall");
    }
    {
        // 48000 Hz stereo: the constant rate of the custom value, whatever the preset.
        auto encoder = CreateEncoder(WmaRequest(dir / "48k.wma", QualityPreset::Low, 192000));
        encoder->sampleRate = 48000;
        EncodeWhole(*encoder, pcm);
    }
    const ProgramResult probe = Judge({"ffprobe", "-v", "error", "-show_entries", "stream=sample_rate,bit_rate",
                                       "-of", "compact", (dir / "48k.wma").string()});
    EXPECT_EQ(probe.out, "stream|sample_rate=48000|bit_rate=192000\n");
}

TEST(WmaEncoder, AMissingOrIncompleteRuntimeIsReportedBeforeAnyQuestion)
{
    InFreshProcess([]() -> std::string {
        TempDir dir;
        WriteFile(dir / "t.wma", "keep me");
        TempDir empty;
        const std::pair<std::string, std::string> cases[] = {
            {"", "WMA encoding libraries aren't installed. Please reinstall Parrowind."},
            {empty.Path().string(), "WMA encoding libraries aren't installed. Please reinstall Parrowind."},
            {TESSLOW_TEST_MODULE_DIR "/no_writer", "Internal error #1521"},
            {TESSLOW_TEST_MODULE_DIR "/no_manager", "Internal error #1522"},
        };
        for (const auto& [folder, message] : cases) {
            EncoderRequest request = WmaRequest(dir / "t.wma");
            request.moduleFolder = folder;
            if (const std::string got = CreateFails(request); got != message) return folder + ": " + got;
        }
        if (ReadFile(dir / "t.wma") != "keep me") return "the existing file was touched";
        // Installed now: found, and kept for the later requests whatever folder they name.
        EncoderRequest request = WmaRequest(dir / "new.wma");
        if (const std::string got = CreateFails(request); !got.empty()) return "installed: " + got;
        request.moduleFolder = empty.Path().string();
        request.path = (dir / "later.wma").string();
        return CreateFails(request);
    });
}

TEST(WmaEncoder, FailuresOfTheWriterCarryItsCode)
{
    TempDir dir;
    WriteFile(dir / "file", "");
    EXPECT_EQ(CreateFails(WmaRequest(dir / "file" / "t.wma")),
              "cannot create file (a file is in the way: Not a directory; 0x8007010B)");

    // A disk that fills up while the writer works: the writer reports it
    // through its status callback, and the Write that caused it says so, in
    // the words every format uses, its code after them.
    auto encoder = CreateEncoder(WmaRequest(dir / "full.wma", QualityPreset::Custom, 320000));
    const std::string second = MusicPcm(44100, 6);
    std::string failure;
    {
        FileSizeLimit full(20000);
        for (int i = 0; i < 10 && failure.empty(); ++i) failure = FirstWriteFails(*encoder, second);
    }
    EXPECT_EQ(failure, "write error (the file is larger than allowed: File too large; 0x800700DF)");
}

TEST(WmaEncoder, TheStatusCallbackAnswersOnlyItsOwnInterfaceAndCountsNothing)
{
    TempDir dir;
    auto encoder = CreateEncoder(WmaRequest(dir / "t.wma"));
    auto* callback = dynamic_cast<wmvcore::IWMStatusCallback*>(encoder.get());
    ASSERT_NE(callback, nullptr);
    void* answer = nullptr;
    EXPECT_EQ(callback->QueryInterface(wmvcore::IID_IWMStatusCallback, &answer), wmvcore::S_OK);
    EXPECT_EQ(answer, callback);
    EXPECT_EQ(callback->QueryInterface(wmvcore::IID_IUnknown, &answer), wmvcore::E_FAIL);
    EXPECT_EQ(callback->AddRef(), 1u);
    EXPECT_EQ(callback->Release(), 1u);
    EXPECT_EQ(callback->OnStatus(wmvcore::WMT_STARTED, 0, wmvcore::WMT_TYPE_DWORD, nullptr, nullptr), wmvcore::S_OK);
    EXPECT_EQ(FirstWriteFails(*encoder, MusicPcm(1000)), "") << "a status other than an error is ignored";
}

}  // namespace
}  // namespace tesslow
