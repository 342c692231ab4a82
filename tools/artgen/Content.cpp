#include "tools/artgen/Content.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/Bitmap.h"
#include "tools/artgen/Jpeg.h"
#include "tools/artgen/Preview.h"
#include "tools/artgen/Scenes.h"
#include "tools/pack/FontBuilder.h"
#include "tools/pack/ImageBuilder.h"
#include "tools/pack/Png.h"

namespace zelkor::art {

namespace {

struct Entry {
    std::string key, type, file, options;
};

bool WriteFont(const std::string& dir, const std::string& name, const std::string& fontFile, int size,
               Entry& entry, std::string& error) {
    TFontSheet font;
    if (!BuildFontSheet(fontFile, size, 32, 126, font, error)) return false;
    if (!WritePng(dir + "/art/" + name + ".png", font.Sheet, error)) return false;
    std::ofstream glyphs(dir + "/art/" + name + ".glyphs");
    for (const TGlyph& g : font.Header.Glyphs) glyphs << g.Advance << " 0\n";
    if (!glyphs) {
        error = "cannot write the glyph table of " + name;
        return false;
    }
    std::ostringstream options;
    options << "glyphs=art/" << name << ".glyphs first=32 pattern=" << font.Layout.PatternWidth << "x"
            << font.Layout.PatternHeight << " count=95 format=A8R8G8B8";
    entry = {name, "font", "art/" + name + ".png", options.str()};
    return true;
}

// The program's icon: the large White knight, cropped to what it covers and
// shrunk by area averaging (on premultiplied colour) into a square of
// `size` with a small margin, on a transparent ground.
TPixelSheet Icon(const TPixelSheet& large, int patternW, int patternH, int pattern, int size) {
    const int x0 = pattern * patternW;
    int left = patternW, top = patternH, right = -1, bottom = -1;
    for (int y = 0; y < patternH; ++y)
        for (int x = 0; x < patternW; ++x)
            if ((large.Pixels[size_t(y) * size_t(large.Width) + size_t(x0 + x)] >> 24) > 8) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    TPixelSheet icon{size, size, std::vector<uint32_t>(size_t(size) * size_t(size), 0)};
    if (right < left) return icon;
    const int w = right - left + 1, h = bottom - top + 1;
    const double scale = double(size - 2 * (size / 32)) / std::max(w, h);
    const int ox = (size - int(w * scale)) / 2, oy = (size - int(h * scale)) / 2;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            // The source area under this icon pixel.
            const double sx0 = (x - ox) / scale, sy0 = (y - oy) / scale, sx1 = (x + 1 - ox) / scale, sy1 = (y + 1 - oy) / scale;
            double a = 0, r = 0, g = 0, b = 0;
            int n = 0;
            for (int sy = int(std::floor(sy0)); sy < int(std::ceil(sy1)); ++sy)
                for (int sx = int(std::floor(sx0)); sx < int(std::ceil(sx1)); ++sx) {
                    ++n;
                    if (sx < 0 || sy < 0 || sx >= w || sy >= h) continue;
                    const uint32_t p = large.Pixels[size_t(top + sy) * size_t(large.Width) + size_t(x0 + left + sx)];
                    const double pa = (p >> 24) / 255.0;
                    a += pa;
                    r += pa * ((p >> 16) & 0xFF), g += pa * ((p >> 8) & 0xFF), b += pa * (p & 0xFF);
                }
            if (n == 0 || a <= 0) continue;
            auto channel = [](double v) { return uint32_t(std::clamp(std::lround(v), 0L, 255L)); };
            icon.Pixels[size_t(y) * size_t(size) + size_t(x)] =
                channel(a / n * 255) << 24 | channel(r / a) << 16 | channel(g / a) << 8 | channel(b / a);
        }
    return icon;
}

// The board component's built-in piece set: 6 x 4 cells of 40 pixels,
// White's pieces (pawn, knight, bishop, rook, queen, king) with their masks
// below them, then Black's, shrunk from the flat pieces (90-pixel cells, a
// row per side) by area averaging. A mask pixel is black where the piece
// covers at least half of it; the piece's edge is eased toward a middle grey.
TBitmap BoardPieceSet(const TPixelSheet& flat) {
    constexpr int kCell = 40, kFrom = 90;
    TBitmap set(6 * kCell, 4 * kCell, 0xFFFFFFFFu);
    const double step = double(kFrom) / kCell;
    for (int side = 0; side < 2; ++side)
        for (int col = 0; col < 6; ++col)
            for (int y = 0; y < kCell; ++y)
                for (int x = 0; x < kCell; ++x) {
                    double a = 0, r = 0, g = 0, b = 0, n = 0;
                    for (double sy = y * step; sy < (y + 1) * step - 1e-9; sy += step / 4)
                        for (double sx = x * step; sx < (x + 1) * step - 1e-9; sx += step / 4) {
                            const uint32_t p = flat.Pixels[size_t(side * kFrom + int(sy)) * size_t(flat.Width) +
                                                           size_t(col * kFrom + int(sx))];
                            const double pa = (p >> 24) / 255.0;
                            a += pa, n += 1;
                            r += pa * ((p >> 16) & 0xFF), g += pa * ((p >> 8) & 0xFF), b += pa * (p & 0xFF);
                        }
                    a /= n, r /= n, g /= n, b /= n;
                    const int px = col * kCell + x, py = 2 * side * kCell + y;
                    if (a < 0.5) {
                        set.SetPixel(px, py + kCell, 0xFFFFFFFFu);
                        continue;
                    }
                    auto channel = [&](double premultiplied) {
                        return uint32_t(std::clamp(std::lround(premultiplied + (1 - a) * 128), 0L, 255L));
                    };
                    set.SetPixel(px, py, 0xFF000000u | channel(r) << 16 | channel(g) << 8 | channel(b));
                    set.SetPixel(px, py + kCell, 0xFF000000u);
                }
    return set;
}

} // namespace

bool WriteContent(const std::string& dir, std::string& error) {
    std::filesystem::create_directories(dir + "/art");
    std::filesystem::create_directories(dir + "/preview");
    PieceSheets pieces{};
    if (!ReadPng(dir + "/art/piece_2.png", pieces.flat, error)) return false;
    pieces.iconSize = pieces.flat.Height / 2;
    const ContentFonts fonts = FindFonts();
    if (fonts.logo.empty() || fonts.serif.empty() || fonts.sans.empty()) {
        error = "the fonts are missing (fonts-ebgaramond, fonts-dejavu-core)";
        return false;
    }

    struct Picture {
        const char* name;
        TPixelSheet sheet;
        std::string options;
    };
    std::vector<Picture> pictures;
    pictures.push_back({"ground", Grounds(pieces, fonts), "format=X8R8G8B8 pattern=1024x768 texture=1024x768"});
    pictures.push_back({"classic", ClassicBoards(fonts), "format=X8R8G8B8 pattern=800x800 texture=800x800"});
    pictures.push_back({"button", Buttons(pieces), "pattern=44x44"});
    pictures.push_back({"timer", ClockPanels(pieces), "pattern=" + std::to_string(kClockW) + "x" + std::to_string(kClockH)});
    pictures.push_back({"cursor", Cursor(), ""});
    pictures.push_back({"window_1", WindowFrame(fonts), ""});
    for (const Picture& p : pictures)
        if (!WritePng(dir + "/art/" + p.name + ".png", p.sheet, error)) return false;
    const TPixelSheet splash = Splash(pieces, fonts);
    if (!WriteJpeg(dir + "/splash.jpg", splash, 92, error)) return false;
    // The board component's own piece set, compiled into the program.
    {
        const std::vector<uint8_t> bmp = EncodeBmp(BoardPieceSet(pieces.flat));
        std::ofstream out(dir + "/board_pieces.bmp", std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bmp.data()), std::streamsize(bmp.size()));
        if (!out) {
            error = "cannot write board_pieces.bmp";
            return false;
        }
    }
    // The desktop icon, from the large pieces (426 x 719 patterns; the White knight is the second).
    {
        TPixelSheet large;
        if (!ReadPng(dir + "/art/zelkor_piece_1.png", large, error)) return false;
        if (!WritePng(dir + "/zelkor-chess.png", Icon(large, large.Width / 6, large.Height / 2, 1, 256), error)) return false;
    }

    std::vector<Entry> fontEntries(3);
    if (!WriteFont(dir, "font_menu", fonts.logo, 26, fontEntries[0], error) ||
        !WriteFont(dir, "font_small", fonts.serif, 13, fontEntries[1], error) ||
        !WriteFont(dir, "font_text", fonts.sans, 15, fontEntries[2], error))
        return false;

    // The launcher's own font (the game's archive is not open yet when it
    // shows): a font record that the build compiles into the program.
    {
        TFontSheet launcher;
        std::vector<uint8_t> record;
        if (!BuildFontSheet(fonts.sans, 13, 32, 126, launcher, error) ||
            !BuildFontRecord(launcher.Header, launcher.Sheet, launcher.Layout, record, error))
            return false;
        std::ofstream out(dir + "/launcher.font", std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(record.data()), std::streamsize(record.size()));
        if (!out) {
            error = "cannot write launcher.font";
            return false;
        }
    }

    // The packer's manifest and the resource description.
    std::ofstream manifest(dir + "/content.manifest");
    manifest << "# The game's archive, zelkor.dat: made by tools/make-content.sh.\n";
    std::ofstream def(dir + "/zelkor.def");
    def << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- The game's resources: every image and font of zelkor.dat. -->\n"
        << "<resources>\n  <group name=\"Content\">\n";
    for (const Picture& p : pictures) {
        manifest << p.name << " image yes art/" << p.name << ".png " << p.options << "\n";
        const bool opaque = p.options.find("X8R8G8B8") != std::string::npos;
        def << "    <image name=\"" << p.name << "\" source=\"zelkor.dat\" key=\"" << p.name << "\" quality=\"high\" alphalevel=\""
            << (opaque ? "none" : "full") << "\"/>\n";
    }
    for (const char* piece : {"zelkor_piece_2", "zelkor_piece_1", "piece_1", "piece_2"}) {
        const std::string pattern = std::string(piece) == "zelkor_piece_2" ? "128x216"
                                    : std::string(piece) == "zelkor_piece_1" ? "426x719"
                                                                             : "90x90";
        manifest << piece << " image yes art/" << piece << ".png pattern=" << pattern << "\n";
        def << "    <image name=\"" << piece << "\" source=\"zelkor.dat\" key=\"" << piece
            << "\" quality=\"high\" alphalevel=\"full\"/>\n";
    }
    for (const Entry& f : fontEntries) {
        manifest << f.key << " font yes " << f.file << " " << f.options << "\n";
        def << "    <font name=\"" << f.key << "\" source=\"zelkor.dat\" key=\"" << f.key << "\" alphalevel=\"full\"/>\n";
    }
    def << "  </group>\n</resources>\n";
    if (!manifest || !def) {
        error = "cannot write the manifest or the description";
        return false;
    }

    // A contact sheet of every picture: the grounds, the classic boards at half size, the interface
    // art and the splash, then each font sheet as rendered (white glyphs on grey).
    std::vector<TPixelSheet> fontSheets(fontEntries.size());
    int fontsHeight = 0;
    for (size_t i = 0; i < fontEntries.size(); ++i) {
        if (!ReadPng(dir + "/" + fontEntries[i].file, fontSheets[i], error)) return false;
        fontsHeight += fontSheets[i].Height + 8;
    }
    int uiHeight = splash.Height;
    for (size_t i = 2; i < pictures.size(); ++i) uiHeight = std::max(uiHeight, pictures[i].sheet.Height);
    TPixelSheet sheet;
    sheet.Width = 2 * 1024 + 48;
    sheet.Height = 16 + 2 * (768 + 16) + 400 + 24 + uiHeight + 24 + fontsHeight + 16;
    sheet.Pixels.assign(size_t(sheet.Width) * size_t(sheet.Height), 0xFF3A3B40);
    const TPixelSheet& ground = pictures[0].sheet;
    for (int i = 0; i < 4; ++i)
        Blit(sheet, ground, 0, i * 768, 1024, 768, 16 + (i % 2) * (1024 + 16), 16 + (i / 2) * (768 + 16), 1.0);
    int y = 2 * (768 + 16) + 16;
    const TPixelSheet& classic = pictures[1].sheet;
    for (int i = 0; i < 4; ++i) Blit(sheet, classic, 0, i * 800, 800, 800, 16 + i * 416, y, 0.5);
    y += 400 + 24;
    int x = 16;
    for (size_t i = 2; i < pictures.size(); ++i) {
        Fill(sheet, x - 4, y - 4, pictures[i].sheet.Width + 8, pictures[i].sheet.Height + 8, 0xFF7A7A78);
        Blit(sheet, pictures[i].sheet, 0, 0, pictures[i].sheet.Width, pictures[i].sheet.Height, x, y, 1.0);
        x += pictures[i].sheet.Width + 24;
    }
    Blit(sheet, splash, 0, 0, splash.Width, splash.Height, std::min(x, sheet.Width - 16 - splash.Width), y, 1.0);
    y += uiHeight + 24;
    for (const TPixelSheet& font : fontSheets) {
        Blit(sheet, font, 0, 0, std::min(font.Width, sheet.Width - 32), font.Height, 16, y, 1.0);
        y += font.Height + 8;
    }
    return WritePng(dir + "/preview/content.png", sheet, error);
}

} // namespace zelkor::art
