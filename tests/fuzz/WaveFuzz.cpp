// Arbitrary bytes as a RIFF WAVE image: refused with a reason, or read into
// whole frames of a format the mixer can play.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "audio/WaveFile.h"

using namespace zelkor;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TWaveData wave;
    std::string error;
    if (!ParseWave(data, size, wave, error)) {
        if (error.empty()) std::abort();
        return 0;
    }
    if (!wave.Format.Valid() || wave.Samples.size() % size_t(wave.Format.FrameBytes()) != 0 || wave.Samples.size() > size)
        std::abort();
    return 0;
}
