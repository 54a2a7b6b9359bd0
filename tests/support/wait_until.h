#pragma once

#include <chrono>
#include <thread>

namespace wendrel::testing {

// Polls `done` until it holds or `deadline` has passed; true when it held.
// Tests wait through this so that a fault fails the test at once with its
// own message instead of hanging until CTest's timeout.
template <class Predicate>
bool WaitUntil(Predicate done, std::chrono::milliseconds deadline = std::chrono::seconds(10)) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end)
            return done();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

}  // namespace wendrel::testing
