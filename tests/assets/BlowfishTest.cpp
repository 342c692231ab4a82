#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "assets/Blowfish.h"

using namespace zelkor;

namespace {

std::vector<uint8_t> Hex(const std::string& hex) {
    std::vector<uint8_t> out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) out.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return out;
}

struct Vector {
    const char* key;
    const char* plain;
    const char* cipher;
};

} // namespace

// Published test vectors of Blowfish under the standard key schedule: the
// block function and the pi tables are right when these pass.
TEST(Blowfish, StandardTestVectors) {
    const Vector vectors[] = {
        {"0000000000000000", "0000000000000000", "4EF997456198DD78"},
        {"FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFF", "51866FD5B85ECB8A"},
        {"3000000000000000", "1000000000000001", "7D856F9A613063F2"},
        {"1111111111111111", "1111111111111111", "2466DD878B963C9D"},
        {"0123456789ABCDEF", "1111111111111111", "61F9C3802281B096"},
        {"FEDCBA9876543210", "0123456789ABCDEF", "0ACEAB0FC6A0A28D"},
    };
    for (const Vector& v : vectors) {
        const auto key = Hex(v.key);
        TBlowfish cipher(key.data(), key.size(), TBlowfishKeySchedule::Standard);
        auto block = Hex(v.plain);
        cipher.EncryptBlock(block.data());
        EXPECT_EQ(block, Hex(v.cipher)) << v.key;
        cipher.DecryptBlock(block.data());
        EXPECT_EQ(block, Hex(v.plain)) << v.key;
    }
}

TEST(Blowfish, InitialTablesAreThePiDigits) {
    EXPECT_EQ(TBlowfish::InitialP[0], 0x243F6A88u);
    EXPECT_EQ(TBlowfish::InitialS[0][0], 0xD1310BA6u);
}

TEST(Blowfish, TheArchiveScheduleDoublesTheLow24BitsOfTheKeyWord) {
    EXPECT_EQ(TBlowfish::KeyWord(TBlowfishKeySchedule::Standard, 0x01, 0x02, 0x03, 0x04), 0x01020304u);
    EXPECT_EQ(TBlowfish::KeyWord(TBlowfishKeySchedule::Archive, 0x01, 0x02, 0x03, 0x04), 0x01040608u);
    // The carry of the doubled part goes into the top byte, modulo 2^32.
    EXPECT_EQ(TBlowfish::KeyWord(TBlowfishKeySchedule::Archive, 0x10, 0x80, 0x00, 0x00), 0x11000000u);
    EXPECT_EQ(TBlowfish::KeyWord(TBlowfishKeySchedule::Archive, 0xFF, 0xFF, 0xFF, 0xFF), 0x00FFFFFEu);  // 0xFF000000 + 0x1FFFFFE

    // So the two schedules give different ciphers for the same key.
    const uint8_t key[] = {'q', 'z', 'm', 'b'};
    TBlowfish standard(key, 4, TBlowfishKeySchedule::Standard);
    TBlowfish archive(key, 4, TBlowfishKeySchedule::Archive);
    uint32_t l1 = 1, r1 = 2, l2 = 1, r2 = 2;
    standard.EncryptBlock(l1, r1);
    archive.EncryptBlock(l2, r2);
    EXPECT_TRUE(l1 != l2 || r1 != r2);
}

TEST(Blowfish, CbcCoversWholeBlocksAndLeavesTheTailAsStored) {
    const uint8_t key[] = {'q', 'z', 'm', 'b'};
    TBlowfish cipher(key, 4, TBlowfishKeySchedule::Archive);
    const uint8_t iv[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    std::vector<uint8_t> plain(21);
    for (size_t i = 0; i < plain.size(); ++i) plain[i] = static_cast<uint8_t>(i * 7);
    auto data = plain;
    cipher.EncryptCbc(data.data(), data.size(), iv);
    EXPECT_NE(std::vector<uint8_t>(data.begin(), data.begin() + 16), std::vector<uint8_t>(plain.begin(), plain.begin() + 16));
    EXPECT_EQ(std::vector<uint8_t>(data.begin() + 16, data.end()), std::vector<uint8_t>(plain.begin() + 16, plain.end()));
    // Chaining: equal plain blocks give different cipher blocks.
    std::vector<uint8_t> same(16, 0xAB);
    cipher.EncryptCbc(same.data(), same.size(), iv);
    EXPECT_NE(std::memcmp(same.data(), same.data() + 8, 8), 0);
    cipher.DecryptCbc(data.data(), data.size(), iv);
    EXPECT_EQ(data, plain);
}

TEST(Blowfish, KeysBeyond56BytesAreCut) {
    std::vector<uint8_t> key56(56, 0x5A), key60(60, 0x5A);
    key60[58] = 0x00;  // differs only past byte 56
    TBlowfish a(key56.data(), key56.size(), TBlowfishKeySchedule::Archive);
    TBlowfish b(key60.data(), key60.size(), TBlowfishKeySchedule::Archive);
    uint32_t l1 = 7, r1 = 9, l2 = 7, r2 = 9;
    a.EncryptBlock(l1, r1);
    b.EncryptBlock(l2, r2);
    EXPECT_EQ(l1, l2);
    EXPECT_EQ(r1, r2);
}
