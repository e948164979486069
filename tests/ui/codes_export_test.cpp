// The codes viewer's way out to a microcontroller: "Copy as C" and "Save As…" with its three
// kinds of file, written whole, asking before replacing a file the dialog did not ask about.

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QtTest>

#include "core/codes/c_export.h"
#include "core/codes/viewer_layout.h"
#include "support/test_support.h"
#include "ui/codes/frm_codes.h"
#include "ui/common/twips.h"
#include "ui/main/frm_utility.h"

using namespace cantora;

namespace {

struct Rig {
    test::TempProgramFolder folder;
    std::shared_ptr<test::PortRecord> record = std::make_shared<test::PortRecord>();
    FrmUtility main{std::make_unique<test::RecordingPort>(record)};
    std::unique_ptr<FrmCodes> codes;

    Rig(const QString& numbers, const QString& phrase) {
        main.QuillonCodes = numbers;
        main.QuillonPhrase = phrase;
        codes = std::make_unique<FrmCodes>(main, &main);
        codes->show();
        QApplication::processEvents();
    }
    // "Save As…" answered with `path`, every question with `answer`; the questions asked.
    QStringList saveAs(const QString& path, QMessageBox::StandardButton answer) {
        test::ScriptedAnswers answers(answer, 5);
        test::ScriptedFileAnswer file(path);
        codes->cmdSaveAs->click();
        return answers.texts();
    }
};

}  // namespace

class CodesExportTest : public QObject {
    Q_OBJECT
  private slots:
    void buttonsInTheRow();
    void copyAsC();
    void saveAsEachKind();
    void replacingAndRefusals();
};

void CodesExportTest::buttonsInTheRow() {
    Rig rig("1", "");
    FrmCodes& c = *rig.codes;
    QCOMPARE(c.findChild<QPushButton*>("cmdCopyC"), c.cmdCopyC);
    QCOMPARE(c.findChild<QPushButton*>("cmdSaveAs"), c.cmdSaveAs);
    QCOMPARE(c.cmdCopyC->text(), QString("Copy as C"));
    QCOMPARE(c.cmdSaveAs->text(), QString("Save As\u2026"));
    // The Parts' controls stay where the layout rule puts them; the new ones continue the row.
    const CodesLayout layout = ComputeCodesLayout(7335, 5265);
    QCOMPARE(c.btnDone->geometry(), TwipsRect(6120, 4770, 1155, 435));
    QCOMPARE(c.btnCopy->geometry(), TwipsRect(4365, 4770, 1695, 435));
    QCOMPARE(layout.cmdSaveAs.left + layout.cmdSaveAs.width + 60, 4365);
    QCOMPARE(layout.cmdCopyC.left + layout.cmdCopyC.width + 60, layout.cmdSaveAs.left);
    QCOMPARE(c.cmdSaveAs->geometry().top(), c.btnCopy->geometry().top());
    QVERIFY(c.cmdCopyC->geometry().left() >= 0);
    QVERIFY(!c.cmdCopyC->geometry().intersects(c.cmdSaveAs->geometry()));
    QVERIFY(!c.cmdSaveAs->geometry().intersects(c.btnCopy->geometry()));
}

void CodesExportTest::copyAsC() {
    Rig rig("20, 96, 21", "hello world");
    QGuiApplication::clipboard()->setText("old");
    rig.codes->cmdCopyC->click();
    QCOMPARE(QGuiApplication::clipboard()->text(),
             QString("/* hello world */\nconst uint8_t phrase[] = {\n    20, 96, 21,\n};\n"
                     "#define PHRASE_LENGTH 3\n"));
    // What the user typed into the box counts; something that is no code is refused.
    rig.codes->txtCodes->setPlainText("7, 300");
    test::ScriptedAnswers ok(QMessageBox::Ok);
    rig.codes->cmdCopyC->click();
    QCOMPARE(ok.answered(), 1);
    QVERIFY(ok.texts().first().startsWith("\"300\" is not a code"));
    QVERIFY(QGuiApplication::clipboard()->text().contains("20, 96, 21"));
}

void CodesExportTest::saveAsEachKind() {
    Rig rig("20, 96, 255", "hi");
    const QString h = rig.folder.file("a.h");
    QCOMPARE(rig.saveAs(h, QMessageBox::Yes), QStringList());
    QCOMPARE(rig.folder.read("a.h"),
             CHeaderText({{"phrase", "hi", QByteArray("\x14\x60\xff")}}, false).toUtf8());
    QVERIFY(
        rig.folder.read("a.h").contains("static const uint8_t phrase[] = {\n"
                                        "    20, 96, 255,\n};\n#define PHRASE_LENGTH 3\n"));
    QCOMPARE(rig.saveAs(rig.folder.file("a.bin"), QMessageBox::Yes), QStringList());
    QCOMPARE(rig.folder.read("a.bin"), QByteArray("\x14\x60\xff"));
    // The text file holds the box as it stands, edits included.
    rig.codes->txtCodes->setPlainText("20, 96,\n255");
    QCOMPARE(rig.saveAs(rig.folder.file("a.TXT"), QMessageBox::Yes), QStringList());
    QCOMPARE(rig.folder.read("a.TXT"), QByteArray("20, 96,\n255"));
    // The next dialog starts at the last file saved.
    test::ScriptedFileAnswer cancel(QString{});
    rig.codes->cmdSaveAs->click();
    QCOMPARE(cancel.suggested(), QStringList{rig.folder.file("a.TXT")});
}

void CodesExportTest::replacingAndRefusals() {
    Rig rig("1, 2", "x");
    // A name without an ending gets ".h"; the dialog never saw that file, so it is asked for.
    rig.folder.write("b.h", "keep");
    QStringList asked = rig.saveAs(rig.folder.file("b"), QMessageBox::No);
    QCOMPARE(asked.size(), 1);
    QVERIFY(asked.first().endsWith("already exists.  Replace it?"));
    QCOMPARE(rig.folder.read("b.h"), QByteArray("keep"));
    QCOMPARE(rig.saveAs(rig.folder.file("b"), QMessageBox::Yes).size(), 1);
    QVERIFY(rig.folder.read("b.h").contains("PHRASE_LENGTH 2"));
    // A new name without an ending asks nothing.
    QCOMPARE(rig.saveAs(rig.folder.file("c"), QMessageBox::No), QStringList());
    QVERIFY(QFile::exists(rig.folder.file("c.h")));

    // Another ending, a box that holds no codes, a folder that cannot be written: refused, and
    // no file is left half written.
    asked = rig.saveAs(rig.folder.file("d.c"), QMessageBox::Ok);
    QCOMPARE(asked.size(), 1);
    QVERIFY(asked.first().startsWith("Save the codes in a file ending in .h"));
    QVERIFY(!QFile::exists(rig.folder.file("d.c")));
    rig.codes->txtCodes->setPlainText("1, two");
    asked = rig.saveAs(rig.folder.file("e.bin"), QMessageBox::Ok);
    QCOMPARE(asked.size(), 1);
    QVERIFY(!QFile::exists(rig.folder.file("e.bin")));
    rig.codes->txtCodes->setPlainText("1, 2");
    asked = rig.saveAs(rig.folder.file("missing/f.h"), QMessageBox::Ok);
    QCOMPARE(asked.size(), 1);
    QVERIFY(asked.first().startsWith("The file "));
    QCOMPARE(rig.folder.read("b.h").isEmpty(), false);
}

QTEST_MAIN(CodesExportTest)
#include "codes_export_test.moc"
