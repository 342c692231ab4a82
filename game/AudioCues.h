#pragma once
// The game's sound effects and music cues: which effect plays, which
// theme starts and stops, gated by the player's options. Every audio error
// is swallowed: sound problems never reach the player.

#include <functional>
#include <set>
#include <string>

#include "audio/Mp3Input.h"
#include "audio/StreamAudio.h"
#include "audio/WaveSounds.h"
#include "game/Records.h"

namespace zelkor::game {

class TAudioCues {
public:
    // `folder` is where the theme files lie (the program's own folder, ending in '/').
    TAudioCues(const TSceneState& state, TWaveList& waves, TMP3In& input, TStreamOut& output, std::string folder);

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
    std::string folder_;
    std::set<std::string> reported_;
};

} // namespace zelkor::game
