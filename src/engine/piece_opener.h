#pragma once

#include "engine/file_opener.h"
#include "engine/hand_off.h"
#include "engine/piece_plan.h"
#include "runtime/file.h"

#include <atomic>
#include <cstddef>
#include <memory>
#include <optional>
#include <thread>

namespace engine {

// Opens a plan's piece files on a helper thread, a few pieces ahead of the copy, and sets
// their room aside, so the file system's cost of making each file (most of a split into
// small pieces) overlaps the copying of the piece before it.
//
// Nothing is lost by opening early: a file that already exists is opened without being
// cut, and is cut only when its piece is taken. When the run ends early, files made
// ahead and never taken are removed again; existing files are left as they were.
class PieceOpener {
public:
    // Files open at once besides the one being written.
    static constexpr std::size_t ahead = 4;

    // The plan and the file opener must outlive the piece opener.
    PieceOpener(const PiecePlan& plan, FileOpener& files,
                std::uint32_t permissions = runtime::File::defaultPermissions);
    ~PieceOpener();
    PieceOpener(const PieceOpener&) = delete;
    PieceOpener& operator=(const PieceOpener&) = delete;

    // The next piece's file, open for writing and empty, in the plan's order; throws
    // the error its opening met. `waiting` keeps the window live while it waits.
    std::unique_ptr<runtime::File> take(const HandOff<int>::Waiting& waiting = {});
    // How many pieces take has handed out (or failed to).
    int taken() const { return nextToTake_ - 1; }

private:
    struct Opened {
        std::unique_ptr<runtime::File> file;
        bool created = false;
    };

    Opened open(int piece);
    void openAhead();
    void reserveRoom(runtime::File& file, int piece);
    static void undo(Opened& opened);

    const PiecePlan& plan_;
    FileOpener& files_;
    std::uint32_t permissions_;
    int nextToTake_ = 1;
    // Whether the pieces' file system is in memory (-1: not yet asked), asked of the first
    // piece that sets room aside; the helper and take may both ask.
    std::atomic<int> inMemory_{-1};

    HandOff<Opened> ready_{ahead};
    std::jthread worker_;
};

} // namespace engine
