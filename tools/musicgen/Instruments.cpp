#include "tools/musicgen/Instruments.h"

#include <algorithm>
#include <cmath>

#include "tools/musicgen/Signal.h"

namespace zelkor::music {

namespace {

size_t Samples(double seconds, int rate) { return size_t(std::max(0.0, seconds) * rate); }

// A sine by rotation: sin(w i + phase) for i = 0, 1, 2, ... without a call
// to sin per sample; the amplitude is renewed now and then against drift.
class TSine {
public:
    TSine(double w, double phase) : c_(std::cos(w)), s_(std::sin(w)), x_(std::cos(phase)), y_(std::sin(phase)) {}
    double Next() {
        const double out = y_;
        const double x = x_ * c_ - y_ * s_;
        y_ = x_ * s_ + y_ * c_;
        x_ = x;
        if (++count_ % 4096 == 0) {
            const double r = 1.0 / std::sqrt(x_ * x_ + y_ * y_);
            x_ *= r;
            y_ *= r;
        }
        return out;
    }

private:
    double c_, s_, x_, y_;
    unsigned count_ = 0;
};

// Attack-release gate: a raised-cosine rise over `attack`, full while held,
// then an exponential release with time constant `release`.
double Gate(double t, double held, double attack, double release) {
    double g = t < attack ? 0.5 - 0.5 * std::cos(kPi * t / attack) : 1.0;
    if (t > held) g *= std::exp(-(t - held) / release);
    return g;
}

// A struck or plucked string: harmonics with their own decays, brighter and
// shorter-lived up the series, slightly stretched like a real string.
std::vector<float> Plucked(const TNote& n, int rate, double pluckPoint, double ring, double damp) {
    const double f = n.Frequency;
    const double length = n.Seconds + damp * 6;
    std::vector<float> out(Samples(std::min(length, n.Seconds + ring * 4), rate));
    TNoise noise(n.Seed);
    const double nyquist = std::min(0.45 * rate, 9000.0);
    const double ring1 = ring * std::pow(220.0 / f, 0.35);
    for (int k = 1; k * f < nyquist && k <= 24; ++k) {
        const double fk = k * f * std::sqrt(1.0 + 0.00008 * k * k);
        const double amp = std::fabs(std::sin(kPi * k * pluckPoint)) / std::pow(k, 1.15) * (0.6 + 0.4 * n.Velocity);
        const double decay = ring1 / (1.0 + 0.45 * (k - 1) * (1.3 - 0.5 * n.Velocity));
        const double phase = noise.Unit() * 2 * kPi;
        TSine sine(2 * kPi * fk / rate, phase);
        // The decays as per-sample factors: ringing, then dampened after the note.
        const double ringStep = std::exp(-1.0 / (decay * rate));
        const double dampStep = std::exp(-1.0 / (damp / std::sqrt(double(k)) * rate));
        const size_t held = Samples(n.Seconds, rate);
        double env = amp;
        for (size_t i = 0; i < out.size(); ++i) {
            out[i] += float(env * sine.Next());
            env *= i < held ? ringStep : ringStep * dampStep;
            if (env < 1e-5 * amp) break;
        }
    }
    // The pluck itself: a few milliseconds of soft noise.
    const size_t click = std::min(out.size(), Samples(0.006, rate));
    double lp = 0;
    for (size_t i = 0; i < click; ++i) {
        lp += 0.3 * (noise.Next() - lp);
        out[i] += float(0.08 * n.Velocity * lp * (1.0 - double(i) / double(click)));
    }
    // No click at the onset.
    const size_t rise = std::min(out.size(), Samples(0.002, rate));
    for (size_t i = 0; i < rise; ++i) out[i] *= float(double(i) / double(rise));
    for (float& v : out) v *= float(n.Velocity * 0.5);
    return out;
}

std::vector<float> Flute(const TNote& n, int rate) {
    const double f = n.Frequency;
    const double release = 0.12;
    std::vector<float> out(Samples(n.Seconds + release * 6, rate));
    TNoise noise(n.Seed);
    static const double kHarmonics[] = {1.0, 0.32, 0.14, 0.06, 0.03, 0.015};
    double phase = noise.Unit() * 2 * kPi;
    double breath = 0, band = 0, bandV = 0;
    // A two-pole resonator tuned to the note shapes the breath.
    const double r = 0.995, theta = 2 * kPi * f / rate;
    const double a1 = 2 * r * std::cos(theta), a2 = -r * r;
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / rate;
        const double vib = 0.0035 * std::min(1.0, std::max(0.0, (t - 0.25) / 0.5)) * std::sin(2 * kPi * 5.1 * t + double(n.Seed % 7));
        phase += 2 * kPi * f * (1.0 + vib) / rate;
        const double env = Gate(t, n.Seconds, 0.07, release) * (1.0 + 0.06 * std::sin(kPi * std::min(1.0, t / std::max(0.2, n.Seconds))));
        if (t > n.Seconds && env < 1e-5) break;
        double v = 0;
        for (size_t k = 0; k < std::size(kHarmonics); ++k) {
            if (double(k + 1) * f > 0.45 * rate) break;
            // The upper harmonics speak a little late: the "chiff" of the attack.
            const double speak = std::min(1.0, t / (0.03 + 0.015 * double(k)));
            v += kHarmonics[k] * speak * std::sin(double(k + 1) * phase);
        }
        breath = noise.Next();
        const double y = breath + a1 * band + a2 * bandV;
        bandV = band;
        band = y;
        const double chiff = 1.0 + 3.0 * std::exp(-t / 0.04);
        out[i] = float(env * n.Velocity * 0.45 * (v + 0.0025 * chiff * band));
    }
    return out;
}

std::vector<float> Pad(const TNote& n, int rate) {
    const double attack = 0.9, release = 1.4;
    std::vector<float> out(Samples(n.Seconds + release * 5, rate));
    TNoise noise(n.Seed);
    const double detune[3] = {-0.004, 0.0, 0.0043};
    for (double d : detune) {
        const double f = n.Frequency * (1.0 + d);
        for (int k = 1; k <= 10 && k * f < 0.45 * rate; ++k) {
            const double amp = std::exp(-double(k) / 3.2) / k;
            TSine sine(2 * kPi * f * k / rate, noise.Unit() * 2 * kPi);
            for (float& v : out) v += float(amp * sine.Next());
        }
    }
    const double lfoPhase = noise.Unit() * 2 * kPi;
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / rate;
        const double env = Gate(t, n.Seconds, attack, release) * (1.0 + 0.08 * std::sin(2 * kPi * 0.23 * t + lfoPhase));
        out[i] = float(out[i] * env * n.Velocity * 0.22);
    }
    return out;
}

// Two-operator FM with a decaying modulation index.
std::vector<float> Fm(const TNote& n, int rate, double ratio, double index, double indexDecay, double decay,
                      double release) {
    const double f = n.Frequency;
    const double ring = decay * std::pow(440.0 / f, 0.3);
    std::vector<float> out(Samples(std::min(n.Seconds + release * 6, ring * 5), rate));
    TNoise noise(n.Seed);
    double phase = noise.Unit() * 2 * kPi;
    const double wc = 2 * kPi * f / rate, wm = 2 * kPi * f * ratio / rate;
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / rate;
        const double I = index * (0.3 + 0.7 * std::exp(-t / indexDecay)) * (0.5 + 0.5 * n.Velocity);
        const double env = Gate(t, n.Seconds, 0.0015, release) * std::exp(-t / ring);
        out[i] = float(env * n.Velocity * 0.5 * std::sin(wc * double(i) + I * std::sin(wm * double(i) + phase)));
    }
    return out;
}

std::vector<float> Bass(const TNote& n, int rate) {
    const double release = 0.25;
    std::vector<float> out(Samples(n.Seconds + release * 6, rate));
    const double w = 2 * kPi * n.Frequency / rate;
    TSine h1(w, 0), h2(2 * w, 0), h3(3 * w, 0);
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / rate;
        const double env = Gate(t, n.Seconds, 0.03, release) * (0.65 + 0.35 * std::exp(-t / 0.8));
        out[i] = float(env * n.Velocity * 0.6 * (h1.Next() + 0.28 * h2.Next() + 0.08 * h3.Next()));
    }
    return out;
}

std::vector<float> Drum(const TNote& n, int rate) {
    std::vector<float> out(Samples(0.9, rate));
    TNoise noise(n.Seed);
    double phase = 0, lp = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / rate;
        phase += 2 * kPi * n.Frequency * (1.0 + 0.7 * std::exp(-t / 0.025)) / rate;
        const double body = std::sin(phase) * std::exp(-t / 0.2);
        const double x = noise.Next();
        lp += 0.25 * (x - lp);
        const double slap = lp * std::exp(-t / 0.018);
        const double rise = std::min(1.0, t / 0.001);
        out[i] = float(rise * n.Velocity * (0.7 * body + 0.25 * slap));
    }
    return out;
}

// A small hard block: a handful of inharmonic modes that die within
// a tenth of a second, and the tap's noise.
std::vector<float> Wood(const TNote& n, int rate) {
    std::vector<float> out(Samples(0.5, rate));
    TNoise noise(n.Seed);
    struct Mode {
        double ratio, amp, decay;
    } modes[] = {{1.0, 1.0, 0.055}, {2.32, 0.55, 0.03}, {4.25, 0.35, 0.018}, {6.9, 0.2, 0.01}, {9.6, 0.1, 0.006}};
    for (const Mode& m : modes) {
        const double f = n.Frequency * m.ratio;
        if (f > 0.45 * rate) continue;
        const double phase = noise.Unit() * 0.5;
        for (size_t i = 0; i < out.size(); ++i) {
            const double t = double(i) / rate;
            const double env = std::exp(-t / (m.decay * (0.8 + 0.4 * n.Seconds)));
            if (env < 1e-5) break;
            out[i] += float(m.amp * env * std::sin(2 * kPi * f * t + phase));
        }
    }
    double lp = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / rate;
        lp += 0.5 * (noise.Next() - lp);
        out[i] += float(0.35 * lp * std::exp(-t / 0.003));
        out[i] *= float(n.Velocity * 0.5 * std::min(1.0, t / 0.0005));
    }
    return out;
}

} // namespace

std::vector<float> Render(Instrument instrument, const TNote& note, int rate) {
    switch (instrument) {
    case Instrument::Lute: return Plucked(note, rate, 0.18, 1.6, 0.09);
    case Instrument::Harp: return Plucked(note, rate, 0.3, 2.6, 0.7);
    case Instrument::Flute: return Flute(note, rate);
    case Instrument::Pad: return Pad(note, rate);
    case Instrument::Bell: return Fm(note, rate, 3.5, 2.2, 0.25, 2.4, 1.5);
    case Instrument::Celesta: return Fm(note, rate, 1.0, 1.4, 0.35, 1.6, 0.6);
    case Instrument::Bass: return Bass(note, rate);
    case Instrument::Drum: return Drum(note, rate);
    case Instrument::Wood: return Wood(note, rate);
    }
    return {};
}

} // namespace zelkor::music
