// Real input arriving while the sender writes: a long drag of a synthesiser scroll bar, a preset
// loaded and the panel closed in the middle of writes, the port box losing the focus, clicks
// behind an opening panel, and the phrase editor's buttons and closing during sends.

#include <QApplication>
#include <QStyleOptionSlider>
#include <QtTest>
#include <functional>
#include <memory>

#include "core/codes/code_table.h"
#include "support/test_support.h"
#include "ui/main/frm_utility.h"
#include "ui/phrase/frm_phrase.h"
#include "ui/synth/frm_synth_ctrl.h"

using namespace cantora;

namespace {

QRect ThumbRect(QScrollBar* bar) {
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
    return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider,
                                        bar);
}

// Runs `input` as an event in the send's event processing after the byte just written.
void AfterThisByte(QObject* context, std::function<void()> input) {
    QMetaObject::invokeMethod(context, std::move(input), Qt::QueuedConnection);
}

// Notes the class of every phrase editor or synthesiser panel that comes up.
class ShowWatcher : public QObject {
  public:
    explicit ShowWatcher(QStringList* shown) : shown_(shown) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show &&
            (qobject_cast<FrmSynthCtrl*>(watched) || qobject_cast<FrmPhrase*>(watched))) {
            shown_->append(
                QString::fromLatin1(watched->metaObject()->className()).split("::").last());
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    QStringList* shown_;
};

// A main window on a recording port with the synthesiser panel open, its opening writes done.
struct Panel {
    test::TempProgramFolder folder;
    std::shared_ptr<test::PortRecord> record = std::make_shared<test::PortRecord>();
    FrmUtility main{std::make_unique<test::RecordingPort>(record)};
    std::unique_ptr<FrmSynthCtrl> panel;

    Panel() {
        folder.write("QLSounds.txt",
                     "[Bell]\r\nFreq1=100\r\nVol1=10\r\nFreq2=200\r\nVol2=11\r\n"
                     "Freq3=300\r\nVol3=12\r\nFreq4=400\r\nVol4=13\r\n"
                     "Freq5=500\r\nVol5=14\r\n");
        panel = std::make_unique<FrmSynthCtrl>(main, &main);
        panel->show();
        panel->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(panel.get()));
        record->written.clear();
        main.sender().resetMaxNestingDepth();
    }
};

}  // namespace

class SendReentryTest : public QObject {
    Q_OBJECT
  private slots:
    // A minute of sweeping a frequency bar to and fro at a mouse's 125 reports a second, each
    // move arriving while the previous write is going out, at the real 1 ms pacing. The moves
    // come faster than a hand makes them so that the minute takes seconds.
    void minuteLongDragStaysShallow() {
        Panel bench;
        FrmSynthCtrl& p = *bench.panel;
        QScrollBar* bar = p.scFreq[2];
        const QRect thumb = ThumbRect(bar);
        const int y = thumb.center().y();
        const int left = thumb.width() / 2 + 20;
        const int right = bar->width() - thumb.width() / 2 - 20;
        QVERIFY(right - left > 100);
        QTest::mousePress(bar, Qt::LeftButton, {}, thumb.center());
        QVERIFY(bar->isSliderDown());

        const int moves = 60 * 125;
        int moved = 0;
        int bytesSinceMove = 0;
        int x = left;
        int direction = 1;
        const auto nextX = [&] {
            if (x + direction > right || x + direction < left) {
                direction = -direction;
            }
            x += direction;
            return x;
        };
        bench.record->onByte = [&](char) {
            // Most moves come after the first byte of a write, some a little later.
            const int wait = moved % 4 == 0 ? 3 : 1;
            if (moved < moves && ++bytesSinceMove == wait) {
                bytesSinceMove = 0;
                ++moved;
                const int to = nextX();
                AfterThisByte(&p, [bar, to, y] { QTest::mouseMove(bar, QPoint(to, y)); });
            }
        };
        QTest::mouseMove(bar, QPoint(nextX(), y));  // the first write: the one that paces
        QCOMPARE(moved, moves);                     // every move changed the value and sent
        bench.record->onByte = nullptr;
        QCOMPARE(bench.main.sender().maxNestingDepth(), 2);
        QVERIFY(bench.main.sender().SendBuffer.isEmpty());

        const QByteArray final = QStringLiteral("\\02J %1NX").arg(bar->value()).toLatin1();
        QCOMPARE(p.txtFreq[2]->text(), QString::number(bar->value()));
        QVERIFY(bench.record->written.endsWith(final));
        QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(x, y));
        QVERIFY(!bar->isSliderDown());
        // The final position complete, then once more for the release.
        QVERIFY(bench.record->written.endsWith(final + final));
        // Every move started its write, and a later move cut it short.
        QVERIFY(bench.record->written.count('\\') >= moves);
        QVERIFY(bench.record->written.count("NX") < moves / 4);
    }

    // "Load" pressed and released while a write goes out: all ten writes follow in order. "Done"
    // clicked while they go out: the rest of them is dropped and the last string is the
    // envelope reset.
    void loadThenDoneDuringWrites() {
        Panel bench;
        FrmSynthCtrl& p = *bench.panel;
        p.txtSound->setText("Bell");
        const int loadPress = 2, loadRelease = 4, donePress = 24, doneRelease = 26;
        QVERIFY(QTest::qWaitForWindowActive(&p));
        bench.record->onByte = [&](char) {
            const int n = bench.record->written.size();
            QAbstractButton* button = n == loadPress || n == loadRelease ? p.btnLoad : p.btnDone;
            if (n == loadPress || n == donePress) {
                AfterThisByte(&p, [button] { QTest::mousePress(button, Qt::LeftButton); });
            } else if (n == loadRelease || n == doneRelease) {
                AfterThisByte(&p, [button] { QTest::mouseRelease(button, Qt::LeftButton); });
            }
        };
        p.scFreq[1]->setValue(440);
        QVERIFY(!p.isVisible());
        const QStringList sent = test::SplitScpCommands(bench.record->written);
        // The write under way is cut, the preset's first writes go out complete, in order...
        QVERIFY2(bench.record->written.startsWith("\\01J\\01J 100NX\\011J 10NX\\0\\0RX"),
                 bench.record->written.left(40).constData());
        // ...and after "Done" only the reset's writes and the envelope reset.
        QCOMPARE(sent.mid(3), (QStringList{"\\011J 0NX", "\\012J 0NX", "\\013J 0NX", "\\014J 0NX",
                                           "\\015J 0NX", "\\01J 0NX", "\\02J 0NX", "\\03J 0NX",
                                           "\\04J 0NX", "\\05J 0NX", "\\08J 0NX"}));
        QCOMPARE(bench.main.sender().maxNestingDepth(), 2);
    }

    // The user leaves the port box by pressing "Test" during a send: the port closes, the send
    // ends quietly with a white box, and the test's send on the release opens it again.
    void portBoxLosesTheFocusDuringASend() {
        test::TempProgramFolder folder;
        auto record = std::make_shared<test::PortRecord>();
        FrmUtility main(std::make_unique<test::RecordingPort>(record));
        main.show();
        main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        QTest::mouseClick(main.txtComPort, Qt::LeftButton);
        QVERIFY(main.txtComPort->hasFocus());
        record->onByte = [&](char) {
            if (record->written.size() == 10) {
                AfterThisByte(&main,
                              [&] { QTest::mousePress(main.cmdTestSerialPort, Qt::LeftButton); });
            }
        };
        main.SendToQuillon(QByteArray(100, 'x'), false);
        QVERIFY(!main.txtComPort->hasFocus());
        QCOMPARE(record->written, QByteArray(10, 'x'));
        QVERIFY(!main.sender().PortOpen());
        QCOMPARE(main.linkColour(), QColor(255, 255, 255));
        // The release ends the click on "Test", whose send opens the port again.
        record->onByte = nullptr;
        QTest::mouseRelease(main.cmdTestSerialPort, Qt::LeftButton);
        QCOMPARE(record->written, QByteArray(10, 'x') + QByteArray("\x1F\\0VX", 5));
        QCOMPARE(main.linkColour(), QColor(0, 255, 0));
        QCOMPARE(record->openings.size(), 2);
    }

    // "Synth Control" clicked while the port test goes out: the panel's modal loop runs above
    // the interrupted send, so its writes must go out while it is open, not when it closes.
    void panelOpenedDuringASendWritesAtOnce() {
        test::TempProgramFolder folder;
        auto record = std::make_shared<test::PortRecord>();
        FrmUtility main(std::make_unique<test::RecordingPort>(record));
        main.show();
        main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        const QByteArray lastOpening = "\\08J 0NX";
        QByteArray seenWhileOpen;
        bool doneAsked = false;
        record->onByte = [&](char) {
            const qsizetype n = record->written.size();
            if (n == 2) {
                AfterThisByte(&main, [&] { QTest::mousePress(main.Synth, Qt::LeftButton); });
            } else if (n == 4) {
                AfterThisByte(&main, [&] { QTest::mouseRelease(main.Synth, Qt::LeftButton); });
            } else if (!doneAsked && record->written.endsWith(lastOpening)) {
                doneAsked = true;
                seenWhileOpen = record->written;
                auto* panel = qobject_cast<FrmSynthCtrl*>(QApplication::activeModalWidget());
                QVERIFY(panel != nullptr);
                AfterThisByte(panel,
                              [panel] { QTest::mouseClick(panel->btnDone, Qt::LeftButton); });
            }
        };
        // Should the writes wait for the panel to close, close it anyway after a while.
        QTimer::singleShot(3000, &main, [] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                modal->close();
            }
        });
        QTest::mouseClick(main.cmdTestSerialPort, Qt::LeftButton);
        QVERIFY(doneAsked);
        QVERIFY(seenWhileOpen.startsWith(QByteArray("\x1F\\0V", 4)));
        const QStringList opening = test::SplitScpCommands(seenWhileOpen.mid(4));
        QCOMPARE(opening.size(), 15);
        QCOMPARE(opening.first(), QString("\\0RX"));
        // The closing reset follows; the rest of the port test never does.
        QCOMPARE(test::SplitScpCommands(record->written.mid(seenWhileOpen.size())),
                 (QStringList{"\\0RX", "\\08J 0NX"}));
        QVERIFY(main.sender().SendBuffer.isEmpty());
    }

    // "Synth Control" clicked again and "Phrase Editor" clicked while the panel's opening
    // writes go out: the panel is already modal, so neither click reaches the main window.
    void nothingBehindAnOpeningPanelTakesInput() {
        test::TempProgramFolder folder;
        auto record = std::make_shared<test::PortRecord>();
        FrmUtility main(std::make_unique<test::RecordingPort>(record));
        main.show();
        main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        QStringList shown;  // every window that came up
        ShowWatcher watcher(&shown);
        qApp->installEventFilter(&watcher);
        bool clickedBehind = false;
        record->onByte = [&](char) {
            if (!clickedBehind && record->written.size() == 20) {
                clickedBehind = true;
                test::QueueClick(main.Synth);
                test::QueueClick(main.EditPhrases);
            }
        };
        // Closes the top window once the opening is out (every window, should more come up).
        QTimer closer;
        closer.setInterval(20);
        QObject::connect(&closer, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal && clickedBehind && !main.sender().sending() &&
                test::SplitScpCommands(record->written).size() >= 15) {
                modal->close();
            }
        });
        closer.start();
        test::QueueClick(main.Synth);
        QTRY_VERIFY_WITH_TIMEOUT(clickedBehind && !QApplication::activeModalWidget(), 10000);
        qApp->removeEventFilter(&watcher);
        QCOMPARE(shown, QStringList{"FrmSynthCtrl"});
        const QStringList sent = test::SplitScpCommands(record->written);
        QCOMPARE(sent.size(), 17);
        QCOMPARE(sent.mid(14), (QStringList{"\\08J 0NX", "\\0RX", "\\08J 0NX"}));
    }

    // "Done" pressed while "Say It" sends: the rest of the phrase is dropped with the window.
    // "Say It" clicked while another send goes out: its phrase joins that send, and the button
    // stays disabled (and the pointer busy) until the phrase is out.
    void phraseEditorWaitsForItsPhraseAndStopsItWhenClosing() {
        LoadCodeNames();
        test::TempProgramFolder folder;
        auto record = std::make_shared<test::PortRecord>();
        FrmUtility main(std::make_unique<test::RecordingPort>(record));
        FrmPhrase editor(main, &main);
        editor.show();
        editor.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&editor));
        editor.chkApplyControlsBeforeSayData->setChecked(false);
        editor.txtSayData->setPlainText(QString("\\IY ").repeated(40));

        // Say It while "Shut Up"'s six bytes go out.
        QList<bool> enabledWhileOut;
        record->onByte = [&](char) {
            const qsizetype n = record->written.size();
            if (n == 2) {
                AfterThisByte(&editor, [&] { QTest::mousePress(editor.bntSayIt, Qt::LeftButton); });
            } else if (n == 3) {
                AfterThisByte(&editor,
                              [&] { QTest::mouseRelease(editor.bntSayIt, Qt::LeftButton); });
            } else if (n > 5 && n < 40) {
                enabledWhileOut << editor.bntSayIt->isEnabled();
                QVERIFY(QApplication::overrideCursor() != nullptr);
            }
        };
        QTest::mouseClick(editor.btnShutUp, Qt::LeftButton);
        QCOMPARE(record->written.size(), 3 + 40);  // the phrase replaced the rest of Shut Up
        QVERIFY(!enabledWhileOut.isEmpty());
        QVERIFY(!enabledWhileOut.contains(true));
        QVERIFY(editor.bntSayIt->isEnabled());
        QVERIFY(QApplication::overrideCursor() == nullptr);

        // Done while the phrase goes out.
        record->written.clear();
        record->onByte = [&](char) {
            const qsizetype n = record->written.size();
            if (n == 5) {
                AfterThisByte(&editor, [&] { QTest::mousePress(editor.btnDone, Qt::LeftButton); });
            } else if (n == 7) {
                AfterThisByte(&editor,
                              [&] { QTest::mouseRelease(editor.btnDone, Qt::LeftButton); });
            }
        };
        QTest::mouseClick(editor.bntSayIt, Qt::LeftButton);
        QVERIFY(!editor.isVisible());
        QCOMPARE(record->written.size(), 7);
        QCOMPARE(main.PhraseToMove, editor.txtSayData->toPlainText());
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }
};

QTEST_MAIN(SendReentryTest)
#include "send_reentry_test.moc"
