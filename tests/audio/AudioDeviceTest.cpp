#include <gtest/gtest.h>

#include <thread>

#include "platform/sdl/AudioDevice.h"
#include "tests/audio/AudioFixture.h"

using namespace zelkor;
using namespace zelkor::testing_support;
using namespace std::chrono_literals;

namespace {

// The mixer runs on the audio system's own thread and calls every attached
// voice. A voice must leave the mixer before any of its own parts are taken
// apart: otherwise a callback between the two finds a half-destroyed voice
// ("pure virtual method called", or freed samples read). Each round lets the
// mixer take up a playing sound and a playing stream for a few callbacks,
// then destroys them while it goes on mixing. Under ThreadSanitizer the
// destructor's rewrite of the voice's type races with the mixer's call
// unless the voice has left first.
TEST(AudioDevice, VoicesLeaveTheMixerBeforeTheyAreTakenApart) {
    DiskAudio disk;
    std::string error;
    std::shared_ptr<TAudioDevice> device = TAudioDevice::Acquire(0, error);
    ASSERT_TRUE(device) << error;
    const TPcmFormat format{2, 22050, 16};
    const std::vector<uint8_t> pcm(size_t(format.FrameBytes()) * 2205, 0x10);
    for (int round = 0; round < 20; ++round) {
        std::unique_ptr<TSoundBuffer> sound = device->CreateSound(format, pcm, error);
        ASSERT_TRUE(sound) << error;
        std::unique_ptr<TSoundBuffer> copy = sound->Duplicate();
        ASSERT_TRUE(copy);
        std::unique_ptr<TStreamBuffer> stream = device->CreateStream(format, 4096, error);
        ASSERT_TRUE(stream) << error;
        stream->Write(pcm.data(), 2205);
        sound->Play(true);
        copy->Play(true);
        stream->Play();
        // Plain sleeping: nothing here may order the mixer's calls before
        // the destruction below.
        std::this_thread::sleep_for(40ms);
        copy.reset();
        stream.reset();
        sound.reset();
    }
    // The mixer still runs with no voices.
    const uint64_t before = device->MixedFrames();
    EXPECT_TRUE(TApplication::Instance().ProcessUntil([&] { return device->MixedFrames() > before; }, 2s));
}

} // namespace
