#include "audio/WaveFile.h"

#include <cstring>

#include "platform/LittleEndian.h"

namespace zelkor {

namespace {

using le::Put16;
using le::Put32;
using le::U16;
using le::U32;


bool Fail(std::string& error, const char* why) {
    error = why;
    return false;
}

} // namespace

bool ParseWave(const uint8_t* bytes, size_t size, TWaveData& out, std::string& error) {
    if (size < 12 || std::memcmp(bytes, "RIFF", 4) != 0 || std::memcmp(bytes + 8, "WAVE", 4) != 0)
        return Fail(error, "not a RIFF WAVE image");
    // The RIFF size may be wrong in the wild; the chunks are read up to the real end.
    bool haveFormat = false;
    TPcmFormat format;
    size_t at = 12;
    while (at + 8 <= size) {
        const uint32_t chunkSize = U32(bytes + at + 4);
        const uint8_t* chunk = bytes + at + 8;
        const size_t available = size - at - 8;
        if (std::memcmp(bytes + at, "fmt ", 4) == 0) {
            if (chunkSize < 16 || chunkSize > available) return Fail(error, "the format chunk is cut short");
            const uint16_t tag = U16(chunk);
            const bool extensiblePcm = tag == 0xFFFE && chunkSize >= 40 && U16(chunk + 24) == 1;
            if (tag != 1 && !extensiblePcm) return Fail(error, "the samples are not PCM");
            format.Channels = U16(chunk + 2);
            format.Rate = int(U32(chunk + 4));
            format.Bits = U16(chunk + 14);
            const uint16_t blockAlign = U16(chunk + 12);
            if (format.Channels < 1 || format.Channels > 2) return Fail(error, "only mono and stereo are played");
            if (format.Bits != 8 && format.Bits != 16) return Fail(error, "only 8- and 16-bit samples are played");
            if (format.Rate < 1000 || format.Rate > 384000) return Fail(error, "the sample rate is out of range");
            if (blockAlign != format.FrameBytes()) return Fail(error, "the block size does not match the format");
            haveFormat = true;
        } else if (std::memcmp(bytes + at, "data", 4) == 0) {
            if (!haveFormat) return Fail(error, "the data chunk comes before the format");
            if (chunkSize > available) return Fail(error, "the data chunk runs past the end");
            const size_t whole = chunkSize / size_t(format.FrameBytes()) * size_t(format.FrameBytes());
            out.Format = format;
            out.Samples.assign(chunk, chunk + whole);
            return true;
        }
        if (chunkSize > available) return Fail(error, "a chunk runs past the end");
        at += 8 + size_t(chunkSize) + (chunkSize & 1);  // chunks are padded to even sizes
    }
    return Fail(error, haveFormat ? "there is no data chunk" : "there is no format chunk");
}

std::vector<uint8_t> MakeWave(const TPcmFormat& format, const std::vector<uint8_t>& samples) {
    std::vector<uint8_t> v;
    const auto dataSize = uint32_t(samples.size());
    v.insert(v.end(), {'R', 'I', 'F', 'F'});
    Put32(v, 36 + dataSize + (dataSize & 1));
    v.insert(v.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    Put32(v, 16);
    Put16(v, 1);
    Put16(v, uint16_t(format.Channels));
    Put32(v, uint32_t(format.Rate));
    Put32(v, uint32_t(format.Rate * format.FrameBytes()));
    Put16(v, uint16_t(format.FrameBytes()));
    Put16(v, uint16_t(format.Bits));
    v.insert(v.end(), {'d', 'a', 't', 'a'});
    Put32(v, dataSize);
    v.insert(v.end(), samples.begin(), samples.end());
    if (dataSize & 1) v.push_back(0);
    return v;
}

} // namespace zelkor
