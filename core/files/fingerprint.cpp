#include "core/files/fingerprint.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

#include "core/files/whole_file.h"

namespace cantora {

namespace {

constexpr auto kAlgorithm = QCryptographicHash::Sha256;

}  // namespace

FileFingerprint FingerprintOfBytes(QByteArrayView bytes) {
    return {true, QCryptographicHash::hash(bytes, kAlgorithm)};
}

bool FingerprintOfFile(const QString& path, FileFingerprint* fingerprint, QString* error) {
    if (!QFileInfo::exists(path)) {
        *fingerprint = FileFingerprint{};
        return true;
    }
    QFile file;
    if (!OpenRegularFileForReading(path, &file, error)) {
        return false;
    }
    QCryptographicHash hash(kAlgorithm);
    if (!hash.addData(&file) || file.error() != QFileDevice::NoError) {
        if (error) {
            *error = file.errorString();
        }
        return false;
    }
    *fingerprint = FileFingerprint{true, hash.result()};
    return true;
}

}  // namespace cantora
