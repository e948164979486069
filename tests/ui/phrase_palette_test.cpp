// The phrase editor's code palette: the labels' place in the window, and the bytes
// a click sends through a recording port (prefix, notes, Repeat, Reset, Wait, parameter boxes),
// and the tokens a double-click inserts.

#include <QApplication>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

#include "core/codes/code_table.h"
#include "core/codes/palette_table.h"
#include "support/test_support.h"
#include "ui/common/widgets.h"
#include "ui/main/frm_utility.h"
#include "ui/phrase/frm_phrase.h"

using namespace cantora;
using test::Bytes;

namespace {

const QByteArray kPrefix("\x14\x60\x15\x72\x16\x58\x17\x05", 8);  // 20,96,21,114,22,88,23,5

// A phrase editor on a recording port inside a temporary program folder.
struct Rig {
    test::TempProgramFolder folder;
    std::shared_ptr<test::PortRecord> record = std::make_shared<test::PortRecord>();
    FrmUtility main{std::make_unique<test::RecordingPort>(record)};
    FrmPhrase window{main, &main};

    explicit Rig(bool clearSkip = true) {
        main.sender().setInterByteDelayMs(0);
        if (clearSkip) {
            palette::SetSkipNextControls(false);
        }
        window.show();
        QApplication::processEvents();
    }
    ClickLabel* label(const QString& caption) {
        const palette::Element* element = palette::FindByCaption(caption);
        return element ? window.Command1(element->index) : nullptr;
    }
    void click(const QString& caption) {
        ClickLabel* target = label(caption);
        QVERIFY2(target != nullptr, qPrintable(caption));
        QTest::mouseClick(target, Qt::LeftButton);
    }
    // What the platform delivers for a double-click: press, release, double-click, release.
    void doubleClick(const QString& caption) {
        ClickLabel* target = label(caption);
        QVERIFY2(target != nullptr, qPrintable(caption));
        QTest::mouseClick(target, Qt::LeftButton);
        QTest::mouseDClick(target, Qt::LeftButton);
        QTest::mouseRelease(target, Qt::LeftButton);
    }
    QByteArray take() {
        QByteArray bytes = record->written;
        record->written.clear();
        return bytes;
    }
};

}  // namespace

class PhrasePaletteTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { LoadCodeNames(); }
    void labelsNamedCaptionedAndPlaced();
    void clickSendsPrefixAndCode();
    void noteMovesThePitch();
    void repeatSkipsThePrefixOfTheNextClick();
    void resetSendsOldPrefixThenDefaults();
    void waitAsksFirst();
    void parameterBoxOutsideByteRangeIsRefused();
    void doubleClickSendsOnceAndInserts();
};

void PhrasePaletteTest::labelsNamedCaptionedAndPlaced() {
    Rig rig;
    const QList<ClickLabel*> labels =
        rig.window.findChildren<ClickLabel*>(QRegularExpression("^Command1\\(\\d+\\)$"));
    QCOMPARE(labels.size(), 183);
    QMap<QWidget*, QList<ClickLabel*>> byGroup;
    for (const palette::Element& e : palette::Elements()) {
        ClickLabel* label = rig.window.findChild<ClickLabel*>(QString("Command1(%1)").arg(e.index));
        QVERIFY2(label != nullptr, qPrintable(e.caption));
        QCOMPARE(label->text(), e.caption);
        QCOMPARE(label->toolTip(), e.toolTip);
        QCOMPARE(label->focusPolicy(), Qt::NoFocus);
        QCOMPARE(label->height(), 21);  // 255 twips
        if (e.hidden) {
            QVERIFY(label->isHidden());
            continue;
        }
        QVERIFY2(label->isVisible(), qPrintable(e.caption));
        // Inside its group, below the group's caption, and its caption fits.
        QWidget* group = label->parentWidget();
        QVERIFY2(group->rect().contains(label->geometry()), qPrintable(e.caption));
        QVERIFY2(
            label->fontMetrics().horizontalAdvance(label->text()) <= label->contentsRect().width(),
            qPrintable(e.caption));
        byGroup[group].append(label);
    }
    for (auto it = byGroup.begin(); it != byGroup.end(); ++it) {
        const QList<ClickLabel*>& list = it.value();
        for (int i = 0; i < list.size(); ++i) {
            for (int j = i + 1; j < list.size(); ++j) {
                QVERIFY2(!list[i]->geometry().intersects(list[j]->geometry()),
                         qPrintable(list[i]->text() + " overlaps " + list[j]->text()));
            }
        }
    }
    // Groups and every other control keep inside the window and their group, captions fit.
    const QList<QWidget*> children = rig.window.findChildren<QWidget*>();
    for (QWidget* child : children) {
        if (!child->isVisible() || child->parentWidget() == nullptr ||
            child->objectName().startsWith("qt_")) {
            continue;
        }
        if (qobject_cast<QLabel*>(child) || qobject_cast<QAbstractButton*>(child) ||
            qobject_cast<QGroupBox*>(child) || qobject_cast<QLineEdit*>(child)) {
            QVERIFY2(child->parentWidget()->rect().contains(child->geometry()),
                     qPrintable(child->objectName()));
        }
        if (auto* heading = qobject_cast<QLabel*>(child)) {
            QVERIFY2(heading->fontMetrics().horizontalAdvance(heading->text()) <= heading->width(),
                     qPrintable(heading->text()));
        }
    }
    QCOMPARE(rig.window.findChild<QGroupBox*>("Frame3")->title(), QString("Resonate && Nasal"));
}

void PhrasePaletteTest::clickSendsPrefixAndCode() {
    Rig rig;
    rig.click("IY");
    QCOMPARE(rig.take(), kPrefix + Bytes({128}));
    QCOMPARE(rig.record->openings.size(), 1);
    QVERIFY(rig.record->openings[0].hardwareFlowControl);  // a palette code may use flow control
    rig.window.chkApplyControlsBeforeSounds->setChecked(false);
    rig.click("P6");
    QCOMPARE(rig.take(), Bytes({6}));
    rig.click("M2");
    QCOMPARE(rig.take(), Bytes({254}));
    // The pointer is back to normal after a click.
    QVERIFY(QApplication::overrideCursor() == nullptr);
}

void PhrasePaletteTest::noteMovesThePitch() {
    Rig rig;
    rig.click("NTA2");
    QCOMPARE(rig.take(), kPrefix + Bytes({22, 110}));
    QCOMPARE(rig.window.scPitch->value(), 110);
    QCOMPARE(rig.window.txtPitch->text(), QString("110"));
    // The next click carries the new pitch in its prefix.
    rig.click("NTC#1");
    QCOMPARE(rig.take(), Bytes({20, 96, 21, 114, 22, 110, 23, 5, 22, 35}));
    QCOMPARE(rig.window.scPitch->value(), 35);
}

void PhrasePaletteTest::repeatSkipsThePrefixOfTheNextClick() {
    {
        Rig rig;
        rig.click("Repeat");
        QCOMPARE(rig.take(), kPrefix + Bytes({26, 5}));
        QVERIFY(palette::SkipNextControls());
        rig.click("IY");
        QCOMPARE(rig.take(), Bytes({128}));
        rig.click("IY");
        QCOMPARE(rig.take(), kPrefix + Bytes({128}));

        // The flag outlives the window: a Repeat, then a new editor.
        rig.window.txtRepeat->setText("2.5");  // rounds half to even: 2
        rig.click("Repeat");
        QCOMPARE(rig.take(), kPrefix + Bytes({26, 2}));
    }
    Rig again(false);
    QVERIFY(palette::SkipNextControls());
    again.click("EH");
    QCOMPARE(again.take(), Bytes({131}));

    // A click cancelled at the Wait question still clears it.
    again.click("Repeat");
    again.take();
    {
        test::ScriptedAnswers cancel(QMessageBox::Cancel);
        again.click("Wait");
        QCOMPARE(cancel.answered(), 1);
    }
    QVERIFY(!palette::SkipNextControls());
    QCOMPARE(again.take(), QByteArray());
}

void PhrasePaletteTest::resetSendsOldPrefixThenDefaults() {
    Rig rig;
    rig.window.scVolume->setValue(50);
    rig.window.scBend->setValue(9);
    rig.window.scSpeed->setValue(3);
    rig.click("Reset");
    QCOMPARE(rig.take(), Bytes({20, 50, 21, 3, 22, 88, 23, 9, 31}));
    QCOMPARE(rig.window.scVolume->value(), 96);
    QCOMPARE(rig.window.scSpeed->value(), 114);
    QCOMPARE(rig.window.scPitch->value(), 88);
    QCOMPARE(rig.window.scBend->value(), 5);
    QCOMPARE(rig.window.txtVolume->text(), QString("96"));
    QCOMPARE(rig.window.txtBend->text(), QString("5"));
}

void PhrasePaletteTest::waitAsksFirst() {
    const QString expected =
        "This control code will cause set the Quillon to stop until restarted.\r\n"
        "To restart the Quillon you must do one of the following;\r\n"
        "\r\n"
        " 1. Activate an event that has been tied to the Restart function.\r\n"
        " 2. Send an SCP Restart command.\r\n"
        " 3. Reset the Quillon with the Reset line. \r\n"
        " 4. Reset the Quillon with the SCP Reset command.\r\n"
        "       Note that the \"Shut Up\" Button in the phrase editor\r\n"
        "       sends the SCP Reset command.\r\n"
        "\r\n"
        "-OR-\r\n"
        "\r\n"
        " Press the Cancel button to not send this command to the Quillon.";
    Rig rig;
    {
        test::ScriptedAnswers cancel(QMessageBox::Cancel);
        rig.click("Wait");
        QCOMPARE(cancel.answered(), 1);
        QCOMPARE(cancel.titles().value(0), QString("Notice"));
        QCOMPARE(cancel.texts().value(0), expected);
    }
    QCOMPARE(rig.take(), QByteArray());
    QVERIFY(QApplication::overrideCursor() == nullptr);
    {
        test::ScriptedAnswers ok(QMessageBox::Ok);
        rig.click("Wait");
        QCOMPARE(ok.answered(), 1);
    }
    QCOMPARE(rig.take(), kPrefix + Bytes({16}));
    QVERIFY(QApplication::overrideCursor() == nullptr);
}

void PhrasePaletteTest::parameterBoxOutsideByteRangeIsRefused() {
    Rig rig;
    struct Case {
        const char* caption;
        QLineEdit* box;
        const char* text;
        int expected;  // -1: refused
    };
    const Case cases[] = {
        {"Repeat", rig.window.txtRepeat, "300", -1}, {"Call", rig.window.txtCall, "-1", -1},
        {"Delay", rig.window.TxtDelay, "255.5", -1},  // rounds to 256
        {"Play", rig.window.txtPlay, "abc", 0},      {"PCtrl", rig.window.txtPCtrl, "255.4", 255},
        {"POut", rig.window.txtPOut, "-0.4", 0},     {"Delay", rig.window.TxtDelay, "100", 100},
    };
    for (const Case& c : cases) {
        c.box->setText(c.text);
        palette::SetSkipNextControls(false);
        test::ScriptedAnswers ok(QMessageBox::Ok);
        rig.click(c.caption);
        const QByteArray sent = rig.take();
        if (c.expected < 0) {
            QCOMPARE(ok.answered(), 1);
            QCOMPARE(ok.titles().value(0), ProgramTitle());
            QVERIFY(ok.texts().value(0).contains(c.text));
            QVERIFY(ok.texts().value(0).contains("0 to 255"));
            QCOMPARE(sent, QByteArray());
            QVERIFY(!palette::SkipNextControls());
        } else {
            QCOMPARE(ok.answered(), 0);
            QCOMPARE(sent, kPrefix + Bytes({palette::CodeOf(c.caption), c.expected}));
        }
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }
}

void PhrasePaletteTest::doubleClickSendsOnceAndInserts() {
    Rig rig;
    rig.window.txtSayData->setFocus();
    rig.doubleClick("Delay");
    QCOMPARE(rig.take(), kPrefix + Bytes({30, 100}));
    QCOMPARE(rig.window.txtSayData->toPlainText(), QString("\\Delay \\100 "));

    // The parameter goes in as typed; the click before it sends the rounded byte.
    rig.window.txtRepeat->setText("2.5");
    rig.doubleClick("Repeat");
    QCOMPARE(rig.take(), kPrefix + Bytes({26, 2}));
    rig.doubleClick("NTC#2");
    QCOMPARE(rig.take(), Bytes({22, 69}));  // right behind the repeat count
    QCOMPARE(rig.window.txtSayData->toPlainText(),
             QString("\\Delay \\100 \\Repeat \\2.5 \\NTC#2 "));
    // A label never takes the focus, so the caret stays where the phrase has it.
    QCOMPARE(QApplication::focusWidget(), rig.window.txtSayData);
}

QTEST_MAIN(PhrasePaletteTest)
#include "phrase_palette_test.moc"
