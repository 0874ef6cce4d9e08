#pragma once

#include "engine/host.h"

#include <chrono>
#include <functional>

namespace engine {

// Pumps the host's events during one long copy often enough that the window stays
// live, and no more often than that.
class PumpThrottle {
public:
    using Clock = std::chrono::steady_clock;
    // What time it is: the steady clock's, or a test's own.
    using Now = std::function<Clock::time_point()>;

    static constexpr std::chrono::milliseconds interval{20};

    explicit PumpThrottle(Host& host, Now now = Clock::now)
        : host_(host), now_(std::move(now)), last_(now_()) {}

    bool due() const { return now_() - last_ >= interval; }
    void pumpNow() {
        host_.pumpEvents();
        last_ = now_();
    }

private:
    Host& host_;
    Now now_;
    Clock::time_point last_;
};

} // namespace engine
