// The code sender: the long-phrase question, flow control, nested sends, failing ports,
// settings, and a real QSerialPort on a pseudo-terminal.

#include <QSignalSpy>
#include <QTest>

#include "core/files/profile.h"
#include "core/serial/serial_link.h"
#include "support/test_support.h"

using namespace cantora;

namespace {

// What one user event does when it arrives after byte `atByte` of a send.
struct MidSendAction {
    int atByte;
    std::function<void(CodeSender&)> run;
};

void Send(CodeSender& sender, std::initializer_list<const char*> texts) {
    for (const char* text : texts) {
        sender.SendToQuillon(text, false);
    }
}

}  // namespace

Q_DECLARE_METATYPE(QList<cantora::LinkState>)
Q_DECLARE_METATYPE(QList<MidSendAction>)

namespace {

// The main window's part of the sending, recorded.
class FakeHost : public SenderHost {
  public:
    QString port = "1";
    int flow = 1;
    bool answerYes = true;
    int questions = 0;
    QString lastQuestion;
    QList<LinkState> states;
    bool timerRunning = false;
    int timerArms = 0;

    QString portText() const override { return port; }
    int flowControlValue() const override { return flow; }
    void setLinkState(LinkState state) override { states.append(state); }
    bool confirmLongPhrase(const QString& text) override {
        ++questions;
        lastQuestion = text;
        return answerYes;
    }
    void stopIdleTimer() override { timerRunning = false; }
    void armIdleTimer(int ms) override {
        QCOMPARE(ms, 1000);
        timerRunning = true;
        ++timerArms;
    }
};

struct Rig {
    test::TempProgramFolder folder;
    FakeHost host;
    std::shared_ptr<test::PortRecord> record = std::make_shared<test::PortRecord>();
    CodeSender sender{host, std::make_unique<test::RecordingPort>(record)};
    Rig() { sender.setInterByteDelayMs(0); }
};

}  // namespace

class SerialLinkTest : public QObject {
    Q_OBJECT
  private slots:
    void emptyTextOpensAndArms();
    void longPhraseBoundary();
    void decliningTheQuestion();
    void flowControlCases();
    void portOpenedByCommandKeepsNoHandshaking();
    void nestedSendDropsTheRest();
    void actionsDuringASend_data();
    void actionsDuringASend();
    void failingPortTurnsRedAndRetries();
    void portNumbersAndDevices();
    void settingsText();
    void realPortOnPseudoTerminal();
    void vanishingPseudoTerminal();
};

void SerialLinkTest::emptyTextOpensAndArms() {
    Rig rig;
    rig.sender.SendToQuillon(QByteArray(), true);
    QCOMPARE(rig.record->openings.size(), 1);
    QCOMPARE(rig.record->discards, 1);
    QVERIFY(rig.record->written.isEmpty());
    QVERIFY(rig.host.timerRunning);
    QCOMPARE(rig.host.states, QList<LinkState>{LinkState::Open});
}

void SerialLinkTest::longPhraseBoundary() {
    Rig rig;
    rig.host.flow = 0;
    rig.sender.SendToQuillon(QByteArray(63, 'a'), true);
    QCOMPARE(rig.host.questions, 0);
    QCOMPARE(rig.record->written.size(), 63);
    rig.sender.SendToQuillon(QByteArray(64, 'b'), true);
    QCOMPARE(rig.host.questions, 1);
    QCOMPARE(rig.record->written.size(), 63 + 64);
    QCOMPARE(rig.host.lastQuestion,
             QString("Flow Control is currently disabled. -AND-\r\n"
                     "The phrase that you are about to play is longer than 64 codes.\r\n\r\n"
                     "This will result in some of the codes after the 64th one to not being "
                     "played.\r\n\r\nDo you still want to send it to the Quillon."));
    // Commands never ask.
    rig.sender.SendToQuillon(QByteArray(500, 'c'), false);
    QCOMPARE(rig.host.questions, 1);
}

void SerialLinkTest::decliningTheQuestion() {
    Rig rig;
    rig.host.flow = 0;
    rig.host.answerYes = false;
    rig.host.timerRunning = true;
    rig.sender.SendToQuillon(QByteArray(64, 'x'), true);
    QCOMPARE(rig.host.questions, 1);
    QVERIFY(rig.record->openings.isEmpty());
    QVERIFY(rig.record->written.isEmpty());
    QVERIFY(!rig.host.timerRunning);  // stays stopped
    QVERIFY(rig.host.states.isEmpty());
}

void SerialLinkTest::flowControlCases() {
    {
        Rig rig;
        rig.host.flow = 1;
        rig.sender.SendToQuillon(QByteArray(200, 'x'), true);
        QCOMPARE(rig.host.questions, 0);
        QVERIFY(rig.record->openings.at(0).hardwareFlowControl);
    }
    {
        Rig rig;
        rig.host.flow = 2;  // only possible through the settings file
        rig.sender.SendToQuillon(QByteArray(200, 'x'), true);
        QCOMPARE(rig.host.questions, 0);
        QVERIFY(!rig.record->openings.at(0).hardwareFlowControl);
    }
    {
        Rig rig;
        rig.host.flow = 0;
        rig.sender.SendToQuillon("abc", true);
        QVERIFY(!rig.record->openings.at(0).hardwareFlowControl);
    }
}

void SerialLinkTest::portOpenedByCommandKeepsNoHandshaking() {
    Rig rig;
    rig.sender.SendToQuillon("\\0RX", false);
    rig.sender.SendToQuillon("\x80", true);
    QCOMPARE(rig.record->openings.size(), 1);
    QVERIFY(!rig.record->openings.at(0).hardwareFlowControl);
    QCOMPARE(rig.record->written, QByteArray("\\0RX\x80"));
    QCOMPARE(rig.record->discards, 2);  // input dropped before each send
}

void SerialLinkTest::nestedSendDropsTheRest() {
    Rig rig;
    int count = 0;
    rig.record->onByte = [&](char) {
        if (++count == 3) {
            // What a "Shut Up" click does in the middle of a send.
            rig.sender.SendBuffer.clear();
            rig.sender.SendToQuillon("\\0RX", false);
        }
    };
    rig.sender.SendToQuillon("ABCDEFGHIJ", true);
    QCOMPARE(rig.record->written, QByteArray("ABC\\0RX"));
    QVERIFY(rig.sender.SendBuffer.isEmpty());
    QVERIFY(rig.host.timerRunning);
}

void SerialLinkTest::actionsDuringASend_data() {
    QTest::addColumn<QList<MidSendAction>>("actions");
    QTest::addColumn<QByteArray>("wire");
    QTest::addColumn<QList<LinkState>>("states");
    const QList<LinkState> open{LinkState::Open};
    // A handler that sends several strings in a row (a reset, a preset) gets them all out.
    QTest::newRow("one action, three strings")
        << QList<MidSendAction>{{3,
                                 [](CodeSender& s) {
                                     Send(s, {"xy", "zw", "uv"});
                                 }}}
        << QByteArray("ABCxyzwuv") << open;
    // A later action cuts the string going out; what the first action queued still follows.
    QTest::newRow("second action cuts in") << QList<MidSendAction>{{3,
                                                                    [](CodeSender& s) {
                                                                        Send(s, {"xyz", "uv"});
                                                                    }},
                                                                   {4,
                                                                    [](CodeSender& s) {
                                                                        Send(s, {"Q", "R"});
                                                                    }}}
                                           << QByteArray("ABCxQRuv") << open;
    // "Shut Up": emptying the buffer drops the queued strings too.
    QTest::newRow("shut up drops the queue") << QList<MidSendAction>{{3,
                                                                      [](CodeSender& s) {
                                                                          Send(s, {"1111", "2222"});
                                                                      }},
                                                                     {5,
                                                                      [](CodeSender& s) {
                                                                          s.SendBuffer.clear();
                                                                          Send(s, {"R"});
                                                                      }}}
                                             << QByteArray("ABC11R") << open;
    // The port box loses the focus mid-send: the send ends, the box is white, not red.
    QTest::newRow("port closed mid-send")
        << QList<MidSendAction>{{3, [](CodeSender& s) { s.CloseSerialPort(); }}}
        << QByteArray("ABC") << QList<LinkState>{LinkState::Open, LinkState::Closed};
    // Closed and at once asked to send again in the same action: the port reopens.
    QTest::newRow("closed then reopened")
        << QList<MidSendAction>{{3,
                                 [](CodeSender& s) {
                                     s.CloseSerialPort();
                                     Send(s, {"xy"});
                                 }}}
        << QByteArray("ABCxy")
        << QList<LinkState>{LinkState::Open, LinkState::Closed, LinkState::Open};
}

void SerialLinkTest::actionsDuringASend() {
    QFETCH(QList<MidSendAction>, actions);
    QFETCH(QByteArray, wire);
    QFETCH(QList<LinkState>, states);
    Rig rig;
    rig.record->onByte = [&](char) {
        for (const MidSendAction& action : actions) {
            if (action.atByte == rig.record->written.size()) {
                // Runs as an event, in the send's event processing after this byte.
                QMetaObject::invokeMethod(
                    &rig.sender, [&rig, action] { action.run(rig.sender); }, Qt::QueuedConnection);
            }
        }
    };
    QSignalSpy finished(&rig.sender, &CodeSender::finished);
    rig.sender.SendToQuillon("ABCDEFGHIJ", true);
    QCOMPARE(rig.record->written, wire);
    QCOMPARE(finished.count(), 1);  // one loop wrote everything
    // Every send shows the box green; what matters is the order of the colours.
    QList<LinkState> shown;
    for (LinkState state : rig.host.states) {
        if (shown.isEmpty() || shown.last() != state) {
            shown.append(state);
        }
    }
    QCOMPARE(shown, states);
    QVERIFY(rig.sender.SendBuffer.isEmpty());
    QVERIFY(!rig.sender.sending());
    QVERIFY(rig.sender.maxNestingDepth() <= 2);
    // Only the send that wrote the bytes arms the idle timer, once everything is out.
    QVERIFY(rig.host.timerRunning);
    QCOMPARE(rig.host.timerArms, 1);
    // A later send opens the port again if it was closed, and goes out whole.
    rig.record->onByte = nullptr;
    rig.sender.SendToQuillon("k", false);
    QCOMPARE(rig.record->written, wire + "k");
    QCOMPARE(rig.host.states.last(), LinkState::Open);
}

void SerialLinkTest::failingPortTurnsRedAndRetries() {
    Rig rig;
    rig.record->failOpen = true;
    rig.sender.SendToQuillon("abc", false);
    QCOMPARE(rig.host.states, QList<LinkState>{LinkState::Failed});
    QVERIFY(rig.record->written.isEmpty());
    QVERIFY(rig.host.timerRunning);  // armed all the same
    rig.record->failOpen = false;
    rig.sender.SendToQuillon("abc", false);
    QCOMPARE(rig.record->written, QByteArray("abc"));
    QCOMPARE(rig.host.states.last(), LinkState::Open);
    // A write that fails in the middle: the rest is dropped, the box turns red, no hang.
    rig.record->failAfterBytes = 5;
    rig.sender.SendToQuillon("defgh", false);
    QCOMPARE(rig.record->written, QByteArray("abcde"));
    QCOMPARE(rig.host.states.last(), LinkState::Failed);
    QVERIFY(!rig.sender.PortOpen());
    rig.record->failAfterBytes = -1;
    rig.sender.SendToQuillon("z", false);
    QCOMPARE(rig.record->written, QByteArray("abcdez"));
    // Port box text that names no port.
    rig.sender.CloseSerialPort();
    for (const QString text : {"abc", "0", "", "-3", "99999999999"}) {
        rig.host.port = text;
        rig.host.states.clear();
        rig.sender.SendToQuillon("q", false);
        QCOMPARE(rig.host.states, QList<LinkState>{LinkState::Failed});
    }
    QCOMPARE(rig.record->written, QByteArray("abcdez"));
}

void SerialLinkTest::portNumbersAndDevices() {
    test::TempProgramFolder folder;
    QCOMPARE(PortNumberFromText("3"), 3);
    QCOMPARE(PortNumberFromText(" 2.5"), 2);
    QCOMPARE(PortNumberFromText("abc"), 0);
    QCOMPARE(DeviceForPortNumber(1), QString("/dev/ttyS0"));
    QCOMPARE(DeviceForPortNumber(4), QString("/dev/ttyS3"));
    QCOMPARE(DeviceForPortNumber(0), QString());
    QCOMPARE(DeviceForPortNumber(-1), QString());
    PutIniValue("Ports", "3", "/dev/ttyUSB0");
    PutIniValue("Ports", "0", "/dev/ttyACM0");
    QCOMPARE(DeviceForPortNumber(3), QString("/dev/ttyUSB0"));
    QCOMPARE(DeviceForPortNumber(0), QString("/dev/ttyACM0"));
}

void SerialLinkTest::settingsText() {
    PortSettings s;
    QVERIFY(ParsePortSettings("9600,n,8,1", &s));
    QCOMPARE(s.baudRate, 9600);
    QVERIFY(ParsePortSettings("19200,E,7,2", &s));
    QCOMPARE(s.parity, Parity::Even);
    QCOMPARE(s.dataBits, 7);
    QCOMPARE(s.stopBits, 2);
    QVERIFY(!ParsePortSettings("fast,n,8,1", &s));
    QVERIFY(!ParsePortSettings("9600,n,8", &s));
    QVERIFY(!ParsePortSettings("9600,x,8,1", &s));
    QVERIFY(!ParsePortSettings("-5,n,8,1", &s));
    // A bad rate in the settings file fails the opening.
    Rig rig;
    PutIniValue("Serial", "BaudRate", "lots");
    rig.sender.SendToQuillon("a", false);
    QCOMPARE(rig.host.states, QList<LinkState>{LinkState::Failed});
    PutIniValue("Serial", "BaudRate", "2400");
    rig.sender.SendToQuillon("a", false);
    QCOMPARE(rig.record->openings.last().baudRate, 2400);
}

void SerialLinkTest::realPortOnPseudoTerminal() {
    test::TempProgramFolder folder;
    test::PtyPair pty;
    QVERIFY(pty.ok());
    PutIniValue("Ports", "7", pty.slavePath());
    FakeHost host;
    host.port = "7";
    CodeSender sender(host);
    QByteArray all;
    for (int b = 0; b < 256; ++b) {
        all.append(static_cast<char>(b));
    }
    sender.SendToQuillon(all, false);
    QCOMPARE(host.states, QList<LinkState>{LinkState::Open});
    QCOMPARE(pty.read(256, 3000), all);
    sender.CloseSerialPort();
    QCOMPARE(host.states.last(), LinkState::Closed);
}

void SerialLinkTest::vanishingPseudoTerminal() {
    test::TempProgramFolder folder;
    FakeHost host;
    host.port = "8";
    CodeSender sender(host);
    {
        test::PtyPair pty;
        PutIniValue("Ports", "8", pty.slavePath());
        sender.SendToQuillon("ab", false);
        QCOMPARE(pty.read(2, 2000), QByteArray("ab"));
    }
    // The far side is gone: sending neither hangs nor crashes, and a fresh opening fails red.
    sender.SendToQuillon(QByteArray(100, 'x'), false);
    sender.CloseSerialPort();
    host.states.clear();
    sender.SendToQuillon("c", false);
    QCOMPARE(host.states, QList<LinkState>{LinkState::Failed});
}

QTEST_GUILESS_MAIN(SerialLinkTest)
#include "serial_link_test.moc"
