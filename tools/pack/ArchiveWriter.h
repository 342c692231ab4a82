#pragma once
// Writes asset archives in the layout the game reads: a 12-byte header,
// the records (44-byte header, then the zlib data, Blowfish-CBC encrypted
// in whole 8-byte blocks when secure), and the record table at the end.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace zelkor {

struct TArchiveEntry {
    std::string Key;
    int RecType = 1;
    bool Secure = false;
    std::vector<uint8_t> Bytes;
    double Stamp = 0;
};

class TArchiveWriter {
public:
    using IvSource = std::function<std::array<uint8_t, 8>(const TArchiveEntry&)>;

    // The password of secure records (the key schedule of the archive).
    void SetPassword(std::string password) { password_ = std::move(password); }
    // Where each secure record's initialisation vector comes from; by
    // default fresh random bytes.
    void SetIvSource(IvSource source) { ivSource_ = std::move(source); }
    // An initialisation vector derived from `seed` and the record's key, for
    // archives that must come out the same on every run.
    static IvSource SeededIvs(std::string seed);
    void SetCompressionLevel(int level) { level_ = level; }

    void Add(TArchiveEntry entry) { entries_.push_back(std::move(entry)); }
    size_t Count() const { return entries_.size(); }

    // The archive's bytes; false with a reason on failure.
    bool Build(std::vector<uint8_t>& out, std::string& error) const;
    // Writes to a temporary file beside `path`, syncs it, then renames it
    // into place (ReplaceFile): an existing archive is never left
    // half-written.
    bool WriteFile(const std::string& path, std::string& error) const;

private:
    std::vector<TArchiveEntry> entries_;
    std::string password_;
    IvSource ivSource_;
    int level_ = 9;
};

} // namespace zelkor
