#pragma once

// Whole-file access as 8-bit text: the profile writer, the dictionary editor and the presets
// read a file whole and replace it whole, never in place.

#include <QByteArray>
#include <QString>

namespace cantora {

bool ReadWholeFile(const QString& path, QByteArray* data, QString* error = nullptr);
// Replaces the file atomically: a temporary file beside it, then a rename. On failure the old
// file is untouched and `error` says why.
bool ReplaceFileAtomically(const QString& path, const QByteArray& data, QString* error = nullptr);

// In the program's QString values every byte of a file is one character of the same code.
inline QString Latin1Text(const QByteArray& bytes) {
    return QString::fromLatin1(bytes);
}
inline QByteArray Latin1Bytes(const QString& text) {
    return text.toLatin1();
}

}  // namespace cantora
