#pragma once

// How the profile reader and writer see a file's bytes: lines, section headers and entries.
// Shared by the index, the writer and the look-ups; not for use outside the files wing.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <cstring>

#include "core/files/latin1_case.h"
#include "core/files/profile.h"

namespace cantora::profile {

inline bool IsBlankByte(char c) {
    return c == ' ' || c == '\t';
}

inline QByteArrayView TrimBlanks(QByteArrayView bytes) {
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
inline QByteArray FoldedName(const QString& name) {
    return Latin1LowerBytes(TrimBlanks(Latin1Bytes(name)));
}

inline bool Storable(const QString& text) {
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

// A line's kind, name and value, each trimmed of blanks and tabs.
ParsedLine ParseLine(QByteArrayView text);

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

}  // namespace cantora::profile
