#pragma once
// Sample buffers and small signal helpers of the music generator.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace zelkor::music {

inline constexpr double kPi = 3.14159265358979323846;

// Two channels of float samples, nominally within -1..1.
struct TStereo {
    std::vector<float> L, R;

    explicit TStereo(size_t frames = 0) : L(frames, 0.0f), R(frames, 0.0f) {}
    size_t Frames() const { return L.size(); }
};

// A repeatable noise source: the same seed gives the same sequence.
class TNoise {
public:
    explicit TNoise(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull) {}
    // Uniform in [-1, 1).
    double Next();
    // Uniform in [0, 1).
    double Unit() { return 0.5 * (Next() + 1.0); }

private:
    uint64_t state_;
};

// A stable hash of a few integers, for per-note variations.
uint64_t Mix(uint64_t a, uint64_t b = 0, uint64_t c = 0);

// Equal temperament, A4 (note 69) at 440 Hz.
double NoteFrequency(double note);
// "C4", "F#5", "Bb3" to a note number (C4 = 60); -1 for anything else.
int NoteNumber(std::string_view name);

// Adds a mono signal into a stereo buffer at `start` with equal-power pan
// (0 left, 0.5 centre, 1 right). With `wrap`, samples beyond the end come
// back in at the beginning, as they sound when the buffer plays in a loop.
void AddPanned(TStereo& out, const std::vector<float>& note, long start, double gain, double pan, bool wrap);

// The largest absolute sample of both channels.
double Peak(const TStereo& s);

// The loudness of a sound as its loudest moment: the highest RMS, over
// both channels, of any 100 ms window (hop 10 ms), in dBFS.
double MomentaryLoudness(const TStereo& s, int rate);

void Scale(TStereo& s, double gain);

// Linear fades over the first and last samples.
void FadeEnds(TStereo& s, size_t fadeIn, size_t fadeOut);

// 16-bit interleaved samples with triangular dither from a fixed seed.
std::vector<int16_t> ToPcm16(const TStereo& s, uint64_t seed);

} // namespace zelkor::music
