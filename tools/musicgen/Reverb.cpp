#include "tools/musicgen/Reverb.h"

#include <algorithm>
#include <cmath>

namespace zelkor::music {

namespace {

class TComb {
public:
    explicit TComb(size_t length) : buffer_(length, 0.0f) {}
    float Process(float in, float feedback, float damping) {
        const float out = buffer_[pos_];
        store_ = out * (1.0f - damping) + store_ * damping;
        buffer_[pos_] = in + store_ * feedback;
        pos_ = (pos_ + 1) % buffer_.size();
        return out;
    }

private:
    std::vector<float> buffer_;
    size_t pos_ = 0;
    float store_ = 0;
};

class TAllpass {
public:
    explicit TAllpass(size_t length) : buffer_(length, 0.0f) {}
    float Process(float in) {
        const float delayed = buffer_[pos_];
        const float out = delayed - in;
        buffer_[pos_] = in + delayed * 0.5f;
        pos_ = (pos_ + 1) % buffer_.size();
        return out;
    }

private:
    std::vector<float> buffer_;
    size_t pos_ = 0;
};

class TChannel {
public:
    TChannel(int rate, int spread) {
        // Lengths at 44.1 kHz, mutually prime so that their echoes do not line up.
        static const int kCombs[] = {1103, 1171, 1259, 1327, 1409, 1483, 1543, 1613};
        static const int kAllpasses[] = {547, 433, 337, 223};
        const double k = rate / 44100.0;
        for (int c : kCombs) combs_.emplace_back(size_t((c + spread) * k));
        for (int a : kAllpasses) allpasses_.emplace_back(size_t((a + spread) * k));
    }
    float Process(float in, float feedback, float damping) {
        float out = 0;
        for (TComb& c : combs_) out += c.Process(in, feedback, damping);
        for (TAllpass& a : allpasses_) out = a.Process(out);
        return out;
    }

private:
    std::vector<TComb> combs_;
    std::vector<TAllpass> allpasses_;
};

} // namespace

void AddReverb(TStereo& sound, const TRoom& room, int rate, bool loop) {
    const size_t n = sound.Frames();
    if (n == 0) return;
    TChannel left(rate, 0), right(rate, 23);
    const size_t pre = std::min(n - 1, size_t(room.PreDelay * rate));
    const float feedback = float(room.Size), damping = float(room.Damping);
    const float gain = float(room.Wet * 0.12);
    TStereo wet(n);
    // Once around the loop first, so that the second pass starts with the
    // room already ringing from the end.
    const int passes = loop ? 2 : 1;
    for (int pass = 0; pass < passes; ++pass)
        for (size_t i = 0; i < n; ++i) {
            float in = 0;
            if (i >= pre) in = sound.L[i - pre] + sound.R[i - pre];
            else if (loop) in = sound.L[n - pre + i] + sound.R[n - pre + i];
            const float l = left.Process(in * gain, feedback, damping);
            const float r = right.Process(in * gain, feedback, damping);
            if (pass == passes - 1) {
                wet.L[i] = l;
                wet.R[i] = r;
            }
        }
    for (size_t i = 0; i < n; ++i) {
        sound.L[i] += wet.L[i];
        sound.R[i] += wet.R[i];
    }
}

} // namespace zelkor::music
