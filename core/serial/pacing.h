#pragma once

// Even spacing of the bytes a send writes: sleeps to deadlines one period apart, so a late
// wake-up shortens the next wait instead of pushing every later byte back.

#include <QtGlobal>

namespace cantora {

class BytePacer {
  public:
    explicit BytePacer(qint64 periodNs) : periodNs_(periodNs) {}
    // The first byte is due now.
    void start();
    // Sleeps until the next byte is due. After a stall longer than a period (a slow event
    // handler) the schedule restarts from now rather than bursting to catch up.
    void waitForNext();

  private:
    qint64 periodNs_;
    qint64 dueNs_ = 0;
    bool first_ = true;
};

// While alive, the calling thread's sleeps end within about a microsecond of their deadline
// (the usual slack lets them end up to 50 microseconds late). Restores the old slack after.
class FineTimerSlack {
  public:
    FineTimerSlack();
    ~FineTimerSlack();
    FineTimerSlack(const FineTimerSlack&) = delete;
    FineTimerSlack& operator=(const FineTimerSlack&) = delete;

  private:
    long previousNs_ = -1;
};

}  // namespace cantora
