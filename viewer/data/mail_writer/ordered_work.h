// Work items made on two threads and taken in order on the calling one. A
// message is built and written out as text by the MIME library independently
// of every other, which leaves the second core idle when done one at a time;
// the file it goes to, and the count the window shows, must still see the
// messages in folder order, one after the other.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

namespace velmora {

// Calls `make(i)` for each i in [0, count), on the calling thread and one
// helper, and `take(i, result)` on the calling thread in the order of i. At
// most `ahead` results are made and not yet taken at any time, so memory is
// bounded by a few results however large each is. `take` returning false
// ends the run: what is being made is made and dropped, nothing more is
// started. An exception from `make` on the helper ends the run and is
// rethrown here once the helper has ended. Returns false when `take` ended it.
template <typename Result, typename Make, typename Take>
bool TakeInOrder(std::size_t count, std::size_t ahead, const Make& make, const Take& take) {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::optional<Result>> made(count);
    std::size_t next = 0;   // the first item nobody has started to make
    std::size_t taken = 0;  // the first item not taken yet
    bool ended = false;
    std::exception_ptr failure;
    if (ahead == 0) ahead = 1;
    const auto mayStart = [&] { return !ended && next < count && next < taken + ahead; };
    // Makes item `index` with the lock let go meanwhile.
    const auto makeUnlocked = [&](std::unique_lock<std::mutex>& lock, std::size_t index) {
        lock.unlock();
        Result result = make(index);
        lock.lock();
        made[index].emplace(std::move(result));
        changed.notify_all();
    };
    const auto help = [&] {
        std::unique_lock lock(mutex);
        while (!ended) {
            if (!mayStart()) {
                changed.wait(lock);
                continue;
            }
            try {
                makeUnlocked(lock, next++);
            } catch (...) {
                if (!lock.owns_lock()) lock.lock();
                failure = std::current_exception();
                ended = true;
                changed.notify_all();
            }
        }
    };
    std::jthread helper;
    if (count > 1) {
        try {
            helper = std::jthread(help);
        } catch (const std::system_error&) {
            // No thread to be had: this one makes them all.
        }
    }
    // Takes the items in order, making one itself whenever the next is not ready.
    const auto run = [&] {
        std::unique_lock lock(mutex);
        while (taken < count && failure == nullptr) {
            if (made[taken]) {
                Result result = std::move(*made[taken]);
                made[taken].reset();
                lock.unlock();
                const bool goOn = take(taken, result);
                lock.lock();
                ++taken;
                changed.notify_all();
                if (!goOn) return false;
            } else if (mayStart()) {
                makeUnlocked(lock, next++);
            } else {
                changed.wait(lock);
            }
        }
        return true;
    };
    const auto end = [&] {
        {
            const std::lock_guard lock(mutex);
            ended = true;
            changed.notify_all();
        }
        if (helper.joinable()) helper.join();
    };
    bool finished = true;
    try {
        finished = run();
    } catch (...) {
        end();
        throw;
    }
    end();
    if (failure != nullptr) std::rethrow_exception(failure);
    return finished;
}

}  // namespace velmora
