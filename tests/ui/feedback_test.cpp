// Feedback and keys where the user works: the child windows' link indicator, the phrase editor's
// word on a port that cannot open, Return on a focused button, Suggest as one undo step, preset
// names offered and an unknown one named, and a device typed into the port list.

#include <QAction>
#include <QApplication>
#include <QCompleter>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "core/files/profile.h"
#include "core/pronounce/pronouncer.h"
#include "support/test_support.h"
#include "ui/common/widgets.h"
#include "ui/main/frm_utility.h"
#include "ui/phrase/frm_phrase.h"
#include "ui/synth/frm_synth_ctrl.h"

using namespace cantora;

class FeedbackTest : public QObject {
    Q_OBJECT
  private slots:
    void childWindowsShowTheLinkAndWhyItFailed();
    void returnPressesTheFocusedButton();
    void mainWindowTabFollowsTheReadingOrder();
    void suggestIsOneUndoStep();
    void presetNamesOfferedAndUnknownOneNamed();
    void otherDeviceIsTypedIn();
};

void FeedbackTest::childWindowsShowTheLinkAndWhyItFailed() {
    // A real serial port on a device that does not exist: the opening fails for a reason.
    test::TempProgramFolder folder;
    const QString missing = folder.file("no-such-tty");
    test::MapPort(folder, 1, missing);
    FrmUtility main;
    main.sender().setInterByteDelayMs(0);
    FrmPhrase phrase(main, &main);
    FrmSynthCtrl synth(main, &main);
    phrase.show();
    QWidget* phraseLink = phrase.findChild<QWidget*>("picLink");
    QWidget* synthLink = synth.findChild<QWidget*>("picLink");
    QVERIFY(phraseLink != nullptr && synthLink != nullptr);

    phrase.txtSayData->setPlainText("\\HE \\EH");
    phrase.bntSayIt->click();
    QTRY_VERIFY(phrase.bntSayIt->isEnabled());
    const QColor red(255, 0, 0);
    QCOMPARE(main.linkColour(), red);
    for (QWidget* link : {phraseLink, synthLink}) {
        QCOMPARE(link->palette().color(QPalette::Window), red);
        QCOMPARE(link->toolTip(), main.txtComPort->toolTip());
        QVERIFY(link->toolTip().contains(missing));
    }
    // The line under the phrase says why, and the way out.
    const QString status = phrase.lblUnknownWords->text();
    QVERIFY2(status.startsWith("There is no device") &&
                 status.endsWith("Tick \"Hear on this computer\" in the main window to listen "
                                 "without a chip."),
             qPrintable(status));
    QVERIFY(phrase.lblUnknownWords->toolTip().contains(missing));
    // The indicators follow the box back to white.
    main.setLinkState(LinkState::Closed);
    QCOMPARE(phraseLink->palette().color(QPalette::Window), QColor(255, 255, 255));
    QCOMPARE(synthLink->palette().color(QPalette::Window), QColor(255, 255, 255));
    QCOMPARE(phraseLink->toolTip(), main.txtComPort->toolTip());
}

void FeedbackTest::returnPressesTheFocusedButton() {
    test::TempProgramFolder folder;
    auto record = std::make_shared<test::PortRecord>();
    FrmUtility main(std::make_unique<test::RecordingPort>(record));
    main.sender().setInterByteDelayMs(0);
    FrmPhrase phrase(main, &main);
    phrase.show();
    QVERIFY(QTest::qWaitForWindowActive(&phrase));
    // On a button: pressed. In the phrase box: a new line, no button pressed.
    phrase.txtSayData->setPlainText("hello");
    phrase.btnClear->setFocus();
    QTest::keyClick(phrase.btnClear, Qt::Key_Return);
    QCOMPARE(phrase.txtSayData->toPlainText(), QString());
    phrase.txtSayData->setFocus();
    QTest::keyClick(phrase.txtSayData, Qt::Key_A);
    QTest::keyClick(phrase.txtSayData, Qt::Key_Return);
    QCOMPARE(phrase.txtSayData->toPlainText(), QString("a\n"));
    QCOMPARE(record->written, QByteArray());
    // The line of unknown words is reached with Tab and clicked with Return.
    phrase.txtSayData->setPlainText("zzyzx");
    phrase.bntSayIt->click();
    QTRY_VERIFY(phrase.bntSayIt->isEnabled());
    QVERIFY(phrase.lblUnknownWords->focusPolicy() & Qt::TabFocus);
    phrase.lblUnknownWords->setFocus();
    QTest::keyClick(phrase.lblUnknownWords, Qt::Key_Return);
    QCOMPARE(phrase.txtDict->text(), QString("zzyzx"));
    // The main window too.
    main.show();
    record->written.clear();
    main.cmdTestSerialPort->setFocus();
    QTest::keyClick(main.cmdTestSerialPort, Qt::Key_Return);
    QTRY_COMPARE(record->written, QByteArray("\x1F\x5C\x30\x56\x58", 5));
}

void FeedbackTest::mainWindowTabFollowsTheReadingOrder() {
    test::TempProgramFolder folder;
    auto record = std::make_shared<test::PortRecord>();
    FrmUtility main(std::make_unique<test::RecordingPort>(record));
    main.sender().setInterByteDelayMs(0);
    main.show();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    // The focus starts on Phrase Editor, drawn: the button looks different once it leaves.
    QTRY_VERIFY(main.EditPhrases->hasFocus());
    const QImage focused = main.EditPhrases->grab().toImage();
    const std::vector<QWidget*> order = {main.EditPhrases, main.btnDictEdit,  main.Synth,
                                         main.txtComPort,  main.cmdPorts,     main.cmdTestSerialPort,
                                         main.chkVirtual,  main.About,        main.EditPhrases};
    for (size_t i = 1; i < order.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY2(order[i]->hasFocus(), qPrintable(QApplication::focusWidget()->objectName()));
        if (i == 1) {
            QVERIFY(main.EditPhrases->grab().toImage() != focused);
        }
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QVERIFY(main.About->hasFocus());
    // After a button is used the picture box holds the focus, and Tab goes on to the first one.
    QTest::mouseClick(main.cmdTestSerialPort, Qt::LeftButton);
    QTRY_VERIFY(main.Picture1->hasFocus());
    QTRY_COMPARE(record->written.size(), 5);
    QTest::keyClick(main.Picture1, Qt::Key_Tab);
    QVERIFY(main.EditPhrases->hasFocus());
}

void FeedbackTest::suggestIsOneUndoStep() {
    test::TempProgramFolder folder;
    auto record = std::make_shared<test::PortRecord>();
    FrmUtility main(std::make_unique<test::RecordingPort>(record));
    main.sender().setInterByteDelayMs(0);
    FrmPhrase phrase(main, &main);
    phrase.show();
    phrase.txtSayData->setPlainText("my own phrase");
    phrase.txtDict->setText("cantora quillon");
    phrase.cmdSuggest->click();
    QTRY_VERIFY(phrase.cmdSuggest->isEnabled());
    QCOMPARE(phrase.txtSayData->toPlainText(),
             SuggestCodeText("cantora") + " " + SuggestCodeText("quillon") + " ");
    phrase.txtSayData->undo();
    QCOMPARE(phrase.txtSayData->toPlainText(), QString("my own phrase"));
    phrase.txtSayData->redo();
    QVERIFY(phrase.txtSayData->toPlainText().startsWith(SuggestCodeText("cantora")));
}

void FeedbackTest::presetNamesOfferedAndUnknownOneNamed() {
    test::TempProgramFolder folder;
    folder.write("QLSounds.txt", "[Bell]\r\nFreq1=440\r\nVol1=20\r\n[Organ]\r\nFreq1=110\r\n");
    auto record = std::make_shared<test::PortRecord>();
    FrmUtility main(std::make_unique<test::RecordingPort>(record));
    main.sender().setInterByteDelayMs(0);
    FrmSynthCtrl synth(main, &main);
    synth.show();
    // The panel's opening settings go out (and set its controls) once it is on screen.
    QTRY_COMPARE(test::SplitScpCommands(record->written).size(), 15);
    QCompleter* completer = synth.txtSound->completer();
    QVERIFY(completer != nullptr);
    const auto offered = [completer] {
        QStringList names;
        for (int row = 0; row < completer->model()->rowCount(); ++row) {
            names << completer->model()->index(row, 0).data().toString();
        }
        return names;
    };
    QCOMPARE(offered(), QStringList({"Bell", "Organ"}));
    // A known name in another case loads without a word; an unknown one loads zeros and says so.
    synth.txtSound->setText("BELL");
    synth.btnLoad->click();
    QCOMPARE(synth.lblSoundNote->text(), QString());
    QCOMPARE(synth.scFreq[1]->value(), 440);
    synth.txtSound->setText("Flute");
    synth.btnLoad->click();
    QCOMPARE(synth.lblSoundNote->text(),
             QString("No sound \"Flute\" in QLSounds.txt: zeros loaded."));
    QCOMPARE(synth.scFreq[1]->value(), 0);
    QCOMPARE(synth.scVol[1]->value(), 0);
    // A saved name is offered at once.
    synth.btnSave->click();
    QCOMPARE(offered(), QStringList({"Bell", "Organ", "Flute"}));
}

void FeedbackTest::otherDeviceIsTypedIn() {
    test::TempProgramFolder folder;
    test::PtyPair pty;
    QVERIFY(pty.ok());
    folder.write("Verbalyn.ini", "[Serial]\r\nPort=3\r\n");
    FrmUtility main;
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    auto answer = test::ScriptedAnswers::inputText("  " + pty.slavePath() + " ");
    QTimer::singleShot(50, [] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu != nullptr);
        auto* other = menu->findChild<QAction*>("mnuOtherDevice");
        QVERIFY(other != nullptr);
        QCOMPARE(other->text(), QString::fromUtf8("Other device\u2026"));
        menu->close();
        other->trigger();
    });
    QTest::mouseClick(main.cmdPorts, Qt::LeftButton);
    QTRY_COMPARE(answer.answered(), 1);
    QCOMPARE(GetIniValue("Ports", "3", ""), pty.slavePath());
    QCOMPARE(pty.read(5, 2000), QByteArray("\x1F\x5C\x30\x56\x58", 5));
}

QTEST_MAIN(FeedbackTest)
#include "feedback_test.moc"
