#include "ui/phrase/frm_phrase.h"

#include <QKeyEvent>
#include <QTextCursor>

#include "core/codes/lenient_numbers.h"
#include "core/files/profile.h"
#include "ui/common/accessibility.h"
#include "ui/common/link_indicator.h"
#include "ui/common/twips.h"
#include "ui/common/utility_host.h"
#include "ui/common/widgets.h"

namespace cantora {

FrmPhrase::FrmPhrase(UtilityHost& main, QWidget* parent) : QDialog(parent), main_(main) {
    // A little taller than drawn (kSayDataExtra): "Save WAV…" has a row of its own in "Say Data".
    SetUpToolWindow(this, "frmPhrase", "Cantora Phrase Editor", 11700, 7935 + kSayDataExtra);

    buildGroups();
    buildPalette();
    buildControls();
    buildSayData();
    buildDictionary();
    btnShutUp = MakeButton(this, "btnShutUp", "Shut Up", 9330, 7410 + kSayDataExtra, 975, 435,
                           "Stop the Quillon now.");
    btnDone = MakeButton(this, "btnDone", "Done", 10380, 7410 + kSayDataExtra, 975, 435);
    // The main window's port box is covered while this window is open.
    MakeLinkIndicator(this, main_.linkBox(), 9015, 7500 + kSayDataExtra, 240, 255);
    connectHandlers();
    // Return in a text box must not press a button of this window.
    NoReturnPresses(this);
    ReturnPressesFocusedButton(this);
    NameControlsForScreenReaders(this);
    Form_Load();
}

FrmPhrase::~FrmPhrase() {
    DisarmFocusHooks(this);
}

void FrmPhrase::connectHandlers() {
    for (int i = 0; i < voice_.size(); ++i) {
        const VoiceControl control = voice_[i];
        OnScrollChange(control.bar,
                       [control] { control.box->setText(QString::number(control.bar->value())); });
        OnFocusOut(control.box, [this, control] { ValidateVoiceBox(control); });
        connect(control.label, &ClickLabel::doubleClicked, this,
                [this, control] { VoiceLabel_DblClick(control); });
    }
    connect(bntSayIt, &QPushButton::clicked, this, [this] { SayText(bntSayIt, false); });
    connect(btnSaySelection, &QPushButton::clicked, this,
            [this] { SayText(btnSaySelection, true); });
    connect(btnClear, &QPushButton::clicked, this, [this] { btnClear_Click(); });
    connect(btnCodes, &QPushButton::clicked, this, [this] { ViewCodes(btnCodes, false); });
    connect(Command2, &QPushButton::clicked, this, [this] { ViewCodes(Command2, true); });
    connect(cmdSaveWav, &QPushButton::clicked, this, [this] { cmdSaveWav_Click(); });
    // Only the user's own clicks keep the choice, so a first start writes nothing.
    connect(chkPronounceUnknown, &QCheckBox::clicked, this,
            [this] { chkPronounceUnknown_Click(); });
    connect(cmdLoadOver, &QPushButton::clicked, this, [this] { cmdLoadOver_Click(); });
    connect(cmdLoadInsert, &QPushButton::clicked, this, [this] { LoadDictionaryWords(); });
    connect(btnNextWord, &QPushButton::clicked, this, [this] { btnNextWord_Click(); });
    connect(cmdSave, &QPushButton::clicked, this, [this] { cmdSave_Click(); });
    connect(cmdSuggest, &QPushButton::clicked, this, [this] { cmdSuggest_Click(); });
    connect(lblUnknownWords, &ClickLabel::clicked, this, [this] { lblUnknownWords_Click(); });
    connect(btnShutUp, &QPushButton::clicked, this, [this] { btnShutUp_Click(); });
    connect(btnDone, &QPushButton::clicked, this, [this] { btnDone_Click(); });
}

void FrmPhrase::Form_Load() {
    if (!main_.WordToMove.isEmpty()) {
        txtDict->setText(main_.WordToMove);
    }
    if (!main_.PhraseToMove.isEmpty()) {
        txtSayData->setPlainText(main_.PhraseToMove);
    }
    SetDefaults();
    chkPronounceUnknown->setChecked(
        LeadingInteger(GetIniValue("Phrase", "PronounceUnknown", "0")) != 0);
}

void FrmPhrase::chkPronounceUnknown_Click() {
    PutIniValue("Phrase", "PronounceUnknown", chkPronounceUnknown->isChecked() ? 1 : 0);
}

void FrmPhrase::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        CentreOnScreen(this);
        Form_Activate();
    }
}

void FrmPhrase::Form_Activate() {
    txtSayData->setFocus();
}

void FrmPhrase::keyPressEvent(QKeyEvent* event) {
    // Escape must not close the editor: only Done hands the phrase back to the main window.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void FrmPhrase::SetDefaults() {
    scVolume->setValue(96);
    scPitch->setValue(88);
    scSpeed->setValue(114);
    scBend->setValue(5);
}

void FrmPhrase::InsertAtCursor(const QString& text) {
    QTextCursor cursor = txtSayData->textCursor();
    if (!cursor.hasSelection()) {
        QTextDocument* document = txtSayData->document();
        while (document->characterAt(cursor.position()) == QLatin1Char(' ')) {
            cursor.movePosition(QTextCursor::NextCharacter);
        }
    }
    cursor.insertText(text + QLatin1Char(' '));
    txtSayData->setTextCursor(cursor);
}

void FrmPhrase::btnClear_Click() {
    txtSayData->clear();
    txtSayData->setFocus();
}

void FrmPhrase::done(int result) {
    // The rest of a phrase must not keep going out after its window has closed.
    main_.CutSendShort();
    QDialog::done(result);
}

void FrmPhrase::btnDone_Click() {
    main_.WordToMove = txtDict->text();
    main_.PhraseToMove = txtSayData->toPlainText();
    accept();
}

}  // namespace cantora
