#include "game/AudioCues.h"

namespace zelkor::game {

TAudioCues::TAudioCues(const TSceneState& state, TWaveList& waves, TMP3In& input, TStreamOut& output, std::string folder)
    : s_(state), waves_(waves), input_(input), output_(output), folder_(std::move(folder)) {}

void TAudioCues::PlaySound(int n) {
    if (s_.Options.SoundOn != 1) return;
    try {
        if (TWaveCollectionItem* item = waves_.Items()[n - 1]) item->Play(false);
    } catch (...) {
        // A sound that cannot play is left out.
    }
}

void TAudioCues::PlayMusic(Theme theme) {
    if (s_.Options.MusicOn != 1) return;
    try {
        if (output_.Status() == TOutputStatus::tosPlaying) output_.Stop(false);
        input_.SetFileName(folder_ + FileOf(theme));
        if (input_.Valid()) {
            input_.SetLoop(true);
            output_.Run();
        } else {
            Report(input_.LastError());
        }
    } catch (...) {
        // No music then; the game goes on.
    }
}

void TAudioCues::Report(const std::string& problem) {
    if (!OnProblem || !reported_.insert(problem).second) return;
    OnProblem(problem);
}

void TAudioCues::StopMusic() {
    try {
        if (output_.Status() == TOutputStatus::tosPlaying) output_.Stop(false);
    } catch (...) {
    }
}

} // namespace zelkor::game
