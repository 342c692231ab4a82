#include <gtest/gtest.h>

#include <fstream>

#include "audio/Mp3Input.h"
#include "tests/audio/AudioFixture.h"

using namespace zelkor;
using namespace zelkor::testing_support;

TEST(Mp3Input, DecodesEachRateAndChannelCount) {
    for (int rate : {22050, 44100, 48000})
        for (int channels : {1, 2}) {
            TMP3In in;
            in.SetFileName(ToneFile(rate, channels));
            ASSERT_TRUE(in.Valid()) << in.LastError();
            EXPECT_EQ(in.SampleRate(), rate);
            EXPECT_EQ(in.Channels(), channels);
            EXPECT_EQ(in.BitsPerSample(), 16);
            const auto samples = ReadAllSamples(in);
            // 0.6 s of tone, without the encoder's delay and padding.
            EXPECT_NEAR(double(samples.size()) / channels / rate, 0.6, 0.03) << rate << " " << channels;
            if (in.TotalSamples() >= 0) {
                EXPECT_NEAR(double(in.TotalSamples()) / rate, 0.6, 0.03);
            }
        }
}

TEST(Mp3Input, MissingEmptyOrCorruptFilesAreNotValid) {
    const std::string folder = std::filesystem::temp_directory_path().string();
    const std::string empty = folder + "/zelkor-empty.mp3", junk = folder + "/zelkor-junk.mp3";
    std::ofstream(empty).close();
    {
        std::ofstream j(junk, std::ios::binary);
        for (int i = 0; i < 20000; ++i) j.put(char((i * 7919) % 251));
    }
    for (const std::string& file : {std::string(folder + "/zelkor-absent.mp3"), empty, junk, std::string("")}) {
        TMP3In in;
        in.SetFileName(file);
        EXPECT_FALSE(in.Valid()) << file;
        std::vector<uint8_t> buffer(1024);
        EXPECT_EQ(in.Read(buffer.data(), buffer.size()), 0u);
    }
    std::remove(empty.c_str());
    std::remove(junk.c_str());
}

TEST(Mp3Input, ALoopingReadGoesOnFromTheStartInTheSameRequest) {
    TMP3In plain;
    plain.SetFileName(ToneFile(44100, 2));
    ASSERT_TRUE(plain.Valid());
    const auto once = ReadAllSamples(plain);
    ASSERT_GT(once.size(), 1000u);

    TMP3In looping;
    looping.SetFileName(ToneFile(44100, 2));
    looping.SetLoop(true);
    ASSERT_TRUE(looping.Valid());
    // One request across the end: the file again, without a gap.
    std::vector<int16_t> twice(once.size() * 2 + 1000);
    ASSERT_EQ(looping.Read(reinterpret_cast<uint8_t*>(twice.data()), twice.size() * 2), twice.size() * 2);
    for (size_t i = 0; i < twice.size(); ++i) ASSERT_EQ(twice[i], once[i % once.size()]) << i;
}

TEST(Mp3Input, StartAndEndSamplesBoundThePlayedPart) {
    TMP3In plain;
    plain.SetFileName(ToneFile(44100, 1));
    ASSERT_TRUE(plain.Valid());
    const auto all = ReadAllSamples(plain);
    TMP3In part;
    part.SetFileName(ToneFile(44100, 1));
    part.SetStartSample(1000);
    part.SetEndSample(3000);
    part.SetLoop(true);
    ASSERT_TRUE(part.Valid());
    std::vector<int16_t> got(5000);
    ASSERT_EQ(part.Read(reinterpret_cast<uint8_t*>(got.data()), got.size() * 2), got.size() * 2);
    for (size_t i = 0; i < got.size(); ++i) ASSERT_EQ(got[i], all[1000 + i % 2000]) << i;
}

TEST(Mp3Input, SettingTheFileNameClosesTheOpenFile) {
    TMP3In in;
    in.SetFileName(ToneFile(44100, 2));
    ASSERT_TRUE(in.Valid());
    in.SetFileName(ToneFile(22050, 1));
    ASSERT_TRUE(in.Valid());
    EXPECT_EQ(in.SampleRate(), 22050);
    EXPECT_EQ(in.Channels(), 1);
}
