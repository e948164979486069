#pragma once

// The three profile files of the program folder (settings, dictionary, sound presets) and the
// whole-file helpers that the dictionary editor shares.
//
// Files are 8-bit text. In the program's QString values every byte is one character of the same
// code (Latin-1), so any byte survives a read and a write; characters above 255 cannot be stored
// and are written as "?".

#include <QByteArray>
#include <QString>

namespace cantora {

// The folder of the executable, unless a test pointed it elsewhere. Never configurable by users.
QString ProgramFolder();
// Seam for tests: use `folder` as the program folder; an empty text goes back to the default.
void SetProgramFolder(const QString& folder);

QString SettingsFilePath();    // "Verbalyn.ini" in the program folder
QString DictionaryFilePath();  // "Verbalyn.Dic" in the program folder
QString SoundFilePath();       // "QLSounds.txt" in the program folder

// Settings file, read size 256: a blank value gives the default.
QString GetIniValue(const QString& section, const QString& key, const QString& defaultValue);
bool PutIniValue(const QString& section, const QString& key, const QString& value);
bool PutIniValue(const QString& section, const QString& key, qint64 value);

// Dictionary, read size 2560: a present but blank value gives "", a missing key the default.
QString GetDictionaryValue(const QString& section, const QString& key, const QString& defaultValue);
bool PutDictionaryValue(const QString& section, const QString& key, const QString& value);

// Sound presets, read size 256: a blank value gives the default.
QString GetSoundValue(const QString& section, const QString& key, const QString& defaultValue);
bool PutSoundValue(const QString& section, const QString& key, const QString& value);
bool PutSoundValue(const QString& section, const QString& key, qint64 value);

namespace profile {

// Whether a section name can stand in a "[name]" header line without breaking the file:
// not empty, no "]" and no line break.
bool IsValidSectionName(const QString& section);
// Whether a key name can stand before the "=" of its line: not empty after trimming, no "=",
// no line break, and not starting with "[".
bool IsValidKeyName(const QString& key);

// The profile reader: the value of (section, key) in the file at `path`, or `defaultValue`,
// cut to bufferSize - 1 characters and cleaned of blanks and NULs at both ends. Names match
// without regard to letter case; the first section and the first key of a name count.
QString ReadValue(const QString& path, const QString& section, const QString& key,
                  const QString& defaultValue, int bufferSize);

// The profile writer: sets (section, key) to `value`, changing only that one line (or adding one
// line, or a header and a line). Line breaks in the value are written as single blanks. Refuses
// invalid section or key names. Returns false when nothing was written.
bool WriteValue(const QString& path, const QString& section, const QString& key,
                const QString& value);

// Drops every cached index (the next read parses the files anew).
void ClearCache();

}  // namespace profile

// Whole-file access as 8-bit text.
bool ReadWholeFile(const QString& path, QByteArray* data, QString* error = nullptr);
// Replaces the file atomically: a temporary file beside it, then a rename. On failure the old
// file is untouched and `error` says why.
bool ReplaceFileAtomically(const QString& path, const QByteArray& data, QString* error = nullptr);

inline QString Latin1Text(const QByteArray& bytes) {
    return QString::fromLatin1(bytes);
}
inline QByteArray Latin1Bytes(const QString& text) {
    return text.toLatin1();
}

}  // namespace cantora
