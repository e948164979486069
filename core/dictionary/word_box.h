#pragma once

// The phrase editor's word box against the dictionary: stepping to the next word in ordinal
// order, the values of the words typed in the box, and storing one word with its phrase.

#include <QString>
#include <QStringList>

namespace cantora::dictionary {

// The upper bound the word search starts from, and the mark that no word follows. A word box
// holding it starts the search from the beginning.
extern const QString kNoNextWord;

// The keys of a dictionary file's lines (ended by CR LF, LF or a lone CR): the text before the
// first "=", lower-cased and trimmed.
QStringList DictionaryKeys(const QByteArray& fileBytes);

// The key that follows `current` (lower-cased first) in ordinal order, wrapping round to the
// first key past the last one; kNoNextWord when there is no key at all.
QString NextKey(const QStringList& keys, const QString& current);

struct NextWord {
    enum class Status { Found, Unreadable, NoWords } status = Status::NoWords;
    QString word;   // the word found
    QString error;  // why the dictionary could not be read (may be empty)
};
// Reads the dictionary file and steps from the word box's text to the next word.
NextWord FindNextWord(const QString& wordBoxText);

// The blank-separated words of the word box, in order.
QStringList WordBoxWords(const QString& wordBoxText);
// The dictionary values of the words of the word box, in order; an unknown word gives an empty
// value.
QStringList WordBoxValues(const QString& wordBoxText);

// The phrase as SaveWord stores it: each line break one blank.
QString StoredPhrase(const QString& phrase);
// Whether a look-up would give back less than the stored phrase (it reads at most
// kDictionaryValueLimit characters).
bool PhraseIsCutOnReadBack(const QString& phrase);

enum class SaveWordResult {
    Saved,
    NoWord,
    MultiWord,
    UnstorableCharacter,
    InvalidWord,
    WriteFailed
};
// Stores `phrase` under the word of the word box in section "Words", each line break of the
// phrase turned into one blank (a dictionary entry is one line). A word holding a character the
// file cannot hold (FirstUnstorableCharacter names it) is refused before any other name rule.
// `error` (may be null) says why the file was not written (WriteFailed).
SaveWordResult SaveWord(const QString& wordBoxText, const QString& phrase,
                        QString* error = nullptr);

}  // namespace cantora::dictionary
