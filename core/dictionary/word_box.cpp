#include "core/dictionary/word_box.h"

#include "core/codes/translator.h"
#include "core/files/latin1_case.h"
#include "core/files/profile.h"

namespace cantora::dictionary {

const QString kNoNextWord = QStringLiteral("zzzzzzzzz!!!");

QStringList DictionaryKeys(const QByteArray& fileBytes) {
    // Lines end where the dictionary's readers end them: at CR LF, LF or a lone CR.
    QStringList keys;
    const QByteArrayView data = QByteArrayView(fileBytes).sliced(ByteOrderMarksSize(fileBytes));
    qsizetype start = 0;
    for (qsizetype i = 0; i <= data.size(); ++i) {
        if (i == data.size() || data[i] == '\n' || data[i] == '\r') {
            const QByteArrayView line = data.sliced(start, i - start);
            const qsizetype equals = line.indexOf('=');
            if (equals >= 0) {
                keys.append(QString::fromLatin1(line.first(equals)).toLower().trimmed());
            }
            start = i + 1;
        }
    }
    return keys;
}

namespace {

// The least key greater than `current`, or kNoNextWord when none is.
QString KeyAfter(const QStringList& keys, const QString& current) {
    QString best = kNoNextWord;
    for (const QString& key : keys) {
        if (current < key && key < best) {
            best = key;
        }
    }
    return best;
}

}  // namespace

QString NextKey(const QStringList& keys, const QString& current) {
    QString found = KeyAfter(keys, current);
    if (found == kNoNextWord && !current.isEmpty()) {
        // Past the last word: wrap around to the first one.
        found = KeyAfter(keys, QString());
    }
    return found;
}

NextWord FindNextWord(const QString& wordBoxText) {
    NextWord result;
    QByteArray data;
    if (!ReadWholeFile(DictionaryFilePath(), &data, &result.error)) {
        result.status = NextWord::Status::Unreadable;
        return result;
    }
    const QString current =
        wordBoxText.trimmed() == kNoNextWord ? QString() : wordBoxText.toLower();
    const QString found = NextKey(DictionaryKeys(data), current);
    if (found == kNoNextWord) {
        result.status = NextWord::Status::NoWords;
        return result;
    }
    result.status = NextWord::Status::Found;
    result.word = found;
    return result;
}

QStringList WordBoxWords(const QString& wordBoxText) {
    QStringList words;
    QString text = wordBoxText.trimmed();
    while (!text.isEmpty()) {
        const int blank = text.indexOf(QLatin1Char(' '));
        words.append(blank < 0 ? text : text.left(blank).trimmed());
        text = blank < 0 ? QString() : text.mid(blank + 1).trimmed();
    }
    return words;
}

QStringList WordBoxValues(const QString& wordBoxText) {
    QStringList values;
    for (const QString& word : WordBoxWords(wordBoxText)) {
        values.append(GetDictionaryValue("Words", word, QString()));
    }
    return values;
}

QString StoredPhrase(const QString& phrase) {
    QString line = phrase;
    line.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    for (QChar lineBreak : {QChar(u'\r'), QChar(u'\n'), QChar(0x2028), QChar(0x2029)}) {
        line.replace(lineBreak, QLatin1Char(' '));
    }
    return DictionaryEntryText(line);
}

bool PhraseIsCutOnReadBack(const QString& phrase) {
    // The look-up drops blanks and tabs at both ends before it counts.
    const QString stored = StoredPhrase(phrase);
    QStringView value(stored);
    while (!value.isEmpty() && (value.front() == u' ' || value.front() == u'\t')) {
        value = value.sliced(1);
    }
    while (!value.isEmpty() && (value.back() == u' ' || value.back() == u'\t')) {
        value.chop(1);
    }
    return value.size() > kDictionaryValueLimit;
}

SaveWordResult SaveWord(const QString& wordBoxText, const QString& phrase, QString* error) {
    const QString word = wordBoxText.trimmed();
    if (word.contains(QLatin1Char(' '))) {
        return SaveWordResult::MultiWord;
    }
    if (word.isEmpty()) {
        return SaveWordResult::NoWord;
    }
    if (!FirstUnstorableCharacter(word).isEmpty()) {
        return SaveWordResult::UnstorableCharacter;
    }
    if (!profile::IsValidKeyName(word)) {
        return SaveWordResult::InvalidWord;
    }
    if (!PutDictionaryValue("Words", word, StoredPhrase(phrase), error)) {
        return SaveWordResult::WriteFailed;
    }
    return SaveWordResult::Saved;
}

}  // namespace cantora::dictionary
