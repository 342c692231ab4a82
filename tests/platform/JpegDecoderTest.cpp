// JPEG decoding for the launcher's splash: the real picture, and broken or
// hostile data refused with a reason and nothing written out.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "game/embedded/EmbeddedFiles.h"
#include "platform/sdl/JpegDecoder.h"

using namespace zelkor;

namespace {

std::vector<uint8_t> Splash() {
    const auto bytes = SplashPicture().front().Bytes;
    return {bytes.begin(), bytes.end()};
}

std::vector<uint8_t> CorpusFile(const std::string& name) {
    std::ifstream in(std::string(ZELKOR_FUZZ_CORPUS) + "/jpeg/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(JpegDecoder, TheSplashDecodesToTheLaunchersSizeAndIsOpaque) {
    const auto data = Splash();
    TRgbPicture picture;
    std::string error;
    ASSERT_TRUE(DecodeJpeg(data.data(), data.size(), picture, error)) << error;
    EXPECT_EQ(picture.Width, 630);
    EXPECT_EQ(picture.Height, 360);
    ASSERT_EQ(picture.Pixels.size(), size_t(630 * 360));
    for (uint32_t p : picture.Pixels) ASSERT_EQ(p >> 24, 0xFFu);
}

TEST(JpegDecoder, ProgressiveAndGreyPicturesDecodeToRgb) {
    for (const char* name : {"progressive", "grey"}) {
        const auto data = CorpusFile(name);
        ASSERT_FALSE(data.empty()) << name;
        TRgbPicture picture;
        std::string error;
        ASSERT_TRUE(DecodeJpeg(data.data(), data.size(), picture, error)) << name << ": " << error;
        EXPECT_EQ(picture.Pixels.size(), size_t(picture.Width) * size_t(picture.Height)) << name;
    }
    // The grey picture's pixels have equal channels.
    const auto grey = CorpusFile("grey");
    TRgbPicture picture;
    std::string error;
    ASSERT_TRUE(DecodeJpeg(grey.data(), grey.size(), picture, error));
    for (uint32_t p : picture.Pixels) ASSERT_TRUE(((p >> 16) & 0xFF) == (p & 0xFF) && ((p >> 8) & 0xFF) == (p & 0xFF));
}

TEST(JpegDecoder, BrokenDataIsRefusedWithAReasonAndLeavesTheOutputAlone) {
    const auto splash = Splash();
    std::vector<uint8_t> hugeSize = CorpusFile("baseline");
    // The frame header (SOF0) holds height and width after its length and precision.
    for (size_t i = 0; i + 8 < hugeSize.size(); ++i)
        if (hugeSize[i] == 0xFF && hugeSize[i + 1] == 0xC0) {
            hugeSize[i + 5] = 0x7F, hugeSize[i + 6] = 0xFF;  // height 32767
            break;
        }
    struct Case {
        const char* What;
        std::vector<uint8_t> Data;
    } cases[] = {
        {"nothing", {}},
        {"text", {'n', 'o', 't', ' ', 'a', ' ', 'j', 'p', 'e', 'g'}},
        {"the start marker alone", {0xFF, 0xD8}},
        {"the header cut short", std::vector<uint8_t>(splash.begin(), splash.begin() + 40)},
        {"a picture taller than the limit", hugeSize},
    };
    for (const Case& c : cases) {
        TRgbPicture picture;
        picture.Width = 7;
        picture.Pixels = {1, 2, 3};
        std::string error;
        EXPECT_FALSE(DecodeJpeg(c.Data.data(), c.Data.size(), picture, error)) << c.What;
        EXPECT_FALSE(error.empty()) << c.What;
        EXPECT_EQ(picture.Width, 7) << c.What;
        EXPECT_EQ(picture.Pixels.size(), 3u) << c.What;
    }
}

// A picture whose data stops early still shows: libjpeg fills the rest
// (as viewers do), and the size stays the header's.
TEST(JpegDecoder, APictureCutInItsDataDecodesAtItsFullSize) {
    const auto splash = Splash();
    const std::vector<uint8_t> cut(splash.begin(), splash.begin() + long(splash.size() / 2));
    TRgbPicture picture;
    std::string error;
    ASSERT_TRUE(DecodeJpeg(cut.data(), cut.size(), picture, error)) << error;
    EXPECT_EQ(picture.Width, 630);
    EXPECT_EQ(picture.Height, 360);
}

} // namespace
