#pragma once

#include <cstdint>
#include <string>

namespace engine {

// What a long engine operation needs of the window that hosts it.
class Host {
public:
    virtual ~Host() = default;
    // Replaces the one-line status text.
    virtual void setStatus(const std::string& text) = 0;
    // Shows a modal message with the exclamation icon and an OK button.
    virtual void showMessage(const std::string& text) = 0;
    // Lets the window handle its pending events. A host whose user has asked to end
    // the program throws RunCancelled here; the run then unwinds, closing its files.
    virtual void pumpEvents() = 0;
    // How many of a run's bytes are done, before each event pump; a host may show it.
    virtual void setProgress(std::int64_t done, std::int64_t total) {
        (void)done;
        (void)total;
    }
};

struct RunCancelled {};

} // namespace engine
