#pragma once

// The index of one profile file: the file's bytes and one open-addressing table of offsets into
// them, so a look-up costs a hash and a compare whatever the file's size.

#include <QByteArray>
#include <QByteArrayView>
#include <vector>

namespace cantora::profile {

inline constexpr quint32 kFreeSlot = 0xFFFFFFFFu;
inline constexpr quint32 kSectionSlot = 0xFFFFFFFEu;

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

}  // namespace cantora::profile
