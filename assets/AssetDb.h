#pragma once
// TAssetDb: reads the game's asset archive, a flat list of named records,
// each zlib-compressed, optionally Blowfish-CBC encrypted under a password,
// and guarded by the MD5 digest of its bytes.
//
// The reader does not trust the file: a record count, table offset, key
// length, record offset or size that the file cannot hold fails the open or
// the read at once, before anything is allocated for it.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/Object.h"
#include "platform/Streams.h"

namespace zelkor {

enum class TOpenModes { opUpdate = 0, opOverwrite = 1, opReadOnly = 2 };

struct TAssetRecord {
    std::string Key;
    uint32_t Offset = 0;
    int RecType = 0;
    uint32_t OrigSize = 0;
    uint32_t StoredSize = 0;
    double Stamp = 0;
    std::array<uint8_t, 16> Checksum{};
    bool Secure = false;
    std::array<uint8_t, 8> InitVector{};
};

class TAssetDb : public TObject {
public:
    static constexpr uint32_t Signature = 0x62445341;  // "ASDb"
    static constexpr uint32_t HeaderSize = 12;
    static constexpr uint32_t RecordHeaderSize = 44;
    static constexpr int MaxPasswordLength = 56;
    static constexpr int FontRecordType = 3;

    TAssetDb();
    ~TAssetDb() override;

    const std::string& FileName() const { return fileName_; }
    void SetFileName(const std::string& name);  // clears Opened
    TOpenModes OpenMode() const { return openMode_; }
    void SetOpenMode(TOpenModes mode) { openMode_ = mode; }
    bool Opened() const { return opened_; }
    uint32_t ArchiveSize() const { return archiveSize_; }

    // Up to 56 bytes are kept; a length of 0 or below leaves no password.
    void SetPassword(const uint8_t* bytes, int length);
    void SetPassword(std::string_view password) {
        SetPassword(reinterpret_cast<const uint8_t*>(password.data()), static_cast<int>(password.size()));
    }
    void ClearPassword();
    int PasswordLength() const { return passwordLength_; }

    // By OpenMode: opUpdate reads the table of an existing file or creates an
    // empty archive, opOverwrite creates an empty archive, opReadOnly reads
    // the table. Sets Opened to the result.
    bool Open();
    bool EnsureOpen() { return opened_ || Open(); }
    // Writes a 12-byte archive with no records to FileName.
    bool CreateEmpty();
    bool ReadHeader(TStream* stream);
    // From `stream`, or from the file FileName when `stream` is null.
    bool ReadTable(TStream* stream);

    // First record whose key equals `key` without regard to ASCII case; -1
    // if none. Found through an index of the table, not by a walk.
    int IndexOf(std::string_view key) const;
    // Record type of the entry at `index`; 0 outside the list.
    int RecordType(int index) const;
    int RecordCount() const { return static_cast<int>(records_.size()); }
    const TAssetRecord& Record(int index) const { return records_.at(static_cast<size_t>(index)); }

    // The decoded bytes of the record `key` (exactly OrigSize of them). A
    // record that claims more than `limit` bytes (what the caller's kind of
    // record can need) is refused before anything is read for it; memory
    // grows with what the record really yields, not with what it claims.
    static constexpr uint64_t DefaultRecordLimit = uint64_t{256} << 20;
    bool ReadRecord(std::string_view key, std::vector<uint8_t>& bytes, uint64_t limit = DefaultRecordLimit);
    // ReadRecord, appending the bytes at the stream's position.
    bool ReadStream(std::string_view key, TStream& stream, uint64_t limit = DefaultRecordLimit);

    // The header as last read.
    uint32_t HeaderSignature() const { return signature_; }
    uint32_t HeaderCount() const { return count_; }
    uint32_t TableOffset() const { return tableOffset_; }

    // Why the last operation that failed did so ("" after a success).
    const std::string& LastError() const { return lastError_; }

    // The largest number of bytes a zlib stream of `stored` bytes can
    // inflate to; a record claiming more is refused before inflating.
    static uint64_t MaxInflatedSize(uint64_t stored) { return stored * 1032 + 64; }

private:
    bool Fail(std::string message);
    // Takes `records` as the record list and indexes their keys.
    void Adopt(std::vector<TAssetRecord> records);
    bool DecodeRecord(const TAssetRecord& record, std::vector<uint8_t>& stored, std::vector<uint8_t>& bytes);

    std::string fileName_;
    TOpenModes openMode_ = TOpenModes::opUpdate;
    bool opened_ = false;
    uint32_t archiveSize_ = 0;
    uint32_t signature_ = 0;
    uint32_t count_ = 0;
    uint32_t tableOffset_ = 0;
    std::vector<TAssetRecord> records_;
    // Lower-cased key -> first record of that key.
    std::unordered_map<std::string, int> index_;
    // The file state the table was read from: a record read reads the table
    // again only when the file has changed since (zero: read it again).
    TFileIdentity tableOf_;
    std::array<uint8_t, MaxPasswordLength + 1> password_{};
    int passwordLength_ = 0;
    std::string lastError_;
};

} // namespace zelkor
