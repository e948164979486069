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
};

// The name of the program's own folder inside the user's configuration and data folders.
inline constexpr char kUserFolderName[] = "cantora-utility";

// The folder the build installs the executable into (empty when unknown).
QString InstalledProgramFolder();

// Whether the program may keep its files in `folder`: it exists and may be written. A folder
// whose permissions let no one write counts as read-only even for root, who could.
bool IsWritableFolder(const QString& folder);

// The folders for an executable in `executableFolder`: that folder when it is writable and is
// not the folder the program is installed into; else the user's configuration and data folders
// followed by kUserFolderName. Creates nothing.
FileFolders ChooseFileFolders(const QString& executableFolder);

// The folders in use. A folder set through SetProgramFolder holds all three files; otherwise
// the choice for the executable's folder, made once, and an installed copy's folders are
// created on this first use.
FileFolders ActiveFileFolders();
QString SettingsFolder();
QString DataFolder();

// One or two lines saying where the files are kept, for the About box.
QString FileFoldersDescription(const FileFolders& folders);
QString FileFoldersDescription();

}  // namespace cantora
