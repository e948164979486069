#include "core/files/folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <sys/stat.h>
#include <unistd.h>

#include "core/files/profile.h"

namespace cantora {

namespace {

QString ExecutableFolder() {
    const QString folder = QCoreApplication::applicationDirPath();
    return folder.isEmpty() ? QDir::currentPath() : folder;
}

bool SameFolder(const QString& a, const QString& b) {
    const QString canonicalA = QFileInfo(a).canonicalFilePath();
    return !canonicalA.isEmpty() && canonicalA == QFileInfo(b).canonicalFilePath();
}

QString UserFolder(QStandardPaths::StandardLocation location) {
    return QStandardPaths::writableLocation(location) + u'/' + QLatin1String(kUserFolderName);
}

}  // namespace

QString InstalledProgramFolder() {
#ifdef CANTORA_INSTALL_BINDIR
    return QStringLiteral(CANTORA_INSTALL_BINDIR);
#else
    return {};
#endif
}

bool IsWritableFolder(const QString& folder) {
    if (folder.isEmpty()) {
        return false;
    }
    const QByteArray path = QFile::encodeName(folder);
    struct stat info {};
    if (::stat(path.constData(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        return false;
    }
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        return false;
    }
    return ::access(path.constData(), W_OK) == 0;
}

FileFolders ChooseFileFolders(const QString& executableFolder) {
    // The installed folder counts as installed even for root, so that /usr/bin never fills
    // with settings files.
    if (IsWritableFolder(executableFolder) &&
        !SameFolder(executableFolder, InstalledProgramFolder())) {
        return {true, executableFolder, executableFolder};
    }
    return {false, UserFolder(QStandardPaths::GenericConfigLocation),
            UserFolder(QStandardPaths::GenericDataLocation)};
}

FileFolders ActiveFileFolders() {
    const QString program = ProgramFolder();
    if (program != ExecutableFolder() || QCoreApplication::instance() == nullptr) {
        return {true, program, program};
    }
    static const FileFolders chosen = [&program] {
        FileFolders folders = ChooseFileFolders(program);
        if (!folders.portable) {
            QDir().mkpath(folders.settings);
            QDir().mkpath(folders.data);
        }
        return folders;
    }();
    return chosen;
}

QString SettingsFolder() {
    return ActiveFileFolders().settings;
}

QString DataFolder() {
    return ActiveFileFolders().data;
}

QString FileFoldersDescription(const FileFolders& folders) {
    if (folders.portable) {
        return QStringLiteral("Files are kept beside the program, in %1")
            .arg(QDir::toNativeSeparators(folders.settings));
    }
    return QStringLiteral(
               "Settings are kept in %1\nThe dictionary and sound presets are kept in %2")
        .arg(QDir::toNativeSeparators(folders.settings), QDir::toNativeSeparators(folders.data));
}

QString FileFoldersDescription() {
    return FileFoldersDescription(ActiveFileFolders());
}

}  // namespace cantora
