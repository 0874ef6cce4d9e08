#pragma once

#include "engine/host.h"

#include <functional>
#include <string>
#include <vector>

namespace testing_support {

// Remembers every host call of a run, in order.
class RecordingHost : public engine::Host {
public:
    void setStatus(const std::string& text) override { statuses.push_back(text); }
    void showMessage(const std::string& text) override { messages.push_back(text); }
    void pumpEvents() override;

    std::string lastStatus() const { return statuses.empty() ? std::string() : statuses.back(); }

    std::vector<std::string> statuses;
    std::vector<std::string> messages;
    int pumps = 0;
    // Runs on the given pump call (1-based), as a user's click during a run would.
    int actOnPump = 0;
    std::function<void()> action;
};

} // namespace testing_support
