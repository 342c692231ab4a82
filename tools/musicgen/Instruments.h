#pragma once
// The instruments: each renders one note as mono float samples from its
// onset, including the ring after the note is let go.

#include <cstdint>
#include <vector>

namespace zelkor::music {

enum class Instrument {
    Lute,     // plucked, dampened when the note ends
    Harp,     // plucked, left to ring
    Flute,    // breathy, with a delayed vibrato
    Pad,      // soft bowed strings, slow attack and release
    Bell,     // FM, inharmonic, long decay
    Celesta,  // FM, harmonic, a soft struck tine
    Bass,     // round, a sine with a little of its overtones
    Drum,     // a frame drum: a falling low tone and a skin slap
    Wood,     // a hard wooden knock (modes of a small block)
};

struct TNote {
    double Frequency = 440.0;
    double Seconds = 0.5;   // held for; the ring comes on top
    double Velocity = 0.8;  // 0..1
    uint64_t Seed = 1;      // per-note variation (phases, breath, slap)
};

std::vector<float> Render(Instrument instrument, const TNote& note, int rate);

} // namespace zelkor::music
