#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

#include "platform/MainThreadQueue.h"

using namespace zelkor;
using namespace std::chrono_literals;

namespace {

// Drains the queue until `done` holds, as the application loop would.
template <class Pred>
void ServeUntil(TMainThreadQueue& q, Pred done) {
    while (!done()) {
        q.CheckSynchronize();
        q.WaitForCalls(5ms);
    }
    q.CheckSynchronize();
}

} // namespace

TEST(MainThreadQueue, TestsRunOnTheMainThread) { EXPECT_TRUE(TMainThreadQueue::IsMainThread()); }

TEST(MainThreadQueue, CallOnMainThreadRunsAtOnce) {
    TMainThreadQueue q;
    int ran = 0;
    q.Synchronize([&] { ++ran; });
    EXPECT_EQ(ran, 1);
    EXPECT_FALSE(q.HasPending());
}

TEST(MainThreadQueue, WorkerWaitsUntilTheMainThreadRunsItsCall) {
    TMainThreadQueue q;
    std::atomic<bool> returned{false};
    std::thread::id ranOn;
    std::thread worker([&] {
        q.Synchronize([&] { ranOn = std::this_thread::get_id(); });
        returned = true;
    });
    EXPECT_TRUE(q.WaitForCalls(5s));
    EXPECT_FALSE(returned.load());  // still blocked: nobody ran the call yet
    EXPECT_EQ(q.CheckSynchronize(), 1);
    worker.join();
    EXPECT_TRUE(returned.load());
    EXPECT_EQ(ranOn, std::this_thread::get_id());
}

TEST(MainThreadQueue, CallsFromOneWorkerRunInOrderAndManyWorkersAllGetServed) {
    TMainThreadQueue q;
    std::vector<int> order;  // touched only on the main thread
    std::atomic<int> finished{0};
    constexpr int kWorkers = 4;
    constexpr int kCalls = 50;
    std::vector<std::thread> workers;
    std::vector<std::vector<int>> perWorker(kWorkers);
    for (int w = 0; w < kWorkers; ++w) {
        workers.emplace_back([&, w] {
            for (int i = 0; i < kCalls; ++i) q.Synchronize([&, w, i] { perWorker[w].push_back(i); });
            ++finished;
        });
    }
    ServeUntil(q, [&] { return finished == kWorkers; });
    for (auto& t : workers) t.join();
    for (int w = 0; w < kWorkers; ++w) {
        ASSERT_EQ(perWorker[w].size(), size_t{kCalls});
        for (int i = 0; i < kCalls; ++i) EXPECT_EQ(perWorker[w][i], i);
    }
}

TEST(MainThreadQueue, ExceptionOfTheCallReachesTheWorker) {
    TMainThreadQueue q;
    std::atomic<bool> caught{false};
    std::thread worker([&] {
        try {
            q.Synchronize([] { throw std::runtime_error("boom"); });
        } catch (const std::runtime_error& e) {
            caught = std::string(e.what()) == "boom";
        }
    });
    ServeUntil(q, [&] { return caught.load(); });
    worker.join();
    EXPECT_TRUE(caught.load());
}

TEST(MainThreadQueue, WakeEndsAWaitWithoutPendingCalls) {
    TMainThreadQueue q;
    std::thread waker([&] {
        std::this_thread::sleep_for(20ms);
        q.Wake();
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(q.WaitForCalls(10s));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    waker.join();
}

TEST(MainThreadQueue, WakeBeforeTheWaitIsNotLost) {
    TMainThreadQueue q;
    q.Wake();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(q.WaitForCalls(10s));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
}

TEST(MainThreadQueue, WakeHookRunsForEveryQueuedCall) {
    TMainThreadQueue q;
    std::atomic<int> hooks{0};
    q.SetWakeHook([&] { ++hooks; });
    std::atomic<bool> done{false};
    std::thread worker([&] {
        q.Synchronize([] {});
        q.Synchronize([] {});
        done = true;
    });
    ServeUntil(q, [&] { return done.load(); });
    worker.join();
    EXPECT_EQ(hooks.load(), 2);
}

TEST(MainThreadQueue, CallQueuedWhileDrainingWaitsForTheNextDrain) {
    TMainThreadQueue q;
    std::atomic<bool> secondQueued{false};
    std::atomic<int> ran{0};
    std::thread second;
    std::thread first([&] {
        q.Synchronize([&] {
            // While the main thread runs this call, another worker queues one.
            second = std::thread([&] { q.Synchronize([&] { ++ran; }); });
            while (!q.HasPending()) std::this_thread::yield();
            secondQueued = true;
            ++ran;
        });
    });
    ASSERT_TRUE(q.WaitForCalls(5s));
    EXPECT_EQ(q.CheckSynchronize(), 1);
    EXPECT_EQ(ran.load(), 1);
    EXPECT_EQ(q.CheckSynchronize(), 1);
    first.join();
    second.join();
    EXPECT_TRUE(secondQueued.load());
    EXPECT_EQ(ran.load(), 2);
}
