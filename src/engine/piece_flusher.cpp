#include "engine/piece_flusher.h"

#include <system_error>

namespace engine {

PieceFlusher::PieceFlusher(Host& host, FileOpener& files, std::string folderPrefix)
    : host_(host), files_(files), folder_(std::move(folderPrefix)),
      wholeFileSystem_(files.canFlushFileSystem()), pump_([this] { host_.pumpEvents(); }) {
    if (wholeFileSystem_) {
        return;
    }
    try {
        helper_ = std::jthread([this] { flushQueued(); });
    } catch (const std::system_error&) {
        // No thread to be had: each piece is flushed as it is handed over, only slower.
    }
}

PieceFlusher::~PieceFlusher() {
    queue_.stop();
    // The jthread joins the helper after its flush under way; what is left queued closes
    // unflushed with the hand-off.
}

void PieceFlusher::written(std::unique_ptr<runtime::File> piece) {
    if (wholeFileSystem_ || !helper_.joinable()) {
        if (wholeFileSystem_) {
            piece->startWriteback();
        } else {
            piece->flush();
        }
        piece->close();
        return;
    }
    queue_.put(std::move(piece), pump_);
}

void PieceFlusher::finish() {
    if (wholeFileSystem_) {
        files_.flushFileSystem(folder_);
        return;
    }
    if (!helper_.joinable()) {
        return;
    }
    queue_.close();
    flushed_.take(pump_); // throws the helper's error
}

void PieceFlusher::flushQueued() {
    try {
        while (std::optional<std::unique_ptr<runtime::File>> piece = queue_.take()) {
            (*piece)->flush();
            (*piece)->close();
        }
        flushed_.close();
    } catch (...) {
        queue_.fail(std::current_exception());
        flushed_.fail(std::current_exception());
    }
}

} // namespace engine
