#include "core/files/profile_cache.h"

#include <QFile>
#include <QHash>
#include <algorithm>
#include <atomic>
#include <future>
#include <mutex>

#include <sys/stat.h>
#include <time.h>

#include "core/files/profile.h"

namespace cantora::profile {

namespace {

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

}  // namespace

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

}  // namespace cantora::profile
