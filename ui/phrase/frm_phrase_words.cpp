// The phrase editor's word box: loading dictionary words into the phrase, stepping to the next
// word, saving the phrase under a word, suggesting how to say a word, and the list of words the
// dictionary lacks.

#include <QPlainTextEdit>
#include <QPointer>
#include <QTextCursor>
#include <memory>

#include "core/codes/translator.h"
#include "core/dictionary/unknown_words.h"
#include "core/dictionary/word_box.h"
#include "core/files/latin1_case.h"
#include "core/files/profile.h"
#include "core/pronounce/pronouncer.h"
#include "ui/common/prompter.h"
#include "ui/common/utility_host.h"
#include "ui/common/widgets.h"
#include "ui/phrase/frm_phrase.h"

namespace cantora {

void FrmPhrase::LoadDictionaryWords() {
    for (const QString& value : dictionary::WordBoxValues(txtDict->text())) {
        InsertAtCursor(value);
    }
    txtSayData->setFocus();
}

void FrmPhrase::cmdLoadOver_Click() {
    txtSayData->clear();
    LoadDictionaryWords();
}

void FrmPhrase::cmdSave_Click() {
    const QString word = txtDict->text().trimmed();
    if (!word.isEmpty() && !word.contains(u' ') &&
        dictionary::PhraseIsCutOnReadBack(txtSayData->toPlainText())) {
        const QString question =
            QStringLiteral(
                "Only the first %1 characters of this phrase will be read back from "
                "the dictionary; the rest will not be said. Save it anyway?")
                .arg(kDictionaryValueLimit);
        if (AskNotice(this, question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) !=
            QMessageBox::Yes) {
            txtSayData->setFocus();
            return;
        }
    }
    QString error;
    switch (dictionary::SaveWord(word, txtSayData->toPlainText(), &error)) {
        case dictionary::SaveWordResult::MultiWord:
            ShowRefusal(this,
                        "Cannot save mutil-word Dictionary entries.  Remove the spaces and "
                        "try again.");
            break;
        case dictionary::SaveWordResult::UnstorableCharacter:
            ShowRefusal(this, QStringLiteral("The character \"%1\" cannot be stored in the "
                                             "dictionary file.  Nothing was saved.")
                                  .arg(FirstUnstorableCharacter(word)));
            break;
        case dictionary::SaveWordResult::InvalidWord:
            ShowRefusal(this, QStringLiteral("\"%1\" cannot be a dictionary word: a word must not "
                                             "contain \"=\" or begin with \"[\".  Nothing was "
                                             "saved.")
                                  .arg(word));
            break;
        case dictionary::SaveWordResult::WriteFailed:
            ShowRefusal(this, QStringLiteral("The word \"%1\" could not be saved: the dictionary "
                                             "file %2 cannot be written.%3")
                                  .arg(word, DictionaryFilePath(),
                                       error.isEmpty() ? QString() : "\n\n" + error));
            break;
        case dictionary::SaveWordResult::Saved:
            if (!txtSayData->toPlainText().trimmed().isEmpty()) {
                // The word now says something: the next click on the list brings the next word.
                QStringList rest = unknownWords_;
                rest.removeIf([&word](const QString& unknown) {
                    return unknown.compare(word, Qt::CaseInsensitive) == 0;
                });
                setUnknownWords(rest);
            }
            break;
        case dictionary::SaveWordResult::NoWord:
            break;
    }
    txtSayData->setFocus();
}

bool FrmPhrase::GetNextWord() {
    // The step and the look-ups of the word it loads check the dictionary for changes once.
    const profile::ReadBatch batch;
    const dictionary::NextWord next = dictionary::FindNextWord(txtDict->text());
    if (next.status == dictionary::NextWord::Status::Unreadable) {
        ShowRefusal(
            this, QStringLiteral("The dictionary %1 cannot be read, so there is no next "
                                 "word.%2")
                      .arg(DictionaryFilePath(),
                           next.error.isEmpty() ? QString() : QStringLiteral("\r\n") + next.error));
        return false;
    }
    if (next.status == dictionary::NextWord::Status::NoWords) {
        // One full pass found nothing: the word box keeps what the user had.
        ShowRefusal(this, QStringLiteral("The dictionary %1 holds no words to step through.")
                              .arg(DictionaryFilePath()));
        return false;
    }
    txtDict->setText(next.word);
    txtSayData->clear();
    LoadDictionaryWords();
    return true;
}

void FrmPhrase::btnNextWord_Click() {
    if (!GetNextWord()) {
        txtSayData->setFocus();
        return;
    }
    SayThisAllophoneList(TranslateText(txtSayData->toPlainText()));
}

void FrmPhrase::cmdSuggest_Click() {
    const QStringList words = dictionary::WordBoxWords(txtDict->text());
    if (words.isEmpty()) {
        return;
    }
    cmdSuggest->setEnabled(false);
    // Taken first: the window may be deleted while its phrase goes out.
    QPointer<FrmPhrase> self(this);
    UtilityHost& main = main_;
    // The first suggestion loads the pronouncing lexicon.
    auto busy = std::make_shared<BusyPointer>();
    QStringList suggestions;
    bool any = false;
    for (const QString& word : words) {
        suggestions.append(SuggestCodeText(word));
        any = any || !suggestions.last().isEmpty();
    }
    if (any) {
        // As "Load Overwrite" puts stored words: the phrase replaced, one insertion a word; all
        // of it one step that Undo takes back.
        QTextCursor step(txtSayData->document());
        step.beginEditBlock();
        step.select(QTextCursor::Document);
        step.removeSelectedText();
        txtSayData->setTextCursor(step);
        for (const QString& suggestion : suggestions) {
            InsertAtCursor(suggestion);
        }
        step.endEditBlock();
        SayThisAllophoneList(TranslateText(txtSayData->toPlainText()));
    }
    // Nothing to say leaves the phrase as the user had it. Asked for during another send, the
    // phrase joined it: the button and the pointer wait for its end.
    main.AfterCurrentSend([self, busy]() mutable {
        busy.reset();
        if (self) {
            self->cmdSuggest->setEnabled(true);
            self->txtSayData->setFocus();
        }
    });
}

void FrmPhrase::ShowUnknownWords(const QString& phraseText) {
    unknownPronounced_ = chkPronounceUnknown->isChecked();
    setUnknownWords(UnknownWords(phraseText));
}

void FrmPhrase::setUnknownWords(const QStringList& words) {
    unknownWords_ = words;
    if (words.isEmpty()) {
        lblUnknownWords->clear();
        lblUnknownWords->setToolTip(QString());
        lblUnknownWords->unsetCursor();
        return;
    }
    const QString heading = unknownPronounced_ ? QStringLiteral("Pronounced by the rules")
                                               : QStringLiteral("Not in the dictionary");
    const QString full = heading + QStringLiteral(": ") + words.join(QStringLiteral(", "));
    // One line, however many words.
    lblUnknownWords->setText(lblUnknownWords->fontMetrics().elidedText(
        full, Qt::ElideRight, lblUnknownWords->contentsRect().width()));
    // The tool tip names the words a line at a time, within reason.
    constexpr int kTipWords = 20;
    QStringList tip = words.mid(0, kTipWords);
    if (words.size() > kTipWords) {
        tip.append(QStringLiteral("and %1 more").arg(words.size() - kTipWords));
    }
    lblUnknownWords->setToolTip(
        heading + QStringLiteral(":\n") + tip.join(QLatin1Char('\n')) +
        QStringLiteral("\n\nClick to put \"%1\" into the word box.").arg(words.first()));
    lblUnknownWords->setCursor(Qt::PointingHandCursor);
}

void FrmPhrase::ShowSendProblem() {
    const QString problem = main_.linkProblem().trimmed();
    if (problem.isEmpty()) {
        return;
    }
    // The line has room for the reason's first sentence and the way out; the tip has it all.
    const qsizetype end = problem.indexOf(QStringLiteral(". "));
    const QString reason = end < 0 ? problem : problem.left(end + 1);
    const QString wayOut = QStringLiteral(
        " Tick \"Hear on this computer\" in the main window to listen without a chip.");
    setUnknownWords({});
    // A long reason gives way in its middle (a long device path); the way out stays whole.
    const QFontMetrics metrics = lblUnknownWords->fontMetrics();
    const int room = lblUnknownWords->contentsRect().width() - metrics.horizontalAdvance(wayOut);
    lblUnknownWords->setText(room > metrics.averageCharWidth() * 12
                                 ? metrics.elidedText(reason, Qt::ElideMiddle, room) + wayOut
                                 : metrics.elidedText(reason + wayOut, Qt::ElideRight,
                                                      lblUnknownWords->contentsRect().width()));
    lblUnknownWords->setToolTip(problem + wayOut);
}

void FrmPhrase::lblUnknownWords_Click() {
    if (!unknownWords_.isEmpty()) {
        txtDict->setText(unknownWords_.first());
    }
}

}  // namespace cantora
