#include "core/files/latin1_case.h"

#include <array>

namespace cantora {

namespace {

struct CaseTables {
    std::array<char16_t, 256> upper{};
    std::array<char16_t, 256> lower{};
};

const CaseTables& Tables() {
    static const CaseTables tables = [] {
        CaseTables t;
        for (int i = 0; i < 256; ++i) {
            const QChar c(static_cast<char16_t>(i));
            const char16_t up = c.toUpper().unicode();
            const char16_t low = c.toLower().unicode();
            t.upper[i] = up < 256 ? up : static_cast<char16_t>(i);
            t.lower[i] = low < 256 ? low : static_cast<char16_t>(i);
        }
        return t;
    }();
    return tables;
}

}  // namespace

QChar Latin1Upper(QChar c) {
    return c.unicode() < 256 ? QChar(Tables().upper[c.unicode()]) : c;
}

QChar Latin1Lower(QChar c) {
    return c.unicode() < 256 ? QChar(Tables().lower[c.unicode()]) : c;
}

QString Latin1Upper(QStringView text) {
    QString result(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        result[i] = Latin1Upper(text[i]);
    }
    return result;
}

QString Latin1Lower(QStringView text) {
    QString result(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        result[i] = Latin1Lower(text[i]);
    }
    return result;
}

char Latin1UpperByte(char c) {
    return static_cast<char>(Tables().upper[static_cast<unsigned char>(c)]);
}

char Latin1LowerByte(char c) {
    return static_cast<char>(Tables().lower[static_cast<unsigned char>(c)]);
}

QByteArray Latin1LowerBytes(QByteArrayView bytes) {
    QByteArray result(bytes.size(), Qt::Uninitialized);
    const auto& lower = Tables().lower;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        result[i] = static_cast<char>(lower[static_cast<unsigned char>(bytes[i])]);
    }
    return result;
}

QString FirstUnstorableCharacter(QStringView text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].unicode() > 255) {
            const bool pair =
                text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
            return text.sliced(i, pair ? 2 : 1).toString();
        }
    }
    return {};
}

}  // namespace cantora
