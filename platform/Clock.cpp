#include "platform/Clock.h"

#include <chrono>
#include <thread>

namespace zelkor {

namespace {

class SystemClock : public TClock {
public:
    bool CounterFrequency(int64_t& frequency) override {
        frequency = 1'000'000'000;
        return true;
    }
    int64_t Counter() override {
        return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
    uint32_t TickCount() override { return static_cast<uint32_t>(Counter() / 1'000'000); }
    void Sleep(uint32_t milliseconds) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
};

} // namespace

TClock& TClock::System() {
    static SystemClock clock;
    return clock;
}

} // namespace zelkor
