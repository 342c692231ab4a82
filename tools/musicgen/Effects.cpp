#include "tools/musicgen/Effects.h"

#include <algorithm>
#include <cmath>

#include "tools/musicgen/Instruments.h"
#include "tools/musicgen/Reverb.h"

namespace zelkor::music {

namespace {

struct TStrike {
    Instrument Voice;
    double At;  // seconds
    const char* Note;
    double Seconds, Velocity, Gain, Pan;
};

TStereo Compose(size_t frames, std::initializer_list<TStrike> strikes, const TRoom& room, uint64_t seed) {
    TStereo out(frames);
    uint64_t i = 0;
    for (const TStrike& s : strikes) {
        const TNote note{NoteFrequency(NoteNumber(s.Note)), s.Seconds, s.Velocity, Mix(seed, i++)};
        AddPanned(out, Render(s.Voice, note, kEffectRate), std::lround(s.At * kEffectRate), s.Gain, s.Pan, false);
    }
    AddReverb(out, room, kEffectRate, false);
    return out;
}

const TRoom kSmallRoom{0.55, 0.5, 0.12, 0.005};
const TRoom kHall{0.8, 0.35, 0.3, 0.015};

} // namespace

std::array<TStereo, 8> Effects() {
    using I = Instrument;
    std::array<TStereo, 8> fx;
    // 1: a game starts: a rising harp call answered by a bell.
    fx[0] = Compose(kEffectFrames[0],
                    {{I::Harp, 0.00, "D4", 0.4, 0.75, 1.0, 0.4}, {I::Harp, 0.09, "A4", 0.4, 0.75, 1.0, 0.5},
                     {I::Harp, 0.18, "D5", 0.5, 0.8, 1.0, 0.6}, {I::Bell, 0.30, "F#5", 0.6, 0.5, 0.5, 0.55},
                     {I::Harp, 0.30, "F#5", 0.6, 0.8, 0.9, 0.5}},
                    kHall, 1);
    // 2: an interface click: a small, soft tap.
    fx[1] = Compose(kEffectFrames[1], {{I::Wood, 0.0, "A6", 0.0, 0.6, 1.0, 0.5}, {I::Celesta, 0.0, "E7", 0.05, 0.25, 0.25, 0.5}},
                    kSmallRoom, 2);
    // 3: a wooden piece set down on the board, with a faint second touch.
    fx[2] = Compose(kEffectFrames[2],
                    {{I::Wood, 0.0, "C5", 0.6, 0.9, 1.0, 0.5}, {I::Wood, 0.0, "A3", 0.0, 0.5, 0.6, 0.5},
                     {I::Wood, 0.032, "C5", 0.3, 0.25, 0.6, 0.5}},
                    kSmallRoom, 3);
    // 4: a capture: two heavy knocks, then a short harp flourish.
    fx[3] = Compose(kEffectFrames[3],
                    {{I::Wood, 0.0, "E4", 1.0, 1.0, 1.0, 0.45}, {I::Drum, 0.0, "F2", 0.3, 0.9, 0.9, 0.5},
                     {I::Wood, 0.13, "B4", 0.8, 0.75, 0.8, 0.6}, {I::Harp, 0.32, "A5", 0.25, 0.65, 0.7, 0.6},
                     {I::Harp, 0.38, "E5", 0.25, 0.65, 0.7, 0.55}, {I::Harp, 0.44, "C5", 0.25, 0.7, 0.7, 0.5},
                     {I::Harp, 0.50, "A4", 0.9, 0.8, 0.8, 0.45}, {I::Harp, 0.50, "E4", 0.9, 0.6, 0.6, 0.4}},
                    kHall, 4);
    // 5: a promotion: a bright chime rising through the chord.
    fx[4] = Compose(kEffectFrames[4],
                    {{I::Celesta, 0.00, "C6", 0.3, 0.7, 0.8, 0.35}, {I::Celesta, 0.07, "E6", 0.3, 0.7, 0.8, 0.45},
                     {I::Celesta, 0.14, "G6", 0.3, 0.7, 0.8, 0.55}, {I::Celesta, 0.21, "C7", 0.6, 0.75, 0.7, 0.65},
                     {I::Bell, 0.21, "C6", 0.8, 0.45, 0.35, 0.5}},
                    kHall, 5);
    // 6: victory: a major chord spread on the harp over a held string chord.
    fx[5] = Compose(kEffectFrames[5],
                    {{I::Pad, 0.0, "C4", 1.0, 0.7, 0.8, 0.4}, {I::Pad, 0.0, "E4", 1.0, 0.7, 0.8, 0.6},
                     {I::Pad, 0.0, "G4", 1.0, 0.7, 0.8, 0.5}, {I::Harp, 0.00, "C4", 1.0, 0.8, 0.9, 0.4},
                     {I::Harp, 0.08, "G4", 1.0, 0.8, 0.9, 0.45}, {I::Harp, 0.16, "C5", 1.0, 0.8, 0.9, 0.5},
                     {I::Harp, 0.24, "E5", 1.0, 0.85, 0.9, 0.55}, {I::Flute, 0.32, "G5", 0.8, 0.7, 0.9, 0.5}},
                    kHall, 6);
    // 7: check: a warning bell struck twice.
    fx[6] = Compose(kEffectFrames[6],
                    {{I::Bell, 0.0, "E5", 0.3, 0.85, 1.0, 0.5}, {I::Bell, 0.0, "E4", 0.3, 0.5, 0.5, 0.5},
                     {I::Bell, 0.32, "E5", 0.3, 0.85, 1.0, 0.5}, {I::Bell, 0.32, "E4", 0.3, 0.5, 0.5, 0.5}},
                    kHall, 7);
    // 8: defeat: a falling phrase in A minor over a low string chord.
    fx[7] = Compose(kEffectFrames[7],
                    {{I::Pad, 0.0, "A3", 1.8, 0.6, 0.8, 0.4}, {I::Pad, 0.0, "C4", 1.8, 0.6, 0.8, 0.6},
                     {I::Pad, 0.0, "E4", 1.8, 0.6, 0.8, 0.5}, {I::Flute, 0.0, "E5", 0.35, 0.65, 0.9, 0.5},
                     {I::Flute, 0.38, "D5", 0.35, 0.62, 0.9, 0.5}, {I::Flute, 0.76, "C5", 0.35, 0.6, 0.9, 0.5},
                     {I::Flute, 1.14, "B4", 0.8, 0.58, 0.9, 0.5}, {I::Harp, 1.14, "A2", 1.2, 0.7, 0.8, 0.45}},
                    kHall, 8);

    // Level: the same loudness for all, as loud as the most limited one allows.
    const double ceiling = std::pow(10.0, -1.5 / 20.0);
    double target = -16.0;
    for (const TStereo& s : fx) target = std::min(target, MomentaryLoudness(s, kEffectRate) + 20 * std::log10(ceiling / Peak(s)));
    for (TStereo& s : fx) {
        Scale(s, std::pow(10.0, (target - MomentaryLoudness(s, kEffectRate)) / 20.0));
        FadeEnds(s, size_t(0.002 * kEffectRate), size_t(0.08 * kEffectRate));
    }
    return fx;
}

} // namespace zelkor::music
