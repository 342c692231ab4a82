// zelkor-artgen: the game's own content generator.
//   zelkor-artgen pieces DATADIR [--scale S] [--threads N]
// writes art/zelkor_piece_2.png, art/zelkor_piece_1.png, art/piece_1.png,
// art/piece_2.png and preview/pieces.png (a contact sheet) under DATADIR.
//   zelkor-artgen content DATADIR
// reads the piece images back and writes every other picture, the fonts,
// the splash, the packer's manifest and the resource description.
// The output is the same on every run.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "tools/artgen/Content.h"
#include "tools/artgen/PieceSheets.h"
#include "tools/artgen/Preview.h"
#include "tools/pack/Png.h"

using namespace zelkor;

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: zelkor-artgen pieces DATADIR [--scale S] [--threads N]\n");
        return 2;
    }
    const std::string command = argv[1], data = argv[2], out = data + "/art";
    if (command == "content") {
        const auto start = std::chrono::steady_clock::now();
        std::string error;
        if (!art::WriteContent(data, error)) {
            std::fprintf(stderr, "zelkor-artgen: %s\n", error.c_str());
            return 1;
        }
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("content written to %s in %.1f s\n", data.c_str(), seconds);
        return 0;
    }
    art::SheetOptions options;
    for (int i = 3; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        if (a == "--scale") options.scale = std::atof(argv[i + 1]);
        if (a == "--threads") options.threads = std::max(1, std::atoi(argv[i + 1]));
    }
    if (command != "pieces" || options.scale <= 0 || options.scale > 4) {
        std::fprintf(stderr, "usage: zelkor-artgen pieces DATADIR [--scale S] [--threads N]\n");
        return 2;
    }
    std::filesystem::create_directories(out);
    std::filesystem::create_directories(data + "/preview");
    const auto start = std::chrono::steady_clock::now();
    const art::PieceSheets sheets = art::RenderPieceSheets(options);
    std::string error;
    const std::pair<const char*, const TPixelSheet*> files[] = {{"zelkor_piece_2.png", &sheets.standing},
                                                                {"zelkor_piece_1.png", &sheets.large},
                                                                {"piece_1.png", &sheets.icons},
                                                                {"piece_2.png", &sheets.flat}};
    for (const auto& [name, sheet] : files)
        if (!WritePng(out + "/" + name, *sheet, error)) {
            std::fprintf(stderr, "zelkor-artgen: %s\n", error.c_str());
            return 1;
        }
    if (!WritePng(data + "/preview/pieces.png", art::PieceContactSheet(sheets), error)) {
        std::fprintf(stderr, "zelkor-artgen: %s\n", error.c_str());
        return 1;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("pieces written to %s in %.1f s\n", out.c_str(), seconds);
    return 0;
}
