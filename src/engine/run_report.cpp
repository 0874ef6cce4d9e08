#include "engine/run_report.h"

#include "engine/split_run.h"
#include "runtime/error.h"

#include <new>

namespace engine {

RunOutcome RunReport::completed(const std::string& status) {
    host_.setStatus(status);
    return RunOutcome(status);
}

RunOutcome RunReport::refused(const std::string& message) {
    host_.showMessage(message);
    return RunOutcome(Problem{Ending::Refused, message});
}

RunOutcome RunReport::failed(const std::string& message) {
    host_.showMessage(message);
    return RunOutcome(Problem{Ending::Failed, message});
}

RunOutcome RunReport::stopped(const std::string& status) {
    host_.setStatus(status);
    return RunOutcome(Problem{Ending::Cancelled, status});
}

RunOutcome RunReport::guard(const std::function<RunOutcome()>& work) {
    try {
        return work();
    } catch (const RunCancelled&) {
        return stopped("已停止");
    } catch (const runtime::Error& error) {
        return failed(split_text::errorPrefix + error.description());
    } catch (const std::bad_alloc&) {
        return failed(split_text::errorPrefix + std::string("内存不足，请关闭别的程序后再试"));
    } catch (...) {
        // Nothing may end the program through the window's event loop.
        return failed(std::string(split_text::errorPrefix) + split_text::internalError);
    }
}

} // namespace engine
