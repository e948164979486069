#include "core/serial/pacing.h"

#include <cerrno>
#include <chrono>
#include <thread>

#ifdef Q_OS_LINUX
#include <sys/prctl.h>
#include <time.h>
#endif

namespace cantora {

namespace {

qint64 NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void SleepUntilNs(qint64 dueNs) {
#ifdef Q_OS_LINUX
    // steady_clock is CLOCK_MONOTONIC on Linux.
    timespec due{};
    due.tv_sec = static_cast<time_t>(dueNs / 1000000000);
    due.tv_nsec = static_cast<long>(dueNs % 1000000000);
    while (::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &due, nullptr) == EINTR) {
    }
#else
    std::this_thread::sleep_until(
        std::chrono::steady_clock::time_point(std::chrono::nanoseconds(dueNs)));
#endif
}

}  // namespace

void BytePacer::start() {
    first_ = true;
}

void BytePacer::waitForNext() {
    const qint64 now = NowNs();
    if (first_) {
        first_ = false;
        dueNs_ = now;
        return;
    }
    dueNs_ += periodNs_;
    if (dueNs_ <= now) {
        dueNs_ = now;
        return;
    }
    SleepUntilNs(dueNs_);
}

FineTimerSlack::FineTimerSlack() {
#ifdef Q_OS_LINUX
    const int previous = ::prctl(PR_GET_TIMERSLACK, 0, 0, 0, 0);
    if (previous > 0 && ::prctl(PR_SET_TIMERSLACK, 1000UL, 0, 0, 0) == 0) {
        previousNs_ = previous;
    }
#endif
}

FineTimerSlack::~FineTimerSlack() {
#ifdef Q_OS_LINUX
    if (previousNs_ > 0) {
        ::prctl(PR_SET_TIMERSLACK, static_cast<unsigned long>(previousNs_), 0, 0, 0);
    }
#endif
}

}  // namespace cantora
