// Translation of typed text through the dictionary, and the shared line sort.

#include <QFile>
#include <QRandomGenerator>
#include <QTest>

#include "core/codes/translator.h"
#include "core/files/profile.h"
#include "support/test_support.h"

using namespace cantora;

class TranslatorTest : public QObject {
    Q_OBJECT
  private slots:
    void init();
    void cleanup();
    void words_data();
    void words();
    void nestedEntries();
    void selfReferenceEnds();
    void longChainDoesNotExhaustTheStack();
    void fileChangedBetweenLookups();
    void explodingDictionariesAreBounded_data();
    void explodingDictionariesAreBounded();
    void wordsWithUnstorableLettersAreUnknown();
    void fallbackForUnknownWords();
    void sortOrder();
    void sortRanges();
    void sortLargeInputs();

  private:
    std::unique_ptr<test::TempProgramFolder> folder_;
};

void TranslatorTest::init() {
    folder_ = std::make_unique<test::TempProgramFolder>();
    folder_->write("Verbalyn.Dic",
                   "[words]\r\nHELLO=\\HE\\EH\\LO\\OW\r\nworld=\\WW\\AXRR\\LE\\DE\r\n");
}

void TranslatorTest::cleanup() {
    folder_.reset();
}

void TranslatorTest::words_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("result");
    const QString h = "\\HE\\EH\\LO\\OW";
    const QString w = "\\WW\\AXRR\\LE\\DE";
    QTest::newRow("one word") << "hello" << h;
    QTest::newRow("full stop ignored") << "Hello." << h;
    QTest::newRow("two words") << "hello world" << h + w;
    QTest::newRow("two blanks") << "hello  world" << h + " \\P6" + w;
    QTest::newRow("three blanks") << "hello   world" << h + " \\P4 \\P1" + w;
    QTest::newRow("five blanks") << "hello     world" << h + " \\P4 \\P1" + w;
    QTest::newRow("comma") << "hello, world" << h + " \\P2" + w;
    QTest::newRow("two commas") << "hello,, world" << h + " \\P2 \\P2" + w;
    QTest::newRow("comma two blanks") << "hello,  world" << h + " \\P2 \\P6" + w;
    QTest::newRow("leading blanks") << "  hello"
                                    << " \\P6" + h;
    QTest::newRow("trailing blanks") << "hello    " << h;
    QTest::newRow("code token") << "\\IY hello"
                                << "\\IY" + h;
    QTest::newRow("sharp note") << "\\NTC#1 hello"
                                << "\\NTC#1" + h;
    QTest::newRow("unknown word") << "hello nobody world" << h + w;
    QTest::newRow("line break joins") << "hel\r\nlo" << h;
    QTest::newRow("apostrophe joins") << "wor'ld" << w;
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("tab is ignored") << "hello\tworld" << QString();
}

void TranslatorTest::words() {
    QFETCH(QString, text);
    QFETCH(QString, result);
    QCOMPARE(TranslateText(text), result);
}

void TranslatorTest::nestedEntries() {
    folder_->write("Verbalyn.Dic",
                   "[words]\r\nhello=\\HE \\EH\r\ngreet=hello, hello\r\nbig=greet  \\IY\r\n");
    QCOMPARE(TranslateText("big"), QString("\\HE\\EH \\P2\\HE\\EH \\P6\\IY"));
}

void TranslatorTest::selfReferenceEnds() {
    folder_->write("Verbalyn.Dic", "[words]\r\nloop=\\IY loop \\IH\r\na=\\AX b\r\nb=\\BE a\r\n");
    QCOMPARE(TranslateText("loop"), QString("\\IY\\IH"));
    QCOMPARE(TranslateText("a"), QString("\\AX\\BE"));
    // The same word may appear twice side by side: only the path counts.
    QCOMPARE(TranslateText("b b"), QString("\\BE\\AX\\BE\\AX"));
}

void TranslatorTest::longChainDoesNotExhaustTheStack() {
    QByteArray dictionary = "[words]\r\n";
    for (int i = 0; i < 20000; ++i) {
        dictionary += "w" + QByteArray::number(i) + "=\\IY w" + QByteArray::number(i + 1) + "\r\n";
    }
    folder_->write("Verbalyn.Dic", dictionary);
    const QString result = TranslateText("w0");
    QVERIFY(result.startsWith("\\IY\\IY"));
    QVERIFY(result.size() < 20000 * 3);
}

void TranslatorTest::fileChangedBetweenLookups() {
    QCOMPARE(TranslateText("hello"), QString("\\HE\\EH\\LO\\OW"));
    folder_->write("Verbalyn.Dic", "[words]\r\nhello=\\IY\r\n");
    QCOMPARE(TranslateText("hello world"), QString("\\IY"));
    PutDictionaryValue("Words", "world", "\\WW");
    QCOMPARE(TranslateText("hello world"), QString("\\IY\\WW"));
}

void TranslatorTest::explodingDictionariesAreBounded_data() {
    QTest::addColumn<QByteArray>("dictionary");
    QTest::addColumn<QString>("text");
    // Each entry names the next twice: 2^24 copies of the last one without a bound.
    QByteArray doubling = "[words]\r\n";
    for (int i = 0; i < 24; ++i) {
        doubling += "d" + QByteArray::number(i) + "=\\IY d" + QByteArray::number(i + 1) + " d" +
                    QByteArray::number(i + 1) + "\r\n";
    }
    // Ten entries that each name all ten: every order of them is a path.
    QByteArray dense = "[words]\r\n";
    for (int i = 0; i < 10; ++i) {
        dense += "w" + QByteArray::number(i) + "=";
        for (int j = 0; j < 10; ++j) {
            dense += " w" + QByteArray::number(j);
        }
        dense += " \\IY\r\n";
    }
    QTest::newRow("doubling") << doubling << "d0 hello";
    QTest::newRow("dense") << dense << "w0 hello";
}

void TranslatorTest::explodingDictionariesAreBounded() {
    QFETCH(QByteArray, dictionary);
    QFETCH(QString, text);
    folder_->write("Verbalyn.Dic", dictionary + "hello=\\HE\r\n");
    const QString result = TranslateText(text);
    // The work is bounded (4,000,000 plus 64 per typed character, each look-up costing 1 and each
    // expanded value its length); the output of a value is at most four times its length.
    QVERIFY2(result.size() <= 4 * (4000000 + 64 * text.size()),
             qPrintable(QString::number(result.size())));
    QVERIFY(result.startsWith("\\IY\\IY"));
    // What was cut counts as unknown: the word after it is dropped too.
    QVERIFY(!result.contains("\\HE"));
    // A text of its own gets a fresh allowance.
    QCOMPARE(TranslateText("hello"), QString("\\HE"));
}

void TranslatorTest::wordsWithUnstorableLettersAreUnknown() {
    // Older files may hold the "?" an unstorable letter became, and the plain rest of the word.
    folder_->write("Verbalyn.Dic", "[words]\r\n?za=\\QQ\r\nza=\\ZA\r\nhello=\\HE\r\n");
    QCOMPARE(TranslateText(QString::fromUtf8("\u0142za hello \u015Bza")), QString("\\HE"));
    QCOMPARE(TranslateText(QString::fromUtf8("za\u0142, hello")), QString(" \\P2\\HE"));
    // A stray character between separators taints no word; letters of the code page are ignored
    // as before.
    QCOMPARE(TranslateText(QString::fromUtf8("hello \u0142 za")), QString("\\HE \\P6\\ZA"));
    QCOMPARE(TranslateText(QString::fromLatin1("z\xE9"
                                               "a")),
             QString("\\ZA"));
    QCOMPARE(GetDictionaryValue("Words", QString::fromUtf8("\u0142za"), "none"), QString("none"));
}

// The fallback says the typed words the dictionary lacks, and only those; another dictionary
// file can stand in for the program's.
void TranslatorTest::fallbackForUnknownWords() {
    folder_->write("Verbalyn.Dic", "[words]\r\nhello=\\HE\r\nblank=\r\nnest=\\NN inner\r\n");
    QStringList asked;
    TranslateOptions options;
    options.unknownWord = [&asked](const QString& word) {
        asked.append(word);
        return QStringLiteral("<%1>").arg(word);
    };
    const struct {
        const char* text;
        const char* result;
        QStringList asked;
    } cases[] = {
        {"hello Cantora world", "\\HE<Cantora><world>", {"Cantora", "world"}},
        {"HELLO \\IY", "\\HE\\IY", {}},
        {"blank", "<blank>", {"blank"}},  // a blank entry says nothing
        {"nest", "\\NN", {}},             // words inside values are not followed
        {"don't,  x", "<dont> \\P2 \\P6<x>", {"dont", "x"}},
        {"", "", {}},
    };
    for (const auto& c : cases) {
        asked.clear();
        QCOMPARE(TranslateText(c.text, options), QString(c.result));
        QCOMPARE(asked, c.asked);
        // A fallback that says nothing changes nothing.
        TranslateOptions silent;
        silent.unknownWord = [](const QString&) { return QString(); };
        QCOMPARE(TranslateText(c.text, silent), TranslateText(c.text));
    }
    QCOMPARE(TranslateText("hello Cantora world", TranslateOptions{}), QString("\\HE"));

    folder_->write("other.dic", "[words]\r\nworld=\\WW\r\n");
    options.dictionaryPath = folder_->file("other.dic");
    asked.clear();
    QCOMPARE(TranslateText("hello world", options), QString("<hello>\\WW"));
    QCOMPARE(asked, QStringList{"hello"});
}

void TranslatorTest::sortOrder() {
    QStringList lines{"b=2", "B=1", "A=3", "AB=4"};
    QuickSort(lines, 0, 3);
    QCOMPARE(lines, (QStringList{"A=3", "AB=4", "B=1", "b=2"}));
    QStringList dictionary{"[words]", "zoo=", "1st=", "apple=", "[words]", " lead"};
    QuickSort(dictionary, 1, 5);
    QCOMPARE(dictionary, (QStringList{"[words]", " lead", "1st=", "[words]", "apple=", "zoo="}));
}

void TranslatorTest::sortRanges() {
    QStringList lines{"c", "b", "a"};
    QuickSort(lines, 1, 1);
    QCOMPARE(lines, (QStringList{"c", "b", "a"}));
    QuickSort(lines, 2, 1);
    QCOMPARE(lines, (QStringList{"c", "b", "a"}));
    QuickSort(lines, 1, 2);
    QCOMPARE(lines, (QStringList{"c", "a", "b"}));
    QuickSort(lines, -5, 99);  // clamped, never reads outside
    QCOMPARE(lines, (QStringList{"a", "b", "c"}));
    QStringList empty;
    QuickSort(empty, 0, -1);
    QVERIFY(empty.isEmpty());
}

void TranslatorTest::sortLargeInputs() {
    // Random, sorted, reversed and all-equal inputs of a million lines.
    const int n = 1000000;
    QStringList random;
    random.reserve(n);
    QRandomGenerator generator(7);
    for (int i = 0; i < n; ++i) {
        random.append(QString::number(generator.bounded(1000000)));
    }
    QStringList expected = random;
    std::sort(expected.begin(), expected.end());
    QStringList sorted = random;
    QuickSort(sorted, 0, n - 1);
    QCOMPARE(sorted, expected);
    QuickSort(sorted, 0, n - 1);
    QCOMPARE(sorted, expected);
    std::reverse(sorted.begin(), sorted.end());
    QuickSort(sorted, 0, n - 1);
    QCOMPARE(sorted, expected);
    QStringList same(n, QStringLiteral("x=1"));
    QuickSort(same, 0, n - 1);
    QCOMPARE(same.size(), n);
    // Rising then falling lines take the middle pivot quadratic time, so fewer of them; the
    // depth of recursion must stay small all the same.
    const int m = 20000;
    QStringList pipe;
    for (int i = 0; i < m / 2; ++i) {
        pipe.append(QStringLiteral("%1").arg(i, 7, 10, QChar('0')));
    }
    for (int i = m / 2; i > 0; --i) {
        pipe.append(QStringLiteral("%1").arg(i, 7, 10, QChar('0')));
    }
    QStringList pipeExpected = pipe;
    std::sort(pipeExpected.begin(), pipeExpected.end());
    QuickSort(pipe, 0, m - 1);
    QCOMPARE(pipe, pipeExpected);
}

QTEST_GUILESS_MAIN(TranslatorTest)
#include "translator_test.moc"
