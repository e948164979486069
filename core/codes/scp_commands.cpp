#include "core/codes/scp_commands.h"

namespace cantora {

QByteArray RegisterWriteText(int registerNumber, qint64 value) {
    QByteArray text("\\0");
    text += QByteArray::number(registerNumber);
    text += 'J';
    // The value always carries its sign position: a blank for zero and positive values.
    text += value < 0 ? '-' : ' ';
    text += value < 0 ? QByteArray::number(static_cast<quint64>(0) - static_cast<quint64>(value))
                      : QByteArray::number(value);
    text += "NX";
    return text;
}

QByteArray ResetCommandText() {
    return QByteArrayLiteral("\\0RX");
}

QByteArray ShutUpCommandText() {
    QByteArray text = ResetCommandText();
    text.append(static_cast<char>(31));
    text.append(static_cast<char>(0));
    return text;
}

QByteArray TestCommandText() {
    return QByteArray("\x1F\\0VX", 5);
}

quint8 EnvelopeControlByte(int waveIndex, bool halfEnveloped, bool enveloped) {
    int value = (waveIndex >= 0 && waveIndex <= 3) ? waveIndex : 0;
    if (halfEnveloped) {
        value += 128;
    }
    if (enveloped) {
        value += 64;
    }
    return static_cast<quint8>(value);
}

}  // namespace cantora
