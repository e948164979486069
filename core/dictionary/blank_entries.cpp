#include "core/dictionary/blank_entries.h"

#include <QHash>

#include "core/files/profile.h"
#include "core/pronounce/pronouncer.h"

namespace cantora {

namespace {

// A suggestion as it can be stored: cut to what a look-up gives back.
QString StorableSuggestion(const QString& key, int* cut) {
    const QString whole = key.isEmpty() ? QString() : SuggestCodeText(key);
    QString kept = CutAtWholeToken(whole, kDictionaryValueLimit);
    if (kept.size() != whole.size()) {
        ++*cut;
    }
    return kept;
}

}  // namespace

QString CutAtWholeToken(const QString& codeText, qsizetype limit) {
    if (codeText.size() <= limit) {
        return codeText;
    }
    // The blank after the last whole token within the limit.
    qsizetype end = codeText.lastIndexOf(u' ', limit);
    while (end > 0 && codeText[end - 1] == u' ') {
        --end;
    }
    return end <= 0 ? QString() : codeText.first(end);
}

int FillBlankEntries(QString& dictionaryText, int* cut) {
    int cutHere = 0;
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
        if (equals >= 0 && IsBlankDictionaryValue(line.sliced(equals + 1, content - equals - 1))) {
            const QString key = line.first(equals).trimmed().toString();
            auto found = suggestions.find(key);
            if (found == suggestions.end()) {
                found = suggestions.insert(key, StorableSuggestion(key, &cutHere));
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
    if (cut != nullptr) {
        *cut = cutHere;
    }
    return filled;
}

}  // namespace cantora
