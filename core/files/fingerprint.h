#pragma once

// What a file held at one moment, in short: whether it was there and a digest of its bytes. The
// dictionary editor keeps the fingerprint of the file it loaded (or last saved) and compares it
// with the file's present one before it writes, so a change made meanwhile by another program
// is not overwritten unasked.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace cantora {

struct FileFingerprint {
    bool exists = false;
    QByteArray digest;  // of the whole content; empty when the file is missing
    bool operator==(const FileFingerprint&) const = default;
};

// The fingerprint of a file holding `bytes`.
FileFingerprint FingerprintOfBytes(QByteArrayView bytes);

// The file's fingerprint now, read in pieces (the content is never held whole). A missing file
// gives `exists` false; false (and `error`) when the file is there but cannot be read.
bool FingerprintOfFile(const QString& path, FileFingerprint* fingerprint, QString* error = nullptr);

}  // namespace cantora
