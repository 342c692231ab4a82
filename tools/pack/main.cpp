// zelkor-pack: makes and inspects the game's asset archives.
//
//   zelkor-pack create ARCHIVE MANIFEST [--password P] [--iv-seed S]
//   zelkor-pack list ARCHIVE
//   zelkor-pack extract ARCHIVE KEY [OUT] [--password P]    (OUT "-": standard output)
//   zelkor-pack verify ARCHIVE [--password P]
//
// The password is the game's unless --password gives another. --iv-seed
// derives each secure record's initialisation vector from the seed and the
// key instead of random bytes, so that the same inputs give the same file.
//
// Files are replaced whole (ReplaceFile); an interrupted run leaves no
// temporary file behind. Keys and other text read from an archive are
// printed with every byte outside printable ASCII as \xHH (and "\" as
// "\\"), so an archive cannot send escape sequences to the terminal.
// Whatever cannot be written to standard output makes the exit status 1.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "assets/AssetDb.h"
#include "assets/ImageRecord.h"
#include "platform/RegularFile.h"
#include "tools/pack/ArchiveWriter.h"
#include "tools/pack/Manifest.h"
#include "tools/pack/Png.h"
#include "tools/pack/ReplaceFile.h"

using namespace zelkor;

namespace {

constexpr const char* kGamePassword = "qzmb";

int Usage() {
    std::fprintf(stderr,
                 "usage: zelkor-pack create ARCHIVE MANIFEST [--password P] [--iv-seed S]\n"
                 "       zelkor-pack list ARCHIVE\n"
                 "       zelkor-pack extract ARCHIVE KEY [OUT] [--password P]\n"
                 "       zelkor-pack verify ARCHIVE [--password P]\n");
    return 2;
}

int Error(const std::string& message) {
    std::fprintf(stderr, "zelkor-pack: %s\n", message.c_str());
    return 1;
}

// Whether a failed write to standard output has been reported.
bool gOutputFailureTold = false;

int OutputError() {
    const int why = errno;
    gOutputFailureTold = true;
    return Error(std::string("cannot write to standard output: ") + std::strerror(why));
}

// Text from an archive, fit for a terminal.
std::string Printable(std::string_view text) {
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\') {
            out += "\\\\";
        } else if (byte >= 0x20 && byte < 0x7F) {
            out += c;
        } else {
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 15];
        }
    }
    return out;
}

// A raw record's source: an ordinary file no larger than a record can be
// read back (a folder, a pipe or a device is refused at once).
bool ReadFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& error) {
    std::string why;
    if (ReadRegularFile(path, bytes, why, TAssetDb::DefaultRecordLimit)) return true;
    error = "cannot read " + path + ": " + why;
    return false;
}

bool ReadGlyphs(const std::string& path, TFontRecordHeader& font, std::string& error) {
    std::vector<uint8_t> bytes;
    std::string why;
    if (!ReadRegularFile(path, bytes, why, uint64_t{16} << 20)) {
        error = "cannot read the glyph table " + path + ": " + why;
        return false;
    }
    std::istringstream in(std::string(bytes.begin(), bytes.end()));
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        std::istringstream words(line);
        TGlyph g;
        if (!(words >> g.Advance)) continue;
        words >> g.Unused;
        font.Glyphs.push_back(g);
    }
    if (font.Glyphs.empty()) {
        error = path + ": no glyphs";
        return false;
    }
    return true;
}

bool MakeRecord(const TManifestEntry& e, TArchiveEntry& out, std::string& error) {
    out.Key = e.Key;
    out.Secure = e.Secure;
    out.RecType = e.RecType;
    out.Stamp = e.Stamp;
    if (e.Type == "raw") return ReadFile(e.Source, out.Bytes, error);
    TPixelSheet sheet;
    if (!ReadPng(e.Source, sheet, error)) return false;
    if (e.Type == "image") return BuildImageRecord(sheet, e.Layout, out.Bytes, error);
    TFontRecordHeader font;
    font.FirstChar = e.FirstChar;
    font.GlyphSpacing = e.Spacing;
    if (!ReadGlyphs(e.GlyphFile, font, error)) return false;
    TImageLayout layout = e.Layout;
    if (layout.PatternCount == 0) layout.PatternCount = static_cast<int>(font.Glyphs.size());
    return BuildFontRecord(font, sheet, layout, out.Bytes, error);
}

int Create(const std::string& archive, const std::string& manifest, const std::string& password,
           const std::string& ivSeed) {
    std::vector<TManifestEntry> entries;
    std::string error;
    if (!ReadManifest(manifest, entries, error)) return Error(error);
    TArchiveWriter writer;
    writer.SetPassword(password);
    if (!ivSeed.empty()) writer.SetIvSource(TArchiveWriter::SeededIvs(ivSeed));
    for (const TManifestEntry& e : entries) {
        TArchiveEntry record;
        if (!MakeRecord(e, record, error))
            return Error(manifest + ":" + std::to_string(e.Line) + ": " + e.Key + ": " + error);
        writer.Add(std::move(record));
    }
    if (!writer.WriteFile(archive, error)) return Error(error);
    std::printf("%s: %zu records\n", archive.c_str(), writer.Count());
    return 0;
}

bool OpenArchive(TAssetDb& db, const std::string& archive, const std::string& password) {
    db.SetFileName(archive);
    db.SetOpenMode(TOpenModes::opReadOnly);
    db.SetPassword(password);
    return db.Open();
}

int List(const std::string& archive) {
    TAssetDb db;
    if (!OpenArchive(db, archive, "")) return Error(archive + ": " + Printable(db.LastError()));
    std::printf("%-32s %6s %10s %10s %6s\n", "key", "type", "size", "stored", "secure");
    for (int i = 0; i < db.RecordCount(); ++i) {
        const TAssetRecord& r = db.Record(i);
        std::printf("%-32s %6d %10u %10u %6s\n", Printable(r.Key).c_str(), r.RecType, r.OrigSize, r.StoredSize,
                    r.Secure ? "yes" : "no");
    }
    std::printf("%d records, %u bytes\n", db.RecordCount(), db.ArchiveSize());
    return 0;
}

int Extract(const std::string& archive, const std::string& key, std::string out, const std::string& password) {
    TAssetDb db;
    if (!OpenArchive(db, archive, password)) return Error(archive + ": " + Printable(db.LastError()));
    std::vector<uint8_t> bytes;
    if (!db.ReadRecord(key, bytes)) return Error(Printable(db.LastError()));
    if (out.empty()) out = key;
    if (out == "-") {
        if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() || std::fflush(stdout) != 0)
            return OutputError();
        return 0;
    }
    std::string error;
    if (!ReplaceFile(out, bytes.data(), bytes.size(), error)) return Error(error);
    return 0;
}

int Verify(const std::string& archive, const std::string& password) {
    TAssetDb db;
    if (!OpenArchive(db, archive, password)) return Error(archive + ": " + Printable(db.LastError()));
    int failures = 0;
    for (int i = 0; i < db.RecordCount(); ++i) {
        const std::string key = db.Record(i).Key;
        const std::string shown = Printable(key);
        auto fail = [&](const std::string& why) {
            std::printf("%s: %s\n", shown.c_str(), why.c_str());
            ++failures;
        };
        if (db.IndexOf(key) != i) {
            fail("shadowed by an earlier record of the same name");
            continue;
        }
        std::vector<uint8_t> bytes;
        if (!db.ReadRecord(key, bytes)) {
            fail(Printable(db.LastError()));
            continue;
        }
        const size_t size = bytes.size();
        TMemoryStream s(std::move(bytes));
        std::string error;
        std::string what = "data";
        // What the game checks when it loads the record: a font's glyph
        // table, then its image; an image's header, rows and layout, and no
        // more bytes than an image can need.
        TImageRecordHeader image;
        if (db.RecordType(i) == TAssetDb::FontRecordType) {
            TFontRecordHeader font;
            if (size > MaxFontRecordSize()) {
                error = "it holds " + std::to_string(size) + " bytes, more than a font can need";
            } else if (ReadFontRecordHeader(s, font, error) && ReadImageRecordHeader(s, image, error)) {
                CheckImageLayout(image, error);
            }
            if (!error.empty()) {
                fail("font record: " + error);
                continue;
            }
            what = "font, " + std::to_string(font.Glyphs.size()) + " glyphs";
        } else if (ReadImageRecordHeader(s, image, error)) {
            // Bytes whose start reads as an image header are an image.
            if (size > MaxImageRecordSize())
                error = "it holds " + std::to_string(size) + " bytes, more than an image can need";
            else
                CheckImageLayout(image, error);
            if (!error.empty()) {
                fail("image record: " + error);
                continue;
            }
            what = "image " + std::string(ColorFormatName(image.Format)) + ", " + std::to_string(image.PatternCount) +
                   " patterns of " + std::to_string(image.VisibleWidth) + " x " + std::to_string(image.VisibleHeight);
        }
        std::printf("%s: ok (%s)\n", shown.c_str(), what.c_str());
    }
    std::printf("%d records, %d failed\n", db.RecordCount(), failures);
    return failures ? 1 : 0;
}

int Run(const std::vector<std::string>& args, const std::string& password, const std::string& ivSeed) {
    if (args.empty()) return Usage();
    const std::string& command = args[0];
    if (command == "create" && args.size() == 3) return Create(args[1], args[2], password, ivSeed);
    if (command == "list" && args.size() == 2) return List(args[1]);
    if (command == "extract" && (args.size() == 3 || args.size() == 4))
        return Extract(args[1], args[2], args.size() == 4 ? args[3] : "", password);
    if (command == "verify" && args.size() == 2) return Verify(args[1], password);
    return Usage();
}

} // namespace

int main(int argc, char** argv) {
    RemoveTemporaryFileOnSignals();
    std::vector<std::string> args;
    std::string password = kGamePassword, ivSeed;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--password" || a == "--iv-seed") {
            if (i + 1 >= argc) return Usage();
            (a == "--password" ? password : ivSeed) = argv[++i];
        } else {
            args.push_back(a);
        }
    }
    const int status = Run(args, password, ivSeed);
    // Standard output is fully buffered when it is no terminal: a full disk
    // may show only here.
    if ((std::fflush(stdout) != 0 || std::ferror(stdout)) && !gOutputFailureTold) return OutputError();
    return std::ferror(stdout) ? 1 : status;
}
