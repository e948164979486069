#include "core/chip/virtual_chip.h"

#include <algorithm>
#include <chrono>

#include "core/codes/scp_commands.h"

namespace cantora::chip {

namespace {

// The least the worker renders at once (5 ms), and the most (40 ms): as much as the ring has
// room for, so that a worker that gets little time still keeps the output fed.
constexpr int kBlockFrames = kSampleRate / 200;
constexpr int kLargestBlockFrames = kSampleRate / 25;

}  // namespace

VirtualChip::VirtualChip() : worker_([this] { work(); }) {}

VirtualChip::~VirtualChip() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    worker_.join();
}

void VirtualChip::feedLocked(unsigned char byte) {
    decoded_.clear();
    decoder_.feed(byte, &decoded_);
    for (const Event& event : decoded_) {
        if (event.kind == EventKind::ScpReset) {
            // Silence at once: what waits and what is ready go, and a block being rendered now
            // is thrown away when it is done.
            input_.clear();
            ringStart_ = ringCount_ = 0;
            ++generation_;
            input_.push_back(event);
        } else if (input_.size() < static_cast<size_t>(kInputBufferEvents)) {
            input_.push_back(event);
        }
    }
    lastByte_.start();
}

void VirtualChip::feed(char byte) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        feedLocked(static_cast<unsigned char>(byte));
    }
    wake_.notify_all();
}

void VirtualChip::feedBytes(const QByteArray& bytes) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (const char byte : bytes) {
            feedLocked(static_cast<unsigned char>(byte));
        }
    }
    wake_.notify_all();
}

void VirtualChip::pull(int16_t* out, int frames) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        lastPull_.start();
        const size_t take = std::min(ringCount_, static_cast<size_t>(std::max(frames, 0)));
        for (size_t i = 0; i < take; ++i) {
            out[i] = ring_[(ringStart_ + i) % ring_.size()];
        }
        ringStart_ = (ringStart_ + take) % ring_.size();
        ringCount_ -= take;
        std::fill(out + take, out + std::max(frames, 0), int16_t(0));
    }
    wake_.notify_all();
}

bool VirtualChip::busy() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return !input_.empty() || ringCount_ > 0 || rendererBusy_;
}

void VirtualChip::silence() {
    // Through the decoder like the line's own reset, so a code or command cut short by a
    // stopped send is forgotten too.
    feedBytes(ResetCommandText());
}

bool VirtualChip::playing() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return (!input_.empty() || ringCount_ > 0 || rendererBusy_) && lastPull_.isValid() &&
           lastPull_.elapsed() < kListenedGapMs;
}

bool VirtualChip::full() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return input_.size() + kHeadroom >= static_cast<size_t>(kInputBufferEvents);
}

void VirtualChip::appendLocked(const int16_t* pcm, int frames) {
    for (int i = 0; i < frames && ringCount_ < ring_.size(); ++i) {
        ring_[(ringStart_ + ringCount_) % ring_.size()] = pcm[i];
        ++ringCount_;
    }
}

bool VirtualChip::renderBlock(std::unique_lock<std::mutex>& lock) {
    const quint64 generation = generation_;
    std::vector<Event> taken;
    // A reset is always taken: it empties the renderer rather than filling it.
    while (!input_.empty() && (static_cast<int>(taken.size()) < renderer_.room() ||
                               input_.front().kind == EventKind::ScpReset)) {
        taken.push_back(input_.front());
        input_.pop_front();
    }
    const bool moreMayCome = lastByte_.isValid() && lastByte_.elapsed() < kRunGapMs;
    const int space = std::min(static_cast<int>(ring_.size() - ringCount_), kLargestBlockFrames);
    const bool room = space >= kBlockFrames;
    if (taken.empty() && (!rendererBusy_ || !room)) {
        return false;
    }
    // What was taken is the renderer's now: busy until it says otherwise.
    rendererBusy_ = rendererBusy_ || !taken.empty();
    lock.unlock();
    for (const Event& event : taken) {
        renderer_.push(event);
    }
    int16_t block[kLargestBlockFrames];
    int made = 0;
    int ready = 0;
    if (room) {
        made = renderer_.render(block, space, moreMayCome);
        ready = renderer_.synthSounding() ? space : made;
    }
    const bool synth = renderer_.synthSounding();
    const bool speaking = renderer_.speaking();
    lock.lock();
    rendererBusy_ = speaking || synth;
    if (generation != generation_) {
        return true;  // a reset came meanwhile: its bytes wait in the input
    }
    // The synthesiser sounds all the time; speech only as far as it goes.
    appendLocked(block, ready);
    // A run held open while its bytes still arrive: look again shortly.
    return made > 0 || synth || !taken.empty();
}

void VirtualChip::work() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!stopping_) {
        if (renderBlock(lock)) {
            continue;
        }
        if (stopping_) {
            break;
        }
        // Nothing to render now: sleep until bytes come or the output takes samples, and look
        // again within a millisecond while a run is held open.
        wake_.wait_for(lock, std::chrono::milliseconds(rendererBusy_ ? 1 : 50));
    }
}

// --- capture ---

PcmCapture::PcmCapture(int periodMs, QObject* parent) : QObject(parent) {
    timer_.setInterval(periodMs);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, this, [this] { pullDue(); });
}

void PcmCapture::start(std::shared_ptr<VirtualChip> chip) {
    chip_ = std::move(chip);
    samples_.clear();
    pulledFrames_ = 0;
    firstSoundMs_ = -1;
    clock_.start();
    timer_.start();
}

void PcmCapture::stop() {
    timer_.stop();
}

void PcmCapture::pullDue() {
    if (!chip_) {
        return;
    }
    const qint64 due = clock_.nsecsElapsed() * kSampleRate / 1000000000LL;
    const auto frames = static_cast<int>(due - pulledFrames_);
    if (frames <= 0) {
        return;
    }
    const size_t at = samples_.size();
    samples_.resize(at + static_cast<size_t>(frames));
    chip_->pull(samples_.data() + at, frames);
    pulledFrames_ = due;
    if (firstSoundMs_ < 0) {
        for (size_t i = at; i < samples_.size(); ++i) {
            if (samples_[i] != 0) {
                firstSoundMs_ = static_cast<double>(clock_.nsecsElapsed()) / 1e6;
                break;
            }
        }
    }
}

// --- ports ---

namespace {

class VirtualChipPort : public PortDevice {
  public:
    VirtualChipPort(std::shared_ptr<VirtualChip> chip, std::unique_ptr<PcmOutput> output)
        : chip_(std::move(chip)), output_(std::move(output)) {}
    ~VirtualChipPort() override {
        if (output_ && started_) {
            output_->stop();
        }
    }

    bool open(const PortSettings&) override {
        open_ = false;
        error_.clear();
        if (output_ && (!started_ || !output_->unavailableReason().isEmpty())) {
            output_->start(chip_);
            started_ = true;
        }
        const QString reason = output_ ? output_->unavailableReason() : QString();
        if (!reason.isEmpty()) {
            error_ = QStringLiteral("No sound output: ") + reason;
            return false;
        }
        open_ = true;
        return true;
    }
    bool isOpen() const override { return open_; }
    QString lastOpenError() const override { return error_; }
    void close() override { open_ = false; }
    void discardInput() override {}
    bool writeByte(char byte) override {
        if (!open_) {
            return false;
        }
        chip_->feed(byte);
        return true;
    }

  private:
    std::shared_ptr<VirtualChip> chip_;
    std::unique_ptr<PcmOutput> output_;
    QString error_;
    bool started_ = false;
    bool open_ = false;
};

}  // namespace

std::unique_ptr<PortDevice> MakeVirtualChipPort(std::shared_ptr<VirtualChip> chip,
                                                std::unique_ptr<PcmOutput> output) {
    return std::make_unique<VirtualChipPort>(std::move(chip), std::move(output));
}

RoutedPortDevice::RoutedPortDevice(std::unique_ptr<PortDevice> serial,
                                   std::unique_ptr<PortDevice> virtualChip,
                                   std::shared_ptr<VirtualChip> chip)
    : serial_(std::move(serial)), virtual_(std::move(virtualChip)), chip_(std::move(chip)) {}

void RoutedPortDevice::setVirtualChosen(bool chosen) {
    if (virtualChosen_ && !chosen && chip_) {
        chip_->silence();
    }
    virtualChosen_ = chosen;
}

bool RoutedPortDevice::open(const PortSettings& settings) {
    close();
    const bool wantVirtual =
        virtualChosen_ ||
        settings.device.compare(QLatin1String(kVirtualDeviceName), Qt::CaseInsensitive) == 0;
    PortDevice* chosen = wantVirtual ? virtual_.get() : serial_.get();
    if (lastTried_ == virtual_.get() && chosen != virtual_.get() && chip_) {
        // Switched away (another port number, say): what the chip still had to say would go
        // on where no "Shut Up" can reach it.
        chip_->silence();
    }
    lastTried_ = chosen;
    if (chosen == nullptr || !chosen->open(settings)) {
        return false;
    }
    active_ = chosen;
    return true;
}

void RoutedPortDevice::close() {
    if (active_ != nullptr) {
        active_->close();
        active_ = nullptr;
    }
}

QString RoutedPortDevice::lastOpenError() const {
    return lastTried_ != nullptr ? lastTried_->lastOpenError() : QString();
}

void RoutedPortDevice::discardInput() {
    if (active_ != nullptr) {
        active_->discardInput();
    }
}

bool RoutedPortDevice::writeByte(char byte) {
    return active_ != nullptr && active_->writeByte(byte);
}

}  // namespace cantora::chip
