// Profile files: defaults, blanks, case, cuts, one-line writes, atomic replacement.

#include <QFile>
#include <QTest>

#include "core/profile.h"
#include "support/test_support.h"

using namespace cantora;

class ProfileTest : public QObject {
    Q_OBJECT
  private slots:
    void missingFileGivesDefaults();
    void blankValuesAndDefaults();
    void namesMatchWithoutCase();
    void readsAreCut();
    void valuesWithEqualsAndDuplicates();
    void lineEndsAndNoFinalLineEnd();
    void writeChangesOnlyItsLine();
    void writeCreatesFileSectionAndKey();
    void writeAddsKeyAtEndOfItsSection();
    void writeAfterLastLineWithoutLineEnd();
    void everyByteSurvives();
    void lineBreaksAndBadNamesCannotBreakTheFile();
    void failedWriteLeavesFileIntact();
    void indexFollowsFileChanges();
    void numbersAreWrittenAsDigits();
};

void ProfileTest::missingFileGivesDefaults() {
    test::TempProgramFolder folder;
    QCOMPARE(GetIniValue("Serial", "Port", "1"), QString("1"));
    QCOMPARE(GetIniValue("Serial", "BaudRate", "9600"), QString("9600"));
    QCOMPARE(GetDictionaryValue("Words", "hello", "NoEntry"), QString("NoEntry"));
    QCOMPARE(GetSoundValue("Bell", "Freq1", "0"), QString("0"));
    QVERIFY(!QFile::exists(folder.file("Verbalyn.ini")));
}

void ProfileTest::blankValuesAndDefaults() {
    test::TempProgramFolder folder;
    folder.write("Verbalyn.ini", "[Serial]\r\nPort=   \r\nFlowControl=\r\n");
    QCOMPARE(GetIniValue("Serial", "Port", "1"), QString("1"));
    QCOMPARE(GetIniValue("Serial", "FlowControl", "1"), QString("1"));
    folder.write("Verbalyn.Dic", "[words]\r\nhello=\r\nblank=   \r\n");
    QCOMPARE(GetDictionaryValue("Words", "Hello", "NoEntry"), QString(""));
    QCOMPARE(GetDictionaryValue("Words", "blank", "NoEntry"), QString(""));
    QCOMPARE(GetDictionaryValue("Words", "absent", "NoEntry"), QString("NoEntry"));
    folder.write("QLSounds.txt", "[Bell]\r\nFreq1=  440  \r\nVol1=\r\n");
    QCOMPARE(GetSoundValue("Bell", "Freq1", "0"), QString("440"));
    QCOMPARE(GetSoundValue("Bell", "Vol1", "0"), QString("0"));
}

void ProfileTest::namesMatchWithoutCase() {
    test::TempProgramFolder folder;
    folder.write("Verbalyn.Dic", "[words]\r\nHeLLo=\\HE \\EH\r\n");
    QCOMPARE(GetDictionaryValue("Words", "hello", ""), QString("\\HE \\EH"));
    QCOMPARE(GetDictionaryValue("WORDS", "HELLO", ""), QString("\\HE \\EH"));
    folder.write("Verbalyn.Dic", "[Words]\r\nhello=x\r\n");
    QCOMPARE(GetDictionaryValue("words", "Hello", ""), QString("x"));
    // Keys of another section are not seen.
    folder.write("Verbalyn.Dic", "hello=outside\r\n[words]\r\nother=1\r\n");
    QCOMPARE(GetDictionaryValue("Words", "hello", "none"), QString("none"));
}

void ProfileTest::readsAreCut() {
    test::TempProgramFolder folder;
    const QByteArray longValue(3000, 'a');
    folder.write("Verbalyn.Dic", "[words]\r\nlong=" + longValue + "\r\n");
    QCOMPARE(GetDictionaryValue("Words", "long", "").size(), 2559);
    folder.write("Verbalyn.ini", "[Serial]\r\nPort=" + QByteArray(300, '7') + "\r\n");
    QCOMPARE(GetIniValue("Serial", "Port", "1"), QString(255, '7'));
    // A cut that ends in blanks loses them too.
    folder.write("Verbalyn.ini", "[Serial]\r\nPort=" + QByteArray(250, '7') + "      xyz\r\n");
    QCOMPARE(GetIniValue("Serial", "Port", "1"), QString(250, '7'));
    // Defaults are cut the same way.
    QCOMPARE(GetIniValue("Serial", "Missing", QString(400, 'd')).size(), 255);
}

void ProfileTest::valuesWithEqualsAndDuplicates() {
    test::TempProgramFolder folder;
    folder.write("Verbalyn.Dic", "[words]\r\nsum=a=b=c\r\ntwice=first\r\ntwice=second\r\n");
    QCOMPARE(GetDictionaryValue("Words", "sum", ""), QString("a=b=c"));
    QCOMPARE(GetDictionaryValue("Words", "twice", ""), QString("first"));
    // A write goes to the same occurrence a read finds.
    PutDictionaryValue("Words", "twice", "changed");
    QCOMPARE(GetDictionaryValue("Words", "twice", ""), QString("changed"));
    QCOMPARE(folder.read("Verbalyn.Dic"),
             QByteArray("[words]\r\nsum=a=b=c\r\ntwice=changed\r\ntwice=second\r\n"));
}

void ProfileTest::lineEndsAndNoFinalLineEnd() {
    test::TempProgramFolder folder;
    folder.write("Verbalyn.Dic", "[words]\nhello=\\HE\n\nworld=\\WW");
    QCOMPARE(GetDictionaryValue("Words", "hello", ""), QString("\\HE"));
    QCOMPARE(GetDictionaryValue("Words", "world", ""), QString("\\WW"));
}

void ProfileTest::writeChangesOnlyItsLine() {
    test::TempProgramFolder folder;
    const QByteArray before =
        "; my notes\r\n[Serial]\r\nport = 3\r\n  BaudRate=19200\r\nUnknown=keep me\r\n\r\n"
        "[Ports]\r\n3=/dev/ttyUSB0\r\n";
    folder.write("Verbalyn.ini", before);
    QVERIFY(PutIniValue("SERIAL", "Port", "5"));
    QCOMPARE(folder.read("Verbalyn.ini"),
             QByteArray("; my notes\r\n[Serial]\r\nport=5\r\n  BaudRate=19200\r\nUnknown=keep "
                        "me\r\n\r\n[Ports]\r\n3=/dev/ttyUSB0\r\n"));
    QCOMPARE(GetIniValue("Serial", "Port", "1"), QString("5"));
}

void ProfileTest::writeCreatesFileSectionAndKey() {
    test::TempProgramFolder folder;
    PutIniValue("Serial", "Port", "1");
    PutIniValue("Serial", "FlowControl", "1");
    QCOMPARE(folder.read("Verbalyn.ini"), QByteArray("[Serial]\r\nPort=1\r\nFlowControl=1\r\n"));
    PutDictionaryValue("Words", "hello", "\\HE");
    QCOMPARE(folder.read("Verbalyn.Dic"), QByteArray("[Words]\r\nhello=\\HE\r\n"));
    PutSoundValue("Bell", "Freq1", qint64(440));
    PutSoundValue("Drum", "Freq1", qint64(55));
    QCOMPARE(folder.read("QLSounds.txt"),
             QByteArray("[Bell]\r\nFreq1=440\r\n[Drum]\r\nFreq1=55\r\n"));
}

void ProfileTest::writeAddsKeyAtEndOfItsSection() {
    test::TempProgramFolder folder;
    folder.write("QLSounds.txt", "[Bell]\r\nFreq1=440\r\n\r\n[Drum]\r\nFreq1=55\r\n");
    PutSoundValue("Bell", "Vol1", qint64(20));
    QCOMPARE(folder.read("QLSounds.txt"),
             QByteArray("[Bell]\r\nFreq1=440\r\nVol1=20\r\n\r\n[Drum]\r\nFreq1=55\r\n"));
    QCOMPARE(GetSoundValue("Drum", "Freq1", "0"), QString("55"));
}

void ProfileTest::writeAfterLastLineWithoutLineEnd() {
    test::TempProgramFolder folder;
    folder.write("Verbalyn.Dic", "[words]\r\nhello=\\HE");
    PutDictionaryValue("Words", "world", "\\WW");
    QCOMPARE(folder.read("Verbalyn.Dic"), QByteArray("[words]\r\nhello=\\HE\r\nworld=\\WW\r\n"));
    folder.write("QLSounds.txt", "[Bell]\r\nFreq1=440");
    PutSoundValue("Drum", "Vol1", qint64(3));
    QCOMPARE(folder.read("QLSounds.txt"),
             QByteArray("[Bell]\r\nFreq1=440\r\n[Drum]\r\nVol1=3\r\n"));
}

void ProfileTest::everyByteSurvives() {
    test::TempProgramFolder folder;
    QByteArray bytes;
    for (int b = 1; b < 256; ++b) {
        if (b != '\r' && b != '\n' && b != ' ' && b != '\t') {
            bytes.append(static_cast<char>(b));
        }
    }
    folder.write("Verbalyn.Dic", "[words]\r\nother=\xE9t\xE9\r\n");
    QVERIFY(PutDictionaryValue("Words", "bytes", QString::fromLatin1(bytes)));
    QCOMPARE(GetDictionaryValue("Words", "bytes", "").toLatin1(), bytes);
    QCOMPARE(folder.read("Verbalyn.Dic"),
             QByteArray("[words]\r\nother=\xE9t\xE9\r\nbytes=") + bytes + "\r\n");
    // Accented names fold like plain ones.
    QCOMPARE(GetDictionaryValue("Words", "OTHER", ""), QString::fromLatin1("\xE9t\xE9"));
}

void ProfileTest::lineBreaksAndBadNamesCannotBreakTheFile() {
    test::TempProgramFolder folder;
    PutDictionaryValue("Words", "two", "\\HE\r\n\\EH\n\\LO\r\\OW");
    QCOMPARE(folder.read("Verbalyn.Dic"), QByteArray("[Words]\r\ntwo=\\HE \\EH \\LO \\OW\r\n"));
    const QByteArray before = folder.read("Verbalyn.Dic");
    QVERIFY(!PutSoundValue("", "Freq1", "1"));
    QVERIFY(!PutSoundValue("Bad]Name", "Freq1", "1"));
    QVERIFY(!PutSoundValue("Two\nLines", "Freq1", "1"));
    QVERIFY(!PutDictionaryValue("Words", "a=b", "1"));
    QVERIFY(!PutDictionaryValue("Words", "line\nbreak", "1"));
    QVERIFY(!PutDictionaryValue("Words", "[header", "1"));
    QVERIFY(!PutDictionaryValue("Words", "   ", "1"));
    QCOMPARE(folder.read("Verbalyn.Dic"), before);
    QVERIFY(!QFile::exists(folder.file("QLSounds.txt")));
}

void ProfileTest::failedWriteLeavesFileIntact() {
    test::TempProgramFolder folder;
    // The program folder vanished: nothing is written, nothing crashes.
    SetProgramFolder(folder.file("missing"));
    QVERIFY(!PutIniValue("Serial", "Port", "2"));
    QCOMPARE(GetIniValue("Serial", "Port", "1"), QString("1"));
    // A file name taken by a folder cannot be replaced.
    SetProgramFolder(folder.path());
    QVERIFY(QDir(folder.path()).mkdir("QLSounds.txt"));
    QVERIFY(!PutSoundValue("Bell", "Freq1", qint64(1)));
    QCOMPARE(GetSoundValue("Bell", "Freq1", "0"), QString("0"));
    // No temporary files are left beside the settings.
    folder.write("Verbalyn.ini", "[Serial]\r\nPort=4\r\n");
    QVERIFY(PutIniValue("Serial", "Port", "6"));
    const QStringList entries = QDir(folder.path()).entryList(QDir::Files);
    QCOMPARE(entries, QStringList{"Verbalyn.ini"});
}

void ProfileTest::indexFollowsFileChanges() {
    test::TempProgramFolder folder;
    folder.write("Verbalyn.Dic", "[words]\r\nhello=one\r\n");
    QCOMPARE(GetDictionaryValue("Words", "hello", ""), QString("one"));
    // Same size, rewritten in place: the modification time and content differ.
    folder.write("Verbalyn.Dic", "[words]\r\nhello=two\r\n");
    QCOMPARE(GetDictionaryValue("Words", "hello", ""), QString("two"));
    QFile::remove(folder.file("Verbalyn.Dic"));
    QCOMPARE(GetDictionaryValue("Words", "hello", "gone"), QString("gone"));
    folder.write("Verbalyn.Dic", "[words]\r\nhello=three and more\r\n");
    QCOMPARE(GetDictionaryValue("Words", "hello", ""), QString("three and more"));
}

void ProfileTest::numbersAreWrittenAsDigits() {
    test::TempProgramFolder folder;
    PutIniValue("Serial", "FlowControl", qint64(0));
    PutSoundValue("S", "Freq1", qint64(3999));
    QCOMPARE(GetIniValue("Serial", "FlowControl", "1"), QString("0"));
    QCOMPARE(GetSoundValue("S", "Freq1", "0"), QString("3999"));
}

QTEST_GUILESS_MAIN(ProfileTest)
#include "profile_test.moc"
