// The dictionary editor's text work without widgets: file bytes and editor text, the sorted and
// cleaned texts, finding and splitting word lists.

#include <QtTest>

#include "core/dictionary/editor_text.h"

using namespace cantora::dictionary;

class DictTextTest : public QObject {
    Q_OBJECT

  private slots:
    void fileBytesAndEditorText() {
        const QByteArray file = "[words]\r\nHello=\\HE\r\n\r\napple=\r\n";
        const QString editor = FileBytesToEditorText(file);
        QCOMPARE(editor, QString("[words]\nHello=\\HE\n\napple=\n"));
        QCOMPARE(EditorTextToFileBytes(editor), file);

        // A bare LF reads as a line end too; saving writes CR LF for it.
        QCOMPARE(FileBytesToEditorText("a\nb"), QString("a\nb"));
        QCOMPARE(EditorTextToFileBytes("a\nb"), QByteArray("a\r\nb"));
        // No line end is added after the last line.
        QCOMPARE(EditorTextToFileBytes("a"), QByteArray("a"));
        QCOMPARE(EditorTextToFileBytes(""), QByteArray());

        // Every 8-bit character survives, the non-breaking space among them.
        QByteArray high;
        for (int c = 1; c < 256; ++c) {
            if (c != '\r' && c != '\n') {
                high.append(static_cast<char>(c));
            }
        }
        QCOMPARE(EditorTextToFileBytes(FileBytesToEditorText(high)), high);

        // The editor's own separators are line ends; characters beyond 8 bits cannot be stored.
        QCOMPARE(EditorTextToFileBytes(QString("a") + QChar(QChar::ParagraphSeparator) + "b" +
                                       QChar(QChar::LineSeparator) + "c"),
                 QByteArray("a\r\nb\r\nc"));
        QCOMPARE(EditorTextToFileBytes(QString("x") + QChar(0x20AC)), QByteArray("x?"));
    }

    void splitLines() {
        QCOMPARE(SplitLines("a\r\nb\n\nc"), QStringList({"a", "b", "", "c"}));
        QCOMPARE(SplitLines("a\n"), QStringList({"a", ""}));
        QCOMPARE(SplitLines(""), QStringList({""}));
        // Only a CR right before the LF belongs to the line end.
        QCOMPARE(SplitLines("a\rb\r\n"), QStringList({"a\rb", ""}));
    }

    void lowerCaseKey() {
        QCOMPARE(LowerCaseKey("Hello=\\HE MiXed=Value"), QString("hello=\\HE MiXed=Value"));
        QCOMPARE(LowerCaseKey("Some WORDS Without Equals"), QString("some words without equals"));
        QCOMPARE(LowerCaseKey("[words]"), QString("[words]"));
        QCOMPARE(LowerCaseKey("[Words]"), QString("[words]"));
        QCOMPARE(LowerCaseKey("=Value"), QString("=Value"));
        QCOMPARE(LowerCaseKey(""), QString());
    }

    void sortedText() {
        const QStringList example = SplitLines("[words]\nHello=\\HE\n\napple=\n");
        QCOMPARE(BuildSortedText(example), QString("[words]\napple=\nhello=\\HE\n"));

        // Values keep their case; lines without "=" stay, lower-cased; a key starting with a
        // digit and a line starting with a blank sort above the header; duplicates stay; a
        // line of blanks goes but a line of tabs is not blank.
        const QStringList lines = {"[words]",
                                   "Zebra=\\ZZ MixedCase",
                                   "No Equals HERE",
                                   "4wheel=\\FO",
                                   "   ",
                                   " lead=1",
                                   "apple=",
                                   "apple=",
                                   "\t"};
        QCOMPARE(BuildSortedText(lines), QString("\t\n"
                                                 " lead=1\n"
                                                 "4wheel=\\FO\n"
                                                 "[words]\n"
                                                 "apple=\n"
                                                 "apple=\n"
                                                 "no equals here\n"
                                                 "zebra=\\ZZ MixedCase\n"));
        // Ordinal order: "=" before letters, so the word a comes before ab.
        QCOMPARE(BuildSortedText({"ab=2", "a=1"}), QString("a=1\nab=2\n"));
        QCOMPARE(BuildSortedText({}), QString());
        QCOMPARE(BuildSortedText({""}), QString());
    }

    void erasedText() {
        const QStringList example = SplitLines("[words]\nHello=\\HE\n\napple=\n");
        QCOMPARE(BuildErasedText(example), QString("[words]\nhello=\\HE\n"));

        const QStringList lines = {"Zebra=\\ZZ MixedCase",
                                   "No Equals HERE",
                                   "[words]",
                                   "blank=   ",
                                   "tabbed=\t",
                                   "  ",
                                   "[Words]",
                                   "Eq=a=b",
                                   "=orphan"};
        QCOMPARE(BuildErasedText(lines), QString("[words]\n"
                                                 "zebra=\\ZZ MixedCase\n"
                                                 "tabbed=\t\n"
                                                 "eq=a=b\n"
                                                 "=orphan\n"));
        QCOMPARE(BuildErasedText({}), QString("[words]\n"));
    }

    void findText() {
        const QString text = "[words]\nhello=\\HE\nshell=x\n";
        QCOMPARE(FindText(text, "HELLO", 0, text.size()), 8);
        // Inside words as well.
        QCOMPARE(FindText(text, "ELL", 0, text.size()), 9);
        // Within a range: the first match inside it, and none that crosses its end.
        QCOMPARE(FindText(text, "ell", 10, text.size()), 20);
        QCOMPARE(FindText(text, "hello", 8, 12), -1);
        QCOMPARE(FindText(text, "hello", 8, 13), 8);
        QCOMPARE(FindText(text, "absent", 0, text.size()), -1);
        QCOMPARE(FindText(text, "", 0, text.size()), -1);
        // A range outside the text is clamped, not read past.
        QCOMPARE(FindText(text, "x", -5, 1000), text.size() - 2);
        // Letters beyond ASCII fold too.
        QCOMPARE(FindText(QString::fromLatin1("caf\xE9"), QString::fromLatin1("CAF\xC9"), 0, 4), 0);
    }

    void importWords() {
        QStringList words;
        auto collect = [&words](const QString& word) { words.append(word); };
        ForEachImportWord("Hello, world! It's 3pm", collect);
        QCOMPARE(words, QStringList({"hello", "world", "it", "s", "pm"}));

        words.clear();
        ForEachImportWord("Apple APPLE apple", collect);
        QCOMPARE(words, QStringList({"apple", "apple", "apple"}));

        // Line ends, tabs, digits and accented letters all separate words.
        words.clear();
        ForEachImportWord(QString::fromLatin1("ab\r\ncd\tef9gh caf\xE9s e-mail"), collect);
        QCOMPARE(words, QStringList({"ab", "cd", "ef", "gh", "caf", "s", "e", "mail"}));

        words.clear();
        ForEachImportWord("", collect);
        ForEachImportWord("123 ... \r\n", collect);
        QVERIFY(words.isEmpty());
    }

    void importEntries() {
        QCOMPARE(ImportEntriesText({"hello", "world"}, false), QString("hello=\nworld=\n"));
        QCOMPARE(ImportEntriesText({"hello"}, true), QString("\nhello=\n"));
        QCOMPARE(ImportEntriesText({}, true), QString());
    }

    void trimBlanks() {
        QCOMPARE(TrimBlanks("  NoEntry  "), QString("NoEntry"));
        QCOMPARE(TrimBlanks("\tNoEntry"), QString("\tNoEntry"));
        QVERIFY(IsBlank("   "));
        QVERIFY(!IsBlank(" \t "));
    }
};

QTEST_MAIN(DictTextTest)
#include "editor_text_test.moc"
