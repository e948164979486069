// Phrases as C: the exact text of an array, headers that a C compiler takes and whose arrays
// hold the codes, phrase files, and the viewer's decimal list read back.

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "core/codes/c_export.h"
#include "core/codes/phrase_file.h"

using namespace cantora;

namespace {

QByteArray Range(int from, int count) {
    QByteArray bytes;
    for (int i = 0; i < count; ++i) {
        bytes.append(static_cast<char>(from + i));
    }
    return bytes;
}

// Compiles `source` with the system's C compiler as strict C99 and runs it; its output.
QString CompileAndRun(const QTemporaryDir& dir, const QByteArray& header, const QByteArray& main) {
    QFile h(dir.filePath("phrases.h"));
    QFile c(dir.filePath("main.c"));
    if (!h.open(QIODevice::WriteOnly) || h.write(header) != header.size() ||
        !c.open(QIODevice::WriteOnly) || c.write(main) != main.size()) {
        return "cannot write the sources";
    }
    h.close();
    c.close();
    const QString cc = QStandardPaths::findExecutable("cc");
    if (cc.isEmpty()) {
        return "no C compiler";
    }
    QProcess compiler;
    compiler.setProcessChannelMode(QProcess::MergedChannels);
    compiler.start(cc, {"-std=c99", "-pedantic-errors", "-Wall", "-Wextra", "-Werror", "-o",
                        dir.filePath("main"), dir.filePath("main.c"), dir.filePath("second.c")});
    if (!compiler.waitForFinished(60000) || compiler.exitCode() != 0) {
        return "compiler: " + QString::fromLocal8Bit(compiler.readAll());
    }
    QProcess program;
    program.start(dir.filePath("main"), {});
    program.waitForFinished(10000);
    return QString::fromLatin1(program.readAllStandardOutput());
}

}  // namespace

class CExportTest : public QObject {
    Q_OBJECT
  private slots:
    void arrayTextExactly();
    void headerCompilesAndHoldsTheCodes();
    void decimalTextReadBack();
    void phraseFiles();
};

void CExportTest::arrayTextExactly() {
    const QByteArray codes = QByteArray("\x14\x60\x15\x72\x16\x58\x17\x05", 8) + Range(240, 16);
    QCOMPARE(CArrayText({"phrase", "hello world", codes}),
             QString("/* hello world */\n"
                     "const uint8_t phrase[] = {\n"
                     "    20, 96, 21, 114, 22, 88, 23, 5, 240, 241, 242, 243, 244, 245, 246, 247,\n"
                     "    248, 249, 250, 251, 252, 253, 254, 255,\n"
                     "};\n"
                     "#define PHRASE_LENGTH 24\n"));
    // A text that would end the comment or join its lines stays inside it; no codes at all
    // still make an array C accepts.
    QCOMPARE(CArrayText({"x", "a */ b\\\nc\td", {}}, true),
             QString("/* a * / b\\ */\n/* c d */\n"
                     "static const uint8_t x[] = {\n    0,\n};\n#define X_LENGTH 0\n"));
}

void CExportTest::headerCompilesAndHoldsTheCodes() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QList<CPhrase> phrases = {{"greeting", "hello */ world\\", Range(0, 33)},
                                    {"alarm", "wake up", Range(200, 3)},
                                    {"empty", "", {}}};
    const QByteArray header = CHeaderText(phrases, true).toUtf8();
    // Two translation units include it: nothing may be defined twice.
    QFile second(dir.filePath("second.c"));
    QVERIFY(second.open(QIODevice::WriteOnly));
    second.write(
        "#include \"phrases.h\"\n#include \"phrases.h\"\n"
        "size_t second(void) { return cantora_phrases[1].length; }\n");
    second.close();
    const QByteArray main =
        "#include <stdio.h>\n#include \"phrases.h\"\n"
        "size_t second(void);\n"
        "int main(void) {\n"
        "    size_t i, j;\n"
        "    printf(\"%u %u\\n\", (unsigned)CANTORA_PHRASE_COUNT, (unsigned)second());\n"
        "    for (i = 0; i < CANTORA_PHRASE_COUNT; ++i) {\n"
        "        printf(\"%s:\", cantora_phrases[i].name);\n"
        "        for (j = 0; j < cantora_phrases[i].length; ++j)\n"
        "            printf(\" %u\", (unsigned)cantora_phrases[i].codes[j]);\n"
        "        printf(\"\\n\");\n"
        "    }\n"
        "    printf(\"%u %u\\n\", (unsigned)sizeof greeting, (unsigned)GREETING_LENGTH);\n"
        "    return 0;\n"
        "}\n";
    QString expected = "3 3\ngreeting:";
    for (int i = 0; i < 33; ++i) {
        expected += QString(" %1").arg(i);
    }
    expected += "\nalarm: 200 201 202\nempty:\n33 33\n";
    QCOMPARE(CompileAndRun(dir, header, main), expected);

    // The viewer's header holds one array and no table.
    const QByteArray single =
        CodesFileBytes(CodesFileKind::Header, {"phrase", "hi", Range(7, 2)}, QString());
    QVERIFY(!single.contains("cantora_phrases"));
    QVERIFY(second.open(QIODevice::WriteOnly));
    second.write("#include \"phrases.h\"\nint second(void) { return phrase[1]; }\n");
    second.close();
    QCOMPARE(CompileAndRun(dir, single,
                           "#include <stdio.h>\n#include \"phrases.h\"\n"
                           "int main(void) { printf(\"%u %u %u\", (unsigned)PHRASE_LENGTH,"
                           " (unsigned)phrase[0], (unsigned)phrase[1]); return 0; }\n"),
             QString("2 7 8"));
}

void CExportTest::decimalTextReadBack() {
    const struct {
        const char* text;
        std::optional<QByteArray> codes;
        const char* bad;
    } cases[] = {
        {"20, 96, 21", QByteArray("\x14\x60\x15"), ""},
        {"", QByteArray(), ""},
        {" 0,255 ,\n\t7,, ", QByteArray("\x00\xff\x07", 3), ""},
        {"20, 256", std::nullopt, "256"},
        {"20, -1", std::nullopt, "-1"},
        {"20, x7", std::nullopt, "x7"},
        {"+5", std::nullopt, "+5"},
        {"1.5", std::nullopt, "1.5"},
    };
    for (const auto& c : cases) {
        QString bad;
        QCOMPARE(DecimalTextToCodes(c.text, &bad), c.codes);
        QCOMPARE(bad, QString(c.bad));
    }
    QCOMPARE(CodesAsDecimalText(QByteArray("\x14\x00\xff", 3)), QString("20, 0, 255"));
    QCOMPARE(CodesFileKindOf("/a/B.H"), CodesFileKind::Header);
    QCOMPARE(CodesFileKindOf("x.bin"), CodesFileKind::Raw);
    QCOMPARE(CodesFileKindOf("x.txt"), CodesFileKind::Text);
    QCOMPARE(CodesFileKindOf("x.c"), CodesFileKind::Unknown);
}

void CExportTest::phraseFiles() {
    const PhraseFile good = ParsePhraseFile(
        "# the clock's phrases\r\n\r\ngreeting:  hello world \r\nalarm:wake up: now\nx_2:\n");
    QCOMPARE(good.error, QString());
    QCOMPARE(good.phrases.size(), 3);
    QCOMPARE(good.phrases[0].name, QString("greeting"));
    QCOMPARE(good.phrases[0].text, QString("hello world"));
    QCOMPARE(good.phrases[1].text, QString("wake up: now"));
    QCOMPARE(good.phrases[2].text, QString());

    const std::pair<const char*, const char*> bad[] = {
        {"a: x\nno colon here\n", "line 2: no \":\" between a name and its text"},
        {"2nd: x", "line 1: \"2nd\" is not a C name (a letter, then letters, digits and _)"},
        {"my phrase: x",
         "line 1: \"my phrase\" is not a C name (a letter, then letters, digits "
         "and _)"},
        {"int: x", "line 1: \"int\" is a C keyword"},
        {"cantora_phrases: x",
         "line 1: \"cantora_phrases\" begins with cantora_, which the "
         "header keeps for itself"},
        {"a: x\n\nA: y", "line 3: the name \"A\" is used twice"},
        {": x", "line 1: a phrase needs a name"},
    };
    for (const auto& [text, error] : bad) {
        const PhraseFile file = ParsePhraseFile(text);
        QCOMPARE(file.error, QString(error));
        QVERIFY(file.phrases.isEmpty());
    }
    QVERIFY(!CPhraseNameProblem(QString(64, 'a')).isEmpty());
    QVERIFY(CPhraseNameProblem(QString(63, 'a')).isEmpty());
}

QTEST_MAIN(CExportTest)
#include "c_export_test.moc"
