// The game's own music and sound effects, read the way the game reads them:
// the themes through the MP3 input, the effects (compiled into the program)
// through the wave reader.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "audio/Mp3Input.h"
#include "audio/WaveFile.h"
#include "game/embedded/EmbeddedFiles.h"
#include "tests/audio/AudioFixture.h"

using namespace zelkor;
using namespace zelkor::testing_support;

namespace {

// -1 dBFS in 16-bit samples.
const int kCeiling = int(32767 * 0.891);

int PeakOf(const std::vector<int16_t>& samples) {
    int peak = 0;
    for (int16_t v : samples) peak = std::max(peak, std::abs(int(v)));
    return peak;
}

// The loudest 100 ms of an interleaved stereo sound, in dBFS.
double LoudestMoment(const std::vector<int16_t>& samples, int rate) {
    const size_t frames = samples.size() / 2, window = size_t(rate) / 10, hop = size_t(rate) / 100;
    double best = 0;
    for (size_t start = 0; start + window <= frames || start == 0; start += hop) {
        double sum = 0;
        for (size_t i = start; i < std::min(frames, start + window); ++i)
            for (int c = 0; c < 2; ++c) sum += std::pow(samples[2 * i + size_t(c)] / 32768.0, 2);
        best = std::max(best, sum / double(2 * window));
        if (start + window >= frames) break;
    }
    return 10 * std::log10(best);
}

struct ThemeCase {
    const char* File;
    double MinSeconds, MaxSeconds;
};

class ThemeTest : public ::testing::TestWithParam<ThemeCase> {};

std::vector<int16_t> ToSamples(std::span<const uint8_t> bytes) {
    std::vector<int16_t> samples(bytes.size() / 2);
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = int16_t(bytes[2 * i] | bytes[2 * i + 1] << 8);
    return samples;
}

} // namespace

TEST_P(ThemeTest, DecodesAsLongStereoMusicThatLoopsWithoutASeam) {
    const ThemeCase& c = GetParam();
    TMP3In in;
    in.SetFileName(std::string(ZELKOR_DATA_DIR) + "/" + c.File);
    ASSERT_TRUE(in.Valid()) << in.LastError();
    EXPECT_EQ(in.SampleRate(), 44100);
    EXPECT_EQ(in.Channels(), 2);
    EXPECT_EQ(in.BitsPerSample(), 16);
    const std::vector<int16_t> once = ReadAllSamples(in, 1u << 24);
    const size_t frames = once.size() / 2;
    const double seconds = double(frames) / 44100;
    EXPECT_GE(seconds, c.MinSeconds);
    EXPECT_LE(seconds, c.MaxSeconds);
    EXPECT_LE(PeakOf(once), kCeiling);
    ASSERT_GT(frames, 44100u);

    // Across the seam, last frame to first, the step is no larger than the
    // largest step between neighbours inside the music.
    for (int ch = 0; ch < 2; ++ch) {
        int inside = 0;
        for (size_t i = 1; i < frames; ++i)
            inside = std::max(inside, std::abs(once[2 * i + size_t(ch)] - once[2 * (i - 1) + size_t(ch)]));
        const int seam = std::abs(once[size_t(ch)] - once[2 * (frames - 1) + size_t(ch)]);
        EXPECT_LE(seam, inside) << "channel " << ch;
        // Music fills the loop up to its very end, and is not silence at the seam.
        EXPECT_GT(inside, 1000);
    }

    // Looping, the input goes from the last frame straight on to the first.
    TMP3In looping;
    looping.SetFileName(in.FileName());
    ASSERT_TRUE(looping.Valid());
    looping.SetLoop(true);
    const std::vector<int16_t> twice = ReadAllSamples(looping, frames + 4410);
    ASSERT_GE(twice.size(), 2 * (frames + 4410));
    EXPECT_TRUE(std::equal(once.begin(), once.begin() + 2 * 4410, twice.begin() + long(2 * frames)));
}

INSTANTIATE_TEST_SUITE_P(Themes, ThemeTest,
                         ::testing::Values(ThemeCase{"title_theme.mp3", 60, 120}, ThemeCase{"main_theme.mp3", 90, 180}),
                         [](const auto& param) { return std::string(param.param.File).substr(0, 4); });

TEST(GameEffects, EightWavesOfTheExpectedFormatAndLength) {
    const size_t dataBytes[8] = {96764, 61440, 47360, 257792, 118784, 138752, 170496, 230912};
    const std::span<const TEmbeddedFile> waves = EffectWaves();
    ASSERT_EQ(waves.size(), 8u);
    std::vector<double> loudness;
    for (size_t i = 0; i < waves.size(); ++i) {
        SCOPED_TRACE(std::string(waves[i].Name));
        EXPECT_EQ(waves[i].Name, "sound_" + std::to_string(i + 1) + ".wav");
        TWaveData wave;
        std::string error;
        ASSERT_TRUE(ParseWave(waves[i].Bytes.data(), waves[i].Bytes.size(), wave, error)) << error;
        EXPECT_EQ(wave.Format.Channels, 2);
        EXPECT_EQ(wave.Format.Rate, 22050);
        EXPECT_EQ(wave.Format.Bits, 16);
        EXPECT_EQ(wave.Samples.size(), dataBytes[i]);
        const std::vector<int16_t> samples = ToSamples(wave.Samples);
        EXPECT_LE(PeakOf(samples), kCeiling);
        // Faded in and out, no click at either end: the first and last
        // millisecond rise from silence no faster than a straight ramp of
        // that length would.
        const int peak = PeakOf(samples);
        for (size_t k = 0; k < 22; ++k) {
            const int bound = 2 + int(double(peak) * double(k) / 22.0);
            EXPECT_LE(std::abs(samples[k]), bound) << "start, sample " << k;
            EXPECT_LE(std::abs(samples[samples.size() - 1 - k]), bound) << "end, sample " << k;
        }
        loudness.push_back(LoudestMoment(samples, 22050));
    }
    const auto [quietest, loudest] = std::minmax_element(loudness.begin(), loudness.end());
    EXPECT_LE(*loudest - *quietest, 3.0) << "loudest " << *loudest << " dBFS, quietest " << *quietest << " dBFS";
}
