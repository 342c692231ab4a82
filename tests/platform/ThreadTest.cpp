#include <gtest/gtest.h>

#include <sys/resource.h>

#include <atomic>
#include <chrono>

#include "platform/Application.h"
#include "platform/Thread.h"

using namespace zelkor;
using namespace std::chrono_literals;

namespace {

// A worker that counts its cycles and, in each, asks the main thread to
// run a call in which the test may park it.
class CountingThread : public TThread {
public:
    std::atomic<int> cycles{0};
    std::atomic<bool> parkNext{false};
    ~CountingThread() override {
        Terminate();
        Resume();
        WaitFor();
    }

protected:
    void Execute() override {
        while (!Terminated()) {
            ++cycles;
            Synchronize([this] {
                if (parkNext) Park();
            });
        }
    }
};

bool Pump(const std::function<bool()>& done) { return TApplication::Instance().ProcessUntil(done, 10s); }

} // namespace

TEST(Thread, IsCreatedParkedAndRunsOnlyAfterResume) {
    CountingThread t;
    TApplication::Instance().ProcessUntil([] { return false; }, 50ms);
    EXPECT_EQ(t.cycles.load(), 0);
    EXPECT_TRUE(t.Parked());
    t.Resume();
    ASSERT_TRUE(Pump([&] { return t.cycles > 3; }));
}

TEST(Thread, ParksInsideItsMainThreadCallAndWakesOnResume) {
    CountingThread t;
    t.parkNext = true;
    t.Resume();
    ASSERT_TRUE(Pump([&] { return t.Parked(); }));
    const int parkedAt = t.cycles;
    TApplication::Instance().ProcessUntil([] { return false; }, 50ms);
    EXPECT_EQ(t.cycles.load(), parkedAt);
    t.parkNext = false;
    t.Resume();
    ASSERT_TRUE(Pump([&] { return t.cycles > parkedAt + 2; }));
}

TEST(Thread, TerminatedBeforeItsFirstResumeNeverRuns) {
    auto t = std::make_unique<CountingThread>();
    t->Terminate();
    t->Resume();
    t->WaitFor();
    EXPECT_TRUE(t->Finished());
    EXPECT_EQ(t->cycles.load(), 0);
}

TEST(Thread, WaitForOnTheMainThreadServesTheWorkersCalls) {
    CountingThread t;
    t.Resume();
    ASSERT_TRUE(Pump([&] { return t.cycles > 0; }));
    t.Terminate();
    t.WaitFor();  // the worker is waiting for a main-thread call: this must run it
    EXPECT_TRUE(t.Finished());
}

TEST(Thread, PriorityBecomesTheThreadsNiceValue) {
    EXPECT_EQ(TThread::NiceValue(TThreadPriority::tpIdle), 19);
    EXPECT_EQ(TThread::NiceValue(TThreadPriority::tpNormal), 0);
    EXPECT_LT(TThread::NiceValue(TThreadPriority::tpTimeCritical), 0);
    for (int p = 0; p < 6; ++p)
        EXPECT_GT(TThread::NiceValue(static_cast<TThreadPriority>(p)),
                  TThread::NiceValue(static_cast<TThreadPriority>(p + 1)));

    CountingThread t;
    t.Resume();
    ASSERT_TRUE(Pump([&] { return t.SystemId() != 0; }));
    t.SetPriority(TThreadPriority::tpLowest);  // lowering is always allowed
    EXPECT_EQ(getpriority(PRIO_PROCESS, static_cast<id_t>(t.SystemId())), 10);
    EXPECT_EQ(t.Priority(), TThreadPriority::tpLowest);
    t.SetPriority(TThreadPriority::tpHighest);  // may be refused without privilege: no error either way
    EXPECT_EQ(t.Priority(), TThreadPriority::tpHighest);
}
