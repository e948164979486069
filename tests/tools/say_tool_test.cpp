// cantora-say, run as the real program: text to a pseudo-terminal at the sender's pacing, to a
// WAV file, to a C header of a phrase file, and its failures with their exit statuses.

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTest>

#include "core/chip/wav_file.h"
#include "core/codes/c_export.h"
#include "core/codes/code_table.h"
#include "core/codes/code_text.h"
#include "core/pronounce/pronouncer.h"
#include "support/test_support.h"

using namespace cantora;

namespace {

const QByteArray kPrefix("\x14\x60\x15\x72\x16\x58\x17\x05", 8);
const QByteArray kDictionary =
    "[words]\r\nhello=\\HE \\EH \\LO \\OW\r\nworld=\\WW \\AXRR \\LE \\DE\r\n"
    "wake=\\WW \\EY \\KK1\r\nup=\\AX \\PO\r\n";
const QString kHello = "\\HE \\EH \\LO \\OW ";
const QString kWorld = "\\WW \\AXRR \\LE \\DE ";

struct Result {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

Result Run(const QStringList& arguments, const QByteArray& input = {},
           const QString& program = QStringLiteral(CANTORA_SAY_PROGRAM)) {
    QProcess process;
    process.start(program, arguments);
    Result result;
    if (!process.waitForStarted(10000)) {
        return result;
    }
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(60000);
    result.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

}  // namespace

class SayToolTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { LoadCodeNames(); }
    void sendsToAPortAtTheSendersPace();
    void portNumberAndDictionaryOfTheSettings();
    void writesWavAndCodes();
    void headerOfAPhraseFile();
    void unknownWords();
    void failures();
};

void SayToolTest::sendsToAPortAtTheSendersPace() {
    test::TempProgramFolder folder;
    folder.write("words.dic", kDictionary);
    test::PtyPair pty;
    QVERIFY(pty.ok());
    const QStringList text = {"hello", "world,", "hello", "world", "hello",
                              "world", "hello",  "world", "hello", "world"};
    const QByteArray expected =
        kPrefix + CodeTextToBytes(kHello + kWorld + "\\P2 " + (kHello + kWorld).repeated(4));
    QCOMPARE(expected.size(), 8 + 10 * 4 + 1);

    QProcess process;
    process.start(
        CANTORA_SAY_PROGRAM,
        QStringList{"--dictionary", folder.file("words.dic"), "--port", pty.slavePath()} + text);
    QVERIFY(process.waitForStarted(10000));
    // Read as it arrives: each byte about 1 ms after the one before.
    QByteArray got;
    QElapsedTimer clock;
    qint64 firstAt = -1;
    qint64 lastAt = -1;
    qsizetype firstChunk = 0;
    clock.start();
    while (got.size() < expected.size() && clock.elapsed() < 20000) {
        const QByteArray chunk = pty.read(1, 100);
        if (chunk.isEmpty()) {
            continue;
        }
        if (firstAt < 0) {
            firstAt = clock.elapsed();
            firstChunk = chunk.size();
        }
        lastAt = clock.elapsed();
        got += chunk;
    }
    QVERIFY(process.waitForFinished(20000));
    QCOMPARE(process.exitCode(), 0);
    QCOMPARE(got, expected);
    // The bytes after the first read each waited at least a millisecond for the one before.
    QVERIFY2(firstChunk < expected.size() / 2, qPrintable(QString::number(firstChunk)));
    QVERIFY2(lastAt - firstAt >= (expected.size() - 1 - firstChunk) * 9 / 10,
             qPrintable(QString("%1 ms for %2 bytes").arg(lastAt - firstAt).arg(got.size())));
    QCOMPARE(pty.read(0, 200), QByteArray());
}

void SayToolTest::portNumberAndDictionaryOfTheSettings() {
    // A copy of the program in a folder of its own keeps its settings and dictionary there.
    test::TempProgramFolder folder;
    const QString program = folder.file("cantora-say");
    QVERIFY(QFile::copy(CANTORA_SAY_PROGRAM, program));
    folder.write("Verbalyn.Dic", kDictionary);
    test::PtyPair pty;
    QVERIFY(pty.ok());
    test::MapPort(folder, 3, pty.slavePath());
    QProcess process;
    process.start(program, {"--port", "3", "--volume", "100", "--bend", "0", "hello"});
    QVERIFY(process.waitForStarted(10000));
    const QByteArray expected =
        QByteArray("\x14\x64\x15\x72\x16\x58\x17\x00", 8) + CodeTextToBytes(kHello);
    const QByteArray got = pty.read(expected.size(), 20000);
    QVERIFY(process.waitForFinished(20000));
    QCOMPARE(process.exitCode(), 0);
    QCOMPARE(got, expected);

    // A number the settings file does not map names the platform's port, which is not there.
    const Result missing = Run({"--port", "200", "hello"}, {}, program);
    QCOMPARE(missing.status, 1);
    QCOMPARE(missing.err.count('\n'), 1);
}

void SayToolTest::writesWavAndCodes() {
    test::TempProgramFolder folder;
    folder.write("words.dic", kDictionary);
    const QString dic = folder.file("words.dic");
    const QByteArray codes = kPrefix + CodeTextToBytes(kHello + kWorld);
    const Result wav = Run({"--dictionary", dic, "--wav", folder.file("out.wav"), "hello world"});
    QCOMPARE(wav.status, 0);
    QVERIFY(chip::RenderBytesToWav(codes, folder.file("expected.wav")));
    QCOMPARE(folder.read("out.wav"), folder.read("expected.wav"));
    QVERIFY(folder.read("out.wav").size() > 1000);

    // Standard input, its line breaks parting words; no controls.
    const Result list = Run({"--dictionary", dic, "--codes", "--no-controls"}, "hello\nworld\n");
    QCOMPARE(list.status, 0);
    QCOMPARE(list.out, (CodesAsDecimalText(CodeTextToBytes(kHello + kWorld)) + "\n").toUtf8());
    QCOMPARE(list.err, QByteArray());
}

void SayToolTest::headerOfAPhraseFile() {
    test::TempProgramFolder folder;
    folder.write("words.dic", kDictionary);
    folder.write("phrases.txt",
                 "# the clock\ngreeting: hello world\r\nalarm: wake up,  wake up\n"
                 "code: \\P2 \\P0\n");
    const Result header = Run(
        {"--dictionary", folder.file("words.dic"), "--phrases", folder.file("phrases.txt"), "--c"});
    QCOMPARE(header.status, 0);
    QCOMPARE(header.err, QByteArray());
    const QString wakeUp = "\\WW \\EY \\KK1 \\AX \\PO ";
    const QList<CPhrase> phrases = {
        {"greeting", "hello world", kPrefix + CodeTextToBytes(kHello + kWorld)},
        {"alarm", "wake up,  wake up", kPrefix + CodeTextToBytes(wakeUp + "\\P2 \\P6 " + wakeUp)},
        {"code", "\\P2 \\P0", kPrefix + CodeTextToBytes("\\P2 \\P0")}};
    QCOMPARE(QString::fromUtf8(header.out), CHeaderText(phrases, true));
    QVERIFY(header.out.contains("{\"alarm\", alarm, ALARM_LENGTH},"));

    const Result list = Run({"--dictionary", folder.file("words.dic"), "--phrases",
                             folder.file("phrases.txt"), "--codes", "--no-controls"});
    QCOMPARE(list.status, 0);
    QCOMPARE(list.out.split('\n').value(2), QByteArray("code: 2, 0"));
}

void SayToolTest::unknownWords() {
    test::TempProgramFolder folder;
    folder.write("words.dic", kDictionary);
    const QStringList base = {"--dictionary", folder.file("words.dic"), "--codes", "--no-controls"};
    // Named on standard error and left out...
    const Result left = Run(base + QStringList{"hello", "Cantora", "cantora"});
    QCOMPARE(left.status, 0);
    QCOMPARE(left.out, (CodesAsDecimalText(CodeTextToBytes(kHello)) + "\n").toUtf8());
    QCOMPARE(left.err, QByteArray("cantora-say: not in the dictionary: Cantora\n"));
    // ...or said by the rules...
    const Result said = Run(base + QStringList{"--pronounce-unknown", "hello", "cantora"});
    QCOMPARE(said.status, 0);
    QCOMPARE(
        said.out,
        (CodesAsDecimalText(CodeTextToBytes(kHello + SuggestCodeText("cantora"))) + "\n").toUtf8());
    QCOMPARE(said.err, QByteArray("cantora-say: pronounced by the rules: cantora\n"));
    // ...or, with --strict, an error that writes nothing.
    const Result strict = Run(base + QStringList{"--strict", "hello", "cantora"});
    QCOMPARE(strict.status, 1);
    QCOMPARE(strict.out, QByteArray());
    QVERIFY(strict.err.contains("cantora"));
    QCOMPARE(Run(base + QStringList{"--strict", "hello"}).status, 0);
}

void SayToolTest::failures() {
    test::TempProgramFolder folder;
    folder.write("words.dic", kDictionary);
    folder.write("bad.txt", "greeting: hello\nno colon\n");
    const QString dic = folder.file("words.dic");
    const struct {
        QStringList arguments;
        const char* says;
    } cases[] = {
        {{"--dictionary", dic, "--codes", "--loud", "hello"}, "'loud'"},
        {{"--dictionary", folder.file("none.dic"), "--codes", "hello"}, "none.dic"},
        {{"--dictionary", dic, "--wav", folder.file("no/such/folder/x.wav"), "hello"}, "x.wav"},
        {{"--dictionary", dic, "--phrases", folder.file("none.txt"), "--c"}, "none.txt"},
        {{"--dictionary", dic, "--phrases", folder.file("bad.txt"), "--c"}, "line 2"},
        {{"--dictionary", dic, "--codes", "--volume", "128", "hello"}, "--volume"},
        {{"--dictionary", dic, "--codes", "--c", "hello"}, "one of"},
        {{"--dictionary", dic, "hello"}, "where the codes go"},
        {{"--dictionary", dic, "--phrases", folder.file("bad.txt"), "--c", "hi"}, "not both"},
    };
    for (const auto& c : cases) {
        const Result result = Run(c.arguments);
        QCOMPARE(result.status, 2);
        QCOMPARE(result.err.count('\n'), 1);
        QVERIFY2(result.err.startsWith("cantora-say: ") && result.err.contains(c.says),
                 result.err.constData());
        QCOMPARE(result.out, QByteArray());
    }
    QVERIFY(!QFile::exists(folder.file("no/such/folder/x.wav")));
}

QTEST_MAIN(SayToolTest)
#include "say_tool_test.moc"
