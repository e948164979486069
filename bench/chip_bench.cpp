// Virtual chip timings: rendering a 10-second phrase offline, and from a palette click's bytes
// (sent with the real 1 ms pacing) to the first sound handed to the audio output, measured
// through the capture that stands in for the sound card.
//
// Run: ./chip_bench

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include "bench_util.h"
#include "core/chip/renderer.h"
#include "core/files/profile.h"
#include "core/serial/serial_link.h"
#include "core/chip/virtual_chip.h"

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
    return 0;
}
