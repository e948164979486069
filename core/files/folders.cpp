#include "core/files/folders.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <pwd.h>
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

bool IsAbsolute(const QString& path) {
    return path.startsWith(u'/');
}

}  // namespace

QString HomeFolder() {
    const QString home = qEnvironmentVariable("HOME");
    if (IsAbsolute(home)) {
        return QDir::cleanPath(home);
    }
    const struct passwd* entry = ::getpwuid(::getuid());
    if (entry != nullptr && entry->pw_dir != nullptr) {
        const QString fromDatabase = QFile::decodeName(entry->pw_dir);
        if (IsAbsolute(fromDatabase)) {
            return QDir::cleanPath(fromDatabase);
        }
    }
    return {};
}

QStringList UserFolderCandidates(bool data) {
    QStringList candidates;
    const QString xdg = qEnvironmentVariable(data ? "XDG_DATA_HOME" : "XDG_CONFIG_HOME");
    if (IsAbsolute(xdg)) {
        candidates.append(QDir::cleanPath(xdg) + u'/' + QLatin1String(kUserFolderName));
    }
    const QString home = HomeFolder();
    if (!home.isEmpty()) {
        const QString fallback = QDir::cleanPath(
            home + (data ? QStringLiteral("/.local/share/") : QStringLiteral("/.config/")) +
            QLatin1String(kUserFolderName));
        if (!candidates.contains(fallback)) {
            candidates.append(fallback);
        }
    }
    return candidates;
}

QString SettleUserFolder(const QStringList& candidates, const QString& what, QString* problem) {
    for (const QString& folder : candidates) {
        if (QDir().mkpath(folder) && IsWritableFolder(folder)) {
            return folder;
        }
    }
    const QString tried = candidates.isEmpty()
                              ? QStringLiteral("no home folder is known")
                              : QStringLiteral("%1 cannot be made or written")
                                    .arg(QDir::toNativeSeparators(candidates.join(", ")));
    *problem = QStringLiteral("%1 cannot be kept: %2.").arg(what, tried);
    return candidates.value(0);
}

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
        return {true, executableFolder, executableFolder, {}, {}};
    }
    return {
        false, UserFolderCandidates(false).value(0), UserFolderCandidates(true).value(0), {}, {}};
}

FileFolders ActiveFileFolders() {
    const QString program = ProgramFolder();
    if (program != ExecutableFolder() || QCoreApplication::instance() == nullptr) {
        return {true, program, program, {}, {}};
    }
    static const FileFolders chosen = [&program] {
        FileFolders folders = ChooseFileFolders(program);
        if (!folders.portable) {
            folders.settings =
                SettleUserFolder(UserFolderCandidates(false), QStringLiteral("The settings"),
                                 &folders.settingsProblem);
            folders.data = SettleUserFolder(UserFolderCandidates(true),
                                            QStringLiteral("The dictionary and sound presets"),
                                            &folders.dataProblem);
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
    // A folder that cannot be used is not named as the place of the files.
    const QString settings = !folders.settingsProblem.isEmpty()
                                 ? folders.settingsProblem
                                 : QStringLiteral("Settings are kept in %1")
                                       .arg(QDir::toNativeSeparators(folders.settings));
    const QString data = !folders.dataProblem.isEmpty()
                             ? folders.dataProblem
                             : QStringLiteral("The dictionary and sound presets are kept in %1")
                                   .arg(QDir::toNativeSeparators(folders.data));
    return settings + u'\n' + data;
}

QString FileFolders::problem() const {
    if (settingsProblem.isEmpty() || dataProblem.isEmpty()) {
        return settingsProblem + dataProblem;
    }
    return settingsProblem + u'\n' + dataProblem;
}

bool FirstFolderProblemNotice(const FileFolders& folders) {
    static bool told = false;
    if (told || folders.problem().isEmpty()) {
        return false;
    }
    told = true;
    qWarning().noquote() << folders.problem();
    return true;
}

QString FileFoldersDescription() {
    return FileFoldersDescription(ActiveFileFolders());
}

}  // namespace cantora
