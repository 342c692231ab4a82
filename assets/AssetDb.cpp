#include "assets/AssetDb.h"

#include <openssl/evp.h>
#include <sys/stat.h>
#include <string.h>  // explicit_bzero
#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "assets/Blowfish.h"

namespace zelkor {

namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string Lower(std::string_view key) {
    std::string lower(key);
    for (char& c : lower) c = LowerAscii(c);
    return lower;
}

bool Md5(const uint8_t* data, size_t size, uint8_t digest[16]) {
    unsigned int length = 0;
    return EVP_Digest(data, size, digest, &length, EVP_md5(), nullptr) == 1 && length == 16;
}

// Inflates one zlib stream into exactly `expected` bytes. The output grows
// with what the stream really yields (a small first piece, then doubling),
// so a damaged stream that claims a large size costs only what it decoded
// before the damage showed.
bool Inflate(const std::vector<uint8_t>& in, size_t expected, std::vector<uint8_t>& out, std::string& why) {
    z_stream z{};
    if (inflateInit(&z) != Z_OK) {
        why = "zlib cannot start";
        return false;
    }
    constexpr size_t kFirstPiece = 64 * 1024;
    out.clear();
    z.next_in = const_cast<Bytef*>(in.data());
    z.avail_in = static_cast<uInt>(in.size());
    size_t produced = 0;
    bool overflow = false;
    int result = Z_OK;
    while (result == Z_OK) {
        if (produced == out.size()) {
            if (out.size() == expected) {
                // Full: the stream may only end now (its trailer), not yield more.
                uint8_t probe = 0;
                z.next_out = &probe;
                z.avail_out = 1;
                result = inflate(&z, Z_NO_FLUSH);
                overflow = z.avail_out == 0;
                break;
            }
            out.resize(std::min(expected, std::max(kFirstPiece, out.size() * 2)));
        }
        z.next_out = out.data() + produced;
        z.avail_out = static_cast<uInt>(out.size() - produced);
        result = inflate(&z, Z_NO_FLUSH);
        produced = z.total_out;
    }
    inflateEnd(&z);
    if (result == Z_STREAM_END && !overflow && produced == expected) return true;
    if (overflow)
        why = "inflates to more than " + std::to_string(expected) + " bytes";
    else if (result == Z_STREAM_END)
        why = "inflates to " + std::to_string(produced) + " bytes, not " + std::to_string(expected);
    else if (result == Z_BUF_ERROR)
        why = "the compressed data ends early";
    else
        why = "the compressed data is damaged (wrong password?)";
    out.clear();
    out.shrink_to_fit();
    return false;
}

} // namespace

TAssetDb::TAssetDb() = default;

TAssetDb::~TAssetDb() { ClearPassword(); }

bool TAssetDb::Fail(std::string message) {
    lastError_ = std::move(message);
    return false;
}

void TAssetDb::SetFileName(const std::string& name) {
    fileName_ = name;
    opened_ = false;
}

void TAssetDb::SetPassword(const uint8_t* bytes, int length) {
    ClearPassword();
    if (length <= 0 || !bytes) return;
    length = std::min(length, MaxPasswordLength);
    std::memcpy(password_.data(), bytes, static_cast<size_t>(length));
    passwordLength_ = length;
}

void TAssetDb::ClearPassword() {
    explicit_bzero(password_.data(), password_.size());
    passwordLength_ = 0;
}

bool TAssetDb::Open() {
    bool ok = true;
    switch (openMode_) {
    case TOpenModes::opUpdate: {
        // A missing file is created; anything else there is read (and a
        // folder or a pipe refused by the read, not replaced).
        struct stat st {};
        ok = stat(fileName_.c_str(), &st) == 0 ? ReadTable(nullptr) : CreateEmpty();
        break;
    }
    case TOpenModes::opOverwrite: ok = CreateEmpty(); break;
    case TOpenModes::opReadOnly: ok = ReadTable(nullptr); break;
    }
    opened_ = ok;
    if (ok) lastError_.clear();
    return ok;
}

bool TAssetDb::CreateEmpty() {
    auto file = TFileStream::Create(fileName_);
    if (!file) return Fail("cannot create " + fileName_);
    signature_ = Signature;
    count_ = 0;
    tableOffset_ = HeaderSize;
    archiveSize_ = HeaderSize;
    Adopt({});
    tableOf_ = {};
    const bool written = file->WriteU32(signature_) && file->WriteU32(count_) && file->WriteU32(tableOffset_);
    if (!file->Close() || !written) return Fail("cannot write " + fileName_);
    lastError_.clear();
    return true;
}

bool TAssetDb::ReadHeader(TStream* stream) {
    if (!stream) return Fail("no stream to read the header from");
    if (!stream->Seek(0) || !stream->ReadU32(signature_) || !stream->ReadU32(count_) || !stream->ReadU32(tableOffset_))
        return Fail("the archive is shorter than its 12-byte header");
    return true;
}

bool TAssetDb::ReadTable(TStream* stream) {
    records_.clear();
    index_.clear();
    tableOf_ = {};
    std::unique_ptr<TFileStream> own;
    if (!stream) {
        std::string why;
        own = TFileStream::OpenRead(fileName_, &why);
        if (!own) return Fail("cannot open " + fileName_ + ": " + why);
        stream = own.get();
    }
    if (!ReadHeader(stream)) return false;
    const uint64_t size = stream->Size();
    archiveSize_ = static_cast<uint32_t>(std::min<uint64_t>(size, UINT32_MAX));

    // Every table entry takes at least 8 bytes (key length and offset).
    if (tableOffset_ > size) return Fail("the record table starts beyond the end of the file");
    if (count_ > (size - tableOffset_) / 8)
        return Fail("the header claims " + std::to_string(count_) + " records, more than the file can hold");
    if (!stream->Seek(tableOffset_)) return Fail("cannot reach the record table");

    std::vector<TAssetRecord> records(count_);
    for (TAssetRecord& record : records) {
        uint32_t length = 0;
        if (!stream->ReadU32(length) || length > stream->Remaining()) return Fail("the record table ends early");
        record.Key.resize(length);
        if (!stream->ReadExact(record.Key.data(), length) || !stream->ReadU32(record.Offset))
            return Fail("the record table ends early");
    }
    for (TAssetRecord& record : records) {
        uint16_t type = 0, secure = 0;
        if (uint64_t{record.Offset} + RecordHeaderSize > size || !stream->Seek(record.Offset) ||
            !stream->ReadU16(type) || !stream->ReadU32(record.OrigSize) || !stream->ReadU32(record.StoredSize) ||
            !stream->ReadF64(record.Stamp) || !stream->ReadExact(record.Checksum.data(), 16) ||
            !stream->ReadU16(secure) || !stream->ReadExact(record.InitVector.data(), 8)) {
            Adopt(std::move(records));
            return Fail("the header of record '" + record.Key + "' lies beyond the end of the file");
        }
        record.RecType = type;
        record.Secure = (secure & 0xFF) != 0;
    }
    Adopt(std::move(records));
    if (auto* file = dynamic_cast<TFileStream*>(stream)) tableOf_ = file->Identity();
    return true;
}

void TAssetDb::Adopt(std::vector<TAssetRecord> records) {
    records_ = std::move(records);
    index_.clear();
    index_.reserve(records_.size());
    for (size_t i = 0; i < records_.size(); ++i) index_.emplace(Lower(records_[i].Key), static_cast<int>(i));
}

int TAssetDb::IndexOf(std::string_view key) const {
    const auto found = index_.find(Lower(key));
    return found == index_.end() ? -1 : found->second;
}

int TAssetDb::RecordType(int index) const {
    if (index < 0 || index >= RecordCount()) return 0;
    return records_[static_cast<size_t>(index)].RecType;
}

bool TAssetDb::ReadRecord(std::string_view key, std::vector<uint8_t>& bytes, uint64_t limit) {
    bytes.clear();
    std::string why;
    auto file = TFileStream::OpenRead(fileName_, &why);
    if (!file) return Fail("cannot open " + fileName_ + ": " + why);
    // Every read sees the current file; an unchanged file keeps its table.
    const TFileIdentity now = file->Identity();
    if ((now == TFileIdentity{} || now != tableOf_) && !ReadTable(file.get())) return false;
    const int index = IndexOf(key);
    if (index < 0) return Fail("no record '" + std::string(key) + "'");
    const TAssetRecord record = records_[static_cast<size_t>(index)];
    const std::string name = "record '" + record.Key + "': ";

    const uint64_t dataStart = uint64_t{record.Offset} + RecordHeaderSize;
    if (dataStart + record.StoredSize > file->Size()) return Fail(name + "its data runs beyond the end of the file");
    if (record.OrigSize == 0) return Fail(name + "it holds no bytes");
    if (record.OrigSize > MaxInflatedSize(record.StoredSize))
        return Fail(name + "it claims " + std::to_string(record.OrigSize) + " bytes, more than its " +
                    std::to_string(record.StoredSize) + " stored bytes can hold");
    if (record.OrigSize > limit)
        return Fail(name + "it claims " + std::to_string(record.OrigSize) + " bytes, more than such a record can need (" +
                    std::to_string(limit) + ")");

    std::vector<uint8_t> stored(record.StoredSize);
    if (!file->Seek(dataStart) || !file->ReadExact(stored.data(), stored.size()))
        return Fail(name + "its data cannot be read");
    file.reset();
    return DecodeRecord(record, stored, bytes);
}

bool TAssetDb::DecodeRecord(const TAssetRecord& record, std::vector<uint8_t>& stored, std::vector<uint8_t>& bytes) {
    const std::string name = "record '" + record.Key + "': ";
    // A secure record read without a password goes on undecrypted and
    // fails below.
    if (record.Secure && passwordLength_ > 0) {
        TBlowfish cipher(password_.data(), static_cast<size_t>(passwordLength_), TBlowfishKeySchedule::Archive);
        cipher.DecryptCbc(stored.data(), stored.size(), record.InitVector.data());
    }
    std::string why;
    const bool inflated = Inflate(stored, record.OrigSize, bytes, why);
    if (!stored.empty()) explicit_bzero(stored.data(), stored.size());
    if (!inflated) return Fail(name + why);
    uint8_t digest[16];
    if (!Md5(bytes.data(), bytes.size(), digest) || std::memcmp(digest, record.Checksum.data(), 16) != 0) {
        bytes.clear();
        return Fail(name + "the digest does not match its bytes");
    }
    lastError_.clear();
    return true;
}

bool TAssetDb::ReadStream(std::string_view key, TStream& stream, uint64_t limit) {
    std::vector<uint8_t> bytes;
    if (!ReadRecord(key, bytes, limit)) return false;
    if (!stream.WriteAll(bytes.data(), bytes.size())) return Fail("cannot write the record to the stream");
    return true;
}

} // namespace zelkor
