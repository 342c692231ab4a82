#include "platform/Streams.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>

#include "platform/RegularFile.h"

namespace zelkor {

bool TStream::ReadU16(uint16_t& v) {
    uint8_t b[2];
    if (!ReadExact(b, 2)) return false;
    v = static_cast<uint16_t>(b[0] | (b[1] << 8));
    return true;
}

bool TStream::ReadU32(uint32_t& v) {
    uint8_t b[4];
    if (!ReadExact(b, 4)) return false;
    v = uint32_t{b[0]} | (uint32_t{b[1]} << 8) | (uint32_t{b[2]} << 16) | (uint32_t{b[3]} << 24);
    return true;
}

bool TStream::ReadI32(int32_t& v) {
    uint32_t u = 0;
    if (!ReadU32(u)) return false;
    v = static_cast<int32_t>(u);
    return true;
}

bool TStream::ReadF64(double& v) {
    uint8_t b[8];
    if (!ReadExact(b, 8)) return false;
    uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) bits = (bits << 8) | b[i];
    std::memcpy(&v, &bits, 8);
    return true;
}

bool TStream::WriteU16(uint16_t v) {
    const uint8_t b[2] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)};
    return WriteAll(b, 2);
}

bool TStream::WriteU32(uint32_t v) {
    const uint8_t b[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
                          static_cast<uint8_t>(v >> 24)};
    return WriteAll(b, 4);
}

bool TStream::WriteF64(double v) {
    uint64_t bits = 0;
    std::memcpy(&bits, &v, 8);
    uint8_t b[8];
    for (int i = 0; i < 8; ++i) b[i] = static_cast<uint8_t>(bits >> (8 * i));
    return WriteAll(b, 8);
}

std::unique_ptr<TFileStream> TFileStream::OpenRead(const std::string& path, std::string* why) {
    std::string reason;
    std::FILE* f = OpenRegularFile(path, reason);
    if (!f) {
        if (why) *why = reason;
        return nullptr;
    }
    return std::unique_ptr<TFileStream>(new TFileStream(f));
}

std::unique_ptr<TFileStream> TFileStream::Create(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "w+b");
    if (!f) return nullptr;
    return std::unique_ptr<TFileStream>(new TFileStream(f));
}

TFileStream::~TFileStream() { Close(); }

bool TFileStream::Close() {
    if (!file_) return !failed_;
    if (std::fclose(file_) != 0) failed_ = true;
    file_ = nullptr;
    return !failed_;
}

size_t TFileStream::Read(void* buffer, size_t size) { return file_ ? std::fread(buffer, 1, size, file_) : 0; }

size_t TFileStream::Write(const void* buffer, size_t size) {
    const size_t n = file_ ? std::fwrite(buffer, 1, size, file_) : 0;
    if (n != size) failed_ = true;
    return n;
}

bool TFileStream::Seek(uint64_t position) {
    return file_ && std::fseek(file_, static_cast<long>(position), SEEK_SET) == 0;
}

uint64_t TFileStream::Position() const {
    if (!file_) return 0;
    const long p = std::ftell(file_);
    return p < 0 ? 0 : static_cast<uint64_t>(p);
}

uint64_t TFileStream::Size() const {
    if (!file_) return 0;
    std::fflush(file_);
    struct stat st {};
    return fstat(fileno(file_), &st) == 0 ? static_cast<uint64_t>(st.st_size) : 0;
}

TFileIdentity TFileStream::Identity() const {
    TFileIdentity id;
    struct stat st {};
    if (!file_ || fstat(fileno(file_), &st) != 0) return id;
    id.Device = st.st_dev;
    id.Inode = st.st_ino;
    id.Size = static_cast<uint64_t>(st.st_size);
    id.Modified = int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    id.Changed = int64_t(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    return id;
}

size_t TMemoryStream::Read(void* buffer, size_t size) {
    const size_t n = std::min(size, data_.size() - position_);
    if (n) std::memcpy(buffer, data_.data() + position_, n);
    position_ += n;
    return n;
}

size_t TMemoryStream::Write(const void* buffer, size_t size) {
    if (position_ + size > data_.size()) data_.resize(position_ + size);
    if (size) std::memcpy(data_.data() + position_, buffer, size);
    position_ += size;
    return size;
}

bool TMemoryStream::Seek(uint64_t position) {
    if (position > data_.size()) return false;
    position_ = static_cast<size_t>(position);
    return true;
}

} // namespace zelkor
