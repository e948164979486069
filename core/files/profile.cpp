#include "core/files/profile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "core/files/folders.h"
#include "core/files/latin1_case.h"
#include "core/files/profile_cache.h"
#include "core/files/profile_lines.h"

namespace cantora {

namespace {

using namespace profile;

QString& ProgramFolderOverride() {
    static QString folder;
    return folder;
}

QByteArray LineBreaksToBlanks(QByteArray value) {
    value.replace("\r\n", " ");
    value.replace('\r', ' ');
    value.replace('\n', ' ');
    return value;
}

// Sets (section, key) in `data`, changing only that line or adding one. Names already checked.
void ApplyWrite(QByteArray& data, const QString& section, const QString& key,
                const QString& value) {
    const QByteArray wantedSection = FoldedName(section);
    const QByteArray keyBytes = TrimBlanks(Latin1Bytes(key)).toByteArray();
    const QByteArray wantedKey = Latin1LowerBytes(keyBytes);
    const QByteArray newValue = LineBreaksToBlanks(Latin1Bytes(value));

    bool inSection = false;
    bool sectionFound = false;
    bool done = false;
    qsizetype insertAt = -1;        // after the last non-blank line of the section
    bool insertNeedsBreak = false;  // that line has no line end
    ForEachLine(data, [&](const Line& line) {
        const QByteArrayView text = QByteArrayView(data).sliced(line.start, line.length);
        const ParsedLine parsed = ParseLine(text);
        if (parsed.kind == LineKind::Section) {
            if (inSection) {
                return false;  // end of our section
            }
            if (!sectionFound && Latin1LowerBytes(parsed.name) == wantedSection) {
                inSection = true;
                sectionFound = true;
                insertAt = line.start + line.length + line.endSize;
                insertNeedsBreak = line.endSize == 0;
            }
            return true;
        }
        if (!inSection) {
            return true;
        }
        if (parsed.kind == LineKind::Entry && Latin1LowerBytes(parsed.name) == wantedKey) {
            // Only this line changes; its key keeps the spelling it has in the file.
            QByteArray replacement = parsed.name.toByteArray() + '=' + newValue;
            data.replace(line.start, line.length, replacement);
            done = true;
            return false;
        }
        if (!TrimBlanks(text).isEmpty()) {
            insertAt = line.start + line.length + line.endSize;
            insertNeedsBreak = line.endSize == 0;
        }
        return true;
    });

    if (!done) {
        const QByteArray entry = keyBytes + '=' + newValue + "\r\n";
        if (sectionFound) {
            data.insert(insertAt, insertNeedsBreak ? QByteArray("\r\n") + entry : entry);
        } else {
            if (data.size() > ByteOrderMarksSize(data) && !data.endsWith('\n') &&
                !data.endsWith('\r')) {
                data.append("\r\n");
            }
            data.append('[' + Latin1Bytes(section) + "]\r\n" + entry);
        }
    }
}

bool ValidNames(const QString& section, const QList<QPair<QString, QString>>& values) {
    if (!profile::IsValidSectionName(section)) {
        return false;
    }
    for (const auto& pair : values) {
        if (!profile::IsValidKeyName(pair.first)) {
            return false;
        }
    }
    return true;
}

QString ReadWithBlankRule(const QString& path, const QString& section, const QString& key,
                          const QString& defaultValue, int bufferSize, bool blankGivesDefault) {
    const QString value = profile::ReadValue(path, section, key, defaultValue, bufferSize);
    // The reader has already trimmed blanks and tabs, so blank means empty here.
    if (blankGivesDefault && value.isEmpty()) {
        return defaultValue;
    }
    return value;
}

}  // namespace

QString ProgramFolder() {
    if (!ProgramFolderOverride().isEmpty()) {
        return ProgramFolderOverride();
    }
    const QString folder = QCoreApplication::applicationDirPath();
    return folder.isEmpty() ? QDir::currentPath() : folder;
}

void SetProgramFolder(const QString& folder) {
    ProgramFolderOverride() = folder;
    profile::ClearCache();
}

QString SettingsFilePath() {
    return SettingsFolder() + QStringLiteral("/Verbalyn.ini");
}
QString DictionaryFilePath() {
    return DataFolder() + QStringLiteral("/Verbalyn.Dic");
}
QString SoundFilePath() {
    return DataFolder() + QStringLiteral("/QLSounds.txt");
}

QString GetIniValue(const QString& section, const QString& key, const QString& defaultValue) {
    return ReadWithBlankRule(SettingsFilePath(), section, key, defaultValue, 256, true);
}

bool PutIniValue(const QString& section, const QString& key, const QString& value, QString* error) {
    return profile::WriteValue(SettingsFilePath(), section, key, value, error);
}

bool PutIniValue(const QString& section, const QString& key, qint64 value) {
    return PutIniValue(section, key, QString::number(value));
}

QString GetDictionaryValue(const QString& section, const QString& key,
                           const QString& defaultValue) {
    return ReadWithBlankRule(DictionaryFilePath(), section, key, defaultValue, kDictionaryReadSize,
                             false);
}

bool IsBlankDictionaryValue(QStringView value) {
    const QByteArray bytes = Latin1Bytes(value.left(kDictionaryReadSize).toString());
    return profile::CleanValue(bytes, kDictionaryReadSize).isEmpty();
}

bool PutDictionaryValue(const QString& section, const QString& key, const QString& value,
                        QString* error) {
    return profile::WriteValue(DictionaryFilePath(), section, key, value, error);
}

QString GetSoundValue(const QString& section, const QString& key, const QString& defaultValue) {
    return ReadWithBlankRule(SoundFilePath(), section, key, defaultValue, 256, true);
}

bool PutSoundValue(const QString& section, const QString& key, const QString& value) {
    return profile::WriteValue(SoundFilePath(), section, key, value);
}

bool PutSoundValue(const QString& section, const QString& key, qint64 value) {
    return PutSoundValue(section, key, QString::number(value));
}

bool PutSoundValues(const QString& section, const QList<QPair<QString, QString>>& values) {
    return profile::WriteValues(SoundFilePath(), section, values);
}

namespace profile {

bool IsValidSectionName(const QString& section) {
    return !section.isEmpty() && !section.contains(u']') && !section.contains(u'\n') &&
           !section.contains(u'\r') && Storable(section);
}

bool IsValidKeyName(const QString& key) {
    if (!Storable(key)) {
        return false;
    }
    const QByteArray bytes = Latin1Bytes(key);  // the view below must not outlive it
    const QByteArrayView trimmed = TrimBlanks(bytes);
    return !trimmed.isEmpty() && !key.contains(u'=') && !key.contains(u'\n') &&
           !key.contains(u'\r') && !trimmed.startsWith('[');
}

QByteArrayView CleanValue(QByteArrayView value, int bufferSize) {
    // The old reader copied at most bufferSize - 1 characters; callers rely on that cut.
    if (bufferSize > 0 && value.size() > bufferSize - 1) {
        value.truncate(bufferSize - 1);
    }
    QByteArrayView text = TrimBlanks(value);
    while (!text.isEmpty() && (text.back() == '\0' || IsBlankByte(text.back()))) {
        text.chop(1);
        text = TrimBlanks(text);
    }
    return text;
}

namespace {

QString LookUp(const FileIndex& index, const QString& section, const QString& key,
               const QString& defaultValue, int bufferSize) {
    const QByteArray fallback = Latin1Bytes(defaultValue);
    QByteArrayView value = fallback;
    // A name the file cannot hold is in no file (it would otherwise be read as "?").
    if (Storable(section) && Storable(key)) {
        index.Find(FoldedName(section), FoldedName(key), &value);
    }
    return Latin1Text(CleanValue(value, bufferSize).toByteArray());
}

}  // namespace

QString ReadValue(const QString& path, const QString& section, const QString& key,
                  const QString& defaultValue, int bufferSize) {
    const auto index = IndexFor(path);
    return LookUp(*index, section, key, defaultValue, bufferSize);
}

QString ReadValueFromBytes(const QByteArray& data, const QString& section, const QString& key,
                           const QString& defaultValue, int bufferSize) {
    FileIndex index;
    index.Build(data);
    return LookUp(index, section, key, defaultValue, bufferSize);
}

QByteArray WriteValueToBytes(const QByteArray& data, const QString& section, const QString& key,
                             const QString& value, bool* ok) {
    const bool valid = IsValidSectionName(section) && IsValidKeyName(key);
    if (ok) {
        *ok = valid;
    }
    QByteArray result = data;
    if (valid) {
        ApplyWrite(result, section, key, value);
    }
    return result;
}

bool WriteValue(const QString& path, const QString& section, const QString& key,
                const QString& value, QString* error) {
    return WriteValues(path, section, {{key, value}}, error);
}

bool WriteValues(const QString& path, const QString& section,
                 const QList<QPair<QString, QString>>& values, QString* error) {
    if (!ValidNames(section, values)) {
        if (error) {
            *error = QStringLiteral("The name cannot stand in a profile file.");
        }
        return false;
    }
    QByteArray data;
    if (QFileInfo::exists(path) && !ReadWholeFile(path, &data, error)) {
        return false;  // never replace a file we could not read
    }
    for (const auto& pair : values) {
        ApplyWrite(data, section, pair.first, pair.second);
    }
    return ReplaceFileAtomically(path, data, error);
}

}  // namespace profile

}  // namespace cantora
