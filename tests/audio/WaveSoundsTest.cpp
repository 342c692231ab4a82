#include <gtest/gtest.h>

#include "audio/WaveSounds.h"
#include "tests/audio/AudioFixture.h"

using namespace zelkor;
using namespace zelkor::testing_support;
using namespace std::chrono_literals;

namespace {

// `seconds` of stereo 22050 Hz samples, all of the one value.
std::vector<uint8_t> Level(int16_t value, double seconds) {
    TPcmFormat f{2, 22050, 16};
    std::vector<uint8_t> pcm;
    for (size_t i = 0; i < size_t(seconds * 22050) * 2; ++i) {
        pcm.push_back(uint8_t(value & 0xFF));
        pcm.push_back(uint8_t((value >> 8) & 0xFF));
    }
    return MakeWave(f, pcm);
}

class WaveSoundsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(device.Initialize()) << device.LastError();
        list.SetSoundDevice(&device);
        item = list.Items().Add();
        item->SetName("sound_1");
        ASSERT_TRUE(item->SetWave(Level(1000, 1.0)));
    }

    DiskAudio disk;
    TSoundDevice device;
    TWaveList list;
    TWaveCollectionItem* item = nullptr;
};

} // namespace

TEST_F(WaveSoundsTest, QuickPlaysWithoutALimitOverlapInCopies) {
    for (int i = 0; i < 3; ++i) item->Play(false);
    EXPECT_EQ(item->CopyCount(), 3);
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(item->Copy(i)->Playing()) << i;
}

TEST_F(WaveSoundsTest, WithALimitTheOldestCopyStartsAgain) {
    item->SetMaxPlayingCount(2);
    item->Play(false);
    Wait(50ms);
    item->Play(false);
    const TSoundBuffer* older = item->Copy(0);
    const TSoundBuffer* newer = item->Copy(1);
    item->Play(false);
    EXPECT_EQ(item->CopyCount(), 2);
    EXPECT_EQ(item->Copy(0), newer);
    EXPECT_EQ(item->Copy(1), older);  // restarted, now the newest
    EXPECT_TRUE(older->Playing());
}

TEST_F(WaveSoundsTest, AFinishedCopyIsUsedAgain) {
    ASSERT_TRUE(item->SetWave(Level(1000, 0.05)));
    item->Play(true);  // waits until it has finished
    EXPECT_FALSE(item->AnyPlaying());
    item->Play(false);
    EXPECT_EQ(item->CopyCount(), 1);
}

TEST_F(WaveSoundsTest, ALoopedItemPlaysItsOneBufferUntilStopped) {
    item->SetLooped(true);
    item->Play(false);
    item->Play(false);
    EXPECT_EQ(item->CopyCount(), 0);
    Wait(1200ms);  // longer than the sound
    EXPECT_TRUE(item->AnyPlaying());
    item->StopAll();
    EXPECT_FALSE(item->AnyPlaying());
}

TEST_F(WaveSoundsTest, TheMixerSaturatesInsteadOfWrappingAround) {
    ASSERT_TRUE(item->SetWave(Level(30000, 0.5)));
    item->Play(false);
    item->Play(false);  // two copies together: 60000 would wrap to negative
    Wait(300ms);
    device.Finalize();
    const auto out = disk.Samples();
    ASSERT_FALSE(out.empty());
    int16_t high = 0, low = 0;
    for (int16_t s : out) high = std::max(high, s), low = std::min(low, s);
    EXPECT_EQ(high, 32767);
    EXPECT_GE(low, 0);
}

TEST(WaveSounds, WithoutASoundOutputPlayDoesNothing) {
    TWaveList list;  // no device at all
    TWaveCollectionItem* item = list.Items().Add();
    ASSERT_TRUE(item->SetWave(Level(1000, 0.1)));
    item->Play(false);
    EXPECT_EQ(item->CopyCount(), 0);
    TSoundDevice idle;  // a device that was never started
    list.SetSoundDevice(&idle);
    item->Play(true);
    EXPECT_EQ(item->CopyCount(), 0);
    EXPECT_EQ(list.Items()[5], nullptr);
    EXPECT_EQ(list.Items().Find("absent"), nullptr);
}

TEST(WaveSounds, AnUnreadableWaveLeavesTheItemSilent) {
    TWaveList list;
    TWaveCollectionItem* item = list.Items().Add();
    EXPECT_FALSE(item->SetWave({'R', 'I', 'F', 'F'}));
    EXPECT_FALSE(item->WaveError().empty());
    EXPECT_TRUE(item->Wave().Samples.empty());
}
