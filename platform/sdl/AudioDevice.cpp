#include "platform/sdl/AudioDevice.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>

namespace zelkor {

namespace {
constexpr int kGainOne = 4096;
} // namespace

// ---- Voices --------------------------------------------------------------------------

TAudioVoice::TAudioVoice(TAudioDevice* device, TPcmFormat format) : device_(device), format_(format) {}

TAudioVoice::~TAudioVoice() { Leave(); }

void TAudioVoice::Leave() {
    if (!device_) return;
    device_->Detach(this);
    device_ = nullptr;
}

void TAudioVoice::SetVolume(float volume) {
    std::lock_guard lock(lock_);
    volume_ = std::clamp(volume, 0.0f, 1.0f);
}
float TAudioVoice::Volume() const {
    std::lock_guard lock(lock_);
    return volume_;
}
void TAudioVoice::SetPan(float pan) {
    std::lock_guard lock(lock_);
    pan_ = std::clamp(pan, -1.0f, 1.0f);
}
float TAudioVoice::Pan() const {
    std::lock_guard lock(lock_);
    return pan_;
}
void TAudioVoice::SetFrequency(int frequency) {
    std::lock_guard lock(lock_);
    frequency_ = std::clamp(frequency, 0, 384000);
}
int TAudioVoice::Frequency() const {
    std::lock_guard lock(lock_);
    return frequency_;
}
std::chrono::steady_clock::time_point TAudioVoice::FirstMixed() const {
    std::lock_guard lock(lock_);
    return firstMixed_;
}

void TAudioVoice::Sample(const uint8_t* data, int64_t frame, int32_t& left, int32_t& right) const {
    const uint8_t* p = data + frame * format_.FrameBytes();
    if (format_.Bits == 8) {
        left = (int32_t(p[0]) - 128) << 8;
        right = format_.Channels > 1 ? (int32_t(p[1]) - 128) << 8 : left;
    } else {
        left = int16_t(uint16_t(p[0] | (p[1] << 8)));
        right = format_.Channels > 1 ? int16_t(uint16_t(p[2] | (p[3] << 8))) : left;
    }
}

double TAudioVoice::Step(int deviceRate) const {
    const int rate = frequency_ > 0 ? frequency_ : format_.Rate;
    return double(rate) / double(deviceRate);
}

void TAudioVoice::Gains(int32_t& left, int32_t& right) const {
    left = int32_t(std::lround(volume_ * std::min(1.0f, 1.0f - pan_) * kGainOne));
    right = int32_t(std::lround(volume_ * std::min(1.0f, 1.0f + pan_) * kGainOne));
}

// ---- Streaming buffers ------------------------------------------------------------------

TStreamBuffer::TStreamBuffer(TAudioDevice* device, TPcmFormat format, int frames)
    : TAudioVoice(device, format), frames_(frames), ring_(size_t(frames) * size_t(format.FrameBytes()),
                                                         format.Bits == 8 ? 128 : 0) {}

TStreamBuffer::~TStreamBuffer() { Leave(); }

void TStreamBuffer::Play() {
    std::lock_guard lock(lock_);
    if (!playing_) firstMixPending_ = true;
    playing_ = true;
}

void TStreamBuffer::Stop() {
    std::lock_guard lock(lock_);
    playing_ = false;
}

bool TStreamBuffer::Playing() const {
    std::lock_guard lock(lock_);
    return playing_;
}

int TStreamBuffer::Writable() const {
    std::lock_guard lock(lock_);
    const uint64_t played = uint64_t(played_);
    const uint64_t pending = written_ > played ? written_ - played : 0;
    return frames_ - int(std::min<uint64_t>(pending, uint64_t(frames_)));
}

int TStreamBuffer::Write(const uint8_t* data, int frames) {
    std::lock_guard lock(lock_);
    const uint64_t played = uint64_t(played_);
    const uint64_t pending = written_ > played ? written_ - played : 0;
    frames = std::clamp(frames, 0, frames_ - int(std::min<uint64_t>(pending, uint64_t(frames_))));
    const int bytes = format_.FrameBytes();
    for (int done = 0; done < frames;) {
        const int at = int(written_ % uint64_t(frames_));
        const int run = std::min(frames - done, frames_ - at);
        std::memcpy(&ring_[size_t(at) * size_t(bytes)], data + size_t(done) * size_t(bytes), size_t(run) * size_t(bytes));
        done += run;
        written_ += uint64_t(run);
    }
    return frames;
}

bool TStreamBuffer::TakeRanDry() {
    std::lock_guard lock(lock_);
    const bool dry = ranDry_;
    ranDry_ = false;
    return dry;
}

uint64_t TStreamBuffer::PlayedFrames() const {
    std::lock_guard lock(lock_);
    return uint64_t(played_);
}

void TStreamBuffer::MixLocked(int32_t* mix, int frames, int deviceRate) {
    if (!playing_) return;
    const double step = Step(deviceRate);
    int32_t gl = 0, gr = 0;
    Gains(gl, gr);
    for (int i = 0; i < frames; ++i) {
        const auto frame = uint64_t(played_);
        if (frame >= written_) {  // everything written has been played: silence until the next write
            ranDry_ = true;
            played_ = double(written_);
            break;
        }
        if (firstMixPending_) {
            firstMixed_ = std::chrono::steady_clock::now();
            firstMixPending_ = false;
        }
        const double frac = played_ - double(frame);
        int32_t l0, r0, l1, r1;
        Sample(ring_.data(), int64_t(frame % uint64_t(frames_)), l0, r0);
        if (frame + 1 < written_)
            Sample(ring_.data(), int64_t((frame + 1) % uint64_t(frames_)), l1, r1);
        else
            l1 = l0, r1 = r0;
        const int32_t l = l0 + int32_t(std::lround((l1 - l0) * frac));
        const int32_t r = r0 + int32_t(std::lround((r1 - r0) * frac));
        mix[2 * i] += l * gl / kGainOne;
        mix[2 * i + 1] += r * gr / kGainOne;
        played_ += step;
    }
}

// ---- Sound buffers ------------------------------------------------------------------------

TSoundBuffer::TSoundBuffer(TAudioDevice* device, TPcmFormat format, std::shared_ptr<const std::vector<uint8_t>> data)
    : TAudioVoice(device, format), data_(std::move(data)) {}

TSoundBuffer::~TSoundBuffer() { Leave(); }

int TSoundBuffer::Frames() const { return int(data_->size() / size_t(format_.FrameBytes())); }

std::unique_ptr<TSoundBuffer> TSoundBuffer::Duplicate() const {
    if (!device_) return nullptr;
    std::unique_ptr<TSoundBuffer> copy(new TSoundBuffer(device_, format_, data_));
    {
        std::lock_guard lock(lock_);
        copy->volume_ = volume_;
        copy->pan_ = pan_;
        copy->frequency_ = frequency_;
    }
    device_->Attach(copy.get());
    return copy;
}

void TSoundBuffer::Play(bool loop) {
    std::lock_guard lock(lock_);
    loop_ = loop;
    playing_ = true;
    firstMixPending_ = true;
}

void TSoundBuffer::Stop() {
    std::lock_guard lock(lock_);
    playing_ = false;
}

void TSoundBuffer::Rewind() {
    std::lock_guard lock(lock_);
    position_ = 0;
}

bool TSoundBuffer::Playing() const {
    std::lock_guard lock(lock_);
    return playing_;
}

void TSoundBuffer::MixLocked(int32_t* mix, int frames, int deviceRate) {
    if (!playing_) return;
    const int64_t total = int64_t(data_->size() / size_t(format_.FrameBytes()));
    if (total == 0) {
        playing_ = false;
        return;
    }
    const double step = Step(deviceRate);
    int32_t gl = 0, gr = 0;
    Gains(gl, gr);
    if (firstMixPending_) {
        firstMixed_ = std::chrono::steady_clock::now();
        firstMixPending_ = false;
    }
    for (int i = 0; i < frames; ++i) {
        if (position_ >= double(total)) {
            if (!loop_) {
                playing_ = false;
                position_ = double(total);
                return;
            }
            position_ -= double(total);
        }
        const auto frame = int64_t(position_);
        const double frac = position_ - double(frame);
        int32_t l0, r0, l1, r1;
        Sample(data_->data(), frame, l0, r0);
        const int64_t next = frame + 1 < total ? frame + 1 : (loop_ ? 0 : frame);
        Sample(data_->data(), next, l1, r1);
        mix[2 * i] += (l0 + int32_t(std::lround((l1 - l0) * frac))) * gl / kGainOne;
        mix[2 * i + 1] += (r0 + int32_t(std::lround((r1 - r0) * frac))) * gr / kGainOne;
        position_ += step;
    }
}

// ---- Device ---------------------------------------------------------------------------------

TAudioDevice::TAudioDevice() = default;

TAudioDevice::~TAudioDevice() { Close(); }

void TAudioDevice::ReleaseThreadState() { SDL_TLSCleanup(); }

int TAudioDevice::DeviceCount() {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return 0;
    const int listed = SDL_GetNumAudioDevices(0);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return 1 + std::max(0, listed);
}

std::shared_ptr<TAudioDevice> TAudioDevice::Acquire(int number, std::string& error) {
    static std::mutex registryLock;
    static std::map<int, std::weak_ptr<TAudioDevice>> registry;
    std::lock_guard lock(registryLock);
    if (auto open = registry[number].lock()) return open;
    auto device = std::make_shared<TAudioDevice>();
    if (!device->Open(number, error)) return nullptr;
    registry[number] = device;
    return device;
}

bool TAudioDevice::Open(int number, std::string& error) {
    if (IsOpen()) return true;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        error = std::string("no audio: ") + SDL_GetError();
        return false;
    }
    audioStarted_ = true;
    const int listed = std::max(0, SDL_GetNumAudioDevices(0));
    if (number < 0 || number > listed) {
        error = "Invalid device number";
        Close();
        return false;
    }
    const char* name = number == 0 ? nullptr : SDL_GetAudioDeviceName(number - 1, 0);
    SDL_AudioSpec want{}, have{};
    want.freq = 44100;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 512;  // about 12 ms a callback
    want.callback = &TAudioDevice::Callback;
    want.userdata = this;
    deviceId_ = SDL_OpenAudioDevice(name, 0, &want, &have, 0);
    if (deviceId_ == 0) {
        error = std::string("cannot open the audio output: ") + SDL_GetError();
        Close();
        return false;
    }
    rate_ = have.freq;
    bufferFrames_ = have.samples;
    mix_.assign(size_t(bufferFrames_) * 2, 0);
    mixed_ = 0;
    SDL_PauseAudioDevice(deviceId_, 0);
    return true;
}

void TAudioDevice::Close() {
    if (deviceId_) {
        SDL_CloseAudioDevice(deviceId_);  // waits for a running callback
        deviceId_ = 0;
    }
    {
        std::lock_guard lock(voicesLock_);
        for (TAudioVoice* v : voices_) v->device_ = nullptr;
        voices_.clear();
    }
    if (audioStarted_) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        audioStarted_ = false;
    }
}

void TAudioDevice::Attach(TAudioVoice* voice) {
    std::lock_guard lock(voicesLock_);
    voices_.push_back(voice);
}

void TAudioDevice::Detach(TAudioVoice* voice) {
    std::lock_guard lock(voicesLock_);
    voices_.erase(std::remove(voices_.begin(), voices_.end(), voice), voices_.end());
}

std::unique_ptr<TStreamBuffer> TAudioDevice::CreateStream(TPcmFormat format, int frames, std::string& error) {
    if (!IsOpen()) {
        error = "the audio output is not open";
        return nullptr;
    }
    if (!format.Valid() || frames < 16 || frames > 1 << 22) {
        error = "no streaming buffer for that format";
        return nullptr;
    }
    std::unique_ptr<TStreamBuffer> s(new TStreamBuffer(this, format, frames));
    Attach(s.get());
    return s;
}

std::unique_ptr<TSoundBuffer> TAudioDevice::CreateSound(TPcmFormat format, std::vector<uint8_t> pcm,
                                                        std::string& error) {
    if (!IsOpen()) {
        error = "the audio output is not open";
        return nullptr;
    }
    if (!format.Valid()) {
        error = "no sound buffer for that format";
        return nullptr;
    }
    pcm.resize(pcm.size() / size_t(format.FrameBytes()) * size_t(format.FrameBytes()));
    std::unique_ptr<TSoundBuffer> s(
        new TSoundBuffer(this, format, std::make_shared<const std::vector<uint8_t>>(std::move(pcm))));
    Attach(s.get());
    return s;
}

void TAudioDevice::Callback(void* self, uint8_t* stream, int bytes) {
    static_cast<TAudioDevice*>(self)->Mix(reinterpret_cast<int16_t*>(stream), bytes / 4);
}

void TAudioDevice::Mix(int16_t* out, int frames) {
    if (mix_.size() < size_t(frames) * 2) mix_.resize(size_t(frames) * 2);  // only if the driver changes its size
    std::fill(mix_.begin(), mix_.begin() + frames * 2, 0);
    {
        std::lock_guard lock(voicesLock_);
        for (TAudioVoice* v : voices_) {
            std::lock_guard voiceLock(v->lock_);
            v->MixLocked(mix_.data(), frames, rate_);
        }
    }
    for (int i = 0; i < frames * 2; ++i) out[i] = int16_t(std::clamp(mix_[size_t(i)], -32768, 32767));
    mixed_ += uint64_t(frames);
}

} // namespace zelkor
