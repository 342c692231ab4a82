#pragma once
// Byte streams: a file on disk and a growable block of memory, read and
// written at a position, with little-endian helpers for the binary formats
// the game reads (archives, image and font records).

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace zelkor {

class TStream {
public:
    virtual ~TStream() = default;
    // Reads up to `size` bytes; returns how many were read.
    virtual size_t Read(void* buffer, size_t size) = 0;
    // Writes `size` bytes; returns how many were written.
    virtual size_t Write(const void* buffer, size_t size) = 0;
    virtual bool Seek(uint64_t position) = 0;
    virtual uint64_t Position() const = 0;
    virtual uint64_t Size() const = 0;

    uint64_t Remaining() const { return Size() > Position() ? Size() - Position() : 0; }
    bool ReadExact(void* buffer, size_t size) { return Read(buffer, size) == size; }
    bool WriteAll(const void* buffer, size_t size) { return Write(buffer, size) == size; }
    bool ReadU8(uint8_t& v) { return ReadExact(&v, 1); }
    bool ReadU16(uint16_t& v);
    bool ReadU32(uint32_t& v);
    bool ReadI32(int32_t& v);
    bool ReadF64(double& v);
    bool WriteU8(uint8_t v) { return WriteAll(&v, 1); }
    bool WriteU16(uint16_t v);
    bool WriteU32(uint32_t v);
    bool WriteI32(int32_t v) { return WriteU32(static_cast<uint32_t>(v)); }
    bool WriteF64(double v);
};

// What tells one state of a file from another: the file itself (device and
// inode), its size and its times of change.
struct TFileIdentity {
    uint64_t Device = 0, Inode = 0, Size = 0;
    int64_t Modified = 0, Changed = 0;  // nanoseconds
    bool operator==(const TFileIdentity&) const = default;
};

class TFileStream : public TStream {
public:
    // nullptr when the file cannot be opened or created. Only an ordinary
    // file is opened for reading (a folder, a named pipe or a device is
    // refused without waiting); `why` gets the reason.
    static std::unique_ptr<TFileStream> OpenRead(const std::string& path, std::string* why = nullptr);
    static std::unique_ptr<TFileStream> Create(const std::string& path);  // replaces any file
    ~TFileStream() override;

    size_t Read(void* buffer, size_t size) override;
    size_t Write(const void* buffer, size_t size) override;
    bool Seek(uint64_t position) override;
    uint64_t Position() const override;
    uint64_t Size() const override;
    // The open file's identity now; all zero when it cannot be told.
    TFileIdentity Identity() const;
    // Flushes and closes; false when anything written did not reach the file.
    bool Close();

private:
    explicit TFileStream(std::FILE* file) : file_(file) {}
    std::FILE* file_;
    bool failed_ = false;
};

class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::vector<uint8_t> data) : data_(std::move(data)) {}

    size_t Read(void* buffer, size_t size) override;
    size_t Write(const void* buffer, size_t size) override;
    bool Seek(uint64_t position) override;  // within 0..Size()
    uint64_t Position() const override { return position_; }
    uint64_t Size() const override { return data_.size(); }

    const std::vector<uint8_t>& Data() const { return data_; }
    std::vector<uint8_t>& Data() { return data_; }

private:
    std::vector<uint8_t> data_;
    size_t position_ = 0;
};

} // namespace zelkor
