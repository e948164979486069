// The word import of the dictionary editor, with a real word list in a temporary current
// folder and a real dictionary file.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "core/codes/code_table.h"
#include "core/files/profile.h"
#include "core/pronounce/pronouncer.h"
#include "support/test_support.h"
#include "ui/common/widgets.h"
#include "ui/dictionary/frm_dict_edit.h"
#include "ui/main/frm_utility.h"
#include "ui/phrase/frm_phrase.h"

using namespace cantora;

namespace {

struct Program {
    test::TempProgramFolder folder;
    std::shared_ptr<test::PortRecord> record = std::make_shared<test::PortRecord>();
    FrmUtility main{std::make_unique<test::RecordingPort>(record)};
};

}  // namespace

class DictImportTest : public QObject {
    Q_OBJECT

  private:
    QString savedCurrent_;
    std::unique_ptr<QTemporaryDir> current_;

    void writeWordList(const QByteArray& bytes) {
        QFile file(current_->filePath("ImportWords.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }

    // Presses "Import New Words" and answers the report; returns the report's text.
    QString import(FrmDictEdit& editor) {
        test::ScriptedAnswers responder(QMessageBox::Ok);
        editor.btnReadTerms->click();
        if (responder.answered() != 1) {
            return "no message";
        }
        if (responder.titles().value(0) != "Import Status") {
            return "title " + responder.titles().value(0);
        }
        return responder.texts().value(0);
    }

  private slots:
    void init() {
        savedCurrent_ = QDir::currentPath();
        current_ = std::make_unique<QTemporaryDir>();
        QVERIFY(current_->isValid());
        QVERIFY(QDir::setCurrent(current_->path()));
    }

    void cleanup() {
        QDir::setCurrent(savedCurrent_);
        current_.reset();
    }

    void wordsOfALineInOrder() {
        Program program;
        program.folder.write("Verbalyn.Dic", "[words]\r\nworld=\\WW\r\n");
        writeWordList("Hello, world! It's 3pm\r\n");
        FrmDictEdit editor(&program.main);
        editor.show();
        QCOMPARE(import(editor), QString("4 Words added"));
        QCOMPARE(editor.EditorText(), QString("[words]\nworld=\\WW\nhello=\nit=\ns=\npm=\n"));
        // Only the text changed: the dictionary and the word list stay as they were.
        QCOMPARE(program.folder.read("Verbalyn.Dic"), QByteArray("[words]\r\nworld=\\WW\r\n"));
        QVERIFY(editor.btnReadTerms->isEnabled());
        QVERIFY(!QApplication::overrideCursor());
    }

    void wordsDifferingInCaseAreOneWord() {
        Program program;
        program.folder.write("Verbalyn.Dic", "[words]\r\n");
        writeWordList("Apple\r\nAPPLE apple\r\n");
        FrmDictEdit editor(&program.main);
        editor.show();
        QCOMPARE(import(editor), QString("3 Words added"));
        QCOMPARE(editor.EditorText(), QString("[words]\napple=\napple=\napple=\n"));
    }

    void knownWordsAreNotAdded() {
        Program program;
        // A blank entry counts as known, in whatever case it was stored; a value that is the
        // text NoEntry counts as absent.
        program.folder.write("Verbalyn.Dic",
                             "[words]\r\nHello=\r\nodd=NoEntry\r\nspaced=  NoEntry  \r\n");
        writeWordList("hello HELLO odd spaced\r\n");
        FrmDictEdit editor(&program.main);
        editor.show();
        const QString before = editor.EditorText();
        QCOMPARE(import(editor), QString("2 Words added"));
        QCOMPARE(editor.EditorText(), before + "odd=\nspaced=\n");
    }

    void twoImportsWithoutSavingAppendTwice() {
        Program program;
        program.folder.write("Verbalyn.Dic", "[words]\r\n");
        writeWordList("alpha beta");
        FrmDictEdit editor(&program.main);
        editor.show();
        QCOMPARE(import(editor), QString("2 Words added"));
        QCOMPARE(import(editor), QString("2 Words added"));
        QCOMPARE(editor.EditorText(), QString("[words]\nalpha=\nbeta=\nalpha=\nbeta=\n"));

        // Once saved, the words are known.
        editor.btnSaveChanges->click();
        QCOMPARE(import(editor), QString("0 Words added"));
    }

    // The three steps of teaching the dictionary new words, from a program folder without a
    // dictionary, then a phrase of the new words: it must say them.
    void firstDictionaryIsReadBack() {
        LoadCodeNames();
        Program program;
        writeWordList("Hello world\r\n");
        {
            FrmDictEdit editor(&program.main);
            editor.show();
            QCOMPARE(import(editor), QString("2 Words added"));
            test::ScriptedAnswers filled(QMessageBox::Ok);
            editor.cmdFillBlank->click();
            QCOMPARE(filled.texts().value(0), QString("2 Entries filled"));
            editor.btnSort->click();
            editor.btnDone->click();
            QVERIFY(!editor.isVisible());
        }
        profile::ClearCache();
        const QString hello = SuggestCodeText("hello");
        const QString world = SuggestCodeText("world");
        QCOMPARE(GetDictionaryValue("Words", "hello", "none"), hello);
        QCOMPARE(GetDictionaryValue("Words", "world", "none"), world);

        program.main.sender().setInterByteDelayMs(0);
        FrmPhrase phrase(program.main, &program.main);
        phrase.show();
        phrase.txtSayData->setPlainText(hello + " " + world);
        phrase.bntSayIt->click();
        const QByteArray codes = program.record->written;
        QVERIFY(codes.size() > 10);
        program.record->written.clear();
        phrase.txtSayData->setPlainText("hello world");
        phrase.bntSayIt->click();
        QCOMPARE(program.record->written, codes);
        QVERIFY(phrase.lblUnknownWords->text().isEmpty());

        // The word box's "Save" changes the entry in place: one header, one "hello".
        phrase.txtDict->setText("hello");
        phrase.txtSayData->setPlainText("\\HE \\EH \\LO \\OW");
        phrase.cmdSave->click();
        const QByteArray file = program.folder.read("Verbalyn.Dic").toLower();
        QCOMPARE(file.count("[words]"), 1);
        QCOMPARE(file.count("hello="), 1);
        QVERIFY(file.startsWith("[words]\r\n"));
    }

    // Where the header goes when the text has none for words; text with one keeps its form.
    void importAddsTheWordsHeaderWhereNeeded_data() {
        QTest::addColumn<QByteArray>("dictionary");
        QTest::addColumn<QString>("after");
        QTest::newRow("loose entries") << QByteArray("old=\\OL") << "[words]\nold=\\OL\nnew=\n";
        QTest::newRow("other section only")
            << QByteArray("[Other]\r\nx=1\r\n") << "[Other]\nx=1\n[words]\nnew=\n";
        QTest::newRow("header in other case, entries above it")
            << QByteArray("top=\\TT\r\n  [ Words ]\r\n") << "top=\\TT\n  [ Words ]\nnew=\n";
    }
    void importAddsTheWordsHeaderWhereNeeded() {
        QFETCH(QByteArray, dictionary);
        QFETCH(QString, after);
        Program program;
        program.folder.write("Verbalyn.Dic", dictionary);
        writeWordList("new");
        FrmDictEdit editor(&program.main);
        editor.show();
        QCOMPARE(import(editor), QString("1 Words added"));
        QCOMPARE(editor.EditorText(), after);
        editor.btnSaveChanges->click();
        profile::ClearCache();
        QCOMPARE(GetDictionaryValue("Words", "new", "none"), QString());
        // Undo takes the import back whole, header and all.
        editor.txtDictionary->undo();
        QCOMPARE(editor.EditorText(), QString::fromLatin1(dictionary).replace("\r\n", "\n"));
    }

    void emptyAndMissingWordLists() {
        Program program;
        program.folder.write("Verbalyn.Dic", "[words]\r\nzebra=\\ZZ");
        FrmDictEdit editor(&program.main);
        editor.show();
        const QString before = editor.EditorText();

        // Missing: created empty.
        const QString listPath = current_->filePath("ImportWords.txt");
        QVERIFY(!QFile::exists(listPath));
        QCOMPARE(import(editor), QString("0 Words added"));
        QVERIFY(QFile::exists(listPath));
        QCOMPARE(QFileInfo(listPath).size(), 0);
        QCOMPARE(editor.EditorText(), before);

        // Present but without letters.
        writeWordList("123, 456 -- !!\r\n\r\n");
        QCOMPARE(import(editor), QString("0 Words added"));
        QCOMPARE(editor.EditorText(), before);
    }

    void lastLineWithoutLineEnd() {
        Program program;
        program.folder.write("Verbalyn.Dic", "[words]\r\nzebra=\\ZZ");
        writeWordList("new\r\nother");
        FrmDictEdit editor(&program.main);
        editor.show();
        QCOMPARE(import(editor), QString("2 Words added"));
        QCOMPARE(editor.EditorText(), QString("[words]\nzebra=\\ZZ\nnew=\nother=\n"));
        editor.btnSaveChanges->click();
        QCOMPARE(program.folder.read("Verbalyn.Dic"),
                 QByteArray("[words]\r\nzebra=\\ZZ\r\nnew=\r\nother=\r\n"));

        // An empty editor gets no empty first line, only the header the entries need.
        editor.txtDictionary->clear();
        writeWordList("solo");
        QCOMPARE(import(editor), QString("1 Words added"));
        QCOMPARE(editor.EditorText(), QString("[words]\nsolo=\n"));
    }

    void buttonDisabledAndBusyDuringImport() {
        Program program;
        writeWordList("word");
        FrmDictEdit editor(&program.main);
        editor.show();
        bool seen = false;
        bool disabled = false;
        bool busy = false;
        // Runs in the one event pass the import allows before its work.
        QTimer::singleShot(0, this, [&] {
            seen = true;
            disabled = !editor.btnReadTerms->isEnabled();
            busy = QApplication::overrideCursor() != nullptr &&
                   QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        });
        QCOMPARE(import(editor), QString("1 Words added"));
        QVERIFY(seen);
        QVERIFY(disabled);
        QVERIFY(busy);
        QVERIFY(editor.btnReadTerms->isEnabled());
        QVERIFY(!QApplication::overrideCursor());
    }

    void unreadableWordListChangesNothing() {
        Program program;
        program.folder.write("Verbalyn.Dic", "[words]\r\n");
        QVERIFY(QDir(current_->path()).mkdir("ImportWords.txt"));
        FrmDictEdit editor(&program.main);
        editor.show();
        test::ScriptedAnswers responder(QMessageBox::Ok);
        editor.btnReadTerms->click();
        QCOMPARE(responder.answered(), 1);
        QVERIFY(responder.texts().value(0).contains("could not be read"));
        QCOMPARE(editor.EditorText(), QString("[words]\n"));
        QVERIFY(editor.btnReadTerms->isEnabled());
        QVERIFY(!QApplication::overrideCursor());
    }

    void wordListThatCannotBeCreated() {
        Program program;
        FrmDictEdit editor(&program.main);
        editor.show();
        // A current folder that has gone away: nothing can be created in it.
        QTemporaryDir doomed;
        QVERIFY(QDir::setCurrent(doomed.path()));
        QVERIFY(doomed.remove());
        test::ScriptedAnswers responder(QMessageBox::Ok);
        editor.btnReadTerms->click();
        QCOMPARE(responder.answered(), 1);
        QVERIFY(responder.texts().value(0).contains("could not be created"));
        QCOMPARE(editor.EditorText(), QString());
    }
};

QTEST_MAIN(DictImportTest)
#include "dict_import_test.moc"
