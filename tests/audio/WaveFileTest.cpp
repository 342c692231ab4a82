#include <gtest/gtest.h>

#include "audio/WaveFile.h"

using namespace zelkor;

namespace {

std::vector<uint8_t> Wave(int channels, int bits, int rate, size_t frames) {
    TPcmFormat f{channels, rate, bits};
    return MakeWave(f, std::vector<uint8_t>(frames * size_t(f.FrameBytes()), 7));
}

void Put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
    for (int i = 0; i < 4; ++i) v.at(at + size_t(i)) = uint8_t(x >> (8 * i));
}

} // namespace

TEST(WaveFile, ReadsPcmOfEightAndSixteenBitsMonoAndStereo) {
    for (int channels : {1, 2})
        for (int bits : {8, 16}) {
            TWaveData w;
            std::string error;
            ASSERT_TRUE(ParseWave(Wave(channels, bits, 22050, 100), w, error)) << error;
            EXPECT_EQ(w.Format.Channels, channels);
            EXPECT_EQ(w.Format.Bits, bits);
            EXPECT_EQ(w.Format.Rate, 22050);
            EXPECT_EQ(w.Samples.size(), 100u * size_t(channels * bits / 8));
        }
}

TEST(WaveFile, SkipsOtherChunksAndTheirPadding) {
    auto w = Wave(2, 16, 44100, 4);
    const std::vector<uint8_t> extra = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
    w.insert(w.begin() + 12, extra.begin(), extra.end());
    TWaveData out;
    std::string error;
    ASSERT_TRUE(ParseWave(w, out, error)) << error;
    EXPECT_EQ(out.Samples.size(), 16u);
}

struct BrokenCase {
    const char* name;
    std::function<void(std::vector<uint8_t>&)> damage;
    const char* reason;
};
std::ostream& operator<<(std::ostream& os, const BrokenCase& c) { return os << c.name; }
class BrokenWave : public ::testing::TestWithParam<BrokenCase> {};

TEST_P(BrokenWave, IsRefusedWithAReason) {
    auto w = Wave(2, 16, 44100, 10);
    GetParam().damage(w);
    TWaveData out;
    std::string error;
    EXPECT_FALSE(ParseWave(w, out, error));
    EXPECT_NE(error.find(GetParam().reason), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Table, BrokenWave,
    ::testing::Values(
        BrokenCase{"empty", [](auto& w) { w.clear(); }, "not a RIFF"},
        BrokenCase{"not riff", [](auto& w) { w[0] = 'X'; }, "not a RIFF"},
        BrokenCase{"compressed", [](auto& w) { w[20] = 2; }, "not PCM"},
        BrokenCase{"three channels", [](auto& w) { w[22] = 3; }, "mono and stereo"},
        BrokenCase{"24 bits", [](auto& w) { w[34] = 24; }, "8- and 16-bit"},
        BrokenCase{"block size", [](auto& w) { w[32] = 3; }, "block size"},
        BrokenCase{"rate zero", [](auto& w) { Put32(w, 24, 0); }, "sample rate"},
        BrokenCase{"data past the end", [](auto& w) { Put32(w, 40, 1000000); }, "past the end"},
        BrokenCase{"format cut short", [](auto& w) { w.resize(30); }, "cut short"},
        BrokenCase{"no format", [](auto& w) { w.resize(12); }, "no format chunk"},
        BrokenCase{"no data", [](auto& w) { w.resize(36); }, "no data"},
        BrokenCase{"format chunk too long", [](auto& w) { Put32(w, 16, 0x7FFFFFFF); }, "cut short"}),
    [](const auto& p) {
        std::string n = p.param.name;
        for (char& c : n)
            if (c == ' ') c = '_';
        return n;
    });
