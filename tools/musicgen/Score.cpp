#include "tools/musicgen/Score.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <stdexcept>

namespace zelkor::music {

namespace {

// The words of a line, split at spaces.
std::vector<std::string_view> Words(std::string_view text) {
    std::vector<std::string_view> words;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && text[i] == ' ') ++i;
        if (i >= text.size()) break;
        size_t end = text.find(' ', i);
        if (end == std::string_view::npos) end = text.size();
        words.push_back(text.substr(i, end - i));
        i = end;
    }
    return words;
}

} // namespace

bool ParseChord(std::string_view symbol, TChord& chord) {
    static const int kSteps[7] = {9, 11, 0, 2, 4, 5, 7};
    if (symbol.empty() || symbol[0] < 'A' || symbol[0] > 'G') return false;
    int root = kSteps[symbol[0] - 'A'];
    size_t i = 1;
    if (i < symbol.size() && symbol[i] == '#') root += 1, ++i;
    else if (i < symbol.size() && symbol[i] == 'b') root += 11, ++i;
    const std::string_view quality = symbol.substr(i);
    chord.Root = root % 12;
    if (quality.empty()) chord.Intervals = {0, 4, 7};
    else if (quality == "m") chord.Intervals = {0, 3, 7};
    else if (quality == "7") chord.Intervals = {0, 4, 7, 10};
    else if (quality == "m7") chord.Intervals = {0, 3, 7, 10};
    else if (quality == "maj7") chord.Intervals = {0, 4, 7, 11};
    else if (quality == "sus4") chord.Intervals = {0, 5, 7};
    else if (quality == "sus2") chord.Intervals = {0, 2, 7};
    else if (quality == "add9") chord.Intervals = {0, 4, 7, 14};
    else return false;
    return true;
}

std::vector<int> ChordTones(const TChord& chord, int low, int count) {
    std::vector<int> pitches;
    for (int octave = 0; octave < 10 && int(pitches.size()) < count + 8; ++octave)
        for (int interval : chord.Intervals) {
            const int base = low - ((low - chord.Root) % 12 + 12) % 12;  // the root at or below `low`
            const int p = base + octave * 12 + interval;
            if (p >= low) pitches.push_back(p);
        }
    std::sort(pitches.begin(), pitches.end());
    pitches.erase(std::unique(pitches.begin(), pitches.end()), pitches.end());
    pitches.resize(size_t(std::min<int>(count, int(pitches.size()))));
    return pitches;
}

double TScore::Melody(Instrument voice, double beat, std::string_view text, double velocity, double gain, double pan,
                      int transpose) {
    for (const std::string_view token : Words(text)) {
        const size_t colon = token.find(':');
        const std::string_view name = token.substr(0, colon);
        double beats = 1;
        if (colon != std::string_view::npos) {
            const std::string length(token.substr(colon + 1));
            char* stop = nullptr;
            beats = std::strtod(length.c_str(), &stop);
            if (length.empty() || *stop != '\0' || !(beats > 0)) throw std::invalid_argument("bad length in " + std::string(token));
        }
        if (name != "r") {
            const int note = NoteNumber(name);
            if (note < 0) throw std::invalid_argument("bad note " + std::string(token));
            // Phrase shape: notes longer than a beat lean a little louder.
            const double lean = std::min(0.1, 0.04 * (beats - 1));
            Add({voice, beat, beats, note + transpose, std::min(1.0, velocity + lean), gain, pan, true});
        }
        beat += beats;
    }
    return beat;
}

std::vector<TChange> TScore::Chords(int bar, std::string_view text) const {
    std::vector<TChange> changes;
    for (const std::string_view token : Words(text)) {
        const size_t slash = token.find('/');
        const double start = double(bar) * beatsPerBar_;
        std::vector<std::string_view> parts = {token.substr(0, slash)};
        if (slash != std::string_view::npos) parts.push_back(token.substr(slash + 1));
        const double each = double(beatsPerBar_) / double(parts.size());
        for (size_t k = 0; k < parts.size(); ++k) {
            TChord chord;
            if (!ParseChord(parts[k], chord)) throw std::invalid_argument("bad chord " + std::string(parts[k]));
            changes.push_back({start + double(k) * each, each, chord});
        }
        ++bar;
    }
    return changes;
}

TStereo RenderLoop(const TScore& score, int bars, int rate, const TRoom& room, uint64_t seed) {
    const double seconds = bars * score.BeatsPerBar() * score.SecondsPerBeat();
    TStereo out(size_t(std::lround(seconds * rate)));
    uint64_t index = 0;
    for (const TEvent& e : score.Events()) {
        const uint64_t h = Mix(seed, index++, uint64_t(e.Note));
        TNoise vary(h);
        const double jitter = e.Loose ? 0.006 * vary.Next() : 0.0;
        const double velocity = std::clamp(e.Velocity * (e.Loose ? 1.0 + 0.07 * vary.Next() : 1.0), 0.05, 1.0);
        TNote note{NoteFrequency(e.Note), e.Beats * score.SecondsPerBeat(), velocity, h};
        const std::vector<float> samples = Render(e.Voice, note, rate);
        const long start = std::lround((e.Beat * score.SecondsPerBeat() + jitter) * rate);
        AddPanned(out, samples, start, e.Gain, e.Pan, true);
    }
    AddReverb(out, room, rate, true);
    return out;
}

} // namespace zelkor::music
