#include "core/files/whole_file.h"

#include <QFile>
#include <QSaveFile>

#include "core/files/profile_cache.h"

namespace cantora {

bool ReadWholeFile(const QString& path, QByteArray* data, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) {
            *error = file.errorString();
        }
        return false;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error) {
            *error = file.errorString();
        }
        return false;
    }
    *data = std::move(bytes);
    return true;
}

bool ReplaceFileAtomically(const QString& path, const QByteArray& data, QString* error) {
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error) {
            *error = file.errorString();
        }
        return false;
    }
    if (file.write(data) != data.size()) {
        if (error) {
            *error = file.errorString();
        }
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (error) {
            *error = file.errorString();
        }
        return false;
    }
    profile::ForgetIndex(path);
    return true;
}

}  // namespace cantora
