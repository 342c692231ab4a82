// zelkor-gfxdemo: opens the drawing layer, loads an archive and its
// description, and draws a scene that uses every draw effect and font
// feature. It is also the drawing benchmark.
//
//   zelkor-gfxdemo [--offscreen] [--archive FILE --desc FILE] [--password P]
//                  [--screenshot FILE.png] [--bench [FRAMES]]
//
// Without --archive it makes a small sample archive of its own. In a window
// it draws until the window is closed; --screenshot writes one frame and
// exits; --bench draws a scene like the game screen (a full-screen
// background, 32 scaled pieces, 20 lines of text, 200 points) and prints
// the CPU time and the draw calls per frame.

#include <time.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "assets/AssetDb.h"
#include "render/GfxFonts.h"
#include "render/GfxImages.h"
#include "render/GfxLoader.h"
#include "platform/Application.h"
#include "platform/sdl/SdlEvents.h"
#include "render/Gfx2D.h"
#include "render/GfxDevices.h"
#include "tools/gfxdemo/SampleContent.h"
#include "tools/pack/Png.h"

using namespace zelkor;

namespace {

double ThreadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

double ProcessCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

double WallSeconds() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

struct Demo {
    TGfxDevice device;
    TGfxCanvas canvas;
    TGfxImages images;
    TGfxFonts fonts;
    TAssetDb archive;
    TGfxLoader loader;
    int frame = 0;

    TGfxFont* Font(int i) { return fonts.Font(i); }

    void Text(int font, const std::string& text, double x, double y, uint32_t top = 0xFFFFFFFF,
              uint32_t bottom = 0xFFFFFFFF) {
        if (TGfxFont* f = Font(font)) f->TextOut(text, x, y, top, bottom, fxBlend);
    }

    // Every effect on a checker panel, the piece sheet at three scales,
    // points, and text with colour codes, gradients and each style effect.
    void Showcase() {
        const TGfxImage* ground = images.Image("ground");
        const TGfxImage* piece = images.Image("piece");
        const TGfxImage* panel = images.Image("panel");
        canvas.Draw(ground, 0, 0, 0, fxCopy);
        Text(0, "Zelkor Chess drawing layer", 24, 16, 0xFF40E0FF, 0xFF2080C0);

        struct Fx {
            const char* name;
            uint32_t effect;
        };
        const Fx effects[] = {{"fxCopy", fxCopy},   {"fxBlend", fxBlend}, {"fxAdd", fxAdd},
                              {"fxShadow", fxShadow}, {"fxSub", fxSub},    {"min 0x030101", 0x00030101}};
        for (int i = 0; i < 6; ++i) {
            const double x = 24 + i * 165, y = 70;
            canvas.DrawScaled(panel, x, y, 2.0, 0, fxCopy);
            canvas.Draw(piece, x + 19, y + 19, i % 12, effects[i].effect);
            Text(1, effects[i].name, x, y + 132);
        }
        canvas.FillRect(24, 230, 300, 40, 0xFF606060, fxCopy);
        canvas.FillRect(34, 240, 280, 20, 0xFF202020, fxSub);
        Text(1, "FillRect FF202020 with fxSub", 24, 274);
        canvas.FillRect(360, 230, 300, 40, 0x80FF8000, fxBlend);
        Text(1, "FillRect half alpha with fxBlend", 360, 274);

        for (int i = 0; i < 12; ++i)
            canvas.DrawScaled(piece, 24 + i * 82, 310, 0.5 + (i % 3) * 0.25, i, fxBlend);
        for (int i = 0; i < 400; ++i) {
            const double t = i / 400.0;
            canvas.PutPixel(float(24 + t * 960), float(420 + 25 * std::sin(t * 12.566 + frame * 0.05)),
                            0xFF00FFFF, fxCopy);
        }

        Text(1, "Plain white text; #$FF0000FFred from here on; &$FFFF0000a blue lower edge.", 24, 470);
        Text(1, "0xFF00FF00Both edges green, then a vertical gradient below.", 24, 495);
        Text(0, "Gradient title", 24, 520, 0xFF00FFFF, 0xFF0000FF);
        if (TGfxFont* f = Font(1)) {
            const std::pair<TFontStyleFx, const char*> styles[] = {
                {TFontStyleFx{TFontStyle::feItalic}, "Italic"},
                {TFontStyleFx{TFontStyle::feShadow}, "Shadow"},
                {TFontStyleFx{TFontStyle::feEmboss}, "Emboss"},
                {TFontStyleFx{TFontStyle::feBold}, "Bold"},
                {TFontStyleFx{TFontStyle::feBold, TFontStyle::feShadow}, "Bold with shadow"},
            };
            f->SetShadowColor(0xFF000000);
            f->SetEmbossColor(0xFF303030);
            for (int i = 0; i < 5; ++i) {
                f->SetEffects(styles[i].first);
                f->TextOut(styles[i].second, 24 + i * 190, 570, 0xFF80FFFF, 0xFF40C0FF, fxBlend);
            }
            f->SetEffects({});
            f->SetScale(1.5);
            f->TextOut("Scaled 1.5 with extra spacing", 24, 610, 0xFFFFFFFF, 0xFFFFFFFF, fxBlend);
            f->SetScale(1.0);
        }
        Text(1, "Missing glyphs advance a little: \x01\x02\x03 end.", 24, 660);
    }

    // A frame like the game's: background, 32 scaled pieces, 20 lines of
    // text, 200 points.
    // `number` moves one piece a pixel a frame, as a glide does; frames of
    // one number are alike.
    void GameLike(int number) {
        const TGfxImage* ground = images.Image("ground");
        const TGfxImage* piece = images.Image("piece");
        canvas.Draw(ground, 0, 0, 0, fxCopy);
        for (int i = 0; i < 32; ++i)
            canvas.DrawScaled(piece, 150 + (i % 8) * 90 + (i == 0 ? number % 64 : 0), 150 + (i / 8) * 110,
                              0.6 + (i % 5) * 0.08, i % 12, fxBlend);
        for (int i = 0; i < 20; ++i) Text(1, "Your move? 12:34 White to play e2-e4, #$FF00FFFFcheck!", 20, 20 + i * 18);
        for (int i = 0; i < 200; ++i) canvas.PutPixel(float(100 + i * 4), float(700 + (i % 7)), 0xFFFFFFFF, fxAdd);
    }
};

int Usage() {
    std::fprintf(stderr,
                 "usage: zelkor-gfxdemo [--offscreen] [--archive FILE --desc FILE] [--password P]\n"
                 "                      [--screenshot FILE.png] [--bench [FRAMES]]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    bool offscreen = false;
    std::string archiveFile, descFile, screenshot, password = "qzmb";
    int benchFrames = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto next = [&]() -> std::string { return i + 1 < argc ? argv[++i] : ""; };
        if (a == "--offscreen") {
            offscreen = true;
        } else if (a == "--archive") {
            archiveFile = next();
        } else if (a == "--desc") {
            descFile = next();
        } else if (a == "--password") {
            password = next();
        } else if (a == "--screenshot") {
            screenshot = next();
        } else if (a == "--bench") {
            benchFrames = 300;
            if (i + 1 < argc && argv[i + 1][0] != '-') benchFrames = std::max(1, std::atoi(argv[++i]));
        } else {
            return Usage();
        }
    }
    std::string error;
    std::filesystem::path scratch;
    if (archiveFile.empty() != descFile.empty()) return Usage();
    if (archiveFile.empty()) {
        scratch = std::filesystem::temp_directory_path() / ("zelkor-gfxdemo-" + std::to_string(getpid()));
        std::filesystem::create_directories(scratch);
        if (!WriteSampleContent(scratch.string(), password, error)) {
            std::fprintf(stderr, "zelkor-gfxdemo: %s\n", error.c_str());
            return 1;
        }
        archiveFile = (scratch / "demo.dat").string();
        descFile = (scratch / "demo.def").string();
    }

    TSdlEventSource events;
    Demo demo;
    demo.device.SetWidth(1024);
    demo.device.SetHeight(768);
    demo.device.SetHidden(offscreen || !screenshot.empty() || benchFrames > 0);
    demo.device.SetVSync(!demo.device.Hidden());
    demo.device.SetTitle("Zelkor Chess - drawing demo");
    demo.canvas.SetPublisher(&demo.device);
    demo.images.SetPublisher(&demo.device);
    demo.fonts.SetPublisher(&demo.device);
    demo.fonts.SetCanvas(&demo.canvas);
    demo.archive.SetPassword(password);
    demo.loader.SetPublisher(&demo.device);
    demo.loader.SetImages(&demo.images);
    demo.loader.SetFonts(&demo.fonts);
    demo.loader.SetArchive(&demo.archive);
    demo.loader.SetXMLDescFile(descFile);
    demo.device.OnInitialize = [&](TObject*, bool& ok) { ok = demo.loader.Load("Content"); };
    const bool started = demo.device.Initialize();
    if (!scratch.empty()) std::filesystem::remove_all(scratch);
    if (!started) {
        std::fprintf(stderr, "zelkor-gfxdemo: Failed initializing video device! %s\n", demo.device.LastError().c_str());
        for (const auto& p : demo.loader.Problems()) std::fprintf(stderr, "  %s\n", p.c_str());
        return 1;
    }
    for (const auto& p : demo.loader.Problems()) std::fprintf(stderr, "zelkor-gfxdemo: %s\n", p.c_str());
    std::printf("loaded %d images and %d fonts\n", demo.images.Count(), demo.fonts.Count());

    if (benchFrames > 0) {
        int frameNumber = 0;
        demo.device.OnRender = [&](TObject*) { demo.GameLike(frameNumber); };
        double renderCpu = 0, frameCpu = 0, processCpu = 0, driverCpu = 0, renderDriverCpu = 0;
        int drawCalls = 0;
        const double wall0 = WallSeconds();
        for (int f = 0; f < benchFrames; ++f) {
            frameNumber = f;
            demo.device.Device().ResetDrawCalls();
            const double t0 = ThreadCpuSeconds(), p0 = ProcessCpuSeconds();
            demo.device.Render(0x400000, true);
            const double t1 = ThreadCpuSeconds();
            renderDriverCpu += demo.device.Device().DriverSeconds();
            demo.device.Flip();
            const double t2 = ThreadCpuSeconds(), p2 = ProcessCpuSeconds();
            renderCpu += t1 - t0;
            frameCpu += t2 - t0;
            processCpu += p2 - p0;
            drawCalls += demo.device.Device().DrawCalls();
            driverCpu += demo.device.Device().DriverSeconds();
        }
        const double wall = WallSeconds() - wall0;
        // The same scene standing still: every frame repeats the last one.
        const double still0 = ProcessCpuSeconds();
        for (int f = 0; f < benchFrames; ++f) {
            demo.device.Render(0x400000, true);
            demo.device.Flip();
        }
        const double stillCpu = ProcessCpuSeconds() - still0;
        std::printf("%d frames of a game-like scene (background, 32 scaled pieces, 20 lines of text, 200 points), one piece "
                    "moving\n",
                    benchFrames);
        std::printf("CPU per frame, the drawing layer itself (canvas, batching, text; driver calls excluded): %.3f ms\n",
                    (renderCpu - renderDriverCpu) / benchFrames * 1000);
        std::printf("CPU per frame, inside the OpenGL driver's calls that draw the frame: %.3f ms\n",
                    driverCpu / benchFrames * 1000);
        std::printf("CPU per frame, drawing (main thread, both of the above): %.3f ms\n",
                    (renderCpu - renderDriverCpu + driverCpu) / benchFrames * 1000);
        std::printf("CPU per frame, drawing and presenting (main thread): %.3f ms\n", frameCpu / benchFrames * 1000);
        std::printf("CPU per frame, whole process (with the driver's own threads): %.3f ms\n",
                    processCpu / benchFrames * 1000);
        std::printf("wall time per frame: %.3f ms; draw calls per frame: %.1f\n", wall / benchFrames * 1000,
                    double(drawCalls) / benchFrames);
        std::printf("CPU per frame, whole process, the scene standing still (frames repeated, not drawn again): %.3f ms\n",
                    stillCpu / benchFrames * 1000);
        return 0;
    }

    demo.device.OnRender = [&](TObject*) { demo.Showcase(); };
    if (!screenshot.empty()) {
        demo.device.Render(0x400000, true);
        std::vector<uint32_t> pixels;
        if (!demo.device.Device().ReadBackBuffer(pixels)) {
            std::fprintf(stderr, "zelkor-gfxdemo: cannot read the frame back\n");
            return 1;
        }
        TPixelSheet sheet;
        sheet.Width = 1024;
        sheet.Height = 768;
        sheet.Pixels = std::move(pixels);
        for (uint32_t& p : sheet.Pixels) p |= 0xFF000000u;  // the picture, not the back buffer's alpha
        if (!WritePng(screenshot, sheet, error)) {
            std::fprintf(stderr, "zelkor-gfxdemo: %s\n", error.c_str());
            return 1;
        }
        std::printf("wrote %s\n", screenshot.c_str());
        return 0;
    }
    // In a window: draw until it is closed.
    TApplication& app = TApplication::Instance();
    while (!app.Terminated()) {
        app.ProcessMessages();
        demo.device.Render(0x400000, true);
        demo.device.Flip();
        ++demo.frame;
    }
    return 0;
}
