#pragma once

// A private PulseAudio server for tests: a null sink in a folder of its own, which the test
// starts, stops and starts again under a running program, and a recorder on the sink's monitor
// that hears what the program played. The environment (PULSE_SERVER and the runtime folders)
// points every client in this process and its children at it for the object's lifetime.

#include <QByteArray>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdint>
#include <memory>
#include <vector>

namespace cantora::test {

class SoundServer {
  public:
    SoundServer();
    ~SoundServer();
    // Starts the server and waits until it takes clients; false if it cannot start here.
    bool start();
    void stop();
    bool running() const;
    QString serverAddress() const;

    // Records the sink's monitor (22,050 Hz mono) until stopRecording().
    bool startRecording();
    std::vector<int16_t> stopRecording();

  private:
    QTemporaryDir dir_;
    std::unique_ptr<QProcess> server_;
    std::unique_ptr<QProcess> recorder_;
    QByteArray oldEnvironment_[4];
};

// Root mean square of a stretch of samples.
double SoundRms(const std::vector<int16_t>& pcm);

}  // namespace cantora::test
