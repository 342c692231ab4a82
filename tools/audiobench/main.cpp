// zelkor-audiobench: what the audio costs and how fast it answers.
//   zelkor-audiobench --theme FILE.mp3 [--seconds N] [--plays N]
// Streams the theme in a loop for N seconds (default 10) and prints the
// process's CPU time as a share of one core; then plays a short effect N
// times (default 20) and prints the delay from Play to the moment the mixer
// takes its first sample; then switches the playing theme N times as the
// game's music cue does (stop and wait, open, run) and prints how long each
// switch holds up the caller (a frame of the game). Uses the default output (SDL_AUDIODRIVER=dummy
// runs it without a sound card).

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "audio/Mp3Input.h"
#include "audio/StreamAudio.h"
#include "audio/WaveSounds.h"
#include "platform/Application.h"

using namespace zelkor;
using Clock = std::chrono::steady_clock;

namespace {

double CpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
}

} // namespace

int main(int argc, char** argv) {
    std::string theme;
    int seconds = 10, plays = 20;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--theme" && i + 1 < argc)
            theme = argv[++i];
        else if (a == "--seconds" && i + 1 < argc)
            seconds = std::max(1, std::atoi(argv[++i]));
        else if (a == "--plays" && i + 1 < argc)
            plays = std::max(1, std::atoi(argv[++i]));
        else {
            std::fprintf(stderr, "usage: zelkor-audiobench --theme FILE.mp3 [--seconds N] [--plays N]\n");
            return 2;
        }
    }
    if (theme.empty()) {
        std::fprintf(stderr, "zelkor-audiobench: --theme FILE.mp3 is needed\n");
        return 2;
    }
    TApplication& app = TApplication::Instance();

    // Streaming.
    TMP3In in;
    in.SetFileName(theme);
    in.SetLoop(true);
    if (!in.Valid()) {
        std::fprintf(stderr, "zelkor-audiobench: %s\n", in.LastError().c_str());
        return 1;
    }
    TStreamOut out;
    out.SetInput(&in);
    const double cpu0 = CpuSeconds();
    const auto wall0 = Clock::now();
    out.Run();
    app.ProcessUntil([&] { return Clock::now() - wall0 >= std::chrono::seconds(seconds); },
                     std::chrono::seconds(seconds + 5));
    const double cpu = CpuSeconds() - cpu0;
    const double wall = std::chrono::duration<double>(Clock::now() - wall0).count();
    const std::string error = out.LastError();
    out.Stop(false);
    if (!error.empty()) {
        std::fprintf(stderr, "zelkor-audiobench: %s\n", error.c_str());
        return 1;
    }
    std::printf("streaming %s (%d Hz, %d channels) for %.1f s: %.2f %% of one core\n", theme.c_str(),
                in.SampleRate(), in.Channels(), wall, 100.0 * cpu / wall);

    // Effects.
    TSoundDevice device;
    if (!device.Initialize()) {
        std::fprintf(stderr, "zelkor-audiobench: %s\n", device.LastError().c_str());
        return 1;
    }
    TWaveList list;
    list.SetSoundDevice(&device);
    TWaveCollectionItem* item = list.Items().Add();
    std::vector<uint8_t> pcm(22050 / 5 * 4, 0x10);  // 0.2 s, stereo 16-bit
    item->SetWave(MakeWave(TPcmFormat{2, 22050, 16}, pcm));
    std::vector<double> delays;
    for (int i = 0; i < plays; ++i) {
        // Plays land at any moment of the mixer's cycle.
        std::this_thread::sleep_for(std::chrono::milliseconds(37 + (i * 13) % 29));
        const auto before = Clock::now();
        item->Play(false);
        const TSoundBuffer* copy = nullptr;
        for (int c = 0; c < item->CopyCount(); ++c)
            if (item->Copy(c)->Playing()) copy = item->Copy(c);
        while (copy && copy->FirstMixed() < before && Clock::now() - before < std::chrono::seconds(1))
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        if (copy && copy->FirstMixed() >= before)
            delays.push_back(std::chrono::duration<double, std::milli>(copy->FirstMixed() - before).count());
        item->StopAll();
    }
    if (delays.empty()) {
        std::fprintf(stderr, "zelkor-audiobench: no effect reached the mixer\n");
        return 1;
    }
    std::sort(delays.begin(), delays.end());
    std::printf("effect start: median %.1f ms, worst %.1f ms from Play to the first sample leaving the mixer "
                "(%zu plays; the device's own buffer of %d frames at %d Hz adds %.1f ms on its way out)\n",
                delays[delays.size() / 2], delays.back(), delays.size(), device.Device().BufferFrames(),
                device.Device().Rate(), 1000.0 * device.Device().BufferFrames() / device.Device().Rate());
    // Theme switches, each while the music plays, with the effects' device
    // open as in the game (the music shares it, so a stop does not close it).
    std::vector<double> switches;
    out.Run();
    for (int i = 0; i < plays; ++i) {
        app.ProcessUntil([] { return false; }, std::chrono::milliseconds(50 + (i * 17) % 60));
        const auto before = Clock::now();
        if (out.Status() == TOutputStatus::tosPlaying) out.Stop(false);
        in.SetFileName(theme);
        if (in.Valid()) {
            in.SetLoop(true);
            out.Run();
        }
        switches.push_back(std::chrono::duration<double, std::milli>(Clock::now() - before).count());
    }
    out.Stop(false);
    std::sort(switches.begin(), switches.end());
    std::printf("theme switch: median %.1f ms, worst %.1f ms holding up the caller (%zu switches)\n",
                switches[switches.size() / 2], switches.back(), switches.size());

    return 0;
}
