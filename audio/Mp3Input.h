#pragma once
// TMP3In: MP3 files decoded to 16-bit PCM with libmpg123. With Loop set, a
// read that reaches the end (or EndSample) goes on from StartSample in the
// same request, so the music repeats without a gap (the encoder's delay and
// padding are dropped). Reads are guarded by the input's own lock: the
// output's worker reads while the main thread may change the input.

#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>

#include "audio/AudioInput.h"

struct mpg123_handle_struct;

namespace zelkor {

enum class TChannelsNumber { cnMaxAvailable, cnMonoOrStereo, cnMono, cnStereo };

class TMP3In : public TAudioInput {
public:
    TMP3In();
    ~TMP3In() override;

    const std::string& FileName() const { return fileName_; }
    // Closes any open file first.
    void SetFileName(const std::string& name);
    bool Loop() const { return loop_; }
    void SetLoop(bool value) { loop_ = value; }
    int64_t StartSample() const { return startSample_; }
    void SetStartSample(int64_t value) { startSample_ = value < 0 ? 0 : value; }
    int64_t EndSample() const { return endSample_; }
    void SetEndSample(int64_t value) { endSample_ = value; }  // -1: to the end
    bool HighPrecision() const { return highPrecision_; }
    void SetHighPrecision(bool value) { highPrecision_ = value; }
    TChannelsNumber OutputChannels() const { return outputChannels_; }
    void SetOutputChannels(TChannelsNumber value) { outputChannels_ = value; }

    // Opens the file and reads its format: whether it can be played. A file
    // that fails is closed again.
    bool Valid();
    const std::string& LastError() const { return lastError_; }

    int Channels() const { return format_.Channels; }
    int SampleRate() const { return format_.Rate; }
    int BitsPerSample() const { return format_.Bits; }
    // Samples (frames) per channel in the file; -1 when unknown.
    int64_t TotalSamples() const { return totalSamples_; }

    bool Open(std::string& error) override;
    void Close() override;
    TPcmFormat Format() const override { return format_; }
    size_t Read(uint8_t* buffer, size_t bytes) override;

private:
    bool OpenLocked(std::string& error);
    void CloseLocked();
    bool SeekStartLocked();

    std::recursive_mutex lock_;
    std::string fileName_;
    bool loop_ = false;
    int64_t startSample_ = 0;
    int64_t endSample_ = -1;
    bool highPrecision_ = true;
    TChannelsNumber outputChannels_ = TChannelsNumber::cnMaxAvailable;
    mpg123_handle_struct* handle_ = nullptr;
    std::FILE* file_ = nullptr;  // the decoder's buffered source while open
    TPcmFormat format_{};
    int64_t totalSamples_ = -1;
    int64_t position_ = 0;  // frames read since StartSample
    std::string lastError_;
};

} // namespace zelkor
