#include "core/dictionary/unknown_words.h"

#include <QSet>

#include "core/files/profile.h"

namespace cantora {

namespace {

// The characters the translator builds its words from.
bool IsWordChar(QChar c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') ||
           c == u'#' || c == u'\\';
}

}  // namespace

QStringList UnknownWords(const QString& text) {
    QStringList unknown;
    QSet<QString> seen;
    QString word;   // the word characters
    QString shown;  // the word as listed: its word characters and those no file can store
    bool inWord = false;
    bool tainted = false;

    auto closeWord = [&] {
        if (!word.startsWith(u'\\')) {
            const QString& name = tainted ? shown : word;
            const QString folded = name.toLower();
            if (!seen.contains(folded)) {
                seen.insert(folded);
                // A word holding such a character could never have been stored: it says
                // nothing whatever the dictionary holds.
                if (tainted || GetDictionaryValue("Words", word, QString()).trimmed().isEmpty()) {
                    unknown << name;
                }
            }
        }
        word.clear();
        shown.clear();
        tainted = false;
        inWord = false;
    };

    // As the translator reads: only blanks and commas end a word; any other character is passed
    // over ("don't" is "dont"), though one above 255 marks the word it stands in or before.
    const qsizetype size = text.size();
    for (qsizetype i = 0; i <= size; ++i) {
        const QChar c = i < size ? text[i] : QChar(u' ');
        if (IsWordChar(c)) {
            inWord = true;
            word += c;
            shown += c;
        } else if (c == u' ' || c == u',') {
            if (inWord) {
                closeWord();
            } else {
                shown.clear();
                tainted = false;
            }
        } else if (c.unicode() > 255) {
            tainted = true;
            shown += c;
            // A letter or digit no file can store makes a word by itself ("Привет" says
            // nothing); a dash or a symbol only marks the word it stands in.
            inWord = inWord || c.isLetterOrNumber();
        }
    }
    return unknown;
}

}  // namespace cantora
