#include "audio/StreamAudio.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

#include "platform/Application.h"
#include "platform/sdl/AudioDevice.h"
#include "platform/MainThreadQueue.h"
#include "platform/ThreadName.h"

namespace zelkor {

// ---- Worker ----------------------------------------------------------------------

TAudioThread::TAudioThread(TStreamOut& owner) : owner_(owner), thread_([this] { Body(); }) {}

TAudioThread::~TAudioThread() {
    {
        std::lock_guard lock(mutex_);
        terminate_ = true;
        stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void TAudioThread::Wake() {
    {
        std::lock_guard lock(mutex_);
        run_ = true;
        stop_ = false;
    }
    wake_.notify_all();
}

void TAudioThread::RequestStop() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
}

bool TAudioThread::Sleep(int ms) {
    std::unique_lock lock(mutex_);
    wake_.wait_for(lock, std::chrono::milliseconds(ms), [&] { return stop_.load(); });
    return !stop_;
}

void TAudioThread::Body() {
    NameCurrentThread("audio-stream");
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [&] { return run_ || terminate_; });
            if (terminate_) {
                TAudioDevice::ReleaseThreadState();
                return;
            }
            run_ = false;
        }
        owner_.Play();
    }
}

// ---- Output ------------------------------------------------------------------------

TStreamOut::TStreamOut() : worker_(std::make_unique<TAudioThread>(*this)) {}

TStreamOut::~TStreamOut() {
    Stop(false);
    worker_.reset();
}

void TStreamOut::SetFramesInBuffer(int value) {
    if (status_ == TOutputStatus::tosIdle) framesInBuffer_ = std::clamp(value, 256, 1 << 22);
}

std::string TStreamOut::LastError() const {
    std::lock_guard lock(errorLock_);
    return lastError_;
}

void TStreamOut::Run() {
    if (status_ != TOutputStatus::tosIdle) throw EAudioException("Component is Busy");
    if (!input_) throw EAudioException("Input is not assigned");
    {
        std::lock_guard lock(errorLock_);
        lastError_.clear();
    }
    status_ = TOutputStatus::tosPlaying;
    worker_->Wake();
}

void TStreamOut::Stop(bool async) {
    if (status_ == TOutputStatus::tosIdle) return;
    worker_->RequestStop();
    if (async) return;
    TApplication& app = TApplication::Instance();
    while (status_ != TOutputStatus::tosIdle) {
        app.ProcessMessages();  // the worker's notifications must not wait forever
        if (status_ != TOutputStatus::tosIdle) TMainThreadQueue::Instance().WaitForCalls(std::chrono::milliseconds(5));
    }
}

void TStreamOut::Notify(const std::function<void()>& call) {
    TMainThreadQueue::Instance().Synchronize(call);
}

void TStreamOut::Play() {
    std::string error;
    std::shared_ptr<TAudioDevice> device;
    std::unique_ptr<TStreamBuffer> stream;
    TAudioInput* input = input_;
    try {
        if (deviceNumber_ < 0 || deviceNumber_ >= TAudioDevice::DeviceCount()) throw EAudioException("Invalid device number");
        if (!input->Open(error)) throw EAudioException(error);
        const TPcmFormat format = input->Format();
        device = TAudioDevice::Acquire(deviceNumber_, error);
        if (!device) throw EAudioException("Failed to create DirectSound device");
        stream = device->CreateStream(format, framesInBuffer_, error);
        if (!stream) {
            char code[16];
            std::snprintf(code, sizeof code, "%08X", 0x80004005u);  // the general failure code
            throw EAudioException(std::string("Failed to create DirectSound buffer ") + code);
        }
        const int frameBytes = format.FrameBytes();
        const uint8_t silence = format.Bits == 8 ? 128 : 0;
        std::vector<uint8_t> chunk;
        bool exhausted = false;
        // Reads `frames` frames from the input, silence after its end.
        auto fill = [&](int frames) {
            chunk.assign(size_t(frames) * size_t(frameBytes), silence);
            if (!exhausted) {
                const size_t got = input->Read(chunk.data(), chunk.size());
                if (got < chunk.size()) exhausted = true;
            }
            stream->Write(chunk.data(), frames);
        };

        fill(stream->Frames());
        stream->Play();
        while (!worker_->StopRequested()) {
            if (!worker_->Sleep(pollingInterval_)) break;
            int writable = stream->Writable();
            for (int empty = 0; writable == 0;) {
                if (++empty > 16) throw EAudioException("Audio output error");
                if (!worker_->Sleep(pollingInterval_)) break;
                writable = stream->Writable();
            }
            if (worker_->StopRequested()) break;
            fill(writable);
            if (stream->TakeRanDry() && OnUnderrun) Notify([this] { Fire(OnUnderrun, this); });
            if (OnProgress) {
                const uint64_t played = stream->PlayedFrames();
                Notify([this, played] { Fire(OnProgress, this, played); });
            }
            if (exhausted) {
                // Let what is in the buffer play out, writing silence behind it.
                const int seconds = int(std::lround(double(stream->Frames()) / format.Rate));
                for (int t = 0; t < seconds * 10 && worker_->Sleep(100); ++t) fill(stream->Writable());
                break;
            }
        }
    } catch (const EAudioException& e) {
        {
            std::lock_guard lock(errorLock_);
            lastError_ = e.what();
        }
        if (OnThreadException) {
            const std::string message = e.what();
            Notify([this, message] { Fire(OnThreadException, this, message); });
        }
    }
    if (stream) stream->Stop();
    stream.reset();
    device.reset();
    input->Close();
    if (OnDone) Notify([this] { Fire(OnDone, this); });
    status_ = TOutputStatus::tosIdle;
    // A synchronous Stop waits for this on the main thread: end its wait now.
    TMainThreadQueue::Instance().Wake();
}

} // namespace zelkor
