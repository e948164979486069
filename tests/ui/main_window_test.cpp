// The main window: settings at load and unload, the port test through a real pseudo-terminal,
// the link indicator, the idle timer and the About box.

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include "core/codes/code_table.h"
#include "core/files/profile.h"
#include "core/files/version.h"
#include "support/test_support.h"
#include "ui/common/twips.h"
#include "ui/main/frm_utility.h"

using namespace cantora;

namespace {

const QColor kWhite(255, 255, 255);
const QColor kGreen(0, 255, 0);
const QColor kRed(255, 0, 0);

// Moves the focus out of the port box, as a user leaving it does.
void LeavePortBox(FrmUtility& main) {
    main.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    main.txtComPort->setFocus();
    QVERIFY(main.txtComPort->hasFocus());
    QApplication::processEvents();
    main.Picture1->setFocus();
    QApplication::processEvents();
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void firstStartAndExit();
    void settingsReadAtLoad();
    void controlsAndNames();
    void testButtonThroughPseudoTerminal();
    void portThatCannotOpenTurnsRed();
    void twoSendsKeepThePortOpen();
    void exitClosesThePortBeforeSaving();
    void closingDuringASend();
    void portBoxIsLeftOnlyForAnotherControl();
    void aboutBox();
};

void MainWindowTest::firstStartAndExit() {
    test::TempProgramFolder folder;
    {
        FrmUtility main;
        QCOMPARE(main.txtComPort->text(), QString("1"));
        QCOMPARE(main.chkFlow->checkState(), Qt::Checked);
        QCOMPARE(main.flowControlValue(), 1);
        QCOMPARE(main.linkColour(), kWhite);
        main.show();
        QVERIFY(main.close());
    }
    QCOMPARE(folder.read("Verbalyn.ini"), QByteArray("[Serial]\r\nPort=1\r\nFlowControl=1\r\n"));
}

void MainWindowTest::settingsReadAtLoad() {
    test::TempProgramFolder folder;
    folder.write("Verbalyn.ini", "[serial]\r\nport=4\r\nflowcontrol=0\r\nBaudRate=19200\r\n");
    {
        FrmUtility main;
        QCOMPARE(main.txtComPort->text(), QString("4"));
        QCOMPARE(main.flowControlValue(), 0);
        main.txtComPort->setText("6");
        main.close();
    }
    // Only the two lines change; the rate stays as the user wrote it.
    QCOMPARE(folder.read("Verbalyn.ini"),
             QByteArray("[serial]\r\nport=6\r\nflowcontrol=0\r\nBaudRate=19200\r\n"));
    for (const auto& [text, expected] :
         std::initializer_list<std::pair<const char*, int>>{{"2", 2}, {"x", 1}, {"7", 1}}) {
        folder.write("Verbalyn.ini", QByteArray("[Serial]\r\nFlowControl=") + text + "\r\n");
        FrmUtility main;
        QCOMPARE(main.flowControlValue(), expected);
    }
}

void MainWindowTest::controlsAndNames() {
    test::TempProgramFolder folder;
    FrmUtility main;
    main.show();
    QCOMPARE(main.windowTitle(), QString("Cantora Utility"));
    QCOMPARE(main.findChild<QPushButton*>("EditPhrases")->text(), QString("Phrase Editor"));
    QCOMPARE(main.findChild<QPushButton*>("btnDictEdit")->text(), QString("Dictionary Editor"));
    QCOMPARE(main.findChild<QPushButton*>("Synth")->text(), QString("Synth Control"));
    QCOMPARE(main.findChild<QPushButton*>("cmdTestSerialPort")->text(), QString("Test"));
    QCOMPARE(main.findChild<QPushButton*>("About")->text(), QString("?"));
    QCOMPARE(main.findChild<QLabel*>("Label1")->text(), QString("Serial Port:"));
    QCOMPARE(main.findChild<QGroupBox*>("Frame13")->title(), QString("Comm Settings"));
    QVERIFY(main.findChild<QTimer*>("Timer1") != nullptr);
    QVERIFY(!main.chkFlow->isVisible());
    QCOMPARE(main.EditPhrases->palette().color(QPalette::Button), FromBgr(0xFFC0C0));
    // The focus starts on the first button; after Test it rests on the picture box.
    QTRY_VERIFY(main.EditPhrases->hasFocus());
    QTest::mouseClick(main.cmdTestSerialPort, Qt::LeftButton);
    QTRY_VERIFY(main.Picture1->hasFocus());
    main.sender().SendBuffer.clear();
    // The code table is ready once the window has loaded.
    QCOMPARE(GetCodeNumber("\\RESET"), 31);
    // The port box's tool tip names the device.
    QVERIFY(main.txtComPort->toolTip().contains("/dev/ttyS0"));
    main.txtComPort->setText("0");
    QVERIFY(main.txtComPort->toolTip().contains("No serial port"));
}

void MainWindowTest::testButtonThroughPseudoTerminal() {
    test::TempProgramFolder folder;
    test::PtyPair pty;
    QVERIFY(pty.ok());
    PutIniValue("Ports", "3", pty.slavePath());
    FrmUtility main;
    main.show();
    main.txtComPort->setText("3");
    QTest::mouseClick(main.cmdTestSerialPort, Qt::LeftButton);
    QCOMPARE(main.linkColour(), kGreen);
    QVERIFY(main.Timer1->isActive());
    QCOMPARE(pty.read(5, 2000), QByteArray("\x1F\x5C\x30\x56\x58", 5));
    QElapsedTimer clock;
    clock.start();
    QTRY_COMPARE_WITH_TIMEOUT(main.linkColour(), kWhite, 3000);
    QVERIFY2(clock.elapsed() > 700, "the port closed too early");
    QVERIFY(!main.Timer1->isActive());
    QVERIFY(!main.sender().PortOpen());
}

void MainWindowTest::portThatCannotOpenTurnsRed() {
    test::TempProgramFolder folder;
    PutIniValue("Ports", "9", "/dev/no-such-port");
    FrmUtility main;
    main.show();
    for (const QString text : {"9", "0", "abc"}) {
        main.txtComPort->setText(text);
        QTest::mouseClick(main.cmdTestSerialPort, Qt::LeftButton);
        QCOMPARE(main.linkColour(), kRed);
        QVERIFY(main.Timer1->isActive());
        LeavePortBox(main);
        QCOMPARE(main.linkColour(), kWhite);
    }
}

void MainWindowTest::twoSendsKeepThePortOpen() {
    test::TempProgramFolder folder;
    auto record = std::make_shared<test::PortRecord>();
    FrmUtility main(std::make_unique<test::RecordingPort>(record));
    main.show();
    main.SendToQuillon("a", false);
    QTest::qWait(500);
    QVERIFY(main.sender().PortOpen());
    main.SendToQuillon("b", false);
    QElapsedTimer clock;
    clock.start();
    QTRY_VERIFY_WITH_TIMEOUT(!main.sender().PortOpen(), 3000);
    QVERIFY(clock.elapsed() > 800);
    QCOMPARE(record->openings.size(), 1);
    QCOMPARE(record->written, QByteArray("ab"));
    // Leaving the port box closes an open port at once.
    main.SendToQuillon("c", false);
    QVERIFY(main.sender().PortOpen());
    LeavePortBox(main);
    QVERIFY(!main.sender().PortOpen());
    QCOMPARE(main.linkColour(), kWhite);
}

void MainWindowTest::exitClosesThePortBeforeSaving() {
    test::TempProgramFolder folder;
    auto record = std::make_shared<test::PortRecord>();
    {
        FrmUtility main(std::make_unique<test::RecordingPort>(record));
        main.show();
        main.SendToQuillon("a", false);
        QVERIFY(main.sender().PortOpen());
        main.close();
        QCOMPARE(record->closes, 1);
        QVERIFY(!main.Timer1->isActive());
    }
    QVERIFY(folder.read("Verbalyn.ini").contains("Port=1"));
}

void MainWindowTest::closingDuringASend() {
    test::TempProgramFolder folder;
    auto record = std::make_shared<test::PortRecord>();
    FrmUtility main(std::make_unique<test::RecordingPort>(record));
    main.show();
    record->onByte = [&](char) {
        if (record->written.size() == 10) {
            main.close();
        }
    };
    main.SendToQuillon(QByteArray(300, 'x'), false);
    QCOMPARE(record->written.size(), 10);
    QVERIFY(!main.sender().PortOpen());
    QVERIFY(folder.read("Verbalyn.ini").contains("FlowControl=1"));
}

// The port box's context menu and a switch to another program leave the port open; moving the
// focus to another control closes it.
void MainWindowTest::portBoxIsLeftOnlyForAnotherControl() {
    test::TempProgramFolder folder;
    auto record = std::make_shared<test::PortRecord>();
    FrmUtility main(std::make_unique<test::RecordingPort>(record));
    main.show();
    main.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    QTest::mouseClick(main.txtComPort, Qt::LeftButton);
    QVERIFY(main.txtComPort->hasFocus());
    main.SendToQuillon("x", false);
    main.Timer1->stop();  // the idle timer stays out of this
    QCOMPARE(main.linkColour(), kGreen);

    // The menu runs its own event loop: it is looked at and closed from inside it.
    bool openWhileMenuShown = false;
    QTimer::singleShot(100, [&] {
        QWidget* popup = QApplication::activePopupWidget();
        openWhileMenuShown = popup != nullptr && main.sender().PortOpen();
        if (popup) {
            popup->close();
        }
    });
    test::QueueClick(main.txtComPort, {}, 5, Qt::RightButton);
    QTRY_VERIFY(openWhileMenuShown);
    QVERIFY(main.sender().PortOpen());
    QTRY_VERIFY(main.txtComPort->hasFocus());

    QWidget elsewhere;  // another program's window
    elsewhere.show();
    elsewhere.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&elsewhere));
    QVERIFY(main.sender().PortOpen());
    main.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    QVERIFY(main.txtComPort->hasFocus());
    QVERIFY(main.sender().PortOpen());
    QCOMPARE(main.linkColour(), kGreen);

    QTest::keyClick(main.txtComPort, Qt::Key_Tab);
    QVERIFY(!main.txtComPort->hasFocus());
    QVERIFY(!main.sender().PortOpen());
    QCOMPARE(main.linkColour(), kWhite);
}

void MainWindowTest::aboutBox() {
    test::TempProgramFolder folder;
    FrmUtility main;
    main.show();
    test::ScriptedAnswers responder(QMessageBox::Ok);
    QTest::mouseClick(main.About, Qt::LeftButton);
    QCOMPARE(responder.answered(), 1);
    QCOMPARE(responder.titles(), QStringList{"About"});
    QVERIFY(responder.texts().at(0).contains("Cantora Utility"));
    QVERIFY(responder.texts().at(0).contains("Version " CANTORA_VERSION "\n"));
}

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
