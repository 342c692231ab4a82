// zelkor-tonegen: writes a test tone as a RIFF WAVE file.
//   zelkor-tonegen OUT.wav RATE CHANNELS SECONDS [FREQUENCY]
// A sine (the right channel a fifth above), with short fades at both ends.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

#include "audio/WaveFile.h"

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: zelkor-tonegen OUT.wav RATE CHANNELS SECONDS [FREQUENCY]\n");
        return 2;
    }
    zelkor::TPcmFormat format;
    format.Rate = std::atoi(argv[2]);
    format.Channels = std::atoi(argv[3]);
    format.Bits = 16;
    const double seconds = std::atof(argv[4]);
    const double frequency = argc > 5 ? std::atof(argv[5]) : 440.0;
    if (!format.Valid() || format.Channels > 2 || seconds <= 0 || seconds > 600) {
        std::fprintf(stderr, "zelkor-tonegen: rates 1000..384000, 1 or 2 channels, up to 600 seconds\n");
        return 2;
    }
    const auto frames = size_t(seconds * format.Rate);
    const double fade = 0.01 * format.Rate;
    std::vector<uint8_t> samples;
    for (size_t i = 0; i < frames; ++i) {
        const double envelope = std::min({1.0, double(i) / fade, double(frames - 1 - i) / fade});
        for (int c = 0; c < format.Channels; ++c) {
            const double f = frequency * (c == 0 ? 1.0 : 1.5);
            const auto v = int16_t(std::lround(12000.0 * envelope * std::sin(2 * M_PI * f * double(i) / format.Rate)));
            samples.push_back(uint8_t(v & 0xFF));
            samples.push_back(uint8_t((v >> 8) & 0xFF));
        }
    }
    const auto wave = zelkor::MakeWave(format, samples);
    std::ofstream out(argv[1], std::ios::binary);
    out.write(reinterpret_cast<const char*>(wave.data()), std::streamsize(wave.size()));
    return out ? 0 : 1;
}
