// zelkor-musicgen: composes, plays and encodes the game's music and makes
// its sound effects.
//   zelkor-musicgen DATADIR [title|main|effects ...]
// writes DATADIR/title_theme.mp3, DATADIR/main_theme.mp3 and
// DATADIR/sounds/sound_1.wav .. sound_8.wav (all of them when no part is
// named), and prints the length, peak and loudness of each. The output is
// the same on every run.

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <stdexcept>
#include <string>

#include "audio/WaveFile.h"
#include "tools/musicgen/Effects.h"
#include "tools/musicgen/Mp3Encoder.h"
#include "tools/musicgen/Themes.h"

using namespace zelkor;
using namespace zelkor::music;

namespace {

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    const std::string temporary = path + ".new";
    {
        std::ofstream f(temporary, std::ios::binary | std::ios::trunc);
        f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        if (!f) return false;
    }
    std::error_code ec;
    std::filesystem::rename(temporary, path, ec);
    return !ec;
}

double Db(double v) { return v > 0 ? 20 * std::log10(v) : -200.0; }

bool Theme(const std::string& path, TStereo music) {
    // Headroom for the encoder: its output may overshoot the input's peaks.
    Scale(music, std::pow(10.0, -3.0 / 20.0) / Peak(music));
    const std::vector<int16_t> pcm = ToPcm16(music, 0x5EED);
    std::vector<uint8_t> mp3;
    std::string error;
    if (!EncodeMp3(pcm, kMusicRate, 2, mp3, error) || !WriteFile(path, mp3)) {
        std::fprintf(stderr, "zelkor-musicgen: %s: %s\n", path.c_str(), error.empty() ? "cannot write" : error.c_str());
        return false;
    }
    std::printf("%s: %.2f s, %zu samples, peak %.1f dBFS, loudest moment %.1f dBFS, %zu bytes\n", path.c_str(),
                double(music.Frames()) / kMusicRate, music.Frames(), Db(Peak(music)),
                MomentaryLoudness(music, kMusicRate), mp3.size());
    return true;
}

bool WriteEffects(const std::string& folder) {
    std::filesystem::create_directories(folder);
    const std::array<TStereo, 8> fx = Effects();
    TPcmFormat format;
    format.Channels = 2;
    format.Rate = kEffectRate;
    format.Bits = 16;
    for (size_t i = 0; i < fx.size(); ++i) {
        const std::vector<int16_t> pcm = ToPcm16(fx[i], 0xEF + i);
        std::vector<uint8_t> bytes(pcm.size() * 2);
        for (size_t k = 0; k < pcm.size(); ++k) {
            bytes[2 * k] = uint8_t(uint16_t(pcm[k]) & 0xFF);
            bytes[2 * k + 1] = uint8_t(uint16_t(pcm[k]) >> 8);
        }
        const std::string path = folder + "/sound_" + std::to_string(i + 1) + ".wav";
        if (!WriteFile(path, MakeWave(format, bytes))) {
            std::fprintf(stderr, "zelkor-musicgen: cannot write %s\n", path.c_str());
            return false;
        }
        std::printf("%s: %.3f s, %zu data bytes, peak %.1f dBFS, loudest moment %.1f dBFS\n", path.c_str(),
                    double(fx[i].Frames()) / kEffectRate, bytes.size(), Db(Peak(fx[i])),
                    MomentaryLoudness(fx[i], kEffectRate));
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: zelkor-musicgen DATADIR [title|main|effects ...]\n");
        return 2;
    }
    const std::string data = argv[1];
    std::set<std::string> parts;
    for (int i = 2; i < argc; ++i) {
        const std::string part = argv[i];
        if (part != "title" && part != "main" && part != "effects") {
            std::fprintf(stderr, "zelkor-musicgen: unknown part '%s' (title, main or effects)\n", part.c_str());
            return 2;
        }
        parts.insert(part);
    }
    if (parts.empty()) parts = {"title", "main", "effects"};
    std::filesystem::create_directories(data);
    const auto start = std::chrono::steady_clock::now();
    bool ok = true;
    try {
        if (parts.count("title")) ok = Theme(data + "/title_theme.mp3", TitleTheme()) && ok;
        if (parts.count("main")) ok = Theme(data + "/main_theme.mp3", MainTheme()) && ok;
        if (parts.count("effects")) ok = WriteEffects(data + "/sounds") && ok;
    } catch (const std::exception& e) {
        // A mistake in a score: a bad note, length or chord symbol.
        std::fprintf(stderr, "zelkor-musicgen: %s\n", e.what());
        return 1;
    }
    std::printf("done in %.1f s\n", std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    return ok ? 0 : 1;
}
