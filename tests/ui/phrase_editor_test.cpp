// The phrase editor window: controls and hand-over with the main window, InsertAtCursor, the
// voice controls, speaking (prefix, long-phrase question, busy pointer, Shut Up in the middle of
// a send), the code views and the focus rules.

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include "core/codes/code_table.h"
#include "core/codes/palette_table.h"
#include "support/test_support.h"
#include "ui/codes/frm_codes.h"
#include "ui/common/twips.h"
#include "ui/common/widgets.h"
#include "ui/main/frm_utility.h"
#include "ui/phrase/frm_phrase.h"

using namespace cantora;
using test::Bytes;

namespace {

const QByteArray kPrefix("\x14\x60\x15\x72\x16\x58\x17\x05", 8);  // 20,96,21,114,22,88,23,5

const QByteArray kShutUp = QByteArray("\\0RX") + Bytes({31, 0});

struct Rig {
    test::TempProgramFolder folder;
    std::shared_ptr<test::PortRecord> record = std::make_shared<test::PortRecord>();
    FrmUtility main{std::make_unique<test::RecordingPort>(record)};
    FrmPhrase window{main, &main};

    Rig() {
        main.sender().setInterByteDelayMs(0);
        palette::SetSkipNextControls(false);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }
    void setPhrase(const QString& text, int caret) {
        window.txtSayData->setPlainText(text);
        QTextCursor cursor = window.txtSayData->textCursor();
        cursor.setPosition(caret);
        window.txtSayData->setTextCursor(cursor);
    }
    void select(int from, int to) {
        QTextCursor cursor = window.txtSayData->textCursor();
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        window.txtSayData->setTextCursor(cursor);
    }
    int caret() const { return window.txtSayData->textCursor().position(); }
    // Types into a voice box and leaves it, as a user does.
    void typeAndLeave(QLineEdit* box, const QString& text) {
        box->setFocus();
        box->setText(text);
        window.txtSayData->setFocus();
        QApplication::processEvents();
    }
    QByteArray take() {
        QByteArray bytes = record->written;
        record->written.clear();
        return bytes;
    }
};

// Runs `action` on the next modal window of type T that shows, then closes it.
template <typename T>
void OnNextModal(std::function<void(T*)> action) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        if (auto* window = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            action(window);
            window->close();
        }
    });
    timer->start();
}

}  // namespace

class PhraseEditorTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { LoadCodeNames(); }
    void windowControlsAndInitialValues();
    void openedFromMainWindowWithHandOver();
    void insertAtCursor();
    void voiceBoxValidation();
    void voiceLabelDoubleClick();
    void sayItSendsPrefixAndPhrase();
    void longPhraseQuestion();
    void busyWhileSending();
    void shutUpCutsASendShort();
    void windowGoneDuringASend();
    void codeViews();
    void focusKeepsCaretAndSelection();
};

void PhraseEditorTest::windowControlsAndInitialValues() {
    Rig rig;
    FrmPhrase& w = rig.window;
    QCOMPARE(w.objectName(), QString("frmPhrase"));
    QCOMPARE(w.windowTitle(), QString("Cantora Phrase Editor"));
    QCOMPARE(w.minimumSize(), w.maximumSize());
    // 11700 x 7935 twips, and a row more in "Say Data" for "Save WAV…"
    QCOMPARE(w.size(), QSize(975, 661 + TwipsToPx(FrmPhrase::kSayDataExtra)));
    QVERIFY((w.windowFlags() & Qt::WindowType_Mask) == Qt::Tool);
    QVERIFY(!(w.windowFlags() & Qt::WindowMinMaxButtonsHint));

    const std::pair<const char*, const char*> buttons[] = {
        {"bntSayIt", "Say It"},
        {"btnSaySelection", "Say Selection"},
        {"btnClear", "Clear Say Data"},
        {"btnCodes", "View Codes"},
        {"Command2", "View Codes for Selection"},
        {"cmdLoadOver", "Load Overwrite"},
        {"cmdLoadInsert", "Load Insert"},
        {"btnNextWord", "Load && Say  Next Word"},
        {"cmdSave", "Save"},
        {"btnShutUp", "Shut Up"},
        {"btnDone", "Done"},
    };
    for (const auto& [name, caption] : buttons) {
        auto* button = w.findChild<QPushButton*>(name);
        QVERIFY2(button != nullptr, name);
        QCOMPARE(button->text(), QString(caption));
        QVERIFY(!button->autoDefault());
    }
    QCOMPARE(w.btnShutUp->toolTip(), QString("Stop the Quillon now."));
    QCOMPARE(w.btnSaySelection->toolTip(),
             QString("Send the sound codes in the Say Data window to the Quillon."));
    QCOMPARE(w.Command2->toolTip(), QString("View the sound codes in the Say Data window."));
    QCOMPARE(w.btnNextWord->toolTip(), QString("Find and load the next word in the Dictionary"));
    QCOMPARE(w.cmdSave->toolTip(), QString("Save the Say Data to the Dictionary."));
    QCOMPARE(w.lblPitch->toolTip(), QString("Set the Vocalization Pitch"));
    QCOMPARE(w.lblBend->text(), QString("Bend"));
    QCOMPARE(w.chkApplyControlsBeforeSayData->text(),
             QString("Apply Controls Before Playing 'Say Data'"));

    const std::pair<QLineEdit*, const char*> boxes[] = {
        {w.txtCall, "0"},    {w.txtPlay, "0"},   {w.txtPCtrl, "7"},   {w.txtPOut, "7"},
        {w.TxtDelay, "100"}, {w.txtRepeat, "5"}, {w.txtVolume, "96"}, {w.txtSpeed, "114"},
        {w.txtPitch, "88"},  {w.txtBend, "5"},   {w.txtDict, ""},     {w.txtfindwith, ""},
    };
    for (const auto& [box, text] : boxes) {
        QCOMPARE(box->text(), QString(text));
    }
    QVERIFY(w.txtSayData->toPlainText().isEmpty());
    QVERIFY(w.chkApplyControlsBeforeSounds->isChecked());
    QVERIFY(w.chkApplyControlsBeforeSayData->isChecked());
    for (QWidget* hidden : {static_cast<QWidget*>(w.chkWith), static_cast<QWidget*>(w.chkWithout),
                            static_cast<QWidget*>(w.txtfindwith)}) {
        QVERIFY(hidden->isHidden());
    }
    QVERIFY(w.chkWith->isChecked() && w.chkWithout->isChecked());
    QCOMPARE(w.GetControlCodes(), kPrefix);
    QCOMPARE(w.scVolume->pageStep(), 8);
    QCOMPARE(w.scPitch->singleStep(), 1);
    QCOMPARE(w.scBend->maximum(), 15);
    QCOMPARE(w.scPitch->maximum(), 255);
    QCOMPARE(w.scVolume->focusPolicy(), Qt::StrongFocus);
    QCOMPARE(QApplication::focusWidget(), w.txtSayData);
}

void PhraseEditorTest::openedFromMainWindowWithHandOver() {
    test::TempProgramFolder folder;
    auto record = std::make_shared<test::PortRecord>();
    FrmUtility main(std::make_unique<test::RecordingPort>(record));
    main.PhraseToMove = "left over";
    main.WordToMove = "old";
    QString seenPhrase = "unset";
    OnNextModal<FrmPhrase>([&](FrmPhrase* editor) {
        // The main window empties the strings before it opens the editor.
        seenPhrase = editor->txtSayData->toPlainText() + "|" + editor->txtDict->text() + "|" +
                     editor->txtVolume->text() + "," + editor->txtSpeed->text() + "," +
                     editor->txtPitch->text() + "," + editor->txtBend->text();
        editor->txtSayData->setPlainText("\\IY  hello\nworld ");
        editor->txtDict->setText(" hello ");
        editor->btnDone->click();
    });
    main.EditPhrases->click();
    QCOMPARE(seenPhrase, QString("||96,114,88,5"));
    QCOMPARE(main.PhraseToMove, QString("\\IY  hello\nworld "));
    QCOMPARE(main.WordToMove, QString(" hello "));

    // A window made while the strings are set takes them at load.
    {
        FrmPhrase editor(main, &main);
        QCOMPARE(editor.txtSayData->toPlainText(), QString("\\IY  hello\nworld "));
        QCOMPARE(editor.txtDict->text(), QString(" hello "));
        // Closing by the close box hands nothing over.
        editor.show();
        editor.txtSayData->setPlainText("changed");
        editor.close();
    }
    QCOMPARE(main.PhraseToMove, QString("\\IY  hello\nworld "));
}

void PhraseEditorTest::insertAtCursor() {
    Rig rig;
    // Right after a token: joined to it, one blank after.
    rig.setPhrase("\\IY", 3);
    rig.window.InsertAtCursor("\\EH");
    QCOMPARE(rig.window.txtSayData->toPlainText(), QString("\\IY\\EH "));
    QCOMPARE(rig.caret(), 7);
    // In front of blanks: after them.
    rig.setPhrase("\\IY  \\EH", 3);
    rig.window.InsertAtCursor("\\OW");
    QCOMPARE(rig.window.txtSayData->toPlainText(), QString("\\IY  \\OW \\EH"));
    QCOMPARE(rig.caret(), 9);
    QVERIFY(!rig.window.txtSayData->textCursor().hasSelection());
    // Over a selection, blanks included, without skipping.
    rig.setPhrase("\\IY  \\EH \\OW", 0);
    rig.select(3, 8);
    rig.window.InsertAtCursor("\\AX");
    QCOMPARE(rig.window.txtSayData->toPlainText(), QString("\\IY\\AX  \\OW"));
    QCOMPARE(rig.caret(), 7);
    QVERIFY(!rig.window.txtSayData->textCursor().hasSelection());
    // Trailing blanks up to the end of the text; a line break stops the skipping.
    rig.setPhrase("\\IY   ", 3);
    rig.window.InsertAtCursor("\\P1");
    QCOMPARE(rig.window.txtSayData->toPlainText(), QString("\\IY   \\P1 "));
    rig.setPhrase("\\IY \n\\EH", 3);
    rig.window.InsertAtCursor("\\P2");
    QCOMPARE(rig.window.txtSayData->toPlainText(), QString("\\IY \\P2 \n\\EH"));

    // Clear Say Data empties the phrase only.
    rig.window.txtDict->setText("word");
    rig.window.scVolume->setValue(40);
    rig.window.btnClear->click();
    QVERIFY(rig.window.txtSayData->toPlainText().isEmpty());
    QCOMPARE(rig.window.txtDict->text(), QString("word"));
    QCOMPARE(rig.window.scVolume->value(), 40);
    QCOMPARE(QApplication::focusWidget(), rig.window.txtSayData);
}

void PhraseEditorTest::voiceBoxValidation() {
    Rig rig;
    FrmPhrase& w = rig.window;
    rig.typeAndLeave(w.txtVolume, "200");
    QCOMPARE(w.txtVolume->text(), QString("127"));
    QCOMPARE(w.scVolume->value(), 127);
    rig.typeAndLeave(w.txtVolume, "-5");
    QCOMPARE(w.txtVolume->text(), QString("0"));
    QCOMPARE(w.scVolume->value(), 0);
    rig.typeAndLeave(w.txtBend, "15.4");
    QCOMPARE(w.txtBend->text(), QString("15"));
    QCOMPARE(w.scBend->value(), 15);
    w.SetDefaults();
    rig.typeAndLeave(w.txtBend, "14.6");
    QCOMPARE(w.scBend->value(), 15);
    QCOMPARE(w.txtBend->text(), QString("15"));
    rig.typeAndLeave(w.txtPitch, "12.5");
    QCOMPARE(w.scPitch->value(), 12);
    QCOMPARE(w.txtPitch->text(), QString("12"));
    rig.typeAndLeave(w.txtPitch, "13.5");
    QCOMPARE(w.scPitch->value(), 14);
    rig.typeAndLeave(w.txtSpeed, " 1e2");
    QCOMPARE(w.scSpeed->value(), 100);
    QCOMPARE(w.txtSpeed->text(), QString("100"));

    // Letters: the scroll bar at 0 keeps them; elsewhere it moves to 0.
    w.scVolume->setValue(0);
    rig.typeAndLeave(w.txtVolume, "loud");
    QCOMPARE(w.txtVolume->text(), QString("loud"));
    QCOMPARE(w.scVolume->value(), 0);
    w.scVolume->setValue(96);
    rig.typeAndLeave(w.txtVolume, "loud");
    QCOMPARE(w.txtVolume->text(), QString("0"));
    QCOMPARE(w.scVolume->value(), 0);

    // Leaving the box validates even when the text did not change since the box got the focus.
    w.scSpeed->setValue(50);
    w.txtSpeed->setText("300");
    w.txtSpeed->setFocus();
    w.txtSayData->setFocus();
    QApplication::processEvents();
    QCOMPARE(w.txtSpeed->text(), QString("127"));
    QCOMPARE(w.scSpeed->value(), 127);

    // The prefix reads the scroll bars only.
    w.SetDefaults();
    w.txtPitch->setText("200");
    QCOMPARE(w.GetControlCodes(), kPrefix);
    // Scroll bar steps by the user write the box back.
    w.scPitch->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QCOMPARE(w.txtPitch->text(), QString("96"));
}

void PhraseEditorTest::voiceLabelDoubleClick() {
    Rig rig;
    FrmPhrase& w = rig.window;
    w.txtBend->setFocus();
    w.txtBend->setText("20");  // typed, not yet committed
    QTest::mouseClick(w.lblBend, Qt::LeftButton);
    QTest::mouseDClick(w.lblBend, Qt::LeftButton);
    QTest::mouseRelease(w.lblBend, Qt::LeftButton);
    QCOMPARE(w.txtBend->text(), QString("15"));
    QCOMPARE(w.txtSayData->toPlainText(), QString("\\BEND \\15 "));
    QTest::mouseDClick(w.lblVolume, Qt::LeftButton);
    QCOMPARE(w.txtSayData->toPlainText(), QString("\\BEND \\15 \\VOLUME \\96 "));
    QVERIFY(rig.record->written.isEmpty());  // labels of the voice controls send nothing
    // The focus stays where it was: labels never take it.
    QCOMPARE(QApplication::focusWidget(), w.txtBend);
}

void PhraseEditorTest::sayItSendsPrefixAndPhrase() {
    Rig rig;
    FrmPhrase& w = rig.window;
    w.bntSayIt->click();
    QCOMPARE(rig.take(), kPrefix);
    rig.folder.write("Verbalyn.Dic", "[words]\r\nhello=\\HE \\EH \\LO \\OW\r\n");
    w.txtSayData->setPlainText("\\IY Hello.");
    w.bntSayIt->click();
    QCOMPARE(rig.take(), kPrefix + Bytes({128, 183, 131, 146, 137}));
    // A note moves the pitch, and Say It carries it.
    w.Command1(palette::FindByCaption("NTA2")->index)->clicked();
    rig.take();
    w.bntSayIt->click();
    QCOMPARE(rig.take(), Bytes({20, 96, 21, 114, 22, 110, 23, 5, 128, 183, 131, 146, 137}));

    // Unchecked: no prefix, and an empty phrase sends nothing.
    w.chkApplyControlsBeforeSayData->setChecked(false);
    w.txtSayData->setPlainText("\\IY \\EH \\OW");
    w.btnSaySelection->click();
    QCOMPARE(rig.take(), QByteArray());
    rig.select(4, 7);
    w.btnSaySelection->click();
    QCOMPARE(rig.take(), Bytes({131}));
    QCOMPARE(w.txtSayData->textCursor().selectedText(), QString("\\EH"));
    w.txtSayData->clear();
    w.bntSayIt->click();
    QCOMPARE(rig.take(), QByteArray());

    // Shut Up alone: the reset command, no question even with flow control off.
    rig.main.chkFlow->setCheckState(Qt::Unchecked);
    test::ScriptedAnswers never(QMessageBox::No);
    w.btnShutUp->click();
    QCOMPARE(rig.take(), kShutUp);
    QCOMPARE(never.answered(), 0);
    QCOMPARE(QApplication::focusWidget(), w.txtSayData);
}

void PhraseEditorTest::longPhraseQuestion() {
    Rig rig;
    FrmPhrase& w = rig.window;
    rig.main.chkFlow->setCheckState(Qt::Unchecked);
    QString phrase;
    for (int i = 0; i < 55; ++i) {
        phrase += "\\IY ";
    }
    // 8 + 55 = 63 bytes: no question.
    w.txtSayData->setPlainText(phrase);
    {
        test::ScriptedAnswers no(QMessageBox::No);
        w.bntSayIt->click();
        QCOMPARE(no.answered(), 0);
    }
    QCOMPARE(rig.take().size(), 63);
    // 8 + 56 = 64 bytes: the question; No sends nothing.
    w.txtSayData->setPlainText(phrase + "\\EH");
    {
        test::ScriptedAnswers no(QMessageBox::No);
        w.bntSayIt->click();
        QCOMPARE(no.answered(), 1);
        QCOMPARE(no.titles().value(0), QString("Notice"));
        QVERIFY(no.texts().value(0).startsWith("Flow Control is currently disabled. -AND-"));
    }
    QCOMPARE(rig.take(), QByteArray());
    QVERIFY(w.bntSayIt->isEnabled());
    QVERIFY(QApplication::overrideCursor() == nullptr);
    QCOMPARE(w.focusWidget(), w.txtSayData);
}

void PhraseEditorTest::busyWhileSending() {
    Rig rig;
    FrmPhrase& w = rig.window;
    w.txtSayData->setPlainText("\\IY \\EH");
    QList<bool> enabled;
    QList<int> cursors;
    rig.record->onByte = [&](char) {
        enabled.append(w.bntSayIt->isEnabled());
        cursors.append(QApplication::overrideCursor() ? QApplication::overrideCursor()->shape()
                                                      : -1);
    };
    w.bntSayIt->click();
    QCOMPARE(enabled.size(), 10);
    QVERIFY(!enabled.contains(true));
    QCOMPARE(cursors.count(Qt::WaitCursor), 10);
    QVERIFY(w.bntSayIt->isEnabled());
    QVERIFY(QApplication::overrideCursor() == nullptr);

    enabled.clear();
    QList<bool> selectionEnabled;
    rig.record->onByte = [&](char) { selectionEnabled.append(w.btnSaySelection->isEnabled()); };
    w.btnSaySelection->click();
    QCOMPARE(selectionEnabled, QList<bool>(8, false));
    QVERIFY(w.btnSaySelection->isEnabled());
}

void PhraseEditorTest::shutUpCutsASendShort() {
    Rig rig;
    FrmPhrase& w = rig.window;
    QString phrase;
    for (int i = 0; i < 100; ++i) {
        phrase += "\\IY ";
    }
    w.txtSayData->setPlainText(phrase);
    int bytes = 0;
    rig.record->onByte = [&](char) {
        if (++bytes == 12) {
            w.btnShutUp->click();
        }
    };
    w.bntSayIt->click();
    const QByteArray sent = rig.take();
    // Eight prefix bytes and four phrase bytes, then the reset and nothing of the phrase after it.
    QCOMPARE(sent, kPrefix + Bytes({128, 128, 128, 128}) + kShutUp);
    QVERIFY(rig.main.sender().SendBuffer.isEmpty());
    QVERIFY(w.bntSayIt->isEnabled());
    QVERIFY(QApplication::overrideCursor() == nullptr);
}

void PhraseEditorTest::windowGoneDuringASend() {
    test::TempProgramFolder folder;
    auto record = std::make_shared<test::PortRecord>();
    FrmUtility main(std::make_unique<test::RecordingPort>(record));
    main.sender().setInterByteDelayMs(0);
    QPointer<FrmPhrase> window = new FrmPhrase(main, &main);
    window->show();
    window->txtSayData->setPlainText("\\IY \\EH \\OW \\AX");
    int bytes = 0;
    bool goneDuringSend = false;
    record->onByte = [&](char) {
        ++bytes;
        if (bytes == 3) {
            // Runs inside the sender's event processing, with the Say It handler on the stack.
            QTimer::singleShot(0, [&] { delete window.data(); });
        }
        if (bytes > 3 && window.isNull()) {
            goneDuringSend = true;
        }
    };
    // A click as the platform delivers it, so the send runs inside event processing.
    QTest::mouseClick(window->bntSayIt, Qt::LeftButton);
    QApplication::processEvents();
    QVERIFY(window.isNull());
    QVERIFY(goneDuringSend);
    QCOMPARE(record->written.size(), 12);  // the send finishes; the handler touches nothing after
    QVERIFY(QApplication::overrideCursor() == nullptr);
}

void PhraseEditorTest::codeViews() {
    Rig rig;
    FrmPhrase& w = rig.window;
    QString shown = "unset";
    QWidget* owner = nullptr;
    auto expectViewer = [&] {
        shown = "unset";
        OnNextModal<FrmCodes>([&](FrmCodes* codes) {
            shown = codes->txtCodes->toPlainText();
            owner = codes->parentWidget();
        });
    };
    expectViewer();
    w.btnCodes->click();
    QCOMPARE(rig.main.QuillonCodes, QString("20, 96, 21, 114, 22, 88, 23, 5"));
    QVERIFY(shown.contains("20, 96, 21, 114, 22, 88, 23, 5"));
    QCOMPARE(owner, &w);
    QVERIFY(rig.record->written.isEmpty());  // viewing sends nothing

    w.txtSayData->setPlainText("\\IY \\NTC#2 \\0");
    rig.select(4, 10);
    w.chkApplyControlsBeforeSayData->setChecked(false);
    expectViewer();
    w.Command2->click();
    QCOMPARE(rig.main.QuillonCodes, QString("22, 69"));
    QVERIFY(w.Command2->isEnabled());
    expectViewer();
    w.btnCodes->click();
    QCOMPARE(rig.main.QuillonCodes, QString("128, 22, 69, 0"));
    // Nothing selected, no prefix: an empty list.
    rig.setPhrase("\\IY", 1);
    expectViewer();
    w.Command2->click();
    QCOMPARE(rig.main.QuillonCodes, QString());
    QCOMPARE(w.focusWidget(), w.txtSayData);
}

void PhraseEditorTest::focusKeepsCaretAndSelection() {
    Rig rig;
    FrmPhrase& w = rig.window;
    rig.setPhrase("\\IY \\EH \\OW", 0);
    rig.select(4, 7);
    // A palette click and a voice control's scroll bar leave the selection alone.
    QTest::mouseClick(w.Command1(palette::FindByCaption("P1")->index), Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), w.txtSayData);
    QTest::mouseClick(w.scSpeed, Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), w.scSpeed);
    QCOMPARE(w.txtSayData->textCursor().selectionStart(), 4);
    QCOMPARE(w.txtSayData->textCursor().selectionEnd(), 7);
    // The selected text is still what a double-click on a label replaces.
    QTest::mouseDClick(w.Command1(palette::FindByCaption("AX")->index), Qt::LeftButton);
    QCOMPARE(w.txtSayData->toPlainText(), QString("\\IY \\AX  \\OW"));
    // Buttons give the focus back to the phrase, caret where it was.
    const int caret = rig.caret();
    QTest::mouseClick(w.bntSayIt, Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), w.txtSayData);
    QCOMPARE(rig.caret(), caret);
    QTest::mouseClick(w.btnShutUp, Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), w.txtSayData);
    QCOMPARE(rig.caret(), caret);
    // The selection stays visible without the focus.
    QCOMPARE(w.txtSayData->palette().color(QPalette::Inactive, QPalette::Highlight),
             w.txtSayData->palette().color(QPalette::Active, QPalette::Highlight));
    // Escape does not close the editor.
    QTest::keyClick(w.txtSayData, Qt::Key_Escape);
    QVERIFY(w.isVisible());
}

QTEST_MAIN(PhraseEditorTest)
#include "phrase_editor_test.moc"
