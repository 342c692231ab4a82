#include "game/AudioCues.h"

#include <filesystem>

namespace zelkor::game {

TAudioCues::TAudioCues(const TSceneState& state, TWaveList& waves, TMP3In& input, TStreamOut& output,
                       std::vector<std::string> folders)
    : s_(state), waves_(waves), input_(input), output_(output), folders_(std::move(folders)) {
    if (folders_.empty()) folders_.push_back("");
}

std::string TAudioCues::PathOf(Theme theme) const {
    for (const std::string& folder : folders_) {
        std::error_code ec;
        if (std::filesystem::exists(folder + FileOf(theme), ec)) return folder + FileOf(theme);
    }
    return folders_.front() + FileOf(theme);
}

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
        input_.SetFileName(PathOf(theme));
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
