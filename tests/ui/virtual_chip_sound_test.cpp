// The virtual chip's sound under a running main window: it follows the sound server (none at
// first, then one, then that one restarted) and says when there is none; it falls silent as
// soon as the user switches away from it or asks the chip to shut up somewhere else.

#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "core/chip/speakers.h"
#include "core/codes/scp_commands.h"
#include "support/sound_server.h"
#include "support/test_support.h"
#include "ui/common/widgets.h"
#include "ui/main/frm_utility.h"
#include "ui/phrase/frm_phrase.h"

using namespace cantora;
using test::Bytes;

namespace {

const QColor kWhite(255, 255, 255);
const QColor kGreen(0, 255, 0);
const QColor kRed(255, 0, 0);

// About `count` allophones at the reset voice: many seconds of speech.
QByteArray LongPhrase(int count) {
    QByteArray bytes = Bytes({20, 96, 21, 114, 22, 88, 23, 5});
    for (int i = 0; i < count; ++i) {
        bytes.append(static_cast<char>(128 + (i * 7) % 72));
    }
    return bytes;
}

// Milliseconds on the capture's clock at which its last non-zero sample was played.
double LastSoundMs(const chip::PcmCapture& capture) {
    const std::vector<int16_t>& pcm = capture.samples();
    size_t end = pcm.size();
    while (end > 0 && pcm[end - 1] == 0) {
        --end;
    }
    return end * 1000.0 / chip::kSampleRate;
}

// Sends a short phrase and records what the sound server played meanwhile.
double HeardPhrase(FrmUtility& main, test::SoundServer& server, QColor* box) {
    if (!server.startRecording()) {
        return -1;
    }
    QTest::qWait(500);
    main.SendToQuillon(LongPhrase(30), true);
    *box = main.linkColour();
    QTest::qWait(2000);
    return test::SoundRms(server.stopRecording());
}

}  // namespace

class VirtualChipSoundTest : public QObject {
    Q_OBJECT
  private slots:
    void followsTheSoundServer();
    void untickingSilencesAtOnce();
    void shutUpSentElsewhereSilencesIt();
    void saveWavAsksAboutTheRealName();
};

void VirtualChipSoundTest::followsTheSoundServer() {
    test::TempProgramFolder folder;
    test::SoundServer server;  // named, not yet running
    FrmUtility main;
    main.show();
    main.chkVirtual->setChecked(true);

    // No sound output: the box is red and says so, as for a port that cannot be opened.
    test::ScriptedAnswers noQuestions(QMessageBox::Ok, 0);
    main.SendToQuillon(Bytes({20, 96, 241}), true);
    QCOMPARE(main.linkColour(), kRed);
    QVERIFY2(main.txtComPort->toolTip().startsWith("No sound output: "),
             qPrintable(main.txtComPort->toolTip()));

    // A server appears: the next send is heard, without a restart.
    if (!server.start()) {
        QSKIP("no PulseAudio server can start here");
    }
    QColor box;
    const double first = HeardPhrase(main, server, &box);
    QCOMPARE(box, kGreen);
    QVERIFY2(first > 500, qPrintable(QString::number(first)));

    // The server restarts under the running program: heard again.
    server.stop();
    QTest::qWait(300);
    QVERIFY(server.start());
    QTest::qWait(chip::kReconnectMs + 500);
    const double again = HeardPhrase(main, server, &box);
    QCOMPARE(box, kGreen);
    QVERIFY2(again > 500, qPrintable(QString::number(again)));
}

void VirtualChipSoundTest::untickingSilencesAtOnce() {
    test::TempProgramFolder folder;
    auto record = std::make_shared<test::PortRecord>();
    auto* capture = new chip::PcmCapture(5);
    FrmUtility main(std::make_unique<test::RecordingPort>(record), nullptr,
                    std::unique_ptr<chip::PcmOutput>(capture));
    main.show();
    main.chkVirtual->setChecked(true);
    double untickMs = -1;
    QTimer::singleShot(700, &main, [&] {
        untickMs = static_cast<double>(capture->clock().elapsed());
        main.chkVirtual->setChecked(false);
    });
    main.SendToQuillon(LongPhrase(3000), true);
    QVERIFY(untickMs > 0);
    QTest::qWait(1500);
    const double lastMs = LastSoundMs(*capture);
    QVERIFY2(lastMs < untickMs + 150,
             qPrintable(QStringLiteral("%1 ms after unticking").arg(lastMs - untickMs)));
    QVERIFY(record->written.isEmpty());

    // Ticked again, the chip speaks as before.
    main.chkVirtual->setChecked(true);
    const double againMs = static_cast<double>(capture->clock().elapsed());
    main.SendToQuillon(Bytes({20, 96, 241}), true);
    QTRY_VERIFY_WITH_TIMEOUT(LastSoundMs(*capture) > againMs, 2000);
}

void VirtualChipSoundTest::shutUpSentElsewhereSilencesIt() {
    // The port's number names the virtual chip; while it talks the user picks a serial port's
    // number and clicks "Shut Up", which now goes down the serial line.
    test::TempProgramFolder folder;
    test::MapPort(folder, 1, chip::kVirtualDeviceName);
    auto record = std::make_shared<test::PortRecord>();
    auto* capture = new chip::PcmCapture(5);
    FrmUtility main(std::make_unique<test::RecordingPort>(record), nullptr,
                    std::unique_ptr<chip::PcmOutput>(capture));
    main.sender().setInterByteDelayMs(0);
    main.show();
    main.txtComPort->setText("1");
    main.SendToQuillon(LongPhrase(200), true);
    QTRY_VERIFY_WITH_TIMEOUT(capture->firstSoundMs() >= 0, 3000);
    QTest::qWait(300);
    main.sender().CloseSerialPort();
    main.txtComPort->setText("2");
    FrmPhrase window(main, &main);
    window.show();
    QTest::mouseClick(window.btnShutUp, Qt::LeftButton);
    const double shutUpMs = static_cast<double>(capture->clock().elapsed());
    QCOMPARE(record->written, ShutUpCommandText());
    QTest::qWait(1000);
    const double lastMs = LastSoundMs(*capture);
    QVERIFY2(lastMs < shutUpMs + 150,
             qPrintable(QStringLiteral("%1 ms after Shut Up").arg(lastMs - shutUpMs)));
}

namespace {

// Answers the real save dialog: types `name` in `folder` and accepts; answers a question about
// replacing a file with `replace`, and cancels the dialog if it is still open after a "No".
// Returns the questions' texts.
QStringList AnswerSaveDialog(const QString& folder, const QString& name, bool replace,
                             const std::function<void()>& click) {
    QStringList questions;
    int stage = 0;
    int ticksOpen = 0;
    QTimer driver;
    QObject::connect(&driver, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
            // The dialog selects its first file again once its folder has loaded; type the
            // name only after that, as a person would, or the selection overwrites it.
            if (stage == 0 && ++ticksOpen >= 10) {
                dialog->setDirectory(folder);
                dialog->selectFile(name);  // as typed into its name box
                stage = 1;
                QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
            } else if (stage == 2) {
                dialog->reject();
                stage = 3;
            }
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            questions.append(box->text());
            box->button(replace ? QMessageBox::Yes : QMessageBox::No)->click();
            stage = 2;
        }
    });
    driver.start(50);
    click();
    driver.stop();
    return questions;
}

}  // namespace

void VirtualChipSoundTest::saveWavAsksAboutTheRealName() {
    test::TempProgramFolder folder;
    folder.write("Verbalyn.Dic", "[words]\r\nhello=\\HE \\EH \\LO \\OW\r\n");
    folder.write("phrase.wav", "mine");
    auto record = std::make_shared<test::PortRecord>();
    FrmUtility main(std::make_unique<test::RecordingPort>(record));
    main.show();
    FrmPhrase window(main, &main);
    window.show();
    window.txtSayData->setPlainText("hello");
    const auto click = [&] { QTest::mouseClick(window.cmdSaveWav, Qt::LeftButton); };

    // "phrase" typed: the question is about phrase.wav, and "No" keeps it.
    QStringList questions = AnswerSaveDialog(folder.path(), "phrase", false, click);
    QCOMPARE(questions.size(), 1);
    QVERIFY2(questions[0].contains("phrase.wav"), qPrintable(questions[0]));
    QCOMPARE(folder.read("phrase.wav"), QByteArray("mine"));
    QVERIFY(window.lblUnknownWords->text().isEmpty());

    // "Yes" replaces it, and the line under the phrase says what was written.
    questions = AnswerSaveDialog(folder.path(), "phrase", true, click);
    QCOMPARE(questions.size(), 1);
    QCOMPARE(folder.read("phrase.wav").left(4), QByteArray("RIFF"));
    const QString said = window.lblUnknownWords->toolTip();
    QVERIFY2(said.startsWith("Saved ") && said.contains("phrase.wav") && !said.contains("cut"),
             qPrintable(said));
    QVERIFY(record->written.isEmpty());

    // A render over ten minutes says it was cut. (Only the message counts here: the dialog,
    // which starts on the last file written, is not asked about it again.)
    QFile::remove(folder.file("phrase.wav"));
    window.txtSayData->setPlainText(QString("\\P3 ").repeated(900));
    questions = AnswerSaveDialog(folder.path(), "long", false, click);
    QVERIFY2(questions.isEmpty(), qPrintable(questions.join(" / ")));
    QVERIFY2(window.lblUnknownWords->toolTip().contains("cut at ten minutes"),
             qPrintable(window.lblUnknownWords->toolTip()));
}

QTEST_MAIN(VirtualChipSoundTest)
#include "virtual_chip_sound_test.moc"
