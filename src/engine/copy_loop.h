#pragma once

#include "engine/host.h"
#include "runtime/file.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace engine {

// The loop the split and the merge share. Step k (1 to count) has a file of its own,
// the piece the split writes or the piece the merge reads; the other end of every
// step is one shared file, the source being split or the target being joined. Each
// step copies its bytes with the window kept live, closes its file, shows
// "正在处理：<piece path>  <percent>" and lets the window handle its events. The
// host's RunCancelled passes through; the step's file is closed on every path.
class CopyLoop {
public:
    enum class Direction { SharedToSteps, StepsToShared };
    struct Step {
        std::unique_ptr<runtime::File> file;
        std::int64_t length = 0;
    };

    CopyLoop(Host& host, runtime::File& shared, Direction direction)
        : host_(host), shared_(shared), direction_(direction) {}

    // total: the bytes of all steps, for the host's progress.
    void run(int count, std::int64_t total, const std::function<Step(int)>& openStep);

private:
    Host& host_;
    runtime::File& shared_;
    Direction direction_;
};

} // namespace engine
