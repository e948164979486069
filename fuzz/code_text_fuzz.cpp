// Code-list text: normalizing is idempotent and keeps the bytes; converting never fails, and a
// note always becomes the pitch code 22 followed by the note's pitch.

#include <QByteArray>
#include <QString>

#include "core/codes/code_table.h"
#include "core/codes/code_text.h"
#include "fuzz/fuzz_support.h"

namespace {

constexpr const char* kNoteNames[] = {"C",  "C#", "D",  "D#", "E",  "F",
                                      "F#", "G",  "G#", "A",  "A#", "B"};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    cantora::LoadCodeNames();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    using namespace cantora;
    FuzzedDataProvider data(bytes, size);
    const int note = data.ConsumeIntegralInRange<int>(0, 11);
    const int octave = data.ConsumeIntegralInRange<int>(1, 3);
    const bool lowerCase = data.ConsumeBool();
    const int byte = data.ConsumeIntegralInRange<int>(0, 255);
    const int zeros = data.ConsumeIntegralInRange<int>(0, 2);
    const QString text = fuzz::ConsumeText(data, 8192);

    const QString once = NormalizeCodeText(text);
    FUZZ_CHECK(NormalizeCodeText(once) == once);
    // The canonical form: every token is a blank, a backslash and at least one character.
    for (qsizetype i = 0; i < once.size(); ++i) {
        if (once[i] == u' ') {
            FUZZ_CHECK(i + 2 < once.size() && once[i + 1] == u'\\' && once[i + 2] != u' ');
        }
    }
    const QByteArray converted = CodeTextToBytes(text);
    FUZZ_CHECK(CodeTextToBytes(once) == converted);

    // A note named after anything ends the bytes with its two: 22, then the pitch.
    QString name = QStringLiteral(" \\NT%1%2").arg(QLatin1String(kNoteNames[note])).arg(octave);
    if (lowerCase) {
        name = name.toLower();
    }
    const int pitch = GetNotePitch(281 + octave * 20 + note);
    FUZZ_CHECK(pitch > 0 && pitch < 256);
    const QByteArray withNote = CodeTextToBytes(text + name);
    FUZZ_CHECK(withNote.size() == converted.size() + 2);
    FUZZ_CHECK(withNote.startsWith(converted));
    FUZZ_CHECK(static_cast<unsigned char>(withNote[withNote.size() - 2]) == 22);
    FUZZ_CHECK(static_cast<unsigned char>(withNote.back()) == pitch);

    // A byte written as its number, with or without leading zeros, is that byte; only "\0"
    // writes the byte 0 ("\00" reads no number above 0 and is skipped).
    const QString number = QStringLiteral(",\\") + QString(zeros, u'0') + QString::number(byte);
    const QByteArray withNumber = CodeTextToBytes(text + number);
    if (byte == 0 && zeros > 0) {
        FUZZ_CHECK(withNumber == converted);
    } else {
        FUZZ_CHECK(withNumber.size() == converted.size() + 1 && withNumber.startsWith(converted));
        FUZZ_CHECK(static_cast<unsigned char>(withNumber.back()) == byte);
    }
    return 0;
}
