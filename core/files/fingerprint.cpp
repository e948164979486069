#include "core/files/fingerprint.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

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
    QFile file(path);
    QCryptographicHash hash(kAlgorithm);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file) ||
        file.error() != QFileDevice::NoError) {
        if (error) {
            *error = file.errorString();
        }
        return false;
    }
    *fingerprint = FileFingerprint{true, hash.result()};
    return true;
}

}  // namespace cantora
