#include "core/files/whole_file.h"

#include <QFile>
#include <QSaveFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/files/profile_cache.h"

namespace cantora {

namespace {

bool Fail(QString* error, const QString& why) {
    if (error) {
        *error = why;
    }
    return false;
}

}  // namespace

bool OpenRegularFileForReading(const QString& path, QFile* file, QString* error) {
    // Opened without waiting, so a named pipe with no writer cannot hold the program up; the
    // checks are made on the file opened, so a name swapped meanwhile cannot slip past them.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return Fail(error, QString::fromLocal8Bit(std::strerror(errno)));
    }
    struct stat info {};
    QString refusal;
    if (::fstat(fd, &info) != 0) {
        refusal = QString::fromLocal8Bit(std::strerror(errno));
    } else if (!S_ISREG(info.st_mode)) {
        refusal = QStringLiteral(
                      "%1 is not an ordinary file (a device, a folder or a pipe), so "
                      "it is not read.")
                      .arg(path);
    } else if (info.st_size > kMaxWholeFileBytes) {
        refusal = QStringLiteral(
                      "%1 is larger than %2 MB, which no file of this program "
                      "reaches, so it is not read.")
                      .arg(path)
                      .arg(kMaxWholeFileBytes / (1024 * 1024));
    } else {
        const int flags = ::fcntl(fd, F_GETFL);
        if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
            refusal = QString::fromLocal8Bit(std::strerror(errno));
        }
    }
    if (!refusal.isEmpty()) {
        ::close(fd);
        return Fail(error, refusal);
    }
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return Fail(error, file->errorString());
    }
    return true;
}

bool ReadWholeFile(const QString& path, QByteArray* data, QString* error) {
    QFile file;
    if (!OpenRegularFileForReading(path, &file, error)) {
        return false;
    }
    // A file that grows while it is read still stops at the cap.
    QByteArray bytes = file.read(kMaxWholeFileBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        return Fail(error, file.errorString());
    }
    if (bytes.size() > kMaxWholeFileBytes) {
        return Fail(error, QStringLiteral("%1 is larger than %2 MB, which no file of this "
                                          "program reaches, so it is not read.")
                               .arg(path)
                               .arg(kMaxWholeFileBytes / (1024 * 1024)));
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
