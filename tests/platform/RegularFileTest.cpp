// What the program is given as a file may be something else: each kind is
// refused at once with the reason, and nothing waits on a named pipe.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/RegularFile.h"

using namespace zelkor;
namespace fs = std::filesystem;

namespace {

class RegularFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "zelkor-file-XXXXXX").string();
        folder = mkdtemp(pattern.data());
        std::ofstream(folder / "ten") << "0123456789";
        fs::create_directory(folder / "folder");
        ASSERT_EQ(mkfifo((folder / "pipe").c_str(), 0600), 0);
        fs::create_symlink("/dev/zero", folder / "zeros");
        fs::create_symlink(folder / "pipe", folder / "link-to-pipe");
    }
    void TearDown() override { fs::remove_all(folder); }
    fs::path folder;
};

} // namespace

TEST_F(RegularFileTest, OnlyOrdinaryFilesWithinTheirSizeAreRead) {
    struct Case {
        const char* name;
        uint64_t limit;
        const char* reason;  // nullptr: read
    };
    const Case cases[] = {
        {"ten", 10, nullptr},
        {"ten", 9, "more than 9"},
        {"folder", kAnySize, "a folder, not a file"},
        {"pipe", kAnySize, "a named pipe, not a file"},
        {"link-to-pipe", kAnySize, "a named pipe, not a file"},
        {"zeros", kAnySize, "a device, not a file"},
        {"missing", kAnySize, "no such file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> bytes{1, 2, 3};
        std::string why;
        const bool read = ReadRegularFile((folder / c.name).string(), bytes, why, c.limit);
        if (!c.reason) {
            EXPECT_TRUE(read) << why;
            EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "0123456789");
            continue;
        }
        EXPECT_FALSE(read);
        EXPECT_TRUE(bytes.empty());
        EXPECT_NE(why.find(c.reason), std::string::npos) << why;
        std::string openWhy;
        std::FILE* file = OpenRegularFile((folder / c.name).string(), openWhy, c.limit);
        EXPECT_EQ(file, nullptr);
        if (file) std::fclose(file);
    }
}
