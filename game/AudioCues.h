#pragma once
// The game's sound effects and music cues: which effect plays, which
// theme starts and stops, gated by the player's options. Every audio error
// is swallowed: sound problems never reach the player.

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "audio/Mp3Input.h"
#include "audio/StreamAudio.h"
#include "audio/WaveSounds.h"
#include "game/logic/Records.h"

namespace zelkor::game {

class TAudioCues {
public:
    // `folders` are where the theme files may lie, each ending in '/' (or
    // empty for the current folder): each theme is read from the first
    // folder that has it, or named from the first when none has.
    TAudioCues(const TSceneState& state, TWaveList& waves, TMP3In& input, TStreamOut& output,
               std::vector<std::string> folders);

    // Effect n (1..8) when sound effects are on; never waits for it.
    void PlaySound(int n);
    // The theme in a loop when music is on, replacing what plays.
    void PlayMusic(Theme theme);
    // Stops the music if it plays, waiting until its worker has stopped.
    void StopMusic();

    static const char* FileOf(Theme theme) { return theme == Theme::Title ? "title_theme.mp3" : "main_theme.mp3"; }

    // A theme that cannot be played, named with the reason, once per file;
    // the game goes on without it.
    std::function<void(const std::string& problem)> OnProblem;

private:
    void Report(const std::string& problem);

    const TSceneState& s_;
    TWaveList& waves_;
    TMP3In& input_;
    TStreamOut& output_;
    std::string PathOf(Theme theme) const;

    std::vector<std::string> folders_;
    std::set<std::string> reported_;
};

} // namespace zelkor::game
