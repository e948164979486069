#include "core/chip/speakers.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QIODevice>
#include <QMediaDevices>

namespace cantora::chip {

namespace {

// What the sink pulls from: the chip's sound, produced on demand, never running dry.
class ChipStream : public QIODevice {
  public:
    explicit ChipStream(std::shared_ptr<VirtualChip> chip) : chip_(std::move(chip)) {}
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return 4096 + QIODevice::bytesAvailable(); }

  protected:
    qint64 readData(char* data, qint64 maxSize) override {
        const auto frames = static_cast<int>(maxSize / 2);
        if (frames <= 0) {
            return 0;
        }
        chip_->pull(reinterpret_cast<int16_t*>(data), frames);
        return static_cast<qint64>(frames) * 2;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

  private:
    std::shared_ptr<VirtualChip> chip_;
};

class SpeakerOutput : public PcmOutput {
  public:
    ~SpeakerOutput() override { stop(); }

    void start(std::shared_ptr<VirtualChip> chip) override {
        stop();
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull()) {
            return;  // headless: silence
        }
        QAudioFormat format;
        format.setSampleRate(kSampleRate);
        format.setChannelCount(1);
        format.setSampleFormat(QAudioFormat::Int16);
        if (!device.isFormatSupported(format)) {
            return;
        }
        stream_ = std::make_unique<ChipStream>(std::move(chip));
        // Unbuffered, or QIODevice reads ahead in large blocks and changes are heard late.
        stream_->open(QIODevice::ReadOnly | QIODevice::Unbuffered);
        sink_ = std::make_unique<QAudioSink>(device, format);
        sink_->setBufferSize(kSampleRate * 2 * kSpeakerBufferMs / 1000);
        sink_->start(stream_.get());
    }

    void stop() override {
        if (sink_) {
            sink_->stop();
            sink_.reset();
        }
        stream_.reset();
    }

  private:
    std::unique_ptr<ChipStream> stream_;
    std::unique_ptr<QAudioSink> sink_;
};

}  // namespace

std::unique_ptr<PcmOutput> MakeSpeakerOutput() {
    return std::make_unique<SpeakerOutput>();
}

bool HasAudioOutput() {
    return !QMediaDevices::audioOutputs().isEmpty();
}

}  // namespace cantora::chip
