#include "ui/main/frm_utility.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDebug>
#include <QPointer>
#include <QTimer>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "core/chip/renderer.h"
#include "core/chip/speakers.h"
#include "core/codes/code_table.h"
#include "core/codes/lenient_numbers.h"
#include "core/codes/scp_commands.h"
#include "core/files/folders.h"
#include "core/files/profile.h"
#include "core/files/version.h"
#include "core/serial/devices.h"
#include "ui/common/program_icon.h"
#include "ui/common/prompter.h"
#include "ui/common/twips.h"
#include "ui/common/widgets.h"
#include "ui/dictionary/frm_dict_edit.h"
#include "ui/main/frm_utility_colours.h"
#include "ui/phrase/frm_phrase.h"
#include "ui/synth/frm_synth_ctrl.h"

namespace cantora {

namespace {

// While the virtual chip is still playing when the idle time is up, the port stays open (and
// the box green); this is how often it looks again.
constexpr int kPlayingCheckMs = 100;

void ReleaseFreedMemory() {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

}  // namespace

FrmUtility::FrmUtility(std::unique_ptr<PortDevice> port, QWidget* parent,
                       std::unique_ptr<chip::PcmOutput> sound)
    : QWidget(parent), chip_(std::make_shared<chip::VirtualChip>()) {
    // One sender, two destinations: the serial port, or the virtual chip when the check box or
    // the port's device ("virtual" in section "Ports") chooses it.
    auto router = std::make_unique<chip::RoutedPortDevice>(
        port ? std::move(port) : MakeSerialPortDevice(),
        chip::MakeVirtualChipPort(chip_, sound ? std::move(sound) : chip::MakeSpeakerOutput()),
        chip_);
    router_ = router.get();
    sender_ = std::make_unique<CodeSender>(*this, std::move(router));
    buildControls();
    Form_Load();
}

FrmUtility::~FrmUtility() {
    // The port box loses the focus while the children go, after the sender has gone.
    DisarmFocusHooks(this);
    // A window destroyed without being closed (tests, the screenshot tool) still saves.
    Form_Unload();
}

void FrmUtility::addDeviceEntries(QMenu* menu) {
    // A device the list cannot know of, such as the terminal cantora-chip prints.
    QAction* other = menu->addAction(QString::fromUtf8("Other device\u2026"));
    other->setObjectName("mnuOtherDevice");
    connect(other, &QAction::triggered, this, [this] {
        const QString path =
            AskText(this, "Other Device", "Path of the serial device for this port number:")
                .trimmed();
        if (!path.isEmpty()) {
            chooseDevice(path);
        }
    });
    const QList<SerialDevice> devices = AvailableSerialDevices();
    if (devices.isEmpty()) {
        menu->addAction("No serial devices found")->setEnabled(false);
        return;
    }
    const QString current = DeviceForPortNumber(PortNumberFromText(txtComPort->text()));
    for (const SerialDevice& device : devices) {
        QAction* entry = menu->addAction(device.label());
        entry->setCheckable(true);
        entry->setChecked(device.path == current);
        const QString path = device.path;
        connect(entry, &QAction::triggered, this, [this, path] { chooseDevice(path); });
    }
}

void FrmUtility::showPortMenu(QMenu* menu, const QPoint& where) {
    // The menu runs its own event loop: this window may be closed meanwhile (the session ends).
    QPointer<QMenu> guard(menu);
    menu->exec(where);
    delete guard.data();
}

void FrmUtility::chooseDevice(const QString& device) {
    int number = PortNumberFromText(txtComPort->text());
    if (number < 1) {
        // A box without a usable number takes port 1.
        number = 1;
        txtComPort->setText("1");
    }
    MapPortNumberToDevice(number, device);
    // An open port is the old device: the test opens the new one.
    sender_->CloseSerialPort();
    updatePortToolTip();
    cmdTestSerialPort_Click();
}

void FrmUtility::Form_Load() {
    txtComPort->setText(GetIniValue("Serial", "Port", "1"));
    // The flag holds 0, 1 or 2; anything else in the file counts as on.
    const QString flow = GetIniValue("Serial", "FlowControl", "1").trimmed();
    bool isNumber = false;
    const qint64 value = flow.toLongLong(&isNumber);
    int flag = 1;
    if (isNumber && value >= 0 && value <= 2) {
        flag = static_cast<int>(value);
    }
    chkFlow->setCheckState(flag == 0   ? Qt::Unchecked
                           : flag == 1 ? Qt::Checked
                                       : Qt::PartiallyChecked);
    loading_ = true;
    chkVirtual->setChecked(LeadingInteger(GetIniValue("Serial", "Virtual", "0")) != 0);
    loading_ = false;
    updatePortToolTip();
    LoadCodeNames();
    dictionaryIndex_ = profile::PrebuildIndexAsync(DictionaryFilePath());
}

void FrmUtility::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    CentreOnScreen(this);
    // The first button takes the focus, drawn as the keyboard's focus, so a keyboard user sees
    // where Return and Tab start. Later activations leave it on the picture box.
    setAttribute(Qt::WA_KeyboardFocusChange);
    EditPhrases->setFocus(Qt::ActiveWindowFocusReason);
    const FileFolders folders = ActiveFileFolders();
    if (FirstFolderProblemNotice(folders)) {
        // Once the window is up, so the message has its owner on screen.
        QTimer::singleShot(0, this, [this, problem = folders.problem()] {
            ShowRefusal(this, problem + "\n\nChanges to them will be lost when the program ends.");
        });
    }
}

void FrmUtility::Form_Activate() {
    Picture1->setFocus();
}

void FrmUtility::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void FrmUtility::Form_Unload() {
    if (unloaded_) {
        return;
    }
    unloaded_ = true;
    // Stop a send in progress: its loop ends after the byte it is writing.
    sender_->SendBuffer.clear();
    sender_->CloseSerialPort();
    Timer1->stop();
    // The program is ending (perhaps with the session): a failure is told on the error output.
    QString error;
    if (!PutIniValue("Serial", "Port", txtComPort->text(), &error) ||
        !PutIniValue("Serial", "FlowControl", QString::number(flowControlValue()), &error) ||
        (virtualTouched_ &&
         !PutIniValue("Serial", "Virtual", chkVirtual->isChecked() ? "1" : "0", &error))) {
        qWarning().noquote() << "The settings could not be saved:" << error;
    }
}

void FrmUtility::EditPhrases_Click() {
    Picture1->setFocus();
    PhraseToMove.clear();
    WordToMove.clear();
    {
        FrmPhrase window(*this, this);
        window.exec();
    }
    Form_Activate();  // the main window is active again
}

void FrmUtility::btnDictEdit_Click() {
    Picture1->setFocus();
    {
        FrmDictEdit window(this);
        window.exec();
    }
    // A large dictionary leaves many megabytes of freed blocks behind: give them back.
    ReleaseFreedMemory();
    Form_Activate();  // the main window is active again
}

void FrmUtility::Synth_Click() {
    Picture1->setFocus();
    {
        FrmSynthCtrl window(*this, this);
        window.exec();
    }
    Form_Activate();  // the main window is active again
}

void FrmUtility::About_Click() {
    ShowReport(this, "About",
               "Cantora Utility\n\nFor the Quillon speech chip and the Cantora speech device.\n"
               "Version " CANTORA_VERSION "\n"
               "Written by the Cantora Utility developers.\n\n" +
                   FileFoldersDescription(),
               ProgramIcon(), QString::fromUtf8(chip::kSpeechLibraryNotice));
}

void FrmUtility::cmdTestSerialPort_Click() {
    Picture1->setFocus();
    SendToQuillon(TestCommandText(), false);
}

void FrmUtility::txtComPort_LostFocus() {
    sender_->CloseSerialPort();
    setLinkState(LinkState::Closed);
}

void FrmUtility::AfterCurrentSend(std::function<void()> then) {
    sender_->whenSent([this, then = std::move(then)]() mutable { afterPlaying(std::move(then)); });
}

void FrmUtility::afterPlaying(std::function<void()> then) {
    // Bounded by the sound queued: the chip stops playing once it has played it.
    if (chip_->playing()) {
        QTimer::singleShot(kPlayingCheckMs, this, [this, then = std::move(then)]() mutable {
            afterPlaying(std::move(then));
        });
        return;
    }
    then();
}

void FrmUtility::Timer1_Timer() {
    if (router_->usingVirtual() && router_->isOpen() && chip_->playing()) {
        Timer1->start(kPlayingCheckMs);
        return;
    }
    sender_->CloseSerialPort();
    // Interval 0 in the old sense: no further ticks until the next send re-arms it.
    Timer1->stop();
}

void FrmUtility::chkVirtual_Toggled(bool on) {
    if (!loading_) {
        virtualTouched_ = true;
    }
    // Switches at once: a send in progress ends, and the next send opens the other destination.
    sender_->CloseSerialPort();
    router_->setVirtualChosen(on);
    // The other destination has not failed: the box is white, as for a closed port.
    setLinkState(LinkState::Closed);
}

void FrmUtility::txtComPort_Changed() {
    // A failure belongs to the device the old number stood for.
    if (failed_) {
        setLinkState(LinkState::Closed);
        return;
    }
    updatePortToolTip();
}

void FrmUtility::updatePortToolTip() {
    if (failed_) {
        // Why the last opening failed, until the box turns white or green again.
        QString reason = sender_->lastOpenError();
        if (reason.isEmpty()) {
            reason = QStringLiteral(
                         "%1 stopped taking bytes: was the adapter pulled out? Plug it in, then "
                         "try again.")
                         .arg(sender_->lastSettings().device);
        }
        txtComPort->setToolTip(reason);
        return;
    }
    if (chkVirtual != nullptr && chkVirtual->isChecked()) {
        txtComPort->setToolTip(QStringLiteral("Heard on this computer (the virtual Quillon)"));
        return;
    }
    const int number = PortNumberFromText(txtComPort->text());
    const QString device = DeviceForPortNumber(number);
    txtComPort->setToolTip(device.isEmpty()
                               ? QStringLiteral("No serial port has this number")
                               : QStringLiteral("Serial port %1: %2").arg(number).arg(device));
}

QColor FrmUtility::linkColour() const {
    return txtComPort->palette().color(QPalette::Base);
}

QString FrmUtility::portText() const {
    return txtComPort->text();
}

int FrmUtility::flowControlValue() const {
    switch (chkFlow->checkState()) {
        case Qt::Unchecked:
            return 0;
        case Qt::Checked:
            return 1;
        default:
            return 2;
    }
}

void FrmUtility::setLinkState(LinkState state) {
    const quint32 colour = state == LinkState::Open     ? kGreen
                           : state == LinkState::Failed ? kRed
                                                        : kWhite;
    SetBackColour(txtComPort, FromBgr(colour), QPalette::Base);
    failed_ = state == LinkState::Failed;
    updatePortToolTip();
}

bool FrmUtility::confirmLongPhrase(const QString& text) {
    return AskNotice(QApplication::activeModalWidget() ? QApplication::activeModalWidget() : this,
                     text, QMessageBox::Yes | QMessageBox::No,
                     QMessageBox::Yes) == QMessageBox::Yes;
}

void FrmUtility::stopIdleTimer() {
    Timer1->stop();
}

void FrmUtility::armIdleTimer(int milliseconds) {
    Timer1->start(milliseconds);
}

}  // namespace cantora
