#include "core/files/profile.h"

#include "core/files/folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <mutex>
#include <vector>

#include <sys/stat.h>
#include <time.h>

#include "core/files/latin1_case.h"

namespace cantora {

namespace {

QString& ProgramFolderOverride() {
    static QString folder;
    return folder;
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

// A name as the index compares it: trimmed of blanks and tabs, folded to lower case.
QByteArray FoldedName(const QString& name) {
    return Latin1LowerBytes(TrimBlanks(Latin1Bytes(name)));
}

bool Storable(const QString& text) {
    return FirstUnstorableCharacter(text).isEmpty();
}

// One line of a profile file as found in the file's bytes.
struct Line {
    qsizetype start = 0;    // first byte of the line
    qsizetype length = 0;   // bytes of the line without its line end
    qsizetype endSize = 0;  // 0 (last line without line end), 1 (LF or lone CR) or 2 (CR LF)
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

// Lines end at CR LF, LF or a lone CR; byte-order marks before the first line are no part of it.
template <typename Visit>
void ForEachLine(QByteArrayView data, Visit visit) {
    qsizetype pos = ByteOrderMarksSize(data);
    const char* bytes = data.data();
    const qsizetype size = data.size();
    while (pos < size) {
        // The next LF, then a CR before it (usually right before it, as CR LF).
        const void* lf = std::memchr(bytes + pos, '\n', static_cast<size_t>(size - pos));
        qsizetype end = lf ? static_cast<const char*>(lf) - bytes : size;
        const void* cr = std::memchr(bytes + pos, '\r', static_cast<size_t>(end - pos));
        if (cr) {
            end = static_cast<const char*>(cr) - bytes;
        }
        Line line;
        line.start = pos;
        line.length = end - pos;
        if (end == size) {
            line.endSize = 0;
        } else if (bytes[end] == '\r' && end + 1 < size && bytes[end + 1] == '\n') {
            line.endSize = 2;
        } else {
            line.endSize = 1;
        }
        pos = end + line.endSize;
        if (!visit(line)) {
            return;
        }
    }
}

// ---- The index: the file's bytes and one open-addressing table of offsets into them.

constexpr quint32 kFreeSlot = 0xFFFFFFFFu;
constexpr quint32 kSectionSlot = 0xFFFFFFFEu;

const std::array<unsigned char, 256>& LowerTable() {
    static const std::array<unsigned char, 256> table = [] {
        std::array<unsigned char, 256> t{};
        for (int i = 0; i < 256; ++i) {
            t[i] = static_cast<unsigned char>(Latin1LowerByte(static_cast<char>(i)));
        }
        return t;
    }();
    return table;
}

// Hash of a folded name, seeded with its section (or the section mark for section names).
quint32 HashFolded(QByteArrayView folded, quint32 seed) {
    quint64 h = 0x9E3779B97F4A7C15ull ^ (static_cast<quint64>(seed) * 0xC2B2AE3D27D4EB4Full);
    for (char c : folded) {
        h = (h ^ static_cast<unsigned char>(c)) * 0x100000001B3ull;
    }
    h ^= h >> 29;
    h *= 0xBF58476D1CE4E5B9ull;
    h ^= h >> 32;
    return static_cast<quint32>(h);
}

// Hash of raw file bytes as if folded first.
quint32 HashRaw(QByteArrayView raw, quint32 seed) {
    const auto& lower = LowerTable();
    quint64 h = 0x9E3779B97F4A7C15ull ^ (static_cast<quint64>(seed) * 0xC2B2AE3D27D4EB4Full);
    for (char c : raw) {
        h = (h ^ lower[static_cast<unsigned char>(c)]) * 0x100000001B3ull;
    }
    h ^= h >> 29;
    h *= 0xBF58476D1CE4E5B9ull;
    h ^= h >> 32;
    return static_cast<quint32>(h);
}

bool RawEqualsFolded(const char* raw, quint32 length, QByteArrayView folded) {
    if (length != folded.size()) {
        return false;
    }
    const auto& lower = LowerTable();
    for (quint32 i = 0; i < length; ++i) {
        if (static_cast<char>(lower[static_cast<unsigned char>(raw[i])]) != folded[i]) {
            return false;
        }
    }
    return true;
}

bool RawEqualsRaw(const char* a, const char* b, quint32 length) {
    const auto& lower = LowerTable();
    for (quint32 i = 0; i < length; ++i) {
        if (lower[static_cast<unsigned char>(a[i])] != lower[static_cast<unsigned char>(b[i])]) {
            return false;
        }
    }
    return true;
}

}  // namespace

namespace profile {

// A section header or an entry: where its name and value stand in the file's bytes.
struct Record {
    quint32 nameOffset = 0;
    quint32 nameLength = 0;
    quint32 valueOffset = 0;
    quint32 valueLength = 0;      // for a section header: the section's number
    quint32 section = kFreeSlot;  // the entry's section number, kSectionSlot for a header
};

// One place of the open-addressing table: the hash of a record's folded name and the record
// itself (a look-up touches the table and the file's bytes, nothing else).
struct Slot {
    quint32 hash = 0;
    Record record;  // section kFreeSlot: a free place
};

// Every value of a file by folded section and key; the first section and key of a name win.
// Two heap blocks (the bytes and the table) whatever the number of entries.
struct FileIndex {
    QByteArray data;
    std::vector<Slot> table;
    quint32 mask = 0;
    size_t used = 0;

    void Build(QByteArray bytes);
    bool Find(QByteArrayView foldedSection, QByteArrayView foldedKey, QByteArrayView* value) const;
    int SectionNumber(QByteArrayView foldedSection) const;
    bool FindInSection(int section, QByteArrayView foldedKey, QByteArrayView* value) const;

  private:
    const Record* FindRecord(QByteArrayView folded, quint32 section) const;
    // Adds the record unless one of the same section and name is there; false when it was.
    bool Insert(const Record& record, quint32 hash);
    void Grow();
};

void FileIndex::Grow() {
    std::vector<Slot> old = std::move(table);
    const size_t capacity = old.empty() ? 64 : old.size() * 2;
    table.assign(capacity, Slot{});
    mask = static_cast<quint32>(capacity - 1);
    for (const Slot& slot : old) {
        if (slot.record.section != kFreeSlot) {
            quint32 at = slot.hash & mask;
            while (table[at].record.section != kFreeSlot) {
                at = (at + 1) & mask;
            }
            table[at] = slot;
        }
    }
}

bool FileIndex::Insert(const Record& record, quint32 hash) {
    if ((used + 1) * 2 > table.size()) {
        Grow();
    }
    const char* bytes = data.constData();
    quint32 at = hash & mask;
    while (table[at].record.section != kFreeSlot) {
        const Slot& slot = table[at];
        if (slot.hash == hash) {
            const Record& other = slot.record;
            if (other.section == record.section && other.nameLength == record.nameLength &&
                RawEqualsRaw(bytes + other.nameOffset, bytes + record.nameOffset,
                             record.nameLength)) {
                return false;
            }
        }
        at = (at + 1) & mask;
    }
    table[at] = Slot{hash, record};
    ++used;
    return true;
}

void FileIndex::Build(QByteArray bytes) {
    data = std::move(bytes);
    used = 0;
    // Size the table for one entry per line ending in LF (lone CRs are rare; it grows for them).
    const qsizetype lines = std::count(data.cbegin(), data.cend(), '\n') + 1;
    size_t capacity = 64;
    while (capacity < static_cast<size_t>(lines) * 2) {
        capacity *= 2;
    }
    table.assign(capacity, Slot{});
    mask = static_cast<quint32>(capacity - 1);

    // Offsets are 32-bit: lines beyond the first 4 GiB are not indexed.
    constexpr qsizetype kLimit = 0xFFFFFFF0;
    const QByteArrayView view(data);
    quint32 sections = 0;
    quint32 current = kFreeSlot;  // no section yet, or a repeated one

    // Entries wait in a short queue, in file order, while the table place each will probe is
    // fetched into the cache: a large table is otherwise one memory stall per entry.
    constexpr size_t kAhead = 16;
    std::array<std::pair<Record, quint32>, kAhead> queue;
    size_t head = 0;
    size_t queued = 0;
    auto insertOldest = [&] {
        Insert(queue[head].first, queue[head].second);
        head = (head + 1) % kAhead;
        --queued;
    };

    ForEachLine(view, [&](const Line& line) {
        if (line.start + line.length > kLimit) {
            return false;
        }
        const ParsedLine parsed = ParseLine(view.sliced(line.start, line.length));
        if (parsed.kind == LineKind::Section) {
            while (queued > 0) {
                insertOldest();  // the entries before the header belong to the section before
            }
            Record record;
            record.section = kSectionSlot;
            record.nameOffset = static_cast<quint32>(parsed.name.data() - view.data());
            record.nameLength = static_cast<quint32>(parsed.name.size());
            record.valueLength = sections;
            // A repeated section is never looked at.
            current = Insert(record, HashRaw(parsed.name, kSectionSlot)) ? sections++ : kFreeSlot;
        } else if (parsed.kind == LineKind::Entry && current != kFreeSlot &&
                   !parsed.name.isEmpty()) {
            if (queued == kAhead) {
                insertOldest();
            }
            Record record;
            record.section = current;
            record.nameOffset = static_cast<quint32>(parsed.name.data() - view.data());
            record.nameLength = static_cast<quint32>(parsed.name.size());
            record.valueOffset = static_cast<quint32>(parsed.value.data() - view.data());
            record.valueLength = static_cast<quint32>(parsed.value.size());
            const quint32 hash = HashRaw(parsed.name, current);
            __builtin_prefetch(&table[hash & mask]);
            queue[(head + queued) % kAhead] = {record, hash};
            ++queued;
        }
        return true;
    });
    while (queued > 0) {
        insertOldest();
    }
}

const Record* FileIndex::FindRecord(QByteArrayView folded, quint32 section) const {
    if (table.empty()) {
        return nullptr;
    }
    const char* bytes = data.constData();
    const quint32 hash = HashFolded(folded, section);
    for (quint32 at = hash & mask; table[at].record.section != kFreeSlot; at = (at + 1) & mask) {
        if (table[at].hash == hash) {
            const Record& record = table[at].record;
            if (record.section == section &&
                RawEqualsFolded(bytes + record.nameOffset, record.nameLength, folded)) {
                return &record;
            }
        }
    }
    return nullptr;
}

int FileIndex::SectionNumber(QByteArrayView foldedSection) const {
    const Record* header = FindRecord(foldedSection, kSectionSlot);
    return header ? static_cast<int>(header->valueLength) : -1;
}

bool FileIndex::FindInSection(int section, QByteArrayView foldedKey, QByteArrayView* value) const {
    if (section < 0) {
        return false;
    }
    const Record* entry = FindRecord(foldedKey, static_cast<quint32>(section));
    if (entry == nullptr) {
        return false;
    }
    *value = QByteArrayView(data.constData() + entry->valueOffset, entry->valueLength);
    return true;
}

bool FileIndex::Find(QByteArrayView foldedSection, QByteArrayView foldedKey,
                     QByteArrayView* value) const {
    return FindInSection(SectionNumber(foldedSection), foldedKey, value);
}

}  // namespace profile

namespace {

using profile::FileIndex;

// ---- When an index may be trusted.

// A change within this long before a check may share its time stamps with a later change (file
// systems with coarse timestamps keep one or two seconds).
constexpr qint64 kTrustAfterNs = 2'000'000'000;

std::atomic<qint64> g_coarseTimestampsNs{0};

// The identity of a file's current content as far as the file system tells: a change of any of
// these means the file must be read again.
struct FileSignature {
    bool exists = false;
    qint64 size = 0;
    qint64 mtimeNs = 0;
    qint64 ctimeNs = 0;  // set by every change of content or times; no program can set it back
    quint64 inode = 0;
    quint64 device = 0;
    bool operator==(const FileSignature&) const = default;
};

qint64 RoundedTime(const struct timespec& time) {
    const qint64 ns = static_cast<qint64>(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
    const qint64 coarse = g_coarseTimestampsNs.load();
    return coarse > 0 ? ns - ((ns % coarse) + coarse) % coarse : ns;
}

FileSignature SignatureOf(const QString& path) {
    FileSignature signature;
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) == 0 && S_ISREG(info.st_mode)) {
        signature.exists = true;
        signature.size = info.st_size;
        signature.mtimeNs = RoundedTime(info.st_mtim);
        signature.ctimeNs = RoundedTime(info.st_ctim);
        signature.inode = info.st_ino;
        signature.device = info.st_dev;
    }
    return signature;
}

qint64 NowNs() {
    struct timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<qint64>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

struct CacheEntry {
    std::mutex mutex;  // one file is checked and built by one thread at a time
    std::shared_ptr<const FileIndex> index;
    FileSignature signature;
    bool trusted = false;  // read when its times were older than kTrustAfterNs
};

struct Cache {
    std::mutex mutex;  // guards the map only: building one file's index never blocks another's
    QHash<QString, std::shared_ptr<CacheEntry>> entries;
    std::atomic<quint64> generation{0};  // counts writes and clears made by this program
};

Cache& TheCache() {
    static Cache cache;
    return cache;
}

const std::shared_ptr<const FileIndex>& EmptyIndex() {
    static const std::shared_ptr<const FileIndex> empty = std::make_shared<FileIndex>();
    return empty;
}

// The current index of `path`, checked against the file.
std::shared_ptr<const FileIndex> CheckedIndex(const QString& path) {
    std::shared_ptr<CacheEntry> held;
    {
        Cache& cache = TheCache();
        std::lock_guard lock(cache.mutex);
        auto& slot = cache.entries[path];
        if (!slot) {
            slot = std::make_shared<CacheEntry>();
        }
        held = slot;
    }
    CacheEntry& entry = *held;
    std::lock_guard lock(entry.mutex);
    const qint64 checkedAt = NowNs();
    FileSignature now = SignatureOf(path);
    if (entry.index && entry.trusted && now == entry.signature) {
        return entry.index;
    }
    if (!now.exists) {
        // A missing file has no times to be fooled by: its appearance changes the signature.
        entry.index = EmptyIndex();
        entry.signature = now;
        entry.trusted = true;
        return entry.index;
    }
    QByteArray bytes;
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (!ReadWholeFile(path, &bytes)) {
            bytes.clear();
        }
        const FileSignature after = SignatureOf(path);
        if (after == now) {
            break;  // nothing changed while reading
        }
        now = after;
    }
    const bool trusted = std::max(now.mtimeNs, now.ctimeNs) < checkedAt - kTrustAfterNs;
    if (!(entry.index && entry.index->data == bytes)) {
        auto index = std::make_shared<FileIndex>();
        index->Build(std::move(bytes));
        entry.index = std::move(index);  // the old one goes once no snapshot holds it
    }
    entry.signature = now;
    entry.trusted = trusted;
    return entry.index;
}

// The indexes a read batch holds on this thread.
struct BatchState {
    int depth = 0;
    quint64 generation = 0;
    QHash<QString, std::shared_ptr<const FileIndex>> held;
};

thread_local BatchState t_batch;

std::shared_ptr<const FileIndex> IndexFor(const QString& path) {
    if (t_batch.depth == 0) {
        return CheckedIndex(path);
    }
    const quint64 generation = TheCache().generation.load();
    if (generation != t_batch.generation) {
        t_batch.held.clear();  // this program wrote a file since: check again
        t_batch.generation = generation;
    }
    auto it = t_batch.held.constFind(path);
    if (it != t_batch.held.constEnd()) {
        return *it;
    }
    auto index = CheckedIndex(path);
    t_batch.held.insert(path, index);
    return index;
}

void ForgetIndex(const QString& path) {
    Cache& cache = TheCache();
    std::lock_guard lock(cache.mutex);
    cache.entries.remove(path);
    ++cache.generation;
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
                const QString& value) {
    return WriteValues(path, section, {{key, value}});
}

bool WriteValues(const QString& path, const QString& section,
                 const QList<QPair<QString, QString>>& values) {
    if (!ValidNames(section, values)) {
        return false;
    }
    QByteArray data;
    if (QFileInfo::exists(path) && !ReadWholeFile(path, &data)) {
        return false;  // never replace a file we could not read
    }
    for (const auto& pair : values) {
        ApplyWrite(data, section, pair.first, pair.second);
    }
    return ReplaceFileAtomically(path, data);
}

void ClearCache() {
    Cache& cache = TheCache();
    std::lock_guard lock(cache.mutex);
    cache.entries.clear();
    ++cache.generation;
}

void PrebuildIndex(const QString& path) {
    CheckedIndex(path);
}

std::future<void> PrebuildIndexAsync(const QString& path) {
    return std::async(std::launch::async, [path] { PrebuildIndex(path); });
}

ReadBatch::ReadBatch() {
    ++t_batch.depth;
}

ReadBatch::~ReadBatch() {
    if (--t_batch.depth == 0) {
        t_batch.held.clear();
    }
}

Snapshot::Snapshot(const QString& path) : index_(IndexFor(path)) {}

Snapshot::~Snapshot() = default;

bool Snapshot::FindFolded(QByteArrayView section, QByteArrayView key, QByteArrayView* value) const {
    return index_->Find(section, key, value);
}

int Snapshot::SectionNumber(QByteArrayView foldedSection) const {
    return index_->SectionNumber(foldedSection);
}

bool Snapshot::FindInSection(int section, QByteArrayView foldedKey, QByteArrayView* value) const {
    return index_->FindInSection(section, foldedKey, value);
}

void SimulateCoarseTimestampsForTest(int milliseconds) {
    g_coarseTimestampsNs = static_cast<qint64>(std::max(milliseconds, 0)) * 1'000'000;
    ClearCache();
}

}  // namespace profile

qsizetype ByteOrderMarksSize(QByteArrayView data) {
    constexpr QByteArrayView kByteOrderMark("\xEF\xBB\xBF");
    qsizetype size = 0;
    while (data.sliced(size).startsWith(kByteOrderMark)) {
        size += kByteOrderMark.size();
    }
    return size;
}

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
    ForgetIndex(path);
    return true;
}

}  // namespace cantora
