#pragma once
// Time as the game loop reads it: a high-resolution counter with its
// frequency, a millisecond tick count, and sleeping. Tests put a clock of
// their own in its place to drive the loop exactly.

#include <cstdint>

namespace zelkor {

class TClock {
public:
    virtual ~TClock() = default;
    // The counter's ticks per second; false when there is no such counter.
    virtual bool CounterFrequency(int64_t& frequency) = 0;
    virtual int64_t Counter() = 0;
    // Milliseconds since some fixed moment, wrapping at 2^32.
    virtual uint32_t TickCount() = 0;
    virtual void Sleep(uint32_t milliseconds) = 0;

    // The system's monotonic clock.
    static TClock& System();
};

} // namespace zelkor
