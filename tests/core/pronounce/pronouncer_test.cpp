// The pronouncer: suggested code-list text for English words, its agreement with the palette's
// example words, the blank-entry fill and the list of unknown words.

#include <QTest>
#include <thread>

#include "core/codes/code_table.h"
#include "core/codes/code_text.h"
#include "core/codes/palette_table.h"
#include "core/dictionary/blank_entries.h"
#include "core/dictionary/unknown_words.h"
#include "core/files/profile.h"
#include "core/pronounce/pronouncer.h"
#include "support/test_support.h"

using namespace cantora;
using namespace Qt::StringLiterals;

namespace {

// Every token of a suggestion must be an allophone of the code table.
bool OnlyAllophones(const QString& text) {
    const QByteArray bytes = CodeTextToBytes(text);
    if (bytes.size() != text.count(u'\\')) {
        return false;
    }
    for (char b : bytes) {
        const int code = static_cast<unsigned char>(b);
        if (code < 128 || code > 199) {
            return false;
        }
    }
    return true;
}

}  // namespace

class PronouncerTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { LoadCodeNames(); }
    void exactTexts_data();
    void exactTexts();
    void everydayReadingOfHomographs_data();
    void everydayReadingOfHomographs();
    void paletteExampleWordsAgree();
    void letterToSoundForWordsTheLexiconLacks();
    void readAsAReaderWould_data();
    void readAsAReaderWould();
    void oddInput();
    void callsFromSeveralThreadsAgree();
    void fillBlankEntries();
    void unknownWords();
    void filledEntriesReadBackAsWritten();
};

void PronouncerTest::exactTexts_data() {
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("expected");
    // Front and back forms, opening and closing.
    QTest::newRow("bed") << "bed"
                         << "\\BE \\EH \\ED";
    QTest::newRow("book") << "book"
                          << "\\BO \\UH \\OK";
    QTest::newRow("cob: UX before a stop") << "cob"
                                           << "\\KO \\UX \\OB";
    QTest::newRow("salt: SE before OH") << "salt"
                                        << "\\SE \\OH \\LO \\TT";
    // R-coloured vowels absorb the R that closes the syllable.
    QTest::newRow("bird") << "bird"
                          << "\\BE \\AXRR \\ED";
    QTest::newRow("near") << "near"
                          << "\\NE \\IYEH \\IYRR";
    QTest::newRow("store") << "store"
                           << "\\SO \\TT \\OWRR";
    // Diphthongs by stress, position and voicing.
    QTest::newRow("day") << "day"
                         << "\\DE \\EY \\EYIY";
    QTest::newRow("coat") << "coat"
                          << "\\KO \\AXUW \\TT";
    QTest::newRow("noise") << "noise"
                           << "\\NO \\OWIY \\ZZ";
    QTest::newRow("cute") << "cute"
                          << "\\KE \\IYUW \\TT";
    QTest::newRow("new") << "new"
                         << "\\NE \\IHWW";
    QTest::newRow("bell") << "bell"
                          << "\\BE \\EHLE";
    QTest::newRow("idea") << "idea"
                          << "\\OHIH \\DE \\IYEH";
    // Unstressed vowels reduced; the lexicon's entry, not the letter-to-sound guess.
    QTest::newRow("hello") << "hello"
                           << "\\HO \\AX \\LO \\OW \\OWWW";
    QTest::newRow("about") << "about"
                           << "\\AX \\BO \\AYWW \\TT";
    // Closing T and S; spelling rules.
    QTest::newRow("parts") << "parts"
                           << "\\PE \\AWRR \\TS";
    QTest::newRow("who") << "who"
                         << "\\WH \\UW";
    QTest::newRow("bought") << "bought"
                            << "\\BO \\OH \\TT";
}

void PronouncerTest::exactTexts() {
    QFETCH(QString, word);
    QFETCH(QString, expected);
    QCOMPARE(SuggestCodeText(word), expected);
    QCOMPARE(SuggestCodeText(word.toUpper()), expected);
}

void PronouncerTest::everydayReadingOfHomographs_data() {
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("phones");
    QTest::addColumn<QString>("codes");
    // The lexicon's first reading of these is the rare one ("does": the plural of "doe").
    QTest::newRow("does") << "does"
                          << "d ah1 z"
                          << "\\DO \\AX \\ZZ";
    QTest::newRow("live") << "live"
                          << "l ih1 v"
                          << "\\LE \\IH \\VV";
    QTest::newRow("minute") << "minute"
                            << "m ih1 n ax0 t"
                            << "\\MM \\IH \\NO \\AX \\TT";
    QTest::newRow("putting") << "putting"
                             << "p uh1 t ih0 ng"
                             << "\\PO \\UH \\TT \\IH \\NGE";
    // A word with one reading keeps it.
    QTest::newRow("doe") << "doe"
                         << "d ow1"
                         << "\\DO \\OW \\OWWW";
}

void PronouncerTest::everydayReadingOfHomographs() {
    QFETCH(QString, word);
    QFETCH(QString, phones);
    QFETCH(QString, codes);
    QCOMPARE(SuggestedPhones(word), phones);
    QCOMPARE(SuggestCodeText(word), codes);
    QCOMPARE(SuggestCodeText(word.toUpper()), codes);
}

void PronouncerTest::paletteExampleWordsAgree() {
    int words = 0;
    int labels = 0;
    QStringList misses;
    for (const palette::Element& element : palette::Elements()) {
        const int code = palette::CodeOf(element.caption);
        if (code < 128 || code > 199) {
            continue;
        }
        ++labels;
        const QString token = u'\\' + element.caption.toUpper();
        const QStringList examples = element.toolTip.split(QStringLiteral(", "));
        QVERIFY2(examples.size() >= 2, qPrintable(element.caption));
        for (const QString& example : examples) {
            ++words;
            const QString suggestion = SuggestCodeText(example);
            if (!suggestion.split(u' ').contains(token)) {
                misses << QStringLiteral("%1 %2: %3").arg(element.caption, example, suggestion);
            }
        }
    }
    QCOMPARE(labels, 72);
    qInfo("palette agreement: %d of %d example words", words - int(misses.size()), words);
    QVERIFY2(misses.isEmpty(), qPrintable(misses.join(u'\n')));
}

void PronouncerTest::letterToSoundForWordsTheLexiconLacks() {
    QVERIFY(InPronouncingLexicon("hello"));
    QVERIFY(InPronouncingLexicon("HELLO"));
    QVERIFY(!InPronouncingLexicon("blorptastic"));
    QVERIFY(!InPronouncingLexicon("quillon"));
    QVERIFY(!InPronouncingLexicon("it's"));
    QCOMPARE(SuggestedPhones("blorptastic"), QString("b l ao1 r p t ae1 s t ih0 k"));
    QCOMPARE(SuggestCodeText("blorptastic"),
             QString("\\BO \\LO \\OWRR \\PO \\TT \\AY \\SE \\TT \\IH \\EK"));
    QCOMPARE(SuggestCodeText("Quillon"), QString("\\KE \\WW \\IH \\LO \\AX \\NO"));
}

void PronouncerTest::readAsAReaderWould_data() {
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("said");
    QTest::newRow("apostrophe") << "it's"
                                << "its";
    QTest::newRow("curly apostrophe") << QString::fromUtf8("can\u2019t") << "cant";
    QTest::newRow("hyphen") << "well-known"
                            << "well known";
    QTest::newRow("accent") << QString::fromUtf8("caf\u00e9") << "cafe";
    QTest::newRow("time") << "3pm"
                          << "three p m";
    QTest::newRow("letters without a vowel") << "TV"
                                             << "t v";
    QTest::newRow("ordinal") << "21st"
                             << "twenty first";
    QTest::newRow("ordinal twelfth") << "12th"
                                     << "twelfth";
    QTest::newRow("not an ordinal") << "4three"
                                    << "four three";
    QTest::newRow("large number") << "1234567"
                                  << "one million two hundred thirty four thousand five hundred "
                                     "sixty seven";
    QTest::newRow("leading zero") << "007"
                                  << "zero zero seven";
    QTest::newRow("symbols") << "R&D+100%"
                             << "r and d plus one hundred percent";
}

void PronouncerTest::readAsAReaderWould() {
    QFETCH(QString, written);
    QFETCH(QString, said);
    const QString suggestion = SuggestCodeText(written);
    QVERIFY(!suggestion.isEmpty());
    QCOMPARE(suggestion, SuggestCodeText(said));
}

void PronouncerTest::oddInput() {
    QCOMPARE(SuggestCodeText(QString()), QString());
    QCOMPARE(SuggestCodeText(" -- ,; ' \t\r\n"), QString());
    QCOMPARE(SuggestCodeText(QString(u'\0')), QString());

    // 10,000 characters: only the first 256 are read.
    QString longWord;
    for (int i = 0; i < 10000; ++i) {
        longWord += QChar(u'a' + (i * 7) % 26);
    }
    const QString longSuggestion = SuggestCodeText(longWord);
    QVERIFY(!longSuggestion.isEmpty());
    QVERIFY(OnlyAllophones(longSuggestion));
    QCOMPARE(longSuggestion, SuggestCodeText(longWord.left(256)));
    QVERIFY(SuggestCodeText(QString(10000, u'-')).isEmpty());

    // Digits only: past 12 digits they are read one by one.
    QCOMPARE(SuggestCodeText("0"), SuggestCodeText("zero"));
    QCOMPARE(SuggestCodeText("999999999999"),
             SuggestCodeText("nine hundred ninety nine billion nine hundred ninety nine million "
                             "nine hundred ninety nine thousand nine hundred ninety nine"));
    QCOMPARE(SuggestCodeText("1234567890123"),
             SuggestCodeText("one two three four five six seven eight nine zero one two three"));
    QVERIFY(OnlyAllophones(SuggestCodeText(QString(10000, u'9'))));

    // Every byte from 0x80 to 0xFF, alone and all together, as the dictionary file reads them.
    QByteArray high;
    for (int b = 0x80; b <= 0xFF; ++b) {
        high += static_cast<char>(b);
        const QString one = SuggestCodeText(QString::fromLatin1(QByteArray(1, char(b))));
        QVERIFY2(OnlyAllophones(one), qPrintable(one));
    }
    const QString all = SuggestCodeText(QString::fromLatin1(high));
    QVERIFY(OnlyAllophones(all));
    QCOMPARE(SuggestCodeText(QString::fromLatin1("\xC0\xD7\xF7")), SuggestCodeText("a"));
}

void PronouncerTest::callsFromSeveralThreadsAgree() {
    QStringList words;
    for (int i = 0; i < 400; ++i) {
        words << QStringLiteral("word%1ing").arg(i) << QStringLiteral("blick%1").arg(i * 7);
    }
    QStringList expected;
    for (const QString& word : words) {
        expected << SuggestCodeText(word);
    }
    std::vector<QStringList> results(4);
    std::vector<std::thread> threads;
    for (auto& result : results) {
        threads.emplace_back([&words, &result] {
            for (const QString& word : words) {
                result << SuggestCodeText(word);
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    for (const auto& result : results) {
        QCOMPARE(result, expected);
    }
}

void PronouncerTest::fillBlankEntries() {
    const QString hello = SuggestCodeText("hello");
    const QString bed = SuggestCodeText("bed");
    const QString text = QStringLiteral(
        "above=\r\n"
        "[words]\r\n"
        "hello=\r\n"
        "kept=\\IY \\IH\r\n"
        "\r\n"
        "a line without an equals sign\r\n"
        " Bed   =   \r\n"
        "=\r\n"
        "###=\r\n"
        "x==\r\n"
        "unix=\n"
        "bed=");
    QString filled = text;
    QCOMPARE(FillBlankEntries(filled), 5);
    QCOMPARE(filled, QStringLiteral("above=%1\r\n"
                                    "[words]\r\n"
                                    "hello=%2\r\n"
                                    "kept=\\IY \\IH\r\n"
                                    "\r\n"
                                    "a line without an equals sign\r\n"
                                    " Bed   =%3\r\n"
                                    "=\r\n"
                                    "###=\r\n"
                                    "x==\r\n"
                                    "unix=%4\n"
                                    "bed=%3")
                         .arg(SuggestCodeText("above"), hello, bed, SuggestCodeText("unix")));
    // A second fill finds nothing left and changes nothing.
    const QString once = filled;
    QCOMPARE(FillBlankEntries(filled), 0);
    QCOMPARE(filled, once);

    QString empty;
    QCOMPARE(FillBlankEntries(empty), 0);
    QCOMPARE(empty, QString());
}

void PronouncerTest::unknownWords() {
    test::TempProgramFolder folder;
    folder.write("Verbalyn.Dic", "[words]\r\nhello=\\HE \\EH\r\nblank=  \r\ncomma=,\r\n");
    QCOMPARE(UnknownWords("Hello there, \\IY blank hello THERE x#1 comma \\NOPE nix\\IY"),
             QStringList({"there", "blank", "x#1", "nix\\IY"}));
    QCOMPARE(UnknownWords(QString()), QStringList());
    QCOMPARE(UnknownWords("hello \\IY"), QStringList());

    // Words are split as the translator splits them: only blanks and commas end a word, other
    // characters are passed over; a character no file can store leaves its word unsaid.
    folder.write("Verbalyn.Dic", "[words]\r\nhello=\\HE\r\ndont=\\DE\r\nmega=\\ME\r\n");
    QCOMPARE(UnknownWords(u"don't e-mail hel\nlo \u03A9mega (mega), x\u03A9 \u03A9,mega"_s),
             QStringList({"email", u"\u03A9mega"_s, u"x\u03A9"_s, u"\u03A9"_s}));
    // Words made only of such letters say nothing either; a dash above 255 is no word.
    QCOMPARE(UnknownWords(u"\u041F\u0440\u0438\u0432\u0435\u0442 hello \u2014 mega"_s),
             QStringList({u"\u041F\u0440\u0438\u0432\u0435\u0442"_s}));
}

// Whatever "Fill Blank Entries" writes, the dictionary's look-up gives back exactly: it fills
// every entry the look-up reads as blank, and cuts a suggestion too long to be read back at a
// whole code.
void PronouncerTest::filledEntriesReadBackAsWritten() {
    const QString consonants(200, u'w');  // each "w" says "double u"
    constexpr int kReadBack = 2559;       // the most a dictionary look-up gives back
    QVERIFY(SuggestCodeText(consonants).size() > kReadBack);
    const QStringList keys = {"tab", "spacetab", "nul", "plain", consonants};
    QString text = "[words]\ntab=\t\nspacetab= \t \nnul=\t" + QString(QChar(0)) + "\nplain=\n" +
                   consonants + "=\n";
    QString filled = text;
    QCOMPARE(FillBlankEntries(filled), 5);

    test::TempProgramFolder folder;
    folder.write("Verbalyn.Dic", filled.toLatin1());
    const QStringList lines = filled.split('\n');
    for (int i = 0; i < keys.size(); ++i) {
        const QString& key = keys[i];
        const QString written = lines[i + 1].sliced(key.size() + 1);
        QVERIFY2(written.startsWith("\\"), qPrintable(key));
        QVERIFY(written.size() <= kReadBack);
        QCOMPARE(GetDictionaryValue("Words", key, "none"), written);
        // Every token of it a whole code.
        QCOMPARE(CodeTextToBytes(written).size(), written.count('\\'));
    }
    const QString longest = lines[5].sliced(consonants.size() + 1);
    QVERIFY(SuggestCodeText(consonants).startsWith(longest + " "));
}

QTEST_GUILESS_MAIN(PronouncerTest)
#include "pronouncer_test.moc"
