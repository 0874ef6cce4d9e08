#include "engine/copy_loop.h"

#include "engine/pump_throttle.h"
#include "engine/split_run.h"
#include "runtime/byte_copier.h"
#include "runtime/number_text.h"

namespace engine {

void CopyLoop::run(int count, std::int64_t total, const std::function<Step(int)>& openStep) {
    runtime::ByteCopier copier;
    PumpThrottle pump(host_);
    std::int64_t done = 0;
    for (int k = 1; k <= count; ++k) {
        Step step = openStep(k);
        runtime::File& own = *step.file;
        const auto length = static_cast<std::uint64_t>(step.length);
        const auto keepLive = [&](std::uint64_t copied) {
            if (pump.due()) {
                host_.setProgress(done + static_cast<std::int64_t>(copied), total);
                pump.pumpNow();
            }
        };
        if (direction_ == Direction::SharedToSteps) {
            own.reserve(step.length);
            copier.copy(shared_, own, length, keepLive);
        } else {
            copier.copy(own, shared_, length, keepLive);
        }
        own.close();
        done += step.length;
        host_.setProgress(done, total);
        host_.setStatus(split_text::processing + own.path() + "  " +
                        runtime::percentText(k, count));
        pump.pumpNow();
    }
}

} // namespace engine
