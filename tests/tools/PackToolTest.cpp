#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>

#include "assets/AssetDb.h"
#include "assets/ImageRecord.h"
#include "tests/assets/ArchiveFixture.h"
#include "tools/pack/Png.h"

using namespace zelkor;
using namespace zelkor::testing_support;

namespace {

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The packer running as a process of its own.
class PackProcess {
public:
    struct Setup {
        std::string out = "/dev/null";  // standard output
        std::string err = "/dev/null";  // standard error
        // Writes past this size fail as on a full disk (0: no limit).
        rlim_t fileSizeLimit = 0;
        bool lowPriority = false;
    };

    PackProcess(const std::vector<std::string>& arguments, const Setup& setup) {
        std::vector<std::string> words = {ZELKOR_PACK_TOOL};
        words.insert(words.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (std::string& w : words) argv.push_back(w.data());
        argv.push_back(nullptr);
        pid_ = fork();
        if (pid_ != 0) return;
        // The child: only calls that are safe between fork and exec.
        signal(SIGINT, SIG_DFL);  // a shell may have started the tests with these ignored
        signal(SIGTERM, SIG_DFL);
        signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead of ending the program
        if (setup.fileSizeLimit) {
            const rlimit limit{setup.fileSizeLimit, setup.fileSizeLimit};
            setrlimit(RLIMIT_FSIZE, &limit);
        }
        if (setup.lowPriority) setpriority(PRIO_PROCESS, 0, 19);
        const int out = open(setup.out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open(setup.err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out < 0 || err < 0 || dup2(out, STDOUT_FILENO) < 0 || dup2(err, STDERR_FILENO) < 0) _exit(125);
        execv(argv[0], argv.data());
        _exit(126);
    }
    ~PackProcess() {
        if (pid_ > 0) Wait();
    }
    PackProcess(const PackProcess&) = delete;
    PackProcess& operator=(const PackProcess&) = delete;

    pid_t Pid() const { return pid_; }

    // The exit status, or 128 plus the signal that ended it.
    int Wait() {
        if (pid_ <= 0) return -1;  // never started
        int status = 0;
        while (waitpid(pid_, &status, 0) < 0)
            if (errno != EINTR) return -1;
        pid_ = -1;
        return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
    }

private:
    pid_t pid_ = -1;
};

int RunPack(const std::vector<std::string>& arguments, const PackProcess::Setup& setup = {}) {
    return PackProcess(arguments, setup).Wait();
}

// What a run printed on standard output and standard error.
struct Printed {
    int status = -1;
    std::string out, err;
};

Printed RunPackAndRead(const ScratchFolder& f, const std::vector<std::string>& arguments) {
    PackProcess::Setup setup;
    setup.out = f.File("stdout.txt");
    setup.err = f.File("stderr.txt");
    Printed p;
    p.status = RunPack(arguments, setup);
    p.out = ReadText(setup.out);
    p.err = ReadText(setup.err);
    return p;
}

std::set<std::string> FolderNames(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.insert(entry.path().filename());
    return names;
}

TPixelSheet Gradient(int w, int h) {
    TPixelSheet s;
    s.Width = w;
    s.Height = h;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) s.Pixels.push_back(0x80000000u | uint32_t(x * 4) << 16 | uint32_t(y * 4) << 8);
    return s;
}

// The bytes of an image record: the header and `rowBytes` bytes of rows.
std::vector<uint8_t> ImageBytes(const TImageRecordHeader& h, size_t rowBytes) {
    TMemoryStream s;
    WriteImageRecordHeader(s, h);
    s.Data().resize(s.Data().size() + rowBytes, 0x55);
    return s.Data();
}

TImageRecordHeader A8Header(int texture, int pattern, int visible, int count) {
    TImageRecordHeader h;
    h.Format = TColorFormat::A8;
    h.TextureWidth = h.TextureHeight = texture;
    h.PatternWidth = h.PatternHeight = pattern;
    h.VisibleWidth = h.VisibleHeight = visible;
    h.TextureCount = count;
    h.PatternCount = count;
    return h;
}

} // namespace

// A packed archive round-trips through the tool's verify and through the
// game's reader.
TEST(PackTool, CreateListVerifyExtract) {
    ScratchFolder f;
    std::string error;
    ASSERT_TRUE(WritePng(f.File("sheet.png"), Gradient(64, 32), error)) << error;
    ASSERT_TRUE(WritePng(f.File("glyphs.png"), Gradient(80, 8), error)) << error;
    {
        std::ofstream g(f.File("glyphs.txt"));
        for (int i = 0; i < 10; ++i) g << (i + 4) << " 0\n";
        std::ofstream raw(f.File("blob.bin"), std::ios::binary);
        raw << "raw bytes";
        std::ofstream m(f.File("content.manifest"));
        m << "# test content\n"
          << "sheet image yes sheet.png format=R5G6B5 pattern=16x16 visible=14x14 texture=32x32\n"
          << "font_small font yes glyphs.png glyphs=glyphs.txt pattern=8x8 format=A8\n"
          << "\n"
          << "blob raw no blob.bin rectype=7\n";
    }
    const std::string archive = f.File("content.dat");
    ASSERT_EQ(RunPack({"create", archive, f.File("content.manifest"), "--iv-seed", "1"}), 0);
    EXPECT_EQ(RunPack({"list", archive}), 0);
    EXPECT_EQ(RunPack({"verify", archive}), 0);
    EXPECT_EQ(RunPack({"verify", archive, "--password", "wrong"}), 1);
    ASSERT_EQ(RunPack({"extract", archive, "BLOB", f.File("out.bin")}), 0);
    EXPECT_EQ(ReadText(f.File("out.bin")), "raw bytes");
    // Over an existing file, which keeps its permissions.
    WriteBytes(f.File("old.bin"), Bytes("older and longer bytes"));
    ASSERT_EQ(chmod(f.File("old.bin").c_str(), 0600), 0);
    ASSERT_EQ(RunPack({"extract", archive, "blob", f.File("old.bin")}), 0);
    EXPECT_EQ(ReadText(f.File("old.bin")), "raw bytes");
    EXPECT_EQ(std::filesystem::status(f.File("old.bin")).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    // To standard output.
    const Printed extracted = RunPackAndRead(f, {"extract", archive, "blob", "-"});
    EXPECT_EQ(extracted.status, 0) << extracted.err;
    EXPECT_EQ(extracted.out, "raw bytes");

    TAssetDb db;
    db.SetFileName(archive);
    db.SetOpenMode(TOpenModes::opReadOnly);
    db.SetPassword("qzmb");
    ASSERT_TRUE(db.Open());
    EXPECT_EQ(db.RecordCount(), 3);
    EXPECT_EQ(db.RecordType(db.IndexOf("font_small")), 3);
    EXPECT_EQ(db.RecordType(db.IndexOf("blob")), 7);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(db.ReadRecord("sheet", bytes));
    TMemoryStream s(bytes);
    TImageRecordHeader h;
    ASSERT_TRUE(ReadImageRecordHeader(s, h, error)) << error;
    EXPECT_EQ(h.Format, TColorFormat::R5G6B5);
    EXPECT_EQ(h.PatternCount, 8);
    EXPECT_EQ(h.TextureCount, 2);

    // The same inputs and seed give the same file.
    const std::string again = f.File("again.dat");
    ASSERT_EQ(RunPack({"create", again, f.File("content.manifest"), "--iv-seed", "1"}), 0);
    std::ifstream a(archive, std::ios::binary), b(again, std::ios::binary);
    EXPECT_TRUE(std::equal(std::istreambuf_iterator<char>(a), {}, std::istreambuf_iterator<char>(b)));
}

TEST(PackTool, FailuresExitNonZeroAndLeaveTheArchiveAlone) {
    ScratchFolder f;
    const std::string archive = f.File("content.dat");
    WriteBytes(archive, Bytes("the old archive"));
    {
        std::ofstream m(f.File("bad.manifest"));
        m << "a raw no missing-file.bin\n";
    }
    EXPECT_NE(RunPack({"create", archive, f.File("bad.manifest")}), 0);
    EXPECT_EQ(ReadText(archive), "the old archive");
    EXPECT_NE(RunPack({"create", archive, f.File("no.manifest")}), 0);
    EXPECT_NE(RunPack({"verify", f.File("absent.dat")}), 0);
    EXPECT_NE(RunPack({"extract", archive}), 0);
    EXPECT_NE(RunPack({"frobnicate"}), 0);
}

struct TextureCase {
    const char* name;
    std::string options;  // of an image from a 80 x 64 picture
};
void PrintTo(const TextureCase& c, std::ostream* os) { *os << c.options; }

class PackTextureTest : public ::testing::TestWithParam<TextureCase> {};

// Texture sizes no image can have are refused with a reason before any
// layout is worked out from them, and the archive stays as it was.
TEST_P(PackTextureTest, ImpossibleTexturesAreRefused) {
    ScratchFolder f;
    std::string error;
    ASSERT_TRUE(WritePng(f.File("sheet.png"), Gradient(80, 64), error)) << error;
    {
        std::ofstream m(f.File("content.manifest"));
        m << "sheet image no sheet.png " << GetParam().options << "\n";
    }
    const std::string archive = f.File("content.dat");
    WriteBytes(archive, Bytes("the old archive"));
    const Printed p = RunPackAndRead(f, {"create", archive, f.File("content.manifest")});
    EXPECT_EQ(p.status, 1) << p.err;
    EXPECT_NE(p.err.find("content.manifest:1: sheet: "), std::string::npos) << p.err;
    EXPECT_NE(p.err.find("texture"), std::string::npos) << p.err;
    EXPECT_EQ(ReadText(archive), "the old archive");
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, PackTextureTest,
    ::testing::Values(TextureCase{"HugeSquare", "texture=65536x65536"},
                      TextureCase{"HugeSquareOfTinyPatterns", "pattern=1x1 texture=65536x65536"},
                      TextureCase{"LargestInts", "pattern=1x1 texture=2147483647x2147483647"},
                      TextureCase{"OneRowTooManyForAnImage", "format=A8 texture=16384x16385"},
                      // 5120 textures of one pixel: more than the game takes.
                      TextureCase{"MoreTexturesThanAnImageTakes", "format=A8 pattern=1x1 texture=1x1"}),
    [](const ::testing::TestParamInfo<TextureCase>& param) { return std::string(param.param.name); });

// An extract that cannot finish leaves the file it would replace as it was
// and no temporary file beside it.
TEST(PackTool, ExtractOnAFullDiskKeepsTheOldFile) {
    ScratchFolder f;
    std::vector<uint8_t> big(256 * 1024);
    std::mt19937 random(7);
    for (uint8_t& b : big) b = static_cast<uint8_t>(random());
    TArchiveEntry blob;
    blob.Key = "blob";
    blob.Bytes = big;
    WriteBytes(f.File("content.dat"), BuildArchive({blob}));
    WriteBytes(f.File("out.bin"), Bytes("the old bytes"));
    const std::set<std::string> before = FolderNames(f.File(""));

    PackProcess::Setup setup;
    setup.err = f.File("stderr.txt");
    setup.fileSizeLimit = 64 * 1024;  // the disk fills up a quarter of the way in
    EXPECT_EQ(RunPack({"extract", f.File("content.dat"), "blob", f.File("out.bin")}, setup), 1);
    EXPECT_NE(ReadText(f.File("stderr.txt")).find("cannot write"), std::string::npos) << ReadText(f.File("stderr.txt"));
    const std::string after = ReadText(f.File("out.bin"));
    EXPECT_TRUE(after == "the old bytes") << "the file holds " << after.size() << " other bytes";
    std::filesystem::remove(f.File("stderr.txt"));
    EXPECT_EQ(FolderNames(f.File("")), before);
}

struct OutputCase {
    const char* name;
    std::vector<std::string> arguments;  // "ARCHIVE" and "MANIFEST" stand for the test's files
    bool toFullDevice;                   // standard output on /dev/full
};
void PrintTo(const OutputCase& c, std::ostream* os) { *os << c.name; }

class PackOutputTest : public ::testing::TestWithParam<OutputCase> {};

// Output that cannot be written is an error: status 1 and a reason.
TEST_P(PackOutputTest, AWriteThatFailsMakesTheStatusOne) {
    ScratchFolder f;
    {
        // More than a stdio buffer holds, so some writes fail on the way.
        std::ofstream raw(f.File("blob.bin"), std::ios::binary);
        raw << std::string(64 * 1024, 'x');
        std::ofstream m(f.File("content.manifest"));
        m << "blob raw no blob.bin\n";
    }
    ASSERT_EQ(RunPack({"create", f.File("content.dat"), f.File("content.manifest")}), 0);
    std::vector<std::string> arguments = GetParam().arguments;
    for (std::string& a : arguments) {
        if (a == "ARCHIVE") a = f.File("content.dat");
        if (a == "MANIFEST") a = f.File("content.manifest");
    }
    PackProcess::Setup setup;
    setup.err = f.File("stderr.txt");
    if (GetParam().toFullDevice) setup.out = "/dev/full";
    EXPECT_EQ(RunPack(arguments, setup), 1);
    const std::string err = ReadText(f.File("stderr.txt"));
    EXPECT_NE(err.find("cannot write"), std::string::npos) << err;
}

INSTANTIATE_TEST_SUITE_P(
    Commands, PackOutputTest,
    ::testing::Values(OutputCase{"List", {"list", "ARCHIVE"}, true},
                      OutputCase{"Verify", {"verify", "ARCHIVE"}, true},
                      OutputCase{"ExtractToStandardOutput", {"extract", "ARCHIVE", "blob", "-"}, true},
                      OutputCase{"ExtractToAFullDevice", {"extract", "ARCHIVE", "blob", "/dev/full"}, false},
                      OutputCase{"CreateItsReport", {"create", "ARCHIVE", "MANIFEST"}, true}),
    [](const ::testing::TestParamInfo<OutputCase>& param) { return std::string(param.param.name); });

// Keys are printed with control characters and bytes outside ASCII
// escaped: an archive cannot send escape sequences to the terminal.
TEST(PackTool, ListAndVerifyEscapeKeys) {
    struct KeyCase {
        std::string key, shown;
    };
    const std::vector<KeyCase> keys = {
        {"plain_key", "plain_key"},
        {"\x1b]0;title\x07\x1b[2J", "\\x1b]0;title\\x07\\x1b[2J"},
        {"line\nbreak\rreturn\ttab", "line\\x0abreak\\x0dreturn\\x09tab"},
        {"csi\x9b" "31m", "csi\\x9b31m"},
        {"del\x7f", "del\\x7f"},
        {"caf\xc3\xa9", "caf\\xc3\\xa9"},
        {"back\\x41slash", "back\\\\x41slash"},
    };
    ScratchFolder f;
    std::vector<TArchiveEntry> entries;
    for (const KeyCase& k : keys) entries.push_back(Entry(k.key, "bytes of " + k.key));
    WriteBytes(f.File("content.dat"), BuildArchive(entries));
    for (const char* command : {"list", "verify"}) {
        const Printed p = RunPackAndRead(f, {command, f.File("content.dat")});
        EXPECT_EQ(p.status, 0) << command << ": " << p.err;
        const auto unprintable =
            std::find_if(p.out.begin(), p.out.end(), [](char c) { return c != '\n' && (c < 0x20 || c >= 0x7F); });
        EXPECT_TRUE(unprintable == p.out.end()) << command << " printed byte " << int(uint8_t(*unprintable));
        for (const KeyCase& k : keys) EXPECT_NE(p.out.find(k.shown), std::string::npos) << command << ": " << k.shown;
    }
}

struct RecordCase {
    const char* name;
    std::vector<uint8_t> bytes;
    int type;
    std::string verdict;  // what verify prints after "KEY: "
};
void PrintTo(const RecordCase& c, std::ostream* os) { *os << c.name; }

std::vector<uint8_t> FontBytes(const std::vector<uint8_t>& image) {
    TFontRecordHeader font;
    font.Glyphs.resize(2, TGlyph{5, 0});
    TMemoryStream s;
    WriteFontRecordHeader(s, font);
    s.WriteAll(image.data(), image.size());
    return s.Data();
}

class PackVerifyTest : public ::testing::TestWithParam<RecordCase> {};

// verify refuses what the game refuses when it loads an image or a font:
// whatever is not whole, and layouts it makes no textures for. Bytes whose
// start does not read as an image header are data.
TEST_P(PackVerifyTest, JudgesRecordsAsTheGameLoadsThem) {
    const RecordCase& c = GetParam();
    ScratchFolder f;
    TArchiveEntry e;
    e.Key = "record";
    e.Bytes = c.bytes;
    e.RecType = c.type;
    WriteBytes(f.File("content.dat"), BuildArchive({e}));
    const Printed p = RunPackAndRead(f, {"verify", f.File("content.dat")});
    const bool ok = c.verdict.rfind("ok (", 0) == 0;
    EXPECT_EQ(p.status, ok ? 0 : 1) << p.out << p.err;
    EXPECT_EQ(p.out, "record: " + c.verdict + "\n1 records, " + (ok ? "0" : "1") + " failed\n");
}

INSTANTIATE_TEST_SUITE_P(
    Records, PackVerifyTest,
    ::testing::Values(
        RecordCase{"Image", ImageBytes(A8Header(8, 4, 3, 1), 64), 1, "ok (image A8, 1 patterns of 3 x 3)"},
        RecordCase{"ImageOfTextureSizedPatterns", ImageBytes(A8Header(8, 0, 0, 1), 64), 1,
                   "ok (image A8, 1 patterns of 0 x 0)"},
        RecordCase{"RawBytes", Bytes("raw bytes"), 1, "ok (data)"},
        // Too short for its rows: no image header reads, so data.
        RecordCase{"RowsMissingReadsAsData", ImageBytes(A8Header(8, 4, 4, 1), 63), 1, "ok (data)"},
        RecordCase{"NoTextureSize", ImageBytes(A8Header(0, 0, 0, 0), 0), 1,
                   "image record: the texture size is not positive"},
        RecordCase{"PatternLargerThanTexture", ImageBytes(A8Header(8, 16, 8, 1), 64), 1,
                   "image record: a pattern is larger than a texture"},
        RecordCase{"VisibleLargerThanPattern", ImageBytes(A8Header(8, 4, 5, 1), 64), 1,
                   "image record: the visible size exceeds the pattern"},
        RecordCase{"TooManyTextures", ImageBytes(A8Header(1, 1, 1, 4097), 4097), 1,
                   "image record: more textures than any image needs"},
        RecordCase{"Font", FontBytes(ImageBytes(A8Header(8, 4, 4, 1), 64)), 3, "ok (font, 2 glyphs)"},
        RecordCase{"FontRowsMissing", FontBytes(ImageBytes(A8Header(8, 4, 4, 1), 63)), 3,
                   "font record: the header announces 64 bytes of pixels, the record holds 63"},
        RecordCase{"FontPatternLargerThanTexture", FontBytes(ImageBytes(A8Header(8, 9, 4, 1), 64)), 3,
                   "font record: a pattern is larger than a texture"}),
    [](const ::testing::TestParamInfo<RecordCase>& param) { return std::string(param.param.name); });

// SIGINT or SIGTERM while create writes its temporary file: the program
// removes the file and ends by the signal; the old archive stays. The
// signal is sent the moment the temporary file appears; a run that ends
// before it arrives proves nothing and is made again with more to write.
TEST(PackTool, AnInterruptedCreateLeavesNoTemporaryFile) {
    for (const int sig : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(sig == SIGINT ? "SIGINT" : "SIGTERM");
        bool interrupted = false;
        for (int attempt = 0; attempt < 4 && !interrupted; ++attempt) {
            ScratchFolder f;
            {
                // Random bytes do not compress: the archive is as large.
                std::vector<uint8_t> big((size_t{1} << 20) << attempt);
                std::mt19937 random(static_cast<unsigned>(attempt));
                for (uint8_t& b : big) b = static_cast<uint8_t>(random());
                WriteBytes(f.File("big.bin"), big);
                std::ofstream m(f.File("content.manifest"));
                m << "big raw no big.bin\n";
            }
            WriteBytes(f.File("content.dat"), Bytes("the old archive"));
            const std::set<std::string> before = FolderNames(f.File(""));
            const int watch = inotify_init1(IN_CLOEXEC);
            ASSERT_GE(watch, 0);
            ASSERT_GE(inotify_add_watch(watch, f.File("").c_str(), IN_CREATE), 0);

            PackProcess::Setup setup;
            setup.lowPriority = true;  // the signal comes before it gets far
            PackProcess pack({"create", f.File("content.dat"), f.File("content.manifest")}, setup);
            ASSERT_GT(pack.Pid(), 0);
            // The temporary file appears, or the limit passes and the test
            // fails instead of hanging.
            pollfd ready{watch, POLLIN, 0};
            const bool appeared = poll(&ready, 1, 120'000) == 1;
            kill(pack.Pid(), appeared ? sig : SIGKILL);
            alignas(inotify_event) char events[4096];
            const ssize_t n = appeared ? read(watch, events, sizeof events) : 0;
            close(watch);
            ASSERT_GT(n, 0) << "no temporary file appeared";
            const auto* event = reinterpret_cast<const inotify_event*>(events);
            EXPECT_EQ(std::string(event->name).rfind("content.dat.tmp", 0), 0u) << event->name;
            const int status = pack.Wait();
            EXPECT_TRUE(status == 0 || status == 128 + sig) << status;
            EXPECT_EQ(FolderNames(f.File("")), before);
            const std::string archive = ReadText(f.File("content.dat"));
            interrupted = status == 128 + sig && archive == "the old archive";
        }
        if (!interrupted) GTEST_SKIP() << "no create was caught before it ended";
    }
}

// A source that is no file (a folder, a named pipe, a device) where a
// manifest names a raw record, a picture or a glyph table, or in place of
// the manifest itself: refused at once with its name, the old archive left
// as it was.
TEST(PackTool, SourcesThatAreNoFileAreRefusedAtOnce) {
    ScratchFolder f;
    const std::string archive = f.File("content.dat");
    WriteBytes(archive, Bytes("the old archive"));
    std::filesystem::create_directory(f.File("folder"));
    ASSERT_EQ(mkfifo(f.File("pipe").c_str(), 0600), 0);
    std::string error;
    ASSERT_TRUE(WritePng(f.File("sheet.png"), Gradient(8, 8), error)) << error;
    struct Case {
        std::string manifest;  // its lines; empty: the manifest itself is the source
        std::string source;
        const char* said;
    };
    std::vector<Case> cases;
    for (const auto& [source, said] : std::vector<std::pair<std::string, const char*>>{
             {f.File("folder"), "a folder"}, {f.File("pipe"), "a named pipe"}, {"/dev/zero", "a device"}}) {
        cases.push_back({"r raw no " + source + "\n", source, said});
        cases.push_back({"i image no " + source + "\n", source, said});
        cases.push_back({"g font no sheet.png glyphs=" + source + "\n", source, said});
        cases.push_back({"", source, said});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.manifest.empty() ? "the manifest " + c.source : c.manifest);
        std::string manifest = c.source;
        if (!c.manifest.empty()) {
            manifest = f.File("content.manifest");
            std::ofstream(manifest, std::ios::trunc) << c.manifest;
        }
        const Printed p = RunPackAndRead(f, {"create", archive, manifest});
        EXPECT_EQ(p.status, 1) << p.err;
        EXPECT_NE(p.err.find(c.source), std::string::npos) << p.err;
        EXPECT_NE(p.err.find(c.said), std::string::npos) << p.err;
        EXPECT_EQ(ReadText(archive), "the old archive");
    }
}
