// The phrase editor's word box: loading dictionary words into the phrase, stepping to the next
// word and saving the phrase under a word.

#include <QPlainTextEdit>

#include "core/dictionary_words.h"
#include "core/latin1_case.h"
#include "core/profile.h"
#include "core/translator.h"
#include "ui/common/prompter.h"
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
    switch (dictionary::SaveWord(word, txtSayData->toPlainText())) {
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
                                             "file %2 cannot be written.")
                                  .arg(word, DictionaryFilePath()));
            break;
        case dictionary::SaveWordResult::Saved:
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

}  // namespace cantora
