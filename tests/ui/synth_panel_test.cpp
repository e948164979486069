// The synthesiser panel with real widgets and a recording port: opening, "Shut Up" and closing,
// the scroll bars and their boxes, colours, the adjust tools, "Harmonise", drags and layout.

#include <QAbstractButton>
#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QStyleOptionSlider>
#include <QTimer>
#include <QWheelEvent>
#include <QtTest>
#include <memory>

#include "support/test_support.h"
#include "ui/main/frm_utility.h"
#include "ui/synth/frm_synth_ctrl.h"

using namespace cantora;

namespace {

const QStringList kOpening = {"\\0RX",      "\\011J 0NX", "\\012J 0NX", "\\013J 0NX", "\\014J 0NX",
                              "\\015J 0NX", "\\00J 88NX", "\\01J 0NX",  "\\02J 0NX",  "\\03J 0NX",
                              "\\04J 0NX",  "\\05J 0NX",  "\\06J 0NX",  "\\07J 96NX", "\\08J 0NX"};

// A main window on a recording port and a panel shown on it, its opening traffic kept apart.
struct Bench {
    test::TempProgramFolder folder;
    std::shared_ptr<test::PortRecord> record = std::make_shared<test::PortRecord>();
    FrmUtility main{std::make_unique<test::RecordingPort>(record)};
    std::unique_ptr<FrmSynthCtrl> panel;
    QStringList opening;
    bool active = false;

    explicit Bench(bool fast = true) {
        if (fast) {
            main.sender().setInterByteDelayMs(0);
        }
        panel = std::make_unique<FrmSynthCtrl>(main, &main);
        panel->show();
        panel->activateWindow();
        active = QTest::qWaitForWindowActive(panel.get());
        opening = take();
    }
    // The commands sent since the last call.
    QStringList take() {
        const QStringList commands = test::SplitScpCommands(record->written);
        record->written.clear();
        return commands;
    }
    // Types into a box and moves the focus away, as a user leaving the box.
    void type(QLineEdit* box, const QString& text) {
        QVERIFY(active);
        box->setFocus(Qt::MouseFocusReason);
        QVERIFY(box->hasFocus());
        box->setText(text);
        panel->txtSound->setFocus(Qt::MouseFocusReason);
        QVERIFY(!box->hasFocus());
    }
    QColor base(int i) const { return panel->txtVol[i]->palette().color(QPalette::Base); }
};

QColor ButtonFace() {
    return QApplication::palette().color(QPalette::Active, QPalette::Button);
}

QRect SubControl(QScrollBar* bar, QStyle::SubControl part) {
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = bar->orientation();
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.singleStep = bar->singleStep();
    option.pageStep = bar->pageStep();
    option.state |= QStyle::State_Horizontal;
    return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, part, bar);
}

QRect ThumbRect(QScrollBar* bar) {
    return SubControl(bar, QStyle::SC_ScrollBarSlider);
}

}  // namespace

class SynthPanelTest : public QObject {
    Q_OBJECT
  private slots:
    void openingSendsTheFifteenResetWrites() {
        Bench bench;
        QCOMPARE(bench.opening, kOpening);
        FrmSynthCtrl& p = *bench.panel;
        for (int i = 1; i <= 5; ++i) {
            QCOMPARE(p.txtFreq[i]->text(), QString("0"));
            QCOMPARE(p.txtVol[i]->text(), QString("0"));
        }
        QCOMPARE(p.txtEnvFreq->text(), QString("88"));
        QCOMPARE(p.txtLevel[0]->text(), QString("0"));
        QCOMPARE(p.txtLevel[1]->text(), QString("96"));
        QVERIFY(p.Option1[0]->isChecked());
        QCOMPARE(p.txtHFreq->text(), QString("110"));
        QCOMPARE(p.scFreqAdjTone->value(), 100);
        QCOMPARE(p.scVolAdjTone->value(), 100);
        QCOMPARE(bench.base(1), ButtonFace());
        QCOMPARE(bench.base(3), ButtonFace());
        // Register writes never ask the long-phrase question, so no handshaking either.
        QVERIFY(!bench.record->openings.isEmpty());
        QVERIFY(!bench.record->openings.first().hardwareFlowControl);
    }

    void openedFromTheMainWindowAndClosedByDone() {
        test::TempProgramFolder folder;
        auto record = std::make_shared<test::PortRecord>();
        FrmUtility main(std::make_unique<test::RecordingPort>(record));
        main.sender().setInterByteDelayMs(0);
        main.show();
        QString title;
        bool tool = false;
        QStringList atOpen;
        QTimer poll;
        poll.setInterval(5);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* panel = qobject_cast<FrmSynthCtrl*>(QApplication::activeModalWidget());
            if (!panel || test::SplitScpCommands(record->written).size() < kOpening.size()) {
                return;
            }
            poll.stop();
            title = panel->windowTitle();
            tool = (panel->windowFlags() & Qt::Tool) == Qt::Tool;
            atOpen = test::SplitScpCommands(record->written);
            panel->btnDone->click();
        });
        poll.start();
        main.Synth->click();
        QCOMPARE(title, QString("Cantora Synth Control"));
        QVERIFY(tool);
        QCOMPARE(atOpen, kOpening);
        // Nothing changed while open: the closing resets the chip and ends with envelope 0.
        QCOMPARE(test::SplitScpCommands(record->written),
                 kOpening + QStringList({"\\0RX", "\\08J 0NX"}));
    }

    void closingRunsTheUnloadOnce() {
        Bench bench;
        FrmSynthCtrl& p = *bench.panel;
        p.scFreq[2]->setValue(300);
        p.Option1[3]->setChecked(true);
        p.Check2[1]->setChecked(true);
        bench.take();
        p.close();  // the window's close box
        QVERIFY(!p.isVisible());
        // Reset: the frequency, "Saw" (with "Enveloped" still set), the flag, then envelope 0.
        QCOMPARE(bench.take(),
                 (QStringList{"\\0RX", "\\02J 0NX", "\\08J 64NX", "\\08J 0NX", "\\08J 0NX"}));
        // Closing again, by any road, sends nothing more.
        p.close();
        p.reject();
        p.done(QDialog::Accepted);
        QCOMPARE(bench.take(), QStringList());
    }

    void closingDuringTheOpeningEndsWithEnvelopeZero() {
        test::TempProgramFolder folder;
        auto record = std::make_shared<test::PortRecord>();
        FrmUtility main(std::make_unique<test::RecordingPort>(record));
        main.sender().setInterByteDelayMs(0);
        FrmSynthCtrl panel(main, &main);
        bool clicked = false;
        record->onByte = [&](char) {
            // The user clicks "Done" while the opening's third write is going out.
            if (!clicked && record->written.size() == 15) {
                clicked = true;
                QMetaObject::invokeMethod(
                    &panel, [&] { panel.btnDone->click(); }, Qt::QueuedConnection);
            }
        };
        panel.show();
        // The opening writes go out from the window's event loop, once it is on screen.
        QTRY_VERIFY(clicked);
        QVERIFY(!panel.isVisible());
        const QStringList sent = test::SplitScpCommands(record->written);
        QVERIFY(!sent.isEmpty());
        QCOMPARE(sent.last(), QString("\\08J 0NX"));
        QCOMPARE(panel.scEnvolopeFreq->value(), 88);
        QCOMPARE(panel.scLevel[1]->value(), 96);
        QVERIFY(panel.Option1[0]->isChecked());
    }

    void closingWithATypedValueStillEndsWithEnvelopeZero() {
        Bench bench;
        FrmSynthCtrl& p = *bench.panel;
        // The user typed into a box and closes the window without leaving the box first.
        p.txtFreq[1]->setFocus(Qt::MouseFocusReason);
        p.txtFreq[1]->setText("500");
        p.close();
        QVERIFY(!p.txtFreq[1]->hasFocus());
        const QStringList sent = bench.take();
        QCOMPARE(sent.last(), QString("\\08J 0NX"));
        QVERIFY(!sent.contains("\\01J 500NX"));
    }

    void shutUpSendsOnlyWhatDiffersFromTheReset() {
        Bench bench;
        FrmSynthCtrl& p = *bench.panel;
        p.btnShutUp->click();
        QCOMPARE(bench.take(), QStringList{"\\0RX"});

        p.scVol[2]->setValue(12);
        p.scFreq[4]->setValue(1000);
        p.scLevel[1]->setValue(50);
        p.scEnvolopeFreq->setValue(10);
        p.Option1[2]->setChecked(true);
        p.Check2[0]->setChecked(true);
        QCOMPARE(bench.take(), (QStringList{"\\012J 12NX", "\\04J 1000NX", "\\07J 50NX",
                                            "\\00J 10NX", "\\08J 2NX", "\\08J 130NX"}));
        QCOMPARE(p.GetEnvolopeCtrlValue(), quint8(130));
        p.btnShutUp->click();
        QCOMPARE(bench.take(), (QStringList{"\\0RX", "\\012J 0NX", "\\00J 88NX", "\\04J 0NX",
                                            "\\07J 96NX", "\\08J 128NX", "\\08J 0NX"}));
        QCOMPARE(p.txtVol[2]->text(), QString("0"));
        QCOMPARE(p.txtFreq[4]->text(), QString("0"));
    }

    void shutUpCutsAWriteShort() {
        Bench bench(false);  // default pacing between bytes
        FrmSynthCtrl& p = *bench.panel;
        int seen = 0;
        bench.record->onByte = [&](char) {
            if (++seen == 3) {
                // The click arrives while "\01J 440NX" is going out.
                QMetaObject::invokeMethod(
                    &p, [&] { p.btnShutUp->click(); }, Qt::QueuedConnection);
            }
        };
        p.scFreq[1]->setValue(440);
        QCOMPARE(bench.record->written, QByteArray("\\01\\0RX\\01J 0NX"));
        QCOMPARE(p.scFreq[1]->value(), 0);
    }

    void envelopeControlValue() {
        Bench bench;
        FrmSynthCtrl& p = *bench.panel;
        p.Option1[3]->setChecked(true);
        p.Check2[0]->setChecked(true);
        p.Check2[1]->setChecked(true);
        QCOMPARE(int(p.GetEnvolopeCtrlValue()), 195);
        QCOMPARE(bench.take(), (QStringList{"\\08J 3NX", "\\08J 131NX", "\\08J 195NX"}));
        p.Option1[1]->setChecked(true);
        p.Check2[0]->setChecked(false);
        QCOMPARE(int(p.GetEnvolopeCtrlValue()), 65);
        QCOMPARE(bench.take(), (QStringList{"\\08J 193NX", "\\08J 65NX"}));
        p.Option1[0]->setChecked(true);
        p.Check2[1]->setChecked(false);
        p.Check2[0]->setChecked(true);
        QCOMPARE(int(p.GetEnvolopeCtrlValue()), 128);
        // A user's click on an option sends as well.
        QTest::mouseClick(p.Option1[2], Qt::LeftButton);
        QCOMPARE(bench.take().last(), QString("\\08J 130NX"));
    }

    void volumeColours() {
        Bench bench;
        FrmSynthCtrl& p = *bench.panel;
        const QColor red(255, 0, 0), yellow(255, 255, 0);
        const QColor untouched = p.txtVol[4]->palette().color(QPalette::Base);
        struct Case {
            int a, b, c;
            QColor colour;
        };
        const Case cases[] = {{20, 20, 19, ButtonFace()}, {20, 20, 20, yellow},
                              {21, 21, 21, yellow},       {21, 21, 22, red},
                              {31, 31, 31, red},          {0, 0, 0, ButtonFace()}};
        for (const Case& c : cases) {
            p.scVol[1]->setValue(c.a);
            p.scVol[2]->setValue(c.b);
            p.scVol[3]->setValue(c.c);
            for (int i = 1; i <= 3; ++i) {
                QCOMPARE(bench.base(i), c.colour);
            }
        }
        // Oscillators 4 and 5 neither count nor change colour.
        p.scVol[1]->setValue(20);
        p.scVol[2]->setValue(20);
        p.scVol[3]->setValue(19);
        p.scVol[4]->setValue(31);
        p.scVol[5]->setValue(31);
        QCOMPARE(bench.base(1), ButtonFace());
        QCOMPARE(p.txtVol[4]->palette().color(QPalette::Base), untouched);
        QCOMPARE(p.txtVol[5]->palette().color(QPalette::Base), untouched);
    }

    void typedValues() {
        Bench bench;
        FrmSynthCtrl& p = *bench.panel;
        bench.type(p.txtFreq[3], "5000");
        QCOMPARE(p.txtFreq[3]->text(), QString("3999"));
        QCOMPARE(p.scFreq[3]->value(), 3999);
        QCOMPARE(bench.take(), QStringList{"\\03J 3999NX"});

        bench.type(p.txtLevel[1], "200");
        QCOMPARE(p.txtLevel[1]->text(), QString("127"));
        QCOMPARE(bench.take(), QStringList{"\\07J 127NX"});

        bench.type(p.txtVol[2], "12.5");
        QCOMPARE(p.scVol[2]->value(), 12);
        QCOMPARE(p.txtVol[2]->text(), QString("12"));
        bench.type(p.txtVol[2], "13.5");
        QCOMPARE(p.scVol[2]->value(), 14);
        QCOMPARE(bench.take(), (QStringList{"\\012J 12NX", "\\012J 14NX"}));

        bench.type(p.txtVol[2], "abc");
        QCOMPARE(p.scVol[2]->value(), 0);
        QCOMPARE(p.txtVol[2]->text(), QString("0"));
        QCOMPARE(bench.take(), QStringList{"\\012J 0NX"});

        // The value already set: nothing goes out and the text stays as typed.
        bench.type(p.txtEnvFreq, " 88.2");
        QCOMPARE(p.txtEnvFreq->text(), QString(" 88.2"));
        QCOMPARE(bench.take(), QStringList());
        // Leaving the box again, text unchanged, still checks it.
        p.scEnvolopeFreq->setValue(90);
        bench.take();
        bench.type(p.txtEnvFreq, p.txtEnvFreq->text());
        QCOMPARE(bench.take(), QStringList());
        p.txtEnvFreq->setText("300");  // set without focus; validated on the next loss of focus
        bench.type(p.txtEnvFreq, p.txtEnvFreq->text());
        QCOMPARE(bench.take(), QStringList{"\\00J 255NX"});

        // A negative value counts as 0.
        p.scLevel[0]->setValue(40);
        bench.take();
        bench.type(p.txtLevel[0], "-5");
        QCOMPARE(p.scLevel[0]->value(), 0);
        QCOMPARE(p.txtLevel[0]->text(), QString("0"));
        QCOMPARE(bench.take(), QStringList{"\\06J 0NX"});
    }

    void volumeAdjustTool() {
        Bench bench;
        FrmSynthCtrl& p = *bench.panel;
        p.scVol[1]->setValue(10);
        p.scVol[2]->setValue(20);
        p.scVol[3]->setValue(31);
        p.scVol[4]->setValue(9);
        bench.take();
        p.scVolAdjTone->setFocus(Qt::MouseFocusReason);  // arms it
        QCOMPARE(bench.take(), QStringList());
        p.scVolAdjTone->setValue(150);
        QCOMPARE(p.scVol[1]->value(), 15);
        QCOMPARE(p.scVol[2]->value(), 30);
        QCOMPARE(p.scVol[3]->value(), 31);  // 46.5 rounds to 46, capped at 31
        QCOMPARE(p.scVol[4]->value(), 9);
        QCOMPARE(bench.take(), (QStringList{"\\011J 15NX", "\\012J 30NX"}));

        // The "Z" button arms too; halves go to the even neighbour.
        p.scVol[1]->setValue(5);
        p.scVol[2]->setValue(7);
        p.scVol[3]->setValue(0);
        bench.take();
        p.Command2->click();
        QCOMPARE(p.scVolAdjTone->value(), 100);
        QCOMPARE(p.VolumeBase[1], qint16(5));
        QCOMPARE(bench.take(), QStringList());
        p.scVolAdjTone->setValue(50);
        QCOMPARE(p.scVol[1]->value(), 2);
        QCOMPARE(p.scVol[2]->value(), 4);
        QCOMPARE(p.txtVol[2]->text(), QString("4"));
    }

    void frequencyAdjustTool() {
        Bench bench;
        FrmSynthCtrl& p = *bench.panel;
        p.scFreq[1]->setValue(440);
        p.scFreq[2]->setValue(3000);
        p.scFreq[3]->setValue(0);
        p.scFreq[5]->setValue(700);
        bench.take();
        p.scFreqAdjTone->setFocus(Qt::MouseFocusReason);
        p.scFreqAdjTone->setValue(200);
        QCOMPARE(p.scFreq[1]->value(), 880);
        QCOMPARE(p.scFreq[2]->value(), 3999);
        QCOMPARE(p.scFreq[3]->value(), 0);
        QCOMPARE(p.scFreq[5]->value(), 700);
        QCOMPARE(bench.take(), (QStringList{"\\01J 880NX", "\\02J 3999NX"}));
        // Back to 100 while it keeps the focus: the positions of the arming come back.
        p.scFreqAdjTone->setValue(100);
        QCOMPARE(p.scFreq[1]->value(), 440);
        QCOMPARE(p.scFreq[2]->value(), 3000);
        p.scFreqAdjTone->setValue(200);
        bench.take();

        // The focus leaves and comes back: re-armed from 880, 3999, 0, nothing moves.
        p.txtSound->setFocus(Qt::MouseFocusReason);
        p.scFreqAdjTone->setFocus(Qt::MouseFocusReason);
        QCOMPARE(p.scFreqAdjTone->value(), 100);
        QCOMPARE(p.FrequencyBase[1], 880);
        QCOMPARE(p.FrequencyBase[2], 3999);
        QCOMPARE(p.scFreq[1]->value(), 880);
        QCOMPARE(bench.take(), QStringList());
        p.scFreqAdjTone->setValue(50);
        QCOMPARE(p.scFreq[1]->value(), 440);
        QCOMPARE(p.scFreq[2]->value(), 2000);  // 1999.5 to the even 2000

        // A real click in the track: the focus (arming) comes before the move.
        p.txtSound->setFocus(Qt::MouseFocusReason);
        bench.take();
        QScrollBar* bar = p.scFreqAdjTone;
        // Near the right end of the track: right of the thumb wherever the arming puts it.
        const QRect addLine = SubControl(bar, QStyle::SC_ScrollBarAddLine);
        QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(addLine.left() - 4, bar->height() / 2));
        QVERIFY(bar->hasFocus());
        QCOMPARE(bar->value(), 101);          // re-armed at 100, then one track step
        QCOMPARE(p.scFreq[1]->value(), 444);  // 440 * 1.01
        QCOMPARE(p.scFreq[2]->value(), 2020);
    }

    void harmonise() {
        Bench bench;
        FrmSynthCtrl& p = *bench.panel;
        p.scFreq[1]->setValue(500);
        p.scFreq[2]->setValue(494);
        p.scFreq[3]->setValue(495);
        p.scFreq[4]->setValue(123);
        p.scFreq[5]->setValue(321);
        bench.take();
        p.Command1->click();
        QCOMPARE(p.scFreq[1]->value(), 550);
        QCOMPARE(p.scFreq[2]->value(), 440);
        QCOMPARE(p.scFreq[3]->value(), 550);
        QCOMPARE(p.scFreq[4]->value(), 123);
        QCOMPARE(p.scFreq[5]->value(), 321);
        QCOMPARE(bench.take(), (QStringList{"\\01J 550NX", "\\02J 440NX", "\\03J 550NX"}));

        p.scFreq[1]->setValue(0);
        bench.take();
        p.Command1->click();
        QCOMPARE(p.scFreq[1]->value(), 0);
        QCOMPARE(bench.take(), QStringList());  // already multiples

        // A base that is 0, negative or no number does nothing.
        p.scFreq[1]->setValue(333);
        bench.take();
        for (const char* text : {"0", "-110", "abc", "", "1e999"}) {
            p.txtHFreq->setText(text);
            p.Command1->click();
            QCOMPARE(p.scFreq[1]->value(), 333);
            QCOMPARE(bench.take(), QStringList());
        }
        // A result beyond the scroll bar stops at 3999.
        p.txtHFreq->setText("1000");
        p.scFreq[1]->setValue(3600);
        bench.take();
        p.Command1->click();
        QCOMPARE(p.scFreq[1]->value(), 3999);
        QCOMPARE(p.scFreq[2]->value(), 0);
        QCOMPARE(p.scFreq[3]->value(), 1000);
    }

    void dragSendsEveryStepAndTheFinalTwice() {
        Bench bench;
        QScrollBar* bar = bench.panel->scFreq[1];
        bar->setSliderDown(true);
        bar->setSliderPosition(10);
        bar->setSliderPosition(20);
        bar->setSliderDown(false);
        QCOMPARE(bench.take(), (QStringList{"\\01J 10NX", "\\01J 20NX", "\\01J 20NX"}));
        QCOMPARE(bench.panel->txtFreq[1]->text(), QString("20"));
    }

    void fastDragAcrossTheWholeRange() {
        Bench bench(false);  // real pacing: a write takes longer than the gap between moves
        FrmSynthCtrl& p = *bench.panel;
        QScrollBar* bar = p.scFreq[2];
        const QPoint start = ThumbRect(bar).center();
        QTest::mousePress(bar, Qt::LeftButton, {}, start);
        QVERIFY(bar->isSliderDown());
        // A mouse moving every millisecond across the whole track and beyond, then released.
        const int steps = 100;
        const int endX = bar->width() + 20;
        int step = 0;
        std::function<void()> nextMove = [&] {
            ++step;
            if (step > steps) {
                QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(endX, start.y()));
                return;
            }
            QTimer::singleShot(1, &p, nextMove);  // the next move is on its way already
            QTest::mouseMove(bar, QPoint(start.x() + (endX - start.x()) * step / steps, start.y()));
        };
        // Something else the user does meanwhile must be handled while writes go out.
        bool otherRan = false;
        bool otherDuringDrag = false;
        bool otherMidWrite = false;
        QTimer::singleShot(20, &p, [&] {
            otherRan = true;
            otherDuringDrag = bar->isSliderDown();
            otherMidWrite = !bench.main.sender().SendBuffer.isEmpty();
        });
        QTimer::singleShot(1, &p, nextMove);
        QTRY_VERIFY_WITH_TIMEOUT(step > steps && !bar->isSliderDown(), 20000);
        QTRY_VERIFY(bench.main.sender().SendBuffer.isEmpty());
        QCOMPARE(bar->value(), 3999);
        QCOMPARE(p.txtFreq[2]->text(), QString("3999"));
        QVERIFY(otherRan);
        QVERIFY(otherDuringDrag);
        QVERIFY(otherMidWrite);
        // The line ends with the complete write of the final position; the writes that the
        // next move overtook were cut short, so there are far fewer complete ones than moves.
        const QByteArray written = bench.record->written;
        QVERIFY(written.endsWith("\\02J 3999NX"));
        QVERIFY2(written.count("NX") < steps / 2, written.left(200).constData());
        QVERIFY(written.count("\\0") > steps / 2);  // yet every move started its write
    }

    // A value typed into a box, then a button tapped as a touchpad taps: press and release
    // are both waiting before the press moves the focus and the box's write goes out. The
    // click must still land, after the write.
    void quickTapAfterTypingIsNotLost_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("button");
        QTest::newRow("volume, then Save") << "txtVol(1)"
                                           << "21"
                                           << "btnSave";
        QTest::newRow("frequency, then Harmonise") << "txtFreq(2)"
                                                   << "500"
                                                   << "Command1";
        QTest::newRow("master volume, then Done") << "txtLevel(1)"
                                                  << "50"
                                                  << "btnDone";
    }
    void quickTapAfterTypingIsNotLost() {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, button);
        Bench bench(false);  // the real pacing between bytes
        FrmSynthCtrl& p = *bench.panel;
        QVERIFY(bench.active);
        p.txtSound->setText("Tap");
        auto* edit = p.findChild<QLineEdit*>(box);
        auto* target = p.findChild<QPushButton*>(button);
        QVERIFY(edit && target);
        QTest::mouseClick(edit, Qt::LeftButton);
        QVERIFY(edit->hasFocus());
        edit->selectAll();
        QTest::keyClicks(edit, typed);
        bench.take();
        bool clicked = false;
        QObject::connect(target, &QPushButton::clicked, [&] {
            clicked = true;
            // The box's write went out before the click ran.
            QVERIFY(!bench.record->written.isEmpty());
        });
        test::QueueClick(target);
        QTRY_VERIFY_WITH_TIMEOUT(clicked, 3000);
        QVERIFY(!target->isDown());
        if (button == "btnSave") {
            QVERIFY(bench.folder.read("QLSounds.txt").contains("Vol1=21"));
        } else if (button == "Command1") {
            QCOMPARE(p.scFreq[2]->value(), 550);  // the typed 500, snapped to a multiple of 110
        } else {
            QVERIFY(!p.isVisible());
            QCOMPARE(bench.take().mid(0, 2), (QStringList{"\\07J 50NX", "\\0RX"}));
        }
    }

    // Only a move of the focus to another control leaves a box: its context menu and a switch
    // to another program do not, and the typed value waits.
    void boxIsLeftOnlyForAnotherControl() {
        Bench bench;
        FrmSynthCtrl& p = *bench.panel;
        QVERIFY(bench.active);
        QTest::mouseClick(p.txtVol[1], Qt::LeftButton);
        p.txtVol[1]->selectAll();
        QTest::keyClicks(p.txtVol[1], "20");
        test::QueueClick(p.txtVol[1], {}, 5, Qt::RightButton);
        QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
        QApplication::activePopupWidget()->close();
        QTRY_VERIFY(p.txtVol[1]->hasFocus());
        QWidget elsewhere;  // another program's window
        elsewhere.show();
        elsewhere.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&elsewhere));
        p.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&p));
        QVERIFY(p.txtVol[1]->hasFocus());
        QCOMPARE(bench.take(), QStringList());
        QTest::keyClick(p.txtVol[1], Qt::Key_Tab);
        QVERIFY(!p.txtVol[1]->hasFocus());
        QCOMPARE(bench.take(), QStringList{"\\011J 20NX"});
    }

    // Left lowers and Right raises every scroll bar; the wheel keeps its direction.
    void arrowKeysMoveTheWayTheyPoint() {
        Bench bench;
        FrmSynthCtrl& p = *bench.panel;
        QScrollBar* master = p.scLevel[1];
        master->setFocus(Qt::TabFocusReason);
        QTest::keyClick(master, Qt::Key_Right);
        QCOMPARE(master->value(), 97);
        QTest::keyClick(master, Qt::Key_Left);
        QTest::keyClick(master, Qt::Key_Left);
        QCOMPARE(master->value(), 95);
        QCOMPARE(bench.take(), (QStringList{"\\07J 97NX", "\\07J 96NX", "\\07J 95NX"}));
        // The wheel turned away from the user moves towards the left end, as before.
        QWheelEvent wheel(QPointF(5, 5), master->mapToGlobal(QPointF(5, 5)), QPoint(),
                          QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(master, &wheel);
        QVERIFY(master->value() < 95);
    }

    void controlsNamesRangesAndLayout() {
        Bench bench;
        FrmSynthCtrl& p = *bench.panel;
        QCOMPARE(p.size(), QSize(781, 655));
        struct Bar {
            const char* name;
            int maximum, page;
        };
        const Bar bars[] = {
            {"scLevel(1)", 127, 4},    {"scEnvolopeFreq", 255, 22}, {"scFreq(1)", 3999, 22},
            {"scVol(3)", 31, 4},       {"scFreq(5)", 3999, 22},     {"scVol(4)", 31, 4},
            {"scFreqAdjTone", 200, 1}, {"scVolAdjTone", 200, 1},    {"scLevel(0)", 255, 16}};
        for (const Bar& b : bars) {
            auto* bar = p.findChild<QScrollBar*>(b.name);
            QVERIFY2(bar, b.name);
            QCOMPARE(bar->minimum(), 0);
            QCOMPARE(bar->maximum(), b.maximum);
            QCOMPARE(bar->pageStep(), b.page);
            QCOMPARE(bar->singleStep(), 1);
            QCOMPARE(bar->focusPolicy(), Qt::StrongFocus);
        }
        const QStringList frames = {"FrameOsc(1)", "FrameOsc(2)", "FrameOsc(3)",
                                    "FrameOsc(4)", "FrameOsc(5)", "FrameOsc(6)",
                                    "FrameOsc(7)", "Frame1",      "Frame2"};
        const QStringList titles = {"Oscillator #1", "Oscillator #2",   "Oscillator #3",
                                    "Oscillator #4", "Oscillator #5",   "Noise Generators",
                                    "Mains",         "Tone Generators", "Tools"};
        for (int i = 0; i < frames.size(); ++i) {
            auto* frame = p.findChild<QGroupBox*>(frames[i]);
            QVERIFY2(frame, qPrintable(frames[i]));
            QCOMPARE(frame->title(), titles[i]);
        }
        QCOMPARE(p.FrameOsc[4]->parentWidget(), p.FrameOsc[6]);
        QCOMPARE(p.FrameOsc[2]->parentWidget(), p.Frame1);
        QCOMPARE(p.Frame2->parentWidget(), p.Frame1);
        const QStringList buttons = {"Option1(0)", "Option1(1)", "Option1(2)", "Option1(3)",
                                     "Check2(0)",  "Check2(1)",  "Command1",   "Command2",
                                     "Command3",   "btnLoad",    "btnSave",    "btnShutUp",
                                     "btnDone"};
        const QStringList captions = {
            "Saw",       "Sine",      "Triangle", "Square", "One Half Enveloped",
            "Enveloped", "Harmonise", "Z",        "Z",      "Load",
            "Save",      "Shut Up",   "Done"};
        for (int i = 0; i < buttons.size(); ++i) {
            auto* button = p.findChild<QAbstractButton*>(buttons[i]);
            QVERIFY2(button, qPrintable(buttons[i]));
            QCOMPARE(button->text(), captions[i]);
        }
        QCOMPARE(p.btnShutUp->toolTip(), QString("Stop the Quillon now."));
        for (const char* name : {"txtFreq(5)", "txtVol(2)", "txtLevel(0)", "txtLevel(1)",
                                 "txtEnvFreq", "txtHFreq", "txtSound"}) {
            QVERIFY2(p.findChild<QLineEdit*>(name), name);
        }

        // Every caption fits its control, and no two controls of a container overlap.
        const QList<QWidget*> all = p.findChildren<QWidget*>();
        for (QWidget* w : all) {
            if (!w->isVisibleTo(&p) || w->objectName().isEmpty() ||
                w->objectName().startsWith("qt_") || w == p.lblSoundNote) {
                continue;
            }
            if (qobject_cast<QLabel*>(w) || qobject_cast<QCheckBox*>(w) ||
                qobject_cast<QRadioButton*>(w)) {
                QVERIFY2(w->sizeHint().width() <= w->width(), qPrintable(w->objectName()));
            } else if (auto* button = qobject_cast<QPushButton*>(w)) {
                const int textWidth = button->fontMetrics().horizontalAdvance(button->text());
                QVERIFY2(textWidth + 8 <= button->width(), qPrintable(w->objectName()));
            }
            if (w->parentWidget()) {
                QVERIFY2(w->parentWidget()->rect().contains(w->geometry()),
                         qPrintable(w->objectName()));
            }
        }
        QList<QWidget*> containers = p.findChildren<QWidget*>();
        containers << &p;
        for (QWidget* container : containers) {
            QList<QWidget*> kids;
            for (QObject* o : container->children()) {
                auto* w = qobject_cast<QWidget*>(o);
                if (w && !w->isWindow() && w->isVisibleTo(&p) && !w->objectName().isEmpty() &&
                    !w->objectName().startsWith("qt_")) {
                    kids << w;
                }
            }
            for (int a = 0; a < kids.size(); ++a) {
                for (int b = a + 1; b < kids.size(); ++b) {
                    QVERIFY2(!kids[a]->geometry().intersects(kids[b]->geometry()),
                             qPrintable(kids[a]->objectName() + " / " + kids[b]->objectName()));
                }
            }
        }
        if (!qEnvironmentVariableIsEmpty("SYNTH_SCREENSHOT")) {
            p.txtSound->setText("a]b");  // shows the refusal note as well
            p.btnSave->click();
            p.grab().save(qEnvironmentVariable("SYNTH_SCREENSHOT"));
        }
    }
};

QTEST_MAIN(SynthPanelTest)
#include "synth_panel_test.moc"
