#pragma once

// Where the settings, the dictionary and the sound presets live. A copy of the program in a
// folder it may write to keeps them beside the executable ("portable" use); an installed copy
// keeps the settings in the user's configuration folder and the dictionary and presets in the
// user's data folder. The word list for importing is always read from the current folder.

#include <QString>

namespace cantora {

struct FileFolders {
    bool portable = true;
    QString settings;  // folder of "Verbalyn.ini"
    QString data;      // folder of "Verbalyn.Dic" and "QLSounds.txt"
    // Empty, or why the settings or the dictionary cannot be kept (no folder could be made or
    // written), for the About box and a message at start.
    QString settingsProblem;
    QString dataProblem;
    QString problem() const;
};

// The user's home folder: HOME when it is an absolute path, else the one the password database
// gives this user (empty when neither is known).
QString HomeFolder();
// The user's configuration (`data` false) or data folders to try, best first, each followed by
// kUserFolderName: XDG_CONFIG_HOME / XDG_DATA_HOME when absolute (a relative value is ignored,
// as the XDG rules say), then ~/.config or ~/.local/share.
QStringList UserFolderCandidates(bool data);
// The first candidate that exists or can be made, and may be written; the first candidate and
// `problem` saying so when none can.
QString SettleUserFolder(const QStringList& candidates, const QString& what, QString* problem);
// Says once, on the error output, why files cannot be kept (nothing when they can); returns
// whether it is the first time, for the message the main window shows.
bool FirstFolderProblemNotice(const FileFolders& folders);

// The name of the program's own folder inside the user's configuration and data folders.
inline constexpr char kUserFolderName[] = "cantora-utility";

// The folder the build installs the executable into (empty when unknown).
QString InstalledProgramFolder();

// Whether the program may keep its files in `folder`: it exists and may be written. A folder
// whose permissions let no one write counts as read-only even for root, who could.
bool IsWritableFolder(const QString& folder);

// The folders for an executable in `executableFolder`: that folder when it is writable and is
// not the folder the program is installed into; else the user's configuration and data folders
// followed by kUserFolderName (the first candidates). Creates nothing.
FileFolders ChooseFileFolders(const QString& executableFolder);

// The folders in use. A folder set through SetProgramFolder holds all three files; otherwise
// the choice for the executable's folder, made once, and an installed copy's folders are
// created on this first use (a candidate that cannot be made or written gives way to the
// next).
FileFolders ActiveFileFolders();
QString SettingsFolder();
QString DataFolder();

// One or two lines saying where the files are kept, for the About box.
QString FileFoldersDescription(const FileFolders& folders);
QString FileFoldersDescription();

}  // namespace cantora
