#include "core/codes/code_text.h"

#include "core/codes/code_table.h"
#include "core/files/latin1_case.h"
#include "core/codes/lenient_numbers.h"

namespace cantora {

namespace {

bool IsTokenChar(QChar c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'#';
}

}  // namespace

QString NormalizeCodeText(const QString& text) {
    const QString upper = Latin1Upper(text);
    QString collapsed;
    collapsed.reserve(upper.size());
    for (QChar c : upper) {
        if (IsTokenChar(c)) {
            collapsed.append(c);
        } else if (collapsed.isEmpty() || collapsed.back() != u'\\') {
            collapsed.append(u'\\');
        }
    }
    if (collapsed.endsWith(u'\\')) {
        collapsed.chop(1);
    }
    QString result;
    result.reserve(collapsed.size() * 2);
    for (QChar c : collapsed) {
        if (c == u'\\') {
            result.append(u' ');
        }
        result.append(c);
    }
    return result;
}

QByteArray CodeTextToBytes(const QString& text) {
    QByteArray result;
    QString s = NormalizeCodeText(text).trimmed();
    qsizetype pos = 0;
    while (pos < s.size()) {
        qsizetype next = s.indexOf(u'\\', pos + 1);
        if (next < 0) {
            next = s.size();
        }
        const QString token = Latin1Upper(s.mid(pos, next - pos).trimmed());
        pos = next;
        while (pos < s.size() && s[pos] == u' ') {
            ++pos;
        }
        // A first token without a backslash is never a code, even when it ends in digits.
        if (token.isEmpty() || token.front() != u'\\') {
            continue;
        }
        if (token == u"\\0") {
            result.append('\0');
            continue;
        }
        const double number = LeadingNumber(token.mid(1));
        if (number > 0) {
            // A number without a byte (above 255) is skipped; the rest still converts.
            if (number <= 255) {
                result.append(static_cast<char>(static_cast<int>(number)));
            }
            continue;
        }
        const int code = GetCodeNumber(token);
        if (code >= 0 && code <= 255) {
            result.append(static_cast<char>(code));
        } else if (code >= 256 && code < kUnknownCode) {
            result.append(static_cast<char>(22));
            result.append(static_cast<char>(GetNotePitch(code)));
        }
    }
    return result;
}

}  // namespace cantora
