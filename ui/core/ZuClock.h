#pragma once

#include <cstdint>

// Milliseconds since system start that never go backwards.
int64_t monotonicMilliseconds();

// Extends a wrapping 32-bit tick count: each time the value is smaller than
// the previous one the wrap counter (the high 32 bits) grows.
class ZuTickWrap {
public:
    int64_t extend(uint32_t tick);

private:
    uint32_t m_last = 0;
    uint32_t m_wraps = 0;
};

class ZuElapsedTimer {
public:
    // Tests run a timer on a clock of their own; null is the system clock.
    using Clock = int64_t (*)();
    explicit ZuElapsedTimer(Clock clock = nullptr) : m_clockSource(clock) {}
    void setClock(Clock clock) { m_clockSource = clock; }

    void start();
    int64_t elapsed() const;
    void invalidate();
    bool isValid() const;

private:
    static constexpr int64_t kInvalid = INT64_MIN;
    int64_t m_start = kInvalid;
    int64_t m_second = kInvalid;
    Clock m_clockSource;

    int64_t now() const { return m_clockSource ? m_clockSource() : monotonicMilliseconds(); }
};
