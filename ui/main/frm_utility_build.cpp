// Building the main window: its big buttons, the serial settings frame, the picture that holds
// the focus, the About button, the virtual chip's check box and their handlers.

#include <QFont>

#include "ui/common/accessibility.h"
#include "ui/common/twips.h"
#include "ui/common/widgets.h"
#include "ui/main/frm_utility.h"
#include "ui/main/frm_utility_colours.h"

namespace cantora {

void FrmUtility::buildControls() {
    setObjectName("frmUtility");
    setWindowTitle("Cantora Utility");
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    // Taller than drawn by one row: the virtual chip's check box below the serial settings.
    setFixedSize(TwipsToPx(2835), TwipsToPx(2040));

    // Created in the order of the original layout: Phrase Editor, Comm Settings, port box,
    // Serial Port:, Test, Dictionary Editor, (flow flag), Picture1, ?, Synth Control.
    EditPhrases = MakeButton(this, "EditPhrases", "Phrase Editor", 90, 105, 2640, 315);
    buildSerialSettings();
    btnDictEdit = MakeButton(this, "btnDictEdit", "Dictionary Editor", 90, 450, 1395, 315);
    buildFlowFlag();
    buildPictureAndAbout();
    Synth = MakeButton(this, "Synth", "Synth Control", 1500, 450, 1230, 315);

    chkVirtual = new QCheckBox("Hear on this computer", this);
    chkVirtual->setObjectName("chkVirtual");
    chkVirtual->setToolTip(
        "Play everything on this computer's speakers (a virtual Quillon) instead of sending it "
        "to the serial port.");
    PlaceTwips(chkVirtual, 150, 1725, 2640, 270);

    for (QPushButton* button : {EditPhrases, btnDictEdit, Synth}) {
        SetBackColour(button, FromBgr(kLightBlue), QPalette::Button);
        button->setAutoFillBackground(true);
    }
    // Tab follows the reading order. The picture box only holds the focus between uses and is
    // left out of it; Tab from there goes on to the first button.
    setTabOrder(EditPhrases, btnDictEdit);
    setTabOrder(btnDictEdit, Synth);
    setTabOrder(Synth, txtComPort);
    setTabOrder(txtComPort, cmdPorts);
    setTabOrder(cmdPorts, cmdTestSerialPort);
    setTabOrder(cmdTestSerialPort, chkVirtual);
    setTabOrder(chkVirtual, About);
    setTabOrder(About, Picture1);

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setSingleShot(false);

    connectControls();

    SetBackColour(txtComPort, FromBgr(kWhite), QPalette::Base);
    ReturnPressesFocusedButton(this);
    NameControlsForScreenReaders(this);
}

void FrmUtility::buildSerialSettings() {
    Frame13 = new QGroupBox("Comm Settings", this);
    Frame13->setObjectName("Frame13");
    QFont bold = Frame13->font();
    bold.setBold(true);
    Frame13->setFont(bold);
    PlaceTwips(Frame13, 90, 900, 2190, 780);

    txtComPort = new QLineEdit("1", Frame13);
    txtComPort->setObjectName("txtComPort");
    PlaceTwips(txtComPort, 930, 300, 435, 315);
    // Only the frame's caption is bold; its controls use the normal weight.
    QFont normal = Frame13->font();
    normal.setBold(false);
    txtComPort->setFont(normal);

    Label1 = new QLabel("Serial Port:", Frame13);
    Label1->setObjectName("Label1");
    Label1->setFont(normal);
    PlaceTwips(Label1, 105, 330, 815, 215);  // a little wider than drawn: Linux fonts

    // The device list sits beside the port box; Test moves over a little to make room.
    cmdPorts = new QToolButton(Frame13);
    cmdPorts->setObjectName("cmdPorts");
    cmdPorts->setText(QString::fromUtf8("\u2026"));
    cmdPorts->setToolTip("Choose the serial device for this port number");
    PlaceTwips(cmdPorts, 1380, 300, 240, 315);
    cmdPorts->setFont(normal);
    cmdPorts->setFocusPolicy(Qt::StrongFocus);

    cmdTestSerialPort = MakeButton(Frame13, "cmdTestSerialPort", "Test", 1635, 300, 510, 315);
    cmdTestSerialPort->setFont(normal);
}

void FrmUtility::buildFlowFlag() {
    // In the serial settings frame, though made after the Dictionary Editor; never shown.
    chkFlow = new QCheckBox("Control", Frame13);
    chkFlow->setObjectName("chkFlow");
    chkFlow->setTristate(true);  // the settings file may hold 2
    chkFlow->setCheckState(Qt::Checked);
    PlaceTwips(chkFlow, 3870, 450, 945, 285);
    chkFlow->hide();
}

void FrmUtility::buildPictureAndAbout() {
    Picture1 = new QWidget(this);
    Picture1->setObjectName("Picture1");
    Picture1->setFocusPolicy(Qt::ClickFocus);
    PlaceTwips(Picture1, 2190, 270, 255, 225);

    About = MakeButton(this, "About", "?", 2400, 1200, 315, 315, "About Cantora Utility");
}

void FrmUtility::connectControls() {
    connect(EditPhrases, &QPushButton::clicked, this, [this] { EditPhrases_Click(); });
    connect(btnDictEdit, &QPushButton::clicked, this, [this] { btnDictEdit_Click(); });
    connect(Synth, &QPushButton::clicked, this, [this] { Synth_Click(); });
    connect(About, &QPushButton::clicked, this, [this] { About_Click(); });
    connect(cmdTestSerialPort, &QPushButton::clicked, this, [this] { cmdTestSerialPort_Click(); });
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    connect(txtComPort, &QLineEdit::textChanged, this, [this] { txtComPort_Changed(); });
    connect(chkVirtual, &QCheckBox::toggled, this, [this](bool on) { chkVirtual_Toggled(on); });
    OnFocusOut(txtComPort, [this] { txtComPort_LostFocus(); });
    // The box's context menu keeps its usual entries and lists the devices below them.
    txtComPort->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(txtComPort, &QLineEdit::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu* menu = txtComPort->createStandardContextMenu();
        menu->setObjectName("mnuPortBox");
        menu->addSection("Serial Devices");
        addDeviceEntries(menu);
        showPortMenu(menu, txtComPort->mapToGlobal(at));
    });
    connect(cmdPorts, &QToolButton::clicked, this, [this] {
        auto* menu = new QMenu(this);
        menu->setObjectName("mnuPorts");
        addDeviceEntries(menu);
        showPortMenu(menu, cmdPorts->mapToGlobal(QPoint(0, cmdPorts->height())));
    });
}

}  // namespace cantora
