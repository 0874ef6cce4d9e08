#pragma once

#include <string>

namespace engine {

// How a split or a merge ended, with the text its host was shown: the completion
// text in the status line, or the message of a refusal or a failure.
struct RunOutcome {
    enum class Kind {
        Completed, // every file written
        Refused,   // stopped before anything was written
        Failed,    // stopped by an error after writing began
        Cancelled, // the user ended the program during the run
    };
    Kind kind = Kind::Completed;
    std::string text;

    bool completed() const { return kind == Kind::Completed; }
};

} // namespace engine
