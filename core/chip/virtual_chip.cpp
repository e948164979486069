#include "core/chip/virtual_chip.h"

#include "core/codes/scp_commands.h"

namespace cantora::chip {

void VirtualChip::feed(char byte) {
    std::lock_guard<std::mutex> lock(mutex_);
    renderer_.pushBytes(QByteArray(1, byte));
    lastByte_.start();
}

void VirtualChip::feedBytes(const QByteArray& bytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    renderer_.pushBytes(bytes);
    lastByte_.start();
}

void VirtualChip::pull(int16_t* out, int frames) {
    std::lock_guard<std::mutex> lock(mutex_);
    lastPull_.start();
    const bool moreMayCome = lastByte_.isValid() && lastByte_.elapsed() < kRunGapMs;
    renderer_.render(out, frames, moreMayCome);
}

bool VirtualChip::busy() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return renderer_.speaking() || renderer_.synthSounding();
}

void VirtualChip::silence() {
    // Through the decoder like the line's own reset, so a code or command cut short by a
    // stopped send is forgotten too.
    feedBytes(ResetCommandText());
}

bool VirtualChip::playing() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return (renderer_.speaking() || renderer_.synthSounding()) && lastPull_.isValid() &&
           lastPull_.elapsed() < kListenedGapMs;
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
