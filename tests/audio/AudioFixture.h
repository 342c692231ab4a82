#pragma once
// Test audio: the generated MP3 tones, and the SDL "disk" driver, which
// writes the mixer's output (44.1 kHz stereo 16-bit) to a file that the
// test reads back.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "audio/AudioInput.h"
#include "platform/Application.h"

namespace zelkor::testing_support {

inline std::string ToneFile(int rate, int channels) {
    return std::string(ZELKOR_AUDIO_DATA) + "/tone_" + std::to_string(rate) + "_" + std::to_string(channels) + ".mp3";
}

// Every sample an input gives (interleaved) until it ends or `limitFrames` have come.
inline std::vector<int16_t> ReadAllSamples(TAudioInput& in, size_t limitFrames = 1 << 22) {
    std::vector<int16_t> all;
    std::vector<uint8_t> chunk(4096 * size_t(in.Format().FrameBytes()));
    for (;;) {
        const size_t got = in.Read(chunk.data(), chunk.size());
        if (got == 0) break;
        const size_t old = all.size();
        all.resize(old + got / 2);
        std::memcpy(&all[old], chunk.data(), got);
        if (all.size() / size_t(in.Format().Channels) >= limitFrames) break;
    }
    return all;
}

// Sends every audio output opened from now on to a file.
class DiskAudio {
public:
    DiskAudio() {
        path_ = (std::filesystem::temp_directory_path() / ("zelkor-audio-" + std::to_string(counter_++) + "-" +
                                                           std::to_string(getpid()) + ".raw"))
                    .string();
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", path_.c_str(), 1);
    }
    ~DiskAudio() { std::remove(path_.c_str()); }
    // Interleaved stereo samples written so far.
    std::vector<int16_t> Samples() const {
        std::ifstream in(path_, std::ios::binary);
        std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::vector<int16_t> samples(bytes.size() / 2);
        std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
        return samples;
    }

private:
    static inline int counter_ = 0;
    std::string path_;
};

inline void Wait(std::chrono::milliseconds time) {
    const auto end = std::chrono::steady_clock::now() + time;
    TApplication::Instance().ProcessUntil([&] { return std::chrono::steady_clock::now() >= end; }, time * 2);
}

} // namespace zelkor::testing_support
