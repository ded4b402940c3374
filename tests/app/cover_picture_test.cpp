#include "app/cover_picture.h"

#include "support/command.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tesslow {
namespace {

// What a picture's own bytes say of it, for pictures made by ImageMagick in
// the forms covers come in, and for answers that are no picture at all.
TEST(CoverPicture, TheBytesAloneSayWhatAPictureIs)
{
    test::TempDir dir;
    const struct {
        const char* name;
        std::vector<std::string> convert;  // ImageMagick's arguments before the output file; empty: `bytes`
        std::string bytes;
        const char* mime;  // null: refused
        int width, height, depth;
        const char* why;
    } cases[] = {
        {"a progressive grey JPEG", {"-size", "33x21", "gradient:", "-interlace", "Plane"}, "", "image/jpeg", 33, 21, 8, ""},
        {"a CMYK JPEG", {"-size", "10x7", "xc:red", "-colorspace", "CMYK"}, "", "image/jpeg", 10, 7, 32, ""},
        {"a PNG with alpha", {"-size", "5x9", "xc:rgba(255,0,0,0.5)", "PNG32:"}, "", "image/png", 5, 9, 32, ""},
        {"an RGB PNG", {"-size", "300x2", "gradient:red-blue", "PNG24:"}, "", "image/png", 300, 2, 24, ""},
        {"a GIF", {"-size", "6x4", "xc:blue", "GIF:"}, "", nullptr, 0, 0, 0, "not a JPEG or PNG image"},
        {"a web page", {}, "\r\n  <!DOCTYPE html><html></html>", nullptr, 0, 0, 0, "a web page, not an image"},
        {"nothing", {}, "", nullptr, 0, 0, 0, "empty"},
        {"a JPEG cut before its frame header", {}, std::string("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\x01\x01\x00\x00\x01", 17),
         nullptr, 0, 0, 0, "a JPEG image without a readable frame header"},
        {"a PNG signature alone", {}, std::string("\x89PNG\r\n\x1a\n", 8), nullptr, 0, 0, 0,
         "a PNG image without a readable header"},
        {"too large", {}, "\xFF\xD8\xFF" + std::string(kCoverPictureLimit, '\0'), nullptr, 0, 0, 0, "larger than 16 MB"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string bytes = c.bytes;
        if (!c.convert.empty()) {
            std::vector<std::string> args = c.convert;
            std::string out = (dir / "picture").string();
            if (args.back().back() == ':') {
                out = args.back() + out;
                args.pop_back();
            } else {
                out += ".jpg";
            }
            args.push_back(out);
            const auto made = test::RunCommand("convert", args);
            ASSERT_EQ(made.exitCode, 0) << made.err;
            bytes = test::ReadFile(out.substr(out.find(':') + 1));
        }
        std::string why;
        const std::optional<CoverPicture> picture = ReadCoverPicture(bytes, &why);
        if (!c.mime) {
            EXPECT_FALSE(picture);
            EXPECT_EQ(why, c.why);
            continue;
        }
        ASSERT_TRUE(picture) << why;
        EXPECT_EQ(picture->mime, c.mime);
        EXPECT_EQ(picture->width, c.width);
        EXPECT_EQ(picture->height, c.height);
        EXPECT_EQ(picture->depth, c.depth);
        EXPECT_EQ(picture->bytes, bytes);
    }
}

}  // namespace
}  // namespace tesslow
