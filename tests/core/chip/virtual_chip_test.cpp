// The virtual chip: the decoder fed the exact bytes the windows send, and the sound it renders
// measured as PCM (pitch by autocorrelation, touch tones by Goertzel). No audio device.

#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTest>
#include <QTimer>
#include <QtEndian>
#include <cmath>

#include "core/chip/decoder.h"
#include "core/chip/effects.h"
#include "core/chip/renderer.h"
#include "core/chip/speakers.h"
#include "core/chip/virtual_chip.h"
#include "core/chip/wav_file.h"
#include "core/codes/code_table.h"
#include "core/codes/palette_table.h"
#include "core/codes/scp_commands.h"
#include "support/test_support.h"

using namespace cantora;
using namespace cantora::chip;
using test::Bytes;

namespace {

QByteArray Prefix(int volume = 96, int speed = 114, int pitch = 88, int bend = 5) {
    return Bytes({20, volume, 21, speed, 22, pitch, 23, bend});
}

// "Hello world" as the phrase editor sends it: HE EH LO OWWW, a pause, WW AXRR LO ED.
QByteArray HelloWorld() {
    return Bytes({183, 131, 146, 164, 2, 147, 151, 146, 176});
}

double Ms(const std::vector<int16_t>& pcm) {
    return 1000.0 * static_cast<double>(pcm.size()) / kSampleRate;
}

int Peak(const std::vector<int16_t>& pcm, size_t from = 0, size_t to = SIZE_MAX) {
    int peak = 0;
    for (size_t i = from; i < std::min(to, pcm.size()); ++i) {
        peak = std::max(peak, std::abs(static_cast<int>(pcm[i])));
    }
    return peak;
}

// The loudest stretch of `length` samples: where a sung vowel is steadiest.
size_t LoudestWindow(const std::vector<int16_t>& pcm, size_t length) {
    size_t best = 0;
    double bestEnergy = -1;
    for (size_t start = 0; start + length <= pcm.size(); start += length / 8) {
        double energy = 0;
        for (size_t i = start; i < start + length; ++i) {
            energy += static_cast<double>(pcm[i]) * pcm[i];
        }
        if (energy > bestEnergy) {
            bestEnergy = energy;
            best = start;
        }
    }
    return best;
}

// Fundamental by normalised autocorrelation (cumulative-mean difference, first clear dip),
// refined by a parabola through the dip.
double PitchHz(const std::vector<int16_t>& pcm, size_t from, size_t length) {
    const int maxLag = kSampleRate / 40;
    const size_t width = length - static_cast<size_t>(maxLag);
    std::vector<double> d(static_cast<size_t>(maxLag), 1.0);
    double running = 0;
    for (int lag = 1; lag < maxLag; ++lag) {
        double sum = 0;
        for (size_t i = from; i < from + width; ++i) {
            const double x = static_cast<double>(pcm[i]) - pcm[i + static_cast<size_t>(lag)];
            sum += x * x;
        }
        running += sum;
        d[static_cast<size_t>(lag)] = running > 0 ? sum * lag / running : 1.0;
    }
    // The first dip under the threshold (as in the YIN method), else the deepest one.
    int best = -1;
    for (int lag = kSampleRate / 1000; lag < maxLag - 1 && best < 0; ++lag) {
        if (d[static_cast<size_t>(lag)] < 0.25) {
            best = lag;
        }
    }
    if (best < 0) {
        best = static_cast<int>(std::min_element(d.begin() + kSampleRate / 1000, d.end() - 1) -
                                d.begin());
    }
    while (best + 1 < maxLag - 1 &&
           d[static_cast<size_t>(best + 1)] < d[static_cast<size_t>(best)]) {
        ++best;
    }
    const double a = d[static_cast<size_t>(best - 1)];
    const double b = d[static_cast<size_t>(best)];
    const double c = d[static_cast<size_t>(best + 1)];
    const double den = a - 2 * b + c;
    const double shift = den != 0 ? (a - c) / (2 * den) : 0;
    return kSampleRate / (best + shift);
}

// Power at one frequency (Goertzel), normalised by the window length.
double Goertzel(const std::vector<int16_t>& pcm, double hz) {
    const double w = 2 * M_PI * hz / kSampleRate;
    const double coeff = 2 * std::cos(w);
    double s1 = 0;
    double s2 = 0;
    for (const int16_t x : pcm) {
        const double s0 = x + coeff * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    const double n = static_cast<double>(pcm.size());
    return (s1 * s1 + s2 * s2 - coeff * s1 * s2) / (n * n);
}

double Db(double ratio) {
    return 10 * std::log10(ratio);
}

std::vector<Event> Decode(const QByteArray& bytes) {
    return DecodeBytes(bytes);
}

QString Describe(const std::vector<Event>& events) {
    QStringList parts;
    for (const Event& e : events) {
        parts << QStringLiteral("%1:%2:%3").arg(static_cast<int>(e.kind)).arg(e.code).arg(e.value);
    }
    return parts.join(u' ');
}

// The events a click's code must give, worked out from the code table's groups.
Event ExpectedFor(int code, int parameter) {
    if (code >= palette::kFirstNote) {
        return {EventKind::Pitch, 22, GetNotePitch(code)};
    }
    if (code <= 6) {
        return {EventKind::Pause, code, code};
    }
    if (code >= 128 && code <= 199) {
        return {EventKind::Allophone, code, 0};
    }
    if (code >= 200 && code <= 254) {
        return {EventKind::Effect, code, 0};
    }
    const QString name = GetCodeName(code);
    static const QHash<QString, EventKind> plain = {
        {"\\FAST", EventKind::Fast},   {"\\SLOW", EventKind::Slow}, {"\\STRESS", EventKind::Stress},
        {"\\RELAX", EventKind::Relax}, {"\\WAIT", EventKind::Wait}, {"\\SOFT", EventKind::Soft},
        {"\\RESET", EventKind::Reset}};
    static const QHash<QString, EventKind> valued = {
        {"\\PCTRL", EventKind::PinControl}, {"\\POUT", EventKind::PinOutput},
        {"\\REPEAT", EventKind::Repeat},    {"\\CALL", EventKind::Call},
        {"\\PLAY", EventKind::Play},        {"\\DELAY", EventKind::Delay}};
    if (plain.contains(name)) {
        return {plain.value(name), code, 0};
    }
    return {valued.value(name), code, parameter};
}

class Host : public SenderHost {
  public:
    QString portText() const override { return QStringLiteral("1"); }
    int flowControlValue() const override { return 1; }
    void setLinkState(LinkState state) override { states.append(state); }
    bool confirmLongPhrase(const QString&) override { return true; }
    void stopIdleTimer() override {}
    void armIdleTimer(int) override {}
    QList<LinkState> states;
};

}  // namespace

class VirtualChipTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { LoadCodeNames(); }
    void everyPaletteClickDecodes();
    void everySynthesiserWriteDecodes();
    void cutShortSendsResynchronise();
    void garbageNeverDerails();
    void slowerSpeedLongerPhrase();
    void notesSingAtTheirFrequency();
    void touchTonesHoldTheirPairs();
    void modifiersChangeTheNextSound();
    void registerWritesPlayATone();
    void volumeZeroIsSilent();
    void pausesHaveTheirLengths();
    void effectsAreDistinctAndUnclipped();
    void wavFileHoldsTheRender();
    void senderDrivesTheVirtualChip();
    void portsMappingChoosesTheVirtualChip();
    void speakersNeverBlock();
};

void VirtualChipTest::everyPaletteClickDecodes() {
    const QByteArray prefix = Prefix();
    const std::vector<Event> prefixEvents = {{EventKind::Volume, 20, 96},
                                             {EventKind::Speed, 21, 114},
                                             {EventKind::Pitch, 22, 88},
                                             {EventKind::Bend, 23, 5}};
    int checked = 0;
    for (const palette::Element& element : palette::Elements()) {
        const int code = palette::CodeOf(element.caption);
        // 92 is the backslash: a value byte that looks like the start of a command.
        for (const int parameter : {7, 92, 255}) {
            const QByteArray bytes =
                palette::ClickBytes(prefix, code, parameter) + palette::ClickBytes({}, 128);
            std::vector<Event> expected = prefixEvents;
            expected.push_back(ExpectedFor(code, parameter));
            expected.push_back({EventKind::Allophone, 128, 0});
            const std::vector<Event> got = Decode(bytes);
            QVERIFY2(got == expected, qPrintable(element.caption + ": " + Describe(got)));
            ++checked;
        }
    }
    QCOMPARE(checked, 183 * 3);
}

void VirtualChipTest::everySynthesiserWriteDecodes() {
    for (int reg = 0; reg <= 15; ++reg) {
        for (const int value : {0, 1, 31, 96, 127, 255, 440, 3999}) {
            const std::vector<Event> got = Decode(RegisterWriteText(reg, value));
            const std::vector<Event> expected = {{EventKind::RegisterWrite, reg, value}};
            QVERIFY2(got == expected, RegisterWriteText(reg, value).constData());
        }
    }
    QVERIFY(Decode(ResetCommandText()) == std::vector<Event>{{EventKind::ScpReset}});
    // The main window's port test: the byte 31, then a command the chip reads and ignores.
    const std::vector<Event> portTest = {{EventKind::Reset, 31, 0}, {EventKind::ScpOther}};
    QVERIFY(Decode(Bytes({31}) + "\\0VX") == portTest);
    // A command for another chip number is not ours.
    QVERIFY(Decode("\\17J 5NX").empty());
}

void VirtualChipTest::cutShortSendsResynchronise() {
    // A phrase and a register write, cut after every byte, followed by what "Shut Up" sends
    // and one more sound: the reset and the sound always come through, nothing invented.
    const QByteArray sends[] = {Prefix() + HelloWorld() + Bytes({26, 3, 30, 50, 240}),
                                RegisterWriteText(1, 3999), RegisterWriteText(15, 31)};
    for (const QByteArray& send : sends) {
        for (int cut = 0; cut <= send.size(); ++cut) {
            const std::vector<Event> got =
                Decode(send.left(cut) + ResetCommandText() + Bytes({128}));
            QVERIFY2(got.size() >= 2, qPrintable(Describe(got)));
            QCOMPARE(got[got.size() - 2].kind, EventKind::ScpReset);
            QCOMPARE(got.back().kind, EventKind::Allophone);
            for (const Event& e : got) {
                // A cut-short register write never writes a partial value.
                if (e.kind == EventKind::RegisterWrite) {
                    QVERIFY(cut == send.size());
                }
            }
        }
    }
}

void VirtualChipTest::garbageNeverDerails() {
    QRandomGenerator random(20261207);
    Renderer renderer;
    std::vector<int16_t> block(kSampleRate / 10);
    for (int round = 0; round < 40; ++round) {
        QByteArray garbage(500, '\0');
        for (char& c : garbage) {
            c = static_cast<char>(random.bounded(256));
        }
        const std::vector<Event> events = Decode(garbage + ResetCommandText() + Bytes({240}));
        QVERIFY(events.size() >= 2);
        QCOMPARE(events[events.size() - 2].kind, EventKind::ScpReset);
        QCOMPARE(events.back(), (Event{EventKind::Effect, 240, 0}));
        // The renderer takes the same garbage, a little of its sound at a time.
        renderer.pushBytes(garbage);
        renderer.render(block.data(), static_cast<int>(block.size()));
        renderer.pushBytes(ResetCommandText());
        QVERIFY(!renderer.speaking());
    }
}

void VirtualChipTest::slowerSpeedLongerPhrase() {
    double previous = 0;
    for (const int speed : {127, 114, 80, 57, 30}) {
        const double ms = Ms(RenderBytes(Prefix(96, speed) + HelloWorld()));
        QVERIFY2(
            ms > previous * 1.05,
            qPrintable(
                QStringLiteral("speed %1: %2 ms after %3 ms").arg(speed).arg(ms).arg(previous)));
        previous = ms;
    }
    const double normal = Ms(RenderBytes(Prefix(96, 114) + HelloWorld()));
    const double half = Ms(RenderBytes(Prefix(96, 57) + HelloWorld()));
    // The pause inside does not stretch, so a little under double.
    QVERIFY2(half > 1.6 * normal && half < 2.1 * normal,
             qPrintable(QString::number(half / normal)));
}

void VirtualChipTest::notesSingAtTheirFrequency() {
    struct Case {
        int note;
        double hz;
    };
    // Sung as the palette sends it: the note click, then a vowel click with the new pitch.
    for (const Case c : {Case{310, 55}, Case{330, 110}, Case{350, 220}, Case{341, 131}}) {
        const int pitch = GetNotePitch(c.note);
        for (const int vowel : {135, 137}) {  // AW, OW
            const QByteArray bytes = palette::ClickBytes(Prefix(), c.note) +
                                     palette::ClickBytes(Prefix(96, 114, pitch), vowel);
            const std::vector<int16_t> pcm = RenderBytes(bytes);
            const size_t window = kSampleRate * 6 / 100;
            QVERIFY(pcm.size() > 2 * window);
            const double hz = PitchHz(pcm, LoudestWindow(pcm, window), window);
            QVERIFY2(std::fabs(hz - c.hz) < 0.02 * c.hz,
                     qPrintable(
                         QStringLiteral("note %1 vowel %2: %3 Hz").arg(c.note).arg(vowel).arg(hz)));
        }
    }
}

void VirtualChipTest::touchTonesHoldTheirPairs() {
    const double rows[] = {697, 770, 852, 941};
    const double columns[] = {1209, 1336, 1477, 1633};
    // D0-D9 the digits, D10 "*", D11 "#": row and column of each on the keypad.
    const int keypad[12][2] = {{3, 1}, {0, 0}, {0, 1}, {0, 2}, {1, 0}, {1, 1},
                               {1, 2}, {2, 0}, {2, 1}, {2, 2}, {3, 0}, {3, 2}};
    for (int d = 0; d < 12; ++d) {
        const std::vector<int16_t> pcm = RenderBytes(palette::ClickBytes(Prefix(), 240 + d));
        QVERIFY(Ms(pcm) >= 100);
        const double row = Goertzel(pcm, rows[keypad[d][0]]);
        const double column = Goertzel(pcm, columns[keypad[d][1]]);
        double strongestOther = 0;
        for (const double f :
             {697., 770., 852., 941., 1209., 1336., 1477., 1633., 350., 440., 2000., 3000.}) {
            if (f != rows[keypad[d][0]] && f != columns[keypad[d][1]]) {
                strongestOther = std::max(strongestOther, Goertzel(pcm, f));
            }
        }
        QVERIFY2(Db(std::min(row, column) / strongestOther) > 30,
                 qPrintable(QStringLiteral("D%1").arg(d)));
    }
}

void VirtualChipTest::modifiersChangeTheNextSound() {
    struct Measure {
        double ms;
        double hz;
        int peak;
    };
    const auto measure = [](const QByteArray& bytes) {
        const std::vector<int16_t> pcm = RenderBytes(Prefix(96, 114, 110) + bytes);
        const size_t window = kSampleRate * 6 / 100;
        return Measure{Ms(pcm), PitchHz(pcm, LoudestWindow(pcm, window), window), Peak(pcm)};
    };
    const Measure plain = measure(Bytes({135}));
    const Measure fast = measure(Bytes({7, 135}));
    const Measure slow = measure(Bytes({8, 135}));
    const Measure stress = measure(Bytes({14, 135}));
    const Measure relax = measure(Bytes({15, 135}));
    const Measure soft = measure(Bytes({18, 135}));
    QVERIFY(fast.ms < 0.8 * plain.ms);
    QVERIFY(slow.ms > 1.5 * plain.ms);
    QVERIFY(stress.hz > 1.08 * plain.hz && stress.peak > plain.peak);
    QVERIFY(relax.hz < 0.95 * plain.hz && relax.peak < plain.peak);
    QVERIFY(soft.peak < 0.7 * plain.peak);
    // Only the next sound: the one after it is as before.
    const double two = measure(Bytes({135, 4, 135})).ms;
    QCOMPARE(measure(Bytes({8, 135, 4, 135})).ms - slow.ms, two - plain.ms);
}

void VirtualChipTest::registerWritesPlayATone() {
    Renderer renderer;
    renderer.pushBytes(RegisterWriteText(11, 31) + RegisterWriteText(7, 96) +
                       RegisterWriteText(1, 440));
    std::vector<int16_t> pcm(kSampleRate / 2);
    renderer.render(pcm.data(), static_cast<int>(pcm.size()));
    QVERIFY(renderer.synthSounding());
    const size_t window = kSampleRate / 10;
    const double hz = PitchHz(pcm, pcm.size() - window - 1, window);
    QVERIFY2(std::fabs(hz - 440) < 0.02 * 440, qPrintable(QString::number(hz)));
    QVERIFY(Peak(pcm) > 4000 && Peak(pcm) < 32767);
    const std::vector<int16_t> tail(pcm.end() - static_cast<std::ptrdiff_t>(window), pcm.end());
    QVERIFY(Db(Goertzel(tail, 440) / Goertzel(tail, 600)) > 30);

    // The reset silences it within a few milliseconds and for good.
    renderer.pushBytes(ResetCommandText());
    std::vector<int16_t> after(kSampleRate / 5);
    renderer.render(after.data(), static_cast<int>(after.size()));
    QVERIFY(!renderer.synthSounding());
    QCOMPARE(Peak(after, kSampleRate / 20), 0);
}

void VirtualChipTest::volumeZeroIsSilent() {
    for (const QByteArray& sound : {HelloWorld(), Bytes({241, 252})}) {
        const std::vector<int16_t> pcm = RenderBytes(Prefix(0) + sound);
        QVERIFY(Ms(pcm) > 100);
        QCOMPARE(Peak(pcm), 0);
        QVERIFY(Peak(RenderBytes(Prefix(96) + sound)) > 3000);
    }
}

void VirtualChipTest::pausesHaveTheirLengths() {
    struct Case {
        QByteArray bytes;
        double ms;
    };
    const Case cases[] = {{Bytes({0}), 0},        {Bytes({1}), 100},        {Bytes({2}), 300},
                          {Bytes({3}), 700},      {Bytes({4}), 10},         {Bytes({5}), 36},
                          {Bytes({6}), 60},       {Bytes({30, 100}), 1000}, {Bytes({30, 7}), 70},
                          {Bytes({16}), kWaitMs}, {Bytes({1, 2, 3}), 1100}};
    for (const Case& c : cases) {
        const std::vector<int16_t> pcm = RenderBytes(Prefix() + c.bytes);
        QCOMPARE(Ms(pcm), c.ms);
        QCOMPARE(Peak(pcm), 0);
    }
    // Between two sounds a pause adds its length.
    const double without = Ms(RenderBytes(Bytes({240, 241})));
    QCOMPARE(Ms(RenderBytes(Bytes({240, 2, 241}))), without + 300);
}

void VirtualChipTest::effectsAreDistinctAndUnclipped() {
    QCOMPARE(static_cast<int>(EffectTable().size()), 55);
    std::vector<std::vector<int16_t>> all;
    for (int code = 200; code <= 254; ++code) {
        const EffectRecipe& recipe = EffectTable()[static_cast<size_t>(code - 200)];
        QCOMPARE(QStringLiteral("\\") + recipe.caption, GetCodeName(code));
        const std::vector<int16_t> pcm = RenderBytes(Prefix(127) + Bytes({code}));
        QVERIFY2(Ms(pcm) >= 40 && Ms(pcm) <= 1200, recipe.caption);
        QVERIFY2(Peak(pcm) > 3000 && Peak(pcm) < 32767, recipe.caption);
        for (const auto& other : all) {
            QVERIFY2(other != pcm, recipe.caption);
        }
        all.push_back(pcm);
    }
    // REPEAT plays the next sound its value's times; FAST shortens it.
    const double once = Ms(RenderBytes(Bytes({252})));
    QCOMPARE(Ms(RenderBytes(Bytes({26, 3, 252}))), 3 * once);
    QVERIFY(Ms(RenderBytes(Bytes({7, 252}))) < 0.7 * once);
}

void VirtualChipTest::wavFileHoldsTheRender() {
    test::TempProgramFolder folder;
    const QString path = folder.file("phrase.wav");
    const QByteArray bytes = Prefix() + HelloWorld();
    QVERIFY(RenderBytesToWav(bytes, path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray wav = file.readAll();
    const std::vector<int16_t> pcm = RenderBytes(bytes);
    QCOMPARE(wav.left(4), QByteArray("RIFF"));
    QCOMPARE(wav.mid(8, 8), QByteArray("WAVEfmt "));
    QCOMPARE(qFromLittleEndian<quint32>(wav.constData() + 24), quint32(kSampleRate));
    QCOMPARE(qFromLittleEndian<quint16>(wav.constData() + 34), quint16(16));
    QCOMPARE(qFromLittleEndian<quint32>(wav.constData() + 40), quint32(pcm.size() * 2));
    QCOMPARE(wav.size(), qsizetype(44 + pcm.size() * 2));
    QCOMPARE(qFromLittleEndian<qint16>(wav.constData() + 44 + 2 * 1000), pcm[1000]);
    // A folder that cannot be written leaves no file and says so.
    QVERIFY(!RenderBytesToWav(bytes, folder.file("missing/phrase.wav")));
}

void VirtualChipTest::senderDrivesTheVirtualChip() {
    test::TempProgramFolder folder;
    Host host;
    auto chip = std::make_shared<VirtualChip>();
    auto capture = std::make_unique<PcmCapture>(5);
    PcmCapture* seen = capture.get();
    CodeSender sender(host, MakeVirtualChipPort(chip, std::move(capture)));

    // A long phrase, cut short by "Shut Up" a few bytes in: the chip goes quiet.
    const QByteArray phrase = Prefix() + HelloWorld() + HelloWorld() + HelloWorld();
    QTimer::singleShot(15, &sender, [&] {
        sender.SendBuffer.clear();
        sender.SendToQuillon(ResetCommandText(), false);
    });
    sender.SendToQuillon(phrase, true);
    QVERIFY(sender.SendBuffer.isEmpty());
    QVERIFY(host.states.contains(LinkState::Open));
    QTRY_VERIFY_WITH_TIMEOUT(!chip->busy(), 500);

    // A palette click is heard: the first sound reaches the output promptly.
    const double before = seen->clock().nsecsElapsed() / 1e6;
    const size_t heardSoFar = seen->samples().size();
    sender.SendToQuillon(palette::ClickBytes(Prefix(), 241), true);
    QTRY_VERIFY_WITH_TIMEOUT(seen->samples().size() > heardSoFar + kSampleRate / 4, 2000);
    QVERIFY(seen->firstSoundMs() >= 0);
    QVERIFY(seen->firstSoundMs() - before < 200);
    const std::vector<int16_t> heard(
        seen->samples().begin() + static_cast<std::ptrdiff_t>(heardSoFar), seen->samples().end());
    QVERIFY(Db(Goertzel(heard, 697) / Goertzel(heard, 852)) > 20);
}

void VirtualChipTest::portsMappingChoosesTheVirtualChip() {
    test::TempProgramFolder folder;
    test::MapPort(folder, 1, QStringLiteral("virtual"));
    Host host;
    auto record = std::make_shared<test::PortRecord>();
    auto chip = std::make_shared<VirtualChip>();
    auto routed = std::make_unique<RoutedPortDevice>(std::make_unique<test::RecordingPort>(record),
                                                     MakeVirtualChipPort(chip, nullptr));
    RoutedPortDevice* router = routed.get();
    CodeSender sender(host, std::move(routed));
    sender.setInterByteDelayMs(0);

    sender.SendToQuillon(Bytes({241}), true);
    QVERIFY(router->usingVirtual());
    QVERIFY(record->written.isEmpty());
    QVERIFY(chip->busy());

    // Another mapping goes to the serial line, unless the virtual chip is chosen.
    sender.CloseSerialPort();
    test::MapPort(folder, 1, QStringLiteral("/dev/null"));
    sender.SendToQuillon(Bytes({128}), true);
    QVERIFY(!router->usingVirtual());
    QCOMPARE(record->written, Bytes({128}));
    sender.CloseSerialPort();
    router->setVirtualChosen(true);
    sender.SendToQuillon(Bytes({129}), true);
    QVERIFY(router->usingVirtual());
    QCOMPARE(record->written, Bytes({128}));
}

void VirtualChipTest::speakersNeverBlock() {
    // No sound server (a headless machine; here one that is named but not running): the send
    // fails promptly, as a port that cannot be opened, and says why; no message box.
    test::TempProgramFolder folder;
    const QByteArray oldServer = qgetenv("PULSE_SERVER");
    qputenv("PULSE_SERVER", ("unix:" + folder.file("no-server")).toLocal8Bit());
    Host host;
    auto chip = std::make_shared<VirtualChip>();
    QElapsedTimer timer;
    timer.start();
    {
        CodeSender sender(host, MakeVirtualChipPort(chip, MakeSpeakerOutput()));
        sender.setInterByteDelayMs(0);
        sender.SendToQuillon(palette::ClickBytes(Prefix(), 241), true);
        QVERIFY(!sender.PortOpen());
        QVERIFY(host.states.contains(LinkState::Failed));
        QVERIFY2(sender.lastOpenError().startsWith("No sound output: "),
                 qPrintable(sender.lastOpenError()));
        QTest::qWait(50);
    }
    QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
    if (oldServer.isNull()) {
        qunsetenv("PULSE_SERVER");
    } else {
        qputenv("PULSE_SERVER", oldServer);
    }
}

QTEST_MAIN(VirtualChipTest)
#include "virtual_chip_test.moc"
