#pragma once

// The main window: start-up and shutdown, the serial settings and link indicator, the port
// test, the About box, and the strings the other windows hand to each other.

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QWidget>
#include <future>
#include <memory>

#include "core/chip/virtual_chip.h"
#include "core/serial/serial_link.h"
#include "ui/common/utility_host.h"

namespace cantora {

class FrmUtility : public QWidget, public SenderHost, public UtilityHost {
    Q_OBJECT
  public:
    // `port` replaces the real serial port (tests); null means a QSerialPort. `sound` replaces
    // the speakers the virtual chip plays through (tests capture the PCM); null means the
    // speakers.
    explicit FrmUtility(std::unique_ptr<PortDevice> port = nullptr, QWidget* parent = nullptr,
                        std::unique_ptr<chip::PcmOutput> sound = nullptr);
    ~FrmUtility() override;

    CodeSender& sender() { return *sender_; }
    // UtilityHost: the one road to the chip, for every window.
    void SendToQuillon(const QByteArray& data, bool checkLength) override {
        sender_->SendToQuillon(data, checkLength);
    }
    void CutSendShort() override { sender_->SendBuffer.clear(); }
    // Once the bytes are out and the virtual chip has stopped playing them.
    void AfterCurrentSend(std::function<void()> then) override;

    // Colour of the port box: the link indicator.
    QColor linkColour() const;
    QWidget* linkBox() override { return txtComPort; }
    QString linkProblem() const override { return failed_ ? txtComPort->toolTip() : QString(); }

    // SenderHost
    QString portText() const override;
    int flowControlValue() const override;
    void setLinkState(LinkState state) override;
    bool confirmLongPhrase(const QString& text) override;
    void stopIdleTimer() override;
    void armIdleTimer(int milliseconds) override;

    // Controls, named as in the window's layout.
    QPushButton* EditPhrases = nullptr;
    QPushButton* btnDictEdit = nullptr;
    QPushButton* Synth = nullptr;
    QGroupBox* Frame13 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* txtComPort = nullptr;
    QToolButton* cmdPorts = nullptr;  // "…": the serial devices present
    QPushButton* cmdTestSerialPort = nullptr;
    QCheckBox* chkFlow = nullptr;
    // "Hear on this computer": sends go to the virtual chip instead of the serial port.
    QCheckBox* chkVirtual = nullptr;
    QWidget* Picture1 = nullptr;
    QPushButton* About = nullptr;
    QTimer* Timer1 = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void afterPlaying(std::function<void()> then);
    // Building (frm_utility_build.cpp): buildControls makes every control in layout order, some
    // of them through the helpers below, then connects them.
    void buildControls();
    void buildSerialSettings();
    void buildFlowFlag();
    void buildPictureAndAbout();
    void connectControls();
    void Form_Load();
    void Form_Activate();
    void Form_Unload();
    void EditPhrases_Click();
    void btnDictEdit_Click();
    void Synth_Click();
    void About_Click();
    void cmdTestSerialPort_Click();
    void txtComPort_LostFocus();
    void Timer1_Timer();
    void chkVirtual_Toggled(bool on);
    void txtComPort_Changed();
    void updatePortToolTip();
    // Adds the serial devices present to `menu`: choosing one gives it the port box's number.
    void addDeviceEntries(QMenu* menu);
    void chooseDevice(const QString& device);
    void showPortMenu(QMenu* menu, const QPoint& where);

    std::shared_ptr<chip::VirtualChip> chip_;
    chip::RoutedPortDevice* router_ = nullptr;  // owned by the sender
    std::unique_ptr<CodeSender> sender_;
    bool loading_ = false;
    // The settings file gets its "Virtual" key only once the user has used the check box.
    bool virtualTouched_ = false;
    bool unloaded_ = false;
    bool failed_ = false;  // the box is red: its tool tip says why
    // The dictionary's look-up index, built on a worker thread while the window comes up, so
    // the first look-up does not wait for it (the future's end waits for the build).
    std::future<void> dictionaryIndex_;
};

}  // namespace cantora
