// The code table, code-list text and the lenient number reading they share.

#include <QTest>

#include "core/codes/code_table.h"
#include "core/codes/code_text.h"
#include "core/codes/lenient_numbers.h"
#include "support/test_support.h"

using namespace cantora;
using test::Bytes;

class CodeTextTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { LoadCodeNames(); }
    void codeNumbersAndNames();
    void everyNamedCodeRoundTrips();
    void notePitches();
    void normalize();
    void toBytes_data();
    void toBytes();
    void leadingNumbers();
};

void CodeTextTest::codeNumbersAndNames() {
    QCOMPARE(GetCodeNumber("\\IY"), 128);
    QCOMPARE(GetCodeNumber("\\iy"), 128);
    QCOMPARE(GetCodeNumber("\\ntc#1"), 302);
    QCOMPARE(GetCodeNumber("\\NGE"), 143);
    QCOMPARE(GetCodeNumber("\\JH"), 165);
    QCOMPARE(GetCodeNumber("\\WH"), 185);
    QCOMPARE(GetCodeNumber("\\PO"), 199);
    QCOMPARE(GetCodeNumber("\\D11"), 251);
    QCOMPARE(GetCodeNumber("\\M2"), 254);
    QCOMPARE(GetCodeNumber("\\NTB3"), 352);
    QCOMPARE(GetCodeNumber("\\NTA2"), 330);
    QCOMPARE(GetCodeNumber("IY"), 401);
    QCOMPARE(GetCodeNumber("\\NOPE"), 401);
    QCOMPARE(GetCodeNumber("\\"), 401);
    QCOMPARE(GetCodeName(31), QString("\\RESET"));
    QCOMPARE(GetCodeName(100), QString());
    QCOMPARE(GetCodeName(255), QString());
    QCOMPARE(GetCodeName(-1), QString());
    QCOMPARE(GetCodeName(1000), QString());
}

void CodeTextTest::everyNamedCodeRoundTrips() {
    int named = 0;
    for (int code = 0; code <= 255; ++code) {
        const QString name = GetCodeName(code);
        if (!name.isEmpty()) {
            ++named;
            QCOMPARE(GetCodeNumber(name), code);
            QCOMPARE(CodeTextToBytes(name), Bytes({code}));
        }
    }
    // 7 pauses, 17 other controls, 72 allophones, 55 sound effects.
    QCOMPARE(named, 7 + 17 + 72 + 55);
}

void CodeTextTest::notePitches() {
    QCOMPARE(GetNotePitch(310), 55);
    QCOMPARE(GetNotePitch(330), 110);
    QCOMPARE(GetNotePitch(350), 220);
    QCOMPARE(GetNotePitch(327), 93);
    QCOMPARE(GetNotePitch(301), 33);
    QCOMPARE(GetNotePitch(352), 247);
    QCOMPARE(GetNotePitch(313), 0);
    QCOMPARE(GetNotePitch(22), 0);
    QCOMPARE(GetNotePitch(340), 0);
}

void CodeTextTest::normalize() {
    QCOMPARE(NormalizeCodeText(" \\p0, \\iy;;\\ih "), QString(" \\P0 \\IY \\IH"));
    QCOMPARE(NormalizeCodeText("hello, world!"), QString("HELLO \\WORLD"));
    QCOMPARE(NormalizeCodeText("\\IY"), QString(" \\IY"));
    QCOMPARE(NormalizeCodeText(" ,;\\\\ "), QString());
    QCOMPARE(NormalizeCodeText(""), QString());
    QCOMPARE(NormalizeCodeText(QString::fromLatin1("\\caf\xE9\\ntc#1")), QString(" \\CAF \\NTC#1"));
    // Upper case letter by letter: "ß" has no one-letter capital, so it separates like any other
    // character and never turns into "SS".
    QCOMPARE(NormalizeCodeText(QString::fromUtf8("stra\u00DFe")), QString("STRA \\E"));
    QCOMPARE(CodeTextToBytes(QString::fromUtf8("\\STRE\u00DF")), QByteArray());
    QCOMPARE(GetCodeNumber(QString::fromUtf8("\\stre\u00DF")), kUnknownCode);
}

void CodeTextTest::toBytes_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("separators") << "\\P0,\\IY;\\IH" << Bytes({0, 128, 129});
    QTest::newRow("first token dropped") << "iy ih" << Bytes({129});
    QTest::newRow("number first token dropped") << "15 \\IY" << Bytes({128});
    QTest::newRow("volume and note") << " \\VOLUME \\96 \\NTC#2" << Bytes({20, 96, 22, 69});
    QTest::newRow("zeros") << "\\0 \\00 \\000" << Bytes({0});
    QTest::newRow("unknown skipped") << "\\XYZ \\5" << Bytes({5});
    QTest::newRow("empty") << "" << QByteArray();
    QTest::newRow("only separators") << "\\\\ \\ \\" << QByteArray();
    QTest::newRow("exponent") << "\\1E2" << Bytes({100});
    QTest::newRow("digits then letters") << "\\12AB" << Bytes({12});
    QTest::newRow("lower case") << "\\ih \\nta1" << Bytes({129, 22, 55});
    QTest::newRow("255 kept") << "\\255" << Bytes({255});
    QTest::newRow("above 255 skipped, rest converted")
        << "\\300 \\IY \\2D3 \\256 \\IH" << Bytes({128, 129});
    QTest::newRow("huge exponent skipped") << "\\9E999 \\7" << Bytes({7});
    QTest::newRow("odd bytes") << QString::fromLatin1("\x01\\IY\xFF\\\x7F") << Bytes({128});
}

void CodeTextTest::toBytes() {
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(CodeTextToBytes(text), bytes);
}

void CodeTextTest::leadingNumbers() {
    QCOMPARE(LeadingNumber("96"), 96.0);
    QCOMPARE(LeadingNumber("  -5"), -5.0);
    QCOMPARE(LeadingNumber("15.4abc"), 15.4);
    QCOMPARE(LeadingNumber("1 2"), 12.0);
    QCOMPARE(LeadingNumber("2D3"), 2000.0);
    QCOMPARE(LeadingNumber("1e"), 1.0);
    QCOMPARE(LeadingNumber(".5"), 0.5);
    QCOMPARE(LeadingNumber("abc"), 0.0);
    QCOMPARE(LeadingNumber("-"), 0.0);
    QCOMPARE(LeadingNumber(""), 0.0);
    QCOMPARE(RoundHalfEven(12.5), qint64(12));
    QCOMPARE(RoundHalfEven(13.5), qint64(14));
    QCOMPARE(RoundHalfEven(-2.5), qint64(-2));
    QCOMPARE(RoundHalfEven(14.6), qint64(15));
    QCOMPARE(LeadingInteger("1e400"), qint64(9200000000000000000LL));
}

QTEST_GUILESS_MAIN(CodeTextTest)
#include "code_text_test.moc"
