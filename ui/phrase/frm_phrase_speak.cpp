// Speaking from the phrase editor: the voice controls, the palette clicks, Say It and Say
// Selection, the code views and Shut Up.

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <memory>
#include <optional>

#include "core/chip/renderer.h"
#include "core/chip/wav_file.h"
#include "core/codes/c_export.h"
#include "core/codes/code_table.h"
#include "core/codes/code_text.h"
#include "core/codes/palette_table.h"
#include "core/codes/scp_commands.h"
#include "core/codes/translator.h"
#include "core/pronounce/pronouncer.h"
#include "ui/codes/frm_codes.h"
#include "ui/common/prompter.h"
#include "ui/common/utility_host.h"
#include "ui/common/widgets.h"
#include "ui/phrase/frm_phrase.h"

namespace cantora {

QByteArray FrmPhrase::GetControlCodes() const {
    QByteArray prefix;
    for (const VoiceControl& control : voice_) {
        prefix.append(static_cast<char>(control.code));
        prefix.append(static_cast<char>(control.bar->value()));
    }
    return prefix;
}

void FrmPhrase::ValidateVoiceBox(const VoiceControl& control) {
    ApplyNumberBox(control.box, control.bar);
}

void FrmPhrase::VoiceLabel_DblClick(const VoiceControl& control) {
    ValidateVoiceBox(control);
    InsertAtCursor(GetCodeName(control.code) + QStringLiteral(" \\") +
                   QString::number(control.bar->value()));
}

QLineEdit* FrmPhrase::parameterBox(int code) const {
    const QString name = palette::ParameterBoxName(code);
    return name.isEmpty() ? nullptr : findChild<QLineEdit*>(name);
}

void FrmPhrase::Command1_Click(int index) {
    const palette::Element* element = palette::FindByIndex(index);
    if (element == nullptr || element->hidden) {
        return;
    }
    std::shared_ptr<BusyPointer> busy = std::make_shared<BusyPointer>();

    QByteArray prefix;
    if (palette::SkipNextControls()) {
        palette::SetSkipNextControls(false);
    } else if (chkApplyControlsBeforeSounds->isChecked()) {
        prefix = GetControlCodes();
    }

    const int code = palette::CodeOf(element->caption);
    if (code == kUnknownCode) {
        return;
    }
    if (code == palette::kWaitCode) {
        // No hourglass over a question.
        busy.reset();
        const QMessageBox::StandardButton answer =
            AskNotice(this, palette::WaitNoticeText(), QMessageBox::Ok | QMessageBox::Cancel,
                      QMessageBox::Ok);
        if (answer != QMessageBox::Ok) {
            return;
        }
        busy = std::make_shared<BusyPointer>();
    }
    if (code == palette::kResetCode) {
        SetDefaults();
    }

    int parameter = 0;
    if (palette::HasParameter(code)) {
        QLineEdit* box = parameterBox(code);
        const std::optional<int> value = palette::ParameterByte(box->text());
        if (!value) {
            // No byte can carry it: refuse rather than send a wrong value.
            busy.reset();
            ShowRefusal(this, palette::ParameterRefusalText(element->caption, box->text()));
            return;
        }
        parameter = *value;
    }
    if (code >= palette::kFirstNote) {
        scPitch->setValue(GetNotePitch(code));
    }
    const QByteArray bytes = palette::ClickBytes(prefix, code, parameter);
    if (code == palette::kRepeatCode) {
        palette::SetSkipNextControls(true);
    }
    UtilityHost& main = main_;
    sendSurvived(bytes, true);
    // A click during another send joins it: the pointer stays busy until the codes are out.
    main.AfterCurrentSend([busy]() mutable { busy.reset(); });
}

void FrmPhrase::Command1_DblClick(int index) {
    const palette::Element* element = palette::FindByIndex(index);
    if (element == nullptr || element->hidden) {
        return;
    }
    QLineEdit* box = parameterBox(palette::CodeOf(element->caption));
    InsertAtCursor(palette::DoubleClickText(element->caption, box ? box->text() : QString()));
}

QString FrmPhrase::sayDataText(bool selectionOnly) const {
    if (selectionOnly) {
        return txtSayData->textCursor().selection().toPlainText();
    }
    return txtSayData->toPlainText();
}

QString FrmPhrase::translatePhrase(const QString& text) const {
    if (!chkPronounceUnknown->isChecked()) {
        return TranslateText(text);
    }
    TranslateOptions options;
    options.unknownWord = [](const QString& word) { return SuggestCodeText(word); };
    return TranslateText(text, options);
}

QByteArray FrmPhrase::PhraseBytes(const QString& codeText) const {
    QByteArray bytes;
    if (chkApplyControlsBeforeSayData->isChecked()) {
        bytes = GetControlCodes();
    }
    bytes += CodeTextToBytes(codeText);
    return bytes;
}

bool FrmPhrase::sendSurvived(const QByteArray& bytes, bool checkLength) {
    // The sender lets events run between bytes; one of them may take this window away.
    QPointer<FrmPhrase> self(this);
    main_.SendToQuillon(bytes, checkLength);
    return !self.isNull();
}

bool FrmPhrase::SayThisAllophoneList(const QString& zAllophoneList) {
    return sendSurvived(PhraseBytes(zAllophoneList), true);
}

void FrmPhrase::SayText(QPushButton* button, bool selectionOnly) {
    button->setEnabled(false);
    // Taken first: the window may be deleted while its phrase goes out.
    QPointer<FrmPhrase> self(this);
    UtilityHost& main = main_;
    auto busy = std::make_shared<BusyPointer>();
    const QString text = sayDataText(selectionOnly);
    ShowUnknownWords(text);
    SayThisAllophoneList(translatePhrase(text));
    // Asked for during another send, the phrase joined it and is still going out: the button
    // and the pointer wait for its end.
    main.AfterCurrentSend([self, button, busy]() mutable {
        busy.reset();
        if (self) {
            button->setEnabled(true);
            self->txtSayData->setFocus();
            self->ShowSendProblem();
        }
    });
}

void FrmPhrase::ViewCodes(QPushButton* button, bool selectionOnly) {
    button->setEnabled(false);
    QByteArray bytes;
    QString text;
    {
        BusyPointer busy;
        text = sayDataText(selectionOnly);
        ShowUnknownWords(text);
        bytes = PhraseBytes(translatePhrase(text));
    }
    button->setEnabled(true);
    txtSayData->setFocus();
    main_.QuillonPhrase = text;
    ShowThisCodeList(bytes);
}

void FrmPhrase::ShowThisCodeList(const QByteArray& zQuillonCodes) {
    main_.QuillonCodes = CodesAsDecimalText(zQuillonCodes);
    {
        FrmCodes codes(main_, this);
        codes.exec();
    }
    Form_Activate();
}

void FrmPhrase::btnShutUp_Click() {
    // Emptying the buffer first stops a send in progress even if the reset cannot go out.
    main_.CutSendShort();
    if (sendSurvived(ShutUpCommandText(), false)) {
        txtSayData->setFocus();
    }
}

}  // namespace cantora

namespace cantora {

namespace {

// The longest sound a render makes (RenderBytes stops there).
constexpr size_t kLongestWavFrames = static_cast<size_t>(chip::kSampleRate) * 600;

// Where the next "Save WAV…" starts: the last file saved in this run, else the home folder.
QString& LastWavPath() {
    static QString path = QDir::home().filePath(QStringLiteral("phrase.wav"));
    return path;
}

}  // namespace

void FrmPhrase::cmdSaveWav_Click() {
    QPointer<FrmPhrase> self(this);
    // The dialog adds ".wav" to a bare name itself, so its question about replacing a file is
    // about the file that will be written.
    const QString path = Prompter::current().saveFileName(
        this, QStringLiteral("Save WAV"), LastWavPath(), QStringLiteral("WAV files (*.wav)"),
        QStringLiteral("wav"));
    if (self.isNull() || path.isEmpty()) {
        return;
    }
    cmdSaveWav->setEnabled(false);
    bool written = false;
    std::vector<int16_t> pcm;
    {
        BusyPointer busy;
        // Exactly the bytes "Say It" would send now, rendered offline: no port, no speakers.
        pcm = chip::RenderBytes(PhraseBytes(translatePhrase(sayDataText(false))));
        written = chip::WriteWavFile(path, pcm, chip::kSampleRate);
    }
    if (self.isNull()) {
        return;
    }
    cmdSaveWav->setEnabled(true);
    const QString shown = QDir::toNativeSeparators(path);
    if (written) {
        LastWavPath() = path;
        const double seconds = static_cast<double>(pcm.size()) / chip::kSampleRate;
        QString line =
            QStringLiteral("Saved %1 s of sound in %2").arg(seconds, 0, 'f', 1).arg(shown);
        if (pcm.size() >= kLongestWavFrames) {
            line += QStringLiteral(" (cut at ten minutes, the longest a WAV file here holds)");
        }
        ShowStatusLine(line);
    } else {
        ShowRefusal(this, QStringLiteral("The WAV file %1 could not be written.").arg(shown));
    }
    txtSayData->setFocus();
}

void FrmPhrase::ShowStatusLine(const QString& text) {
    setUnknownWords({});
    lblUnknownWords->setText(lblUnknownWords->fontMetrics().elidedText(
        text, Qt::ElideMiddle, lblUnknownWords->contentsRect().width()));
    lblUnknownWords->setToolTip(text);
}

}  // namespace cantora
