#pragma once

#include "engine/host.h"
#include "engine/result.h"

#include <functional>
#include <string>

namespace engine {

// Ends a run: shows its outcome through the host (completion in the status line,
// a refusal or a failure in a message) and returns it.
class RunReport {
public:
    explicit RunReport(Host& host) : host_(host) {}

    RunOutcome completed(const std::string& status);
    RunOutcome refused(const std::string& message);
    RunOutcome failed(const std::string& message);
    // Stopped by the user: the status line says so, and what was removed.
    RunOutcome stopped(const std::string& status);

    // Runs the work; an Error it throws ends the run as failed ("错误提示信息:" and the
    // error's description), the host's RunCancelled as stopped (with "已停止"), and anything else
    // as failed too, so that no error reaches the window's event loop.
    RunOutcome guard(const std::function<RunOutcome()>& work);

private:
    Host& host_;
};

} // namespace engine
