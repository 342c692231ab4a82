#pragma once
// A room: parallel damped feedback combs into series allpasses, one set
// per channel with slightly different lengths for width.

#include <vector>

#include "tools/musicgen/Signal.h"

namespace zelkor::music {

struct TRoom {
    double Size = 0.82;    // comb feedback, 0..0.98
    double Damping = 0.3;  // high-frequency loss per pass, 0..1
    double Wet = 0.25;
    double PreDelay = 0.02;  // seconds
};

// Adds the room's answer to `sound` (the dry signal stays). With `loop`,
// the sound is taken as repeating forever: the reverberation of its end
// continues into its beginning.
void AddReverb(TStereo& sound, const TRoom& room, int rate, bool loop);

} // namespace zelkor::music
