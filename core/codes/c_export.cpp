#include "core/codes/c_export.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>

namespace cantora {

namespace {

constexpr int kCodesPerLine = 16;
constexpr int kMaxNameLength = 63;  // what every C compiler tells apart

const QSet<QString>& CKeywords() {
    static const QSet<QString> keywords = {
        "auto",     "bool",    "break",     "case",      "char",          "const",
        "continue", "default", "do",        "double",    "else",          "enum",
        "extern",   "false",   "float",     "for",       "goto",          "if",
        "inline",   "int",     "long",      "register",  "restrict",      "return",
        "short",    "signed",  "sizeof",    "static",    "struct",        "switch",
        "true",     "typedef", "union",     "unsigned",  "void",          "volatile",
        "while",    "alignas", "alignof",   "nullptr",   "static_assert", "thread_local",
        "class",    "delete",  "new",       "namespace", "template",      "this",
        "private",  "public",  "protected", "virtual",   "operator",      "friend",
    };
    return keywords;
}

// One comment line per line of the text. Each line ends in " */", so no backslash can join it
// to the next; a "*/" inside is broken up and control characters become blanks.
QString CommentLines(const QString& text) {
    QString out;
    // Split by hand: a pattern compiled for every phrase of a long file costs more than the rest.
    const QStringList lines = QString(text)
                                  .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                                  .replace(u'\r', u'\n')
                                  .split(u'\n');
    for (QString line : lines) {
        for (QChar& c : line) {
            if (c.unicode() < 0x20 || c.unicode() == 0x7f) {
                c = u' ';
            }
        }
        line.replace(QStringLiteral("*/"), QStringLiteral("* /"));
        out += QStringLiteral("/* ") + line + QStringLiteral(" */\n");
    }
    return out;
}

QString LengthName(const QString& name) {
    return name.toUpper() + QStringLiteral("_LENGTH");
}

}  // namespace

QString CPhraseNameProblem(const QString& name) {
    static const QRegularExpression identifier(QStringLiteral("^[A-Za-z][A-Za-z0-9_]*$"));
    if (name.isEmpty()) {
        return QStringLiteral("a phrase needs a name");
    }
    if (!identifier.match(name).hasMatch()) {
        return QStringLiteral("\"%1\" is not a C name (a letter, then letters, digits and _)")
            .arg(name);
    }
    if (name.size() > kMaxNameLength) {
        return QStringLiteral("\"%1\" is longer than %2 characters").arg(name).arg(kMaxNameLength);
    }
    if (CKeywords().contains(name)) {
        return QStringLiteral("\"%1\" is a C keyword").arg(name);
    }
    if (name.startsWith(QStringLiteral("cantora_"), Qt::CaseInsensitive)) {
        return QStringLiteral("\"%1\" begins with cantora_, which the header keeps for itself")
            .arg(name);
    }
    return {};
}

QString CArrayText(const CPhrase& phrase, bool isStatic) {
    QString out = CommentLines(phrase.text);
    out += QStringLiteral("%1const uint8_t %2[] = {\n")
               .arg(isStatic ? QStringLiteral("static ") : QString(), phrase.name);
    const QByteArray codes = phrase.codes.isEmpty() ? QByteArray(1, '\0') : phrase.codes;
    for (qsizetype i = 0; i < codes.size(); i += kCodesPerLine) {
        QStringList numbers;
        for (qsizetype j = i; j < std::min<qsizetype>(i + kCodesPerLine, codes.size()); ++j) {
            numbers.append(QString::number(static_cast<unsigned char>(codes[j])));
        }
        out += QStringLiteral("    ") + numbers.join(QStringLiteral(", ")) + QStringLiteral(",\n");
    }
    out +=
        QStringLiteral("};\n#define %1 %2\n").arg(LengthName(phrase.name)).arg(phrase.codes.size());
    return out;
}

QString CHeaderText(const QList<CPhrase>& phrases, bool withTable) {
    QString out = QStringLiteral(
        "/* Quillon codes, made by Cantora Utility. */\n"
        "#ifndef CANTORA_PHRASES_H\n#define CANTORA_PHRASES_H\n\n"
        "#include <stddef.h>\n#include <stdint.h>\n");
    for (const CPhrase& phrase : phrases) {
        out += u'\n' + CArrayText(phrase, true);
    }
    if (withTable) {
        out += QStringLiteral(
            "\ntypedef struct {\n    const char *name;\n    const uint8_t *codes;\n"
            "    size_t length;\n} cantora_phrase;\n\n"
            "static const cantora_phrase cantora_phrases[] = {\n");
        for (const CPhrase& phrase : phrases) {
            out +=
                QStringLiteral("    {\"%1\", %1, %2},\n").arg(phrase.name, LengthName(phrase.name));
        }
        if (phrases.isEmpty()) {
            out += QStringLiteral("    {0, 0, 0},\n");
        }
        out += QStringLiteral("};\n#define CANTORA_PHRASE_COUNT %1\n").arg(phrases.size());
    }
    out += QStringLiteral("\n#endif\n");
    return out;
}

QString CodesAsDecimalText(const QByteArray& codes) {
    QStringList numbers;
    numbers.reserve(codes.size());
    for (char byte : codes) {
        numbers.append(QString::number(static_cast<unsigned char>(byte)));
    }
    return numbers.join(QStringLiteral(", "));
}

std::optional<QByteArray> DecimalTextToCodes(const QString& text, QString* bad) {
    static const QRegularExpression separators(QStringLiteral("[,\\s]+"));
    QByteArray codes;
    for (const QString& piece : text.split(separators, Qt::SkipEmptyParts)) {
        bool ok = false;
        const uint value = piece.toUInt(&ok, 10);
        if (!ok || value > 255 || piece.startsWith(u'+')) {
            if (bad != nullptr) {
                *bad = piece.left(40);
            }
            return std::nullopt;
        }
        codes.append(static_cast<char>(value));
    }
    return codes;
}

CodesFileKind CodesFileKindOf(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"h") {
        return CodesFileKind::Header;
    }
    if (suffix == u"bin") {
        return CodesFileKind::Raw;
    }
    if (suffix == u"txt") {
        return CodesFileKind::Text;
    }
    return CodesFileKind::Unknown;
}

QByteArray CodesFileBytes(CodesFileKind kind, const CPhrase& phrase, const QString& decimalText) {
    switch (kind) {
        case CodesFileKind::Header:
            return CHeaderText({phrase}, false).toUtf8();
        case CodesFileKind::Raw:
            return phrase.codes;
        case CodesFileKind::Text:
            return decimalText.toUtf8();
        case CodesFileKind::Unknown:
            break;
    }
    return {};
}

}  // namespace cantora
