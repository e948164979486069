// cantora-chip, the virtual chip on a pseudo-terminal: run the real program, send bytes into
// its terminal as a sender of one's own would, and check the WAV file it writes.

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <QtEndian>
#include <algorithm>
#include <cmath>

#include "core/chip/effects.h"
#include "core/codes/scp_commands.h"
#include "support/test_support.h"

using namespace cantora;
using test::Bytes;

namespace {

// The resident memory of a process in kilobytes; -1 once it is gone.
qint64 ResidentKb(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
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

double Power(const int16_t* pcm, size_t n, double hz) {
    const double coeff = 2 * std::cos(2 * M_PI * hz / chip::kSampleRate);
    double s1 = 0;
    double s2 = 0;
    for (size_t i = 0; i < n; ++i) {
        const double s0 = pcm[i] + coeff * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    return (s1 * s1 + s2 * s2 - coeff * s1 * s2) / (static_cast<double>(n) * n);
}

}  // namespace

class ChipToolTest : public QObject {
    Q_OBJECT
  private slots:
    void recordsWhatArrivesOnItsTerminal();
    void endlessStreamKeepsItFlat();
    void refusesBadOptions_data();
    void refusesBadOptions();
    void unwritableRecordingRefusedBeforeTheTerminal();
    void hangUpWritesTheRecording();
    void idleJudgedFromTheLastByte();
    void saysWhenARenderWasCut();
};

void ChipToolTest::recordsWhatArrivesOnItsTerminal() {
    test::TempProgramFolder folder;
    const QString wav = folder.file("heard.wav");
    QProcess chipProgram;
    chipProgram.start(
        QStringLiteral(CANTORA_CHIP_PROGRAM),
        {QStringLiteral("--wav"), wav, QStringLiteral("--idle-exit"), QStringLiteral("300")});
    QVERIFY(chipProgram.waitForStarted(5000));
    QTRY_VERIFY_WITH_TIMEOUT(chipProgram.canReadLine(), 5000);
    const QString device = QString::fromLocal8Bit(chipProgram.readLine()).trimmed();
    QVERIFY2(device.startsWith(QStringLiteral("/dev/")), qPrintable(device));

    // A sender of one's own: touch tone 1, then a synthesiser tone cut off by the reset.
    const int fd = ::open(device.toLocal8Bit().constData(), O_WRONLY | O_NOCTTY);
    QVERIFY(fd >= 0);
    const QByteArray tone = Bytes({20, 96, 241});
    QCOMPARE(::write(fd, tone.constData(), static_cast<size_t>(tone.size())), tone.size());
    QTest::qWait(400);
    const QByteArray synth =
        RegisterWriteText(11, 31) + RegisterWriteText(7, 96) + RegisterWriteText(1, 440);
    for (const char byte : synth) {  // paced, as the sender paces
        QCOMPARE(::write(fd, &byte, 1), 1);
        QTest::qWait(1);
    }
    QTest::qWait(300);
    const QByteArray reset = ResetCommandText();
    QCOMPARE(::write(fd, reset.constData(), static_cast<size_t>(reset.size())), reset.size());
    ::close(fd);

    QVERIFY(chipProgram.waitForFinished(10000));
    QCOMPARE(chipProgram.exitCode(), 0);
    QFile file(wav);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QCOMPARE(bytes.left(4), QByteArray("RIFF"));
    QCOMPARE(qFromLittleEndian<quint32>(bytes.constData() + 24), quint32(chip::kSampleRate));
    const auto* pcm = reinterpret_cast<const int16_t*>(bytes.constData() + 44);
    const size_t frames = static_cast<size_t>(bytes.size() - 44) / 2;
    const size_t rate = chip::kSampleRate;
    // Recorded from the first byte: the tone's 200 ms, then the synthesiser from about 400 ms
    // until the reset about 300 ms later, then silence until the program stopped.
    QVERIFY2(frames > rate && frames < 3 * rate, qPrintable(QString::number(frames)));
    const size_t toneLength = rate / 10;
    QVERIFY(Power(pcm + rate / 20, toneLength, 697) >
            100 * Power(pcm + rate / 20, toneLength, 852));
    QVERIFY(Power(pcm + rate / 20, toneLength, 1209) >
            100 * Power(pcm + rate / 20, toneLength, 1336));
    // The synthesiser starts wherever the sound comes back after the tone's silence.
    size_t synthStart = rate / 4;
    while (synthStart < frames && pcm[synthStart] == 0) {
        ++synthStart;
    }
    QVERIFY(synthStart + rate / 5 < frames);
    const int16_t* synthPart = pcm + synthStart + rate / 50;
    QVERIFY(Power(synthPart, toneLength, 440) > 1000 * Power(synthPart, toneLength, 697));
    int lastSound = 0;
    for (size_t i = 0; i < frames; ++i) {
        if (pcm[i] != 0) {
            lastSound = static_cast<int>(i);
        }
    }
    // The reset ended the sound; the program then waited its idle time in silence.
    QVERIFY2(frames - static_cast<size_t>(lastSound) > rate / 5,
             qPrintable(QStringLiteral("%1 of %2").arg(lastSound).arg(frames)));
}

void ChipToolTest::endlessStreamKeepsItFlat() {
    // Allophones as fast as the terminal takes them for three seconds: the chip holds off once
    // its input buffer is full, its memory stays flat, and a stop writes the recording.
    test::TempProgramFolder folder;
    const QString wav = folder.file("stream.wav");
    QProcess chipProgram;
    chipProgram.start(QStringLiteral(CANTORA_CHIP_PROGRAM), {QStringLiteral("--wav"), wav});
    QVERIFY(chipProgram.waitForStarted(5000));
    QTRY_VERIFY_WITH_TIMEOUT(chipProgram.canReadLine(), 5000);
    const QString device = QString::fromLocal8Bit(chipProgram.readLine()).trimmed();
    const int fd = ::open(device.toLocal8Bit().constData(), O_WRONLY | O_NOCTTY | O_NONBLOCK);
    QVERIFY(fd >= 0);
    QByteArray chunk(64 * 1024, '\0');
    for (int i = 0; i < chunk.size(); ++i) {
        chunk[i] = static_cast<char>(128 + i % 64);
    }
    qint64 accepted = 0;
    qint64 peakKb = 0;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 3000) {
        const ssize_t n = ::write(fd, chunk.constData(), static_cast<size_t>(chunk.size()));
        accepted += n > 0 ? n : 0;
        peakKb = std::max(peakKb, ResidentKb(chipProgram.processId()));
        QTest::qWait(n > 0 ? 0 : 5);
    }
    ::close(fd);
    qInfo() << "bytes taken" << accepted << "peak memory" << peakKb << "kB";
    // Its input buffer and the terminal's own, no more: the rest waits with the sender.
    QVERIFY2(accepted > 32768 && accepted < 256 * 1024, qPrintable(QString::number(accepted)));
    QVERIFY2(peakKb > 0 && peakKb < 150 * 1024, qPrintable(QString::number(peakKb)));
    chipProgram.terminate();
    QVERIFY(chipProgram.waitForFinished(5000));
    QCOMPARE(chipProgram.exitCode(), 0);
    QFile file(wav);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray data = file.readAll();
    QVERIFY(data.size() > 44 + chip::kSampleRate);  // over half a second
    // Spoken while the bytes still came, not held back for the end of a stream with none.
    const auto* pcm = reinterpret_cast<const int16_t*>(data.constData() + 44);
    const size_t frames = static_cast<size_t>(data.size() - 44) / 2;
    QVERIFY(std::any_of(pcm, pcm + frames, [](int16_t v) { return std::abs(v) > 1000; }));
}

namespace {

struct Run {
    int status = -1;
    QString errors;
};

Run RunChipProgram(const QStringList& arguments) {
    QProcess program;
    program.start(QStringLiteral(CANTORA_CHIP_PROGRAM), arguments);
    Run run;
    if (!program.waitForFinished(10000)) {
        program.kill();
        program.waitForFinished();
        return run;
    }
    run.status = program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -2;
    run.errors = QString::fromLocal8Bit(program.readAllStandardError());
    return run;
}

// Starts the program on its terminal and returns the terminal's path (empty if none came).
QString StartOnTerminal(QProcess& program, const QStringList& arguments) {
    program.start(QStringLiteral(CANTORA_CHIP_PROGRAM), arguments);
    if (!program.waitForStarted(5000)) {
        return {};
    }
    QElapsedTimer clock;
    clock.start();
    while (!program.canReadLine() && clock.elapsed() < 5000 &&
           program.state() == QProcess::Running) {
        program.waitForReadyRead(100);
    }
    return QString::fromLocal8Bit(program.readLine()).trimmed();
}

// A recording no refused run may write: a name of this test run's own, so a file left by an
// older program cannot stand in the way.
QString NeverWrittenWav() {
    return QDir::temp().filePath(
        QStringLiteral("cantora-chip-never-written-%1.wav").arg(QCoreApplication::applicationPid()));
}

}  // namespace

void ChipToolTest::refusesBadOptions_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("says");
    const QString wav = NeverWrittenWav();
    QFile::remove(wav);
    QTest::newRow("codes not numbers")
        << QStringList{"--codes", "hello,300,-1,12x", "--wav", wav} << "\"hello\"";
    QTest::newRow("code over 255") << QStringList{"--codes", "20,300", "--wav", wav} << "\"300\"";
    QTest::newRow("negative code") << QStringList{"--codes", "20,-1", "--wav", wav} << "\"-1\"";
    QTest::newRow("code with letters") << QStringList{"--codes", "12x", "--wav", wav} << "\"12x\"";
    QTest::newRow("empty code") << QStringList{"--codes", "20,,96", "--wav", wav} << "\"\"";
    QTest::newRow("codes without wav") << QStringList{"--codes", "20,96"} << "--wav";
    QTest::newRow("idle in words") << QStringList{"--idle-exit", "soon"} << "\"soon\"";
    QTest::newRow("negative idle") << QStringList{"--idle-exit", "-5"} << "\"-5\"";
    QTest::newRow("idle with codes")
        << QStringList{"--codes", "20", "--wav", wav, "--idle-exit", "5"} << "--idle-exit";
    QTest::newRow("unknown option") << QStringList{"--loud"} << "loud";
    QTest::newRow("stray argument") << QStringList{"extra"} << "\"extra\"";
    QTest::newRow("wav without name") << QStringList{"--wav", ""} << "--wav";
}

void ChipToolTest::refusesBadOptions() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, says);
    const Run run = RunChipProgram(arguments);
    QCOMPARE(run.status, 2);
    QVERIFY2(run.errors.startsWith("cantora-chip: ") && run.errors.contains(says),
             qPrintable(run.errors));
    QVERIFY(!QFile::exists(NeverWrittenWav()));

    // The good neighbours of the same options are taken.
    test::TempProgramFolder folder;
    const Run good = RunChipProgram({"--codes", " 20, 96 ,241", "--wav", folder.file("t.wav")});
    QCOMPARE(good.status, 0);
    QVERIFY(QFile(folder.file("t.wav")).size() > 44 + 2 * chip::kSampleRate / 10);
    const Run version = RunChipProgram({"--version"});
    QCOMPARE(version.status, 0);
}

void ChipToolTest::unwritableRecordingRefusedBeforeTheTerminal() {
    test::TempProgramFolder folder;
    QProcess program;
    const QString device =
        StartOnTerminal(program, {"--wav", folder.file("no-such-folder/heard.wav")});
    QVERIFY2(device.isEmpty(), qPrintable(device));
    QVERIFY(program.state() == QProcess::NotRunning || program.waitForFinished(5000));
    QCOMPARE(program.exitCode(), 1);
    QVERIFY(QString::fromLocal8Bit(program.readAllStandardError()).contains("heard.wav"));
}

void ChipToolTest::hangUpWritesTheRecording() {
    test::TempProgramFolder folder;
    const QString wav = folder.file("heard.wav");
    QProcess program;
    const QString device = StartOnTerminal(program, {"--wav", wav});
    QVERIFY2(device.startsWith("/dev/"), qPrintable(device));
    const int fd = ::open(device.toLocal8Bit().constData(), O_WRONLY | O_NOCTTY);
    QVERIFY(fd >= 0);
    const QByteArray tone = Bytes({20, 96, 241});
    QCOMPARE(::write(fd, tone.constData(), static_cast<size_t>(tone.size())), tone.size());
    ::close(fd);
    QTest::qWait(500);
    ::kill(static_cast<pid_t>(program.processId()), SIGHUP);
    QVERIFY(program.waitForFinished(5000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    QVERIFY(QFile(wav).size() > 44 + 2 * chip::kSampleRate / 10);
}

void ChipToolTest::idleJudgedFromTheLastByte() {
    // Playing with no sound output (a sound server named but not running).
    test::TempProgramFolder folder;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("PULSE_SERVER", "unix:" + folder.file("no-server"));
    QProcess program;
    program.setProcessEnvironment(environment);
    const QString device = StartOnTerminal(program, {"--idle-exit", "300"});
    QVERIFY2(device.startsWith("/dev/"), qPrintable(device));
    // No byte yet: nothing to be idle after.
    QVERIFY(!program.waitForFinished(1000));
    const int fd = ::open(device.toLocal8Bit().constData(), O_WRONLY | O_NOCTTY);
    QVERIFY(fd >= 0);
    const QByteArray phrase = Bytes({20, 96, 128, 129, 130, 131, 132, 133});
    QCOMPARE(::write(fd, phrase.constData(), static_cast<size_t>(phrase.size())), phrase.size());
    QElapsedTimer clock;
    clock.start();
    // Nobody hears the sound, so the idle time runs from the last byte.
    QVERIFY(program.waitForFinished(5000));
    QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(program.exitCode(), 0);
    ::close(fd);
    QVERIFY(QString::fromLocal8Bit(program.readAllStandardError()).contains("no sound output"));
}

void ChipToolTest::saysWhenARenderWasCut() {
    test::TempProgramFolder folder;
    // 900 pauses of 700 ms: 630 s, more than a render makes.
    QStringList codes;
    for (int i = 0; i < 900; ++i) {
        codes.append("3");
    }
    const Run cut = RunChipProgram({"--codes", codes.join(','), "--wav", folder.file("long.wav")});
    QCOMPARE(cut.status, 0);
    QVERIFY2(cut.errors.contains("cut at ten minutes"), qPrintable(cut.errors));
    QCOMPARE(QFile(folder.file("long.wav")).size(), 44 + 2LL * chip::kSampleRate * 600);
    const Run whole = RunChipProgram({"--codes", "3,3", "--wav", folder.file("short.wav")});
    QCOMPARE(whole.status, 0);
    QVERIFY2(whole.errors.isEmpty(), qPrintable(whole.errors));
}

QTEST_MAIN(ChipToolTest)
#include "chip_tool_test.moc"
