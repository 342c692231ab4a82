#include "tools/pack/Manifest.h"

#include <charconv>
#include <sstream>

#include "platform/RegularFile.h"

namespace zelkor {

namespace {

bool ToInt(const std::string& s, int& v) {
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

bool ToSize(const std::string& s, int& w, int& h) {
    const size_t x = s.find('x');
    return x != std::string::npos && ToInt(s.substr(0, x), w) && ToInt(s.substr(x + 1), h) && w > 0 && h > 0;
}

std::string Resolve(const std::string& folder, const std::string& path) {
    if (path.empty() || path[0] == '/' || folder.empty()) return path;
    return folder + "/" + path;
}

} // namespace

bool ReadManifest(const std::string& path, std::vector<TManifestEntry>& entries, std::string& error) {
    std::vector<uint8_t> bytes;
    std::string reason;
    if (!ReadRegularFile(path, bytes, reason, uint64_t{16} << 20)) {
        error = "cannot read the manifest " + path + ": " + reason;
        return false;
    }
    std::istringstream in(std::string(bytes.begin(), bytes.end()));
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash);
    std::string line;
    int number = 0;
    auto fail = [&](const std::string& why) {
        error = path + ":" + std::to_string(number) + ": " + why;
        return false;
    };
    while (std::getline(in, line)) {
        ++number;
        std::istringstream words(line);
        TManifestEntry e;
        std::string secure;
        if (!(words >> e.Key) || e.Key[0] == '#') continue;
        if (!(words >> e.Type >> secure >> e.Source)) return fail("expected KEY TYPE SECURE SOURCE");
        e.Line = number;
        if (e.Type != "image" && e.Type != "font" && e.Type != "raw") return fail("unknown type '" + e.Type + "'");
        if (secure != "yes" && secure != "no") return fail("SECURE must be yes or no");
        e.Secure = secure == "yes";
        e.Source = Resolve(folder, e.Source);
        if (e.Type == "font") e.RecType = 3;
        for (auto& other : entries)
            if (other.Key == e.Key) return fail("the key '" + e.Key + "' is given twice");

        std::string option;
        while (words >> option) {
            const size_t eq = option.find('=');
            if (eq == std::string::npos) return fail("expected NAME=VALUE, not '" + option + "'");
            const std::string name = option.substr(0, eq), value = option.substr(eq + 1);
            TImageLayout& l = e.Layout;
            if (name == "format") {
                const auto f = ColorFormatFromName(value);
                if (!f) return fail("unknown pixel format '" + value + "'");
                l.Format = *f;
            } else if (name == "pattern") {
                if (!ToSize(value, l.PatternWidth, l.PatternHeight)) return fail("pattern=WxH expected");
            } else if (name == "visible") {
                if (!ToSize(value, l.VisibleWidth, l.VisibleHeight)) return fail("visible=WxH expected");
            } else if (name == "texture") {
                if (!ToSize(value, l.TextureWidth, l.TextureHeight)) return fail("texture=WxH expected");
            } else if (name == "count") {
                if (!ToInt(value, l.PatternCount) || l.PatternCount < 1) return fail("count=N expected");
            } else if (name == "glyphs") {
                e.GlyphFile = Resolve(folder, value);
            } else if (name == "first") {
                if (!ToInt(value, e.FirstChar) || e.FirstChar < 0 || e.FirstChar > 255) return fail("first=0..255");
            } else if (name == "spacing") {
                if (!ToInt(value, e.Spacing)) return fail("spacing=N expected");
            } else if (name == "rectype") {
                if (e.Type == "font") return fail("a font record is always of type 3");
                if (!ToInt(value, e.RecType) || e.RecType < 0 || e.RecType > 65535) return fail("rectype=0..65535");
            } else if (name == "stamp") {
                try {
                    e.Stamp = std::stod(value);
                } catch (...) {
                    return fail("stamp=NUMBER expected");
                }
            } else {
                return fail("unknown option '" + name + "'");
            }
        }
        if (e.Type == "font" && e.GlyphFile.empty()) return fail("a font needs glyphs=FILE");
        if (e.Type == "image" && e.RecType == 3) return fail("type 3 marks fonts; an image needs another type");
        entries.push_back(std::move(e));
    }
    return true;
}

} // namespace zelkor
