#pragma once

// A small timing harness for the benchmark programs: runs a step a few times and prints the
// best and the median time, with the target it must stay under.

#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "core/serial/serial_link.h"

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

// Notes when the first and the last byte of a measured step reach the port.
struct ByteClock {
    QElapsedTimer timer;
    double firstMs = -1;
    double lastMs = -1;
    int bytes = 0;
    void start() {
        firstMs = lastMs = -1;
        bytes = 0;
        timer.start();
    }
};

// A port that stands in for the serial line and times what arrives.
class ClockedPort : public PortDevice {
  public:
    explicit ClockedPort(ByteClock& clock) : clock_(clock) {}
    bool open(const PortSettings&) override { return open_ = true; }
    bool isOpen() const override { return open_; }
    void close() override { open_ = false; }
    void discardInput() override {}
    bool writeByte(char) override {
        const double now = static_cast<double>(clock_.timer.nsecsElapsed()) / 1e6;
        if (clock_.firstMs < 0) {
            clock_.firstMs = now;
        }
        clock_.lastMs = now;
        ++clock_.bytes;
        return open_;
    }

  private:
    ByteClock& clock_;
    bool open_ = false;
};

}  // namespace cantora::bench
