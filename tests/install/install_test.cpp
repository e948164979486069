// The installed program: the tree `cmake --install` lays down (checked by the desktop-entry
// and AppStream validators), and where a copy of the program keeps its files, run as a real
// process that a termination request closes the way a user would.

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <pwd.h>
#include <unistd.h>

#include <csignal>

#include "core/files/version.h"
#include "ui/common/program_icon.h"

namespace {

const QString kId = "org.cantora.utility";

QStringList FilesUnder(const QString& root) {
    QStringList files;
    QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        files.append(QDir(root).relativeFilePath(it.next()));
    }
    files.sort();
    return files;
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs `program` (exit code and output) and returns whether it exited with 0.
bool Run(const QString& program, const QStringList& args, QString* output,
         const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, args);
    const bool finished = process.waitForFinished(120000);
    *output = QString::fromLocal8Bit(process.readAll());
    return finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// Whether the process has installed its handler for termination requests.
bool HandlesTermination(qint64 pid) {
    const QByteArray status = ReadFile(QStringLiteral("/proc/%1/status").arg(pid));
    const QRegularExpressionMatch match =
        QRegularExpression("SigCgt:\\s*([0-9a-f]+)").match(QString::fromLatin1(status));
    return match.hasMatch() && (match.captured(1).toULongLong(nullptr, 16) >> (SIGTERM - 1)) & 1;
}

struct Finished {
    bool ok = false;  // ended by itself
    int code = -1;
    QString out;
    QString err;
};

// Runs `program` with its standard output and error apart.
Finished RunApart(const QString& program, const QStringList& args, const QProcessEnvironment& env) {
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, args);
    Finished finished;
    finished.ok = process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit;
    finished.code = process.exitCode();
    finished.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    finished.err = QString::fromLocal8Bit(process.readAllStandardError());
    return finished;
}

// The environment of a terminal without any display.
QProcessEnvironment WithoutDisplay() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        env.remove(name);
    }
    return env;
}

// The installed manual page and changelog as a reader sees them (man and gzip decompress).
void CheckManPage(const QString& page, const QString& program) {
    const QString man = QStandardPaths::findExecutable("man");
    QVERIFY2(!man.isEmpty(), "man (man-db) is not installed");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("MANWIDTH", "80");
    env.insert("LC_ALL", "C.UTF-8");
    const Finished shown = RunApart(man, {"--warnings", "-l", page}, env);
    QVERIFY2(shown.ok && shown.code == 0, qPrintable(shown.err));
    QVERIFY2(shown.err.isEmpty(), qPrintable(page + ": " + shown.err));  // no troff warnings
    QVERIFY2(shown.out.contains(QRegularExpression("NAME\\s+" + program + " - ")),
             qPrintable(shown.out));
    for (const QString& option : QStringList{"--help", "--version"}) {
        QVERIFY2(shown.out.contains(option), qPrintable(page + " lacks " + option));
    }
    QVERIFY2(shown.out.contains("Cantora Utility " CANTORA_VERSION), qPrintable(shown.out));
}

// A copy of the program in its own folder, run with its own home and current folder until a
// termination request closes its window.
struct ProgramCopy {
    QTemporaryDir root;
    QString folder = root.filePath("program");
    QString home = root.filePath("home");
    QString current = root.filePath("current");

    ProgramCopy() {
        QDir().mkpath(folder);
        QDir().mkpath(home);
        QDir().mkpath(current);
        QFile::copy(CANTORA_PROGRAM, folder + "/cantora-utility");
    }

    // Starts the copy, waits until it is up, asks it to end; true when it ended by itself.
    bool runAndClose() {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home);
        env.remove("XDG_CONFIG_HOME");
        env.remove("XDG_DATA_HOME");
        env.insert("QT_QPA_PLATFORM", "offscreen");
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(current);
        process.start(folder + "/cantora-utility", {});
        if (!process.waitForStarted(10000)) {
            return false;
        }
        if (!QTest::qWaitFor([&] { return HandlesTermination(process.processId()); }, 20000)) {
            process.kill();
            process.waitForFinished();
            return false;
        }
        process.terminate();
        return process.waitForFinished(20000) && process.exitStatus() == QProcess::NormalExit &&
               process.exitCode() == 0;
    }
};

void CheckDefaultSettings(const QString& path) {
    const QByteArray settings = ReadFile(path);
    QVERIFY2(settings.contains("[Serial]\r\nPort=1\r\nFlowControl=1\r\n"), settings.constData());
}

}  // namespace

class InstallTest : public QObject {
    Q_OBJECT
  private slots:
    void installedTreeValidates();
    void builtInIconHasEverySize();
    void readOnlyProgramFolderUsesTheUsersFolders();
    void answersTheCommandLineWithoutDisplay();
    void writableProgramFolderKeepsFilesBeside();
    void unusualAccountsFindTheirFolders_data();
    void unusualAccountsFindTheirFolders();
};

void InstallTest::installedTreeValidates() {
    QTemporaryDir dest;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DESTDIR", dest.path());
    QString output;
    QVERIFY2(Run(CANTORA_CMAKE, {"--install", CANTORA_BUILD_DIR, "--prefix", "/usr"}, &output, env),
             qPrintable(output));

    const QString usr = dest.path() + "/usr/";
    QStringList expected = {
        "share/applications/" + kId + ".desktop", "share/doc/cantora-utility/README.md",
        "share/doc/cantora-utility/copyright", "share/icons/hicolor/scalable/apps/" + kId + ".svg",
        "share/metainfo/" + kId + ".metainfo.xml"};
    const QList<int> sizes = {16, 24, 32, 48, 64, 128, 256};
    for (int size : sizes) {
        expected.append(QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(kId));
    }
    for (const QString& picture :
         QDir(QStringLiteral(CANTORA_SOURCE_DIR "/docs")).entryList({"*.png"}, QDir::Files)) {
        expected.append("share/doc/cantora-utility/docs/" + picture);
    }
    expected.append("share/doc/cantora-utility/changelog.Debian.gz");
    expected.append("share/lintian/overrides/cantora-utility");
    // Every program with its manual page, and no page without its program.
    const QStringList installed = FilesUnder(usr);
    const QStringList programs = installed.filter(QRegularExpression("^bin/"));
    for (const QString& program : QStringList{"bin/cantora-utility", "bin/cantora-chip", "bin/cantora-say"}) {
        QVERIFY2(programs.contains(program), qPrintable(program));
    }
    for (const QString& program : programs) {
        expected.append(program);
        expected.append("share/man/man1/" + program.mid(4) + ".1.gz");
    }
    expected.sort();
    QCOMPARE(installed, expected);
    for (const QString& program : programs) {
        CheckManPage(usr + "share/man/man1/" + program.mid(4) + ".1.gz", program.mid(4));
    }
    const QString gzip = QStandardPaths::findExecutable("gzip");
    const Finished changelog = RunApart(
        gzip, {"-dc", usr + "share/doc/cantora-utility/changelog.Debian.gz"}, WithoutDisplay());
    QVERIFY2(changelog.out.startsWith("cantora-utility (" CANTORA_VERSION "-"),
             qPrintable(changelog.out + changelog.err));
    QVERIFY(QFileInfo(usr + "bin/cantora-utility").isExecutable());
    QVERIFY(QFileInfo(usr + "bin/cantora-say").isExecutable());
    for (int size : sizes) {
        const QImage icon(
            QStringLiteral("%1share/icons/hicolor/%2x%2/apps/%3.png").arg(usr).arg(size).arg(kId));
        QCOMPARE(icon.size(), QSize(size, size));
    }

    // The validators of the desktop entry and the AppStream metainfo accept them.
    const QString desktopFile = usr + "share/applications/" + kId + ".desktop";
    const QString validator = QStandardPaths::findExecutable("desktop-file-validate");
    QVERIFY2(!validator.isEmpty(), "desktop-file-validate is not installed");
    QVERIFY2(Run(validator, {desktopFile}, &output), qPrintable(output));
    QVERIFY2(output.trimmed().isEmpty(), qPrintable(output));  // not even a hint
    const QString appstream = QStandardPaths::findExecutable("appstreamcli");
    QVERIFY2(!appstream.isEmpty(), "appstreamcli is not installed");
    QVERIFY2(
        Run(appstream,
            {"validate", "--pedantic", "--no-net", usr + "share/metainfo/" + kId + ".metainfo.xml"},
            &output),
        qPrintable(output));
    QVERIFY2(!output.contains("P: ") && !output.contains("W: "), qPrintable(output));

    // The entry starts an installed program and names an installed icon; the metainfo
    // launches this entry.
    QSettings desktop(desktopFile, QSettings::IniFormat);
    desktop.beginGroup("Desktop Entry");
    QVERIFY(QFileInfo(usr + "bin/" + desktop.value("Exec").toString().section(' ', 0, 0))
                .isExecutable());
    QCOMPARE(desktop.value("Icon").toString(), kId);
    const QByteArray metainfo = ReadFile(usr + "share/metainfo/" + kId + ".metainfo.xml");
    QVERIFY(metainfo.contains("<id>" + kId.toLatin1() + "</id>"));
    QVERIFY(metainfo.contains("<launchable type=\"desktop-id\">" + kId.toLatin1() +
                              ".desktop</launchable>"));
    QVERIFY(ReadFile(usr + "share/doc/cantora-utility/copyright").contains("License: MIT"));
}

void InstallTest::builtInIconHasEverySize() {
    const QIcon icon = cantora::ProgramIcon();
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        QVERIFY(icon.availableSizes().contains(QSize(size, size)));
        QCOMPARE(icon.pixmap(size).toImage().size(), QSize(size, size));
    }
}

void InstallTest::readOnlyProgramFolderUsesTheUsersFolders() {
    ProgramCopy copy;
    // No write permission for anyone: the program's rule treats it as read-only even for root.
    QVERIFY(QFile::setPermissions(copy.folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    const bool ran = copy.runAndClose();
    QFile::setPermissions(copy.folder,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QVERIFY(ran);

    CheckDefaultSettings(copy.home + "/.config/cantora-utility/Verbalyn.ini");
    QVERIFY(QFileInfo(copy.home + "/.local/share/cantora-utility").isDir());
    QCOMPARE(FilesUnder(copy.folder), QStringList{"cantora-utility"});
    QVERIFY(FilesUnder(copy.current).isEmpty());
}

void InstallTest::answersTheCommandLineWithoutDisplay() {
    const QProcessEnvironment env = WithoutDisplay();
    const Finished version = RunApart(CANTORA_PROGRAM, {"--version"}, env);
    QVERIFY(version.ok);
    QCOMPARE(version.code, 0);
    QCOMPARE(version.out, QString("cantora-utility " CANTORA_VERSION "\n"));
    for (const QString& help : QStringList{"--help", "-h"}) {
        const Finished shown = RunApart(CANTORA_PROGRAM, {help}, env);
        QVERIFY(shown.ok);
        QCOMPARE(shown.code, 0);
        QVERIFY2(shown.out.startsWith("Usage: cantora-utility") && shown.out.contains("--version"),
                 qPrintable(shown.out));
    }
    // No display: one line that says so, instead of Qt's advice about plugins.
    const Finished window = RunApart(CANTORA_PROGRAM, {}, env);
    QVERIFY(window.ok);
    QCOMPARE(window.code, 1);
    QVERIFY2(window.err.endsWith('\n') && window.err.count('\n') == 1, qPrintable(window.err));
    QVERIFY2(window.err.contains("needs a graphical display"), qPrintable(window.err));
    QVERIFY(window.out.isEmpty());
}

void InstallTest::writableProgramFolderKeepsFilesBeside() {
    ProgramCopy copy;
    QVERIFY(copy.runAndClose());

    CheckDefaultSettings(copy.folder + "/Verbalyn.ini");
    QCOMPARE(FilesUnder(copy.folder), (QStringList{"Verbalyn.ini", "cantora-utility"}));
    QVERIFY(!QFileInfo::exists(copy.home + "/.config/cantora-utility"));
    QVERIFY(!QFileInfo::exists(copy.home + "/.local/share/cantora-utility"));
}

// The program run as an ordinary user from a folder it may not write: without HOME (the password
// database's home, here one that cannot be made, which it says), with a relative
// XDG_CONFIG_HOME (ignored) and with one it may not write (passed over).
void InstallTest::unusualAccountsFindTheirFolders_data() {
    QTest::addColumn<bool>("hasHome");
    QTest::addColumn<QString>("xdgConfig");  // "locked": a folder the user may not write
    QTest::newRow("no HOME") << false << QString();
    QTest::newRow("relative XDG_CONFIG_HOME") << true << "relative/config";
    QTest::newRow("unwritable XDG_CONFIG_HOME") << true << "locked";
}

void InstallTest::unusualAccountsFindTheirFolders() {
    QFETCH(bool, hasHome);
    QFETCH(QString, xdgConfig);
    if (::geteuid() != 0 || QStandardPaths::findExecutable("setpriv").isEmpty()) {
        QSKIP("needs root and setpriv to run the program as another user");
    }
    const struct passwd* nobody = ::getpwnam("nobody");
    QVERIFY(nobody != nullptr);
    const QString nobodyHome = QString::fromLocal8Bit(nobody->pw_dir);
    QVERIFY2(!QFileInfo::exists(nobodyHome), "the account's own home must not exist");

    ProgramCopy copy;
    const auto readOnly = QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                          QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther;
    const QString lockedConfig = copy.root.filePath("locked-config");
    QVERIFY(QDir().mkpath(lockedConfig));
    for (const QString& folder : {copy.root.path(), copy.folder, copy.current, lockedConfig}) {
        QVERIFY(QFile::setPermissions(folder, readOnly));
    }
    QVERIFY(QFile::setPermissions(copy.folder + "/cantora-utility", readOnly));
    QVERIFY(::chown(QFile::encodeName(copy.home).constData(), nobody->pw_uid, nobody->pw_gid) == 0);

    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("HOME");
        env.remove("XDG_CONFIG_HOME");
        env.remove("XDG_DATA_HOME");
        env.remove("XDG_RUNTIME_DIR");
        if (hasHome) {
            env.insert("HOME", copy.home);
        }
        if (!xdgConfig.isEmpty()) {
            env.insert("XDG_CONFIG_HOME", xdgConfig == "locked" ? lockedConfig : xdgConfig);
        }
        env.insert("QT_QPA_PLATFORM", "offscreen");
        QProcess process;
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(copy.current);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start("setpriv", {"--reuid=" + QString::number(nobody->pw_uid),
                                  "--regid=" + QString::number(nobody->pw_gid), "--clear-groups",
                                  copy.folder + "/cantora-utility"});
        QVERIFY(process.waitForStarted(10000));
        const bool up =
            QTest::qWaitFor([&] { return HandlesTermination(process.processId()); }, 20000);
        process.terminate();
        const bool ended = process.waitForFinished(20000);
        const QString output = QString::fromLocal8Bit(process.readAll());
        const QString label = output;
        QVERIFY2(
            up && ended && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0,
            qPrintable(label));
        QVERIFY2(!output.contains("//.config"), qPrintable(label));
        if (!hasHome) {
            // Said once, naming the folder it tried; nothing made anywhere else.
            const QString said = "The settings cannot be kept: " + nobodyHome +
                                 "/.config/cantora-utility cannot be made or written.";
            QVERIFY2(output.count(said) == 1, qPrintable(label));
            QVERIFY2(output.contains("The dictionary and sound presets cannot be kept"),
                     qPrintable(label));
        } else {
            QVERIFY2(!output.contains("cannot be kept"), qPrintable(label));
            CheckDefaultSettings(copy.home + "/.config/cantora-utility/Verbalyn.ini");
            QVERIFY(QFileInfo(copy.home + "/.local/share/cantora-utility").isDir());
        }
        QCOMPARE(FilesUnder(copy.current), QStringList());
        QCOMPARE(FilesUnder(copy.folder), QStringList{"cantora-utility"});
        QCOMPARE(FilesUnder(lockedConfig), QStringList());
    }
    QVERIFY(QFile::setPermissions(copy.root.path(), readOnly | QFileDevice::WriteOwner));
    for (const QString& folder : {copy.folder, copy.current, lockedConfig}) {
        QFile::setPermissions(folder, readOnly | QFileDevice::WriteOwner);
    }
}

QTEST_MAIN(InstallTest)
#include "install_test.moc"
