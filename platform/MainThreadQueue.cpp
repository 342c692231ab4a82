#include "platform/MainThreadQueue.h"

#include <thread>

namespace zelkor {

namespace {
// Static initialisation runs on the thread that starts the program.
const std::thread::id gMainThreadId = std::this_thread::get_id();
} // namespace

TMainThreadQueue& TMainThreadQueue::Instance() {
    // Never destroyed: a program that ends through exit() from anywhere
    // (a library giving up on the display, say) runs the destructors of
    // statics while worker threads may still wait on this queue's
    // condition variables.
    static TMainThreadQueue* const queue = new TMainThreadQueue;
    return *queue;
}

bool TMainThreadQueue::IsMainThread() { return std::this_thread::get_id() == gMainThreadId; }

void TMainThreadQueue::Synchronize(std::function<void()> call) {
    if (IsMainThread()) {
        call();
        return;
    }
    auto request = std::make_shared<Request>();
    request->call = std::move(call);
    std::function<void()> hook;
    {
        std::lock_guard lock(mutex_);
        pending_.push_back(request);
        hook = wakeHook_;
    }
    queued_.notify_all();
    if (hook) hook();

    std::exception_ptr error;
    {
        std::unique_lock lock(mutex_);
        done_.wait(lock, [&] { return request->done; });
        // Taken out under the lock: the exception then lives and dies on
        // this thread alone, whichever side lets go of the request last.
        error = std::move(request->error);
        request->error = nullptr;
    }
    if (error) std::rethrow_exception(error);
}

int TMainThreadQueue::CheckSynchronize() {
    // Only the calls queued so far: a worker that queues its next call as
    // soon as the last one returned is served on the next drain, so that a
    // busy worker cannot hold the main thread here.
    std::deque<std::shared_ptr<Request>> batch;
    {
        std::lock_guard lock(mutex_);
        batch.swap(pending_);
    }
    for (auto& request : batch) {
        try {
            request->call();
        } catch (...) {
            request->error = std::current_exception();
        }
        // The call and what it captured are destroyed here, on the thread that ran it.
        request->call = nullptr;
        {
            std::lock_guard lock(mutex_);
            request->done = true;
        }
        done_.notify_all();
    }
    return static_cast<int>(batch.size());
}

bool TMainThreadQueue::WaitForCalls(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    queued_.wait_for(lock, timeout, [&] { return !pending_.empty() || woken_; });
    woken_ = false;
    return !pending_.empty();
}

void TMainThreadQueue::Wake() {
    std::function<void()> hook;
    {
        std::lock_guard lock(mutex_);
        woken_ = true;
        hook = wakeHook_;
    }
    queued_.notify_all();
    if (hook) hook();
}

void TMainThreadQueue::SetWakeHook(std::function<void()> hook) {
    std::lock_guard lock(mutex_);
    wakeHook_ = std::move(hook);
}

bool TMainThreadQueue::HasPending() const {
    std::lock_guard lock(mutex_);
    return !pending_.empty();
}

} // namespace zelkor
