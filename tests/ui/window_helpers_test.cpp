// The helpers every window shares: focus hooks that go quiet when a window is destroyed, the
// lenient number rule of value boxes, and the prompter seam.

#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QScopeGuard>
#include <QScrollBar>
#include <QTextLayout>
#include <QtTest>
#include <memory>

#include "support/test_support.h"
#include "ui/common/prompter.h"
#include "ui/common/widgets.h"

using namespace cantora;

namespace {

// A window whose focus hook reads a member, as the real windows' hooks do.
class HookedWindow : public QWidget {
  public:
    explicit HookedWindow(bool disarm, int* runsAfterMembersGone) : disarm_(disarm) {
        box = new QLineEdit(this);
        other = new QLineEdit(this);
        OnFocusOut(box, [this, runsAfterMembersGone] {
            if (!state_) {
                ++*runsAfterMembersGone;
            }
        });
    }
    ~HookedWindow() override {
        if (disarm_) {
            DisarmFocusHooks(this);
        }
        // Stands for the members a window's destructor has already destroyed when the children
        // go (the main window's sender).
        state_.reset();
    }
    QLineEdit* box = nullptr;
    QLineEdit* other = nullptr;

  private:
    bool disarm_;
    std::unique_ptr<int> state_ = std::make_unique<int>(1);
};

}  // namespace

class WindowHelpersTest : public QObject {
    Q_OBJECT
  private slots:
    void focusHooksAreQuietDuringDestruction_data() {
        QTest::addColumn<bool>("disarm");
        QTest::addColumn<int>("lateRuns");
        QTest::newRow("disarmed") << true << 0;
        // The window going away takes the focus with it (the box is not left for another
        // control), so even a hook left armed stays quiet here; the disarming covers the rest.
        QTest::newRow("left armed") << false << 0;
    }
    void focusHooksAreQuietDuringDestruction() {
        QFETCH(bool, disarm);
        QFETCH(int, lateRuns);
        int runs = 0;
        auto* window = new HookedWindow(disarm, &runs);
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        window->box->setFocus();
        QTRY_VERIFY(window->box->hasFocus());
        delete window;
        QCOMPARE(runs, lateRuns);
    }

    void focusHooksStillRunWhileTheWindowLives() {
        int runs = 0;
        HookedWindow window(true, &runs);
        int outs = 0;
        OnFocusOut(window.other, [&outs] { ++outs; });
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        window.other->setFocus();
        QTRY_VERIFY(window.other->hasFocus());
        window.box->setFocus();
        QTRY_COMPARE(outs, 1);
    }

    void numberBoxRule_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("boxAfter");
        QTest::addColumn<int>("position");
        QTest::newRow("plain") << "12"
                               << "12" << 12;
        QTest::newRow("half to even down") << "12.5"
                                           << "12.5" << 12;
        QTest::newRow("half to even up") << "13.5"
                                         << "13.5" << 14;
        QTest::newRow("over the maximum") << "300"
                                          << "127" << 127;
        QTest::newRow("negative") << "-4"
                                  << "0" << 0;
        QTest::newRow("no number") << "abc"
                                   << "abc" << 0;
        QTest::newRow("leading number only") << "7x9"
                                             << "7x9" << 7;
        QTest::newRow("just under the maximum") << "126.6"
                                                << "126.6" << 127;
    }
    void numberBoxRule() {
        QFETCH(QString, typed);
        QFETCH(QString, boxAfter);
        QFETCH(int, position);
        QLineEdit box;
        QScrollBar bar;
        bar.setRange(0, 127);
        bar.setValue(50);
        box.setText(typed);
        ApplyNumberBox(&box, &bar);
        QCOMPARE(box.text(), boxAfter);
        QCOMPARE(bar.value(), position);
    }

    void scriptedAnswersStackAndPassOn() {
        test::ScriptedAnswers outer(QMessageBox::No);
        {
            test::ScriptedAnswers inner(QMessageBox::Yes);
            QCOMPARE(
                AskNotice(nullptr, "first", QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes),
                QMessageBox::Yes);
            // The inner script is spent: the next question goes to the outer one.
            QCOMPARE(
                AskNotice(nullptr, "second", QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes),
                QMessageBox::No);
            QCOMPARE(inner.texts(), QStringList{"first"});
            QCOMPARE(inner.titles(), QStringList{"Notice"});
        }
        QCOMPARE(outer.texts(), QStringList{"second"});
        // Gone out of scope, the inner script no longer answers anything.
        QCOMPARE(&Prompter::current(), static_cast<Prompter*>(&outer));
    }

    void reportBoxFitsItsTitleAndBreaksPathsAtSlashes_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::newRow("short text") << "Import Status" << "12 words added.";
        const char* const paths[] = {
            "/home/someone/.local/share/cantora-utility/dictionaries/year-seven-science/"
            "Verbalyn.Dic",
            "/media/teacher/usb-stick-2026/cantora-lessons/spring-term/week-twelve/"
            "sound-presets-for-the-band/QLSounds.txt",
            "/home/a-person-with-a-long-name/projects/talking-robot-for-the-science-fair/"
            "firmware/phrases/hello-world.h",
        };
        for (const char* path : paths) {
            QTest::newRow(path) << "Save Status"
                                << QStringLiteral("The file %1 could not be written.").arg(path);
        }
    }

    void reportBoxFitsItsTitleAndBreaksPathsAtSlashes() {
        QFETCH(QString, title);
        QFETCH(QString, text);
        QWidget owner;
        owner.show();
        bool seen = false;
        QTimer::singleShot(100, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box != nullptr);
            seen = true;
            // Closed however the checks below end, so a failure does not leave it waiting.
            const auto close = qScopeGuard([box] { box->accept(); });
            // Where a style lets the text be selected, a copy of it is the text as written.
            QLabel* label = box->findChild<QLabel*>("qt_msgbox_label");
            QVERIFY(label != nullptr);
            label->setTextInteractionFlags(Qt::TextSelectableByMouse |
                                           Qt::TextSelectableByKeyboard);
            label->setSelection(0, static_cast<int>(label->text().size()));
            QTest::keyClick(label, Qt::Key_C, Qt::ControlModifier);
            QTRY_COMPARE(QApplication::clipboard()->text(), text);
            // Room for the whole title beside the title bar's buttons.
            QVERIFY2(box->width() >= box->fontMetrics().horizontalAdvance(title) + 120,
                     qPrintable(QString::number(box->width())));
            // The same words, laid out as the label lays them out: a line ends at a blank or
            // after a slash, never inside a folder or file name.
            QString shown = label->text();
            const auto visible = [](QString part) {
                return part.remove(QChar(0x200B)).remove(QChar(0x2060));
            };
            QCOMPARE(visible(shown), text);
            QTextLayout layout(shown, label->font());
            QTextOption option;
            option.setWrapMode(QTextOption::WordWrap);
            layout.setTextOption(option);
            layout.beginLayout();
            QStringList ends;
            for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
                line.setLineWidth(label->contentsRect().width());
                const qsizetype end = line.textStart() + line.textLength();
                if (end < shown.size()) {
                    ends << visible(shown.left(end)).right(1);
                }
            }
            layout.endLayout();
            for (const QString& end : ends) {
                QVERIFY2(end == "/" || end == " ", qPrintable(ends.join('|')));
            }
        });
        ShowReport(&owner, title, text);
        QVERIFY(seen);
    }
};

QTEST_MAIN(WindowHelpersTest)
#include "window_helpers_test.moc"
