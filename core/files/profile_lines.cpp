#include "core/files/profile_lines.h"

namespace cantora {

namespace profile {

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

}  // namespace profile

qsizetype ByteOrderMarksSize(QByteArrayView data) {
    constexpr QByteArrayView kByteOrderMark("\xEF\xBB\xBF");
    qsizetype size = 0;
    while (data.sliced(size).startsWith(kByteOrderMark)) {
        size += kByteOrderMark.size();
    }
    return size;
}

}  // namespace cantora
