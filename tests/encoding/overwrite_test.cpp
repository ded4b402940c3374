#include "encoding/encoder_exception.h"
#include "encoding/encoder_factory.h"
#include "encoding/overwrite.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

namespace tesslow {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

// A user at the question who answers from a script and counts the questions.
class ScriptedQuestion final : public OverwriteQuestion {
public:
    explicit ScriptedQuestion(Reply reply) : reply_(reply) {}
    Reply Ask(const std::string& path) override
    {
        asked.push_back(path);
        return reply_;
    }
    std::vector<std::string> asked;

private:
    Reply reply_;
};

using Answer = OverwriteQuestion::Answer;

std::string Rip(OverwritePolicy& policy, OverwriteQuestion* question, const fs::path& path, bool alwaysOverwrite)
{
    EncoderRequest request;
    request.path = path.string();
    request.overwrite = &policy;
    request.question = question;
    request.alwaysOverwrite = alwaysOverwrite;
    try {
        auto encoder = CreateEncoder(request);
        const char pcm[4] = {1, 2, 3, 4};
        encoder->Write(pcm, 4, nullptr);
        encoder->Finish();
        return "written";
    } catch (const EncoderException& error) {
        return error.Message();
    }
}

TEST(ConfirmOverwrite, NoRememberedForAllFilesSkipsEveryLaterExistingFileWithoutAsking)
{
    TempDir dir;
    WriteFile(dir / "a.wav", "old a");
    WriteFile(dir / "b.wav", "old b");
    OverwritePolicy policy;
    ScriptedQuestion question({Answer::Skip, true});

    EXPECT_EQ(Rip(policy, &question, dir / "a.wav", false), "file skipped");
    EXPECT_EQ(Rip(policy, &question, dir / "new.wav", false), "written");
    // A later job, even with "overwrite without prompt" switched on.
    EXPECT_EQ(Rip(policy, &question, dir / "b.wav", true), "file skipped");
    EXPECT_EQ(question.asked, std::vector<std::string>{(dir / "a.wav").string()});
    EXPECT_EQ(ReadFile(dir / "a.wav"), "old a");
    EXPECT_EQ(ReadFile(dir / "b.wav"), "old b");
    EXPECT_EQ(fs::file_size(dir / "new.wav"), 50u);
}

TEST(ConfirmOverwrite, AlwaysOverwriteReplacesSilentlyAndIsRememberedForTheRun)
{
    TempDir dir;
    WriteFile(dir / "a.wav", "old a");
    WriteFile(dir / "b.wav", "old b");
    fs::permissions(dir / "b.wav", fs::perms::owner_read);  // read-only files are replaced too
    OverwritePolicy policy;
    ScriptedQuestion question({Answer::Skip, false});

    EXPECT_EQ(Rip(policy, &question, dir / "a.wav", true), "written");
    EXPECT_EQ(Rip(policy, &question, dir / "b.wav", false), "written");
    EXPECT_TRUE(question.asked.empty());
    EXPECT_EQ(ReadFile(dir / "b.wav").substr(0, 4), "RIFF");
}

TEST(ConfirmOverwrite, AQuestionNobodyCanAnswerSkipsTheFileAndRemembersNothing)
{
    TempDir dir;
    WriteFile(dir / "a.wav", "keep me");
    OverwritePolicy policy;
    EXPECT_EQ(Rip(policy, nullptr, dir / "a.wav", false), "file skipped");
    ScriptedQuestion unavailable({Answer::CannotAsk, true});
    EXPECT_EQ(Rip(policy, &unavailable, dir / "a.wav", false), "file skipped");
    EXPECT_EQ(ReadFile(dir / "a.wav"), "keep me");

    ScriptedQuestion yes({Answer::Overwrite, false});
    EXPECT_EQ(Rip(policy, &yes, dir / "a.wav", false), "written");
    EXPECT_EQ(yes.asked.size(), 1u);
    // Without the run's policy only the AlwaysOverwrite setting can consent.
    EncoderRequest request;
    request.path = (dir / "a.wav").string();
    request.question = &yes;
    EXPECT_THROW(CreateEncoder(request), EncoderException);
    EXPECT_EQ(yes.asked.size(), 1u);
    request.alwaysOverwrite = true;
    EXPECT_NO_THROW(CreateEncoder(request));
}

TEST(ConfirmOverwrite, AFolderInTheWayIsReportedWhenTheFileIsCreated)
{
    TempDir dir;
    fs::create_directory(dir / "a.wav");
    WriteFile(dir / "a.wav" / "inside", "x");
    OverwritePolicy policy;
    ScriptedQuestion yes({Answer::Overwrite, false});
    EXPECT_EQ(Rip(policy, &yes, dir / "a.wav", false), "cannot create file (a file is in the way: Is a directory)");
    EXPECT_TRUE(fs::exists(dir / "a.wav" / "inside"));
}

}  // namespace
}  // namespace tesslow
