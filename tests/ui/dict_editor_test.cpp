// The dictionary editor window with real widgets and a real dictionary file: loading, saving,
// sorting, erasing blank entries, finding, closing, and saves that fail.

#include <QApplication>
#include <QDir>
#include <QTimer>
#include <QtTest>

#include "core/files/profile.h"
#include "core/pronounce/pronouncer.h"
#include "support/test_support.h"
#include "ui/common/twips.h"
#include "ui/dictionary/frm_dict_edit.h"
#include "ui/main/frm_utility.h"

using namespace cantora;

namespace {

const QByteArray kExample = "[words]\r\nHello=\\HE\r\n\r\napple=\r\n";

// A program folder with a main window, as the editor finds them when opened.
struct Program {
    test::TempProgramFolder folder;
    std::shared_ptr<test::PortRecord> record = std::make_shared<test::PortRecord>();
    FrmUtility main{std::make_unique<test::RecordingPort>(record)};

    QByteArray dictionary() const { return folder.read("Verbalyn.Dic"); }
};

// Where the Tab key goes from `widget`: the next widget in the chain that takes tab focus.
QWidget* NextTabStop(QWidget* widget) {
    QWidget* next = widget->nextInFocusChain();
    while (next != widget && !(next->focusPolicy() & Qt::TabFocus)) {
        next = next->nextInFocusChain();
    }
    return next;
}

// Lets the event loop run long enough for a queued message box to be answered.
void Settle() {
    QTest::qWait(100);
}

}  // namespace

class DictEditorTest : public QObject {
    Q_OBJECT

  private slots:
    void controlsAndLayout() {
        Program program;
        FrmDictEdit editor(&program.main);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));

        QCOMPARE(editor.objectName(), QString("frmDictEdit"));
        QCOMPARE(editor.windowTitle(), QString("Cantora Dictionary Editor"));
        QVERIFY(editor.windowFlags().testFlag(Qt::Tool));
        QCOMPARE(editor.minimumSize(), editor.maximumSize());
        QCOMPARE(editor.size(), QSize(TwipsToPx(10350), TwipsToPx(7500)));

        struct Expected {
            QWidget* widget;
            const char* name;
            const char* caption;
            QRect twips;
        };
        const QList<Expected> expected = {
            {editor.txtDictionary, "txtDictionary", nullptr, {60, 60, 8925, 7395}},
            {editor.btnReadTerms, "btnReadTerms", "Import New Words", {9060, 210, 1245, 615}},
            {editor.btnEraseBlank, "btnEraseBlank", "Erase Blank Entries", {9060, 930, 1245, 585}},
            {editor.btnFind, "btnFind", "Find", {9060, 3540, 1245, 435}},
            {editor.btnSort, "btnSort", "Save && Sort", {9060, 5460, 1245, 435}},
            {editor.btnSaveChanges, "btnSaveChanges", "Save Changes", {9060, 6000, 1245, 435}},
            {editor.btnDone, "btnDone", "Done", {9060, 6960, 1245, 435}},
        };
        for (const Expected& e : expected) {
            QCOMPARE(e.widget->objectName(), QString(e.name));
            QCOMPARE(editor.findChild<QWidget*>(e.name), e.widget);
            QCOMPARE(e.widget->geometry(),
                     TwipsRect(e.twips.x(), e.twips.y(), e.twips.width(), e.twips.height()));
            if (e.caption != nullptr) {
                QCOMPARE(static_cast<QPushButton*>(e.widget)->text(), QString(e.caption));
            }
        }
        QCOMPARE(editor.txtDictionary->lineWrapMode(), QPlainTextEdit::NoWrap);

        // Tab order: Import, text, Save Changes, Save & Sort, Done, Find, Erase.
        const QList<QWidget*> chain = {
            editor.btnReadTerms, editor.txtDictionary, editor.btnSaveChanges, editor.btnSort,
            editor.btnDone,      editor.btnFind,       editor.btnEraseBlank};
        for (int i = 0; i + 1 < chain.size(); ++i) {
            QCOMPARE(NextTabStop(chain[i]), chain[i + 1]);
        }

        // A found selection must show while the buttons have the focus.
        const QPalette palette = editor.txtDictionary->palette();
        QCOMPARE(palette.color(QPalette::Inactive, QPalette::Highlight),
                 palette.color(QPalette::Active, QPalette::Highlight));
        QCOMPARE(palette.color(QPalette::Inactive, QPalette::HighlightedText),
                 palette.color(QPalette::Active, QPalette::HighlightedText));
    }

    void loadShowsFileAndSaveWritesItBack() {
        Program program;
        // Every 8-bit character, a bare LF and no line end after the last line.
        QByteArray bytes = "[words]\r\ncaf\xE9=\\KK\xA0\r\nbare=lf\nlast=x";
        program.folder.write("Verbalyn.Dic", bytes);
        FrmDictEdit editor(&program.main);
        QCOMPARE(editor.EditorText(),
                 QString::fromLatin1("[words]\ncaf\xE9=\\KK\xA0\nbare=lf\nlast=x"));
        editor.btnSaveChanges->click();
        QCOMPARE(program.dictionary(),
                 QByteArray("[words]\r\ncaf\xE9=\\KK\xA0\r\nbare=lf\r\nlast=x"));

        // Every byte but CR and LF comes back unchanged through the text area.
        QByteArray all = "[words]\r\nall=";
        for (int c = 0; c < 256; ++c) {
            if (c != '\r' && c != '\n') {
                all.append(static_cast<char>(c));
            }
        }
        all.append("\r\n");
        program.folder.write("Verbalyn.Dic", all);
        FrmDictEdit reopened(&program.main);
        reopened.btnSaveChanges->click();
        QCOMPARE(program.dictionary(), all);

        // A text ending in a line end is saved with it, and nothing more. The other editor
        // changed the file since this one saved it, so it asks first.
        editor.txtDictionary->setPlainText("[words]\nhello=\\HE\n");
        {
            test::ScriptedAnswers overwrite(QMessageBox::Yes);
            editor.btnSaveChanges->click();
            QCOMPARE(overwrite.answered(), 1);
        }
        QCOMPARE(program.dictionary(), QByteArray("[words]\r\nhello=\\HE\r\n"));
        // The lookup routines see the save at once.
        QCOMPARE(GetDictionaryValue("Words", "hello", "NoEntry"), QString("\\HE"));
    }

    void missingFileOpensEmptyWithoutMessage() {
        Program program;
        test::ScriptedAnswers responder(QMessageBox::Ok);
        FrmDictEdit editor(&program.main);
        editor.show();
        Settle();
        QCOMPARE(editor.EditorText(), QString());
        QCOMPARE(responder.answered(), 0);
        // The first save creates the file.
        QTest::keyClicks(editor.txtDictionary, "[words]");
        editor.btnSaveChanges->click();
        QCOMPARE(program.dictionary(), QByteArray("[words]"));
    }

    void unreadableFileOpensEmptyWithMessage() {
        Program program;
        QVERIFY(QDir(program.folder.path()).mkdir("Verbalyn.Dic"));
        test::ScriptedAnswers responder(QMessageBox::Ok);
        FrmDictEdit editor(&program.main);
        editor.show();
        QTRY_COMPARE(responder.answered(), 1);
        QVERIFY(responder.texts().value(0).contains("could not be read"));
        QCOMPARE(editor.EditorText(), QString());
    }

    void saveAndSortExample() {
        Program program;
        program.folder.write("Verbalyn.Dic", kExample);
        FrmDictEdit editor(&program.main);
        editor.show();
        editor.btnSort->click();
        QCOMPARE(editor.EditorText(), QString("[words]\napple=\nhello=\\HE\n"));
        // The file holds the sorted text, so "Done" has nothing to ask.
        QCOMPARE(program.dictionary(), QByteArray("[words]\r\napple=\r\nhello=\\HE\r\n"));
        QVERIFY(!QApplication::overrideCursor());
        // Sorting again saves the sorted text and changes nothing more.
        editor.btnSort->click();
        QCOMPARE(program.dictionary(), QByteArray("[words]\r\napple=\r\nhello=\\HE\r\n"));
        QCOMPARE(editor.EditorText(), QString("[words]\napple=\nhello=\\HE\n"));

        // A character the 8-bit file cannot hold is saved as "?", and the sorted text shows
        // what the file holds.
        editor.txtDictionary->setPlainText(QString("[words]\nEuro=") + QChar(0x20AC));
        editor.btnSort->click();
        QCOMPARE(program.dictionary(), QByteArray("[words]\r\neuro=?\r\n"));
        QCOMPARE(editor.EditorText(), QString("[words]\neuro=?\n"));
    }

    void eraseBlankEntriesExample() {
        Program program;
        program.folder.write("Verbalyn.Dic", kExample);
        FrmDictEdit editor(&program.main);
        editor.show();
        editor.btnEraseBlank->click();
        QCOMPARE(editor.EditorText(), QString("[words]\nhello=\\HE\n"));
        QCOMPARE(program.dictionary(), kExample);
        QVERIFY(!QApplication::overrideCursor());
        editor.btnSaveChanges->click();
        QCOMPARE(program.dictionary(), QByteArray("[words]\r\nhello=\\HE\r\n"));
    }

    void mixedCaseLooseLinesAndDigitKeys() {
        Program program;
        program.folder.write("Verbalyn.Dic",
                             "[words]\r\nZebra=\\ZZ MixedCase=Kept\r\nSome Loose WORDS\r\n"
                             "4Wheel=\\FO\r\nempty=  \r\n");
        FrmDictEdit editor(&program.main);
        editor.show();
        editor.btnSort->click();
        QCOMPARE(editor.EditorText(), QString("4wheel=\\FO\n"
                                              "[words]\n"
                                              "empty=  \n"
                                              "some loose words\n"
                                              "zebra=\\ZZ MixedCase=Kept\n"));
        editor.btnEraseBlank->click();
        // Erasing saved the sorted text first.
        QCOMPARE(program.dictionary(), QByteArray("4wheel=\\FO\r\n[words]\r\nempty=  \r\n"
                                                  "some loose words\r\n"
                                                  "zebra=\\ZZ MixedCase=Kept\r\n"));
        QCOMPARE(editor.EditorText(), QString("[words]\n"
                                              "4wheel=\\FO\n"
                                              "zebra=\\ZZ MixedCase=Kept\n"));
    }

    void findIgnoresCaseAndRepeatsInSelection() {
        Program program;
        program.folder.write("Verbalyn.Dic", "[words]\r\nhello=\\HE\r\nshell=\\SH\r\n");
        FrmDictEdit editor(&program.main);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));

        auto find = [&](const QString& text, bool cancel = false) {
            auto responder = test::ScriptedAnswers::inputText(text, cancel);
            editor.btnFind->click();
            QCOMPARE(responder.answered(), 1);
            QCOMPARE(responder.titles().value(0), QString("Find"));
            QCOMPARE(responder.texts().value(0), QString("Find:"));
        };
        auto selection = [&] {
            const QTextCursor cursor = editor.txtDictionary->textCursor();
            return std::make_pair(cursor.selectionStart(), cursor.selectionEnd());
        };

        find("HELLO");
        QCOMPARE(selection(), std::make_pair(8, 13));
        QCOMPARE(editor.txtDictionary->textCursor().selectedText(), QString("hello"));
        // Again without moving the caret: the same characters.
        find("HELLO");
        QCOMPARE(selection(), std::make_pair(8, 13));
        // Within the selection only: "ell" of hello, not of shell.
        find("ELL");
        QCOMPARE(selection(), std::make_pair(9, 12));
        // No match, an empty text and a cancelled box change nothing.
        find("shell");
        QCOMPARE(selection(), std::make_pair(9, 12));
        find("");
        QCOMPARE(selection(), std::make_pair(9, 12));
        find("hello", true);
        QCOMPARE(selection(), std::make_pair(9, 12));

        // Moving the caret clears the selection: the whole text is searched again.
        QTextCursor cursor = editor.txtDictionary->textCursor();
        cursor.setPosition(20);
        editor.txtDictionary->setTextCursor(cursor);
        find("SHELL");
        QCOMPARE(editor.txtDictionary->textCursor().selectedText(), QString("shell"));
        QCOMPARE(selection(), std::make_pair(18, 23));
        find("e");
        QCOMPARE(selection(), std::make_pair(20, 21));
        cursor.clearSelection();
        cursor.setPosition(0);
        editor.txtDictionary->setTextCursor(cursor);
        find("E");
        QCOMPARE(selection(), std::make_pair(9, 10));
    }

    void doneAsksAboutUnsavedEdits() {
        Program program;
        program.main.show();
        program.folder.write("Verbalyn.Dic", kExample);
        bool edited = false;
        int asked = -1;
        QTimer::singleShot(100, this, [&] {
            auto* editor = qobject_cast<FrmDictEdit*>(QApplication::activeModalWidget());
            if (editor == nullptr) {
                return;
            }
            QTest::keyClicks(editor->txtDictionary, "kept=\\KE ");
            edited = editor->EditorText().contains("kept=");
            test::ScriptedAnswers yes(QMessageBox::Yes);
            editor->btnDone->click();
            asked = yes.answered();
        });
        // Opened as the main window opens it; "Yes" saves, then closes.
        program.main.btnDictEdit->click();
        QVERIFY(edited);
        QCOMPARE(asked, 1);
        QVERIFY(program.dictionary().startsWith("kept=\\KE [words]"));
        const QByteArray saved = program.dictionary();

        // Cancel keeps the window and the text; No closes and drops the edit; the close box
        // asks as "Done" does.
        FrmDictEdit editor(&program.main);
        editor.show();
        QTest::keyClicks(editor.txtDictionary, "dropped=\\DR");
        {
            test::ScriptedAnswers cancel(QMessageBox::Cancel);
            editor.btnDone->click();
            QCOMPARE(cancel.answered(), 1);
            QCOMPARE(cancel.texts().value(0),
                     QString("The dictionary has changes that are not saved. Save them before "
                             "closing?"));
            QVERIFY(editor.isVisible());
            QVERIFY(editor.EditorText().contains("dropped="));
        }
        {
            test::ScriptedAnswers no(QMessageBox::No);
            editor.close();
            QCOMPARE(no.answered(), 1);
            QVERIFY(!editor.isVisible());
        }
        QCOMPARE(program.dictionary(), saved);

        // Nothing changed, or an edit typed and taken back, or everything saved: no question.
        for (const auto& change : {QString(), QString("x")}) {
            test::ScriptedAnswers none(QMessageBox::Yes);
            FrmDictEdit again(&program.main);
            again.show();
            if (!change.isEmpty()) {
                QTest::keyClicks(again.txtDictionary, change);
                QTest::keyClick(again.txtDictionary, Qt::Key_Backspace);
            }
            again.btnDone->click();
            QCOMPARE(none.answered(), 0);
            QVERIFY(!again.isVisible());
        }
        {
            test::ScriptedAnswers none(QMessageBox::Yes);
            FrmDictEdit sorted(&program.main);
            sorted.show();
            QTest::keyClicks(sorted.txtDictionary, "Zulu=\\ZZ");
            QTest::keyClick(sorted.txtDictionary, Qt::Key_Return);
            sorted.btnSort->click();
            sorted.btnDone->click();
            QCOMPARE(none.answered(), 0);
            QVERIFY(!sorted.isVisible());
            QVERIFY(program.dictionary().endsWith("zulu=\\ZZ\r\n"));
        }
        // A fill that was not saved is a change too.
        {
            FrmDictEdit filled(&program.main);
            filled.show();
            {
                test::ScriptedAnswers report(QMessageBox::Ok);
                filled.cmdFillBlank->click();
                QCOMPARE(report.texts().value(0), QString("1 Entries filled"));
            }
            test::ScriptedAnswers cancel(QMessageBox::Cancel);
            filled.btnDone->click();
            QCOMPARE(cancel.answered(), 1);
            QVERIFY(filled.isVisible());
        }
    }

    void failedSaveKeepsFileAndText() {
        Program program;
        program.folder.write("Verbalyn.Dic", kExample);
        FrmDictEdit editor(&program.main);
        editor.show();
        editor.txtDictionary->setPlainText("[words]\nZebra=\\ZZ\n\nnew=\n");
        // Root ignores folder permissions, so the save goes to a folder that is not there.
        SetProgramFolder(program.folder.path() + "/gone");

        auto press = [&](QPushButton* button) {
            test::ScriptedAnswers responder(QMessageBox::Ok);
            button->click();
            QCOMPARE(responder.answered(), 1);
            QVERIFY(responder.texts().value(0).contains("could not be saved"));
            QVERIFY(!QApplication::overrideCursor());
        };
        press(editor.btnSaveChanges);
        press(editor.btnSort);
        press(editor.btnEraseBlank);
        SetProgramFolder(program.folder.path());

        // Neither the file nor the text changed.
        QCOMPARE(program.dictionary(), kExample);
        QCOMPARE(editor.EditorText(), QString("[words]\nZebra=\\ZZ\n\nnew=\n"));
        // No temporary file left beside it.
        QCOMPARE(QDir(program.folder.path()).entryList({"Verbalyn.Dic*"}, QDir::Files),
                 QStringList({"Verbalyn.Dic"}));

        // Once the folder is back, saving works again.
        editor.btnSaveChanges->click();
        QCOMPARE(program.dictionary(), QByteArray("[words]\r\nZebra=\\ZZ\r\n\r\nnew=\r\n"));
    }

    // "Fill Blank Entries" changes only the blank entries of the editor's text, byte for byte
    // elsewhere, reports the count, saves nothing and can be undone in one step.
    void fillBlankEntriesFillsOnlyBlankOnes() {
        Program program;
        const QByteArray onDisk = "[words]\r\nzebra=\r\n";
        program.folder.write("Verbalyn.Dic", onDisk);
        FrmDictEdit editor(&program.main);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        QCOMPARE(editor.findChild<QPushButton*>("cmdFillBlank"), editor.cmdFillBlank);
        QCOMPARE(editor.cmdFillBlank->text(), QString("Fill Blank Entries"));
        QVERIFY(!editor.cmdFillBlank->geometry().intersects(editor.btnEraseBlank->geometry()));
        QVERIFY(!editor.cmdFillBlank->geometry().intersects(editor.btnFind->geometry()));

        const QString before = QString::fromUtf8(
            "[words]\n"
            "hello=\\HE \\EH \\LO \\OW\n"
            "quillon=\n"
            "\n"
            "a line\twithout equals\xc2\xa0sign\n"
            "Cantora =  \n"
            "[more]\n"
            "kept=\\IY");
        editor.txtDictionary->setPlainText(before);
        editor.txtDictionary->document()->setModified(false);
        const QString quillon = SuggestCodeText("quillon");
        const QString cantora = SuggestCodeText("Cantora");
        QVERIFY(!quillon.isEmpty() && !cantora.isEmpty());

        test::ScriptedAnswers ok(QMessageBox::Ok);
        editor.cmdFillBlank->click();
        QCOMPARE(ok.answered(), 1);
        QCOMPARE(ok.titles(), QStringList("Fill Status"));
        QCOMPARE(ok.texts(), QStringList("2 Entries filled"));
        QCOMPARE(editor.EditorText(), QString::fromUtf8("[words]\n"
                                                        "hello=\\HE \\EH \\LO \\OW\n"
                                                        "quillon=%1\n"
                                                        "\n"
                                                        "a line\twithout equals\xc2\xa0sign\n"
                                                        "Cantora =%2\n"
                                                        "[more]\n"
                                                        "kept=\\IY")
                                          .arg(quillon, cantora));
        QCOMPARE(program.dictionary(), onDisk);
        QVERIFY(editor.txtDictionary->document()->isModified());
        editor.txtDictionary->undo();
        QCOMPARE(editor.EditorText(), before);

        // Nothing blank: nothing changes, and the report says 0.
        editor.txtDictionary->setPlainText("[words]\nkept=\\IY\n");
        test::ScriptedAnswers again(QMessageBox::Ok);
        editor.cmdFillBlank->click();
        QCOMPARE(again.texts(), QStringList("0 Entries filled"));
        QCOMPARE(editor.EditorText(), QString("[words]\nkept=\\IY\n"));
    }

    // A suggestion too long for a look-up is cut to one that reads back whole, and the report
    // says so.
    void fillReportSaysWhenASuggestionIsCut() {
        Program program;
        const QString consonants(200, u'w');  // each "w" says "double u"
        program.folder.write("Verbalyn.Dic", "[words]\r\n" + consonants.toLatin1() + "=\r\n");
        FrmDictEdit editor(&program.main);
        editor.show();
        test::ScriptedAnswers report(QMessageBox::Ok);
        editor.cmdFillBlank->click();
        QCOMPARE(report.texts().value(0),
                 QString("1 Entries filled\n\n1 suggestions were longer than the dictionary "
                         "reads back (2559 characters) and were cut after their last whole code."));
        const QString line = editor.EditorText().split('\n').value(1);
        QVERIFY(line.size() - consonants.size() - 1 <= 2559);
        QVERIFY(
            line.endsWith(SuggestCodeText(consonants).left(line.size() - consonants.size() - 1)));
    }

    void escapeKeepsTheEditorOpen() {
        Program program;
        FrmDictEdit editor(&program.main);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        QTest::keyClicks(editor.txtDictionary, "unsaved=\\UN");
        QTest::keyClick(editor.txtDictionary, Qt::Key_Escape);
        QVERIFY(editor.isVisible());
        QVERIFY(editor.EditorText().contains("unsaved="));
    }

    void changedFileIsNotOverwrittenUnasked() {
        Program program;
        program.folder.write("Verbalyn.Dic", kExample);
        FrmDictEdit editor(&program.main);
        editor.show();
        editor.txtDictionary->setPlainText("[words]\nmine=\\MI\n");
        const QByteArray other = "[words]\r\nother=\\OT\r\n";
        program.folder.write("Verbalyn.Dic", other);
        for (QPushButton* button : {editor.btnSaveChanges, editor.btnSort, editor.btnEraseBlank}) {
            test::ScriptedAnswers no(QMessageBox::No);
            button->click();
            QCOMPARE(no.answered(), 1);
            QCOMPARE(no.titles().value(0), QString("Notice"));
            QCOMPARE(no.texts().value(0), QString("The dictionary was changed by another program "
                                                  "since you opened it. Overwrite it?"));
            QCOMPARE(program.dictionary(), other);
            QCOMPARE(editor.EditorText(), QString("[words]\nmine=\\MI\n"));
            QVERIFY(!QApplication::overrideCursor());
        }
        test::ScriptedAnswers yes(QMessageBox::Yes);
        editor.btnSort->click();
        QCOMPARE(yes.answered(), 1);
        QCOMPARE(program.dictionary(), QByteArray("[words]\r\nmine=\\MI\r\n"));
        // Saved by this editor: the next save asks nothing.
        editor.btnSaveChanges->click();
        QCOMPARE(yes.answered(), 1);
    }

    void untouchedSaveKeepsEveryValue() {
        // Lone CRs, CR LF, bare LF and byte-order marks: every reader splits lines alike.
        const QList<QByteArray> files = {
            "[words]\r\nhello=\\HE\r\\EH\r\nbye=\\BY\n",
            "[words]\rWorld=\\WO\r\rx=1\r\n\ny=2\r",
            "\xEF\xBB\xBF[words]\r\nzed=\\ZZ\r\nAble=\\AB\r\n",
            "\xEF\xBB\xBF\xEF\xBB\xBF[words]\r\nzed=\\ZZ\r\n[Words]\r\nzed=\\Z2\r\n",
            "a=0\n\r[Words]\r\r\nkey=\\K1\rkey=\\K2\n",
        };
        for (const QByteArray& file : files) {
            Program program;
            program.folder.write("Verbalyn.Dic", file);
            const QStringList keys = {"hello", "bye", "world", "x", "y", "zed", "able", "key", "a"};
            QStringList before;
            for (const QString& key : keys) {
                before.append(GetDictionaryValue("Words", key, "NoEntry"));
            }
            FrmDictEdit editor(&program.main);
            editor.btnSaveChanges->click();
            QStringList after;
            for (const QString& key : keys) {
                after.append(GetDictionaryValue("Words", key, "NoEntry"));
            }
            QCOMPARE(after, before);
            // Sorting keeps the header at the top, byte-order mark or not.
            editor.btnSort->click();
            QVERIFY(editor.EditorText().startsWith("[words]") || file.startsWith("a=0"));
        }
    }

    void unstorableNamesAreRefused() {
        Program program;
        program.folder.write("Verbalyn.Dic", kExample);
        FrmDictEdit editor(&program.main);
        editor.txtDictionary->setPlainText(QString("[words]\nok=\\OK\nw") + QChar(0x142) +
                                           "=\\WU\n");
        for (QPushButton* button : {editor.btnSaveChanges, editor.btnSort}) {
            test::ScriptedAnswers ok(QMessageBox::Ok);
            button->click();
            QCOMPARE(ok.answered(), 1);
            QCOMPARE(ok.texts().value(0), QString("The character \"") + QChar(0x142) +
                                              "\" on line 3 cannot be stored in the dictionary "
                                              "file.  Nothing was saved.");
            QCOMPARE(program.dictionary(), kExample);
        }
    }
};

QTEST_MAIN(DictEditorTest)
#include "dict_editor_test.moc"
