#pragma once

// The virtual chip as the program uses it: the bytes the sender writes go in one at a time, and
// an audio output pulls the sound out. A port device feeds it, so the sender's pacing,
// `SendBuffer` and "Shut Up" work on it exactly as on the serial line.

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "core/chip/renderer.h"
#include "core/serial/serial_link.h"

namespace cantora::chip {

// The device name that, in section "Ports" of the settings file, names the virtual chip
// ("1=virtual").
constexpr const char* kVirtualDeviceName = "virtual";

// The sound is made ahead on a worker thread of its own into a short ring of samples; `pull`
// (which the audio output calls on the user-interface thread) only copies from the ring, so a
// long run of speech never holds up the window.
class VirtualChip {
  public:
    // A run of sounds is spoken once no byte has come for this long (or it is kLongestRun
    // long), so that it is spoken in one piece rather than sound by sound as the bytes trickle
    // in.
    static constexpr int kRunGapMs = 12;
    // How far ahead of the output the worker renders: more than an output asks for at once.
    static constexpr int kAheadMs = 200;

    VirtualChip();
    ~VirtualChip();
    VirtualChip(const VirtualChip&) = delete;
    VirtualChip& operator=(const VirtualChip&) = delete;

    // Safe to call from any thread. Bytes that find the input buffer full are dropped.
    void feed(char byte);
    void feedBytes(const QByteArray& bytes);
    // Always fills all `frames` (silence when nothing is ready). Never renders: copies only.
    void pull(int16_t* out, int frames);
    bool busy() const;
    // Stops at once, as the chip's reset does: what is playing and everything queued go, and
    // the voice is back to its defaults. For switching away from the chip and "Shut Up" sent
    // elsewhere.
    void silence();
    // Busy and being listened to: something has pulled its sound lately. A chip nobody pulls
    // from (no audio device) never counts as playing, however much is queued.
    bool playing() const;
    // The input buffer is full: the chip holds off CTS (see kInputBufferEvents). It says so
    // kHeadroom events early, so a reader that stops taking bytes then loses none.
    bool full() const;
    static constexpr int kHeadroom = 1024;

  private:
    static constexpr int kListenedGapMs = 500;
    static constexpr int kRingFrames = kSampleRate * kAheadMs / 1000;

    void feedLocked(unsigned char byte);
    void work();
    // Renders one block outside the lock; false when there was nothing to do.
    bool renderBlock(std::unique_lock<std::mutex>& lock);
    void appendLocked(const int16_t* pcm, int frames);

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    // Guarded by mutex_:
    Decoder decoder_;
    std::vector<Event> decoded_;
    std::deque<Event> input_;
    std::vector<int16_t> ring_ = std::vector<int16_t>(kRingFrames);
    size_t ringStart_ = 0;
    size_t ringCount_ = 0;
    quint64 generation_ = 0;  // counts resets, so a block rendered before one is thrown away
    bool rendererBusy_ = false;
    bool stopping_ = false;
    QElapsedTimer lastByte_;
    QElapsedTimer lastPull_;
    // The worker's alone:
    Renderer renderer_;
    std::thread worker_;
};

// Where the virtual chip's sound goes: the speakers, or a capture for tests and WAV files.
class PcmOutput {
  public:
    virtual ~PcmOutput() = default;
    // Starts pulling from `chip`. Never blocks and never fails loudly: without an audio device
    // it simply stays silent.
    virtual void start(std::shared_ptr<VirtualChip> chip) = 0;
    virtual void stop() = 0;
    // Why nothing can be heard now ("no sound server answers …"); empty while the sound is
    // going somewhere. Starting again while there is a reason looks for the output once more.
    virtual QString unavailableReason() const { return {}; }
};

// Pulls the sound at the pace of real time, as an audio device would, and keeps it.
class PcmCapture : public QObject, public PcmOutput {
  public:
    explicit PcmCapture(int periodMs = 5, QObject* parent = nullptr);
    void start(std::shared_ptr<VirtualChip> chip) override;
    void stop() override;
    // Pulls what real time has made due since the last pull (the timer calls it).
    void pullDue();

    const std::vector<int16_t>& samples() const { return samples_; }
    // Milliseconds since start() at which the first sound (a non-zero sample) was handed
    // over; -1 while there has been none.
    double firstSoundMs() const { return firstSoundMs_; }
    QElapsedTimer& clock() { return clock_; }

  private:
    std::shared_ptr<VirtualChip> chip_;
    QTimer timer_;
    QElapsedTimer clock_;
    std::vector<int16_t> samples_;
    qint64 pulledFrames_ = 0;
    double firstSoundMs_ = -1;
};

// The port device for the virtual chip. Opening starts the output; it fails, saying "No sound
// output: …" as its lastOpenError(), while the output has nowhere to play. Closing (the
// sender's idle timer) leaves a sound that is still playing to finish.
std::unique_ptr<PortDevice> MakeVirtualChipPort(std::shared_ptr<VirtualChip> chip,
                                                std::unique_ptr<PcmOutput> output);

// The sender's port when both destinations exist: the virtual chip when chosen (the main
// window's check box) or when the port's device is named "virtual", else the serial port.
class RoutedPortDevice : public PortDevice {
  public:
    // `chip`, when given, is the virtual chip behind `virtualChip`: it falls silent as soon as
    // the sender switches away from it.
    RoutedPortDevice(std::unique_ptr<PortDevice> serial, std::unique_ptr<PortDevice> virtualChip,
                     std::shared_ptr<VirtualChip> chip = nullptr);
    // Takes effect at the next opening; close the port first to switch at once. Unchoosing the
    // virtual chip silences it at once.
    void setVirtualChosen(bool chosen);
    bool virtualChosen() const { return virtualChosen_; }
    // Whether the open port is the virtual chip.
    bool usingVirtual() const { return active_ == virtual_.get(); }

    bool open(const PortSettings& settings) override;
    bool isOpen() const override { return active_ != nullptr && active_->isOpen(); }
    void close() override;
    QString lastOpenError() const override;
    bool needsDevice() const override { return !virtualChosen_; }
    void discardInput() override;
    bool writeByte(char byte) override;

  private:
    std::unique_ptr<PortDevice> serial_;
    std::unique_ptr<PortDevice> virtual_;
    PortDevice* active_ = nullptr;
    PortDevice* lastTried_ = nullptr;
    std::shared_ptr<VirtualChip> chip_;
    bool virtualChosen_ = false;
};

}  // namespace cantora::chip
