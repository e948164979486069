#pragma once

// Whole-file access as 8-bit text: the profile writer, the dictionary editor and the presets
// read a file whole and replace it whole, never in place.

#include <QByteArray>
#include <QString>

class QFile;

namespace cantora {

// No dictionary, settings or presets file comes near this size; a larger one is refused unread.
inline constexpr qint64 kMaxWholeFileBytes = qint64{256} * 1024 * 1024;

// Opens `path` for reading when it is an ordinary file of at most kMaxWholeFileBytes, judged on
// the file opened (a link to a device or a named pipe is refused without waiting); else false
// and `error` says why.
bool OpenRegularFileForReading(const QString& path, QFile* file, QString* error = nullptr);
// The whole file, under the rules of OpenRegularFileForReading.
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
