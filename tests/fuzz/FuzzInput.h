#pragma once
// Reads a fuzzer's bytes as a sequence of small values; past the end every
// read gives zero, so a target never runs off its input.

#include <cstddef>
#include <cstdint>
#include <string>

namespace zelkor::fuzz {

class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool Empty() const { return pos_ >= size_; }
    uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    bool Bool() { return (Byte() & 1) != 0; }
    std::string Bytes(size_t n) {
        std::string out;
        while (n-- > 0 && pos_ < size_) out += static_cast<char>(data_[pos_++]);
        return out;
    }
    // Everything not read yet.
    std::string Rest() { return Bytes(size_ - pos_); }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

} // namespace zelkor::fuzz
