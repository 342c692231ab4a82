#include "platform/Thread.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <chrono>

#include "platform/Application.h"
#include "platform/MainThreadQueue.h"
#include "platform/ThreadName.h"

namespace zelkor {

TThread::TThread(const char* name) : name_(name), thread_([this] { Body(); }) {}

TThread::~TThread() {
    if (thread_.joinable()) {
        Terminate();
        Resume();
        thread_.join();
    }
}

void TThread::Body() {
    NameCurrentThread(name_);
    tid_ = static_cast<int>(syscall(SYS_gettid));
    ApplyPriority();
    WaitWhileParked();
    if (!terminated_) Execute();
    finished_ = true;
    TMainThreadQueue::Instance().Wake();
}

void TThread::Resume() {
    {
        std::lock_guard lock(mutex_);
        parked_ = false;
    }
    wake_.notify_all();
}

void TThread::Park() {
    std::lock_guard lock(mutex_);
    parked_ = true;
}

bool TThread::Parked() const {
    std::lock_guard lock(mutex_);
    return parked_;
}

void TThread::WaitWhileParked() {
    std::unique_lock lock(mutex_);
    wake_.wait(lock, [&] { return !parked_; });
}

void TThread::Synchronize(const std::function<void()>& call) {
    TMainThreadQueue::Instance().Synchronize(call);
    WaitWhileParked();
}

void TThread::WaitFor() {
    if (!thread_.joinable()) return;
    if (TMainThreadQueue::IsMainThread()) {
        using namespace std::chrono_literals;
        while (!finished_) {
            TApplication::Instance().ProcessMessages();
            if (!finished_) TMainThreadQueue::Instance().WaitForCalls(20ms);
        }
    }
    thread_.join();
}

int TThread::NiceValue(TThreadPriority priority) {
    switch (priority) {
    case TThreadPriority::tpIdle: return 19;
    case TThreadPriority::tpLowest: return 10;
    case TThreadPriority::tpLower: return 5;
    case TThreadPriority::tpNormal: return 0;
    case TThreadPriority::tpHigher: return -5;
    case TThreadPriority::tpHighest: return -10;
    case TThreadPriority::tpTimeCritical: return -19;
    }
    return 0;
}

void TThread::SetPriority(TThreadPriority priority) {
    priority_ = priority;
    ApplyPriority();
}

void TThread::ApplyPriority() {
    const int tid = tid_;
    if (tid == 0) return;  // applied when the thread starts
    // On Linux every thread has a nice value of its own. A refused raise
    // (no privilege) leaves the thread as it was.
    (void)setpriority(PRIO_PROCESS, static_cast<id_t>(tid), NiceValue(priority_));
}

} // namespace zelkor
