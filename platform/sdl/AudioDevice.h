#pragma once
// The sound device on SDL2 audio: what the music output and the sound
// effects expect of DirectSound. One mixer, in the audio callback, sums
// every playing voice (streaming buffers and sound buffers, resampled to
// the device's rate, with volume and pan) and saturates the sum instead of
// letting it wrap.
//
// The callback never waits for long: the main thread and the music worker
// hold a voice's lock only to change its state or copy data into it.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace zelkor {

struct TPcmFormat {
    int Channels = 2;
    int Rate = 44100;
    int Bits = 16;  // 8 (unsigned) or 16 (signed)
    int FrameBytes() const { return Channels * Bits / 8; }
    bool Valid() const { return Channels >= 1 && Channels <= 8 && Rate >= 1000 && Rate <= 384000 && (Bits == 8 || Bits == 16); }
};

class TAudioDevice;

// A voice of the mixer.
class TAudioVoice {
public:
    virtual ~TAudioVoice();
    const TPcmFormat& Format() const { return format_; }
    // 0 (silent) .. 1 (full).
    void SetVolume(float volume);
    float Volume() const;
    // -1 (left) .. 1 (right).
    void SetPan(float pan);
    float Pan() const;
    // Playback rate in frames per second; 0 for the format's own.
    void SetFrequency(int frequency);
    int Frequency() const;
    // When the mixer first took a sample from this voice after the last Play.
    std::chrono::steady_clock::time_point FirstMixed() const;

protected:
    friend class TAudioDevice;
    TAudioVoice(TAudioDevice* device, TPcmFormat format);
    // Takes the voice out of the mixer. Every kind of voice calls this first
    // thing in its destructor: the mixer's thread must never reach a voice
    // whose own parts are already gone.
    void Leave();
    // Adds `frames` device frames of this voice to `mix` (interleaved
    // stereo); called by the mixer with the voice's lock held.
    virtual void MixLocked(int32_t* mix, int frames, int deviceRate) = 0;
    // Reads source frame `frame` as a stereo pair of 16-bit values.
    void Sample(const uint8_t* data, int64_t frame, int32_t& left, int32_t& right) const;
    // The source frames per device frame, and the two gains.
    double Step(int deviceRate) const;
    void Gains(int32_t& left, int32_t& right) const;  // in 1/4096

    mutable std::mutex lock_;
    TAudioDevice* device_;
    TPcmFormat format_;
    float volume_ = 1.0f, pan_ = 0.0f;
    int frequency_ = 0;
    bool firstMixPending_ = false;
    std::chrono::steady_clock::time_point firstMixed_{};
};

// A looping buffer that a writer keeps filling behind the play position.
class TStreamBuffer final : public TAudioVoice {
public:
    ~TStreamBuffer() override;
    int Frames() const { return frames_; }
    void Play();
    void Stop();
    bool Playing() const;
    // Frames that may be written now: what has been played since it was written.
    int Writable() const;
    // Writes at the write position (at most Writable() frames are taken).
    int Write(const uint8_t* data, int frames);
    // Whether the buffer ran dry (played everything written) since the last
    // call; playback goes on from the next write.
    bool TakeRanDry();
    uint64_t PlayedFrames() const;

private:
    friend class TAudioDevice;
    TStreamBuffer(TAudioDevice* device, TPcmFormat format, int frames);
    void MixLocked(int32_t* mix, int frames, int deviceRate) override;

    int frames_;
    std::vector<uint8_t> ring_;
    uint64_t written_ = 0;  // frames written in all
    double played_ = 0;     // frames played in all (with the fraction)
    bool playing_ = false;
    bool ranDry_ = false;
};

// A short sound; its copies share its samples and play on their own.
class TSoundBuffer final : public TAudioVoice {
public:
    ~TSoundBuffer() override;
    int Frames() const;
    std::unique_ptr<TSoundBuffer> Duplicate() const;
    void Play(bool loop);
    void Stop();
    void Rewind();
    bool Playing() const;

private:
    friend class TAudioDevice;
    TSoundBuffer(TAudioDevice* device, TPcmFormat format, std::shared_ptr<const std::vector<uint8_t>> data);
    void MixLocked(int32_t* mix, int frames, int deviceRate) override;

    std::shared_ptr<const std::vector<uint8_t>> data_;
    double position_ = 0;
    bool playing_ = false;
    bool loop_ = false;
};

class TAudioDevice {
public:
    TAudioDevice();
    ~TAudioDevice();
    TAudioDevice(const TAudioDevice&) = delete;
    TAudioDevice& operator=(const TAudioDevice&) = delete;

    // The outputs that can be opened: 0 is the default one, then each
    // device the system lists. Empty when there is no audio at all.
    static int DeviceCount();
    // Frees what the audio system keeps for the calling thread (its error
    // text); a thread of ours that used it calls this before it ends.
    static void ReleaseThreadState();

    // The one open mixer of output `number`, shared by everything that
    // plays on it (the music and the sound effects); opened on first use,
    // closed when the last user lets go. Null with a reason on failure.
    static std::shared_ptr<TAudioDevice> Acquire(int number, std::string& error);

    // Opens output `number` (0: the default) and starts mixing.
    bool Open(int number, std::string& error);
    void Close();
    bool IsOpen() const { return deviceId_ != 0; }
    int Rate() const { return rate_; }
    // Device frames per callback.
    int BufferFrames() const { return bufferFrames_; }

    std::unique_ptr<TStreamBuffer> CreateStream(TPcmFormat format, int frames, std::string& error);
    std::unique_ptr<TSoundBuffer> CreateSound(TPcmFormat format, std::vector<uint8_t> pcm, std::string& error);

    // Frames the mixer has produced since the device opened.
    uint64_t MixedFrames() const { return mixed_; }

private:
    friend class TAudioVoice;
    friend class TSoundBuffer;
    static void Callback(void* self, uint8_t* stream, int bytes);
    void Mix(int16_t* out, int frames);
    void Attach(TAudioVoice* voice);
    void Detach(TAudioVoice* voice);

    uint32_t deviceId_ = 0;
    bool audioStarted_ = false;
    int rate_ = 44100;
    int bufferFrames_ = 512;
    std::mutex voicesLock_;
    std::vector<TAudioVoice*> voices_;
    std::vector<int32_t> mix_;
    std::atomic<uint64_t> mixed_{0};
};

} // namespace zelkor
