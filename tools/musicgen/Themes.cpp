#include "tools/musicgen/Themes.h"

#include "tools/musicgen/Score.h"

namespace zelkor::music {

namespace {

// Lute or harp broken chords in eighths over each change.
void Arpeggio(TScore& s, Instrument voice, const std::vector<TChange>& changes, int low, const std::vector<int>& pattern,
              double step, double velocity, double gain, double pan) {
    for (const TChange& c : changes) {
        const std::vector<int> tones = ChordTones(c.Chord, low, 6);
        int k = 0;
        for (double b = 0; b < c.Beats - 1e-9; b += step, ++k) {
            const int tone = tones[size_t(pattern[size_t(k) % pattern.size()]) % tones.size()];
            // The first note of each change a little stronger.
            const double v = velocity * (k == 0 ? 1.15 : (k % 2 == 0 ? 1.0 : 0.88));
            s.Add({voice, c.Beat + b, step * 1.6, tone, v, gain, pan, true});
        }
    }
}

// Held chords, two detuned layers spread left and right.
void Pads(TScore& s, const std::vector<TChange>& changes, int low, int count, double velocity, double gain) {
    for (const TChange& c : changes)
        for (int tone : ChordTones(c.Chord, low, count)) {
            s.Add({Instrument::Pad, c.Beat, c.Beats, tone, velocity, gain, 0.3, false});
            s.Add({Instrument::Pad, c.Beat, c.Beats, tone, velocity, gain * 0.8, 0.7, false});
        }
}

// The root in the bass: held over the change, or on the first and third beats.
void Bassline(TScore& s, const std::vector<TChange>& changes, int low, bool walking, double velocity, double gain) {
    for (const TChange& c : changes) {
        const int root = ChordTones(c.Chord, low, 1)[0];
        if (!walking || c.Beats < 4) {
            s.Add({Instrument::Bass, c.Beat, c.Beats * 0.95, root, velocity, gain, 0.5, false});
            continue;
        }
        const int fifth = ChordTones(c.Chord, root + 1, 2)[1];
        s.Add({Instrument::Bass, c.Beat, 1.9, root, velocity, gain, 0.5, false});
        s.Add({Instrument::Bass, c.Beat + 2, 1.9, fifth - 12 >= low ? fifth - 12 : fifth, velocity * 0.85, gain, 0.5, false});
    }
}

void Drums(TScore& s, int firstBar, int bars, double velocity) {
    for (int bar = firstBar; bar < firstBar + bars; ++bar) {
        const double b = bar * 4.0;
        s.Add({Instrument::Drum, b, 0.5, 38, velocity, 0.55, 0.45, true});
        s.Add({Instrument::Drum, b + 2, 0.5, 40, velocity * 0.7, 0.55, 0.45, true});
        s.Add({Instrument::Drum, b + 3.5, 0.5, 43, velocity * 0.45, 0.5, 0.55, true});
    }
}

std::vector<TChange> Join(std::vector<TChange> a, const std::vector<TChange>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

} // namespace

TStereo TitleTheme() {
    TScore s(80, 4);
    // Four sections of eight bars: A, A' (to the tonic), B (in F), A again,
    // whose last bar (A major) leads back into the first.
    const char* chordsA = "Dm C G Dm F C Gm A";
    const char* chordsA2 = "Dm C G Dm F C Gm/A Dm";
    const char* chordsB = "F C Dm Am Bb F Gm A";
    const auto a1 = s.Chords(0, chordsA), a2 = s.Chords(8, chordsA2), b = s.Chords(16, chordsB), a3 = s.Chords(24, chordsA);

    const char* tuneA = "D5:1.5 E5:.5 F5 D5  E5 C5 G4:2  D5:1.5 B4:.5 G4 B4  A4:3 r  "
                        "F5:1.5 G5:.5 A5 F5  G5 E5 C5:2  D5 Bb4 G4 Bb4  A4:2 C#5 E5";
    const char* tuneA2 = "D5:1.5 E5:.5 F5 D5  E5 C5 G4:2  D5:1.5 B4:.5 G4 B4  A4:3 r  "
                         "A5:1.5 G5:.5 F5 A5  G5:1.5 F5:.5 E5 C5  D5 Bb4 C#5 E5  D5:4";
    const char* tuneB = "A5:2 G5 F5  E5:1.5 F5:.5 G5:2  F5 E5 D5 F5  E5:3 C5  "
                        "D5:1.5 E5:.5 F5 D5  C5 F5 A5:2  G5:1.5 F5:.5 E5 D5  E5:2 C#5 A4";

    // The melody: flute, then harp with a bell, flute again, and flute over
    // harp an octave below for the return.
    s.Melody(Instrument::Flute, 0, tuneA, 0.75, 0.9, 0.5);
    s.Melody(Instrument::Harp, 32, tuneA2, 0.8, 0.9, 0.55);
    s.Melody(Instrument::Bell, 32, tuneA2, 0.35, 0.18, 0.6, 12);
    s.Melody(Instrument::Flute, 64, tuneB, 0.8, 0.9, 0.5);
    s.Melody(Instrument::Flute, 96, tuneA, 0.8, 0.9, 0.48);
    s.Melody(Instrument::Harp, 96, tuneA, 0.55, 0.45, 0.62, -12);

    // Lute broken chords throughout, lighter in the first section.
    const std::vector<int> lute = {0, 2, 1, 2, 3, 2, 1, 2};
    Arpeggio(s, Instrument::Lute, a1, 50, lute, 0.5, 0.5, 0.55, 0.35);
    Arpeggio(s, Instrument::Lute, Join(Join(a2, b), a3), 50, lute, 0.5, 0.62, 0.55, 0.35);
    // Drone bass, walking from the second section on.
    Bassline(s, a1, 38, false, 0.6, 0.55);
    Bassline(s, Join(Join(a2, b), a3), 38, true, 0.65, 0.55);
    // Strings behind the tune from the second section on.
    Pads(s, Join(Join(a2, b), a3), 55, 3, 0.55, 0.35);
    // The frame drum marks the steps of the B section and the return.
    Drums(s, 16, 16, 0.6);
    return RenderLoop(s, 32, kMusicRate, TRoom{0.84, 0.35, 0.28, 0.025}, 0x7117E);
}

TStereo MainTheme() {
    TScore s(66, 4);
    const char* p1 = "Fmaj7 Am7 Bbmaj7 Csus4 Dm7 Am7 Gm7 Csus4/C";
    const char* p2 = "Dm7 Bbmaj7 Fmaj7 C Gm7 Bbmaj7 Dm7 Csus4/C";
    // Five sections: chords alone, celesta, flute in the relative minor,
    // flute and celesta, chords with a few bells, back to the start.
    const auto a = s.Chords(0, p1), b = s.Chords(8, p1), c = s.Chords(16, p2), d = s.Chords(24, p1), e = s.Chords(32, p1);
    const auto all = Join(Join(Join(Join(a, b), c), d), e);

    const char* m1 = "A5:2 G5 F5  E5:3 C5  D5:2 F5 A5  G5:4  F5:2 E5 D5  C5:2 E5 G5  F5:2 D5 Bb4  C5:3 r";
    const char* m2 = "C6:3 A5  G5:2 E5:2  F5:1.5 G5:.5 A5:2  G5:4  A5:2 C6 A5  G5:2 E5 C5  D5 F5 Bb5 A5  G5:2 E5:2";
    const char* m3 = "F5:2 E5 D5  D5:3 C5  C5:2 A4:2  G4:2 C5 E5  D5:2 F5 G5  A5:3 F5  E5:2 F5 A5  G5:4";
    const char* bells = "r:4 r:4 A5:4 r:4 F5:4 r:4 D5:4 r:4";

    s.Melody(Instrument::Celesta, 32, m1, 0.6, 0.75, 0.55);
    s.Melody(Instrument::Flute, 64, m3, 0.6, 0.7, 0.45);
    s.Melody(Instrument::Flute, 96, m2, 0.62, 0.7, 0.45);
    s.Melody(Instrument::Celesta, 96, "r:8 A4:4 r:4 G4:4 r:8 E4:4", 0.45, 0.5, 0.65);
    s.Melody(Instrument::Bell, 128, bells, 0.4, 0.22, 0.6);

    const std::vector<int> rising = {0, 1, 2, 3, 4, 3, 2, 1};
    Arpeggio(s, Instrument::Harp, all, 53, rising, 0.5, 0.42, 0.5, 0.62);
    Pads(s, all, 53, 4, 0.5, 0.4);
    Bassline(s, Join(Join(Join(b, c), d), e), 36, false, 0.5, 0.5);
    Bassline(s, a, 36, false, 0.35, 0.5);
    return RenderLoop(s, 40, kMusicRate, TRoom{0.87, 0.45, 0.34, 0.03}, 0x3A17);
}

} // namespace zelkor::music
