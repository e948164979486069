// Finding the port: the device list and its test seam, giving a number to a device, the plain
// reasons of failed openings, and where the files live.

#include <QDir>
#include <QFile>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QTest>

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/files/folders.h"
#include "core/files/profile.h"
#include "core/serial/devices.h"
#include "core/serial/serial_link.h"
#include "support/test_support.h"

using namespace cantora;

namespace {

class Host : public SenderHost {
  public:
    QString port;
    QList<LinkState> states;
    QString portText() const override { return port; }
    int flowControlValue() const override { return 0; }
    void setLinkState(LinkState state) override { states.append(state); }
    bool confirmLongPhrase(const QString&) override { return true; }
    void stopIdleTimer() override {}
    void armIdleTimer(int) override {}
};

QStringList Paths(const QList<SerialDevice>& devices) {
    QStringList paths;
    for (const SerialDevice& device : devices) {
        paths.append(device.path);
    }
    return paths;
}

// Sets an environment variable for the lifetime of the object.
class EnvVar {
  public:
    EnvVar(const char* name, const QByteArray& value) : name_(name), old_(qgetenv(name)) {
        had_ = qEnvironmentVariableIsSet(name);
        value.isNull() ? qunsetenv(name) : qputenv(name, value);
    }
    ~EnvVar() { had_ ? qputenv(name_, old_) : qunsetenv(name_); }

  private:
    const char* name_;
    QByteArray old_;
    bool had_ = false;
};

}  // namespace

class SerialDevicesTest : public QObject {
    Q_OBJECT
  private slots:
    void pseudoTerminalListedWhenNamed();
    void choosingADeviceWritesOnlyItsPortsLine();
    void realFailuresSayWhy();
    void folderChoice();
    void permissionAdviceFitsTheDevice();
};

void SerialDevicesTest::pseudoTerminalListedWhenNamed() {
    test::PtyPair pty;
    QVERIFY(pty.ok());
    QVERIFY(!Paths(AvailableSerialDevices()).contains(pty.slavePath()));

    SetExtraSerialDevices({{pty.slavePath(), "Test terminal"},
                           {pty.slavePath(), "Test terminal"},
                           {"/dev/no-such-tty", "Gone"}});
    const QList<SerialDevice> devices = AvailableSerialDevices();
    const QStringList paths = Paths(devices);
    QCOMPARE(paths.count(pty.slavePath()), 1);
    QVERIFY(!paths.contains("/dev/no-such-tty"));
    QStringList sorted = paths;
    sorted.sort();
    QCOMPARE(paths, sorted);
    const SerialDevice& listed = devices[paths.indexOf(pty.slavePath())];
    QCOMPARE(listed.label(), pty.slavePath() + QString::fromUtf8(" \u2014 Test terminal"));
    QCOMPARE((SerialDevice{"/dev/ttyS0", ""}).label(), QString("/dev/ttyS0"));

    SetExtraSerialDevices({});
    QVERIFY(!Paths(AvailableSerialDevices()).contains(pty.slavePath()));
}

void SerialDevicesTest::choosingADeviceWritesOnlyItsPortsLine() {
    test::TempProgramFolder folder;
    test::PtyPair pty;
    QVERIFY(pty.ok());
    const QByteArray before =
        "; kept as it "
        "is\r\n[Serial]\r\nPort=3\r\nFlowControl=0\r\n\r\n[ports]\r\n1=/dev/ttyUSB9\r\n"
        "3 = /dev/old\r\n\r\n[Other]\r\n3=x\r\n";
    folder.write("Verbalyn.ini", before);

    QVERIFY(MapPortNumberToDevice(3, pty.slavePath()));
    QByteArray expected = before;
    expected.replace("3 = /dev/old", "3=" + pty.slavePath().toLatin1());
    QCOMPARE(folder.read("Verbalyn.ini"), expected);

    QVERIFY(MapPortNumberToDevice(7, " /dev/ttyACM0 "));
    expected.replace("3=" + pty.slavePath().toLatin1() + "\r\n",
                     "3=" + pty.slavePath().toLatin1() + "\r\n7=/dev/ttyACM0\r\n");
    QCOMPARE(folder.read("Verbalyn.ini"), expected);

    // Refused: no port 0, no empty device; the file stays as it was.
    QVERIFY(!MapPortNumberToDevice(0, pty.slavePath()));
    QVERIFY(!MapPortNumberToDevice(2, "   "));
    QCOMPARE(folder.read("Verbalyn.ini"), expected);

    // The mapped number now reaches the pseudo-terminal through the real port.
    Host host;
    host.port = "3";
    CodeSender sender(host);
    sender.setInterByteDelayMs(0);
    sender.SendToQuillon("\x1f\\0VX", false);
    QCOMPARE(pty.read(5), QByteArray("\x1f\\0VX"));
    QCOMPARE(host.states, QList<LinkState>{LinkState::Open});
    QVERIFY(sender.lastOpenError().isEmpty());
}

void SerialDevicesTest::realFailuresSayWhy() {
    test::TempProgramFolder folder;
    test::PtyPair pty;
    QVERIFY(pty.ok());
    MapPortNumberToDevice(5, folder.file("ttyGone"));
    MapPortNumberToDevice(6, pty.slavePath());
    Host host;
    CodeSender sender(host);
    sender.setInterByteDelayMs(0);
    auto failureFor = [&](const QString& port) {
        host.port = port;
        host.states.clear();
        sender.SendToQuillon("x", false);
        return host.states == QList<LinkState>{LinkState::Failed} ? sender.lastOpenError()
                                                                  : QString("(opened)");
    };

    QVERIFY(failureFor("5").startsWith("There is no device " + folder.file("ttyGone")));
    QCOMPARE(failureFor("abc"), NoDeviceForNumberText());
    PutIniValue("Serial", "BaudRate", "fast");
    QVERIFY(failureFor("6").contains("\"fast\""));
    PutIniValue("Serial", "BaudRate", "9600");

    // Another program holds the pseudo-terminal (its lock file): busy, not "permission".
    {
        QSerialPort holder(pty.slavePath());
        QVERIFY(holder.open(QIODevice::ReadWrite));
        const QString busy = failureFor("6");
        QVERIFY2(busy.startsWith(pty.slavePath() + " is busy"), qPrintable(busy));
    }
    // Once it is free, the port opens and the reason is gone.
    QCOMPARE(failureFor("6"), QString("(opened)"));
    QVERIFY(sender.lastOpenError().isEmpty());
    sender.CloseSerialPort();

    // A port that gives no reason still leaves one.
    auto record = std::make_shared<test::PortRecord>();
    record->failOpen = true;
    CodeSender quiet(host, std::make_unique<test::RecordingPort>(record));
    quiet.SendToQuillon("x", false);
    QCOMPARE(quiet.lastOpenError(), pty.slavePath() + " could not be opened.");

    // Root may open any file, so a refusal is seen for real only by another user; for root,
    // the error Qt reports for it.
    folder.write("ttyLocked", "");
    QFile::setPermissions(folder.file("ttyLocked"), QFileDevice::Permissions());
    MapPortNumberToDevice(8, folder.file("ttyLocked"));
    const QString denied =
        ::geteuid() != 0 ? failureFor("8")
                         : OpenFailureText(QSerialPort::PermissionError, "/dev/ttyUSB7", false);
    QVERIFY2(denied.startsWith("Permission denied") && denied.contains("\" group") &&
                 denied.contains("log out"),
             qPrintable(denied));
    QVERIFY(OpenFailureText(QSerialPort::OpenError, "/dev/ttyUSB7", false).contains("is busy"));
    QCOMPARE(OpenFailureText(QSerialPort::UnknownError, "/dev/ttyUSB7", true, "I/O error"),
             QString("/dev/ttyUSB7 could not be opened: I/O error."));
}

// Joining the device's group is advised only when its mode lets that group in and the user is
// not in it yet; otherwise the advice says who owns the device and how.
void SerialDevicesTest::permissionAdviceFitsTheDevice() {
    test::TempProgramFolder folder;
    const QString device = folder.file("ttyMine");
    folder.write("ttyMine", "");
    struct DeviceCase {
        unsigned mode;
        bool otherGroup;  // a group this process is not in (set up only as root)
        bool advisesJoining;
    };
    const gid_t dialout = ::getgrnam("dialout") ? ::getgrnam("dialout")->gr_gid : gid_t(-1);
    const bool canUseOtherGroup =
        ::geteuid() == 0 && dialout != gid_t(-1) && ::getegid() != dialout;
    for (const DeviceCase& c : {DeviceCase{0660, false, false}, DeviceCase{0600, false, false},
                                DeviceCase{0660, true, true}, DeviceCase{0600, true, false},
                                DeviceCase{0606, true, false}}) {
        if (c.otherGroup && !canUseOtherGroup) {
            continue;
        }
        const QByteArray path = QFile::encodeName(device);
        QVERIFY(::chown(path.constData(), ::geteuid(), c.otherGroup ? dialout : ::getegid()) == 0);
        QVERIFY(::chmod(path.constData(), c.mode) == 0);
        const QString text = OpenFailureText(QSerialPort::PermissionError, device, false);
        const QString label =
            QString::number(c.mode, 8) + (c.otherGroup ? " dialout: " : ": ") + text;
        QVERIFY2(text.startsWith("Permission denied: you may not use " + device),
                 qPrintable(label));
        QCOMPARE(text.contains("Join the"), c.advisesJoining);
        if (!c.advisesJoining) {
            const QString group =
                QString::fromLocal8Bit(::getgrgid(c.otherGroup ? dialout : ::getegid())->gr_name);
            QVERIFY2(text.contains("group \"" + group + "\"") && text.contains("does not help"),
                     qPrintable(label));
            QVERIFY2(text.contains(c.mode == 0660   ? "rw-rw----"
                                   : c.mode == 0600 ? "rw-------"
                                                    : "rw----rw-"),
                     qPrintable(label));
        } else {
            QVERIFY2(text.contains("\"dialout\" group"), qPrintable(label));
        }
    }
    // A device that is not there gives nothing to go by: the usual group.
    QVERIFY(OpenFailureText(QSerialPort::PermissionError, folder.file("ttyNone"), false)
                .contains("Join the \"dialout\" group"));
}

void SerialDevicesTest::folderChoice() {
    QTemporaryDir home;
    EnvVar homeVar("HOME", QFile::encodeName(home.path()));
    EnvVar configVar("XDG_CONFIG_HOME", QByteArray());
    EnvVar dataVar("XDG_DATA_HOME", QByteArray());
    QTemporaryDir program;

    const FileFolders beside = ChooseFileFolders(program.path());
    QVERIFY(beside.portable);
    QCOMPARE(beside.settings, program.path());
    QCOMPARE(beside.data, program.path());
    QCOMPARE(FileFoldersDescription(beside),
             "Files are kept beside the program, in " + program.path());

    // No one may write the folder (root included, by our rule): the user's folders.
    QVERIFY(QFile::setPermissions(program.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                                      QFileDevice::ReadOther |
                                                      QFileDevice::ExeOther));
    const FileFolders user = ChooseFileFolders(program.path());
    QFile::setPermissions(program.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QVERIFY(!user.portable);
    QCOMPARE(user.settings, home.path() + "/.config/cantora-utility");
    QCOMPARE(user.data, home.path() + "/.local/share/cantora-utility");
    QCOMPARE(FileFoldersDescription(user), "Settings are kept in " + user.settings +
                                               "\nThe dictionary and sound presets are kept in " +
                                               user.data);
    QVERIFY(!QFileInfo::exists(user.settings));  // created on use, not on choosing

    QVERIFY(!ChooseFileFolders(program.path() + "/missing").portable);
    // The folder the build installs into is never portable, whoever runs the program.
    QVERIFY(!InstalledProgramFolder().isEmpty());
    QVERIFY(!ChooseFileFolders(InstalledProgramFolder()).portable);
}

QTEST_MAIN(SerialDevicesTest)
#include "devices_test.moc"
