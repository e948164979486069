#include "core/profile.h"

#include "core/file_folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <array>

#include <sys/stat.h>

namespace cantora {

namespace {

QString& ProgramFolderOverride() {
    static QString folder;
    return folder;
}

// Letter case folding of single bytes read as Latin-1.
const std::array<char, 256>& FoldTable() {
    static const std::array<char, 256> table = [] {
        std::array<char, 256> t{};
        for (int i = 0; i < 256; ++i) {
            const QChar lower = QChar(static_cast<char16_t>(i)).toLower();
            t[i] = static_cast<char>(lower.unicode() < 256 ? lower.unicode() : i);
        }
        return t;
    }();
    return table;
}

QByteArray Fold(QByteArrayView bytes) {
    const auto& table = FoldTable();
    QByteArray result(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        result[i] = table[static_cast<unsigned char>(bytes[i])];
    }
    return result;
}

bool IsBlankByte(char c) {
    return c == ' ' || c == '\t';
}

QByteArrayView TrimBlanks(QByteArrayView bytes) {
    qsizetype begin = 0;
    qsizetype end = bytes.size();
    while (begin < end && IsBlankByte(bytes[begin])) {
        ++begin;
    }
    while (end > begin && IsBlankByte(bytes[end - 1])) {
        --end;
    }
    return bytes.sliced(begin, end - begin);
}

// One line of a profile file as found in the file's bytes.
struct Line {
    qsizetype start = 0;    // first byte of the line
    qsizetype length = 0;   // bytes of the line without its line end
    qsizetype endSize = 0;  // 0 (last line without line end), 1 (LF) or 2 (CR LF)
};

enum class LineKind { Other, Section, Entry };

struct ParsedLine {
    LineKind kind = LineKind::Other;
    QByteArrayView name;   // section name or key, trimmed
    QByteArrayView value;  // value, trimmed
};

ParsedLine ParseLine(QByteArrayView text) {
    ParsedLine parsed;
    const QByteArrayView trimmed = TrimBlanks(text);
    if (trimmed.startsWith('[')) {
        parsed.kind = LineKind::Section;
        qsizetype close = trimmed.indexOf(']');
        if (close < 0) {
            close = trimmed.size();
        }
        parsed.name = TrimBlanks(trimmed.sliced(1, close - 1));
        return parsed;
    }
    const qsizetype equals = trimmed.indexOf('=');
    if (equals >= 0) {
        parsed.kind = LineKind::Entry;
        parsed.name = TrimBlanks(trimmed.first(equals));
        parsed.value = TrimBlanks(trimmed.sliced(equals + 1));
    }
    return parsed;
}

template <typename Visit>
void ForEachLine(const QByteArray& data, Visit visit) {
    qsizetype pos = 0;
    const qsizetype size = data.size();
    while (pos < size) {
        qsizetype lf = data.indexOf('\n', pos);
        Line line;
        line.start = pos;
        if (lf < 0) {
            line.length = size - pos;
            line.endSize = 0;
            pos = size;
        } else {
            line.length = lf - pos;
            line.endSize = 1;
            if (line.length > 0 && data[lf - 1] == '\r') {
                --line.length;
                line.endSize = 2;
            }
            pos = lf + 1;
        }
        if (!visit(line)) {
            return;
        }
    }
}

// The identity of a file's current content as far as the file system tells: a change of any
// of these means the file must be read again.
struct FileSignature {
    bool exists = false;
    qint64 size = 0;
    qint64 mtimeSec = 0;
    qint64 mtimeNsec = 0;
    quint64 inode = 0;
    quint64 device = 0;
    bool operator==(const FileSignature&) const = default;
};

FileSignature SignatureOf(const QString& path) {
    FileSignature signature;
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) == 0 && S_ISREG(info.st_mode)) {
        signature.exists = true;
        signature.size = info.st_size;
        signature.mtimeSec = info.st_mtim.tv_sec;
        signature.mtimeNsec = info.st_mtim.tv_nsec;
        signature.inode = info.st_ino;
        signature.device = info.st_dev;
    }
    return signature;
}

// Every value of a file by folded section and key; the first section and key of a name win.
struct FileIndex {
    FileSignature signature;
    QHash<QByteArray, QHash<QByteArray, QByteArray>> sections;
};

QHash<QString, FileIndex>& IndexCache() {
    static QHash<QString, FileIndex> cache;
    return cache;
}

void BuildIndex(const QByteArray& data, FileIndex* index) {
    index->sections.clear();
    QHash<QByteArray, QByteArray>* current = nullptr;
    QSet<QByteArray> seenSections;
    ForEachLine(data, [&](const Line& line) {
        const ParsedLine parsed = ParseLine(QByteArrayView(data).sliced(line.start, line.length));
        if (parsed.kind == LineKind::Section) {
            const QByteArray name = Fold(parsed.name);
            if (seenSections.contains(name)) {
                current = nullptr;  // a repeated section is never looked at
            } else {
                seenSections.insert(name);
                current = &index->sections[name];
            }
        } else if (parsed.kind == LineKind::Entry && current != nullptr) {
            const QByteArray key = Fold(parsed.name);
            if (!key.isEmpty() && !current->contains(key)) {
                current->insert(key, parsed.value.toByteArray());
            }
        }
        return true;
    });
}

const FileIndex& IndexFor(const QString& path) {
    FileIndex& index = IndexCache()[path];
    const FileSignature now = SignatureOf(path);
    if (!(now == index.signature) || (!now.exists && !index.sections.isEmpty())) {
        index.signature = now;
        QByteArray data;
        if (now.exists && ReadWholeFile(path, &data)) {
            BuildIndex(data, &index);
        } else {
            index.sections.clear();
        }
    }
    return index;
}

QByteArray LineBreaksToBlanks(QByteArray value) {
    value.replace("\r\n", " ");
    value.replace('\r', ' ');
    value.replace('\n', ' ');
    return value;
}

QString ReadWithBlankRule(const QString& path, const QString& section, const QString& key,
                          const QString& defaultValue, int bufferSize, bool blankGivesDefault) {
    const QString value = profile::ReadValue(path, section, key, defaultValue, bufferSize);
    if (blankGivesDefault && value.trimmed().isEmpty()) {
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

bool PutIniValue(const QString& section, const QString& key, const QString& value) {
    return profile::WriteValue(SettingsFilePath(), section, key, value);
}

bool PutIniValue(const QString& section, const QString& key, qint64 value) {
    return PutIniValue(section, key, QString::number(value));
}

QString GetDictionaryValue(const QString& section, const QString& key,
                           const QString& defaultValue) {
    return ReadWithBlankRule(DictionaryFilePath(), section, key, defaultValue, 2560, false);
}

bool PutDictionaryValue(const QString& section, const QString& key, const QString& value) {
    return profile::WriteValue(DictionaryFilePath(), section, key, value);
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

namespace profile {

bool IsValidSectionName(const QString& section) {
    return !section.isEmpty() && !section.contains(u']') && !section.contains(u'\n') &&
           !section.contains(u'\r');
}

bool IsValidKeyName(const QString& key) {
    const QString trimmed = key.trimmed();
    return !trimmed.isEmpty() && !key.contains(u'=') && !key.contains(u'\n') &&
           !key.contains(u'\r') && !trimmed.startsWith(u'[');
}

QString ReadValue(const QString& path, const QString& section, const QString& key,
                  const QString& defaultValue, int bufferSize) {
    QByteArray value = Latin1Bytes(defaultValue);
    const FileIndex& index = IndexFor(path);
    const auto sectionIt = index.sections.constFind(Fold(TrimBlanks(Latin1Bytes(section))));
    if (sectionIt != index.sections.constEnd()) {
        const auto keyIt = sectionIt->constFind(Fold(TrimBlanks(Latin1Bytes(key))));
        if (keyIt != sectionIt->constEnd()) {
            value = *keyIt;
        }
    }
    // The old reader copied at most bufferSize - 1 characters; callers rely on that cut.
    if (bufferSize > 0 && value.size() > bufferSize - 1) {
        value.truncate(bufferSize - 1);
    }
    QByteArrayView text = TrimBlanks(value);
    while (!text.isEmpty() && (text.back() == '\0' || IsBlankByte(text.back()))) {
        text.chop(1);
        text = TrimBlanks(text);
    }
    return Latin1Text(text.toByteArray());
}

bool WriteValue(const QString& path, const QString& section, const QString& key,
                const QString& value) {
    if (!IsValidSectionName(section) || !IsValidKeyName(key)) {
        return false;
    }
    QByteArray data;
    if (QFileInfo::exists(path) && !ReadWholeFile(path, &data)) {
        return false;  // never replace a file we could not read
    }
    const QByteArray wantedSection = Fold(TrimBlanks(Latin1Bytes(section)));
    const QByteArray wantedKey = Fold(TrimBlanks(Latin1Bytes(key)));
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
            if (!sectionFound && Fold(parsed.name) == wantedSection) {
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
        if (parsed.kind == LineKind::Entry && Fold(parsed.name) == wantedKey) {
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
        const QByteArray entry = Latin1Bytes(key.trimmed()) + '=' + newValue + "\r\n";
        if (sectionFound) {
            data.insert(insertAt, insertNeedsBreak ? QByteArray("\r\n") + entry : entry);
        } else {
            if (!data.isEmpty() && !data.endsWith('\n')) {
                data.append("\r\n");
            }
            data.append('[' + Latin1Bytes(section) + "]\r\n" + entry);
        }
    }
    const bool written = ReplaceFileAtomically(path, data);
    IndexCache().remove(path);
    return written;
}

void ClearCache() {
    IndexCache().clear();
}

}  // namespace profile

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
    IndexCache().remove(path);
    return true;
}

}  // namespace cantora
