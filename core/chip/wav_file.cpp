#include "core/chip/wav_file.h"

#include <QSaveFile>
#include <QtEndian>

#include "core/chip/effects.h"
#include "core/chip/renderer.h"

namespace cantora::chip {

namespace {

void Put32(QByteArray& out, quint32 v) {
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

void Put16(QByteArray& out, quint16 v) {
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}

}  // namespace

QByteArray WavBytes(const std::vector<int16_t>& pcm, int sampleRate) {
    const auto dataBytes = static_cast<quint32>(pcm.size() * 2);
    QByteArray out;
    out.reserve(static_cast<qsizetype>(44 + dataBytes));
    out.append("RIFF", 4);
    Put32(out, 36 + dataBytes);
    out.append("WAVEfmt ", 8);
    Put32(out, 16);
    Put16(out, 1);  // PCM
    Put16(out, 1);  // mono
    Put32(out, static_cast<quint32>(sampleRate));
    Put32(out, static_cast<quint32>(sampleRate * 2));
    Put16(out, 2);
    Put16(out, 16);
    out.append("data", 4);
    Put32(out, dataBytes);
    for (const int16_t s : pcm) {
        Put16(out, static_cast<quint16>(s));
    }
    return out;
}

bool WriteWavFile(const QString& path, const std::vector<int16_t>& pcm, int sampleRate) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    const QByteArray bytes = WavBytes(pcm, sampleRate);
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool RenderBytesToWav(const QByteArray& bytes, const QString& path) {
    return WriteWavFile(path, RenderBytes(bytes), kSampleRate);
}

}  // namespace cantora::chip
