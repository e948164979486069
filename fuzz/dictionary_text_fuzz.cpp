// The dictionary editor's text work on fuzzed texts: file bytes and editor text convert into
// each other without changing what any word reads as, the sorted and cleaned texts keep exactly
// the lines they should, the search finds the first match, and the import words are the text's
// letter runs.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <algorithm>

#include "core/dictionary/editor_text.h"
#include "core/files/profile.h"
#include "fuzz/fuzz_support.h"

namespace {

using namespace cantora::dictionary;

// The file as the editor shows and saves it: the leading byte-order marks gone, and every line
// end (CR LF, bare LF, lone CR) as CR LF.
QByteArray SavedUntouched(const QByteArray& bytes) {
    qsizetype start = 0;
    while (bytes.sliced(start).startsWith("\xEF\xBB\xBF")) {
        start += 3;
    }
    QByteArray saved;
    for (qsizetype i = start; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' || bytes[i] == '\n') {
            saved.append("\r\n");
            if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
                ++i;
            }
        } else {
            saved.append(bytes[i]);
        }
    }
    return saved;
}

void CheckFileConversion(const QByteArray& bytes, const QString& text, const QString& section,
                         const QString& key) {
    const QByteArray saved = EditorTextToFileBytes(FileBytesToEditorText(bytes));
    FUZZ_CHECK(saved == SavedUntouched(bytes));

    // Opening and saving without an edit never changes what a word reads as.
    const QString fallback = QStringLiteral("(none)");
    const QString before = cantora::profile::ReadValueFromBytes(bytes, section, key, fallback, 0);
    const QString after = cantora::profile::ReadValueFromBytes(saved, section, key, fallback, 0);
    if (before != after) {
        std::fprintf(stderr, "[%s] %s: read '%s' before, '%s' after\n",
                     cantora::fuzz::Show(section).c_str(), cantora::fuzz::Show(key).c_str(),
                     cantora::fuzz::Show(before).c_str(), cantora::fuzz::Show(after).c_str());
    }
    FUZZ_CHECK(before == after);

    // Editor -> bytes -> editor: separators become "\n", characters above 255 "?". The editor
    // itself never holds a CR, and a text that starts like byte-order marks loses them; any other
    // text comes back exactly, and every text is settled after one round.
    QString editor;
    for (QChar c : text) {
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator) {
            editor.append(u'\n');
        } else {
            editor.append(c.unicode() <= 0xFF ? c : QChar(u'?'));
        }
    }
    const QString back = FileBytesToEditorText(EditorTextToFileBytes(text));
    if (!editor.contains(u'\r') && !editor.startsWith(QStringLiteral("\u00EF\u00BB\u00BF"))) {
        FUZZ_CHECK(back == editor);
    }
    FUZZ_CHECK(FileBytesToEditorText(EditorTextToFileBytes(back)) == back);
}

void CheckLines(const QString& text) {
    const QStringList lines = SplitLines(text);
    QString withoutCr = text;
    withoutCr.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    FUZZ_CHECK(lines.join(u'\n') == withoutCr);

    // Sorted: the lower-cased non-blank lines, in order, each with its line end.
    QStringList expected;
    for (const QString& line : lines) {
        if (!IsBlank(line)) {
            expected.append(LowerCaseKey(line));
        }
    }
    std::sort(expected.begin(), expected.end());
    const QString sorted = BuildSortedText(lines);
    FUZZ_CHECK(sorted == (expected.isEmpty() ? QString() : expected.join(u'\n') + u'\n'));

    // Cleaned: a header, then the lines with a non-blank value, in order.
    QString erased = QStringLiteral("[words]\n");
    for (const QString& line : lines) {
        const qsizetype equals = line.indexOf(u'=');
        if (!IsBlank(line) && equals >= 0 && !IsBlank(line.sliced(equals + 1))) {
            erased += LowerCaseKey(line) + u'\n';
        }
    }
    FUZZ_CHECK(BuildErasedText(lines) == erased);
}

void CheckFind(const QString& text, const QString& needle, qsizetype from, qsizetype to) {
    const qsizetype at = FindText(text, needle, from, to);
    const qsizetype begin = std::clamp<qsizetype>(from, 0, text.size());
    const qsizetype end = std::clamp<qsizetype>(to, begin, text.size());
    qsizetype first = -1;
    if (!needle.isEmpty()) {
        for (qsizetype i = begin; i + needle.size() <= end; ++i) {
            if (QStringView(text).sliced(i, needle.size()).compare(needle, Qt::CaseInsensitive) ==
                0) {
                first = i;
                break;
            }
        }
    }
    if (at != first) {
        std::fprintf(stderr, "needle '%s' in [%lld, %lld): found %lld, first match %lld\n",
                     cantora::fuzz::Show(needle).c_str(), static_cast<long long>(from),
                     static_cast<long long>(to), static_cast<long long>(at),
                     static_cast<long long>(first));
    }
    FUZZ_CHECK(at == first);
}

void CheckImportWords(const QString& text) {
    QString letters;
    for (QChar c : text) {
        const bool letter = (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
        letters.append(letter ? c.toLower() : QChar(u' '));
    }
    const QStringList expected = letters.split(u' ', Qt::SkipEmptyParts);
    QStringList words;
    ForEachImportWord(text, [&](const QString& word) { words.append(word); });
    FUZZ_CHECK(words == expected);

    const bool open = !text.isEmpty() && !text.endsWith(u'\n');
    const QString entries = ImportEntriesText(words, open);
    QString wanted = open && !words.isEmpty() ? QStringLiteral("\n") : QString();
    for (const QString& word : words) {
        wanted += word + QStringLiteral("=\n");
    }
    FUZZ_CHECK(entries == wanted);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    FuzzedDataProvider data(bytes, size);
    const QString needle = cantora::fuzz::ConsumeText(data, 8);
    const QString section = cantora::fuzz::ConsumeText(data, 12);
    const QString key = cantora::fuzz::ConsumeText(data, 12);
    const qsizetype from = data.ConsumeIntegralInRange<int>(-4, 600);
    const qsizetype to = data.ConsumeIntegralInRange<int>(-4, 600);
    const QString text = cantora::fuzz::ConsumeText(data, 4096);
    const std::string rest = data.ConsumeRemainingBytesAsString();
    const QByteArray file(rest.data(), static_cast<qsizetype>(rest.size()));

    CheckFileConversion(file, text, section, key);
    CheckLines(text);
    CheckLines(FileBytesToEditorText(file));
    CheckFind(text, needle, from, to);
    CheckImportWords(text);
    return 0;
}
