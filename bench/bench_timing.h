#pragma once

#include <algorithm>
#include <chrono>

namespace ottavario::bench {

// The fastest of `runs` calls, in seconds: the least disturbed by the rest of the machine.
template <typename F> double bestOf(int runs, F&& f)
{
    using Clock = std::chrono::steady_clock;
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        f();
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return best;
}

} // namespace ottavario::bench
