// Virtual chip timings: rendering a 10-second phrase offline; from a palette click's bytes
// (sent with the real 1 ms pacing) to the first sound handed to the audio output, measured
// through the capture that stands in for the sound card; and from the first byte of a
// 20,000-sound send to its first sound, with the longest time the sending thread (the
// user-interface thread in the program) went without running its events meanwhile.
//
// Run: ./chip_bench

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>

#include "bench_util.h"
#include "core/chip/renderer.h"
#include "core/chip/virtual_chip.h"
#include "core/files/profile.h"
#include "core/serial/serial_link.h"

using namespace cantora;

namespace {

class QuietHost : public SenderHost {
  public:
    QString portText() const override { return QStringLiteral("1"); }
    int flowControlValue() const override { return 1; }
    void setLinkState(LinkState) override {}
    bool confirmLongPhrase(const QString&) override { return true; }
    void stopIdleTimer() override {}
    void armIdleTimer(int) override {}
};

QByteArray Bytes(std::initializer_list<int> values) {
    QByteArray bytes;
    for (const int v : values) {
        bytes.append(static_cast<char>(v));
    }
    return bytes;
}

QByteArray Phrase() {
    // "Hello world, how are you?" in allophones, with a pause after each sentence.
    const QByteArray sentence =
        Bytes({183, 131, 146, 164, 4, 147, 151, 146, 176, 4, 184, 163, 4, 152, 4, 160, 1});
    QByteArray bytes = Bytes({20, 96, 21, 114, 22, 88, 23, 5});
    while (chip::RenderBytes(bytes).size() < static_cast<size_t>(chip::kSampleRate) * 10) {
        bytes += sentence;
    }
    return bytes;
}

// Pulls as the sound card would, every 5 ms on this thread, and times each pull.
class TimedOutput : public chip::PcmOutput {
  public:
    void start(std::shared_ptr<chip::VirtualChip> chip) override {
        chip_ = std::move(chip);
        clock.start();
        QObject::connect(&timer_, &QTimer::timeout, [this] { pullDue(); });
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.start(5);
    }
    void stop() override { timer_.stop(); }
    void pullDue() {
        const qint64 due = clock.nsecsElapsed() * chip::kSampleRate / 1000000000LL;
        const auto frames = static_cast<int>(due - pulled_);
        if (frames <= 0) {
            return;
        }
        block_.resize(static_cast<size_t>(frames));
        QElapsedTimer timer;
        timer.start();
        chip_->pull(block_.data(), frames);
        longestPullMs = std::max(longestPullMs, static_cast<double>(timer.nsecsElapsed()) / 1e6);
        pulled_ = due;
        if (firstSoundMs < 0 &&
            std::any_of(block_.begin(), block_.end(), [](int16_t v) { return v != 0; })) {
            firstSoundMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        }
    }
    QElapsedTimer clock;
    double firstSoundMs = -1;
    double longestPullMs = 0;

  private:
    std::shared_ptr<chip::VirtualChip> chip_;
    QTimer timer_;
    std::vector<int16_t> block_;
    qint64 pulled_ = 0;
};

// A 20,000-sound "Say It": sent with the real pacing for three seconds, then "Shut Up".
void LongSend(SenderHost& host) {
    QByteArray phrase = Bytes({20, 96, 21, 114, 22, 88, 23, 5});
    for (int i = 0; i < 20000; ++i) {
        phrase.append(static_cast<char>(128 + (i * 7) % 64));
    }
    std::vector<double> firstSound;
    double longestGapMs = 0;
    double longestPullMs = 0;
    for (int run = 0; run < 5; ++run) {
        auto chipModel = std::make_shared<chip::VirtualChip>();
        auto output = std::make_unique<TimedOutput>();
        TimedOutput* timed = output.get();
        CodeSender sender(host, chip::MakeVirtualChipPort(chipModel, std::move(output)));
        QElapsedTimer clock;
        qint64 lastTick = 0;
        bool shutUp = false;
        QTimer tick;
        tick.setTimerType(Qt::PreciseTimer);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const qint64 now = clock.nsecsElapsed();
            longestGapMs = std::max(longestGapMs, static_cast<double>(now - lastTick) / 1e6);
            lastTick = now;
            if (now > 3000000000LL && !shutUp) {
                shutUp = true;
                sender.SendBuffer.clear();
                sender.SendToQuillon(Bytes({'\\', '0', 'R', 'X'}), false);
            }
        });
        clock.start();
        tick.start(2);
        sender.SendToQuillon(phrase, true);
        tick.stop();
        // The output started with the first byte: its clock runs from there.
        firstSound.push_back(timed->firstSoundMs);
        longestPullMs = std::max(longestPullMs, timed->longestPullMs);
    }
    std::sort(firstSound.begin(), firstSound.end());
    std::printf(
        "%-52s best %9.3f ms  median %9.3f ms  target < 150 ms  %s\n",
        "20,000-sound send: first byte to the first sample", firstSound.front(),
        firstSound[firstSound.size() / 2],
        firstSound[firstSound.size() / 2] < 150 && firstSound.front() >= 0 ? "ok" : "TOO SLOW");
    std::printf("%-52s %9.3f ms (longest pull %.3f ms)  target < 16 ms  %s\n",
                "  longest the sending thread went without events", longestGapMs, longestPullMs,
                longestGapMs < 16 ? "ok" : "TOO SLOW");
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    SetProgramFolder(folder.path());

    const QByteArray phrase = Phrase();
    const double seconds =
        static_cast<double>(chip::RenderBytes(phrase).size()) / chip::kSampleRate;
    std::printf("phrase: %lld bytes, %.2f s of sound\n", static_cast<long long>(phrase.size()),
                seconds);
    bench::Measure("render the 10-second phrase offline", 100, 7, nullptr,
                   [&] { chip::RenderBytes(phrase); });

    // A palette click on IY with the control prefix: nine bytes, paced.
    const QByteArray click = Bytes({20, 96, 21, 114, 22, 88, 23, 5, 128});
    QuietHost host;
    std::shared_ptr<chip::VirtualChip> chipModel;
    chip::PcmCapture* capture = nullptr;
    std::unique_ptr<CodeSender> sender;
    double lastByteMs = 0;
    std::vector<double> afterLastByte;
    bench::Measure(
        "palette click to the first sample at the output", 30, 15,
        [&] {
            chipModel = std::make_shared<chip::VirtualChip>();
            auto output = std::make_unique<chip::PcmCapture>(5);
            capture = output.get();
            sender = std::make_unique<CodeSender>(
                host, chip::MakeVirtualChipPort(chipModel, std::move(output)));
        },
        [&] {
            QElapsedTimer timer;
            timer.start();
            sender->SendToQuillon(click, true);
            lastByteMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
            while (capture->firstSoundMs() < 0 && timer.elapsed() < 1000) {
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 1);
            }
            afterLastByte.push_back(capture->firstSoundMs() - lastByteMs);
        });
    std::sort(afterLastByte.begin(), afterLastByte.end());
    std::printf("  of which after the last byte: median %.3f ms (the send itself takes %.1f ms)\n",
                afterLastByte[afterLastByte.size() / 2], lastByteMs);
    LongSend(host);
    return 0;
}
