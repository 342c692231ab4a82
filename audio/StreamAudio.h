#pragma once
// TStreamOut: plays an input through a looping streaming buffer that its
// own worker thread (TAudioThread) keeps filling. Idle, the worker waits;
// Run wakes it; it stops on Stop, at the end of the input, or on an error,
// and then waits for the next Run.

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>

#include "audio/AudioInput.h"
#include "platform/Events.h"

namespace zelkor {

class EAudioException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class TOutputStatus { tosPlaying = 0, tosPaused = 1, tosIdle = 2 };

using TThreadExceptionEvent = std::function<void(TObject* Sender, const std::string& Message)>;
using TProgressEvent = std::function<void(TObject* Sender, uint64_t FramesPlayed)>;

class TStreamOut;

// The output's worker.
class TAudioThread {
public:
    explicit TAudioThread(TStreamOut& owner);
    ~TAudioThread();
    void Wake();
    void RequestStop();
    bool StopRequested() const { return stop_; }
    // Sleeps `ms`, or less when a stop is requested; false then.
    bool Sleep(int ms);

private:
    void Body();
    TStreamOut& owner_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool run_ = false;
    bool terminate_ = false;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

class TStreamOut : public TObject {
public:
    TStreamOut();
    ~TStreamOut() override;  // stops synchronously and ends the worker

    TAudioInput* Input() const { return input_; }
    void SetInput(TAudioInput* input) { input_ = input; }
    int DeviceNumber() const { return deviceNumber_; }
    void SetDeviceNumber(int value) { deviceNumber_ = value; }
    int FramesInBuffer() const { return framesInBuffer_; }
    void SetFramesInBuffer(int value);  // only while idle
    int PollingInterval() const { return pollingInterval_; }
    void SetPollingInterval(int ms) { pollingInterval_ = ms < 1 ? 1 : ms; }

    // Run on the main thread, the worker waiting for each.
    TNotifyEvent OnDone;
    TProgressEvent OnProgress;
    TThreadExceptionEvent OnThreadException;
    TNotifyEvent OnUnderrun;

    TOutputStatus Status() const { return status_; }
    // Starts playing; throws EAudioException "Component is Busy" while
    // playing and "Input is not assigned" without an input.
    void Run();
    // Asks the worker to stop; without `async` waits until it has, running
    // the worker's main-thread calls meanwhile.
    void Stop(bool async = true);

    // The message of the last error on the worker ("" if none).
    std::string LastError() const;

private:
    friend class TAudioThread;
    void Play();  // the worker's part
    void Notify(const std::function<void()>& call);

    TAudioInput* input_ = nullptr;
    int deviceNumber_ = 0;
    int framesInBuffer_ = 65536;
    int pollingInterval_ = 200;
    std::atomic<TOutputStatus> status_{TOutputStatus::tosIdle};
    mutable std::mutex errorLock_;
    std::string lastError_;
    std::unique_ptr<TAudioThread> worker_;
};

} // namespace zelkor
