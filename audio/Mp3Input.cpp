#include "audio/Mp3Input.h"

#include <mpg123.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/RegularFile.h"

namespace zelkor {

namespace {

void InitLibrary() {
    static std::once_flag once;
    std::call_once(once, [] { mpg123_init(); });
}

// The decoder reads through the C library's buffered stream: hunting for the
// next frame through damaged data otherwise costs a system call every few
// bytes.
mpg123_ssize_t ReadFile(void* handle, void* buffer, size_t bytes) {
    auto* file = static_cast<std::FILE*>(handle);
    const size_t done = std::fread(buffer, 1, bytes, file);
    if (done == 0 && std::ferror(file)) return -1;
    return mpg123_ssize_t(done);
}

off_t SeekFile(void* handle, off_t offset, int whence) {
    auto* file = static_cast<std::FILE*>(handle);
    if (fseeko(file, offset, whence) != 0) return -1;
    return ftello(file);
}

} // namespace

TMP3In::TMP3In() { InitLibrary(); }

TMP3In::~TMP3In() { Close(); }

void TMP3In::SetFileName(const std::string& name) {
    std::lock_guard lock(lock_);
    CloseLocked();
    fileName_ = name;
}

bool TMP3In::Valid() {
    std::string error;
    const bool ok = Open(error);
    lastError_ = error;
    return ok;
}

bool TMP3In::Open(std::string& error) {
    std::lock_guard lock(lock_);
    return OpenLocked(error);
}

bool TMP3In::OpenLocked(std::string& error) {
    if (handle_) return true;
    int err = MPG123_OK;
    mpg123_handle* h = mpg123_new(nullptr, &err);
    if (!h) {
        error = "the MP3 decoder cannot start";
        return false;
    }
    mpg123_param(h, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS, 0.0);
    // Every rate, 16-bit samples, the channels asked for.
    mpg123_format_none(h);
    const long* rates = nullptr;
    size_t count = 0;
    mpg123_rates(&rates, &count);
    const int channels = outputChannels_ == TChannelsNumber::cnMono     ? MPG123_MONO
                         : outputChannels_ == TChannelsNumber::cnStereo ? MPG123_STEREO
                                                                         : MPG123_MONO | MPG123_STEREO;
    for (size_t i = 0; i < count; ++i) mpg123_format(h, rates[i], channels, MPG123_ENC_SIGNED_16);

    std::FILE* file = nullptr;
    auto fail = [&](const std::string& why) {
        error = fileName_ + ": " + why;
        mpg123_close(h);
        mpg123_delete(h);
        if (file) std::fclose(file);
        return false;
    };
    if (fileName_.empty()) return fail("no file name");
    std::string why;
    file = OpenRegularFile(fileName_, why);
    if (!file) return fail("cannot open the file: " + why);
    std::setvbuf(file, nullptr, _IOFBF, 64 * 1024);
    if (mpg123_replace_reader_handle(h, ReadFile, SeekFile, nullptr) != MPG123_OK || mpg123_open_handle(h, file) != MPG123_OK)
        return fail("cannot open the file");
    long rate = 0;
    int fileChannels = 0, encoding = 0;
    if (mpg123_getformat(h, &rate, &fileChannels, &encoding) != MPG123_OK || rate <= 0 || fileChannels <= 0)
        return fail("no MPEG audio in the file");
    // A file is playable only if a frame really decodes.
    off_t frameNumber = 0;
    unsigned char* audio = nullptr;
    size_t bytes = 0;
    const int decoded = mpg123_decode_frame(h, &frameNumber, &audio, &bytes);
    if ((decoded != MPG123_OK && decoded != MPG123_NEW_FORMAT) || mpg123_seek(h, 0, SEEK_SET) < 0)
        return fail("the audio does not decode");
    mpg123_format_none(h);
    mpg123_format(h, rate, fileChannels, MPG123_ENC_SIGNED_16);
    handle_ = h;
    file_ = file;
    format_.Channels = fileChannels;
    format_.Rate = int(rate);
    format_.Bits = 16;
    const off_t length = mpg123_length(h);
    totalSamples_ = length >= 0 ? int64_t(length) : -1;
    position_ = 0;
    if (startSample_ > 0 && !SeekStartLocked()) {
        CloseLocked();
        error = fileName_ + ": cannot seek to the start sample";
        return false;
    }
    return true;
}

void TMP3In::Close() {
    std::lock_guard lock(lock_);
    CloseLocked();
}

void TMP3In::CloseLocked() {
    if (!handle_) return;
    mpg123_close(handle_);
    mpg123_delete(handle_);
    handle_ = nullptr;
    std::fclose(file_);
    file_ = nullptr;
}

bool TMP3In::SeekStartLocked() {
    if (mpg123_seek(handle_, off_t(startSample_), SEEK_SET) >= 0) {
        position_ = 0;
        return true;
    }
    // A stream that cannot seek is opened again and read up to the start.
    CloseLocked();
    const int64_t start = startSample_;
    startSample_ = 0;
    std::string ignored;
    const bool reopened = OpenLocked(ignored);
    startSample_ = start;
    if (!reopened) return false;
    std::vector<uint8_t> skip(size_t(format_.FrameBytes()) * 4096);
    for (int64_t left = start; left > 0;) {
        const size_t want = std::min(skip.size(), size_t(left) * size_t(format_.FrameBytes()));
        size_t done = 0;
        if (mpg123_read(handle_, skip.data(), want, &done) != MPG123_OK || done == 0) return false;
        left -= int64_t(done / size_t(format_.FrameBytes()));
    }
    position_ = 0;
    return true;
}

size_t TMP3In::Read(uint8_t* buffer, size_t bytes) {
    std::lock_guard lock(lock_);
    if (!handle_) return 0;
    const size_t frameBytes = size_t(format_.FrameBytes());
    bytes -= bytes % frameBytes;
    size_t filled = 0;
    bool restarted = false;  // a loop that yields nothing at all ends the read
    int stalls = 0;          // reads that neither deliver nor end
    while (filled < bytes) {
        size_t want = bytes - filled;
        if (endSample_ >= 0) {
            const int64_t left = std::max<int64_t>(0, endSample_ - startSample_ - position_);
            want = std::min(want, size_t(left) * frameBytes);
        }
        size_t done = 0;
        const int result = want ? mpg123_read(handle_, buffer + filled, want, &done) : MPG123_DONE;
        filled += done;
        position_ += int64_t(done / frameBytes);
        if (done > 0) restarted = false;
        if (result == MPG123_OK && done == 0 && ++stalls > 16) break;
        const bool atEnd = result == MPG123_DONE || (endSample_ >= 0 && want == 0);
        if (result != MPG123_OK && !atEnd && result != MPG123_NEW_FORMAT) break;  // damaged beyond here
        if (!atEnd) continue;
        if (!loop_ || restarted || !SeekStartLocked()) break;
        restarted = true;
    }
    return filled - filled % frameBytes;
}

} // namespace zelkor
