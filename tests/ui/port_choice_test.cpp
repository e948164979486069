// Finding the port from the main window: the device list of the "…" button and the port box's
// context menu, choosing a device, the red box's reasons, the About box, and an accessible name
// on every control of every window.

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSerialPort>
#include <QTest>
#include <QTimer>
#include <functional>

#include "core/chip/renderer.h"
#include "core/files/folders.h"
#include "core/files/profile.h"
#include "core/serial/devices.h"
#include "support/test_support.h"
#include "ui/codes/frm_codes.h"
#include "ui/dictionary/frm_dict_edit.h"
#include "ui/main/frm_utility.h"
#include "ui/phrase/frm_phrase.h"
#include "ui/synth/frm_synth_ctrl.h"

using namespace cantora;

namespace {

const QColor kGreen(0, 255, 0);
const QColor kRed(255, 0, 0);

// Once a menu pops up, runs `inside` on it (it must close it).
void OnNextMenu(const std::function<void(QMenu*)>& inside) {
    QTimer::singleShot(50, [inside] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu != nullptr);
        inside(menu);
    });
}

QStringList EntryTexts(const QMenu* menu) {
    QStringList texts;
    for (const QAction* action : menu->actions()) {
        if (!action->text().isEmpty()) {
            texts.append(action->text());
        }
    }
    return texts;
}

}  // namespace

class PortChoiceTest : public QObject {
    Q_OBJECT
  private slots:
    void cleanup() { SetExtraSerialDevices({}); }
    void choosingADeviceMapsAndTests();
    void contextMenuKeepsItsEntries();
    void redBoxSaysWhy();
    void redBoxClearsWhenTheDestinationChanges();
    void aboutBoxShowsIconFoldersAndNotice();
    void everyControlHasAName();
};

void PortChoiceTest::choosingADeviceMapsAndTests() {
    test::TempProgramFolder folder;
    test::PtyPair pty;
    QVERIFY(pty.ok());
    folder.write("Verbalyn.ini",
                 "[Serial]\r\nPort=4\r\nFlowControl=1\r\n\r\n[Ports]\r\n1=/dev/x\r\n");
    SetExtraSerialDevices({{pty.slavePath(), "Test terminal"}});
    FrmUtility main;
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    const QString label = pty.slavePath() + QString::fromUtf8(" \u2014 Test terminal");

    QStringList shown;
    OnNextMenu([&](QMenu* menu) {
        shown = EntryTexts(menu);
        QAction* entry = nullptr;
        for (QAction* action : menu->actions()) {
            if (action->text() == label) {
                entry = action;
            }
        }
        QVERIFY(entry != nullptr && entry->isEnabled() && !entry->isChecked());
        // Chosen with the mouse, as a user does.
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(entry).center());
    });
    QTest::mouseClick(main.cmdPorts, Qt::LeftButton);
    QVERIFY2(shown.contains(label), qPrintable(shown.join(" | ")));

    // Exactly the one line is added; the test reached the device and the box is green.
    QCOMPARE(folder.read("Verbalyn.ini"),
             "[Serial]\r\nPort=4\r\nFlowControl=1\r\n\r\n[Ports]\r\n1=/dev/x\r\n4=" +
                 pty.slavePath().toLatin1() + "\r\n");
    QCOMPARE(pty.read(5, 2000), QByteArray("\x1F\x5C\x30\x56\x58", 5));
    QCOMPARE(main.linkColour(), kGreen);
    QVERIFY(main.txtComPort->toolTip().contains(pty.slavePath()));

    // The list marks the device the number now stands for; with no device it says so.
    OnNextMenu([&](QMenu* menu) {
        for (QAction* action : menu->actions()) {
            QCOMPARE(action->isChecked(), action->text() == label);
        }
        menu->close();
    });
    QTest::mouseClick(main.cmdPorts, Qt::LeftButton);
}

void PortChoiceTest::contextMenuKeepsItsEntries() {
    test::TempProgramFolder folder;
    SetExtraSerialDevices({});
    FrmUtility main;
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    const bool noDevices = AvailableSerialDevices().isEmpty();
    QStringList shown;
    bool lastEnabled = true;
    OnNextMenu([&](QMenu* menu) {
        shown = EntryTexts(menu);
        lastEnabled = menu->actions().last()->isEnabled();
        menu->close();
    });
    main.txtComPort->customContextMenuRequested(QPoint(2, 2));
    // The text box's own entries stay, above the devices.
    QVERIFY2(shown.filter("Copy").size() == 1 && shown.filter("Paste").size() == 1,
             qPrintable(shown.join(" | ")));
    QVERIFY(shown.contains("Serial Devices"));
    if (noDevices) {
        QCOMPARE(shown.last(), QString("No serial devices found"));
        QVERIFY(!lastEnabled);
    }
}

void PortChoiceTest::redBoxSaysWhy() {
    test::TempProgramFolder folder;
    test::PtyPair pty;
    QVERIFY(pty.ok());
    MapPortNumberToDevice(7, folder.file("ttyGone"));
    MapPortNumberToDevice(8, pty.slavePath());
    FrmUtility main;
    main.show();
    auto testPort = [&](const QString& number) {
        main.txtComPort->setText(number);
        QTest::mouseClick(main.cmdTestSerialPort, Qt::LeftButton);
        return main.linkColour() == kRed ? main.txtComPort->toolTip() : QString("(not red)");
    };
    // No such device, for real.
    QVERIFY(testPort("7").startsWith("There is no device " + folder.file("ttyGone") +
                                     ". Plug the adapter in"));
    // Busy, for real: another program holds the pseudo-terminal.
    {
        QSerialPort holder(pty.slavePath());
        QVERIFY(holder.open(QIODevice::ReadWrite));
        const QString busy = testPort("8");
        QVERIFY2(busy.startsWith(pty.slavePath() + " is busy"), qPrintable(busy));
    }
    // Once the box is left it is white and names the device again.
    main.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    main.txtComPort->setFocus();
    QApplication::processEvents();
    main.Picture1->setFocus();
    QApplication::processEvents();
    QCOMPARE(main.linkColour(), QColor(255, 255, 255));
    QCOMPARE(main.txtComPort->toolTip(), "Serial port 8: " + pty.slavePath());
    main.sender().CloseSerialPort();
}

// The failure belongs to the device that failed: a new number or the virtual chip turns the box
// white with the tool tip of what it now stands for, before any send.
void PortChoiceTest::redBoxClearsWhenTheDestinationChanges() {
    test::TempProgramFolder folder;
    MapPortNumberToDevice(7, folder.file("ttyGone"));
    MapPortNumberToDevice(8, folder.file("ttyOther"));
    FrmUtility main;
    main.show();
    const QColor white(255, 255, 255);
    auto fail = [&] {
        main.txtComPort->setText("7");
        QTest::mouseClick(main.cmdTestSerialPort, Qt::LeftButton);
        return main.linkColour() == kRed && main.txtComPort->toolTip().contains("ttyGone");
    };
    QVERIFY(fail());
    main.txtComPort->setText("8");
    QCOMPARE(main.linkColour(), white);
    QCOMPARE(main.txtComPort->toolTip(), "Serial port 8: " + folder.file("ttyOther"));

    QVERIFY(fail());
    main.chkVirtual->setChecked(true);
    QCOMPARE(main.linkColour(), white);
    QCOMPARE(main.txtComPort->toolTip(), QString("Heard on this computer (the virtual Quillon)"));
    main.chkVirtual->setChecked(false);
    QCOMPARE(main.txtComPort->toolTip(), "Serial port 7: " + folder.file("ttyGone"));
}

void PortChoiceTest::aboutBoxShowsIconFoldersAndNotice() {
    test::TempProgramFolder folder;
    FrmUtility main;
    main.show();
    test::ScriptedAnswers responder(QMessageBox::Ok);
    QTest::mouseClick(main.About, Qt::LeftButton);
    QCOMPARE(responder.titles(), QStringList{"About"});
    const QString text = responder.texts().at(0);
    QVERIFY(text.startsWith("Cantora Utility\n\nFor the Quillon speech chip"));
    QVERIFY(text.endsWith(FileFoldersDescription()));
    QVERIFY(text.contains(folder.path()));
    QCOMPARE(responder.details().at(0), QString::fromUtf8(chip::kSpeechLibraryNotice));
    QVERIFY(!responder.icons().at(0).isNull());
    QVERIFY(!responder.icons().at(0).pixmap(64, 64).isNull());
}

void PortChoiceTest::everyControlHasAName() {
    test::TempProgramFolder folder;
    FrmUtility main;
    FrmPhrase phrase(main, &main);
    FrmDictEdit dictionary(&main);
    FrmSynthCtrl synth(main, &main);
    FrmCodes codes(main, &main);
    // A few names the rules must find: label beside a box, tool tip of a sign, a frame.
    QCOMPARE(main.txtComPort->accessibleName(), QString("Serial Port:"));
    QCOMPARE(main.cmdPorts->accessibleName(), main.cmdPorts->toolTip());
    QCOMPARE(main.About->accessibleName(), QString("About Cantora Utility"));
    QCOMPARE(main.Frame13->accessibleName(), QString("Comm Settings"));
    for (QWidget* window :
         std::initializer_list<QWidget*>{&main, &phrase, &dictionary, &synth, &codes}) {
        int controls = 0;
        for (QWidget* widget : window->findChildren<QWidget*>()) {
            const bool control = qobject_cast<QAbstractButton*>(widget) != nullptr ||
                                 qobject_cast<QLineEdit*>(widget) != nullptr ||
                                 qobject_cast<QPlainTextEdit*>(widget) != nullptr ||
                                 qobject_cast<QAbstractSlider*>(widget) != nullptr ||
                                 (qobject_cast<QLabel*>(widget) != nullptr &&
                                  !static_cast<QLabel*>(widget)->text().isEmpty()) ||
                                 widget->focusPolicy() != Qt::NoFocus;
            // Parts of Qt's own widgets (a text area's scroll bars) are named by Qt.
            if (!control || widget->window() != window || widget->objectName().startsWith("qt_") ||
                qobject_cast<QAbstractScrollArea*>(widget->parentWidget()->parentWidget())) {
                continue;
            }
            ++controls;
            QVERIFY2(!widget->accessibleName().trimmed().isEmpty(),
                     qPrintable(window->objectName() + "." + widget->objectName() + " (" +
                                widget->metaObject()->className() + ")"));
            if (auto* label = qobject_cast<QLabel*>(widget); label && !label->toolTip().isEmpty()) {
                QCOMPARE(label->accessibleDescription(), label->toolTip());
            }
        }
        QVERIFY2(controls >= 3, qPrintable(window->objectName()));
    }
}

QTEST_MAIN(PortChoiceTest)
#include "port_choice_test.moc"
