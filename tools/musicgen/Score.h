#pragma once
// A piece as notes on a beat grid, and its rendering into a seamless loop.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tools/musicgen/Instruments.h"
#include "tools/musicgen/Reverb.h"
#include "tools/musicgen/Signal.h"

namespace zelkor::music {

struct TEvent {
    Instrument Voice = Instrument::Lute;
    double Beat = 0;   // onset, from the start of the piece
    double Beats = 1;  // held for
    int Note = 60;
    double Velocity = 0.8;
    double Gain = 1.0;
    double Pan = 0.5;
    bool Loose = true;  // played by hand: onset and velocity vary a little
};

// A chord symbol: root and quality, e.g. "Dm", "Bb", "Fmaj7", "Am7", "Csus4".
struct TChord {
    int Root = 0;                 // pitch class, C = 0
    std::vector<int> Intervals;   // from the root, ascending, the root (0) first
};
// False for a symbol it does not know.
bool ParseChord(std::string_view symbol, TChord& chord);
// The chord's tones from the lowest one at or above `low`, `count` of them,
// climbing through the octaves.
std::vector<int> ChordTones(const TChord& chord, int low, int count);

// One chord held over part of a bar.
struct TChange {
    double Beat;
    double Beats;
    TChord Chord;
};

class TScore {
public:
    TScore(double bpm, int beatsPerBar) : bpm_(bpm), beatsPerBar_(beatsPerBar) {}

    double Bpm() const { return bpm_; }
    int BeatsPerBar() const { return beatsPerBar_; }
    double SecondsPerBeat() const { return 60.0 / bpm_; }

    void Add(const TEvent& e) { events_.push_back(e); }
    // "D5:1.5 E5:.5 F5 r:2 ..." from `beat` on: a note name or "r" (a rest),
    // then ":" and its length in beats (1 when left out). Returns the beat
    // after the last note. Throws std::invalid_argument on a bad token.
    double Melody(Instrument voice, double beat, std::string_view text, double velocity, double gain, double pan,
                  int transpose = 0);
    // Bars of chords, "Dm C G Dm": one symbol per bar, or "Gm/A" for two
    // halves. Returns the changes from `bar` on.
    std::vector<TChange> Chords(int bar, std::string_view text) const;

    const std::vector<TEvent>& Events() const { return events_; }

private:
    double bpm_;
    int beatsPerBar_;
    std::vector<TEvent> events_;
};

// Renders `bars` bars as a loop: notes that ring past the end come back in
// at the beginning, and the room's reverberation too, so the last sample
// joins the first as any two neighbours do.
TStereo RenderLoop(const TScore& score, int bars, int rate, const TRoom& room, uint64_t seed);

} // namespace zelkor::music
