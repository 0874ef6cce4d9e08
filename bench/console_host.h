#pragma once

#include "engine/host.h"

#include <chrono>
#include <cstdio>
#include <string>

// Prints the engine's host calls on standard output, one line each.
class ConsoleHost : public engine::Host {
public:
    explicit ConsoleHost(bool quiet) : quiet_(quiet) {}

    void setStatus(const std::string& text) override;
    void showMessage(const std::string& text) override;
    void pumpEvents() override;

    // Prints what a quiet run held back, and the pump figures when asked.
    void finish(bool pumpStats);

private:
    using Clock = std::chrono::steady_clock;
    bool quiet_;
    std::string lastStatus_;
    long long statusCount_ = 0;
    long long pumpCount_ = 0;
    Clock::time_point start_ = Clock::now();
    Clock::time_point lastPump_ = start_;
    Clock::duration longestGap_{};
};
