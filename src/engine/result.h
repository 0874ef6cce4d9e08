#pragma once

#include "runtime/error.h"

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

// A run's result: the completion text shown in the status line, or its problem.
class RunOutcome : public Result<std::string> {
public:
    using Result::Result;
    // The text the host was shown, whichever way the run ended.
    const std::string& text() const { return ok() ? value() : problem().message; }
    bool completed() const { return ok(); }
};

} // namespace engine
