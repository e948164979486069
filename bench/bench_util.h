#pragma once

// A small timing harness for the benchmark programs: runs a step a few times and prints the
// best and the median time, with the target it must stay under.

#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace cantora::bench {

struct Result {
    double bestMs = 0;
    double medianMs = 0;
};

// Runs `setup` (untimed) then `step` (timed) `runs` times.
inline Result Measure(const char* name, double targetMs, int runs,
                      const std::function<void()>& setup, const std::function<void()>& step) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        if (setup) {
            setup();
        }
        QElapsedTimer timer;
        timer.start();
        step();
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    Result result{times.front(), times[times.size() / 2]};
    std::printf("%-52s best %9.3f ms  median %9.3f ms  target < %g ms  %s\n", name, result.bestMs,
                result.medianMs, targetMs, result.medianMs < targetMs ? "ok" : "TOO SLOW");
    std::fflush(stdout);
    return result;
}

}  // namespace cantora::bench
