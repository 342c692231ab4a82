#include "tools/pack/ArchiveWriter.h"

#include <openssl/evp.h>
#include <openssl/rand.h>
#include <zlib.h>

#include <cstring>

#include "assets/AssetDb.h"
#include "assets/Blowfish.h"
#include "platform/Streams.h"
#include "tools/pack/ReplaceFile.h"

namespace zelkor {

TArchiveWriter::IvSource TArchiveWriter::SeededIvs(std::string seed) {
    return [seed](const TArchiveEntry& entry) {
        const std::string material = seed + '\0' + entry.Key;
        uint8_t digest[EVP_MAX_MD_SIZE];
        unsigned int length = 0;
        EVP_Digest(material.data(), material.size(), digest, &length, EVP_md5(), nullptr);
        std::array<uint8_t, 8> iv{};
        std::memcpy(iv.data(), digest, 8);
        return iv;
    };
}

bool TArchiveWriter::Build(std::vector<uint8_t>& out, std::string& error) const {
    TMemoryStream s;
    s.WriteU32(TAssetDb::Signature);
    s.WriteU32(static_cast<uint32_t>(entries_.size()));
    s.WriteU32(0);  // table offset, written at the end
    std::vector<uint32_t> offsets;
    for (const TArchiveEntry& e : entries_) {
        if (e.Bytes.empty()) {
            error = "record '" + e.Key + "' is empty; the reader refuses empty records";
            return false;
        }
        if (e.RecType < 0 || e.RecType > 0xFFFF) {
            error = "record '" + e.Key + "': the record type must lie in 0..65535";
            return false;
        }
        uLongf storedSize = compressBound(static_cast<uLong>(e.Bytes.size()));
        std::vector<uint8_t> stored(storedSize);
        if (compress2(stored.data(), &storedSize, e.Bytes.data(), static_cast<uLong>(e.Bytes.size()), level_) != Z_OK) {
            error = "record '" + e.Key + "': zlib cannot compress it";
            return false;
        }
        stored.resize(storedSize);

        std::array<uint8_t, 8> iv{};
        if (e.Secure) {
            if (password_.empty()) {
                error = "record '" + e.Key + "' is secure, but there is no password";
                return false;
            }
            if (ivSource_) {
                iv = ivSource_(e);
            } else if (RAND_bytes(iv.data(), 8) != 1) {
                error = "no random bytes for an initialisation vector";
                return false;
            }
            TBlowfish cipher(reinterpret_cast<const uint8_t*>(password_.data()), password_.size(),
                             TBlowfishKeySchedule::Archive);
            cipher.EncryptCbc(stored.data(), stored.size(), iv.data());
        }

        uint8_t digest[EVP_MAX_MD_SIZE];
        unsigned int length = 0;
        EVP_Digest(e.Bytes.data(), e.Bytes.size(), digest, &length, EVP_md5(), nullptr);

        if (s.Position() + TAssetDb::RecordHeaderSize + stored.size() > UINT32_MAX) {
            error = "the archive would exceed 4 GiB";
            return false;
        }
        offsets.push_back(static_cast<uint32_t>(s.Position()));
        s.WriteU16(static_cast<uint16_t>(e.RecType));
        s.WriteU32(static_cast<uint32_t>(e.Bytes.size()));
        s.WriteU32(static_cast<uint32_t>(stored.size()));
        s.WriteF64(e.Stamp);
        s.WriteAll(digest, 16);
        s.WriteU16(e.Secure ? 1 : 0);
        s.WriteAll(iv.data(), 8);
        s.WriteAll(stored.data(), stored.size());
    }
    const auto tableOffset = static_cast<uint32_t>(s.Position());
    for (size_t i = 0; i < entries_.size(); ++i) {
        s.WriteU32(static_cast<uint32_t>(entries_[i].Key.size()));
        s.WriteAll(entries_[i].Key.data(), entries_[i].Key.size());
        s.WriteU32(offsets[i]);
    }
    s.Seek(8);
    s.WriteU32(tableOffset);
    out = std::move(s.Data());
    return true;
}

bool TArchiveWriter::WriteFile(const std::string& path, std::string& error) const {
    std::vector<uint8_t> bytes;
    return Build(bytes, error) && ReplaceFile(path, bytes.data(), bytes.size(), error);
}

} // namespace zelkor
