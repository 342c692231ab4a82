#pragma once
// RIFF WAVE images: PCM, 8 or 16 bits, mono or stereo. A malformed image
// is refused with the reason.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/sdl/AudioDevice.h"

namespace zelkor {

struct TWaveData {
    TPcmFormat Format;
    std::vector<uint8_t> Samples;  // whole frames
};

bool ParseWave(const uint8_t* bytes, size_t size, TWaveData& out, std::string& error);
inline bool ParseWave(const std::vector<uint8_t>& bytes, TWaveData& out, std::string& error) {
    return ParseWave(bytes.data(), bytes.size(), out, error);
}

// A RIFF WAVE image of PCM samples.
std::vector<uint8_t> MakeWave(const TPcmFormat& format, const std::vector<uint8_t>& samples);

} // namespace zelkor
