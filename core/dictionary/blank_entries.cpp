#include "core/dictionary/blank_entries.h"

#include <QHash>

#include "core/pronounce/pronouncer.h"

namespace cantora {

namespace {

bool OnlyBlanks(QStringView text) {
    for (QChar c : text) {
        if (c != u' ') {
            return false;
        }
    }
    return true;
}

}  // namespace

int FillBlankEntries(QString& dictionaryText) {
    // Imported word lists repeat words; each key is worked out once.
    QHash<QString, QString> suggestions;
    QString result;
    result.reserve(dictionaryText.size() * 4);
    int filled = 0;
    const QStringView text(dictionaryText);
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(u'\n', start);
        end = end < 0 ? text.size() : end + 1;
        QStringView line = text.sliced(start, end - start);
        qsizetype content = line.size();
        while (content > 0 && (line[content - 1] == u'\n' || line[content - 1] == u'\r')) {
            --content;
        }
        const qsizetype equals = line.first(content).indexOf(u'=');
        bool done = false;
        if (equals >= 0 && OnlyBlanks(line.sliced(equals + 1, content - equals - 1))) {
            const QString key = line.first(equals).trimmed().toString();
            auto found = suggestions.find(key);
            if (found == suggestions.end()) {
                found = suggestions.insert(key, key.isEmpty() ? QString() : SuggestCodeText(key));
            }
            if (!found->isEmpty()) {
                result += line.first(equals + 1);
                result += *found;
                result += line.sliced(content);
                ++filled;
                done = true;
            }
        }
        if (!done) {
            result += line;
        }
        start = end;
    }
    if (filled > 0) {
        dictionaryText = result;
    }
    return filled;
}

}  // namespace cantora
