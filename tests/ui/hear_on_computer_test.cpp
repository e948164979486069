// Hearing the chip without one: the main window's "Hear on this computer" (the real window and
// sender, the virtual chip's PCM captured instead of played), its setting, "Save WAV…" in the
// phrase editor, and cantora-chip on a pseudo-terminal receiving the real window's sends.

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <QtEndian>
#include <cmath>

#include "core/chip/renderer.h"
#include "core/chip/wav_file.h"
#include "core/codes/translator.h"
#include "core/files/profile.h"
#include "support/test_support.h"
#include "ui/main/frm_utility.h"
#include "ui/phrase/frm_phrase.h"

using namespace cantora;
using test::Bytes;

namespace {

const QColor kWhite(255, 255, 255);
const QColor kGreen(0, 255, 0);
const QColor kRed(255, 0, 0);

const QByteArray kDictionary =
    "[words]\r\n"
    "hello=\\HE \\EH \\LO \\OW\r\n"
    "world=\\WW \\AXRR \\LE \\DE\r\n"
    "speak=\\SE \\PE \\IY \\EK\r\n";

// First and one past the last non-zero sample; {0, 0} for silence.
std::pair<size_t, size_t> SoundSpan(const int16_t* pcm, size_t frames) {
    size_t first = 0;
    while (first < frames && pcm[first] == 0) {
        ++first;
    }
    size_t end = frames;
    while (end > first && pcm[end - 1] == 0) {
        --end;
    }
    return first < end ? std::make_pair(first, end) : std::make_pair(size_t(0), size_t(0));
}

double Rms(const int16_t* pcm, size_t frames) {
    double sum = 0;
    for (size_t i = 0; i < frames; ++i) {
        sum += static_cast<double>(pcm[i]) * pcm[i];
    }
    return frames == 0 ? 0 : std::sqrt(sum / static_cast<double>(frames));
}

// The sound of a byte string as the chip plays it, rendered offline: its length in frames.
size_t RenderedSoundFrames(const QByteArray& bytes) {
    const std::vector<int16_t> pcm = chip::RenderBytes(bytes, 0);
    const auto [first, end] = SoundSpan(pcm.data(), pcm.size());
    return end - first;
}

void ClickSayIt(FrmPhrase& window, const QString& phrase) {
    window.txtSayData->setPlainText(phrase);
    QTest::mouseClick(window.bntSayIt, Qt::LeftButton);
}

}  // namespace

class HearOnComputerTest : public QObject {
    Q_OBJECT
  private slots:
    void settingKeptOnlyOnceTouched();
    void sayItIsHeardWhilePortGetsNothing();
    void checkedIgnoresThePortAndSwitchesBack();
    void withoutAudioDeviceNothingBlocks();
    void saveWavRendersWhatSayItSends();
    void chipProgramOnAPortHearsTheWindow();
    void rowOfModifiersIsHeardAsOne();
};

void HearOnComputerTest::settingKeptOnlyOnceTouched() {
    test::TempProgramFolder folder;
    const QByteArray own = "; mine\r\n[Serial]\r\nPort=3\r\nFlowControl=1\r\n";
    folder.write("Verbalyn.ini", own);
    {
        FrmUtility main;
        main.show();
        QVERIFY(!main.chkVirtual->isChecked());
        main.close();
    }
    // Not touched: the file is exactly as it was.
    QCOMPARE(folder.read("Verbalyn.ini"), own);
    {
        FrmUtility main;
        main.show();
        QTest::mouseClick(main.chkVirtual, Qt::LeftButton);
        QVERIFY(main.chkVirtual->isChecked());
        main.close();
    }
    QCOMPARE(folder.read("Verbalyn.ini"), own + "Virtual=1\r\n");
    {
        FrmUtility main;
        main.show();
        QVERIFY(main.chkVirtual->isChecked());
        QVERIFY(main.txtComPort->toolTip().contains("this computer"));
        QTest::mouseClick(main.chkVirtual, Qt::LeftButton);
        main.close();
    }
    QCOMPARE(folder.read("Verbalyn.ini"), own + "Virtual=0\r\n");
    FrmUtility main;
    QVERIFY(!main.chkVirtual->isChecked());
}

void HearOnComputerTest::sayItIsHeardWhilePortGetsNothing() {
    test::TempProgramFolder folder;
    folder.write("Verbalyn.Dic", kDictionary);
    test::PtyPair pty;
    QVERIFY(pty.ok());
    test::MapPort(folder, 1, pty.slavePath());
    auto* capture = new chip::PcmCapture(5);
    FrmUtility main(nullptr, nullptr, std::unique_ptr<chip::PcmOutput>(capture));
    main.show();
    QTest::mouseClick(main.chkVirtual, Qt::LeftButton);
    FrmPhrase window(main, &main);
    window.show();
    const QString phrase = "hello world, speak hello world, speak hello";
    const QByteArray bytes = window.PhraseBytes(TranslateText(phrase));
    QElapsedTimer clock;
    clock.start();
    ClickSayIt(window, phrase);
    QCOMPARE(main.linkColour(), kGreen);
    // Past the idle second the box stays green while the chip is still speaking.
    const size_t expected = RenderedSoundFrames(bytes);
    QVERIFY2(expected > static_cast<size_t>(chip::kSampleRate) * 2, "the phrase is too short");
    QTest::qWait(1300 - static_cast<int>(clock.elapsed()));
    QCOMPARE(main.linkColour(), kGreen);
    QVERIFY(main.sender().PortOpen());
    // The bytes are long out, but Say It reads busy until the phrase has been heard.
    QVERIFY(main.sender().SendBuffer.isEmpty());
    QVERIFY(!window.bntSayIt->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(window.bntSayIt->isEnabled(), 15000);
    const qint64 heardMs = static_cast<qint64>(expected) * 1000 / chip::kSampleRate;
    QVERIFY2(clock.elapsed() > heardMs * 9 / 10,
             qPrintable(QStringLiteral("ready after %1 ms of %2").arg(clock.elapsed()).arg(heardMs)));
    QTRY_COMPARE_WITH_TIMEOUT(main.linkColour(), kWhite, 15000);
    QCOMPARE(pty.read(1, 200), QByteArray());

    // Real sound, as long as the same bytes rendered offline.
    const std::vector<int16_t>& pcm = capture->samples();
    const auto [first, end] = SoundSpan(pcm.data(), pcm.size());
    const size_t heard = end - first;
    QVERIFY2(heard > expected * 9 / 10 && heard < expected * 11 / 10,
             qPrintable(QStringLiteral("heard %1, rendered %2").arg(heard).arg(expected)));
    QVERIFY(Rms(pcm.data() + first, heard) > 300);

    // Shut Up cuts the speech short, as it would on the chip.
    const size_t before = capture->samples().size();
    ClickSayIt(window, phrase);
    QTest::qWait(600);
    QTest::mouseClick(window.btnShutUp, Qt::LeftButton);
    const double shutUpMs = static_cast<double>(capture->clock().elapsed());
    QTest::qWait(800);
    const std::vector<int16_t>& after = capture->samples();
    const auto [first2, end2] = SoundSpan(after.data() + before, after.size() - before);
    QVERIFY(end2 > first2);
    const double lastSoundMs = (before + end2) * 1000.0 / chip::kSampleRate;
    QVERIFY2(lastSoundMs < shutUpMs + 150,
             qPrintable(QStringLiteral("%1 ms after Shut Up").arg(lastSoundMs - shutUpMs)));
    QCOMPARE(pty.read(1, 200), QByteArray());
}

void HearOnComputerTest::checkedIgnoresThePortAndSwitchesBack() {
    test::TempProgramFolder folder;
    auto record = std::make_shared<test::PortRecord>();
    auto* capture = new chip::PcmCapture(5);
    FrmUtility main(std::make_unique<test::RecordingPort>(record), nullptr,
                    std::unique_ptr<chip::PcmOutput>(capture));
    main.show();
    main.chkVirtual->setChecked(true);
    // No port number and no usable line setting: the virtual chip needs neither.
    main.txtComPort->setText("abc");
    PutIniValue("Serial", "BaudRate", "fast");
    const QByteArray touchTone = Bytes({20, 96, 241});
    main.SendToQuillon(touchTone, true);
    QCOMPARE(main.linkColour(), kGreen);
    QTRY_VERIFY_WITH_TIMEOUT(Rms(capture->samples().data(), capture->samples().size()) > 100, 2000);
    QVERIFY(record->written.isEmpty());

    // Unchecked: the open virtual port closes at once and the next send takes the serial line.
    main.chkVirtual->setChecked(false);
    QCOMPARE(main.linkColour(), kWhite);
    QVERIFY(!main.sender().PortOpen());
    main.txtComPort->setText("1");
    PutIniValue("Serial", "BaudRate", "9600");
    main.SendToQuillon(touchTone, true);
    QCOMPARE(record->written, touchTone);
    QCOMPARE(record->openings.size(), 1);
}

void HearOnComputerTest::withoutAudioDeviceNothingBlocks() {
    // The real speakers with no sound server to reach: the send fails at once as a port that
    // cannot be opened does, red with the reason, and nothing waits for a sound nobody plays.
    const QByteArray oldServer = qgetenv("PULSE_SERVER");
    qputenv("PULSE_SERVER", "unix:/nonexistent/cantora-no-sound-server");
    test::TempProgramFolder folder;
    test::ScriptedAnswers noQuestions(QMessageBox::Yes, 0);
    {
        FrmUtility main;
        main.show();
        main.chkVirtual->setChecked(true);
        QElapsedTimer clock;
        clock.start();
        main.SendToQuillon(Bytes({20, 96, 128, 129, 130, 2, 241}), true);
        QCOMPARE(main.linkColour(), kRed);
        QVERIFY2(main.txtComPort->toolTip().contains("No sound output"),
                 qPrintable(main.txtComPort->toolTip()));
        QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(QApplication::activeModalWidget() == nullptr);
    }
    if (oldServer.isNull()) {
        qunsetenv("PULSE_SERVER");
    } else {
        qputenv("PULSE_SERVER", oldServer);
    }
}

void HearOnComputerTest::saveWavRendersWhatSayItSends() {
    test::TempProgramFolder folder;
    folder.write("Verbalyn.Dic", kDictionary);
    auto record = std::make_shared<test::PortRecord>();
    FrmUtility main(std::make_unique<test::RecordingPort>(record));
    main.sender().setInterByteDelayMs(0);
    main.show();
    FrmPhrase window(main, &main);
    window.show();
    const QString phrase = "hello \\P2 world \\A3";
    ClickSayIt(window, phrase);
    const QByteArray sent = record->written;
    QVERIFY(sent.size() > 8);
    record->written.clear();

    // Cancelled: nothing written.
    {
        test::ScriptedFileAnswer cancel{QString()};
        QTest::mouseClick(window.cmdSaveWav, Qt::LeftButton);
        QCOMPARE(cancel.suggested().size(), 1);
    }
    QVERIFY(QDir(folder.path()).entryList({"*.wav"}).isEmpty());

    // A name without an extension gets ".wav"; nothing goes to the port.
    {
        test::ScriptedFileAnswer answer(folder.file("phrase"));
        QTest::mouseClick(window.cmdSaveWav, Qt::LeftButton);
    }
    QVERIFY(record->written.isEmpty());
    const QByteArray wav = folder.read("phrase.wav");
    QCOMPARE(wav.left(4), QByteArray("RIFF"));
    QCOMPARE(wav.mid(8, 8), QByteArray("WAVEfmt "));
    QCOMPARE(qFromLittleEndian<quint32>(wav.constData() + 4), quint32(wav.size() - 8));
    QCOMPARE(qFromLittleEndian<quint16>(wav.constData() + 22), quint16(1));
    QCOMPARE(qFromLittleEndian<quint32>(wav.constData() + 24), quint32(chip::kSampleRate));
    QCOMPARE(qFromLittleEndian<quint16>(wav.constData() + 34), quint16(16));
    QCOMPARE(wav.mid(36, 4), QByteArray("data"));
    QCOMPARE(qFromLittleEndian<quint32>(wav.constData() + 40), quint32(wav.size() - 44));
    // The sound of exactly the bytes "Say It" sent.
    QCOMPARE(wav, chip::WavBytes(chip::RenderBytes(sent), chip::kSampleRate));
    const auto* pcm = reinterpret_cast<const int16_t*>(wav.constData() + 44);
    const size_t frames = static_cast<size_t>(wav.size() - 44) / 2;
    QVERIFY(frames > static_cast<size_t>(chip::kSampleRate) / 2);
    QVERIFY(Rms(pcm, frames) > 300);

    // A file that cannot be written is refused; the next question offers the last good file.
    {
        test::ScriptedAnswers ok(QMessageBox::Ok);
        test::ScriptedFileAnswer answer(folder.file("no-such-folder/x.wav"));
        QTest::mouseClick(window.cmdSaveWav, Qt::LeftButton);
        QCOMPARE(ok.answered(), 1);
        QVERIFY(ok.texts().at(0).contains("x.wav"));
        QCOMPARE(answer.suggested(), QStringList{folder.file("phrase.wav")});
    }
    QVERIFY(window.cmdSaveWav->isEnabled());
}

void HearOnComputerTest::chipProgramOnAPortHearsTheWindow() {
    test::TempProgramFolder folder;
    folder.write("Verbalyn.Dic", kDictionary);
    const QString wav = folder.file("heard.wav");
    QProcess chipProgram;
    chipProgram.start(
        QStringLiteral(CANTORA_CHIP_PROGRAM),
        {QStringLiteral("--wav"), wav, QStringLiteral("--idle-exit"), QStringLiteral("3000")});
    QVERIFY(chipProgram.waitForStarted(5000));
    QTRY_VERIFY_WITH_TIMEOUT(chipProgram.canReadLine(), 5000);
    const QString device = QString::fromLocal8Bit(chipProgram.readLine()).trimmed();
    QVERIFY2(device.startsWith(QStringLiteral("/dev/")), qPrintable(device));
    test::MapPort(folder, 1, device);

    FrmUtility main;
    main.show();
    QTest::mouseClick(main.cmdTestSerialPort, Qt::LeftButton);
    QCOMPARE(main.linkColour(), kGreen);
    FrmPhrase window(main, &main);
    window.show();
    const QString phrase = "hello world";
    const QByteArray bytes = window.PhraseBytes(TranslateText(phrase));
    ClickSayIt(window, phrase);
    // It may already have ended (idle since the last byte) while the window was slow to return.
    QVERIFY(chipProgram.state() == QProcess::NotRunning || chipProgram.waitForFinished(15000));
    QCOMPARE(chipProgram.exitCode(), 0);

    QFile file(wav);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray data = file.readAll();
    QCOMPARE(data.left(4), QByteArray("RIFF"));
    const auto* pcm = reinterpret_cast<const int16_t*>(data.constData() + 44);
    const size_t frames = static_cast<size_t>(data.size() - 44) / 2;
    const auto [first, end] = SoundSpan(pcm, frames);
    const size_t heard = end - first;
    const size_t expected = RenderedSoundFrames(bytes);
    QVERIFY2(heard > expected * 9 / 10 && heard < expected * 11 / 10,
             qPrintable(QStringLiteral("heard %1, rendered %2").arg(heard).arg(expected)));
    QVERIFY(Rms(pcm + first, heard) > 300);
    // Recording starts with the Test's bytes, which make no sound; the phrase follows as soon as
    // the window sends it (within a second and a half, a sanitizer build's slow windows included).
    QVERIFY2(first < static_cast<size_t>(chip::kSampleRate) * 3 / 2,
             qPrintable(QString::number(first)));
}

void HearOnComputerTest::rowOfModifiersIsHeardAsOne() {
    // Sixteen clicks on "Slow", then one on "IY": the program lives on, and IY is heard at half
    // speed, no longer than after a single SLOW.
    test::TempProgramFolder folder;
    auto* capture = new chip::PcmCapture(5);
    FrmUtility main(nullptr, nullptr, std::unique_ptr<chip::PcmOutput>(capture));
    main.show();
    main.chkVirtual->setChecked(true);
    const QByteArray prefix = Bytes({20, 96, 21, 114, 22, 88, 23, 5});
    for (int i = 0; i < 16; ++i) {
        main.SendToQuillon(prefix + Bytes({8}), true);
    }
    main.SendToQuillon(prefix + Bytes({128}), true);
    const size_t expected = RenderedSoundFrames(prefix + Bytes({8}) + prefix + Bytes({128}));
    QTRY_VERIFY_WITH_TIMEOUT(capture->firstSoundMs() >= 0, 2000);
    QTRY_COMPARE_WITH_TIMEOUT(main.linkColour(), kWhite, 8000);
    const std::vector<int16_t>& pcm = capture->samples();
    const auto [first, end] = SoundSpan(pcm.data(), pcm.size());
    QVERIFY2(end - first > expected * 9 / 10 && end - first < expected * 11 / 10,
             qPrintable(QStringLiteral("heard %1, rendered %2").arg(end - first).arg(expected)));
}

QTEST_MAIN(HearOnComputerTest)
#include "hear_on_computer_test.moc"
