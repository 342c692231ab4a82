#pragma once
// The Blowfish block cipher: the standard 16-round block function, CBC over
// whole 8-byte blocks, and two key schedules: the standard one, and the
// archive's, which mixes each key word differently (see KeyWord).
//
// A context holds the expanded key; it is wiped when destroyed.

#include <cstddef>
#include <cstdint>

namespace zelkor {

enum class TBlowfishKeySchedule {
    Standard,  // key word = the big-endian word b0 b1 b2 b3
    Archive,   // key word = b0 * 2^24 + 2 * (b1 * 2^16 + b2 * 2^8 + b3), mod 2^32
};

class TBlowfish {
public:
    // `key` of 1..56 bytes (longer keys are cut to 56).
    TBlowfish(const uint8_t* key, size_t length, TBlowfishKeySchedule schedule);
    TBlowfish(const TBlowfish&) = delete;
    TBlowfish& operator=(const TBlowfish&) = delete;
    ~TBlowfish();

    void EncryptBlock(uint32_t& left, uint32_t& right) const;
    void DecryptBlock(uint32_t& left, uint32_t& right) const;
    // Eight bytes, two big-endian halves, left half first.
    void EncryptBlock(uint8_t block[8]) const;
    void DecryptBlock(uint8_t block[8]) const;

    // CBC over the size div 8 whole blocks of `data`, in place, chaining
    // from `iv`; the trailing size mod 8 bytes are left as they are.
    void EncryptCbc(uint8_t* data, size_t size, const uint8_t iv[8]) const;
    void DecryptCbc(uint8_t* data, size_t size, const uint8_t iv[8]) const;

    // The word a key schedule mixes into P[i] from four key bytes.
    static uint32_t KeyWord(TBlowfishKeySchedule schedule, uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3);

    static const uint32_t InitialP[18];
    static const uint32_t InitialS[4][256];

private:
    uint32_t F(uint32_t x) const;

    uint32_t p_[18];
    uint32_t s_[4][256];
};

} // namespace zelkor
