#pragma once

#include "runtime/error.h"

#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace engine {

// How a decision or a run ends.
enum class Ending {
    Completed, // done: every file written, or the decision made
    Refused,   // stopped before anything was written
    Failed,    // stopped by an error after writing began
    Cancelled, // the user ended it
};

// Why something did not come about, told as the user is shown it.
struct Problem {
    Ending ending = Ending::Refused;
    std::string message;
    runtime::ErrorNumber number = runtime::ErrorNumber::InvalidArgument;
    std::string name = {}; // the bare name of the file it concerns; may be empty
};

// A refusal of a decision: nothing written yet. `name` is the bare name of the file it
// concerns, shown after the folder; it may be empty.
inline Problem refusal(runtime::ErrorNumber number, std::string message, std::string name = {}) {
    return Problem{Ending::Refused, std::move(message), number, std::move(name)};
}

// How a problem reads to the user: its message, then the file it concerns in `folder`.
inline std::string problemText(const Problem& problem, const std::string& folder) {
    return problem.name.empty() ? problem.message : problem.message + "：" + folder + problem.name;
}

// The one result type of the program's decisions and runs: a value, or the problem that
// kept it from being had. Exceptions stay inside the runtime and the runs' guard.
template <class T> class Result {
public:
    Result(T value) : state_(std::move(value)) {}
    Result(Problem problem) : state_(std::move(problem)) {}

    bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }
    Ending ending() const { return ok() ? Ending::Completed : problem().ending; }

    const T& value() const { return std::get<0>(state_); }
    T& value() { return std::get<0>(state_); }
    const T& operator*() const { return value(); }
    const T* operator->() const { return &value(); }
    const Problem& problem() const { return std::get<1>(state_); }

private:
    std::variant<T, Problem> state_;
};

// What a check says: why something may not be done, or nothing when it may.
using Refusal = std::optional<Problem>;

// A run's result: the completion text shown in the status line, or its problem.
class RunOutcome : public Result<std::string> {
public:
    using Result::Result;
    // The text the host was shown, whichever way the run ended.
    const std::string& text() const { return ok() ? value() : problem().message; }
    bool completed() const { return ok(); }
};

} // namespace engine
