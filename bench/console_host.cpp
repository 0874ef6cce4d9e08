#include "console_host.h"

void ConsoleHost::setStatus(const std::string& text) {
    ++statusCount_;
    if (quiet_) {
        lastStatus_ = text;
    } else {
        std::printf("status: %s\n", text.c_str());
    }
}

void ConsoleHost::showMessage(const std::string& text) {
    std::printf("message: %s\n", text.c_str());
}

void ConsoleHost::pumpEvents() {
    const auto now = Clock::now();
    if (now - lastPump_ > longestGap_) {
        longestGap_ = now - lastPump_;
    }
    lastPump_ = now;
    ++pumpCount_;
}

void ConsoleHost::finish(bool pumpStats) {
    if (quiet_ && !lastStatus_.empty()) {
        std::printf("status: %s\n", lastStatus_.c_str());
    }
    if (pumpStats) {
        using std::chrono::duration;
        std::printf("pumps: %lld, status updates: %lld, longest gap: %.1f ms\n", pumpCount_,
                    statusCount_, duration<double, std::milli>(longestGap_).count());
    }
    std::fflush(stdout);
}
