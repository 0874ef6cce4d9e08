#pragma once

#include "engine/host.h"

#include <chrono>

namespace engine {

// Pumps the host's events during one long copy often enough that the window stays
// live, and no more often than that.
class PumpThrottle {
public:
    static constexpr std::chrono::milliseconds interval{20};

    explicit PumpThrottle(Host& host) : host_(host), last_(Clock::now()) {}

    bool due() const { return Clock::now() - last_ >= interval; }
    void pumpIfDue() {
        if (due()) {
            pumpNow();
        }
    }
    void pumpNow() {
        host_.pumpEvents();
        last_ = Clock::now();
    }

private:
    using Clock = std::chrono::steady_clock;
    Host& host_;
    Clock::time_point last_;
};

} // namespace engine
