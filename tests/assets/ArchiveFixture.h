#pragma once
// Archives for the tests: written with the packer's writer into a scratch
// folder that goes away with the fixture.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tools/pack/ArchiveWriter.h"

namespace zelkor::testing_support {

class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "zelkor-test-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

inline std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

inline TArchiveEntry Entry(const std::string& key, const std::string& text, bool secure = false, int type = 1) {
    TArchiveEntry e;
    e.Key = key;
    e.Bytes = Bytes(text);
    e.Secure = secure;
    e.RecType = type;
    return e;
}

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<uint8_t> BuildArchive(const std::vector<TArchiveEntry>& entries, const std::string& password = "qzmb") {
    TArchiveWriter w;
    w.SetPassword(password);
    w.SetIvSource(TArchiveWriter::SeededIvs("test"));
    for (const auto& e : entries) w.Add(e);
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(w.Build(bytes, error)) << error;
    return bytes;
}

// Little-endian patching of archive bytes.
inline void PutU32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b.at(at + size_t(i)) = static_cast<uint8_t>(v >> (8 * i));
}
inline uint32_t GetU32(const std::vector<uint8_t>& b, size_t at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | b.at(at + size_t(i));
    return v;
}

} // namespace zelkor::testing_support
