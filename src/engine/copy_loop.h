#pragma once

#include "engine/host.h"
#include "engine/one_pass.h"
#include "runtime/file.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace engine {

// The loop the split and the merge share. Step k (1 to count) has a file of its own,
// the piece the split writes or the piece the merge reads; the other end of every step
// is one shared file, the source being split or the target being joined. Each block is
// read once, written from the same buffer and, when hashing, hashed from it (OnePass).
// Each step ends by handing its file back, showing "正在处理：<piece path>  <percent>" and
// letting the window handle its events; a step that takes longer than a pump's interval
// shows the same line, with the share of bytes done, while it copies. The host's
// RunCancelled passes through.
class CopyLoop {
public:
    enum class Direction { SharedToSteps, StepsToShared };
    struct Step {
        std::unique_ptr<runtime::File> file;
        std::int64_t length = 0;
    };
    using OpenStep = std::function<Step(int)>;
    // Takes a step's file once its bytes are copied: to flush and close it, or to check it.
    using DoneStep = std::function<void(int, std::unique_ptr<runtime::File>)>;

    // changedText: the error when a file being read ends before its bytes do (another
    // program cut it while the run read it).
    CopyLoop(Host& host, runtime::File& shared, Direction direction, HashesWanted hashes,
             std::string changedText, runtime::HashKind kind = runtime::HashKind::Sha256);

    // total: the bytes of all steps, for the host's progress.
    void run(int count, std::int64_t total, const OpenStep& openStep, const DoneStep& doneStep);
    // The hashes of every byte copied, once run has returned.
    SetHashes hashes();

private:
    void copyStep(runtime::File& from, runtime::File& to, std::int64_t length, int step,
                  std::int64_t doneBefore, std::int64_t total);

    Host& host_;
    runtime::File& shared_;
    Direction direction_;
    std::string changedText_;
    std::unique_ptr<OnePass> pass_;
    // Bytes written to the file being written since its writeback was last started.
    std::int64_t notWrittenBack_ = 0;
    HashesWanted wanted_;
    runtime::HashKind kind_;
};

} // namespace engine
