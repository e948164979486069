#include "core/dictionary/editor_text.h"

#include <vector>

#include "core/codes/translator.h"
#include "core/files/latin1_case.h"
#include "core/files/profile.h"

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
    const qsizetype start = ByteOrderMarksSize(bytes);
    const qsizetype n = bytes.size();
    QString text(n - start, Qt::Uninitialized);
    QChar* out = text.data();
    for (qsizetype i = start; i < n; ++i) {
        const char c = bytes[i];
        if (c == '\r') {
            if (i + 1 < n && bytes[i + 1] == '\n') {
                continue;  // the LF that follows makes the line end
            }
            *out++ = kLineEnd;  // a lone CR ends a line too
        } else {
            *out++ = QChar(static_cast<uchar>(c));
        }
    }
    text.truncate(out - text.constData());
    return text;
}

QByteArray EditorTextToFileBytes(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size() + text.size() / 16 + 16);
    AppendFileBytes(bytes, text);
    return bytes;
}

void AppendFileBytes(QByteArray& bytes, QStringView text) {
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

namespace {

// The lines of a text with "\n" line ends, as views into it.
std::vector<QStringView> LineViews(QStringView text) {
    std::vector<QStringView> lines;
    lines.reserve(static_cast<size_t>(text.count(kLineEnd)) + 1);
    qsizetype start = 0;
    for (qsizetype at = text.indexOf(kLineEnd); at >= 0; at = text.indexOf(kLineEnd, start)) {
        lines.push_back(text.sliced(start, at - start));
        start = at + 1;
    }
    lines.push_back(text.sliced(start));
    return lines;
}

// Lower-cases, in place, every character before the first "=" of each line (the whole line when
// it has none). The text comes from an 8-bit file, so no character changes its length.
void LowerCaseKeysInPlace(QString& text) {
    bool inKey = true;
    for (QChar& c : text) {
        if (c == kLineEnd) {
            inKey = true;
        } else if (c == u'=') {
            inKey = false;
        } else if (inKey) {
            c = c.toLower();
        }
    }
}

// Sorts the lines (keys already lower-cased) and joins those that are not blank.
QString SortedFromLines(std::vector<QStringView>& lines) {
    if (lines.size() > 1) {
        QuickSortItems(lines, 0, static_cast<qint32>(lines.size() - 1));
    }
    qsizetype size = 0;
    for (QStringView line : lines) {
        size += line.size() + 1;
    }
    QString text;
    text.reserve(size);
    for (QStringView line : lines) {
        if (!TrimSpaces(line).isEmpty()) {
            text.append(line);
            text.append(kLineEnd);
        }
    }
    return text;
}

// A line that "Erase Blank Entries" keeps: not blank, with a value after its first "=" that is
// not blank.
bool HasValue(QStringView line) {
    const qsizetype equals = line.indexOf(u'=');
    return equals >= 0 && !TrimSpaces(line.sliced(equals + 1)).isEmpty();
}

// "[words]" and the lines (keys already lower-cased) that have a value.
QString ErasedFromLines(const std::vector<QStringView>& lines) {
    qsizetype size = 8;
    for (QStringView line : lines) {
        if (HasValue(line)) {
            size += line.size() + 1;
        }
    }
    QString text;
    text.reserve(size);
    text.append(QStringLiteral("[words]"));
    text.append(kLineEnd);
    for (QStringView line : lines) {
        if (HasValue(line)) {
            text.append(line);
            text.append(kLineEnd);
        }
    }
    return text;
}

}  // namespace

QString BuildSortedText(QStringList lines) {
    for (QString& line : lines) {
        line = LowerCaseKey(line);
    }
    std::vector<QStringView> views(lines.cbegin(), lines.cend());
    return SortedFromLines(views);
}

QString BuildErasedText(const QStringList& lines) {
    QStringList lowered;
    lowered.reserve(lines.size());
    for (const QString& line : lines) {
        lowered.append(LowerCaseKey(line));
    }
    return ErasedFromLines(std::vector<QStringView>(lowered.cbegin(), lowered.cend()));
}

QString SortedTextFromFile(QByteArray fileBytes) {
    QString text = FileBytesToEditorText(fileBytes);
    fileBytes = QByteArray();  // the working text holds it all now
    LowerCaseKeysInPlace(text);
    std::vector<QStringView> lines = LineViews(text);
    return SortedFromLines(lines);
}

QString ErasedTextFromFile(QByteArray fileBytes) {
    QString text = FileBytesToEditorText(fileBytes);
    fileBytes = QByteArray();
    LowerCaseKeysInPlace(text);
    return ErasedFromLines(LineViews(text));
}

QString UnstorableNameCharacter(QStringView line) {
    const QStringView trimmed = line.trimmed();
    if (trimmed.startsWith(u'[')) {
        const qsizetype close = trimmed.indexOf(u']');
        return FirstUnstorableCharacter(close < 0 ? trimmed : trimmed.first(close));
    }
    const qsizetype equals = line.indexOf(u'=');
    return equals < 0 ? QString() : FirstUnstorableCharacter(line.first(equals));
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

void WordsHeaderScan::addLine(QStringView line) {
    // As the reader parses a header: "[" first after blanks and tabs, the name up to "]".
    qsizetype begin = 0;
    while (begin < line.size() && (line[begin] == u' ' || line[begin] == u'\t')) {
        ++begin;
    }
    if (begin == line.size() || line[begin] != u'[') {
        return;
    }
    anySection_ = true;
    QStringView name = line.sliced(begin + 1);
    const qsizetype close = name.indexOf(u']');
    if (close >= 0) {
        name.truncate(close);
    }
    while (!name.isEmpty() && (name.front() == u' ' || name.front() == u'\t')) {
        name = name.sliced(1);
    }
    while (!name.isEmpty() && (name.back() == u' ' || name.back() == u'\t')) {
        name.chop(1);
    }
    found_ = found_ || name.compare(QLatin1String("words"), Qt::CaseInsensitive) == 0;
}

WordsHeader WordsHeaderScan::result() const {
    if (found_) {
        return WordsHeader::Present;
    }
    return anySection_ ? WordsHeader::BeforeEntries : WordsHeader::AtTop;
}

QString ImportEntriesText(const QStringList& newWords, bool editorEndsOpen, bool withHeader) {
    if (newWords.isEmpty()) {
        return {};
    }
    qsizetype size = 9;
    for (const QString& word : newWords) {
        size += word.size() + 2;
    }
    QString text;
    text.reserve(size);
    if (editorEndsOpen) {
        text.append(kLineEnd);
    }
    if (withHeader) {
        text.append(QLatin1String("[words]"));
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
