#include "tools/gfxdemo/SampleContent.h"

#include <cmath>
#include <fstream>

#include "tools/pack/ArchiveWriter.h"
#include "tools/pack/FontBuilder.h"
#include "tools/pack/ImageBuilder.h"

namespace zelkor {

namespace {

constexpr const char* kFontFolder = "/usr/share/fonts/truetype/dejavu/";

uint32_t Argb(int a, int r, int g, int b) {
    auto c = [](int v) { return uint32_t(std::clamp(v, 0, 255)); };
    return c(a) << 24 | c(r) << 16 | c(g) << 8 | c(b);
}

TPixelSheet Ground() {
    TPixelSheet s;
    s.Width = 1024;
    s.Height = 768;
    for (int y = 0; y < 768; ++y)
        for (int x = 0; x < 1024; ++x) {
            const double t = y / 767.0;
            const int stripe = ((x / 32 + y / 32) % 2) * 10;
            s.Pixels.push_back(Argb(255, int(40 + 60 * t) + stripe, int(50 + 40 * t) + stripe, int(90 - 40 * t) + stripe));
        }
    return s;
}

// Twelve shaded discs with soft edges, six light and six dark.
TPixelSheet Pieces() {
    TPixelSheet s;
    s.Width = 90 * 6;
    s.Height = 90 * 2;
    s.Pixels.assign(size_t(s.Width) * size_t(s.Height), 0);
    for (int p = 0; p < 12; ++p) {
        const bool dark = p >= 6;
        const double radius = 20 + (p % 6) * 4;
        for (int y = 0; y < 90; ++y)
            for (int x = 0; x < 90; ++x) {
                const double dx = x - 44.5, dy = y - 44.5, d = std::sqrt(dx * dx + dy * dy);
                const double coverage = std::clamp(radius - d + 0.5, 0.0, 1.0);
                if (coverage <= 0) continue;
                const double light = std::clamp(1.0 - (dx + dy) / (2.5 * radius), 0.3, 1.4);
                const int base = dark ? 90 : 220;
                s.Pixels[size_t((p / 6) * 90 + y) * size_t(s.Width) + size_t((p % 6) * 90 + x)] =
                    Argb(int(255 * coverage), int(base * light), int((base - 30) * light), int((base - 70) * light));
            }
    }
    return s;
}

TPixelSheet Checker() {
    TPixelSheet s;
    s.Width = s.Height = 64;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            s.Pixels.push_back(((x / 8 + y / 8) % 2) ? Argb(255, 200, 200, 200) : Argb(255, 120, 120, 120));
    return s;
}

} // namespace

bool WriteSampleContent(const std::string& folder, const std::string& password, std::string& error) {
    TArchiveWriter writer;
    writer.SetPassword(password);
    writer.SetIvSource(TArchiveWriter::SeededIvs("demo"));
    auto image = [&](const char* key, const TPixelSheet& sheet, TImageLayout layout) {
        TArchiveEntry e;
        e.Key = key;
        e.Secure = true;
        if (!BuildImageRecord(sheet, layout, e.Bytes, error)) return false;
        writer.Add(std::move(e));
        return true;
    };
    TImageLayout whole;
    TImageLayout cells;
    cells.PatternWidth = cells.PatternHeight = 90;
    if (!image("ground", Ground(), whole) || !image("piece", Pieces(), cells) || !image("panel", Checker(), whole))
        return false;
    for (const auto& [key, file, size] :
         {std::tuple<const char*, const char*, int>{"font_title", "DejaVuSans-Bold.ttf", 24},
          std::tuple<const char*, const char*, int>{"font_text", "DejaVuSans.ttf", 16}}) {
        TFontSheet font;
        if (!BuildFontSheet(std::string(kFontFolder) + file, size, 32, 126, font, error)) return false;
        TArchiveEntry e;
        e.Key = key;
        e.RecType = 3;
        e.Secure = true;
        if (!BuildFontRecord(font.Header, font.Sheet, font.Layout, e.Bytes, error)) return false;
        writer.Add(std::move(e));
    }
    if (!writer.WriteFile(folder + "/demo.dat", error)) return false;
    std::ofstream def(folder + "/demo.def");
    def << "<?xml version=\"1.0\"?>\n<resources>\n  <group name=\"Content\">\n"
        << "    <image name=\"ground\" source=\"demo.dat\" key=\"ground\" alphalevel=\"none\"/>\n"
        << "    <image name=\"piece\" source=\"demo.dat\" key=\"piece\"/>\n"
        << "    <image name=\"panel\" source=\"demo.dat\" key=\"panel\" quality=\"medium\" alphalevel=\"none\"/>\n"
        << "    <font name=\"title\" source=\"demo.dat\" key=\"font_title\"/>\n"
        << "    <font name=\"text\" source=\"demo.dat\" key=\"font_text\"/>\n"
        << "  </group>\n</resources>\n";
    if (!def) {
        error = "cannot write " + folder + "/demo.def";
        return false;
    }
    return true;
}

} // namespace zelkor
