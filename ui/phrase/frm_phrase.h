#pragma once

// The phrase editor: composing a phrase from words and code tokens, the four voice controls,
// speaking the phrase, the code palette and code views, and word-by-word dictionary lookup.

#include <QByteArray>
#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QMap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStringList>
#include <memory>

namespace cantora {

class UtilityHost;
class ClickLabel;

class FrmPhrase : public QDialog {
    Q_OBJECT
  public:
    // Twips the "Say Data" group (and so the window) is taller than drawn, for "Save WAV…".
    static constexpr int kSayDataExtra = 180;

    explicit FrmPhrase(UtilityHost& main, QWidget* parent = nullptr);
    ~FrmPhrase() override;

    // The window's one way of putting generated text into the phrase: at the caret (skipping the
    // blanks right of it) or over the selection, followed by one blank; the caret ends after it.
    void InsertAtCursor(const QString& text);
    // Voice controls back to volume 96, speed 114, pitch 88, bend 5. Sends nothing.
    void SetDefaults();
    // The 8-byte control prefix: 20, volume, 21, speed, 22, pitch, 23, bend (scroll bars only).
    QByteArray GetControlCodes() const;
    // Sends a code-list text, behind the control prefix when "Say Data" asks for it. False when
    // the window went away during the send.
    bool SayThisAllophoneList(const QString& zAllophoneList);
    // What "Say It" sends for a code-list text: the control prefix when asked for, then the
    // codes. The code views show exactly these bytes.
    QByteArray PhraseBytes(const QString& codeText) const;
    // Hands a byte string to the codes viewer as decimal numbers and shows it.
    void ShowThisCodeList(const QByteArray& zQuillonCodes);
    // Moves the word box to the next dictionary word and loads its data. False (after telling
    // the user) when the dictionary cannot be read or holds no word.
    bool GetNextWord();
    void LoadDictionaryWords();

    // The palette label of an index, null when there is none.
    ClickLabel* Command1(int index) const { return Command1_.value(index, nullptr); }

    // Groups.
    QGroupBox* Frame1 = nullptr;   // Vowels
    QGroupBox* Frame2 = nullptr;   // Voiced Fricatives
    QGroupBox* Frame3 = nullptr;   // Resonate && Nasal
    QGroupBox* Frame4 = nullptr;   // Diphthongs
    QGroupBox* Frame5 = nullptr;   // Voiced Stops
    QGroupBox* Frame6 = nullptr;   // Voiceless Stops
    QGroupBox* Frame7 = nullptr;   // Voiceless Fricatives
    QGroupBox* Frame8 = nullptr;   // Misc Sounds
    QGroupBox* Frame9 = nullptr;   // Controls
    QGroupBox* Frame10 = nullptr;  // Say Data
    QGroupBox* Frame11 = nullptr;  // Modifiers
    QGroupBox* Frame12 = nullptr;  // R's
    QGroupBox* Frame13 = nullptr;  // Musical Scale
    QGroupBox* Frame14 = nullptr;  // Pauses
    QGroupBox* Frame15 = nullptr;  // Dictionary
    QGroupBox* Frame16 = nullptr;  // Commands

    // Parameter boxes of the palette.
    QLineEdit* TxtDelay = nullptr;
    QLineEdit* txtCall = nullptr;
    QLineEdit* txtPlay = nullptr;
    QLineEdit* txtPCtrl = nullptr;
    QLineEdit* txtPOut = nullptr;
    QLineEdit* txtRepeat = nullptr;

    // Voice controls.
    ClickLabel* lblVolume = nullptr;
    ClickLabel* lblSpeed = nullptr;
    ClickLabel* lblPitch = nullptr;
    ClickLabel* lblBend = nullptr;
    QLineEdit* txtVolume = nullptr;
    QLineEdit* txtSpeed = nullptr;
    QLineEdit* txtPitch = nullptr;
    QLineEdit* txtBend = nullptr;
    QScrollBar* scVolume = nullptr;
    QScrollBar* scSpeed = nullptr;
    QScrollBar* scPitch = nullptr;
    QScrollBar* scBend = nullptr;
    QCheckBox* chkApplyControlsBeforeSounds = nullptr;
    QCheckBox* chkApplyControlsBeforeSayData = nullptr;

    // Say Data.
    QPlainTextEdit* txtSayData = nullptr;
    QPushButton* bntSayIt = nullptr;
    QPushButton* btnSaySelection = nullptr;
    QPushButton* btnClear = nullptr;
    QPushButton* btnCodes = nullptr;
    QPushButton* Command2 = nullptr;
    // The words the last say or code view left out because the dictionary lacks them; a click
    // puts the first of them into the word box.
    ClickLabel* lblUnknownWords = nullptr;
    // "Save WAV…": what "Say It" would send, rendered by the virtual chip into a WAV file.
    QPushButton* cmdSaveWav = nullptr;
    // Says the words the dictionary lacks as "Suggest" would, in the says, views and WAV files.
    QCheckBox* chkPronounceUnknown = nullptr;

    // Dictionary.
    QLineEdit* txtDict = nullptr;
    QPushButton* cmdLoadOver = nullptr;
    QPushButton* cmdLoadInsert = nullptr;
    QPushButton* btnNextWord = nullptr;
    QPushButton* cmdSave = nullptr;
    // Puts the suggested pronunciation of the word box's words into the phrase and says it.
    QPushButton* cmdSuggest = nullptr;
    QCheckBox* chkWith = nullptr;
    QCheckBox* chkWithout = nullptr;
    QLineEdit* txtfindwith = nullptr;

    QPushButton* btnShutUp = nullptr;
    QPushButton* btnDone = nullptr;

    // "Done" and the close box end here: the closing stops the window's send in progress.
    void done(int result) override;

  protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    // One voice control: label, text box, scroll bar and its code.
    struct VoiceControl {
        ClickLabel* label = nullptr;
        QLineEdit* box = nullptr;
        QScrollBar* bar = nullptr;
        int code = 0;
    };

    void buildGroups();
    void buildPalette();
    void buildControls();
    void buildSayData();
    void buildDictionary();
    void connectHandlers();

    void Form_Load();
    void Form_Activate();
    void Command1_Click(int index);
    void Command1_DblClick(int index);
    void ValidateVoiceBox(const VoiceControl& control);
    void VoiceLabel_DblClick(const VoiceControl& control);
    void SayText(QPushButton* button, bool selectionOnly);
    void ViewCodes(QPushButton* button, bool selectionOnly);
    void btnShutUp_Click();
    void cmdSaveWav_Click();
    // Says in the line under the phrase what an action did (the whole text in its tool tip).
    void ShowStatusLine(const QString& text);
    void btnClear_Click();
    void btnDone_Click();
    void cmdLoadOver_Click();
    void cmdSave_Click();
    void btnNextWord_Click();
    void cmdSuggest_Click();
    void lblUnknownWords_Click();
    // Lists the words a phrase text leaves out in lblUnknownWords.
    void ShowUnknownWords(const QString& phraseText);
    void setUnknownWords(const QStringList& words);
    // When the port could not be opened for the last send: why, and the way out, in the line
    // under the phrase.
    void ShowSendProblem();

    QString sayDataText(bool selectionOnly) const;
    // The phrase text as code-list text, unknown words pronounced when the box asks for it.
    QString translatePhrase(const QString& text) const;
    void chkPronounceUnknown_Click();
    QLineEdit* parameterBox(int code) const;
    // Sends through the main window; false when this window was deleted while the bytes went out.
    bool sendSurvived(const QByteArray& bytes, bool checkLength);

    UtilityHost& main_;
    QMap<int, ClickLabel*> Command1_;
    QList<VoiceControl> voice_;
    QStringList unknownWords_;        // what lblUnknownWords lists
    bool unknownPronounced_ = false;  // whether they were said by the rules
};

}  // namespace cantora
