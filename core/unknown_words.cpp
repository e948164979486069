#include "core/unknown_words.h"

#include <QSet>

#include "core/profile.h"

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
    qsizetype i = 0;
    while (i < text.size()) {
        if (!IsWordChar(text[i])) {
            ++i;
            continue;
        }
        qsizetype end = i;
        while (end < text.size() && IsWordChar(text[end])) {
            ++end;
        }
        const QString word = text.mid(i, end - i);
        i = end;
        if (word.startsWith(u'\\')) {
            continue;
        }
        const QString folded = word.toLower();
        if (seen.contains(folded)) {
            continue;
        }
        seen.insert(folded);
        if (GetDictionaryValue("Words", word, QString()).trimmed().isEmpty()) {
            unknown << word;
        }
    }
    return unknown;
}

}  // namespace cantora
