#pragma once

#include "engine/pump_throttle.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <utility>

namespace engine {

// The one way the runs' threads hand work to each other: a bounded queue from the
// threads that put items in to the threads that take them out, with an end, an error
// and a stop.
//
// - close(): no more items; takers get what is queued, then nothing.
// - fail(error): the first error is kept; put throws it at once, take throws it once
//   the items queued before it are taken (a piece opened before a failed one is still
//   written).
// - stop(): the run ends early; every wait returns at once, put refuses and take gives
//   nothing. What was queued is left for the owner to undo (takeLeft).
//
// A wait on the window's thread must keep the window live: pass `waiting`, called every
// PumpThrottle::interval while the wait lasts (a host's RunCancelled passes through). A
// helper thread passes nothing and sleeps until it is woken.
//
// A plain flag and condition variables, not stop tokens: waiting on a stop token
// deadlocks now and then where the standard library has no futex (MinGW's, before GCC 13).
template <class T> class HandOff {
public:
    using Waiting = std::function<void()>;

    explicit HandOff(std::size_t capacity) : capacity_(capacity) {}
    HandOff(const HandOff&) = delete;
    HandOff& operator=(const HandOff&) = delete;

    // Waits while the queue is full. False, with `item` left as it was, once stopped.
    bool put(T&& item, const Waiting& waiting = {}) {
        std::unique_lock lock(mutex_);
        wait(lock, waiting, puttersWaiting_,
             [this] { return stopped_ || error_ || items_.size() < capacity_; });
        if (error_) {
            std::rethrow_exception(error_);
        }
        if (stopped_) {
            return false;
        }
        items_.push_back(std::move(item));
        if (takersWaiting_ > 0) {
            changed_.notify_all();
        }
        return true;
    }

    // Waits while the queue is empty and open. Nothing once it is closed and empty, or
    // stopped.
    std::optional<T> take(const Waiting& waiting = {}) {
        std::unique_lock lock(mutex_);
        wait(lock, waiting, takersWaiting_,
             [this] { return stopped_ || !items_.empty() || closed_ || error_; });
        if (stopped_) {
            return std::nullopt;
        }
        if (items_.empty()) {
            if (error_) {
                std::rethrow_exception(error_);
            }
            return std::nullopt;
        }
        std::optional<T> item(std::move(items_.front()));
        items_.pop_front();
        if (puttersWaiting_ > 0) {
            changed_.notify_all();
        }
        return item;
    }

    void close() {
        end([this] { closed_ = true; });
    }
    void fail(std::exception_ptr error) {
        end([&] {
            if (!error_) {
                error_ = std::move(error);
            }
        });
    }
    void stop() {
        end([this] { stopped_ = true; });
    }

    // How many threads wait in a put or a take now: a test waits for a helper to be
    // asleep before it wakes it.
    int waiters() {
        const std::lock_guard lock(mutex_);
        return puttersWaiting_ + takersWaiting_;
    }

    // The items still queued, for an owner that has stopped the queue and joined its
    // threads to undo what they did.
    std::deque<T> takeLeft() {
        const std::lock_guard lock(mutex_);
        return std::exchange(items_, {});
    }

private:
    template <class Change> void end(Change change) {
        {
            const std::lock_guard lock(mutex_);
            change();
        }
        changed_.notify_all();
    }

    // `waiters` counts the threads in this kind of wait while they are in it.
    template <class Done>
    void wait(std::unique_lock<std::mutex>& lock, const Waiting& waiting, int& waiters, Done done) {
        if (done()) {
            return;
        }
        ++waiters;
        const struct Leave {
            int& waiters;
            ~Leave() { --waiters; } // the lock is held, also when `waiting` threw
        } leave{waiters};
        if (!waiting) {
            changed_.wait(lock, done);
            return;
        }
        while (!changed_.wait_for(lock, PumpThrottle::interval, done)) {
            lock.unlock();
            try {
                waiting();
            } catch (...) {
                lock.lock();
                throw;
            }
            lock.lock();
        }
    }

    const std::size_t capacity_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<T> items_;
    // Who is in a wait, so that no one is woken for nothing.
    int puttersWaiting_ = 0;
    int takersWaiting_ = 0;
    bool closed_ = false;
    bool stopped_ = false;
    std::exception_ptr error_;
};

} // namespace engine
