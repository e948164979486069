// Building the synthesiser panel: its frames, value boxes and scroll bars, tools and buttons.

#include <QCheckBox>
#include <QCompleter>
#include <QFrame>
#include <QRadioButton>

#include "ui/common/contrast.h"
#include "ui/common/link_indicator.h"
#include "ui/common/twips.h"
#include "ui/common/utility_host.h"
#include "ui/common/widgets.h"
#include "ui/synth/frm_synth_ctrl.h"

namespace cantora {

namespace {

QString Indexed(const char* name, int index) {
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
}

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& caption, int left, int top,
                  int width, int height) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    PlaceTwips(label, left, top, width, height);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

}  // namespace

void FrmSynthCtrl::buildControls() {
    // Made from top to bottom; the oscillators come after both generator frames.
    buildMains();
    buildToneGenerators();
    buildNoiseGenerators();
    buildOscillators();
    buildBottomRow();

    // Tab order follows the panel from top to bottom.
    QList<QWidget*> order = {txtLevel[1], scLevel[1], txtEnvFreq, scEnvolopeFreq};
    for (QRadioButton* option : Option1) {
        order << option;
    }
    order << Check2[1] << Command1 << txtHFreq << Command3 << scFreqAdjTone << Command2
          << scVolAdjTone;
    for (int i = 1; i <= 3; ++i) {
        order << txtFreq[i] << scFreq[i] << txtVol[i] << scVol[i];
    }
    order << Check2[0] << txtLevel[0] << scLevel[0];
    for (int i = 4; i <= 5; ++i) {
        order << txtFreq[i] << scFreq[i] << txtVol[i] << scVol[i];
    }
    order << txtSound << btnLoad << btnSave << btnShutUp << btnDone;

    // Every value scroll bar starts at 1, so the reset at opening writes every register.
    QList<QScrollBar*> valueBars = {scLevel[0], scLevel[1], scEnvolopeFreq};
    for (int i = 1; i <= 5; ++i) {
        valueBars << scFreq[i] << scVol[i];
    }
    for (QScrollBar* bar : valueBars) {
        bar->setValue(1);
    }
    for (int i = 1; i < order.size(); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }
}

void FrmSynthCtrl::buildMains() {
    // Mains: master volume, envelope frequency and wave.
    QGroupBox* mains = MakeGroup(this, Indexed("FrameOsc", 7), "Mains", 60, 60, 9255, 1095);
    FrameOsc[7] = mains;
    MakeLabel(mains, "lblLevel(1)", "Master Volume:", 120, 300, 1515, 285);
    txtLevel[1] = MakeBox(mains, Indexed("txtLevel", 1), QString(), 1740, 300, 675, 285);
    scLevel[1] = MakeScrollBar(mains, 0, kMaxMasterVolume, 4, Indexed("scLevel", 1));
    PlaceTwips(scLevel[1], 2460, 315, 4335, 255);
    MakeLabel(mains, "lblEnvFreq", "Envelope Frequency:", 120, 660, 1560, 285);
    txtEnvFreq = MakeBox(mains, "txtEnvFreq", QString(), 1740, 660, 675, 285);
    scEnvolopeFreq = MakeScrollBar(mains, 0, kMaxEnvelopeFrequency, 22, "scEnvolopeFreq");
    PlaceTwips(scEnvolopeFreq, 2460, 675, 4335, 255);
    MakeLabel(mains, "lblEnvType", "Envelope Type:", 7200, 240, 1500, 255);
    const char* waves[4] = {"Saw", "Sine", "Triangle", "Square"};
    const int waveLeft[4] = {7080, 7080, 8100, 8100};
    const int waveTop[4] = {540, 780, 540, 780};
    for (int i = 0; i < 4; ++i) {
        Option1[i] = new QRadioButton(waves[i], mains);
        Option1[i]->setObjectName(Indexed("Option1", i));
        PlaceTwips(Option1[i], waveLeft[i], waveTop[i], 1020, 240);
    }
}

void FrmSynthCtrl::buildToneGenerators() {
    // Tone generators: the envelope flag, the tools; oscillators 1 to 3 come later.
    Frame1 = MakeGroup(this, "Frame1", "Tone Generators", 60, 1200, 9255, 3375);
    Check2[1] = new QCheckBox("Enveloped", Frame1);
    Check2[1]->setObjectName(Indexed("Check2", 1));
    PlaceTwips(Check2[1], 780, 330, 1155, 285);

    Frame2 = MakeGroup(Frame1, "Frame2", "Tools", 120, 660, 1755, 2595);
    Command1 = MakeButton(Frame2, "Command1", "Harmonise", 240, 300, 1275, 285);
    MakeLabel(Frame2, "lblHFreq", "H-Freq:", 180, 660, 720, 285);
    txtHFreq = MakeBox(Frame2, "txtHFreq", QString(), 900, 660, 615, 285);
    txtHFreq->setText("110");
    for (int top : {1020, 1800}) {
        auto* line = new QFrame(Frame2);
        line->setFrameShape(QFrame::HLine);
        line->setFrameShadow(QFrame::Sunken);
        PlaceTwips(line, 24, top - 12, 1707, 24);
    }
    MakeLabel(Frame2, "lblFreqAdj", "Freq Adj", 300, 1185, 1080, 285);
    Command3 = MakeButton(Frame2, "Command3", "Z", 1440, 1200, 255, 255);
    scFreqAdjTone = MakeScrollBar(Frame2, 0, 200, 1, "scFreqAdjTone");
    PlaceTwips(scFreqAdjTone, 60, 1500, 1635, 255);
    scFreqAdjTone->setValue(100);
    MakeLabel(Frame2, "lblVolAdj", "Volume Adj", 300, 1965, 1080, 285);
    Command2 = MakeButton(Frame2, "Command2", "Z", 1440, 1980, 255, 255);
    scVolAdjTone = MakeScrollBar(Frame2, 0, 200, 1, "scVolAdjTone");
    PlaceTwips(scVolAdjTone, 60, 2280, 1635, 255);
    scVolAdjTone->setValue(100);
}

void FrmSynthCtrl::buildNoiseGenerators() {
    // Noise generators: the half-envelope flag and distortion; oscillators 4 and 5 come later.
    QGroupBox* noise =
        MakeGroup(this, Indexed("FrameOsc", 6), "Noise Generators", 60, 4620, 9255, 2775);
    FrameOsc[6] = noise;
    Check2[0] = new QCheckBox("One Half Enveloped", noise);
    Check2[0]->setObjectName(Indexed("Check2", 0));
    PlaceTwips(Check2[0], 120, 300, 1860, 285);
    MakeLabel(noise, "lblLevel(0)", "Distortion:", 2100, 300, 900, 285);
    txtLevel[0] = MakeBox(noise, Indexed("txtLevel", 0), QString(), 3000, 300, 675, 285);
    scLevel[0] = MakeScrollBar(noise, 0, kMaxDistortion, 16, Indexed("scLevel", 0));
    PlaceTwips(scLevel[0], 3720, 315, 5175, 255);
}

void FrmSynthCtrl::buildOscillators() {
    // Oscillators 1 to 3 in the tone generators, 4 and 5 in the noise generators.
    const int oscillatorTop[6] = {0, 240, 1260, 2280, 660, 1680};
    for (int i = 1; i <= 5; ++i) {
        QGroupBox* container = i <= 3 ? Frame1 : FrameOsc[6];
        QGroupBox* frame =
            MakeGroup(container, Indexed("FrameOsc", i), QStringLiteral("Oscillator #%1").arg(i),
                      1980, oscillatorTop[i], 7095, 975);
        FrameOsc[i] = frame;
        MakeLabel(frame, Indexed("lblFreq", i), "Frequency:", 120, 285, 900, 285);
        txtFreq[i] = MakeBox(frame, Indexed("txtFreq", i), QString(), 1020, 285, 675, 285);
        scFreq[i] = MakeScrollBar(frame, 0, kMaxFrequency, 22, Indexed("scFreq", i));
        PlaceTwips(scFreq[i], 1740, 300, 5175, 255);
        MakeLabel(frame, Indexed("lblVol", i), "Volume:", 120, 615, 900, 285);
        txtVol[i] = MakeBox(frame, Indexed("txtVol", i), QString(), 1020, 615, 675, 285);
        scVol[i] = MakeScrollBar(frame, 0, kMaxVolume, 4, Indexed("scVol", i));
        PlaceTwips(scVol[i], 1740, 630, 5175, 255);
    }
}

void FrmSynthCtrl::buildBottomRow() {
    // Bottom row: the preset name, its note, and the buttons.
    QLabel* lblSound = MakeLabel(this, "lblSound", "Sound:", 60, 7470, 1440, 285);
    txtSound = MakeBox(this, "txtSound", QString(), 1560, 7440, 1395, 345);
    // Completes the names in the preset file; Load and Save still take whatever is typed.
    presetNames_ = new QStringListModel(this);
    auto* completer = new QCompleter(presetNames_, txtSound);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    txtSound->setCompleter(completer);
    OfferSoundNames();
    btnLoad = MakeButton(this, "btnLoad", "Load", 3060, 7440, 1155, 375);
    btnSave = MakeButton(this, "btnSave", "Save", 4260, 7440, 1155, 375);
    lblSoundNote = MakeLabel(this, "lblSoundNote", QString(), 5490, 7425, 1380, 420);
    lblSoundNote->setWordWrap(true);
    {
        QPalette palette = lblSoundNote->palette();
        // Dark red, or a light one where the theme's background is dark.
        const QColor dark(192, 0, 0);
        const bool readable = ContrastRatio(dark, palette.color(QPalette::Window)) >= 4.5;
        palette.setColor(QPalette::WindowText, readable ? dark : QColor(255, 150, 150));
        lblSoundNote->setPalette(palette);
        QFont small = lblSoundNote->font();
        small.setPointSizeF(small.pointSizeF() * 0.85);
        lblSoundNote->setFont(small);
    }
    btnShutUp =
        MakeButton(this, "btnShutUp", "Shut Up", 6900, 7440, 1155, 375, "Stop the Quillon now.");
    btnDone = MakeButton(this, "btnDone", "Done", 8160, 7440, 1155, 375);
    // The main window's port box is covered while this window is open; the indicator sits in
    // the empty end of the name box's label.
    MakeLinkIndicator(lblSound, main_.linkBox(), 1170, 15, 240, 255);
}

}  // namespace cantora
