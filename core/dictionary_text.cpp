#include "core/dictionary_text.h"

#include "core/translator.h"

namespace cantora::dictionary {

namespace {

constexpr QChar kLineEnd = u'\n';

bool IsImportLetter(QChar c) {
    const char16_t u = c.unicode();
    return (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z');
}

// The text without spaces at either end; tabs and other characters stay.
QStringView TrimSpaces(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ') {
        ++begin;
    }
    while (end > begin && text[end - 1] == u' ') {
        --end;
    }
    return text.sliced(begin, end - begin);
}

}  // namespace

QString FileBytesToEditorText(const QByteArray& bytes) {
    QString text;
    text.reserve(bytes.size());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = bytes[i];
        if (c == '\r' && i + 1 < n && bytes[i + 1] == '\n') {
            continue;  // the LF that follows makes the line end
        }
        text.append(QChar(static_cast<uchar>(c)));
    }
    return text;
}

QByteArray EditorTextToFileBytes(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size() + text.size() / 16 + 16);
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'\n' || u == QChar::ParagraphSeparator || u == QChar::LineSeparator) {
            bytes.append("\r\n", 2);
        } else if (u <= 0xFF) {
            bytes.append(static_cast<char>(u));
        } else {
            bytes.append('?');  // no place for it in an 8-bit file
        }
    }
    return bytes;
}

QStringList SplitLines(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i <= n; ++i) {
        if (i == n || text[i] == u'\n') {
            qsizetype end = i;
            if (i < n && end > start && text[end - 1] == u'\r') {
                --end;
            }
            lines.append(text.sliced(start, end - start));
            start = i + 1;
        }
    }
    return lines;
}

QString LowerCaseKey(const QString& line) {
    const qsizetype equals = line.indexOf(u'=');
    if (equals < 0) {
        return line.toLower();
    }
    return line.first(equals).toLower() + line.sliced(equals);
}

QString TrimBlanks(const QString& text) {
    return TrimSpaces(text).toString();
}

bool IsBlank(const QString& text) {
    return TrimSpaces(text).isEmpty();
}

QString BuildSortedText(QStringList lines) {
    for (QString& line : lines) {
        line = LowerCaseKey(line);
    }
    if (lines.size() > 1) {
        QuickSort(lines, 0, static_cast<qint32>(lines.size() - 1));
    }
    qsizetype size = 0;
    for (const QString& line : lines) {
        size += line.size() + 1;
    }
    QString text;
    text.reserve(size);
    for (const QString& line : lines) {
        if (!IsBlank(line)) {
            text.append(line);
            text.append(kLineEnd);
        }
    }
    return text;
}

QString BuildErasedText(const QStringList& lines) {
    QString text = QStringLiteral("[words]");
    text.append(kLineEnd);
    for (const QString& raw : lines) {
        if (IsBlank(raw)) {
            continue;
        }
        const qsizetype equals = raw.indexOf(u'=');
        if (equals < 0 || TrimSpaces(QStringView(raw).sliced(equals + 1)).isEmpty()) {
            continue;
        }
        text.append(LowerCaseKey(raw));
        text.append(kLineEnd);
    }
    return text;
}

qsizetype FindText(const QString& text, const QString& needle, qsizetype from, qsizetype to) {
    from = qBound<qsizetype>(0, from, text.size());
    to = qBound<qsizetype>(from, to, text.size());
    if (needle.isEmpty() || needle.size() > to - from) {
        return -1;
    }
    const qsizetype at =
        QStringView(text).sliced(from, to - from).indexOf(needle, 0, Qt::CaseInsensitive);
    return at < 0 ? -1 : from + at;
}

void ForEachImportWord(const QString& wordList, const std::function<void(const QString&)>& onWord) {
    // A line end is not a letter, so it closes a word like any other separator.
    const qsizetype n = wordList.size();
    qsizetype start = -1;
    for (qsizetype i = 0; i <= n; ++i) {
        const bool letter = i < n && IsImportLetter(wordList[i]);
        if (letter && start < 0) {
            start = i;
        } else if (!letter && start >= 0) {
            onWord(wordList.sliced(start, i - start).toLower());
            start = -1;
        }
    }
}

QString ImportEntriesText(const QStringList& newWords, bool editorEndsOpen) {
    if (newWords.isEmpty()) {
        return {};
    }
    qsizetype size = 1;
    for (const QString& word : newWords) {
        size += word.size() + 2;
    }
    QString text;
    text.reserve(size);
    if (editorEndsOpen) {
        text.append(kLineEnd);
    }
    for (const QString& word : newWords) {
        text.append(word);
        text.append(u'=');
        text.append(kLineEnd);
    }
    return text;
}

}  // namespace cantora::dictionary
