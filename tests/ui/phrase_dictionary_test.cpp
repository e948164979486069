// The phrase editor's "Dictionary" group on a real dictionary file in a temporary program folder:
// stepping word by word (wrap-around, partial words, mixed case, empty and missing
// dictionaries), loading words into the phrase and saving the phrase as a word.

#include <QApplication>
#include <QTest>

#include "core/codes/code_table.h"
#include "core/codes/code_text.h"
#include "core/codes/palette_table.h"
#include "core/files/profile.h"
#include "core/pronounce/pronouncer.h"
#include "support/test_support.h"
#include "ui/common/widgets.h"
#include "ui/main/frm_utility.h"
#include "ui/phrase/frm_phrase.h"

using namespace cantora;
using test::Bytes;

namespace {

const QByteArray kPrefix("\x14\x60\x15\x72\x16\x58\x17\x05", 8);

const QByteArray kDictionary =
    "[words]\r\n"
    "hello=\\HE \\EH \\LO \\OW\r\n"
    "Apple=\\AY \\PE \\LE\r\n"
    "zebra=\\ZZ \\IY \\BE \\RR \\AX\r\n"
    "help=\\HE \\EH \\LE \\PE\r\n"
    "\r\n"
    "ice cream=\\OHIH \\SE\r\n";

struct Rig {
    test::TempProgramFolder folder;
    std::shared_ptr<test::PortRecord> record = std::make_shared<test::PortRecord>();
    FrmUtility main{std::make_unique<test::RecordingPort>(record)};
    FrmPhrase window{main, &main};

    explicit Rig(const QByteArray& dictionary = kDictionary) {
        folder.write("Verbalyn.Dic", dictionary);
        profile::ClearCache();
        main.sender().setInterByteDelayMs(0);
        palette::SetSkipNextControls(false);
        window.show();
        QApplication::processEvents();
    }
    // One press of "Load && Say  Next Word" starting from `word`.
    QString step(const QString& word) {
        window.txtDict->setText(word);
        record->written.clear();
        window.btnNextWord->click();
        return window.txtDict->text();
    }
};

}  // namespace

class PhraseDictionaryTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { LoadCodeNames(); }
    void stepsInKeyOrderAndSpeaks();
    void stepWrapsAround();
    void emptyOrMissingDictionaryEndsTheSearch();
    void loadInsertAndOverwrite();
    void saveStoresThePhrase();
    void saveRefusals();
    void unknownWordsListedAndSuggested();
    void phraseLongerThanALookUpAsksFirst();
};

void PhraseDictionaryTest::stepsInKeyOrderAndSpeaks() {
    Rig rig;
    // Empty box: the first key, shown lower-cased, loaded and spoken.
    rig.window.txtSayData->setPlainText("old phrase");
    QCOMPARE(rig.step(""), QString("apple"));
    QCOMPARE(rig.window.txtSayData->toPlainText(), QString("\\AY \\PE \\LE "));
    QCOMPARE(rig.record->written, kPrefix + Bytes({132, 198, 145}));
    QCOMPARE(rig.window.focusWidget(), rig.window.txtSayData);

    QCOMPARE(rig.step("apple"), QString("hello"));
    QCOMPARE(rig.record->written, kPrefix + Bytes({183, 131, 146, 137}));
    QCOMPARE(rig.step("hello"), QString("help"));
    // Part of a word, and a word typed in capitals, continue from where they sort.
    QCOMPARE(rig.step("hel"), QString("hello"));
    QCOMPARE(rig.step("APPLE"), QString("hello"));
    QCOMPARE(rig.step("b"), QString("hello"));
    // A key with a blank is reached; loading it takes its parts as separate words.
    QCOMPARE(rig.step("help"), QString("ice cream"));
    QCOMPARE(rig.window.txtSayData->toPlainText(), QString("  "));
    QCOMPARE(rig.record->written, kPrefix);
    QCOMPARE(rig.step("ice cream"), QString("zebra"));
}

void PhraseDictionaryTest::stepWrapsAround() {
    Rig rig;
    QCOMPARE(rig.step("zebra"), QString("apple"));
    QCOMPARE(rig.step("zzz"), QString("apple"));
    QCOMPARE(rig.step("zzzzzzzzz!!!"), QString("apple"));
    QCOMPARE(rig.step("  zzzzzzzzz!!!  "), QString("apple"));
    QCOMPARE(rig.window.txtSayData->toPlainText(), QString("\\AY \\PE \\LE "));

    // Keys that differ only in case are one position of the order.
    Rig cased("[words]\r\nBeta=\\BE\r\nbeta=\\IY\r\nALPHA=\\AX\r\n");
    QCOMPARE(cased.step(""), QString("alpha"));
    QCOMPARE(cased.step("alpha"), QString("beta"));
    QCOMPARE(cased.step("beta"), QString("alpha"));
}

void PhraseDictionaryTest::emptyOrMissingDictionaryEndsTheSearch() {
    for (const QByteArray& contents : {QByteArray("[words]\r\n\r\n"), QByteArray()}) {
        Rig rig(contents);
        rig.window.txtSayData->setPlainText("\\IY my phrase");
        test::ScriptedAnswers ok(QMessageBox::Ok);
        QCOMPARE(rig.step("hello"), QString("hello"));
        QCOMPARE(ok.answered(), 1);
        QCOMPARE(ok.titles().value(0), ProgramTitle());
        QVERIFY(ok.texts().value(0).contains("no words"));
        QCOMPARE(rig.window.txtSayData->toPlainText(), QString("\\IY my phrase"));
        QVERIFY(rig.record->written.isEmpty());
        QVERIFY(rig.window.txtDict->isEnabled() && rig.window.btnNextWord->isEnabled());
    }
    {
        Rig rig;
        QFile::remove(rig.folder.file("Verbalyn.Dic"));
        rig.window.txtSayData->setPlainText("kept");
        test::ScriptedAnswers ok(QMessageBox::Ok);
        QCOMPARE(rig.step("hello"), QString("hello"));
        QCOMPARE(ok.answered(), 1);
        QVERIFY(ok.texts().value(0).contains("cannot be read"));
        QCOMPARE(rig.window.txtSayData->toPlainText(), QString("kept"));
        QVERIFY(rig.record->written.isEmpty());
    }
}

void PhraseDictionaryTest::loadInsertAndOverwrite() {
    Rig rig;
    FrmPhrase& w = rig.window;
    w.txtSayData->setPlainText("\\P1 \\P2");
    QTextCursor cursor = w.txtSayData->textCursor();
    cursor.setPosition(3);
    w.txtSayData->setTextCursor(cursor);
    w.txtDict->setText("  Hello   nosuchword zebra ");
    w.cmdLoadInsert->click();
    QCOMPARE(w.txtSayData->toPlainText(),
             QString("\\P1 \\HE \\EH \\LO \\OW  \\ZZ \\IY \\BE \\RR \\AX \\P2"));
    QCOMPARE(w.focusWidget(), w.txtSayData);
    QVERIFY(rig.record->written.isEmpty());

    w.txtDict->setText("help");
    w.cmdLoadOver->click();
    QCOMPARE(w.txtSayData->toPlainText(), QString("\\HE \\EH \\LE \\PE "));
    // An empty word box loads nothing; Overwrite still empties the phrase.
    w.txtDict->setText("   ");
    w.cmdLoadInsert->click();
    QCOMPARE(w.txtSayData->toPlainText(), QString("\\HE \\EH \\LE \\PE "));
    w.cmdLoadOver->click();
    QVERIFY(w.txtSayData->toPlainText().isEmpty());
}

void PhraseDictionaryTest::saveStoresThePhrase() {
    Rig rig;
    FrmPhrase& w = rig.window;
    w.txtDict->setText("  robot ");
    w.txtSayData->setPlainText(" \\RR \\OW \\BO \\UX \\TT ");
    w.cmdSave->click();
    QCOMPARE(GetDictionaryValue("Words", "robot", "none"), QString("\\RR \\OW \\BO \\UX \\TT"));
    QVERIFY(rig.folder.read("Verbalyn.Dic").contains("\r\nrobot= \\RR \\OW \\BO \\UX \\TT \r\n"));
    QCOMPARE(w.focusWidget(), w.txtSayData);
    // Replacing an entry keeps the rest of the file; a phrase over several lines becomes one.
    w.txtDict->setText("HELLO");
    w.txtSayData->setPlainText("\\HE \\EH\n\\LO\n\n\\OW");
    w.cmdSave->click();
    QCOMPARE(GetDictionaryValue("Words", "hello", "none"), QString("\\HE \\EH \\LO  \\OW"));
    QCOMPARE(GetDictionaryValue("Words", "zebra", "none"), QString("\\ZZ \\IY \\BE \\RR \\AX"));
    QCOMPARE(GetDictionaryValue("Words", "robot", "none"), QString("\\RR \\OW \\BO \\UX \\TT"));
    // An empty phrase stores the word with empty data; stepping to it loads one blank.
    w.txtDict->setText("quiet");
    w.txtSayData->clear();
    w.cmdSave->click();
    QCOMPARE(GetDictionaryValue("Words", "quiet", "none"), QString());
    QCOMPARE(rig.step("q"), QString("quiet"));
    QCOMPARE(w.txtSayData->toPlainText(), QString(" "));
    // An empty word box saves nothing and asks nothing.
    const QByteArray before = rig.folder.read("Verbalyn.Dic");
    test::ScriptedAnswers none(QMessageBox::Ok);
    w.txtDict->setText("   ");
    w.txtSayData->setPlainText("\\IY");
    w.cmdSave->click();
    QCOMPARE(none.answered(), 0);
    QCOMPARE(rig.folder.read("Verbalyn.Dic"), before);
}

void PhraseDictionaryTest::saveRefusals() {
    Rig rig;
    FrmPhrase& w = rig.window;
    w.txtSayData->setPlainText("\\IY");
    for (const char* word : {" two words ", "a=b", "[x"}) {
        const QByteArray before = rig.folder.read("Verbalyn.Dic");
        test::ScriptedAnswers ok(QMessageBox::Ok);
        w.txtDict->setText(word);
        w.cmdSave->click();
        QCOMPARE(ok.answered(), 1);
        QCOMPARE(ok.titles().value(0), ProgramTitle());
        if (QString(word).contains("two")) {
            QCOMPARE(
                ok.texts().value(0),
                QString("Cannot save mutil-word Dictionary entries.  Remove the spaces and try "
                        "again."));
        }
        QCOMPARE(rig.folder.read("Verbalyn.Dic"), before);
        QCOMPARE(w.focusWidget(), w.txtSayData);
    }
    // A character the file cannot hold is named, and nothing is written.
    const QByteArray before = rig.folder.read("Verbalyn.Dic");
    test::ScriptedAnswers ok(QMessageBox::Ok);
    w.txtDict->setText(QString("w") + QChar(0x142) + "o");
    w.cmdSave->click();
    QCOMPARE(ok.answered(), 1);
    QCOMPARE(ok.texts().value(0), QString("The character \"") + QChar(0x142) +
                                      "\" cannot be stored in the dictionary file.  Nothing "
                                      "was saved.");
    QCOMPARE(rig.folder.read("Verbalyn.Dic"), before);
}

// The round of a word the dictionary lacks: "Say It" lists it under the phrase, a click on the
// list puts it into the word box, "Suggest" puts its suggestion into the phrase and says it, and
// "Save" takes it off the list.
void PhraseDictionaryTest::unknownWordsListedAndSuggested() {
    Rig rig("[words]\r\nhello=\\HE \\EH \\LO \\OW\r\nworld=\\WW \\AXRR \\LE \\DE\r\n");
    FrmPhrase& w = rig.window;
    QCOMPARE(w.findChild<QPushButton*>("cmdSuggest"), w.cmdSuggest);
    QCOMPARE(w.findChild<QLabel*>("lblUnknownWords"), w.lblUnknownWords);
    QVERIFY(!w.cmdSuggest->geometry().intersects(w.btnNextWord->geometry()));
    QVERIFY(!w.cmdSuggest->geometry().intersects(w.cmdSave->geometry()));
    QVERIFY(!w.lblUnknownWords->geometry().intersects(w.txtSayData->geometry()));
    QVERIFY(w.Frame10->contentsRect().contains(w.lblUnknownWords->geometry()));

    w.txtSayData->setPlainText("hello cantora world");
    w.bntSayIt->click();
    QCOMPARE(w.lblUnknownWords->text(), QString("Not in the dictionary: cantora"));
    QCOMPARE(rig.record->written,
             kPrefix + CodeTextToBytes("\\HE \\EH \\LO \\OW \\WW \\AXRR \\LE \\DE"));

    // An empty word box: Suggest does nothing.
    rig.record->written.clear();
    w.cmdSuggest->click();
    QCOMPARE(w.txtSayData->toPlainText(), QString("hello cantora world"));
    QCOMPARE(rig.record->written, QByteArray());

    QTest::mouseClick(w.lblUnknownWords, Qt::LeftButton);
    QCOMPARE(w.txtDict->text(), QString("cantora"));
    const QString suggestion = SuggestCodeText("cantora");
    QVERIFY(suggestion.startsWith("\\"));
    w.cmdSuggest->click();
    QCOMPARE(w.txtSayData->toPlainText(), suggestion + " ");
    const QByteArray said = CodeTextToBytes(suggestion);
    QCOMPARE(said.size(), suggestion.count('\\'));  // every token a code
    QCOMPARE(rig.record->written, kPrefix + said);
    QVERIFY(w.cmdSuggest->isEnabled());
    QCOMPARE(w.focusWidget(), w.txtSayData);

    w.cmdSave->click();
    QCOMPARE(w.lblUnknownWords->text(), QString());
    // Said again, the word is no longer left out.
    w.txtSayData->setPlainText("Hello, Cantora; hello don't e-mail");
    rig.record->written.clear();
    w.bntSayIt->click();
    QCOMPARE(w.lblUnknownWords->text(), QString("Not in the dictionary: dont, email"));
    QVERIFY(rig.record->written.contains(said));
}

void PhraseDictionaryTest::phraseLongerThanALookUpAsksFirst() {
    Rig rig;
    FrmPhrase& w = rig.window;
    const QByteArray before = rig.folder.read("Verbalyn.Dic");
    // 2559 characters are read back whole, blanks at the ends aside: no question.
    const QString fits = QString("\\AX ").repeated(639) + "\\OW";
    QCOMPARE(fits.size(), 2559);
    w.txtDict->setText("fits");
    w.txtSayData->setPlainText("  " + fits + "   ");
    {
        test::ScriptedAnswers none(QMessageBox::Yes);
        w.cmdSave->click();
        QCOMPARE(none.answered(), 0);
    }
    QCOMPARE(GetDictionaryValue("Words", "fits", "none"), fits);

    // One more character: asked first; "No" stores nothing, "Yes" stores the phrase.
    const QString longer = fits + "W";
    w.txtDict->setText("longer");
    w.txtSayData->setPlainText(longer);
    {
        test::ScriptedAnswers no(QMessageBox::No);
        w.cmdSave->click();
        QCOMPARE(no.answered(), 1);
        QVERIFY2(no.texts().value(0).startsWith(
                     "Only the first 2559 characters of this phrase will be read back"),
                 qPrintable(no.texts().value(0)));
    }
    QCOMPARE(GetDictionaryValue("Words", "longer", "none"), QString("none"));
    {
        test::ScriptedAnswers yes(QMessageBox::Yes);
        w.cmdSave->click();
        QCOMPARE(yes.answered(), 1);
    }
    QCOMPARE(GetDictionaryValue("Words", "longer", "none"), fits);
    QVERIFY(rig.folder.read("Verbalyn.Dic").contains("longer=" + longer.toLatin1() + "\r\n"));
}

QTEST_MAIN(PhraseDictionaryTest)
#include "phrase_dictionary_test.moc"
