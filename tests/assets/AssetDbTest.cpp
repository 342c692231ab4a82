#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdint>

#include "assets/AssetDb.h"
#include "tests/assets/ArchiveFixture.h"

using namespace zelkor;
using namespace zelkor::testing_support;

namespace {

class AssetDbTest : public ::testing::Test {
protected:
    // Writes `bytes` as the archive and opens it read-only with the game's password.
    bool OpenBytes(const std::vector<uint8_t>& bytes, const std::string& password = "qzmb") {
        WriteBytes(path, bytes);
        db.SetFileName(path);
        db.SetOpenMode(TOpenModes::opReadOnly);
        db.SetPassword(password);
        return db.Open();
    }
    std::string Read(const std::string& key) {
        std::vector<uint8_t> out;
        if (!db.ReadRecord(key, out)) return "<failed: " + db.LastError() + ">";
        return std::string(out.begin(), out.end());
    }

    ScratchFolder folder;
    std::string path = folder.File("archive.dat");
    TAssetDb db;
};

} // namespace

TEST_F(AssetDbTest, ReadsPlainAndSecureRecordsByKeyWithoutRegardToCase) {
    ASSERT_TRUE(OpenBytes(BuildArchive({Entry("Ground", "the ground pixels"), Entry("font_main", "glyphs", true, 3)})));
    EXPECT_TRUE(db.Opened());
    EXPECT_EQ(db.RecordCount(), 2);
    EXPECT_EQ(Read("ground"), "the ground pixels");
    EXPECT_EQ(Read("FONT_MAIN"), "glyphs");
    EXPECT_EQ(db.IndexOf("GROUND"), 0);
    EXPECT_EQ(db.IndexOf("nothing"), -1);
    EXPECT_EQ(db.RecordType(1), 3);
    EXPECT_EQ(db.RecordType(-1), 0);
    EXPECT_EQ(db.RecordType(2), 0);
    EXPECT_TRUE(db.Record(1).Secure);

    TMemoryStream stream;
    stream.Write("ab", 2);
    ASSERT_TRUE(db.ReadStream("ground", stream));
    EXPECT_EQ(stream.Position(), 2u + 17u);  // appended after what was there
    EXPECT_EQ(stream.Size(), 19u);
}

TEST_F(AssetDbTest, TheEarlierOfTwoKeysDifferingInCaseWins) {
    ASSERT_TRUE(OpenBytes(BuildArchive({Entry("piece", "first"), Entry("PIECE", "second")})));
    EXPECT_EQ(Read("Piece"), "first");
    EXPECT_EQ(db.IndexOf("PIECE"), 0);
}

TEST_F(AssetDbTest, AnEmpty12ByteArchiveOpensAndEveryReadFails) {
    db.SetFileName(path);
    db.SetOpenMode(TOpenModes::opOverwrite);
    ASSERT_TRUE(db.Open());
    EXPECT_EQ(db.ArchiveSize(), 12u);
    db.SetOpenMode(TOpenModes::opReadOnly);
    ASSERT_TRUE(db.Open());
    EXPECT_EQ(db.RecordCount(), 0);
    EXPECT_EQ(db.HeaderSignature(), TAssetDb::Signature);
    EXPECT_EQ(db.TableOffset(), 12u);
    EXPECT_EQ(Read("anything").substr(0, 8), "<failed:");
}

TEST_F(AssetDbTest, WrongOrMissingPasswordFailsASecureRecord) {
    const auto bytes = BuildArchive({Entry("secret", std::string(300, 'x') + "payload", true)});
    ASSERT_TRUE(OpenBytes(bytes, "wrong"));
    EXPECT_EQ(Read("secret").substr(0, 8), "<failed:");
    ASSERT_TRUE(OpenBytes(bytes, ""));
    EXPECT_EQ(db.PasswordLength(), 0);
    EXPECT_EQ(Read("secret").substr(0, 8), "<failed:");
    ASSERT_TRUE(OpenBytes(bytes, "qzmb"));
    EXPECT_EQ(Read("secret"), std::string(300, 'x') + "payload");
}

TEST_F(AssetDbTest, ASecureRecordWhoseSizeIsNoMultipleOfEightKeepsItsTailInClear) {
    // A short record compresses to a stored size that is no multiple of 8.
    auto entry = Entry("odd", "ab", true);
    auto bytes = BuildArchive({entry});
    ASSERT_TRUE(OpenBytes(bytes));
    const TAssetRecord r = db.Record(0);
    ASSERT_NE(r.StoredSize % 8, 0u);
    EXPECT_EQ(Read("odd"), "ab");
    // The tail is the plain zlib tail: the same bytes as in an unencrypted copy.
    auto plain = BuildArchive({Entry("odd", "ab", false)});
    const size_t tail = r.StoredSize % 8;
    const size_t end = r.Offset + TAssetDb::RecordHeaderSize + r.StoredSize;
    EXPECT_TRUE(std::equal(bytes.begin() + long(end - tail), bytes.begin() + long(end), plain.begin() + long(end - tail)));
}

TEST_F(AssetDbTest, PasswordsAreCutTo56Bytes) {
    const std::string long60(60, 'k');
    auto bytes = BuildArchive({Entry("s", "secret", true)}, long60.substr(0, 56));
    ASSERT_TRUE(OpenBytes(bytes, long60));
    EXPECT_EQ(db.PasswordLength(), 56);
    EXPECT_EQ(Read("s"), "secret");
}

TEST_F(AssetDbTest, ADigestMismatchFailsTheRead) {
    auto bytes = BuildArchive({Entry("a", "some bytes")});
    bytes[12 + 18] ^= 0xFF;  // first byte of the record's checksum
    ASSERT_TRUE(OpenBytes(bytes));
    EXPECT_NE(Read("a").find("digest"), std::string::npos);
}

TEST_F(AssetDbTest, ARecordOfSizeZeroIsUnreadable) {
    auto bytes = BuildArchive({Entry("a", "x")});
    PutU32(bytes, 12 + 2, 0);  // OrigSize
    ASSERT_TRUE(OpenBytes(bytes));
    EXPECT_EQ(Read("a").substr(0, 8), "<failed:");
}

TEST_F(AssetDbTest, OpenModes) {
    db.SetFileName(folder.File("missing.dat"));
    db.SetOpenMode(TOpenModes::opReadOnly);
    EXPECT_FALSE(db.Open());
    EXPECT_FALSE(db.Opened());
    EXPECT_EQ(db.RecordCount(), 0);

    db.SetOpenMode(TOpenModes::opUpdate);  // a missing file becomes an empty archive
    EXPECT_TRUE(db.Open());
    EXPECT_EQ(db.ArchiveSize(), 12u);

    ASSERT_TRUE(OpenBytes(BuildArchive({Entry("a", "1")})));
    db.SetOpenMode(TOpenModes::opUpdate);  // an existing one is read
    EXPECT_TRUE(db.Open());
    EXPECT_EQ(db.RecordCount(), 1);
    db.SetOpenMode(TOpenModes::opOverwrite);  // and replaced by an empty one
    EXPECT_TRUE(db.Open());
    EXPECT_EQ(db.RecordCount(), 0);

    db.SetFileName(folder.File(""));  // a folder is no archive
    db.SetOpenMode(TOpenModes::opReadOnly);
    EXPECT_FALSE(db.Open());
}

TEST_F(AssetDbTest, ChangingTheFileNameMakesEnsureOpenOpenTheNewFile) {
    ASSERT_TRUE(OpenBytes(BuildArchive({Entry("a", "1")})));
    const std::string other = folder.File("other.dat");
    WriteBytes(other, BuildArchive({Entry("b", "2"), Entry("c", "3")}));
    db.SetFileName(other);
    EXPECT_FALSE(db.Opened());
    EXPECT_TRUE(db.EnsureOpen());
    EXPECT_EQ(db.RecordCount(), 2);
    EXPECT_TRUE(db.EnsureOpen());
}

TEST_F(AssetDbTest, EveryReadSeesTheCurrentFile) {
    ASSERT_TRUE(OpenBytes(BuildArchive({Entry("a", "old")})));
    WriteBytes(path, BuildArchive({Entry("a", "new one")}));
    EXPECT_EQ(Read("a"), "new one");
}

// A damaged or hostile file: every claim the file cannot hold is refused
// before anything is allocated for it, and nothing is read outside the file.
TEST_F(AssetDbTest, HostileHeadersAndTablesAreRefused) {
    const auto good = BuildArchive({Entry("alpha", std::string(100, 'a')), Entry("beta", "b")});
    const uint32_t table = GetU32(good, 8);

    auto hugeCount = good;
    PutU32(hugeCount, 4, 0xFFFFFFFF);
    EXPECT_FALSE(OpenBytes(hugeCount));
    EXPECT_NE(db.LastError().find("more than the file can hold"), std::string::npos);

    auto tableBeyond = good;
    PutU32(tableBeyond, 8, static_cast<uint32_t>(good.size() + 1));
    EXPECT_FALSE(OpenBytes(tableBeyond));

    auto hugeKey = good;
    PutU32(hugeKey, table, 0x7FFFFFFF);
    EXPECT_FALSE(OpenBytes(hugeKey));
    EXPECT_EQ(db.RecordCount(), 0);

    auto offsetBeyond = good;
    PutU32(offsetBeyond, table + 4 + 5, 0xFFFFFFF0);  // offset of "alpha"
    EXPECT_FALSE(OpenBytes(offsetBeyond));

    auto storedBeyond = good;
    PutU32(storedBeyond, 12 + 6, 0xFFFFFF00);  // StoredSize of the first record
    ASSERT_TRUE(OpenBytes(storedBeyond));
    EXPECT_NE(Read("alpha").find("beyond the end"), std::string::npos);
    EXPECT_EQ(Read("beta"), "b");  // the other record is still fine

    auto noData = good;  // a record with no stored bytes at all
    PutU32(noData, 12 + 6, 0);
    ASSERT_TRUE(OpenBytes(noData));
    EXPECT_EQ(Read("alpha").substr(0, 8), "<failed:");

    auto origHuge = good;
    PutU32(origHuge, 12 + 2, 0xFFFFFFFF);  // OrigSize far beyond what the data can inflate to
    ASSERT_TRUE(OpenBytes(origHuge));
    EXPECT_NE(Read("alpha").find("more than its"), std::string::npos);

    auto origLarger = good;
    PutU32(origLarger, 12 + 2, 101);  // one more than the data holds
    ASSERT_TRUE(OpenBytes(origLarger));
    EXPECT_NE(Read("alpha").find("inflates to 100 bytes"), std::string::npos);

    auto origSmaller = good;
    PutU32(origSmaller, 12 + 2, 99);
    ASSERT_TRUE(OpenBytes(origSmaller));
    EXPECT_NE(Read("alpha").find("more than 99"), std::string::npos);
}

TEST_F(AssetDbTest, EveryTruncationOfAnArchiveFailsCleanly) {
    const auto good = BuildArchive({Entry("alpha", std::string(64, 'a'), true), Entry("beta", "bb")});
    for (size_t n = 0; n < good.size(); ++n) {
        const std::vector<uint8_t> cut(good.begin(), good.begin() + long(n));
        if (OpenBytes(cut)) {
            // The table was whole; the records may not be.
            (void)Read("alpha");
            (void)Read("beta");
        } else {
            EXPECT_FALSE(db.Opened()) << n;
            EXPECT_FALSE(db.LastError().empty()) << n;
        }
    }
    ASSERT_TRUE(OpenBytes(good));
    EXPECT_EQ(Read("beta"), "bb");
}

// What a record claims it holds costs nothing until it is really decoded:
// a record that claims more than the caller's kind of record can need is
// refused unread, and a damaged one that claims a large size fails after
// decoding no more than the damage let through.
TEST_F(AssetDbTest, AClaimedSizeCostsNothingBeforeTheBytesAreThere) {
    // Random bytes barely compress: about 2 MiB stored, so the archive's
    // 1032 : 1 bound lets the record claim well over a gigabyte.
    std::string noise(2 << 20, '\0');
    uint32_t x = 12345;
    for (char& c : noise) {
        x = x * 1103515245u + 12345u;
        c = char(x >> 24);
    }
    auto bytes = BuildArchive({Entry("big", noise), Entry("small", "s")});
    constexpr uint32_t kClaim = 1536u << 20;
    PutU32(bytes, 12 + 2, kClaim);  // OrigSize of "big"
    bytes.at(12 + 44 + 1000) ^= 0x5A;  // and its data damaged early on
    ASSERT_TRUE(OpenBytes(bytes));

    std::vector<uint8_t> out;
    EXPECT_FALSE(db.ReadRecord("big", out, 64u << 20));
    EXPECT_NE(db.LastError().find("more than such a record can need"), std::string::npos) << db.LastError();
    EXPECT_NE(db.LastError().find("'big'"), std::string::npos) << "the record is named: " << db.LastError();

    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    EXPECT_FALSE(db.ReadRecord("big", out, UINT64_MAX));
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    EXPECT_TRUE(out.empty());
    // The peak may only have grown by what a few pieces of output take,
    // not by the 1.5 GiB claimed.
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 200L * 1024) << "kilobytes more at the peak";
    EXPECT_EQ(Read("small"), "s");
}

// Decoding in pieces yields the same bytes and the same verdicts as one
// piece: sizes around the first piece and its doublings, with the stream
// ending exactly, early, or late.
TEST_F(AssetDbTest, RecordsOfEverySizeAroundThePiecesDecodeExactly) {
    for (size_t size : {size_t{1}, size_t{65535}, size_t{65536}, size_t{65537}, size_t{131072}, size_t{300001}}) {
        std::string text(size, 'x');
        for (size_t i = 0; i < size; i += 7) text[i] = char('a' + i % 26);
        const auto bytes = BuildArchive({Entry("r", text, true)});
        ASSERT_TRUE(OpenBytes(bytes)) << size;
        EXPECT_EQ(Read("r"), text) << size;

        auto longer = bytes;
        PutU32(longer, 12 + 2, uint32_t(size + 1));
        ASSERT_TRUE(OpenBytes(longer));
        EXPECT_NE(Read("r").find("inflates to " + std::to_string(size) + " bytes"), std::string::npos) << size;

        if (size > 1) {
            auto shorter = bytes;
            PutU32(shorter, 12 + 2, uint32_t(size - 1));
            ASSERT_TRUE(OpenBytes(shorter));
            EXPECT_NE(Read("r").find("more than " + std::to_string(size - 1)), std::string::npos) << size;
        }
    }
}
