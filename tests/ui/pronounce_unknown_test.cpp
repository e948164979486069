// "Pronounce unknown words" in the phrase editor: with the box checked the says, the code views
// and the WAV file say the words the dictionary lacks by the pronouncer's rules; unchecked they
// are left out as always; the choice reaches the settings file only once the user touches it.

#include <QApplication>
#include <QFile>
#include <QTest>
#include <QTimer>

#include "core/chip/wav_file.h"
#include "core/codes/code_table.h"
#include "core/codes/code_text.h"
#include "core/codes/palette_table.h"
#include "core/files/profile.h"
#include "core/pronounce/pronouncer.h"
#include "support/test_support.h"
#include "ui/codes/frm_codes.h"
#include "ui/common/widgets.h"
#include "ui/main/frm_utility.h"
#include "ui/phrase/frm_phrase.h"

using namespace cantora;

namespace {

const QByteArray kPrefix("\x14\x60\x15\x72\x16\x58\x17\x05", 8);
const QByteArray kDictionary =
    "[words]\r\nhello=\\HE \\EH \\LO \\OW\r\nworld=\\WW \\AXRR \\LE \\DE\r\n";
const QString kHello = "\\HE \\EH \\LO \\OW";
const QString kWorld = "\\WW \\AXRR \\LE \\DE";

struct Rig {
    test::TempProgramFolder folder;
    std::shared_ptr<test::PortRecord> record = std::make_shared<test::PortRecord>();
    std::unique_ptr<FrmUtility> main;
    std::unique_ptr<FrmPhrase> window;

    Rig() {
        folder.write("Verbalyn.Dic", kDictionary);
        profile::ClearCache();
        open();
    }
    void open() {
        window.reset();
        main = std::make_unique<FrmUtility>(std::make_unique<test::RecordingPort>(record));
        main->sender().setInterByteDelayMs(0);
        palette::SetSkipNextControls(false);
        window = std::make_unique<FrmPhrase>(*main, main.get());
        window->show();
        QApplication::processEvents();
    }
    QByteArray say(const QString& text) {
        window->txtSayData->setPlainText(text);
        record->written.clear();
        window->bntSayIt->click();
        return record->written;
    }
};

}  // namespace

class PronounceUnknownTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { LoadCodeNames(); }
    void saysUnknownWordsOnlyWhenChecked();
    void codeViewsAndWavFollowTheBox();
    void choiceKeptOnlyOnceTouched();
};

void PronounceUnknownTest::saysUnknownWordsOnlyWhenChecked() {
    Rig rig;
    FrmPhrase& w = *rig.window;
    QCOMPARE(w.findChild<QCheckBox*>("chkPronounceUnknown"), w.chkPronounceUnknown);
    QCOMPARE(w.chkPronounceUnknown->text(), QString("Pronounce unknown words"));
    QCOMPARE(w.chkPronounceUnknown->parentWidget(), w.Frame10);
    QVERIFY(w.Frame10->contentsRect().contains(w.chkPronounceUnknown->geometry()));
    for (QWidget* other : w.Frame10->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (other != w.chkPronounceUnknown && other->isVisible()) {
            QVERIFY2(!other->geometry().intersects(w.chkPronounceUnknown->geometry()),
                     qPrintable(other->objectName()));
        }
    }
    QVERIFY(!w.chkPronounceUnknown->isChecked());

    // Unchecked: the word is left out, exactly as before.
    const QByteArray plain = kPrefix + CodeTextToBytes(kHello + " " + kWorld);
    QCOMPARE(rig.say("hello cantora world"), plain);
    QCOMPARE(w.lblUnknownWords->text(), QString("Not in the dictionary: cantora"));

    // Checked: the suggestion stands between the two entries.
    const QString suggestion = SuggestCodeText("cantora");
    QVERIFY(!CodeTextToBytes(suggestion).isEmpty());
    QTest::mouseClick(w.chkPronounceUnknown, Qt::LeftButton);
    QVERIFY(w.chkPronounceUnknown->isChecked());
    QCOMPARE(rig.say("hello cantora world"),
             kPrefix + CodeTextToBytes(kHello + " " + suggestion + " " + kWorld));
    QCOMPARE(w.lblUnknownWords->text(), QString("Pronounced by the rules: cantora"));
    QTest::mouseClick(w.lblUnknownWords, Qt::LeftButton);
    QCOMPARE(w.txtDict->text(), QString("cantora"));

    // The dictionary's entry wins over the rules, whatever the letter case typed.
    QCOMPARE(rig.say("HELLO"), kPrefix + CodeTextToBytes(kHello));
    QCOMPARE(w.lblUnknownWords->text(), QString());

    // "Say Selection" takes the same road.
    w.txtSayData->setPlainText("world cantora");
    QTextCursor cursor = w.txtSayData->textCursor();
    cursor.setPosition(6);
    cursor.setPosition(13, QTextCursor::KeepAnchor);
    w.txtSayData->setTextCursor(cursor);
    rig.record->written.clear();
    w.btnSaySelection->click();
    QCOMPARE(rig.record->written, kPrefix + CodeTextToBytes(suggestion));
}

void PronounceUnknownTest::codeViewsAndWavFollowTheBox() {
    Rig rig;
    FrmPhrase& w = *rig.window;
    const QString suggestion = SuggestCodeText("cantora");
    const QByteArray withRules = kPrefix + CodeTextToBytes(kHello + " " + suggestion);
    w.chkPronounceUnknown->click();
    w.txtSayData->setPlainText("hello cantora");

    // The view hands over the codes and the phrase they came from.
    QString shown;
    auto* timer = new QTimer(&w);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, &shown] {
        if (auto* codes = qobject_cast<FrmCodes*>(QApplication::activeModalWidget())) {
            timer->stop();
            shown = codes->txtCodes->toPlainText();
            codes->close();
        }
    });
    timer->start();
    w.btnCodes->click();
    QStringList numbers;
    for (char byte : withRules) {
        numbers << QString::number(static_cast<unsigned char>(byte));
    }
    QCOMPARE(shown, numbers.join(", "));
    QCOMPARE(rig.main->QuillonPhrase, QString("hello cantora"));

    // "Save WAV…" renders the same bytes.
    const QString wav = rig.folder.file("rules.wav");
    const QString expected = rig.folder.file("expected.wav");
    QVERIFY(chip::RenderBytesToWav(withRules, expected));
    {
        test::ScriptedFileAnswer answer(wav);
        w.cmdSaveWav->click();
    }
    QCOMPARE(rig.folder.read("rules.wav"), rig.folder.read("expected.wav"));
}

void PronounceUnknownTest::choiceKeptOnlyOnceTouched() {
    Rig rig;
    // Opening, saying and closing leave no settings file behind the box.
    rig.say("hello cantora");
    rig.window->close();
    rig.open();
    QVERIFY(!rig.folder.read("Verbalyn.ini").contains("PronounceUnknown"));
    QVERIFY(!rig.window->chkPronounceUnknown->isChecked());

    QTest::mouseClick(rig.window->chkPronounceUnknown, Qt::LeftButton);
    QVERIFY(rig.folder.read("Verbalyn.ini").contains("[Phrase]\r\nPronounceUnknown=1\r\n"));
    // The next opening starts as the user left it.
    rig.open();
    QVERIFY(rig.window->chkPronounceUnknown->isChecked());
    QCOMPARE(rig.say("cantora"), kPrefix + CodeTextToBytes(SuggestCodeText("cantora")));
    QTest::mouseClick(rig.window->chkPronounceUnknown, Qt::LeftButton);
    QVERIFY(rig.folder.read("Verbalyn.ini").contains("PronounceUnknown=0\r\n"));
    rig.open();
    QVERIFY(!rig.window->chkPronounceUnknown->isChecked());
}

QTEST_MAIN(PronounceUnknownTest)
#include "pronounce_unknown_test.moc"
