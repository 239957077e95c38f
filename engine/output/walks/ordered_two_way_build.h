// Builds a run of records on the calling thread and one more, and hands them
// back in order. A message enumeration spends its time decoding blocks and
// creating value files, and neither depends on another message, so on a
// machine with a second core the first half of a folder and the second half
// are built side by side. The helper thread ends before the call returns.
#pragma once

#include <cstddef>
#include <exception>
#include <system_error>
#include <thread>
#include <vector>

namespace corvex {

// Below this many records the helper thread would cost more than it saves.
inline constexpr std::size_t kTwoWayBuildMinimum = 64;

// Builds records 0..count-1 with `build(i, lane)`, which returns null when the
// walk was stopped before record i; `lane` is the thread it runs on (0 or 1),
// so that each can keep state of its own, such as where it carves memory
// from. `discard` frees a record that is not handed back. Returns the records
// in order up to the first one that was not built, so a stop keeps what comes
// before it, as a walk on one thread would. An exception from either half
// discards every record built and is rethrown.
template <typename Record, typename Build, typename Discard>
std::vector<Record*> BuildInOrderTwoWay(std::size_t count, const Build& build,
                                        const Discard& discard) {
    const auto buildRun = [&build](std::size_t begin, std::size_t end, std::size_t lane,
                                   std::vector<Record*>& out) {
        for (std::size_t i = begin; i < end; ++i) {
            Record* record = build(i, lane);
            if (record == nullptr) return;
            out.push_back(record);
        }
    };
    std::size_t middle = count < kTwoWayBuildMinimum ? count : count / 2;
    // Reserved up front, so that keeping a built record never throws and loses it.
    std::vector<Record*> first, second;
    first.reserve(count);
    second.reserve(count - middle);
    std::exception_ptr firstFailure, secondFailure;
    {
        std::jthread helper;
        try {
            if (middle < count) {
                helper = std::jthread([&, begin = middle] {
                    try {
                        buildRun(begin, count, 1, second);
                    } catch (...) {
                        secondFailure = std::current_exception();
                    }
                });
            }
        } catch (const std::system_error&) {
            middle = count;  // no thread to be had: this one builds them all
        }
        try {
            buildRun(0, middle, 0, first);
        } catch (...) {
            firstFailure = std::current_exception();
        }
    }  // the helper has ended here
    const std::exception_ptr failure = firstFailure ? firstFailure : secondFailure;
    const bool whole = !failure && first.size() == middle;
    if (whole) first.insert(first.end(), second.begin(), second.end());
    for (Record* record : second) {
        if (!whole) discard(record);
    }
    if (failure) {
        for (Record* record : first) discard(record);
        std::rethrow_exception(failure);
    }
    return first;
}

// Runs `step(i)` for 0..count-1 on the same two threads, each half in order,
// for work whose results go to disk rather than into a list; `step` returns
// false when the walk was stopped, and that half goes no further.
template <typename Step>
void RunTwoWay(std::size_t count, const Step& step) {
    static char done;
    BuildInOrderTwoWay<char>(
        count, [&](std::size_t i, std::size_t) { return step(i) ? &done : nullptr; }, [](char*) {});
}

}  // namespace corvex
