#include "core/files/profile_index.h"

#include <algorithm>
#include <array>

#include "core/files/profile_lines.h"

namespace cantora::profile {

namespace {

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

}  // namespace cantora::profile
