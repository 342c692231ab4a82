#include "tools/musicgen/Signal.h"

#include <algorithm>
#include <cmath>

namespace zelkor::music {

double TNoise::Next() {
    // xorshift64*
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    const uint64_t v = state_ * 0x2545F4914F6CDD1Dull;
    return double(v >> 11) * (2.0 / 9007199254740992.0) - 1.0;
}

uint64_t Mix(uint64_t a, uint64_t b, uint64_t c) {
    uint64_t h = 0xCBF29CE484222325ull;
    for (uint64_t v : {a, b, c}) {
        h ^= v + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2);
        h *= 0x100000001B3ull;
    }
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDull;
    h ^= h >> 33;
    return h;
}

double NoteFrequency(double note) { return 440.0 * std::pow(2.0, (note - 69.0) / 12.0); }

int NoteNumber(std::string_view name) {
    static const int kSteps[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    if (name.size() < 2 || name[0] < 'A' || name[0] > 'G') return -1;
    int step = kSteps[name[0] - 'A'];
    size_t i = 1;
    if (name[i] == '#') step += 1, ++i;
    else if (name[i] == 'b') step -= 1, ++i;
    if (i + 1 != name.size() || name[i] < '0' || name[i] > '8') return -1;
    return (name[i] - '0' + 1) * 12 + step;
}

void AddPanned(TStereo& out, const std::vector<float>& note, long start, double gain, double pan, bool wrap) {
    const double gl = gain * std::cos(pan * kPi / 2), gr = gain * std::sin(pan * kPi / 2);
    const long n = long(out.Frames());
    if (n == 0) return;
    for (size_t i = 0; i < note.size(); ++i) {
        long at = start + long(i);
        if (wrap) {
            at %= n;
            if (at < 0) at += n;
        } else if (at < 0 || at >= n) {
            continue;
        }
        out.L[size_t(at)] += float(gl * note[i]);
        out.R[size_t(at)] += float(gr * note[i]);
    }
}

double Peak(const TStereo& s) {
    double peak = 0;
    for (size_t i = 0; i < s.Frames(); ++i) peak = std::max({peak, double(std::fabs(s.L[i])), double(std::fabs(s.R[i]))});
    return peak;
}

double MomentaryLoudness(const TStereo& s, int rate) {
    const size_t window = size_t(rate) / 10, hop = size_t(rate) / 100;
    double best = 0;
    for (size_t start = 0; start < s.Frames(); start += hop) {
        const size_t end = std::min(s.Frames(), start + window);
        double sum = 0;
        for (size_t i = start; i < end; ++i) sum += double(s.L[i]) * s.L[i] + double(s.R[i]) * s.R[i];
        best = std::max(best, sum / double(2 * window));
        if (end == s.Frames()) break;
    }
    return best > 0 ? 10.0 * std::log10(best) : -200.0;
}

void Scale(TStereo& s, double gain) {
    for (size_t i = 0; i < s.Frames(); ++i) {
        s.L[i] = float(s.L[i] * gain);
        s.R[i] = float(s.R[i] * gain);
    }
}

void FadeEnds(TStereo& s, size_t fadeIn, size_t fadeOut) {
    const size_t n = s.Frames();
    for (size_t i = 0; i < std::min(fadeIn, n); ++i) {
        const float g = float(i) / float(fadeIn);
        s.L[i] *= g;
        s.R[i] *= g;
    }
    for (size_t i = 0; i < std::min(fadeOut, n); ++i) {
        const float g = float(i) / float(fadeOut);
        s.L[n - 1 - i] *= g;
        s.R[n - 1 - i] *= g;
    }
}

std::vector<int16_t> ToPcm16(const TStereo& s, uint64_t seed) {
    TNoise noise(seed);
    std::vector<int16_t> out(s.Frames() * 2);
    auto convert = [&](float v) {
        const double dither = 0.5 * (noise.Next() + noise.Next());  // triangular, +-1 LSB
        return int16_t(std::clamp(std::lround(double(v) * 32767.0 + dither), -32767L, 32767L));
    };
    for (size_t i = 0; i < s.Frames(); ++i) {
        out[2 * i] = convert(s.L[i]);
        out[2 * i + 1] = convert(s.R[i]);
    }
    return out;
}

} // namespace zelkor::music
