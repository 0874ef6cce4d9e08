#include "engine/piece_flusher.h"

#include "engine/pump_throttle.h"

#include <system_error>

namespace engine {

PieceFlusher::PieceFlusher(Host& host, FileOpener& files, std::string folderPrefix)
    : host_(host), files_(files), folder_(std::move(folderPrefix)),
      wholeFileSystem_(files.canFlushFileSystem()) {
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
    if (helper_.joinable()) {
        {
            const std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        changed_.notify_all();
        helper_.join();
    }
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
    std::unique_lock lock(mutex_);
    waitUntil(lock, [this] { return error_ || queue_.size() < mostWaiting; });
    if (error_) {
        std::rethrow_exception(error_);
    }
    queue_.push_back(std::move(piece));
    changed_.notify_all();
}

void PieceFlusher::finish() {
    if (wholeFileSystem_) {
        files_.flushFileSystem(folder_);
        return;
    }
    std::unique_lock lock(mutex_);
    waitUntil(lock, [this] { return error_ || (queue_.empty() && !busy_); });
    if (error_) {
        std::rethrow_exception(error_);
    }
}

// Waits on the run's thread, keeping the window live.
void PieceFlusher::waitUntil(std::unique_lock<std::mutex>& lock,
                             const std::function<bool()>& done) {
    while (!changed_.wait_for(lock, PumpThrottle::interval, done)) {
        lock.unlock();
        host_.pumpEvents();
        lock.lock();
    }
}

void PieceFlusher::flushQueued() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        if (queue_.empty()) {
            return; // stopping, with nothing left handed over
        }
        std::unique_ptr<runtime::File> piece = std::move(queue_.front());
        queue_.pop_front();
        busy_ = true;
        lock.unlock();
        std::exception_ptr error;
        try {
            piece->flush();
            piece->close();
        } catch (...) {
            error = std::current_exception();
        }
        piece.reset();
        lock.lock();
        busy_ = false;
        if (error && !error_) {
            error_ = error;
        }
        changed_.notify_all();
    }
}

} // namespace engine
