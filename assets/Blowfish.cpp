#include "assets/Blowfish.h"

#include <algorithm>
#include <cstring>
#include <string.h>  // explicit_bzero

namespace zelkor {

namespace {

uint32_t ReadBigEndian(const uint8_t* b) {
    return (uint32_t{b[0]} << 24) | (uint32_t{b[1]} << 16) | (uint32_t{b[2]} << 8) | uint32_t{b[3]};
}

void WriteBigEndian(uint8_t* b, uint32_t v) {
    b[0] = static_cast<uint8_t>(v >> 24);
    b[1] = static_cast<uint8_t>(v >> 16);
    b[2] = static_cast<uint8_t>(v >> 8);
    b[3] = static_cast<uint8_t>(v);
}

} // namespace

uint32_t TBlowfish::KeyWord(TBlowfishKeySchedule schedule, uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3) {
    const uint32_t low = (uint32_t{b1} << 16) | (uint32_t{b2} << 8) | uint32_t{b3};
    if (schedule == TBlowfishKeySchedule::Standard) return (uint32_t{b0} << 24) | low;
    return (uint32_t{b0} << 24) + 2 * low;  // the doubled low part carries into the top byte
}

TBlowfish::TBlowfish(const uint8_t* key, size_t length, TBlowfishKeySchedule schedule) {
    std::memcpy(p_, InitialP, sizeof p_);
    std::memcpy(s_, InitialS, sizeof s_);
    length = std::min<size_t>(length, 56);
    if (key && length > 0) {
        for (size_t i = 0; i < 18; ++i) {
            const size_t p = (4 * i) % length;
            p_[i] ^= KeyWord(schedule, key[p], key[(p + 1) % length], key[(p + 2) % length], key[(p + 3) % length]);
        }
    }
    uint32_t left = 0, right = 0;
    for (size_t i = 0; i < 18; i += 2) {
        EncryptBlock(left, right);
        p_[i] = left;
        p_[i + 1] = right;
    }
    for (auto& box : s_)
        for (size_t i = 0; i < 256; i += 2) {
            EncryptBlock(left, right);
            box[i] = left;
            box[i + 1] = right;
        }
}

TBlowfish::~TBlowfish() {
    explicit_bzero(p_, sizeof p_);
    explicit_bzero(s_, sizeof s_);
}

inline uint32_t TBlowfish::F(uint32_t x) const {
    return ((s_[0][x >> 24] + s_[1][(x >> 16) & 0xFF]) ^ s_[2][(x >> 8) & 0xFF]) + s_[3][x & 0xFF];
}

void TBlowfish::EncryptBlock(uint32_t& left, uint32_t& right) const {
    uint32_t l = left, r = right;
    for (int i = 0; i < 16; ++i) {
        l ^= p_[i];
        r ^= F(l);
        std::swap(l, r);
    }
    std::swap(l, r);
    r ^= p_[16];
    l ^= p_[17];
    left = l;
    right = r;
}

void TBlowfish::DecryptBlock(uint32_t& left, uint32_t& right) const {
    uint32_t l = left, r = right;
    for (int i = 17; i > 1; --i) {
        l ^= p_[i];
        r ^= F(l);
        std::swap(l, r);
    }
    std::swap(l, r);
    r ^= p_[1];
    l ^= p_[0];
    left = l;
    right = r;
}

void TBlowfish::EncryptBlock(uint8_t block[8]) const {
    uint32_t l = ReadBigEndian(block), r = ReadBigEndian(block + 4);
    EncryptBlock(l, r);
    WriteBigEndian(block, l);
    WriteBigEndian(block + 4, r);
}

void TBlowfish::DecryptBlock(uint8_t block[8]) const {
    uint32_t l = ReadBigEndian(block), r = ReadBigEndian(block + 4);
    DecryptBlock(l, r);
    WriteBigEndian(block, l);
    WriteBigEndian(block + 4, r);
}

void TBlowfish::EncryptCbc(uint8_t* data, size_t size, const uint8_t iv[8]) const {
    uint8_t chain[8];
    std::memcpy(chain, iv, 8);
    for (size_t b = 0; b + 8 <= size; b += 8) {
        for (int i = 0; i < 8; ++i) data[b + i] ^= chain[i];
        EncryptBlock(data + b);
        std::memcpy(chain, data + b, 8);
    }
    explicit_bzero(chain, sizeof chain);
}

void TBlowfish::DecryptCbc(uint8_t* data, size_t size, const uint8_t iv[8]) const {
    uint8_t chain[8], cipher[8];
    std::memcpy(chain, iv, 8);
    for (size_t b = 0; b + 8 <= size; b += 8) {
        std::memcpy(cipher, data + b, 8);
        DecryptBlock(data + b);
        for (int i = 0; i < 8; ++i) data[b + i] ^= chain[i];
        std::memcpy(chain, cipher, 8);
    }
    explicit_bzero(chain, sizeof chain);
    explicit_bzero(cipher, sizeof cipher);
}

} // namespace zelkor
