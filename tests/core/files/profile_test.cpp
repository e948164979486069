// Profile files: defaults, blanks, case, cuts, one-line writes, atomic replacement.

#include <QFile>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QTest>
#include <QThread>

#include <fcntl.h>
#include <sys/stat.h>

#include "core/files/latin1_case.h"
#include "core/files/profile.h"
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
    void unstorableNamesAreRefused();
    void namesAreTrimmedAlikeWhenWrittenAndRead_data();
    void namesAreTrimmedAlikeWhenWrittenAndRead();
    void loneCarriageReturnEndsALine();
    void byteOrderMarkIsSkippedAndKept();
    void rewriteWithRestoredTimesIsSeen();
    void rewritesWithinOneTimestampTickAreSeen();
    void severalKeysInOneReplacement();
    void readBatchChecksOnceButSeesOwnWrites();
    void prebuildOnAnotherThread();
    void parserOnBytesAgreesWithTheFile();
};

namespace {

// Rewrites a file in place (same inode) and gives it back its old modification time, as
// "cp -p", "rsync -t" or "touch -r" do.
void RewriteKeepingTime(const QString& path, const QByteArray& bytes) {
    struct stat before {};
    QVERIFY(::stat(QFile::encodeName(path).constData(), &before) == 0);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
    file.close();
    const struct timespec times[2] = {before.st_atim, before.st_mtim};
    QVERIFY(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) == 0);
}

// Replaces a file the way another program does: a new file renamed over it (the new file may
// get the inode number the old one just gave up).
void ReplaceBehindTheProgramsBack(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    QVERIFY(file.commit());
}

}  // namespace

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
    // A key long enough for its 8-bit copy to get memory of its own: the check must still
    // look at the key, not at memory already given back.
    for (const QString& prefix : {QString(" "), QString(" [")}) {
        const QString key = prefix + QString(300000, u'k');
        QCOMPARE(profile::IsValidKeyName(key), prefix == " ");
    }
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

void ProfileTest::unstorableNamesAreRefused() {
    test::TempProgramFolder folder;
    QCOMPARE(FirstUnstorableCharacter(QString::fromUtf8("G\u0142os")), QString::fromUtf8("\u0142"));
    QCOMPARE(FirstUnstorableCharacter(QString::fromUtf8("a\U0001F600\u0142")),
             QString::fromUtf8("\U0001F600"));
    QCOMPARE(FirstUnstorableCharacter(QString::fromLatin1("\xE9t\xE9 \xFF")), QString());
    // «łza» and «śza» would both be stored as «?za», and the presets «Głos» and «Gżos» would
    // share one section.
    QVERIFY(!PutDictionaryValue("Words", QString::fromUtf8("\u0142za"), "\\IY"));
    QVERIFY(!PutDictionaryValue("Words", QString::fromUtf8("\u015Bza"), "\\IH"));
    QVERIFY(!PutSoundValue(QString::fromUtf8("G\u0142os"), "Freq1", qint64(440)));
    QVERIFY(!PutSoundValue(QString::fromUtf8("G\u017Cos"), "Freq1", qint64(220)));
    QVERIFY(!QFile::exists(folder.file("Verbalyn.Dic")));
    QVERIFY(!QFile::exists(folder.file("QLSounds.txt")));
    // Nor is such a name ever found as its "?" form.
    folder.write("QLSounds.txt", "[G?os]\r\nFreq1=440\r\n");
    QCOMPARE(GetSoundValue(QString::fromUtf8("G\u0142os"), "Freq1", "0"), QString("0"));
    QVERIFY(PutSoundValue(QString::fromLatin1("Gr\xFC\xDF"), "Freq1", qint64(1)));
    QCOMPARE(GetSoundValue(QString::fromLatin1("GR\xDC\xDF"), "Freq1", "0"), QString("1"));
}

void ProfileTest::namesAreTrimmedAlikeWhenWrittenAndRead_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("plain");
    QTest::newRow("blank and tab") << " \tport\t "
                                   << "port";
    QTest::newRow("no-break space") << QString::fromLatin1("\xA0port") << QString();
    QTest::newRow("vertical tab") << "port\v" << QString();
    QTest::newRow("form feed") << "\fport" << QString();
    QTest::newRow("next line") << QString::fromLatin1("port\x85") << QString();
}

void ProfileTest::namesAreTrimmedAlikeWhenWrittenAndRead() {
    QFETCH(QString, key);
    QFETCH(QString, plain);
    test::TempProgramFolder folder;
    QVERIFY(PutIniValue("Serial", key, "first"));
    QVERIFY(PutIniValue("Serial", key, "second"));
    QCOMPARE(GetIniValue("Serial", key, "none"), QString("second"));
    QCOMPARE(folder.read("Verbalyn.ini").count("second"), 1);
    QCOMPARE(folder.read("Verbalyn.ini").count("first"), 0);
    // Only blanks and tabs are trimmed, so the other names stay apart from the plain one.
    QCOMPARE(GetIniValue("Serial", "port", "none"), plain.isEmpty() ? QString("none") : "second");
    // A value of those characters is no blank value either.
    PutIniValue("Serial", "Odd", QString::fromLatin1("\xA0"));
    QCOMPARE(GetIniValue("Serial", "Odd", "1"), QString::fromLatin1("\xA0"));
}

void ProfileTest::loneCarriageReturnEndsALine() {
    test::TempProgramFolder folder;
    folder.write("Verbalyn.ini", "[Serial]\r\nPort=3\r\r\nFlowControl=0\r");
    QCOMPARE(GetIniValue("Serial", "Port", "1"), QString("3"));
    QCOMPARE(GetIniValue("Serial", "FlowControl", "1"), QString("0"));
    folder.write("QLSounds.txt", "[T]\r\nA=1\rB=2\r\n");
    QVERIFY(PutSoundValue("T", "A", qint64(5)));
    QCOMPARE(folder.read("QLSounds.txt"), QByteArray("[T]\r\nA=5\rB=2\r\n"));
    QCOMPARE(GetSoundValue("T", "B", "0"), QString("2"));
    QVERIFY(PutSoundValue("T", "C", qint64(7)));
    QCOMPARE(folder.read("QLSounds.txt"), QByteArray("[T]\r\nA=5\rB=2\r\nC=7\r\n"));
    // A new section after a last line ended by a lone CR needs no extra line end.
    folder.write("Verbalyn.Dic", "[words]\rhello=\\HE\\r\\EH\r");
    QCOMPARE(GetDictionaryValue("Words", "hello", ""), QString("\\HE\\r\\EH"));
    QVERIFY(PutSoundValue("U", "A", qint64(1)));
}

void ProfileTest::byteOrderMarkIsSkippedAndKept() {
    test::TempProgramFolder folder;
    folder.write("Verbalyn.ini", "\xEF\xBB\xBF[Serial]\r\nPort=3\r\n");
    QCOMPARE(GetIniValue("Serial", "Port", "1"), QString("3"));
    QVERIFY(PutIniValue("Serial", "Port", "4"));
    QVERIFY(PutIniValue("Serial", "FlowControl", "0"));
    QCOMPARE(folder.read("Verbalyn.ini"),
             QByteArray("\xEF\xBB\xBF[Serial]\r\nPort=4\r\nFlowControl=0\r\n"));
    folder.write("QLSounds.txt", "\xEF\xBB\xBF");
    QVERIFY(PutSoundValue("Bell", "Freq1", qint64(440)));
    QCOMPARE(folder.read("QLSounds.txt"), QByteArray("\xEF\xBB\xBF[Bell]\r\nFreq1=440\r\n"));
    // A mark added to a file that had one already.
    folder.write("Verbalyn.Dic", "\xEF\xBB\xBF\xEF\xBB\xBF[words]\r\nzed=\\ZZ\r\n");
    QCOMPARE(GetDictionaryValue("Words", "zed", ""), QString("\\ZZ"));
}

void ProfileTest::rewriteWithRestoredTimesIsSeen() {
    test::TempProgramFolder folder;
    folder.write("Verbalyn.Dic", "[words]\r\nhello=one\r\n");
    // Let the file age past any timestamp tick, so only its signature can tell.
    QThread::sleep(3);
    QCOMPARE(GetDictionaryValue("Words", "hello", ""), QString("one"));
    QCOMPARE(GetDictionaryValue("Words", "hello", ""), QString("one"));
    RewriteKeepingTime(folder.file("Verbalyn.Dic"), "[words]\r\nhello=two\r\n");
    QCOMPARE(GetDictionaryValue("Words", "hello", ""), QString("two"));
}

void ProfileTest::rewritesWithinOneTimestampTickAreSeen() {
    // On a file system that keeps whole seconds, changes within one second share their times;
    // a file rewritten in place keeps its inode, and an atomic replacement may get the inode
    // number the old file just gave up. Same size every time.
    for (int tickMs : {0, 1000}) {
        for (bool inPlace : {true, false}) {
            test::TempProgramFolder folder;
            profile::SimulateCoarseTimestampsForTest(tickMs);
            const QString path = folder.file("Verbalyn.Dic");
            for (int round = 0; round < 20; ++round) {
                const QByteArray data =
                    "[words]\r\nhello=" + QByteArray::number(round % 10) + "\r\n";
                if (inPlace) {
                    folder.write("Verbalyn.Dic", data);
                } else {
                    ReplaceBehindTheProgramsBack(path, data);
                }
                QCOMPARE(GetDictionaryValue("Words", "hello", ""), QString::number(round % 10));
            }
            profile::SimulateCoarseTimestampsForTest(0);
        }
    }
}

void ProfileTest::severalKeysInOneReplacement() {
    test::TempProgramFolder folder;
    folder.write("QLSounds.txt", "[Bell]\r\nVol1=3\r\n; note\r\n[Drum]\r\nFreq1=55\r\n");
    const QList<QPair<QString, QString>> values{{"Freq1", "440"}, {"Vol1", "20"}, {"Freq2", "0"}};
    QVERIFY(PutSoundValues("Bell", values));
    QCOMPARE(folder.read("QLSounds.txt"),
             QByteArray("[Bell]\r\nVol1=20\r\n; note\r\nFreq1=440\r\nFreq2=0\r\n[Drum]\r\n"
                        "Freq1=55\r\n"));
    QVERIFY(PutSoundValues("Gong", values));
    QVERIFY(folder.read("QLSounds.txt").endsWith("[Gong]\r\nFreq1=440\r\nVol1=20\r\nFreq2=0\r\n"));
    // One bad name refuses the whole preset: nothing is half written.
    const QByteArray before = folder.read("QLSounds.txt");
    QVERIFY(!PutSoundValues("Bell", {{"Freq1", "1"}, {"Vol=1", "2"}}));
    QCOMPARE(folder.read("QLSounds.txt"), before);
    QVERIFY(!PutSoundValues(QString::fromUtf8("G\u0142os"), values));
    QCOMPARE(folder.read("QLSounds.txt"), before);
}

void ProfileTest::readBatchChecksOnceButSeesOwnWrites() {
    test::TempProgramFolder folder;
    folder.write("Verbalyn.Dic", "[words]\r\nhello=one\r\n");
    {
        profile::ReadBatch batch;
        QCOMPARE(GetDictionaryValue("Words", "hello", ""), QString("one"));
        // Another program's change waits for the end of the batch...
        folder.write("Verbalyn.Dic", "[words]\r\nhello=two\r\n");
        QCOMPARE(GetDictionaryValue("Words", "hello", ""), QString("one"));
        // ...but the program's own writes are seen at once.
        QVERIFY(PutDictionaryValue("Words", "world", "\\WW"));
        QCOMPARE(GetDictionaryValue("Words", "hello", ""), QString("two"));
        QCOMPARE(GetDictionaryValue("Words", "world", ""), QString("\\WW"));
        folder.write("Verbalyn.Dic", "[words]\r\nhello=333\r\n");
    }
    QCOMPARE(GetDictionaryValue("Words", "hello", ""), QString("333"));
}

void ProfileTest::prebuildOnAnotherThread() {
    test::TempProgramFolder folder;
    QByteArray data = "[words]\r\n";
    for (int i = 0; i < 50000; ++i) {
        data += "w" + QByteArray::number(i) + "=" + QByteArray::number(i * 7) + "\r\n";
    }
    folder.write("Verbalyn.Dic", data);
    auto build = profile::PrebuildIndexAsync(DictionaryFilePath());
    for (int i = 0; i < 50000; i += 997) {
        QCOMPARE(GetDictionaryValue("Words", "W" + QString::number(i), ""), QString::number(i * 7));
    }
    build.get();
    QCOMPARE(GetDictionaryValue("Words", "w49999", ""), QString::number(49999 * 7));
}

void ProfileTest::parserOnBytesAgreesWithTheFile() {
    test::TempProgramFolder folder;
    const QList<QByteArray> files{
        "\xEF\xBB\xBF[A]\r\nk=1\r\n",      "[A]\rk = 2 \r[a]\nk=3\n",
        "k=0\n[ A ]\n  K  =  x=y  \n k=4", "[A\n[A]]\nk=\x00\x00 5 \x00\r\n",
        "[]\n=1\n[A]\n\t=2\nk\n",          QByteArray("[A]\r\nk=") + QByteArray(300, 'v') + "\r\n",
    };
    for (const QByteArray& bytes : files) {
        folder.write("QLSounds.txt", bytes);
        for (const char* key : {"k", "K", "", "missing"}) {
            QCOMPARE(profile::ReadValueFromBytes(bytes, "a", key, "d", 256),
                     GetSoundValue("A", key, "d"));
        }
        bool ok = false;
        const QByteArray written = profile::WriteValueToBytes(bytes, "A", "k", "new", &ok);
        QVERIFY(ok);
        QVERIFY(PutSoundValue("A", "k", "new"));
        QCOMPARE(folder.read("QLSounds.txt"), written);
        QCOMPARE(profile::ReadValueFromBytes(written, "A", "k", "d", 256), QString("new"));
    }
    // Random files of the characters that matter: the writer's result always reads back.
    QRandomGenerator random(11);
    const QByteArray alphabet("[]=\r\n \tAaKk\xEF\xBB\xBF\x00", 16);
    for (int round = 0; round < 300; ++round) {
        QByteArray bytes;
        for (int i = random.bounded(40); i > 0; --i) {
            bytes.append(alphabet[random.bounded(alphabet.size())]);
        }
        bool ok = false;
        const QByteArray written = profile::WriteValueToBytes(bytes, "a", "K", "v1", &ok);
        QVERIFY(ok);
        QCOMPARE(profile::ReadValueFromBytes(written, "A", "k", "d", 256), QString("v1"));
    }
}

QTEST_GUILESS_MAIN(ProfileTest)
#include "profile_test.moc"
