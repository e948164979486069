// The texts of the register writes and the envelope control byte.

#include <QtTest>

#include "core/codes/scp_commands.h"

using cantora::EnvelopeControlByte;
using cantora::RegisterWriteText;

class SynthRegisterTest : public QObject {
    Q_OBJECT
  private slots:
    void writeTexts_data() {
        QTest::addColumn<int>("reg");
        QTest::addColumn<int>("value");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("oscillator 1 at 440") << 1 << 440 << QByteArray("\\01J 440NX");
        QTest::newRow("master volume 96") << 7 << 96 << QByteArray("\\07J 96NX");
        QTest::newRow("oscillator 5 volume 31") << 15 << 31 << QByteArray("\\015J 31NX");
        QTest::newRow("envelope control 0") << 8 << 0 << QByteArray("\\08J 0NX");
        QTest::newRow("distortion 0") << 6 << 0 << QByteArray("\\06J 0NX");
        QTest::newRow("master volume 127") << 7 << 127 << QByteArray("\\07J 127NX");
        QTest::newRow("oscillator 4 at 3999") << 4 << 3999 << QByteArray("\\04J 3999NX");
        QTest::newRow("oscillator 2 volume 0") << 12 << 0 << QByteArray("\\012J 0NX");
        QTest::newRow("envelope frequency 255") << 0 << 255 << QByteArray("\\00J 255NX");
        QTest::newRow("envelope control 195") << 8 << 195 << QByteArray("\\08J 195NX");
        // Never produced by the panel, but the sign position must still hold the sign.
        QTest::newRow("negative value") << 3 << -12 << QByteArray("\\03J-12NX");
    }
    void writeTexts() {
        QFETCH(int, reg);
        QFETCH(int, value);
        QFETCH(QByteArray, text);
        QCOMPARE(RegisterWriteText(reg, value), text);
    }

    void resetCommand() { QCOMPARE(cantora::ResetCommandText(), QByteArray("\\0RX")); }

    void envelopeByte() {
        QCOMPARE(int(EnvelopeControlByte(3, true, true)), 195);   // Square, both flags
        QCOMPARE(int(EnvelopeControlByte(1, false, true)), 65);   // Sine, Enveloped
        QCOMPARE(int(EnvelopeControlByte(0, true, false)), 128);  // Saw, One Half Enveloped
        QCOMPARE(int(EnvelopeControlByte(2, false, false)), 2);
        // Bits 2 to 5 stay clear whatever index comes in.
        QCOMPARE(int(EnvelopeControlByte(4, false, false)), 0);
        QCOMPARE(int(EnvelopeControlByte(-1, false, true)), 64);
    }
};

QTEST_APPLESS_MAIN(SynthRegisterTest)
#include "scp_commands_test.moc"
