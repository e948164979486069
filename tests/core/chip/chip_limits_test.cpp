// The virtual chip under input no window would send: rows of modifiers, endless streams and
// long phrases, with bounds on length, time and memory. No audio device.

#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <QTimer>
#include <algorithm>

#include "core/chip/renderer.h"
#include "core/chip/virtual_chip.h"
#include "core/codes/scp_commands.h"
#include "support/test_support.h"

using namespace cantora;
using namespace cantora::chip;
using test::Bytes;

namespace {

QByteArray Prefix() {
    return Bytes({20, 96, 21, 114, 22, 110, 23, 5});
}

QByteArray Row(int code, int count) {
    return QByteArray(count, static_cast<char>(code));
}

int Peak(const std::vector<int16_t>& pcm) {
    int peak = 0;
    for (const int16_t v : pcm) {
        peak = std::max(peak, std::abs(static_cast<int>(v)));
    }
    return peak;
}

// The resident memory of this process in kilobytes.
qint64 ResidentKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
        }
    }
    return -1;
}

class Host : public SenderHost {
  public:
    QString portText() const override { return QStringLiteral("1"); }
    int flowControlValue() const override { return 1; }
    void setLinkState(LinkState) override {}
    bool confirmLongPhrase(const QString&) override { return true; }
    void stopIdleTimer() override {}
    void armIdleTimer(int) override {}
};

}  // namespace

class ChipLimitsTest : public QObject {
    Q_OBJECT
  private slots:
    void modifierRowsActLikeOneModifier();
    void everySoundIsBounded();
    void endlessStreamKeepsMemoryFlat();
    void longSendIsHeardAtOnceAndNeverBlocks();
};

void ChipLimitsTest::modifierRowsActLikeOneModifier() {
    // A modifier sets a property of the next sound: a row of them is the last one of the row
    // (FAST and SLOW replace each other, so do STRESS and RELAX), and the sound after is plain.
    struct Case {
        QByteArray row;
        QByteArray single;
    };
    const Case cases[] = {
        {Row(8, 16), Row(8, 1)},
        {Row(7, 16), Row(7, 1)},
        {Row(14, 16), Row(14, 1)},
        {Row(15, 16), Row(15, 1)},
        {Row(18, 16), Row(18, 1)},
        {Row(7, 5) + Row(8, 5), Row(8, 1)},
        {Row(8, 9) + Row(7, 1), Row(7, 1)},
        {Row(14, 8) + Row(15, 8), Row(15, 1)},
        {Row(8, 8) + Row(14, 8) + Row(18, 8), Bytes({8, 14, 18})},
    };
    for (const Case& c : cases) {
        for (const QByteArray& sound : {Bytes({128}), Bytes({252}), Bytes({135, 4, 135})}) {
            QElapsedTimer clock;
            clock.start();
            const std::vector<int16_t> row = RenderBytes(Prefix() + c.row + sound);
            const std::vector<int16_t> single = RenderBytes(Prefix() + c.single + sound);
            const QString what = QStringLiteral("%1 then %2").arg(c.row.toHex(), sound.toHex());
            QVERIFY2(
                row.size() == single.size(),
                qPrintable(
                    what +
                    QStringLiteral(": %1 against %2 samples").arg(row.size()).arg(single.size())));
            QVERIFY2(Peak(row) == Peak(single), qPrintable(what));
            QVERIFY2(clock.elapsed() < 5000, qPrintable(what));
        }
    }
}

void ChipLimitsTest::everySoundIsBounded() {
    // The slowest a sound can be made (SPEED 0, SLOW, a lone vowel, REPEAT 255): it stays
    // within its bound, held once however often it repeats, and the renderer goes on.
    Renderer renderer;
    renderer.pushBytes(Bytes({21, 0, 26, 255}) + Row(8, 24) + Bytes({137}) + Row(8, 24) +
                       Bytes({26, 255, 252}));
    const size_t longest = static_cast<size_t>(kLongestSoundMs) * kSampleRate / 1000;
    std::vector<int16_t> block(kSampleRate);
    size_t held = 0;
    for (int second = 0; second < 30; ++second) {
        renderer.render(block.data(), static_cast<int>(block.size()));
        held = std::max(held, renderer.heldFrames());
    }
    QVERIFY(renderer.speaking());
    QVERIFY2(held > 0 && held <= longest, qPrintable(QString::number(held)));
    // Offline, the same bytes end: at most the bound of each of the two sounds.
    const std::vector<int16_t> pcm = RenderBytes(Bytes({21, 0, 8, 137, 8, 252}));
    QVERIFY(pcm.size() > static_cast<size_t>(kSampleRate));
    QVERIFY(pcm.size() <= 2 * longest);
}

void ChipLimitsTest::endlessStreamKeepsMemoryFlat() {
    // Four megabytes of allophones at a chip nobody listens to: its input buffer fills, says
    // so, and what comes after is dropped; the memory stays where it was.
    auto chip = std::make_shared<VirtualChip>();
    QByteArray chunk(64 * 1024, '\0');
    for (int i = 0; i < chunk.size(); ++i) {
        chunk[i] = static_cast<char>(128 + i % 64);
    }
    chip->feedBytes(chunk);
    const qint64 before = ResidentKb();
    QVERIFY(before > 0);
    for (int i = 0; i < 64; ++i) {
        chip->feedBytes(chunk);
    }
    const qint64 grown = ResidentKb() - before;
    QVERIFY(chip->full());
    QVERIFY2(grown < 8 * 1024, qPrintable(QStringLiteral("%1 kB more").arg(grown)));
    // A reset still gets through at once, and the chip takes bytes again.
    chip->feedBytes(ResetCommandText());
    QVERIFY(!chip->full());
    QTRY_VERIFY_WITH_TIMEOUT(!chip->busy(), 2000);
}

void ChipLimitsTest::longSendIsHeardAtOnceAndNeverBlocks() {
    // A 20,000-sound phrase sent with the real pacing: its sound starts while the bytes still
    // come, and meanwhile the thread that sends and pulls is never held up.
    test::TempProgramFolder folder;
    Host host;
    auto chip = std::make_shared<VirtualChip>();
    auto output = std::make_unique<PcmCapture>(5);
    PcmCapture* capture = output.get();
    CodeSender sender(host, MakeVirtualChipPort(chip, std::move(output)));
    QByteArray phrase = Prefix();
    for (int i = 0; i < 20000; ++i) {
        phrase.append(static_cast<char>(128 + (i * 7) % 64));
    }
    QElapsedTimer clock;
    double firstSoundMs = -1;
    qint64 longestGapNs = 0;
    qint64 lastTickNs = 0;
    bool shutUp = false;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(2);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longestGapNs = std::max(longestGapNs, now - lastTickNs);
        lastTickNs = now;
        if (firstSoundMs < 0 && capture->firstSoundMs() >= 0) {
            firstSoundMs = static_cast<double>(now) / 1e6;
        }
        if (now > 1500000000LL && !shutUp) {
            shutUp = true;
            sender.SendBuffer.clear();  // "Shut Up"
            sender.SendToQuillon(ResetCommandText(), false);
        }
    });
    clock.start();
    tick.start();
    sender.SendToQuillon(phrase, true);
    tick.stop();
    qInfo() << "first sound after" << firstSoundMs << "ms; longest gap between events"
            << longestGapNs / 1e6 << "ms";
    QVERIFY2(firstSoundMs >= 0 && firstSoundMs < 300, qPrintable(QString::number(firstSoundMs)));
    QVERIFY2(longestGapNs < 40000000LL,
             qPrintable(QStringLiteral("%1 ms without events").arg(longestGapNs / 1e6)));
    QTRY_VERIFY_WITH_TIMEOUT(!chip->busy(), 1000);
}

QTEST_MAIN(ChipLimitsTest)
#include "chip_limits_test.moc"
