#pragma once

// The three profile files of the program folder (settings, dictionary, sound presets), read and
// written one key at a time.
//
// Files are 8-bit text. In the program's QString values every byte is one character of the same
// code (Latin-1), so any byte survives a read and a write. Characters above 255 cannot be stored:
// section and key names holding one are refused by the writers and never found by the readers
// (FirstUnstorableCharacter in core/files/latin1_case.h names the culprit); in values they are
// written as "?".
//
// Lines end at CR LF, LF or a lone CR. UTF-8 byte-order marks at the start of a file (a tool
// may add one to a file that has one) are skipped when reading and kept when a line is
// rewritten. Names and values are trimmed of blanks and tabs only, by the readers and the
// writers alike.

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QPair>
#include <QString>
#include <future>
#include <memory>

#include "core/files/whole_file.h"

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
// `error` (may be null) says why nothing was written.
bool PutIniValue(const QString& section, const QString& key, const QString& value,
                 QString* error = nullptr);
bool PutIniValue(const QString& section, const QString& key, qint64 value);

// The dictionary's read size, and so the longest value a dictionary look-up gives back whole.
inline constexpr int kDictionaryReadSize = 2560;
inline constexpr int kDictionaryValueLimit = kDictionaryReadSize - 1;
// Whether a dictionary value says nothing as the look-ups see it: nothing but blanks, tabs and
// NULs within what they read. The one rule of blankness for every part of the program.
bool IsBlankDictionaryValue(QStringView value);

// Dictionary, read size 2560: a present but blank value gives "", a missing key the default.
QString GetDictionaryValue(const QString& section, const QString& key, const QString& defaultValue);
bool PutDictionaryValue(const QString& section, const QString& key, const QString& value,
                        QString* error = nullptr);

// Sound presets, read size 256: a blank value gives the default.
QString GetSoundValue(const QString& section, const QString& key, const QString& defaultValue);
bool PutSoundValue(const QString& section, const QString& key, const QString& value);
bool PutSoundValue(const QString& section, const QString& key, qint64 value);
// Several keys of one section in one atomic replacement of the file (a preset is never left half
// written); each key still changes only its own line. Writes nothing when any name is invalid.
bool PutSoundValues(const QString& section, const QList<QPair<QString, QString>>& values);

namespace profile {

// Whether a section name can stand in a "[name]" header line without breaking the file:
// not empty, no "]", no line break and nothing above character 255.
bool IsValidSectionName(const QString& section);
// Whether a key name can stand before the "=" of its line: not empty after trimming blanks and
// tabs, no "=", no line break, not starting with "[" and nothing above character 255.
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
                const QString& value, QString* error = nullptr);

// Several keys of one section, in order, in ONE atomic replacement of the file. Each key changes
// only its own line (or adds one). Refuses, writing nothing, when any name is invalid.
bool WriteValues(const QString& path, const QString& section,
                 const QList<QPair<QString, QString>>& values, QString* error = nullptr);

// The reader and the writer on bytes in memory, with exactly the rules of the file versions
// (for checking the parser on arbitrary input).
QString ReadValueFromBytes(const QByteArray& data, const QString& section, const QString& key,
                           const QString& defaultValue, int bufferSize);
// `data` with (section, key) set to `value`; `ok` false (and `data` returned unchanged) for
// invalid names.
QByteArray WriteValueToBytes(const QByteArray& data, const QString& section, const QString& key,
                             const QString& value, bool* ok = nullptr);

// Drops every cached index (the next read parses the files anew).
void ClearCache();

// Reads go through an index of each file, kept while the file is unchanged. The file is checked
// (one stat) before each use, and the index is rebuilt when its size, modification time, change
// time, inode or device differ. A file changed within the last two seconds is not trusted on its
// times alone: its bytes are read and compared with the index's (coarse timestamps, restored
// modification times and reused inode numbers all leave the times unchanged).

// Builds the index of `path` ahead of its first use. Safe to call from any thread, also while
// the user-interface thread reads; pass a path computed on the user-interface thread.
void PrebuildIndex(const QString& path);
// PrebuildIndex on a worker thread. Keep the future (its destructor waits for the build).
std::future<void> PrebuildIndexAsync(const QString& path);

// While one is alive on a thread, every profile file is checked for changes once (at its first
// read) instead of at every read, so a loop of reads costs one stat per file. Writes made by this
// program end the shortcut at once (the next read checks again); changes made by other programs
// are seen by the first read after the batch ends. Batches nest; only the outermost counts.
class ReadBatch {
  public:
    ReadBatch();
    ~ReadBatch();
    ReadBatch(const ReadBatch&) = delete;
    ReadBatch& operator=(const ReadBatch&) = delete;
};

struct FileIndex;

// One consistent state of a file for a run of look-ups (honours an active ReadBatch). Values are
// views into the index's copy of the file and live as long as the snapshot.
class Snapshot {
  public:
    explicit Snapshot(const QString& path);
    ~Snapshot();
    // The trimmed value of (section, key) as it stands in the file, before any cut. Names must
    // already be trimmed and folded with Latin1LowerBytes.
    bool FindFolded(QByteArrayView section, QByteArrayView key, QByteArrayView* value) const;
    // The same in two steps, for many keys of one section: the section's number (-1 when the
    // file has none of that name), then keys within it.
    int SectionNumber(QByteArrayView foldedSection) const;
    bool FindInSection(int section, QByteArrayView foldedKey, QByteArrayView* value) const;

  private:
    std::shared_ptr<const FileIndex> index_;
};

// A value as the readers hand it out: cut to bufferSize - 1 bytes, then cleaned of blanks,
// tabs and NULs at the end and of blanks and tabs at the start.
QByteArrayView CleanValue(QByteArrayView value, int bufferSize);

// Test seam: file times are rounded down to multiples of `milliseconds` (0: as the file system
// gives them), as a file system with coarse timestamps would report them.
void SimulateCoarseTimestampsForTest(int milliseconds);

}  // namespace profile

// The length of the run of UTF-8 byte-order marks that `data` starts with (0 when none); the
// first line starts after it.
qsizetype ByteOrderMarksSize(QByteArrayView data);

}  // namespace cantora
