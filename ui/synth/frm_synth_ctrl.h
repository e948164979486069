#pragma once

// The synthesiser panel: five oscillators, envelope, distortion and master volume, each value a
// scroll bar mirrored by a text box and written to the chip's register on every change; the
// two adjust tools, "Harmonise", the volume warning colours and the sound presets.

#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStringListModel>
#include <array>

namespace cantora {

class UtilityHost;

class FrmSynthCtrl : public QDialog {
    Q_OBJECT
  public:
    explicit FrmSynthCtrl(UtilityHost& main, QWidget* parent = nullptr);
    ~FrmSynthCtrl() override;

    // Highest positions of the value scroll bars.
    static constexpr int kMaxFrequency = 3999;
    static constexpr int kMaxVolume = 31;
    static constexpr int kMaxDistortion = 255;
    static constexpr int kMaxMasterVolume = 127;
    static constexpr int kMaxEnvelopeFrequency = 255;

    // Register writes, one string each, never with the long-phrase check.
    void SendRegisterLevelToQuillon(qint16 index, qint16 level);
    void SendOscillatorVolumeToQuillon(qint16 oscillator, qint16 volume);
    void SendOscillatorFrequencyToQuillon(qint16 oscillator, qint16 frequency);
    void SendEnvolopeControlToQuillon(quint8 control);

    // Recolours the tone-generator volume boxes from the sum of their volumes.
    void CheckVolumeLimits();
    // Resets the chip, then every control to its reset value (each change writes its register).
    void SynthShutUp();
    // The envelope control byte from the wave options and the two envelope check boxes.
    quint8 GetEnvolopeCtrlValue() const;
    // Caps `value` at `limit` (used by the adjust tools).
    static qint16 max(qint16 value, qint16 limit) { return value > limit ? limit : value; }

    // Controls. Arrays are indexed as the panel numbers them: oscillators 1 to 5 (index 0
    // unused), levels 0 distortion and 1 master volume, Check2 0 "One Half Enveloped" and 1
    // "Enveloped", FrameOsc 1 to 7 (index 0 unused).
    std::array<QGroupBox*, 8> FrameOsc{};
    QGroupBox* Frame1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    std::array<QScrollBar*, 6> scFreq{};
    std::array<QLineEdit*, 6> txtFreq{};
    std::array<QScrollBar*, 6> scVol{};
    std::array<QLineEdit*, 6> txtVol{};
    std::array<QScrollBar*, 2> scLevel{};
    std::array<QLineEdit*, 2> txtLevel{};
    QScrollBar* scEnvolopeFreq = nullptr;
    QLineEdit* txtEnvFreq = nullptr;
    std::array<QRadioButton*, 4> Option1{};
    std::array<QCheckBox*, 2> Check2{};
    QPushButton* Command1 = nullptr;  // "Harmonise"
    QLineEdit* txtHFreq = nullptr;
    QScrollBar* scFreqAdjTone = nullptr;
    QPushButton* Command3 = nullptr;  // "Z" of "Freq Adj"
    QScrollBar* scVolAdjTone = nullptr;
    QPushButton* Command2 = nullptr;  // "Z" of "Volume Adj"
    QLineEdit* txtSound = nullptr;
    QLabel* lblSoundNote = nullptr;  // why a sound name was not saved
    QPushButton* btnLoad = nullptr;
    QPushButton* btnSave = nullptr;
    QPushButton* btnShutUp = nullptr;
    QPushButton* btnDone = nullptr;

    // Adjust-tool bases of oscillators 1 to 3 (index 0 unused), captured when a tool is armed.
    std::array<qint16, 4> VolumeBase{};
    std::array<qint32, 4> FrequencyBase{};

    // Closing by "Done", Escape or the close box (QDialog turns it into reject()) all end here;
    // the unload runs once.
    void done(int result) override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    // Building (frm_synth_ctrl_build.cpp): buildControls runs the others from top to bottom.
    void buildControls();
    void buildMains();
    void buildToneGenerators();
    void buildNoiseGenerators();
    void buildOscillators();
    void buildBottomRow();
    void connectControls();
    void Form_Load();
    void Form_Unload();
    void sendScp(const QByteArray& text);

    // Text box loses the focus: clamp, then move the scroll bar to the typed value.
    void ValidateValueBox(QLineEdit* box, QScrollBar* bar);

    void ArmVolumeTool();
    void ArmFrequencyTool();
    void scVolAdjTone_Change();
    void scFreqAdjTone_Change();
    void Command1_Click();
    void btnShutUp_Click();
    void btnLoad_Click();
    // The name box offers the names in the preset file.
    void OfferSoundNames();
    void btnSave_Click();
    void SendEnvelopeFromControls();

    UtilityHost& main_;
    QStringListModel* presetNames_ = nullptr;  // the names the name box completes
    bool loaded_ = false;
    bool unloading_ = false;
    bool unloaded_ = false;
};

}  // namespace cantora
