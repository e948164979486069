#include "ui/synth/frm_synth_ctrl.h"

#include <QApplication>
#include <QFrame>
#include <cmath>

#include "core/codes/lenient_numbers.h"
#include "core/codes/scp_commands.h"
#include "core/files/latin1_case.h"
#include "core/files/profile.h"
#include "core/files/profile_sections.h"
#include "core/files/whole_file.h"
#include "ui/common/accessibility.h"
#include "ui/common/contrast.h"
#include "ui/common/prompter.h"
#include "ui/common/twips.h"
#include "ui/common/utility_host.h"
#include "ui/common/widgets.h"

namespace cantora {

namespace {

// Tone-volume sums above these turn the boxes red, or yellow.
constexpr int kRedAbove = 63;
constexpr int kYellowAbove = 59;

// Reset positions.
constexpr int kResetEnvelopeFrequency = 88;
constexpr int kResetMasterVolume = 96;

void SetBaseColour(QLineEdit* box, const QColor& colour) {
    QPalette palette = box->palette();
    if (palette.color(QPalette::Active, QPalette::Base) == colour &&
        palette.color(QPalette::Inactive, QPalette::Base) == colour) {
        return;
    }
    SetFixedBackground(box, colour, QPalette::Base);
    palette = box->palette();
    palette.setColor(QPalette::Disabled, QPalette::Base, colour);
    box->setPalette(palette);
}

}  // namespace

FrmSynthCtrl::FrmSynthCtrl(UtilityHost& main, QWidget* parent) : QDialog(parent), main_(main) {
    SetUpToolWindow(this, "FrmSynthCtrl", "Cantora Synth Control", 9375, 7860);
    buildControls();
    connectControls();
    NoReturnPresses(this);
    ReturnPressesFocusedButton(this);
    NameControlsForScreenReaders(this);
}

FrmSynthCtrl::~FrmSynthCtrl() {
    DisarmFocusHooks(this);
}

void FrmSynthCtrl::connectControls() {
    // The value scroll bars: mirror into the text box, then write the register.
    for (int i = 1; i <= 5; ++i) {
        OnScrollChange(scFreq[i], [this, i] {
            const int value = scFreq[i]->value();
            txtFreq[i]->setText(QString::number(value));
            SendOscillatorFrequencyToQuillon(static_cast<qint16>(i), static_cast<qint16>(value));
        });
        OnScrollChange(scVol[i], [this, i] {
            const int value = scVol[i]->value();
            txtVol[i]->setText(QString::number(value));
            SendOscillatorVolumeToQuillon(static_cast<qint16>(i), static_cast<qint16>(value));
            CheckVolumeLimits();
        });
        OnFocusOut(txtFreq[i], [this, i] { ValidateValueBox(txtFreq[i], scFreq[i]); });
        OnFocusOut(txtVol[i], [this, i] { ValidateValueBox(txtVol[i], scVol[i]); });
    }
    for (int i = 0; i <= 1; ++i) {
        OnScrollChange(scLevel[i], [this, i] {
            const int value = scLevel[i]->value();
            txtLevel[i]->setText(QString::number(value));
            SendRegisterLevelToQuillon(static_cast<qint16>(i), static_cast<qint16>(value));
        });
        OnFocusOut(txtLevel[i], [this, i] { ValidateValueBox(txtLevel[i], scLevel[i]); });
    }
    OnScrollChange(scEnvolopeFreq, [this] {
        const int value = scEnvolopeFreq->value();
        txtEnvFreq->setText(QString::number(value));
        SendOscillatorFrequencyToQuillon(0, static_cast<qint16>(value));
    });
    OnFocusOut(txtEnvFreq, [this] { ValidateValueBox(txtEnvFreq, scEnvolopeFreq); });

    // Wave and envelope flags: a selection made by the reset must send too, hence toggled.
    for (QRadioButton* option : Option1) {
        connect(option, &QRadioButton::toggled, this, [this](bool checked) {
            if (checked) {
                SendEnvelopeFromControls();
            }
        });
    }
    for (QCheckBox* check : Check2) {
        connect(check, &QCheckBox::toggled, this, [this] { SendEnvelopeFromControls(); });
    }

    // Adjust tools: armed by the focus on their scroll bar or by their "Z" button.
    // Switching back from another program must not re-arm a tool.
    OnFocusGain(scVolAdjTone, [this] { ArmVolumeTool(); });
    OnFocusGain(scFreqAdjTone, [this] { ArmFrequencyTool(); });
    connect(Command2, &QPushButton::clicked, this, [this] { ArmVolumeTool(); });
    connect(Command3, &QPushButton::clicked, this, [this] { ArmFrequencyTool(); });
    OnScrollChange(scVolAdjTone, [this] { scVolAdjTone_Change(); });
    OnScrollChange(scFreqAdjTone, [this] { scFreqAdjTone_Change(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });

    connect(btnShutUp, &QPushButton::clicked, this, [this] { btnShutUp_Click(); });
    connect(btnDone, &QPushButton::clicked, this, [this] { done(QDialog::Accepted); });
    connect(btnLoad, &QPushButton::clicked, this, [this] { btnLoad_Click(); });
    connect(btnSave, &QPushButton::clicked, this, [this] { btnSave_Click(); });
    connect(txtSound, &QLineEdit::textChanged, lblSoundNote, &QLabel::clear);
}

// ---- register writes ----

void FrmSynthCtrl::sendScp(const QByteArray& text) {
    // Once the closing has written its last string, nothing may follow it on the line.
    if (unloaded_) {
        return;
    }
    main_.SendToQuillon(text, false);
}

void FrmSynthCtrl::SendRegisterLevelToQuillon(qint16 index, qint16 level) {
    sendScp(RegisterWriteText(index + synth_register::kLevelBase, level));
}

void FrmSynthCtrl::SendOscillatorVolumeToQuillon(qint16 oscillator, qint16 volume) {
    sendScp(RegisterWriteText(oscillator + synth_register::kVolumeBase, volume));
}

void FrmSynthCtrl::SendOscillatorFrequencyToQuillon(qint16 oscillator, qint16 frequency) {
    sendScp(RegisterWriteText(oscillator, frequency));
}

void FrmSynthCtrl::SendEnvolopeControlToQuillon(quint8 control) {
    sendScp(RegisterWriteText(synth_register::kEnvelopeControl, control));
}

void FrmSynthCtrl::SendEnvelopeFromControls() {
    SendEnvolopeControlToQuillon(GetEnvolopeCtrlValue());
}

// ---- routines ----

void FrmSynthCtrl::CheckVolumeLimits() {
    const int sum = scVol[1]->value() + scVol[2]->value() + scVol[3]->value();
    QColor colour;
    if (sum > kRedAbove) {
        colour = QColor(255, 0, 0);
    } else if (sum > kYellowAbove) {
        colour = QColor(255, 255, 0);
    } else {
        colour = QApplication::palette().color(QPalette::Active, QPalette::Button);
    }
    for (int i = 1; i <= 3; ++i) {
        SetBaseColour(txtVol[i], colour);
    }
}

void FrmSynthCtrl::SynthShutUp() {
    sendScp(ResetCommandText());
    // Each line below writes its register only when it changes the control.
    for (int i = 1; i <= 5; ++i) {
        scVol[i]->setValue(0);
    }
    scEnvolopeFreq->setValue(kResetEnvelopeFrequency);
    for (int i = 1; i <= 5; ++i) {
        scFreq[i]->setValue(0);
    }
    scLevel[0]->setValue(0);
    scLevel[1]->setValue(kResetMasterVolume);
    Option1[0]->setChecked(true);
    Check2[0]->setChecked(false);
    Check2[1]->setChecked(false);
}

quint8 FrmSynthCtrl::GetEnvolopeCtrlValue() const {
    int wave = 0;
    for (int i = 0; i < 4; ++i) {
        if (Option1[i]->isChecked()) {
            wave = i;
            break;
        }
    }
    return EnvelopeControlByte(wave, Check2[0]->isChecked(), Check2[1]->isChecked());
}

void FrmSynthCtrl::ValidateValueBox(QLineEdit* box, QScrollBar* bar) {
    // A focus leaving the window while it closes must not move anything any more.
    if (unloaded_ || unloading_) {
        return;
    }
    ApplyNumberBox(box, bar);
}

// ---- adjust tools and harmonising ----

void FrmSynthCtrl::ArmVolumeTool() {
    for (int i = 1; i <= 3; ++i) {
        VolumeBase[i] = static_cast<qint16>(scVol[i]->value());
    }
    // 100 per cent of the fresh bases: no oscillator moves.
    scVolAdjTone->setValue(100);
}

void FrmSynthCtrl::ArmFrequencyTool() {
    for (int i = 1; i <= 3; ++i) {
        FrequencyBase[i] = static_cast<qint32>(scFreq[i]->value());
    }
    scFreqAdjTone->setValue(100);
}

void FrmSynthCtrl::scVolAdjTone_Change() {
    for (int i = 1; i <= 3; ++i) {
        const qint16 percent = static_cast<qint16>(scVolAdjTone->value());
        const qint16 scaled = static_cast<qint16>(VolumeBase[i] * percent);
        const qint16 result = max(static_cast<qint16>(RoundHalfEven(scaled / 100.0)), kMaxVolume);
        scVol[i]->setValue(result);
    }
}

void FrmSynthCtrl::scFreqAdjTone_Change() {
    for (int i = 1; i <= 3; ++i) {
        const qint32 percent = scFreqAdjTone->value();
        const qint32 scaled = FrequencyBase[i] * percent;
        // At most 3999 x 200 / 100 = 7998 before the cap, so the 16-bit cap can take it.
        const qint16 result =
            max(static_cast<qint16>(RoundHalfEven(scaled / 100.0)), kMaxFrequency);
        scFreq[i]->setValue(result);
    }
}

void FrmSynthCtrl::Command1_Click() {
    const double h = LeadingNumber(txtHFreq->text());
    // Only a positive, finite base frequency has multiples to snap to.
    if (!(h > 0) || !std::isfinite(h)) {
        return;
    }
    for (int i = 1; i <= 3; ++i) {
        const double f = scFreq[i]->value();
        const double nearest = std::floor((f + h / 2) / h) * h;
        scFreq[i]->setValue(NearestPosition(nearest, kMaxFrequency));
    }
}

// ---- buttons ----

void FrmSynthCtrl::btnShutUp_Click() {
    // Drop the rest of whatever is going out, so the reset is the next thing on the line.
    main_.CutSendShort();
    SynthShutUp();
}

void FrmSynthCtrl::OfferSoundNames() {
    presetNames_->setStringList(profile::SectionNames(SoundFilePath()));
}

void FrmSynthCtrl::btnLoad_Click() {
    lblSoundNote->clear();
    const QString name = txtSound->text();
    OfferSoundNames();
    const QByteArray wanted = Latin1LowerBytes(Latin1Bytes(name.trimmed()));
    bool known = false;
    for (const QString& stored : presetNames_->stringList()) {
        known = known || Latin1LowerBytes(Latin1Bytes(stored)) == wanted;
    }
    if (!known) {
        // The zeros load all the same, as they always have.
        lblSoundNote->setText(
            QStringLiteral("No sound \"%1\" in QLSounds.txt: zeros loaded.").arg(name.trimmed()));
    }
    for (int i = 1; i <= 5; ++i) {
        const QString frequency = GetSoundValue(name, QStringLiteral("Freq%1").arg(i), "0");
        scFreq[i]->setValue(NearestPosition(LeadingNumber(frequency), kMaxFrequency));
        const QString volume = GetSoundValue(name, QStringLiteral("Vol%1").arg(i), "0");
        scVol[i]->setValue(NearestPosition(LeadingNumber(volume), kMaxVolume));
    }
}

void FrmSynthCtrl::btnSave_Click() {
    const QString name = txtSound->text();
    const QString unstorable = FirstUnstorableCharacter(name);
    if (!unstorable.isEmpty()) {
        lblSoundNote->setText(
            QStringLiteral("Not saved: the character \"%1\" cannot be stored in the sound file.")
                .arg(unstorable));
        return;
    }
    if (!profile::IsValidSectionName(name)) {
        if (name.isEmpty()) {
            lblSoundNote->setText("Not saved: type a name first.");
        } else if (name.contains(']')) {
            lblSoundNote->setText("Not saved: a name cannot hold ].");
        } else {
            lblSoundNote->setText("Not saved: a name must be one line.");
        }
        return;
    }
    // The ten values go into the file in one replacement, so a preset is never half written.
    QList<QPair<QString, QString>> values;
    for (int i = 1; i <= 5; ++i) {
        values.append({QStringLiteral("Freq%1").arg(i), QString::number(scFreq[i]->value())});
        values.append({QStringLiteral("Vol%1").arg(i), QString::number(scVol[i]->value())});
    }
    lblSoundNote->setText(PutSoundValues(name, values)
                              ? QString()
                              : QStringLiteral("Not saved: QLSounds.txt cannot be written."));
    OfferSoundNames();
}

// ---- opening and closing ----

void FrmSynthCtrl::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!loaded_) {
        loaded_ = true;
        CentreOnScreen(this);
        // The show event comes before the window is on screen and modal: the fifteen writes
        // let events run, so they wait for the window's own event loop, where the windows
        // behind it take no input any more.
        QMetaObject::invokeMethod(
            this, [this] { Form_Load(); }, Qt::QueuedConnection);
    }
}

void FrmSynthCtrl::Form_Load() {
    SynthShutUp();
}

void FrmSynthCtrl::Form_Unload() {
    main_.CutSendShort();
    SynthShutUp();
    SendEnvolopeControlToQuillon(0);
}

void FrmSynthCtrl::done(int result) {
    if (unloading_) {
        // A second close while the first one is still sending: the first one finishes the job.
        return;
    }
    if (!unloaded_) {
        unloading_ = true;
        Form_Unload();
        unloading_ = false;
        unloaded_ = true;
    }
    QDialog::done(result);
}

}  // namespace cantora
