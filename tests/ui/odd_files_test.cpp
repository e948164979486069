// Profile files that are not ordinary files (a link to an endless device, a named pipe with no
// writer, an oversized file) met by the three whole-file readers of the program: the dictionary
// editor opening, the phrase editor's "Save" and the settings written at closing. Each must end
// at once with a message, write nothing and leave the program running.

#include <QApplication>
#include <QFile>
#include <QRegularExpression>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

#include "core/files/profile.h"
#include "support/test_support.h"
#include "ui/dictionary/frm_dict_edit.h"
#include "ui/main/frm_utility.h"
#include "ui/phrase/frm_phrase.h"

using namespace cantora;

namespace {

struct Program {
    test::TempProgramFolder folder;
    std::shared_ptr<test::PortRecord> record = std::make_shared<test::PortRecord>();
    std::unique_ptr<FrmUtility> main =
        std::make_unique<FrmUtility>(std::make_unique<test::RecordingPort>(record));
};

// Puts an odd file of `kind` at `path`.
bool MakeOddFile(const QString& kind, const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    if (kind == "device link") {
        return ::symlink("/dev/zero", name.constData()) == 0;
    }
    if (kind == "named pipe") {
        return ::mkfifo(name.constData(), 0600) == 0;
    }
    // A sparse file just over the cap: no disk space, but a size no dictionary reaches.
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.resize(qint64{257} * 1024 * 1024);
}

// The entries of the folder and their kinds, to see that nothing was written beside the file.
QStringList FolderState(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
}

}  // namespace

class OddFilesTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        // A read that waits forever or fills memory must end the test, not the suite's patience.
        ::alarm(60);
    }
    void cleanup() { ::alarm(0); }

    void kinds_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("link to /dev/zero") << "device link";
        QTest::newRow("named pipe") << "named pipe";
        QTest::newRow("over 256 MB") << "huge";
    }

    void dictionaryEditorOpensEmptyWithMessage_data() { kinds_data(); }
    void dictionaryEditorOpensEmptyWithMessage() {
        QFETCH(QString, kind);
        Program program;
        QVERIFY(MakeOddFile(kind, program.folder.file("Verbalyn.Dic")));
        test::ScriptedAnswers responder(QMessageBox::Ok);
        QElapsedTimer clock;
        clock.start();
        {
            FrmDictEdit editor(program.main.get());
            editor.show();
            QTRY_COMPARE(responder.answered(), 1);
            QVERIFY2(responder.texts().value(0).contains("could not be read"),
                     qPrintable(responder.texts().value(0)));
            QCOMPARE(editor.EditorText(), QString());
            // Nor may a save replace what could not be read.
            test::ScriptedAnswers refusal(QMessageBox::Ok);
            editor.btnSaveChanges->click();
            QCOMPARE(refusal.answered(), 1);
            QVERIFY(refusal.texts().value(0).contains("not an ordinary file") ||
                    refusal.texts().value(0).contains("larger than 256 MB"));
        }
        QVERIFY(clock.elapsed() < 10000);
        QCOMPARE(FolderState(program.folder.path()), QStringList{"Verbalyn.Dic"});
    }

    void phraseSaveRefusesWithMessage_data() { kinds_data(); }
    void phraseSaveRefusesWithMessage() {
        QFETCH(QString, kind);
        Program program;
        QVERIFY(MakeOddFile(kind, program.folder.file("Verbalyn.Dic")));
        FrmPhrase window(*program.main, program.main.get());
        window.show();
        window.txtDict->setText("hello");
        window.txtSayData->setPlainText("\\HE \\EH \\LO \\OW");
        test::ScriptedAnswers responder(QMessageBox::Ok);
        window.cmdSave->click();
        QCOMPARE(responder.answered(), 1);
        const QString text = responder.texts().value(0);
        QVERIFY2(text.contains("could not be saved") &&
                     (text.contains("not an ordinary file") || text.contains("larger than 256 MB")),
                 qPrintable(text));
        QCOMPARE(FolderState(program.folder.path()), QStringList{"Verbalyn.Dic"});
        // The program goes on: the editor still answers.
        QVERIFY(window.isVisible());
    }

    void settingsAtClosingAreRefusedWithMessage_data() { kinds_data(); }
    void settingsAtClosingAreRefusedWithMessage() {
        QFETCH(QString, kind);
        Program program;
        QVERIFY(MakeOddFile(kind, program.folder.file("Verbalyn.ini")));
        program.main->show();
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression("^The settings could not be saved: .*(not an "
                                                "ordinary file|larger than 256 MB)"));
        program.main->close();
        QCOMPARE(FolderState(program.folder.path()), QStringList{"Verbalyn.ini"});
        QFileInfo after(program.folder.file("Verbalyn.ini"));
        QVERIFY(kind != "device link" || after.isSymLink());
    }
};

QTEST_MAIN(OddFilesTest)
#include "odd_files_test.moc"
