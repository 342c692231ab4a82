// The game's sound and music cues on a real (disk) audio device: the
// options gate them, a missing theme leaves silence without an error, and
// a new theme replaces the one playing.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "game/AudioCues.h"
#include "game/embedded/EmbeddedFiles.h"
#include "tests/audio/AudioFixture.h"

using namespace zelkor;
using namespace zelkor::game;
using namespace zelkor::testing_support;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

class AudioCuesTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetDefaultOptions(state);
        ASSERT_TRUE(device.Initialize()) << device.LastError();
        waves.SetSoundDevice(&device);
        for (const TEmbeddedFile& file : EffectWaves()) {
            TWaveCollectionItem* item = waves.Items().Add();
            ASSERT_TRUE(item->SetWave(std::vector<uint8_t>(file.Bytes.begin(), file.Bytes.end())));
        }
        output.SetInput(&input);
        output.SetFramesInBuffer(16384);
        fs::create_directories(folder);
    }
    void TearDown() override {
        cues.StopMusic();
        fs::remove_all(folder);
    }
    // The themes as short tones in the cue's folder.
    void PutThemes() {
        fs::copy_file(ToneFile(44100, 2), folder / "title_theme.mp3", fs::copy_options::overwrite_existing);
        fs::copy_file(ToneFile(22050, 1), folder / "main_theme.mp3", fs::copy_options::overwrite_existing);
    }

    DiskAudio disk;
    TSceneState state;
    TSoundDevice device;
    TWaveList waves;
    TMP3In input;
    TStreamOut output;
    fs::path folder = fs::temp_directory_path() / ("zelkor-cues-" + std::to_string(getpid()));
    fs::path second = folder / "second";
    TAudioCues cues{state, waves, input, output, {folder.string() + "/", second.string() + "/"}};
};

} // namespace

TEST_F(AudioCuesTest, EffectsPlayOnlyWithSoundEffectsOn) {
    cues.PlaySound(3);
    EXPECT_TRUE(waves.Items()[2]->AnyPlaying());
    state.Options.SoundOn = 2;
    cues.PlaySound(4);
    EXPECT_FALSE(waves.Items()[3]->AnyPlaying());
    // Numbers outside the eight are nothing at all.
    state.Options.SoundOn = 1;
    cues.PlaySound(0);
    cues.PlaySound(9);
}

TEST_F(AudioCuesTest, AThemePlaysInALoopAndTheNextReplacesIt) {
    PutThemes();
    cues.PlayMusic(Theme::Title);
    EXPECT_EQ(output.Status(), TOutputStatus::tosPlaying);
    EXPECT_TRUE(input.Loop());
    EXPECT_EQ(fs::path(input.FileName()).filename(), "title_theme.mp3");
    cues.PlayMusic(Theme::Main);
    EXPECT_EQ(output.Status(), TOutputStatus::tosPlaying);
    EXPECT_EQ(fs::path(input.FileName()).filename(), "main_theme.mp3");
    cues.StopMusic();
    EXPECT_EQ(output.Status(), TOutputStatus::tosIdle);
}

// Each theme comes from the first folder that has it: the content's folder
// before the program's.
TEST_F(AudioCuesTest, AThemeIsReadFromTheFirstFolderThatHasIt) {
    fs::create_directories(second);
    fs::copy_file(ToneFile(44100, 2), second / "title_theme.mp3");
    fs::copy_file(ToneFile(22050, 1), second / "main_theme.mp3");
    fs::copy_file(ToneFile(22050, 1), folder / "main_theme.mp3");
    cues.PlayMusic(Theme::Title);
    EXPECT_EQ(fs::path(input.FileName()), second / "title_theme.mp3");
    cues.PlayMusic(Theme::Main);
    EXPECT_EQ(fs::path(input.FileName()), folder / "main_theme.mp3");
    EXPECT_EQ(output.Status(), TOutputStatus::tosPlaying);
}

TEST_F(AudioCuesTest, MusicOffOrAMissingThemeLeavesSilenceWithoutAnError) {
    std::vector<std::string> problems;
    cues.OnProblem = [&](const std::string& problem) { problems.push_back(problem); };
    PutThemes();
    state.Options.MusicOn = 2;
    cues.PlayMusic(Theme::Title);
    EXPECT_EQ(output.Status(), TOutputStatus::tosIdle);
    state.Options.MusicOn = 1;
    fs::remove(folder / "main_theme.mp3");
    cues.PlayMusic(Theme::Main);
    EXPECT_EQ(output.Status(), TOutputStatus::tosIdle);
    // A theme that is no MP3 at all, and an empty one.
    { std::ofstream(folder / "main_theme.mp3") << "not music"; }
    cues.PlayMusic(Theme::Main);
    EXPECT_EQ(output.Status(), TOutputStatus::tosIdle);
    { std::ofstream(folder / "main_theme.mp3", std::ios::trunc); }
    cues.PlayMusic(Theme::Main);
    cues.PlayMusic(Theme::Main);
    EXPECT_EQ(output.Status(), TOutputStatus::tosIdle);
    // Named with the file, each different failure once: the missing file,
    // then the file without music (the empty one fails the same way).
    ASSERT_EQ(problems.size(), 2u);
    for (const std::string& p : problems) EXPECT_NE(p.find("main_theme.mp3"), std::string::npos) << p;
}
