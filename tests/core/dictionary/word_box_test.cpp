// Stepping the word box through the dictionary and storing one word, against real files.

#include <QtTest>

#include "core/dictionary/word_box.h"
#include "core/files/profile.h"
#include "support/test_support.h"

using namespace cantora;
using namespace cantora::dictionary;

class DictionaryWordsTest : public QObject {
    Q_OBJECT
  private slots:
    void nextKey_data() {
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("next");
        QTest::newRow("from nothing") << ""
                                      << "apple";
        QTest::newRow("between keys") << "bz"
                                      << "cherry";
        QTest::newRow("exact key") << "apple"
                                   << "banana";
        QTest::newRow("upper case is lowered") << "BANANA"
                                               << "cherry";
        QTest::newRow("past the last wraps") << "cherry"
                                             << "apple";
        QTest::newRow("beyond every key wraps") << "zebra"
                                                << "apple";
    }
    void nextKey() {
        QFETCH(QString, current);
        QFETCH(QString, next);
        // File order and case do not matter; the section header is no key; a lone CR ends a
        // line as it does for the readers.
        const QStringList keys =
            DictionaryKeys("[Words]\r\nCherry=\\IY\r  apple =\\AX\r\nbanana=x=y\nnoequals\n");
        QCOMPARE(keys, (QStringList{"cherry", "apple", "banana"}));
        QCOMPARE(NextKey(keys, current.toLower()), next);
    }

    void noKeysGiveTheMark() {
        QCOMPARE(NextKey({}, QString()), kNoNextWord);
        QCOMPARE(NextKey({}, "word"), kNoNextWord);
    }

    void findNextWordReadsTheFile() {
        test::TempProgramFolder folder;
        QCOMPARE(FindNextWord("a").status, NextWord::Status::Unreadable);
        folder.write("Verbalyn.Dic", "[Words]\r\n");
        QCOMPARE(FindNextWord("a").status, NextWord::Status::NoWords);
        folder.write("Verbalyn.Dic", "[Words]\r\nhello=\\HE\r\nabout=\\AX\r\n");
        const NextWord next = FindNextWord("about");
        QCOMPARE(next.status, NextWord::Status::Found);
        QCOMPARE(next.word, QString("hello"));
        // The mark in the word box starts from the beginning.
        QCOMPARE(FindNextWord("  " + kNoNextWord + " ").word, QString("about"));
    }

    void saveWordKeepsOneLine() {
        test::TempProgramFolder folder;
        QCOMPARE(SaveWord("two words", "x"), SaveWordResult::MultiWord);
        QCOMPARE(SaveWord("   ", "x"), SaveWordResult::NoWord);
        QCOMPARE(SaveWord("[bad", "x"), SaveWordResult::InvalidWord);
        QCOMPARE(SaveWord(" hi ", "\\HE\r\n\\IY\n\\AX\r\\OW"), SaveWordResult::Saved);
        QCOMPARE(GetDictionaryValue("Words", "hi", "none"), QString("\\HE \\IY \\AX \\OW"));
        QCOMPARE(WordBoxValues("hi  missing hi"),
                 (QStringList{"\\HE \\IY \\AX \\OW", "", "\\HE \\IY \\AX \\OW"}));
    }
};

QTEST_MAIN(DictionaryWordsTest)
#include "word_box_test.moc"
