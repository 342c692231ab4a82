#include <gtest/gtest.h>

#include "audio/Mp3Input.h"
#include "audio/StreamAudio.h"
#include "tests/audio/AudioFixture.h"

using namespace zelkor;
using namespace zelkor::testing_support;
using namespace std::chrono_literals;

namespace {

std::vector<int16_t> DecodeOnce(const std::string& file) {
    TMP3In in;
    in.SetFileName(file);
    EXPECT_TRUE(in.Valid());
    std::vector<int16_t> all(4096);
    std::vector<int16_t> out;
    for (;;) {
        const size_t got = in.Read(reinterpret_cast<uint8_t*>(all.data()), all.size() * 2);
        if (!got) break;
        out.insert(out.end(), all.begin(), all.begin() + long(got / 2));
    }
    return out;
}

size_t FirstSound(const std::vector<int16_t>& s) {
    for (size_t i = 0; i < s.size(); ++i)
        if (s[i] != 0) return i;
    return s.size();
}

} // namespace

// The decoded music reaches the mixer's output in order, and loops without
// a gap or a jump: sample for sample it is the file, again and again.
TEST(StreamOut, PlaysTheMusicInOrderAndLoopsWithoutAGap) {
    DiskAudio disk;
    const auto once = DecodeOnce(ToneFile(44100, 2));
    ASSERT_GT(once.size(), 10000u);
    TMP3In in;
    in.SetFileName(ToneFile(44100, 2));
    in.SetLoop(true);
    ASSERT_TRUE(in.Valid());
    TStreamOut out;
    out.SetInput(&in);
    out.SetFramesInBuffer(8192);
    out.SetPollingInterval(20);
    int underruns = 0;
    out.OnUnderrun = [&](TObject*) { ++underruns; };
    out.Run();
    EXPECT_EQ(out.Status(), TOutputStatus::tosPlaying);
    Wait(1600ms);
    out.Stop(false);
    EXPECT_EQ(out.Status(), TOutputStatus::tosIdle);
    EXPECT_EQ(underruns, 0);

    const auto output = disk.Samples();
    const size_t start = FirstSound(output);
    const size_t reference = FirstSound(once);
    ASSERT_LT(start, output.size());
    const size_t compared = std::min(output.size() - start, once.size() * 2);
    ASSERT_GT(compared, once.size() + once.size() / 2) << "less than one and a half loops were played";
    for (size_t i = 0; i < compared; ++i)
        ASSERT_EQ(output[start + i], once[(reference + i) % once.size()]) << "at output sample " << i;
}

TEST(StreamOut, RunRefusesABusyOutputAndAMissingInput) {
    DiskAudio disk;
    TStreamOut out;
    try {
        out.Run();
        FAIL() << "no error";
    } catch (const EAudioException& e) {
        EXPECT_STREQ(e.what(), "Input is not assigned");
    }
    TMP3In in;
    in.SetFileName(ToneFile(22050, 1));
    in.SetLoop(true);
    out.SetInput(&in);
    out.Run();
    try {
        out.Run();
        FAIL() << "no error";
    } catch (const EAudioException& e) {
        EXPECT_STREQ(e.what(), "Component is Busy");
    }
    out.Stop(false);
    EXPECT_EQ(out.Status(), TOutputStatus::tosIdle);
    out.Run();  // idle again: it starts
    out.Stop(false);
}

TEST(StreamOut, AnEndingInputPlaysOutAndTheOutputGoesIdle) {
    DiskAudio disk;
    TMP3In in;
    in.SetFileName(ToneFile(44100, 1));
    TStreamOut out;
    out.SetInput(&in);
    out.SetFramesInBuffer(4096);
    out.SetPollingInterval(20);
    int done = 0;
    out.OnDone = [&](TObject* sender) {
        EXPECT_EQ(sender, &out);
        ++done;
    };
    out.Run();
    ASSERT_TRUE(TApplication::Instance().ProcessUntil([&] { return out.Status() == TOutputStatus::tosIdle; }, 10s));
    EXPECT_EQ(done, 1);
    EXPECT_EQ(out.LastError(), "");
}

TEST(StreamOut, WorkerErrorsEndPlaybackAndAreReported) {
    DiskAudio disk;
    TMP3In in;
    in.SetFileName(ToneFile(44100, 2));
    TStreamOut out;
    out.SetInput(&in);
    out.SetDeviceNumber(99);
    std::string reported;
    out.OnThreadException = [&](TObject*, const std::string& message) { reported = message; };
    out.Run();
    ASSERT_TRUE(TApplication::Instance().ProcessUntil([&] { return out.Status() == TOutputStatus::tosIdle; }, 10s));
    EXPECT_EQ(reported, "Invalid device number");

    TMP3In missing;
    missing.SetFileName("/nonexistent/theme.mp3");
    out.SetInput(&missing);
    out.SetDeviceNumber(0);
    out.Run();
    ASSERT_TRUE(TApplication::Instance().ProcessUntil([&] { return out.Status() == TOutputStatus::tosIdle; }, 10s));
    EXPECT_NE(out.LastError().find("cannot open"), std::string::npos);
}

TEST(StreamOut, DestroyingAPlayingOutputStopsIt) {
    DiskAudio disk;
    TMP3In in;
    in.SetFileName(ToneFile(48000, 2));
    in.SetLoop(true);
    {
        TStreamOut out;
        out.SetInput(&in);
        out.Run();
        Wait(100ms);
    }
    SUCCEED();
}
